#include "shell/toolbar.h"

#include "app/application.h"
#include "shell/localization.h"

#include <QAction>
#include <QIcon>
#include <QMainWindow>
#include <QProxyStyle>
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

// Tighter spacing than the style's, so that every button fits an 800 pixel window.
class CompactToolbarStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        switch (metric) {
        case PM_ToolBarItemSpacing:
        case PM_ToolBarItemMargin:
        case PM_ToolBarFrameWidth:
            return 0;
        case PM_ToolBarSeparatorExtent:
            return 5;
        case PM_ButtonMargin:
            return 2;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }
};

// The texts of the main window in its language: none in English (the texts stand as they are).
using Texts = QHash<QString, QString>;
Texts buttonTexts(Application& app) {
    Texts texts;
    if (app.settings()->language == 1)
        readLanguageFile(app.paths().dataFile("chinese/big.lwl"), texts);
    return texts;
}

void addButton(QToolBar& bar, Application& app, const Texts& texts, const char* text,
               const char* item, const char* icon) {
    QAction* action = app.commands().action(item);
    if (action == nullptr) return;
    action->setIcon(QIcon(app.paths().dataFile(QString("icons/") + icon)));
    action->setIconVisibleInMenu(false);
    action->setToolTip(texts.value(text, text));
    bar.addAction(action);
}

} // namespace

QToolBar* createToolbar(QMainWindow& window, Application& app) {
    delete app.shell().toolbar;
    auto* bar = new QToolBar("ASM Toolbar", &window);
    bar->setObjectName("asmToolbar");
    bar->setIconSize({22, 22});
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    auto* style = new CompactToolbarStyle;
    style->setParent(bar);
    bar->setStyle(style);
    const bool chinese = app.settings()->language == 1;
    const Texts texts = buttonTexts(app);
    for (const Button& b : buttons) {
        if (b.text == nullptr)
            bar->addSeparator();
        else if (b.menuItem)
            addButton(*bar, app, texts, b.text, b.menuItem, b.icon);
        else
            addButton(*bar, app, texts, b.text,
                      chinese ? "mToolsLanguagesEnglish" : "mToolsLanguagesChinese",
                      chinese ? "lang-english.png" : "lang-cn.png");
    }
    window.addToolBar(Qt::TopToolBarArea, bar);
    app.shell().toolbar = bar;
    return bar;
}

} // namespace ide
