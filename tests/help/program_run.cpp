#include "program_run.h"

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

std::string file_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ProgramRun run_program(const fs::path& program, const fs::path& working_directory,
                       const std::vector<std::string>& arguments) {
    // The captures go beside the folder, so the program never sees them in it.
    const fs::path out = working_directory.string() + ".out";
    const fs::path err = working_directory.string() + ".err";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ProgramRun run;
    const pid_t child = fork();
    if (child == 0) {
        const int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out_fd < 0 || err_fd < 0 || chdir(working_directory.c_str()) != 0) _exit(126);
        dup2(out_fd, STDOUT_FILENO);
        dup2(err_fd, STDERR_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.exit_code = WEXITSTATUS(status);
    run.out = file_text(out);
    run.err = file_text(err);
    std::error_code ignored;
    fs::remove(out, ignored);
    fs::remove(err, ignored);
    return run;
}
