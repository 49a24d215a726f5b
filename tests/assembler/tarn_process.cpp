#include "tarn_process.h"

TarnResult run_tarn_binary(const std::filesystem::path& working_directory,
                           const std::vector<std::string>& arguments, int time_limit_seconds) {
    return run_child(TARN_PATH, arguments, working_directory, {}, {},
                     std::chrono::seconds(time_limit_seconds));
}
