#include "toolbar.h"

#include "settings.h"
#include "shell_state.h"

#include <QAction>
#include <QIcon>
#include <QMainWindow>
#include <QToolBar>

namespace ide {
namespace {

struct Button {
    const char* text; // also the tooltip; nullptr: a separator
    const char* menuItem;
    const char* icon;
};

constexpr Button buttons[] = {
    {"New File", "mFileNew", "document-new.png"},
    {"Open File", "mFileOpen", "document-open.png"},
    {"Print File", "mFilePrint", "printer.png"},
    {"Save File", "mFileSave", "media-floppy.png"},
    {nullptr, nullptr, nullptr},
    {"Open Project", "mOpenProject", "folder-open.png"},
    {"Save Project", "mSaveProject", "document-save.png"},
    {nullptr, nullptr, nullptr},
    {"Cut", "mEditCut", "edit-cut.png"},
    {"Copy", "mEditCopy", "edit-copy.png"},
    {"Paste", "mEditPaste", "edit-paste.png"},
    {nullptr, nullptr, nullptr},
    {"Find", "mEditFind", "edit-find.png"},
    {"Find & Replace", "mEditFindReplace", "edit-find-replace.png"},
    {nullptr, nullptr, nullptr},
    {"Undo", "mEditUndo", "edit-undo.png"},
    {"Redo", "mEditRedo", "edit-redo.png"},
    {nullptr, nullptr, nullptr},
    {"Compile", "mAssemblerCompile", "media-playback-start-green-gradient.png"},
    {"Download", "mDownloadHexFile", "go-bottom.png"},
    {nullptr, nullptr, nullptr},
    {"Run To Breakpoint", "mDebuggerRunToBP", "process-stop.png"},
    {"Run To Cursor", "mDebuggerRunToCursor", "run-to-cursor.png"},
    {"Single Step", "mDebuggerSingleStep", "start-here.png"},
    {"Exit Debug Mode", "mDebuggerExitDbgMode", "exit.png"},
    {nullptr, nullptr, nullptr},
    {"Settings", "mToolsSettings", "preferences-system.png"},
    {nullptr, nullptr, nullptr},
    {"Search Examples", "mHelpSearchExamples", "dialog-information.png"},
    {nullptr, nullptr, nullptr},
    {"Language", nullptr, nullptr}, // the other language, chosen when the bar is made
    {nullptr, nullptr, nullptr},
    {"Exit Application", "mFileExit", "system-log-out.png"},
    {nullptr, nullptr, nullptr},
    {"Close File", "mFileClose", "image-missing.png"},
};

void addButton(QToolBar& bar, QMainWindow& window, const char* text, const char* menuItem,
               const char* icon) {
    QAction* item = window.findChild<QAction*>(menuItem);
    QAction* button = bar.addAction(QIcon(dataFile(QString("icons/") + icon)), text);
    button->setToolTip(text);
    button->setObjectName(QString("tb_") + menuItem);
    if (item == nullptr) {
        button->setEnabled(false);
        return;
    }
    QObject::connect(button, &QAction::triggered, item, &QAction::trigger);
    button->setEnabled(item->isEnabled());
    QObject::connect(item, &QAction::changed, button,
                     [button, item] { button->setEnabled(item->isEnabled()); });
}

} // namespace

void createToolbar(QMainWindow& window) {
    delete shell().toolbar;
    auto* bar = new QToolBar("ASM Toolbar", &window);
    bar->setObjectName("asmToolbar");
    bar->setIconSize({22, 22});
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const bool chinese = settings().language == 1;
    for (const Button& b : buttons) {
        if (b.text == nullptr)
            bar->addSeparator();
        else if (b.menuItem)
            addButton(*bar, window, b.text, b.menuItem, b.icon);
        else
            addButton(*bar, window, b.text,
                      chinese ? "mToolsLanguagesEnglish" : "mToolsLanguagesChinese",
                      chinese ? "lang-english.png" : "lang-cn.png");
    }
    window.addToolBar(Qt::TopToolBarArea, bar);
    shell().toolbar = bar;
}

} // namespace ide
