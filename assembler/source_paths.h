// Where the source being assembled lies and where its output files go: the source argument
// split at its last separator, as the driver found it.
#pragma once

#include "assembler/include_paths.h"

#include <string>
#include <string_view>

struct SourcePaths {
    std::string inpFilePath; // directory part, or the whole argument when it has none
    std::string inpFileName; // file-name part (equal to inpFilePath when no directory)
    bool inpHasDirectory = false;
    std::string parseFile; // full path of the source, as opened
    std::string exePath;   // working directory at the start; base of <...> includes

    // The paths of the source argument `argument`.
    static SourcePaths of_argument(std::string_view argument) {
        SourcePaths paths;
        const std::size_t last = argument.rfind(sep_char);
        paths.inpHasDirectory = last != std::string_view::npos;
        paths.inpFilePath = paths.inpHasDirectory ? argument.substr(0, last) : argument;
        paths.inpFileName = paths.inpHasDirectory ? argument.substr(last + 1) : argument;
        paths.parseFile = paths.beside_source(paths.inpFileName);
        return paths;
    }

    // Path of the file `name` in the source's directory, written as the source argument
    // wrote it.
    std::string beside_source(const std::string& name) const {
        return inpHasDirectory ? inpFilePath + sep_char + name : name;
    }

    // Path of an output file: the source's directory, its file name up to the last dot (the
    // whole name when it has none), and `extension`.
    std::string output_path(const char* extension) const {
        return beside_source(inpFileName.substr(0, inpFileName.rfind('.')) + "." + extension);
    }
};
