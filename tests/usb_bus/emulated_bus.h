// An emulated USB bus for the libusb backend: umockdev's testbed stands in for /sys and
// /dev/bus/usb, and each emulated programmer on it is a device with the programmer's descriptors
// whose usbdevfs ioctls are answered in this process: the standard string requests by the
// bridge, every vendor request by a sim::Simulator of its own (its own board and memories), the
// same model the "sim" backend offers. So a sequence run through libusb leaves the same transfer
// log as through the simulated backend.
//
// umockdev works through its preload library: the test program runs under
// LD_PRELOAD=libumockdev-preload.so.0 (umockdev-wrapper does that). Programs started from it
// inherit the preload and UMOCKDEV_DIR and reach the same bus; their ioctls come back to this
// process over umockdev's sockets and are answered by the same handlers.
#pragma once

#include "simulator/simulator.h"
#include "urb_handler.h"
#include "usb_descriptors.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace usb_bus {

class EmulatedBus;

// Where a plugged device sits: its address, sysfs path and device node.
struct DevicePlace {
    unsigned address = 0;
    std::string syspath;
    std::string devnode;
};

class EmulatedProgrammer {
public:
    // Plugs a programmer into `bus`; `config.serial` names it, `clock` is its simulator's clock.
    EmulatedProgrammer(EmulatedBus& bus, sim::SimConfig config, std::shared_ptr<kz71::Clock> clock);
    ~EmulatedProgrammer();
    EmulatedProgrammer(const EmulatedProgrammer&) = delete;
    EmulatedProgrammer& operator=(const EmulatedProgrammer&) = delete;

    // Its simulated hardware. Read it while no transfer runs.
    sim::Simulator& simulator() { return simulator_; }
    // Its VISA resource name, "USB0::0x194E::0x100F::<serial>::RAW".
    std::string resourceName() const;

    // Pulling the cable: open nodes answer ENODEV from now on, a "remove" uevent goes out and
    // the device leaves sysfs. Plugging it back adds it under a new address with an "add"
    // uevent; the programmer restarts as after power-on. When the simulated device itself
    // changes (the loader starts the programmer's firmware), it re-enumerates the same way.
    void unplug();
    void plug();
    bool plugged() const;

    // Everything a correct host would never have done (unknown ioctls and requests), in order.
    std::vector<std::string> problems() const;

private:
    class Attachment;
    ControlAnswer answer(std::uint32_t device, const wire::ControlSetup& setup,
                         std::span<const std::uint8_t> out, std::span<std::uint8_t> in);
    ControlAnswer standardRequest(const DeviceIdentity& identity, const wire::ControlSetup& setup,
                                  std::span<std::uint8_t> in);
    bool onBus(std::uint32_t device) const;
    void problem(const std::string& what);
    void plugIn(const sim::DeviceInfo& device);
    std::optional<DevicePlace> takeOffBus();
    void followReenumeration();

    EmulatedBus& bus_;
    // The simulator and the handlers' state: held by a handler while it answers, and never by
    // this thread while it calls the testbed (umockdev's thread runs the handlers).
    mutable std::mutex mutex_;
    mutable std::mutex list_mutex_; // the attachments and plugged_
    sim::Simulator simulator_;
    unsigned port_;
    bool plugged_ = false;
    // One per plug-in: the node of an unplugged device stays dead, answering ENODEV.
    std::vector<std::unique_ptr<Attachment>> attachments_;
    std::vector<std::string> problems_;
};

class EmulatedBus {
public:
    // The process's one bus, made at the first call. Make it before the first libusb context,
    // which decides once per process how it reaches the devices.
    //
    // Devices come and go from the test's thread (plug, unplug) and from umockdev's thread (a
    // device that re-enumerates while it answers); the two never do so at the same time in these
    // tests, since a test does not plug devices while transfers run.
    static EmulatedBus& instance();
    ~EmulatedBus();

    // Whether the program runs under the preload library, so that libusb sees this bus; if not,
    // why not.
    bool available() const { return unavailable_.empty(); }
    const std::string& unavailableReason() const { return unavailable_; }

    unsigned takePort();
    void releasePort(unsigned port);
    // Adds the device's sysfs entry and node under a free address and attaches `handler`.
    DevicePlace add(unsigned port, const DeviceIdentity& identity, UMockdevIoctlBase* handler);
    // Sends the "remove" uevent, then removes the sysfs entry (the node stays attached).
    void remove(const DevicePlace& place);
    void announce(const DevicePlace& place) { uevent(place.syspath, "add"); }
    // Detaches the node's handler and frees its address.
    void release(const DevicePlace& place);

private:
    EmulatedBus();
    unsigned takeAddress();
    void uevent(const std::string& syspath, const char* action);

    UMockdevTestbed* testbed_ = nullptr;
    std::string unavailable_;
    std::mutex mutex_; // the ports and addresses in use
    std::vector<bool> ports_in_use_;
    std::vector<bool> addresses_in_use_;
    unsigned last_address_ = 1;
};

} // namespace usb_bus
