#include "tarn_process.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void exec_tarn(const fs::path& directory, const std::vector<std::string>& arguments,
                            const fs::path& out, const fs::path& err) {
    if (chdir(directory.c_str()) != 0) _exit(126);
    int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out_fd < 0 || err_fd < 0) _exit(126);
    dup2(out_fd, STDOUT_FILENO);
    dup2(err_fd, STDERR_FILENO);
    std::vector<char*> argv{const_cast<char*>(TARN_PATH)};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(TARN_PATH, argv.data());
    _exit(127);
}

// Waits for `child`, killing it once `time_limit_seconds` have passed; false on failure.
bool wait_with_limit(pid_t child, int time_limit_seconds, int& status, bool& timed_out) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(time_limit_seconds);
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) return true;
        if (done < 0) return false;
        if (std::chrono::steady_clock::now() > deadline) {
            timed_out = true;
            kill(child, SIGKILL);
            return waitpid(child, &status, 0) == child;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace

TarnResult run_tarn_binary(const fs::path& working_directory,
                           const std::vector<std::string>& arguments, int time_limit_seconds) {
    // Captures live beside the scratch directory so that they never show up in it.
    fs::path out = working_directory.string() + ".stdout";
    fs::path err = working_directory.string() + ".stderr";
    TarnResult result;
    pid_t child = fork();
    if (child == 0) exec_tarn(working_directory, arguments, out, err);
    int status = 0;
    if (child < 0 || !wait_with_limit(child, time_limit_seconds, status, result.timed_out))
        return result;
    if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    result.out = read_whole_file(out);
    result.err = read_whole_file(err);
    fs::remove(out);
    fs::remove(err);
    return result;
}
