#include "child_process.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<std::string> childEnvironment(const std::map<std::string, std::string>& added,
                                          const std::vector<std::string>& removed) {
    std::vector<std::string> entries;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (added.count(name) == 0 &&
            std::find(removed.begin(), removed.end(), name) == removed.end())
            entries.push_back(entry);
    }
    for (const auto& [name, value] : added)
        entries.push_back(name + "=" + value);
    return entries;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> list;
    for (std::string& s : strings)
        list.push_back(s.data());
    list.push_back(nullptr);
    return list;
}

// Waits for the child, killing it at the time limit; false when it could not be waited for.
bool waitFor(pid_t child, std::chrono::seconds limit, int& status, bool& hung) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) return true;
        if (done < 0) return false;
        if (std::chrono::steady_clock::now() > deadline && !hung) {
            hung = true;
            kill(child, SIGKILL);
        }
        usleep(2000);
    }
}

std::string contentOf(int fd) {
    std::string text;
    char buffer[4096];
    lseek(fd, 0, SEEK_SET);
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(fd);
    return text;
}

} // namespace

ChildResult run_child(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& directory,
                      const std::map<std::string, std::string>& added,
                      const std::vector<std::string>& removed, std::chrono::seconds time_limit) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment = childEnvironment(added, removed);
    std::vector<char*> argv_list = pointers(argv);
    std::vector<char*> env_list = pointers(environment);
    const int out = memfd_create("child-stdout", 0);
    const int err = memfd_create("child-stderr", 0);
    ChildResult result;
    if (out < 0 || err < 0) return result;
    const pid_t child = fork();
    if (child == 0) {
        const int in = open("/dev/null", O_RDONLY);
        if (in < 0 || chdir(directory.c_str()) != 0) _exit(126);
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        execve(program.c_str(), argv_list.data(), env_list.data());
        _exit(127);
    }
    int status = 0;
    const bool waited = child > 0 && waitFor(child, time_limit, status, result.hung);
    result.out = contentOf(out);
    result.err = contentOf(err);
    if (!waited) return result;
    if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    return result;
}
