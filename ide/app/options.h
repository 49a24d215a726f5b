// The IDE's command-line options, read once at start-up.
#pragma once

#include <QStringList>

namespace ide {

struct Options {
    // "--simulator": the programmer link uses the simulated programmer instead of USB.
    bool useSimulator = false;
};

// Reads the arguments after the program name; unknown ones are left to Qt and ignored here.
Options parseOptions(const QStringList& arguments);

} // namespace ide
