#include "prog_process.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

extern char** environ;

namespace usb_bus {

namespace {

std::string takeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return text.str();
}

std::vector<std::string> childEnvironment() {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry)
        if (!std::string_view(*entry).starts_with("KZ71_PROGRAMMER=")) entries.emplace_back(*entry);
    return entries;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> list;
    for (std::string& text : texts)
        list.push_back(text.data());
    list.push_back(nullptr);
    return list;
}

} // namespace

ProgProcess::ProgProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& directory, const std::string& name, int place)
    : out_path_(directory + "/" + name + ".stdout"), err_path_(directory + "/" + name + ".stderr") {
    std::vector<std::string> argv_texts{program};
    argv_texts.insert(argv_texts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env_texts = childEnvironment();
    std::vector<char*> argv = pointers(argv_texts);
    std::vector<char*> envp = pointers(env_texts);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    for (int spare = 0; spare < place * spacing; ++spare)
        posix_spawn_file_actions_addopen(&actions, 3 + spare, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
}

ProgProcess::~ProgProcess() {
    if (pid_ > 0) wait();
}

ProgResult ProgProcess::wait() {
    ProgResult result;
    if (pid_ <= 0) return result;
    int status = 0;
    pid_t ended = -1;
    do {
        ended = waitpid(pid_, &status, 0);
    } while (ended < 0 && errno == EINTR);
    pid_ = -1;
    if (ended > 0 && WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
    result.out = takeFile(out_path_);
    result.err = takeFile(err_path_);
    return result;
}

} // namespace usb_bus
