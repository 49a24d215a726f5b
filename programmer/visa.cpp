#include "programmer/visa.h"

#include "programmer/backend_table.h"
#include "programmer/resource_expression.h"
#include "programmer/usb_resource_name.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

using namespace visa_detail;
using protocol::UsbBackend;

enum class Kind { resource_manager, instrument, find_list };

// A resource manager, an instrument session or a find list.
struct Object {
    Kind kind = Kind::resource_manager;
    ViSession rm = VI_NULL; // the resource manager it was opened through
    std::shared_ptr<UsbBackend> backend;
    std::optional<protocol::UsbHandle> device; // an instrument's open device
    std::string resource;
    ViAccessMode lock = VI_NO_LOCK;
    ViUInt32 timeout_ms = VI_DEFAULT_TMO_MS;
    std::vector<std::string> found;
    std::size_t next = 0;
};

struct Registry {
    std::mutex mutex;
    std::unordered_map<ViObject, Object> objects;
    ViObject last = 0x1000;

    ViObject add(Object object) {
        do {
            ++last;
        } while (last == VI_NULL || objects.count(last) != 0);
        objects.emplace(last, std::move(object));
        return last;
    }

    Object* find(ViObject id) {
        const auto it = objects.find(id);
        return it == objects.end() ? nullptr : &it->second;
    }
};

// Never destroyed: sessions still open when the process ends are not closed, as when any
// program exits, and their backends are not touched after the simulator has gone.
Registry& registry() {
    static Registry& r = *new Registry;
    return r;
}

// Runs an API call under the registry's lock; nothing thrown inside leaves it.
template <typename Body>
ViStatus guarded(Body body) {
    try {
        std::lock_guard lock(registry().mutex);
        return body(registry());
    } catch (const std::bad_alloc&) {
        return VI_ERROR_ALLOC;
    } catch (...) {
        return VI_ERROR_SYSTEM_ERROR;
    }
}

void copyText(ViChar* out, const std::string& text) {
    if (!out) return;
    const std::size_t count = std::min<std::size_t>(text.size(), VI_FIND_BUFLEN - 1);
    std::copy_n(text.data(), count, out);
    out[count] = '\0';
}

AttributeLookup attributesOf(const UsbDeviceEntry& device, const std::string& name) {
    return [&device, &name](std::string_view attribute) -> std::optional<AttributeValue> {
        if (attribute == "VI_ATTR_MANF_ID") return std::int64_t{device.vendor};
        if (attribute == "VI_ATTR_MODEL_CODE") return std::int64_t{device.model};
        if (attribute == "VI_ATTR_USB_SERIAL_NUM") return device.serial;
        if (attribute == "VI_ATTR_USB_INTFC_NUM") return std::int64_t{device.interface_number};
        if (attribute == "VI_ATTR_INTF_NUM") return std::int64_t{0};
        if (attribute == "VI_ATTR_INTF_TYPE") return std::int64_t{7}; // VI_INTF_USB
        if (attribute == "VI_ATTR_RSRC_CLASS") return std::string("RAW");
        if (attribute == "VI_ATTR_RSRC_NAME") return name;
        return std::nullopt;
    };
}

// Whether another session of this process holds a lock on `resource` that keeps `self` out.
bool lockedByOther(Registry& r, const std::string& resource, ViObject self, ViAccessMode wanted) {
    for (const auto& [id, object] : r.objects) {
        if (id == self || object.kind != Kind::instrument || object.resource != resource) continue;
        if (object.lock == VI_EXCLUSIVE_LOCK) return true;
        if (object.lock == VI_SHARED_LOCK && wanted == VI_EXCLUSIVE_LOCK) return true;
    }
    return false;
}

// The instrument session `vi`, or the status that says why there is none.
Object* instrumentOf(Registry& r, ViSession vi, ViStatus& status) {
    Object* object = r.find(vi);
    if (!object) {
        status = VI_ERROR_INV_OBJECT;
    } else if (object->kind != Kind::instrument) {
        status = VI_ERROR_NSUP_OPER;
        return nullptr;
    } else if (lockedByOther(r, object->resource, vi, VI_NO_LOCK)) {
        status = VI_ERROR_RSRC_LOCKED;
        return nullptr;
    }
    return object;
}

