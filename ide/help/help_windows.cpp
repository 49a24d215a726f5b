#include "help/help_windows.h"

#include "app/paths.h"
#include "help/help_viewer.h"
#include "shell/popups.h"
#include "shell/window_fit.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

namespace ide {
namespace {

struct Book {
    const char* file;    // below the program's directory
    const char* root;    // where its pages live in the help engine
    const char* topic;   // its start page
    const char* title;   // its window's title
    int missingCode;     // the warning popup when the file is missing
    const char* missing; // its text, %1 the path looked for
};

const Book books[] = {
    {"help/opcode/opcode.qch", "qthelp://kz71.opcode/opcode/", opcode_help_topic,
     "KZ71 Opcode Help", opcode_help_missing_code,
     "Cannot find opcode help file.\nPlease check, if %1 exists."},
    {"help/general/general.qch", "qthelp://kz71.general/general/", general_help_topic,
     "KZ71 Assembler Help", general_help_missing_code,
     "Cannot find general help file.\nPlease check, if %1 exists."},
};

const Book& bookOf(HelpBook book) {
    return books[book == HelpBook::opcode ? 0 : 1];
}

// A new help window lies whole on the screen with its frame, in the middle of it: on a small
// screen its designed size would push the title bar's buttons off the screen.
void fitOnScreen(HelpViewer& viewer) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect available = screen->availableGeometry();
    QRect client(QPoint(), viewer.size());
    client.moveCenter(available.marginsRemoved(usual_frame).center());
    viewer.setGeometry(fitFrameInto(client, usual_frame, available));
}

void present(HelpViewer& viewer, const QString& page) {
    viewer.showPage(page);
    viewer.show();
    viewer.raise();
    viewer.activateWindow();
}

} // namespace

HelpWindows::HelpWindows(const Paths& paths, Popups& popups) : paths_(paths), popups_(popups) {}

HelpWindows::~HelpWindows() {
    closeAll();
}

QString HelpWindows::helpFilePath(HelpBook book) const {
    return paths_.dataDir + "/" + bookOf(book).file;
}

HelpViewer* HelpWindows::viewer(HelpBook book) const {
    return viewers_[book == HelpBook::opcode ? 0 : 1];
}

// The open window of the file, or a new one; null after telling the user why there is none.
HelpViewer* HelpWindows::openBook(HelpBook which) {
    QPointer<HelpViewer>& slot = viewers_[which == HelpBook::opcode ? 0 : 1];
    if (slot) return slot;
    const Book& book = bookOf(which);
    const QString path = helpFilePath(which);
    if (!QFileInfo(path).isFile()) {
        popups_.showWarningPopup(QString(book.missing).arg(path), book.missingCode);
        return nullptr;
    }
    auto* viewer = new HelpViewer(path, QUrl(book.root), book.topic, book.title);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    QString error;
    if (!viewer->open(error)) {
        delete viewer;
        popups_.showErrorPopup(QString("The help file %1 cannot be read.").arg(path),
                               help_unreadable_code, -1, error);
        return nullptr;
    }
    QObject::connect(viewer, &HelpViewer::otherHelpLinked, viewer,
                     [this](const QUrl& url) { openLinked(url); });
    fitOnScreen(*viewer);
    slot = viewer;
    return viewer;
}

void HelpWindows::openLinked(const QUrl& url) {
    for (HelpBook book : {HelpBook::opcode, HelpBook::general}) {
        const QString root = bookOf(book).root;
        if (!url.toString().startsWith(root)) continue;
        if (HelpViewer* viewer = openBook(book)) present(*viewer, url.toString().mid(root.size()));
        return;
    }
}

void HelpWindows::openOpcodeHelp(const QString& keyword) {
    if (HelpViewer* viewer = openBook(HelpBook::opcode)) {
        const QString page = viewer->pageForKeyword(keyword);
        present(*viewer, page.isEmpty() ? QString(opcode_help_topic) : page);
    }
}

void HelpWindows::openGeneralHelp() {
    if (HelpViewer* viewer = openBook(HelpBook::general)) present(*viewer, general_help_topic);
}

void HelpWindows::closeAll() {
    for (QPointer<HelpViewer>& slot : viewers_)
        delete slot.data();
}

} // namespace ide
