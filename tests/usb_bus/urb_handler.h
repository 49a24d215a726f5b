// The kernel's usbdevfs interface of one emulated device node, answered inside the test process.
// umockdev's preload library forwards every ioctl a program (libusb) makes on the node; this
// handler answers them as the kernel would: capabilities, claiming the interface, and control
// URBs, which the device answers at once and which then wait to be reaped. A URB the device
// never answers stays in flight until the host discards it (libusb does on its time-out).
#pragma once

#include "protocol/command_codes.h"

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <span>
#include <string>
#include <umockdev.h>
#include <vector>

namespace usb_bus {

// How the device ends a control transfer.
enum class Completion : std::uint8_t {
    done,  // answered: the URB completes with status 0
    stall, // refused: the URB completes with -EPIPE
    never, // no answer: the URB stays in flight
    gone,  // the device has left the bus: the submit fails with ENODEV
};

struct ControlAnswer {
    Completion completion = Completion::done;
    std::size_t received = 0; // bytes of an IN reply
};

// The device behind the node: its control endpoint.
class ControlEndpoint {
public:
    virtual ~ControlEndpoint() = default;
    // False once the device has left the bus: every ioctl then fails with ENODEV (a URB once
    // the device has told so through its answer).
    virtual bool present() const = 0;
    // A control transfer: the OUT data stage in `out`; an IN reply goes into `in` (wLength).
    virtual ControlAnswer control(const wire::ControlSetup& setup,
                                  std::span<const std::uint8_t> out,
                                  std::span<std::uint8_t> in) = 0;
    // False while another program holds the device: claiming its interface fails with EBUSY.
    virtual bool claimable() const = 0;
    // Something a correct host never asks for (an unknown ioctl, a malformed URB).
    virtual void problem(const std::string& what) = 0;
};

// A reference to umockdev's copy of a piece of client memory.
class DataRef {
public:
    explicit DataRef(UMockdevIoctlData* data = nullptr) : data_(data) {}
    DataRef(DataRef&& other) noexcept : data_(other.data_) { other.data_ = nullptr; }
    DataRef& operator=(DataRef&& other) noexcept;
    DataRef(const DataRef&) = delete;
    DataRef& operator=(const DataRef&) = delete;
    ~DataRef();

    UMockdevIoctlData* get() const { return data_; }
    UMockdevIoctlData* operator->() const { return data_; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    UMockdevIoctlData* data_;
};

class UrbHandler {
public:
    // `mutex` guards the endpoint; the handler holds it while it answers.
    UrbHandler(ControlEndpoint& endpoint, std::mutex& mutex);
    ~UrbHandler();
    UrbHandler(const UrbHandler&) = delete;
    UrbHandler& operator=(const UrbHandler&) = delete;

    // What umockdev_testbed_attach_ioctl attaches to the node.
    UMockdevIoctlBase* ioctlBase() const { return base_; }

private:
    struct Result {
        long value = 0;
        int error = 0;
    };
    struct Urb {
        UMockdevIoctlClient* client = nullptr;
        DataRef urb;    // the client's struct usbdevfs_urb
        DataRef buffer; // its buffer: the setup packet and the data stage
        bool reapable = false;
        int status = 0;
        std::size_t actual_length = 0;
        std::vector<std::uint8_t> reply; // an IN transfer's data stage
    };

    static gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self);
    static void onClientVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self);

    Result handle(UMockdevIoctlClient* client);
    Result capabilities(UMockdevIoctlData* arg);
    Result claim(UMockdevIoctlClient* client, UMockdevIoctlData* arg, bool release);
    Result submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    Result reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    Result discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void forget(UMockdevIoctlClient* client);
    Result refuse(const std::string& what, int error);

    ControlEndpoint& endpoint_;
    std::mutex& mutex_;
    UMockdevIoctlBase* base_;
    std::deque<Urb> urbs_;                            // in the order they were submitted
    std::map<unsigned, UMockdevIoctlClient*> claims_; // interface number -> the client holding it
};

} // namespace usb_bus
