#include "emulated_bus.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace usb_bus {

namespace {

constexpr std::uint8_t request_type_mask = 0x60; // bmRequestType: standard, class or vendor
constexpr std::uint8_t standard_type = 0x00;
constexpr std::uint8_t vendor_type = 0x40;
constexpr std::uint8_t get_descriptor = 6;
constexpr unsigned bus_number = 1;
constexpr unsigned first_address = 2; // 1 belongs to the root hub
constexpr unsigned last_address = 127;

ControlAnswer fromSimulator(const sim::TransferResult& result) {
    switch (result.status) {
    case sim::TransferStatus::ok:
        return {Completion::done, result.received};
    case sim::TransferStatus::stalled:
        return {Completion::stall, 0};
    case sim::TransferStatus::timed_out:
        return {Completion::never, 0};
    case sim::TransferStatus::no_device:
        break;
    }
    return {Completion::gone, 0};
}

std::string hexText(const Bytes& bytes) {
    std::string text;
    char digits[3];
    for (const std::uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        text += digits;
    }
    return text;
}

std::string setupText(const wire::ControlSetup& setup) {
    char text[64];
    std::snprintf(text, sizeof text, "%02X %02X %04X %04X len %u", setup.requestType, setup.request,
                  setup.value, setup.index, setup.length);
    return text;
}

// The device as umockdev's record format describes it: sysfs attributes (values ending in a
// line feed, as the kernel's do), udev properties and the device node.
std::string deviceRecord(unsigned port, unsigned address, const DeviceIdentity& identity) {
    char text[1024];
    std::snprintf(text, sizeof text,
                  "P: /devices/%u-%u\nN: bus/usb/%03u/%03u\n"
                  "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DEVNAME=/dev/bus/usb/%03u/%03u\n"
                  "E: BUSNUM=%03u\nE: DEVNUM=%03u\nE: PRODUCT=%x/%x/100\n"
                  "A: busnum=%u\\n\nA: devnum=%u\\n\nA: speed=480\\n\n"
                  "A: bConfigurationValue=1\\n\nA: bNumConfigurations=1\\n\n"
                  "A: idVendor=%04x\\n\nA: idProduct=%04x\\n\nA: serial=%s\\n\n",
                  bus_number, port, bus_number, address, bus_number, address, bus_number, address,
                  identity.vendor, identity.product, bus_number, address, identity.vendor,
                  identity.product, identity.serial.c_str());
    return text + ("H: descriptors=" + hexText(descriptorsAttribute(identity)) + "\n");
}

} // namespace

// One plug-in of the programmer: its device node, the handler answering there, and the
// simulator's device it leads to. Once that device has left the bus the node stays dead.
class EmulatedProgrammer::Attachment final : public ControlEndpoint {
public:
    Attachment(EmulatedProgrammer& owner, const sim::DeviceInfo& device)
        : owner_(owner), device_(device.id), identity_{device.vendor, device.model, device.serial},
          handler_(*this, owner.mutex_) {}

    bool present() const override { return owner_.onBus(device_); }
    ControlAnswer control(const wire::ControlSetup& setup, std::span<const std::uint8_t> out,
                          std::span<std::uint8_t> in) override {
        if ((setup.requestType & request_type_mask) == standard_type)
            return present() ? owner_.standardRequest(identity_, setup, in)
                             : ControlAnswer{Completion::gone, 0};
        return owner_.answer(device_, setup, out, in);
    }
    bool claimable() const override { return !owner_.simulator_.faults().heldByOtherProgram(); }
    void problem(const std::string& what) override { owner_.problem(what); }

    std::uint32_t device() const { return device_; }
    const DeviceIdentity& identity() const { return identity_; }
    UMockdevIoctlBase* ioctlBase() const { return handler_.ioctlBase(); }

    DevicePlace place;

private:
    EmulatedProgrammer& owner_;
    std::uint32_t device_;
    DeviceIdentity identity_;
    UrbHandler handler_;
};

EmulatedProgrammer::EmulatedProgrammer(EmulatedBus& bus, sim::SimConfig config,
                                       std::shared_ptr<kz71::Clock> clock)
    : bus_(bus), simulator_(std::move(config), std::move(clock)), port_(bus.takePort()) {
    plugIn(simulator_.devices().front());
}

