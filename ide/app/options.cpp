#include "app/options.h"

namespace ide {

Options parseOptions(const QStringList& arguments) {
    Options options;
    for (const QString& argument : arguments.mid(1))
        if (argument == "--simulator") options.useSimulator = true;
    return options;
}

} // namespace ide
