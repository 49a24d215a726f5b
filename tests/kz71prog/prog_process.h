// Runs the real kz71prog binary with an environment of the test's choosing.
#pragma once

#include <map>
#include <string>
#include <vector>

struct ProgResult {
    std::string out;
    std::string err;
    int exit_code = -1; // -1 when ended by a signal
};

// `environment` is added to this process's environment, minus KZ71_PROGRAMMER unless it is
// given; standard input is /dev/null.
ProgResult runKz71prog(const std::string& directory, const std::vector<std::string>& arguments,
                       const std::map<std::string, std::string>& environment = {});