EmulatedProgrammer::~EmulatedProgrammer() {
    unplug();
    for (const auto& attachment : attachments_)
        bus_.release(attachment->place);
    bus_.releasePort(port_);
}

std::string EmulatedProgrammer::resourceName() const {
    std::lock_guard lock(list_mutex_);
    const DeviceIdentity& identity = attachments_.back()->identity();
    char head[32];
    std::snprintf(head, sizeof head, "USB0::0x%04X::0x%04X::", identity.vendor, identity.product);
    return head + identity.serial + "::RAW";
}

bool EmulatedProgrammer::plugged() const {
    std::lock_guard lock(list_mutex_);
    return plugged_;
}

// The simulator's device comes onto the bus under a free address, with an "add" uevent.
void EmulatedProgrammer::plugIn(const sim::DeviceInfo& device) {
    auto made = std::make_unique<Attachment>(*this, device);
    Attachment& attachment = *made;
    {
        std::lock_guard lock(list_mutex_);
        attachments_.push_back(std::move(made));
        plugged_ = true;
    }
    const DevicePlace place = bus_.add(port_, attachment.identity(), attachment.ioctlBase());
    {
        std::lock_guard lock(list_mutex_);
        attachment.place = place;
    }
    bus_.announce(place);
}

// The place of the device on the bus now, or nothing when it is not plugged in; it is not
// plugged in afterwards.
std::optional<DevicePlace> EmulatedProgrammer::takeOffBus() {
    std::lock_guard lock(list_mutex_);
    if (!plugged_) return std::nullopt;
    plugged_ = false;
    return attachments_.back()->place;
}

void EmulatedProgrammer::unplug() {
    {
        std::lock_guard lock(mutex_);
        simulator_.unplug();
    }
    if (const auto place = takeOffBus()) bus_.remove(*place);
}

void EmulatedProgrammer::plug() {
    if (plugged()) return;
    std::unique_lock lock(mutex_);
    simulator_.plug();
    const sim::DeviceInfo device = simulator_.devices().front();
    lock.unlock(); // the testbed may need umockdev's thread, which runs the handlers
    plugIn(device);
}

// A device that starts new firmware leaves the bus and comes back as another one, as the loader
// does once the programmer's firmware runs. Called on umockdev's thread by a handler.
void EmulatedProgrammer::followReenumeration() {
    const std::vector<sim::DeviceInfo> devices = simulator_.devices();
    {
        std::lock_guard lock(list_mutex_);
        if (!plugged_ || devices.empty() || devices.front().id == attachments_.back()->device())
            return;
    }
    if (const auto place = takeOffBus()) bus_.remove(*place);
    plugIn(devices.front());
}

std::vector<std::string> EmulatedProgrammer::problems() const {
    std::lock_guard lock(mutex_);
    return problems_;
}

// Called by the handlers with the mutex held.
void EmulatedProgrammer::problem(const std::string& what) {
    std::fprintf(stderr, "emulated programmer %s: %s\n", simulator_.config().serial.c_str(),
                 what.c_str());
    problems_.push_back(what);
}

bool EmulatedProgrammer::onBus(std::uint32_t device) const {
    const std::vector<sim::DeviceInfo> devices = simulator_.devices();
    return std::any_of(devices.begin(), devices.end(),
                       [device](const sim::DeviceInfo& d) { return d.id == device; });
}

// Vendor requests are the simulator's; nothing else reaches it.
ControlAnswer EmulatedProgrammer::answer(std::uint32_t device, const wire::ControlSetup& setup,
                                         std::span<const std::uint8_t> out,
                                         std::span<std::uint8_t> in) {
    if ((setup.requestType & request_type_mask) != vendor_type) {
        problem("unexpected class request " + setupText(setup));
        return {Completion::stall, 0};
    }
    const ControlAnswer answer = fromSimulator(simulator_.control(device, setup, out, in));
    followReenumeration();
    return answer;
}

