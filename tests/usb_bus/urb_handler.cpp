#include "urb_handler.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

namespace usb_bus {

namespace {

constexpr std::size_t setup_size = 8;
constexpr unsigned interface_count = 1;
// What the kernel offers and the model supports: no bulk endpoints, no streams.
constexpr std::uint32_t capabilities_offered =
    USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;

// A pointer-sized piece of the client's memory at `offset` inside `data`, copied here (umockdev
// writes it back when the ioctl completes). Null when the client's pointer is null.
DataRef resolve(UMockdevIoctlData* data, std::size_t offset, std::size_t length) {
    GError* error = nullptr;
    UMockdevIoctlData* resolved = umockdev_ioctl_data_resolve(data, offset, length, &error);
    if (error) g_error_free(error);
    return DataRef(resolved);
}

wire::ControlSetup setupOf(const std::uint8_t* packet) {
    const auto word = [packet](int at) {
        return static_cast<std::uint16_t>(packet[at] | (packet[at + 1] << 8));
    };
    return {packet[0], packet[1], word(2), word(4), word(6)};
}

std::string hexRequest(gulong request) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%08lX", request);
    return text;
}

} // namespace

DataRef& DataRef::operator=(DataRef&& other) noexcept {
    if (this != &other) {
        if (data_) g_object_unref(data_);
        data_ = other.data_;
        other.data_ = nullptr;
    }
    return *this;
}

DataRef::~DataRef() {
    if (data_) g_object_unref(data_);
}

UrbHandler::UrbHandler(ControlEndpoint& endpoint, std::mutex& mutex)
    : endpoint_(endpoint), mutex_(mutex), base_(umockdev_ioctl_base_new()) {
    g_signal_connect(base_, "handle-ioctl", G_CALLBACK(onIoctl), this);
    g_signal_connect(base_, "client-vanished", G_CALLBACK(onClientVanished), this);
}

UrbHandler::~UrbHandler() {
    g_signal_handlers_disconnect_by_data(base_, this);
    std::lock_guard lock(mutex_);
    urbs_.clear();
    g_object_unref(base_);
}

gboolean UrbHandler::onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    auto& handler = *static_cast<UrbHandler*>(self);
    Result result;
    {
        std::lock_guard lock(handler.mutex_);
        result = handler.handle(client);
    }
    umockdev_ioctl_client_complete(client, result.value, result.error);
    return TRUE;
}

void UrbHandler::onClientVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    auto& handler = *static_cast<UrbHandler*>(self);
    std::lock_guard lock(handler.mutex_);
    handler.forget(client);
}

// A program closed the node (or ended): its URBs and claims go, as the kernel drops them.
void UrbHandler::forget(UMockdevIoctlClient* client) {
    std::erase_if(urbs_, [client](const Urb& urb) { return urb.client == client; });
    std::erase_if(claims_, [client](const auto& claim) { return claim.second == client; });
}

UrbHandler::Result UrbHandler::refuse(const std::string& what, int error) {
    endpoint_.problem(what);
    return {-1, error};
}

UrbHandler::Result UrbHandler::handle(UMockdevIoctlClient* client) {
    const gulong request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    // As the kernel does, URBs that completed before the device left can still be reaped. A new
    // URB still goes to the device, which tells it has gone (the simulator logs the attempt).
    const bool reaping = request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY;
    if (!reaping && request != USBDEVFS_SUBMITURB && !endpoint_.present()) return {-1, ENODEV};
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES:
        return capabilities(arg);
    case USBDEVFS_CLAIMINTERFACE:
        return claim(client, arg, false);
    case USBDEVFS_RELEASEINTERFACE:
        return claim(client, arg, true);
    case USBDEVFS_SUBMITURB:
        return submit(client, arg);
    case USBDEVFS_REAPURB: // never blocks here: the answers are all given at submit time
    case USBDEVFS_REAPURBNDELAY:
        return reap(client, arg);
    case USBDEVFS_DISCARDURB:
        return discard(client, arg);
    default:
        return refuse("unexpected usbdevfs ioctl " + hexRequest(request), ENOTTY);
    }
}

UrbHandler::Result UrbHandler::capabilities(UMockdevIoctlData* arg) {
    const DataRef caps = resolve(arg, 0, sizeof(std::uint32_t));
    if (!caps) return {-1, EFAULT};
    std::memcpy(caps->data, &capabilities_offered, sizeof capabilities_offered);
    return {};
}

