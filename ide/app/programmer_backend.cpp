#include "app/programmer_backend.h"

#include "app/application.h"
#include "programmer/backend_table.h"

#include <string>

namespace ide {

bool selectProgrammerBackend(Application& ide) {
    std::string error;
    if (programmer::selectBackend(ide.options().useSimulator ? "sim" : "usb", error)) return true;
    ide.popups().showWarningPopup(
        QString::fromStdString("The programmer cannot be reached: " + error + "."), 173);
    return false;
}

} // namespace ide
