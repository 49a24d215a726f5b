#include "prog_process.h"

#include "child_process.h"

ProgResult runKz71prog(const std::string& directory, const std::vector<std::string>& arguments,
                       const std::map<std::string, std::string>& environment) {
    const ChildResult child =
        run_child(KZ71PROG_PATH, arguments, directory, environment, {"KZ71_PROGRAMMER"});
    return {child.out, child.err, child.exit_code};
}