// One program at a time holds an interface; another one's claim is refused with EBUSY.
UrbHandler::Result UrbHandler::claim(UMockdevIoctlClient* client, UMockdevIoctlData* arg,
                                     bool release) {
    const DataRef number = resolve(arg, 0, sizeof(unsigned));
    if (!number) return {-1, EFAULT};
    unsigned interface_number = 0;
    std::memcpy(&interface_number, number->data, sizeof interface_number);
    if (interface_number >= interface_count) return {-1, ENOENT};
    const auto holder = claims_.find(interface_number);
    if (release) {
        if (holder == claims_.end() || holder->second != client) return {-1, EINVAL};
        claims_.erase(holder);
        return {};
    }
    if ((holder != claims_.end() && holder->second != client) || !endpoint_.claimable())
        return {-1, EBUSY};
    claims_[interface_number] = client;
    return {};
}

UrbHandler::Result UrbHandler::submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    DataRef urb_data = resolve(arg, 0, sizeof(usbdevfs_urb));
    if (!urb_data) return {-1, EFAULT};
    const auto& urb = *reinterpret_cast<const usbdevfs_urb*>(urb_data->data);
    if (urb.type != USBDEVFS_URB_TYPE_CONTROL || urb.endpoint != 0)
        return refuse("URB of type " + std::to_string(urb.type) + " for endpoint " +
                          std::to_string(urb.endpoint) + ": the device has only endpoint 0",
                      EINVAL);
    if (urb.buffer_length < static_cast<int>(setup_size))
        return refuse("control URB without a setup packet", EINVAL);
    DataRef buffer = resolve(urb_data.get(), offsetof(usbdevfs_urb, buffer),
                             static_cast<std::size_t>(urb.buffer_length));
    if (!buffer) return {-1, EFAULT};
    const wire::ControlSetup setup = setupOf(buffer->data);
    if (setup_size + setup.length > static_cast<std::size_t>(buffer->data_len))
        return refuse("control URB shorter than its wLength", EINVAL);

    Urb entry;
    entry.client = client;
    entry.urb = std::move(urb_data);
    entry.buffer = std::move(buffer);
    ControlAnswer answer;
    if (setup.deviceToHost()) {
        entry.reply.assign(setup.length, 0);
        answer = endpoint_.control(setup, {}, entry.reply);
        entry.reply.resize(std::min(answer.received, entry.reply.size()));
    } else {
        answer = endpoint_.control(setup, {entry.buffer->data + setup_size, setup.length}, {});
    }
    switch (answer.completion) {
    case Completion::gone:
        return {-1, ENODEV};
    case Completion::never:
        break;
    case Completion::stall:
        entry.reapable = true;
        entry.status = -EPIPE;
        break;
    case Completion::done:
        entry.reapable = true;
        entry.actual_length = setup.deviceToHost() ? entry.reply.size() : setup.length;
        break;
    }
    urbs_.push_back(std::move(entry));
    return {};
}

// Hands the oldest finished URB of this client back: its status, length and IN data are
// written into the client's URB, and the client's pointer is set to it.
UrbHandler::Result UrbHandler::reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    const auto done = std::find_if(urbs_.begin(), urbs_.end(), [client](const Urb& urb) {
        return urb.client == client && urb.reapable;
    });
    if (done == urbs_.end()) return {-1, endpoint_.present() ? EAGAIN : ENODEV};
    const DataRef target = resolve(arg, 0, sizeof(void*));
    if (!target) return {-1, EFAULT};
    auto& urb = *reinterpret_cast<usbdevfs_urb*>(done->urb->data);
    urb.status = done->status;
    urb.actual_length = static_cast<int>(done->actual_length);
    std::copy(done->reply.begin(), done->reply.end(), done->buffer->data + setup_size);
    umockdev_ioctl_data_set_ptr(target.get(), 0, done->urb.get());
    urbs_.erase(done);
    return {};
}

// The host gives up on a URB in flight: it completes as unlinked (-ENOENT) and can be reaped.
UrbHandler::Result UrbHandler::discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    gulong address = 0;
    std::memcpy(&address, arg->data, sizeof address);
    const auto pending = std::find_if(urbs_.begin(), urbs_.end(), [&](const Urb& urb) {
        return urb.client == client && !urb.reapable && urb.urb->client_addr == address;
    });
    if (pending == urbs_.end()) return {-1, EINVAL};
    pending->reapable = true;
    pending->status = -ENOENT;
    return {};
}

} // namespace usb_bus
