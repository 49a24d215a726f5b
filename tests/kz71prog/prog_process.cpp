#include "prog_process.h"

#include "scratch_directory.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<std::string> childEnvironment(const std::map<std::string, std::string>& extra) {
    std::vector<std::string> entries;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (name != "KZ71_PROGRAMMER" && !extra.count(name)) entries.push_back(entry);
    }
    for (const auto& [name, value] : extra)
        entries.push_back(name + "=" + value);
    return entries;
}

[[noreturn]] void execProg(const std::string& directory, const std::vector<std::string>& arguments,
                           std::vector<std::string>& environment, const std::string& out,
                           const std::string& err) {
    if (chdir(directory.c_str()) != 0) _exit(126);
    const int in_fd = open("/dev/null", O_RDONLY);
    const int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in_fd < 0 || out_fd < 0 || err_fd < 0) _exit(126);
    dup2(in_fd, STDIN_FILENO);
    dup2(out_fd, STDOUT_FILENO);
    dup2(err_fd, STDERR_FILENO);
    std::vector<char*> argv{const_cast<char*>(KZ71PROG_PATH)};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    execve(KZ71PROG_PATH, argv.data(), envp.data());
    _exit(127);
}

} // namespace

ProgResult runKz71prog(const std::string& directory, const std::vector<std::string>& arguments,
                       const std::map<std::string, std::string>& environment) {
    const std::string out = directory + ".stdout";
    const std::string err = directory + ".stderr";
    std::vector<std::string> childEnv = childEnvironment(environment);
    ProgResult result;
    const pid_t child = fork();
    if (child == 0) execProg(directory, arguments, childEnv, out, err);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return result;
    if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
    result.out = read_whole_file(out);
    result.err = read_whole_file(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return result;
}