// Checks a control transfer's session and setup fields, then lets `run` make it.
template <typename Run>
ViStatus controlTransfer(ViSession vi, ViInt16 bmRequestType, ViInt16 bRequest, ViUInt16 wValue,
                         ViUInt16 wIndex, ViUInt16 wLength, bool device_to_host, bool has_buffer,
                         Run run) {
    return guarded([&](Registry& r) {
        ViStatus status = VI_SUCCESS;
        Object* session = instrumentOf(r, vi, status);
        if (!session) return status;
        if (bmRequestType < 0 || bmRequestType > 0xFF || bRequest < 0 || bRequest > 0xFF ||
            ((bmRequestType & 0x80) != 0) != device_to_host)
            return VI_ERROR_INV_PARAMETER;
        if (wLength > 0 && !has_buffer) return VI_ERROR_USER_BUF;
        const wire::ControlSetup setup{static_cast<std::uint8_t>(bmRequestType),
                                       static_cast<std::uint8_t>(bRequest), wValue, wIndex,
                                       wLength};
        return run(*session->backend, *session->device, setup, session->timeout_ms);
    });
}

// Releases an instrument's device; other objects hold none.
ViStatus closeDevice(Object& object) {
    if (!object.device) return VI_SUCCESS;
    const ViStatus status = object.backend->close(*object.device);
    object.device.reset();
    return status;
}

// The first error of two statuses.
ViStatus worse(ViStatus first, ViStatus second) {
    return first < VI_SUCCESS ? first : second;
}

} // namespace

ViStatus viOpenDefaultRM(ViPSession vi) {
    if (!vi) return VI_ERROR_USER_BUF;
    *vi = VI_NULL;
    return guarded([&](Registry& r) {
        std::shared_ptr<UsbBackend> backend = programmer::makeSelectedBackend();
        if (!backend) return VI_ERROR_LIBRARY_NFOUND;
        if (const ViStatus started = backend->startStatus(); started < VI_SUCCESS) return started;
        Object rm;
        rm.kind = Kind::resource_manager;
        rm.backend = std::move(backend);
        *vi = r.add(std::move(rm));
        return VI_SUCCESS;
    });
}

ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                    ViChar desc[]) {
    if (vi) *vi = VI_NULL;
    if (retCnt) *retCnt = 0;
    if (desc) desc[0] = '\0';
    return guarded([&](Registry& r) {
        Object* rm = r.find(sesn);
        if (!rm || rm->kind != Kind::resource_manager) return VI_ERROR_INV_OBJECT;
        if (!expr) return VI_ERROR_INV_EXPR;
        const auto expression = ResourceExpression::parse(expr);
        if (!expression) return VI_ERROR_INV_EXPR;
        std::vector<std::string> names;
        for (const UsbDeviceEntry& device : rm->backend->find()) {
            const std::string name = canonicalName(device);
            if (expression->matches(name, attributesOf(device, name))) names.push_back(name);
        }
        if (names.empty()) return VI_ERROR_RSRC_NFOUND;
        if (retCnt) *retCnt = static_cast<ViUInt32>(names.size());
        copyText(desc, names.front());
        if (vi) {
            Object list;
            list.kind = Kind::find_list;
            list.rm = sesn;
            list.found = std::move(names);
            list.next = 1;
            *vi = r.add(std::move(list));
        }
        return VI_SUCCESS;
    });
}