// The descriptors the host asks the device itself for: libusb reads the serial number string
// on every enumeration and open.
ControlAnswer EmulatedProgrammer::standardRequest(const DeviceIdentity& identity,
                                                  const wire::ControlSetup& setup,
                                                  std::span<std::uint8_t> in) {
    std::optional<Bytes> descriptor;
    if (setup.requestType == 0x80 && setup.request == get_descriptor)
        descriptor = requestedDescriptor(identity, setup.value);
    if (!descriptor) {
        problem("unexpected standard request " + setupText(setup));
        return {Completion::stall, 0};
    }
    const std::size_t count = std::min(in.size(), descriptor->size());
    std::copy_n(descriptor->begin(), count, in.begin());
    return {Completion::done, count};
}

EmulatedBus& EmulatedBus::instance() {
    static EmulatedBus bus;
    return bus;
}

EmulatedBus::EmulatedBus() : testbed_(umockdev_testbed_new()) {
    // sysfs with its USB bus and the usbfs folder exist from the start, also while no device is
    // plugged in, as on a real machine.
    gchar* sys = umockdev_testbed_get_sys_dir(testbed_);
    gchar* root = umockdev_testbed_get_root_dir(testbed_);
    g_mkdir_with_parents((std::string(sys) + "/bus/usb/devices").c_str(), 0755);
    g_mkdir_with_parents((std::string(root) + "/dev/bus/usb").c_str(), 0755);
    g_free(sys);
    g_free(root);
    // umockdev tells by the /sys it sees; ask only now that the testbed exists.
    if (!umockdev_in_mock_environment())
        unavailable_ = "the test program runs without umockdev's preload library, so libusb "
                       "cannot see the emulated bus (start it through umockdev-wrapper, or with "
                       "LD_PRELOAD=libumockdev-preload.so.0)";
}

EmulatedBus::~EmulatedBus() {
    g_object_unref(testbed_);
}

unsigned EmulatedBus::takePort() {
    std::lock_guard lock(mutex_);
    const auto free = std::find(ports_in_use_.begin(), ports_in_use_.end(), false);
    const auto index = static_cast<std::size_t>(free - ports_in_use_.begin());
    if (free == ports_in_use_.end()) ports_in_use_.push_back(true);
    ports_in_use_[index] = true;
    return static_cast<unsigned>(index + 1);
}

void EmulatedBus::releasePort(unsigned port) {
    std::lock_guard lock(mutex_);
    ports_in_use_.at(port - 1) = false;
}

// The next free address after the last one given, as a hub hands them out.
unsigned EmulatedBus::takeAddress() {
    std::lock_guard lock(mutex_);
    addresses_in_use_.resize(last_address + 1, false);
    unsigned address = last_address_;
    do {
        address = address >= last_address ? first_address : address + 1;
    } while (addresses_in_use_[address] && address != last_address_);
    if (addresses_in_use_[address]) std::abort(); // 126 devices: no test gets there
    addresses_in_use_[address] = true;
    last_address_ = address;
    return address;
}

DevicePlace EmulatedBus::add(unsigned port, const DeviceIdentity& identity,
                             UMockdevIoctlBase* handler) {
    const unsigned address = takeAddress();
    DevicePlace place;
    place.address = address;
    char text[64];
    std::snprintf(text, sizeof text, "/sys/devices/%u-%u", bus_number, port);
    place.syspath = text;
    std::snprintf(text, sizeof text, "/dev/bus/usb/%03u/%03u", bus_number, address);
    place.devnode = text;
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed_, deviceRecord(port, address, identity).c_str(),
                                          &error) ||
        !umockdev_testbed_attach_ioctl(testbed_, place.devnode.c_str(), handler, &error)) {
        std::fprintf(stderr, "emulated bus: %s\n", error ? error->message : "cannot add device");
        std::abort();
    }
    return place;
}

void EmulatedBus::remove(const DevicePlace& place) {
    // The uevent reads the device's sysfs folder: it goes first.
    uevent(place.syspath, "remove");
    umockdev_testbed_remove_device(testbed_, place.syspath.c_str());
}

void EmulatedBus::release(const DevicePlace& place) {
    umockdev_testbed_detach_ioctl(testbed_, place.devnode.c_str(), nullptr);
    std::lock_guard lock(mutex_);
    addresses_in_use_.at(place.address) = false;
}

void EmulatedBus::uevent(const std::string& syspath, const char* action) {
    umockdev_testbed_uevent(testbed_, syspath.c_str(), action);
}

} // namespace usb_bus
