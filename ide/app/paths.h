// Where the program looks for its files. The working directory holds win32.info and the
// build's files and is searched first for data files; the program directory holds
// settings.ini, and the installation's panels and data lie beside the program.
#pragma once

#include <QString>

namespace ide {

struct Paths {
    QString programDir; // settings.ini is read and written here
    QString panelsDir;  // the .ui panels
    QString dataDir;    // fall-back for data files missing from the working directory

    // The installation laid out beside the program in `programDir`.
    static Paths beside(const QString& programDir);
    // A data file (relative name): in the working directory, else in dataDir.
    QString dataFile(const QString& relative) const;
    QString settingsFile() const;
};

} // namespace ide
