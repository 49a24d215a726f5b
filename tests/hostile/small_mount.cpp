#include "small_mount.h"

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

SmallMount::SmallMount(const std::filesystem::path& folder, std::size_t bytes) : folder_(folder) {
    std::filesystem::create_directories(folder_);
    const std::string options = "size=" + std::to_string(bytes);
    mounted_ = mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    if (!mounted_)
        why_ = "cannot mount a small tmpfs here (" + std::string(std::strerror(errno)) +
               "): it needs root or CAP_SYS_ADMIN";
}

SmallMount::~SmallMount() {
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
}

bool SmallMount::makeReadOnly() {
    return mounted_ &&
           mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}