ViStatus viFindNext(ViFindList vi, ViChar desc[]) {
    if (desc) desc[0] = '\0';
    return guarded([&](Registry& r) {
        Object* list = r.find(vi);
        if (!list) return VI_ERROR_INV_OBJECT;
        if (list->kind != Kind::find_list) return VI_ERROR_NSUP_OPER;
        if (list->next >= list->found.size()) return VI_ERROR_RSRC_NFOUND;
        copyText(desc, list->found[list->next++]);
        return VI_SUCCESS;
    });
}

ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                ViPSession vi) {
    if (!vi) return VI_ERROR_USER_BUF;
    *vi = VI_NULL;
    return guarded([&](Registry& r) {
        Object* rm = r.find(sesn);
        if (!rm || rm->kind != Kind::resource_manager) return VI_ERROR_INV_OBJECT;
        const ViAccessMode lock = mode & (VI_EXCLUSIVE_LOCK | VI_SHARED_LOCK);
        if ((mode & ~(VI_EXCLUSIVE_LOCK | VI_SHARED_LOCK | VI_LOAD_CONFIG)) != 0 ||
            lock == (VI_EXCLUSIVE_LOCK | VI_SHARED_LOCK))
            return VI_ERROR_INV_ACC_MODE;
        const auto parsed = name ? parseUsbResourceName(name) : std::nullopt;
        if (!parsed) return VI_ERROR_INV_RSRC_NAME;
        const std::vector<UsbDeviceEntry> devices = rm->backend->find();
        const auto device = std::find_if(devices.begin(), devices.end(),
                                         [&](const auto& d) { return sameDevice(*parsed, d); });
        if (device == devices.end()) return VI_ERROR_RSRC_NFOUND;
        const std::string resource = canonicalName(*device);
        if (lock != VI_NO_LOCK && lockedByOther(r, resource, VI_NULL, lock)) {
            // Nothing in this process can release the lock while we wait; VISA waits all the same.
            rm->backend->clock().sleep(std::chrono::milliseconds(timeout));
            return VI_ERROR_RSRC_LOCKED;
        }
        protocol::UsbHandle handle = 0;
        const ViStatus status = rm->backend->open(*device, handle);
        if (status < VI_SUCCESS) return status;
        Object session;
        session.kind = Kind::instrument;
        session.rm = sesn;
        session.backend = rm->backend;
        session.device = handle;
        session.resource = resource;
        session.lock = lock;
        *vi = r.add(std::move(session));
        return status;
    });
}

ViStatus viClose(ViObject vi) {
    if (vi == VI_NULL) return VI_WARN_NULL_OBJECT;
    return guarded([&](Registry& r) {
        Object* object = r.find(vi);
        if (!object) return VI_ERROR_INV_OBJECT;
        ViStatus status = VI_SUCCESS;
        if (object->kind == Kind::resource_manager) {
            for (auto& [id, opened] : r.objects)
                if (opened.rm == vi) status = worse(status, closeDevice(opened));
            std::erase_if(r.objects, [vi](const auto& entry) { return entry.second.rm == vi; });
        }
        status = worse(status, closeDevice(r.objects.at(vi)));
        r.objects.erase(vi);
        return status;
    });
}

ViStatus viStatusDesc(ViObject, ViStatus status, ViChar desc[]) {
    if (!desc) return VI_ERROR_USER_BUF;
    if (const char* text = protocol::statusDescription(status)) {
        copyText(desc, text);
        return VI_SUCCESS;
    }
    char text[64];
    std::snprintf(text, sizeof text, "Unknown status code 0x%08X.", static_cast<unsigned>(status));
    copyText(desc, text);
    return VI_WARN_UNKNOWN_STATUS;
}

ViStatus viUsbControlOut(ViSession vi, ViInt16 bmRequestType, ViInt16 bRequest, ViUInt16 wValue,
                         ViUInt16 wIndex, ViUInt16 wLength, ViConstBuf buf) {
    return controlTransfer(
        vi, bmRequestType, bRequest, wValue, wIndex, wLength, false, buf != nullptr,
        [&](UsbBackend& backend, protocol::UsbHandle device, const wire::ControlSetup& setup,
            ViUInt32 timeout_ms) {
            return backend.controlOut(device, setup, {buf, buf ? wLength : 0u}, timeout_ms);
        });
}

ViStatus viUsbControlIn(ViSession vi, ViInt16 bmRequestType, ViInt16 bRequest, ViUInt16 wValue,
                        ViUInt16 wIndex, ViUInt16 wLength, ViPBuf buf, ViPUInt16 retCnt) {
    if (retCnt) *retCnt = 0;
    return controlTransfer(
        vi, bmRequestType, bRequest, wValue, wIndex, wLength, true, buf != nullptr,
        [&](UsbBackend& backend, protocol::UsbHandle device, const wire::ControlSetup& setup,
            ViUInt32 timeout_ms) {
            std::uint16_t received = 0;
            const ViStatus status =
                backend.controlIn(device, setup, {buf, buf ? wLength : 0u}, received, timeout_ms);
            if (retCnt) *retCnt = received;
            return status;
        });
}
