// The USB backends a program offers, by name ("usb", "sim"), and the one its resource managers
// use. The executable fills the table with the backends it links, so the VISA layer itself
// depends on none of them.
#pragma once

#include "protocol/usb_backend.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace programmer {

// Makes a fresh backend for one resource manager.
using BackendMaker = std::function<std::unique_ptr<protocol::UsbBackend>()>;

// Adds the backend `name` (names are lower case; a second registration replaces the first).
void registerBackend(std::string name, BackendMaker make);
// The registered names, sorted.
std::vector<std::string> backendNames();

// Chooses the backend that the next viOpenDefaultRM opens: KZ71_PROGRAMMER when set in the
// environment (an override for scripts), else `preferred`. An unknown name fails with a clear
// message that lists the known ones, e.g. "unknown programmer backend 'serial' (known: sim,
// usb)", and the resource managers opened after it fail with VI_ERROR_LIBRARY_NFOUND.
bool selectBackend(std::string_view preferred, std::string& error);

// A new backend of the selected kind, or null when that name is not registered. Without a
// selection: KZ71_PROGRAMMER as it stands now, else "usb".
std::unique_ptr<protocol::UsbBackend> makeSelectedBackend();

} // namespace programmer
