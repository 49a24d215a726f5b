// kz71prog (or any program) started as a process of its own, several at a time: standard input
// from /dev/null, its output kept in files until it ends. It inherits this process's environment
// (and with it umockdev's preload library and testbed) except KZ71_PROGRAMMER.
//
// umockdev emulates the uevent netlink socket with a Unix socket in the testbed named after the
// socket's file descriptor number, and replaces whatever socket had that name. Processes started
// alike open their descriptors in the same order, so two of them starting libusb at the same
// time can take each other's socket and libusb's start fails ("failed to enable the udev
// monitor"). Each process of a group therefore gets `spacing` spare descriptors (/dev/null)
// more than the one before, which gives its sockets numbers of their own.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace usb_bus {

struct ProgResult {
    std::string out;
    std::string err;
    int exit_code = -1; // -1: it could not be started, or a signal ended it
};

class ProgProcess {
public:
    static constexpr int spacing = 8;

    // Starts `program` with `arguments` in `directory`; `name` names its output files there.
    // `place` is the process's place in a group running at the same time (0, 1, 2, ...).
    ProgProcess(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& directory, const std::string& name, int place = 0);
    ~ProgProcess(); // waits for it if nobody did
    ProgProcess(const ProgProcess&) = delete;
    ProgProcess& operator=(const ProgProcess&) = delete;

    ProgResult wait();

private:
    pid_t pid_ = -1;
    std::string out_path_;
    std::string err_path_;
};

} // namespace usb_bus
