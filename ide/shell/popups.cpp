#include "shell/popups.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace ide {
namespace {

QMessageBox::Icon boxIcon(PopupIcon icon) {
    switch (icon) {
    case PopupIcon::error:
        return QMessageBox::Critical;
    case PopupIcon::warning:
        return QMessageBox::Warning;
    case PopupIcon::information:
        return QMessageBox::Information;
    case PopupIcon::none:
        break;
    }
    return QMessageBox::NoIcon;
}

// Beside the title a title bar holds the window's icon and its buttons.
constexpr int title_bar_extras = 150;

class MessageBoxHandler : public PopupHandler {
public:
    int show(const Popup& popup) override {
        const std::unique_ptr<QMessageBox> shown = makeMessageBox(popup);
        QMessageBox& box = *shown;
        switch (box.exec()) {
        case QMessageBox::Yes:
        case QMessageBox::Ok:
            return answerYes;
        case QMessageBox::No:
            return answerNo;
        default:
            return popup.buttons == PopupButtons::yesNo ? answerNo : answerCancel;
        }
    }
};

} // namespace

std::unique_ptr<QMessageBox> makeMessageBox(const Popup& popup) {
    auto box = std::make_unique<QMessageBox>(boxIcon(popup.icon), popup.title, popup.text);
    switch (popup.buttons) {
    case PopupButtons::ok:
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case PopupButtons::yesNo:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::Yes);
        break;
    case PopupButtons::yesNoCancel:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box->setDefaultButton(QMessageBox::Yes);
        box->setEscapeButton(QMessageBox::Cancel);
        break;
    }
    // A message box sizes itself to its text: a short text would cut its title off.
    QFont titleFont = box->font();
    titleFont.setBold(true);
    const int titleWidth =
        QFontMetrics(titleFont).horizontalAdvance(popup.title) + title_bar_extras;
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return box;
}

Popups::Popups() : messageBoxes_(std::make_unique<MessageBoxHandler>()) {}

int Popups::showPopup(const Popup& popup) {
    // Asked in the middle of a long operation, the popup shows the normal cursor: the user
    // answers it while the operation waits.
    const bool busyCursor = QApplication::overrideCursor() != nullptr;
    if (busyCursor) QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = (handler_ ? handler_ : messageBoxes_.get())->show(popup);
    if (busyCursor) QApplication::restoreOverrideCursor();
    return answer;
}

// "ivra-ASM <kind> <code>" above the text, whose last line is "<kind> <code>".
void Popups::showCoded(PopupIcon icon, const QString& kind, const QString& text, int code) {
    const QString tag = QString("%1 %2").arg(kind).arg(code);
    showPopup({icon, PopupButtons::ok, "ivra-ASM " + tag, text + "\n" + tag});
}

void Popups::showErrorPopup(const QString& message, int code, int returnValue,
                            const QString& detail) {
    // One arg() call, so a "%1" inside the message or the detail stays as it is.
    const QString text =
        returnValue != 0 && !detail.isEmpty()
            ? QString("%1 (Return value %2)\n%3").arg(message, QString::number(returnValue), detail)
            : message;
    showCoded(PopupIcon::error, "Error", text, code);
}

void Popups::showWarningPopup(const QString& message, int code) {
    showCoded(PopupIcon::warning, "Warning", message, code);
}

void Popups::showInfoPopup(const QString& message, int code) {
    showCoded(PopupIcon::information, "Info", message, code);
}

void Popups::showMessagePopup(const QString& title, const QString& text) {
    showPopup({PopupIcon::none, PopupButtons::ok, title, text});
}

bool Popups::askYesNo(const QString& title, const QString& text) {
    return showPopup({PopupIcon::none, PopupButtons::yesNo, title, text}) == answerYes;
}

PopupAnswer Popups::askSaveChanges() {
    int answer = showPopup({PopupIcon::none, PopupButtons::yesNoCancel, "Save Changes",
                            "Edit buffer was modified. Save?"});
    return answer == answerYes ? answerYes : answer == answerNo ? answerNo : answerCancel;
}

} // namespace ide
