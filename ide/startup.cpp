#include "startup.h"

#include "editor_tab_widget.h"
#include "editor_tabs.h"
#include "find_dialog.h"
#include "localization.h"
#include "main_window.h"
#include "panel_loader.h"
#include "popups.h"
#include "quit.h"
#include "settings.h"
#include "settings_dialog.h"
#include "shell_state.h"
#include "toolbar.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QScreen>
#include <QStyleFactory>
#include <QSysInfo>
#include <QTextStream>
#include <Qsci/qsciscintilla.h>
#include <cstdio>
#include <utility>

namespace ide {
namespace {

constexpr const char* platform_info_file = "win32.info";

// "char" and tabs up to the third tab stop, as the size lines are laid out.
QString sizeLine(const char* label, std::size_t size) {
    QString text = label;
    int tabs = qMax(1, (24 - static_cast<int>(text.size()) + 7) / 8);
    return text + QString(tabs, '\t') + QString("%1 Byte(s)").arg(size);
}

bool isChineseCodePage(int codePage) {
    return codePage == 936 || codePage == 950;
}

void chooseLanguage(const Platform& platform) {
    Settings& s = settings();
    s.language = isChineseCodePage(platform.codePage) && s.codepageDetection == 1 ? 1 : 0;
    if (platform.codePage == 932 || isChineseCodePage(platform.codePage)) s.multibyte = 1;
}

StartResult showNotSupported() {
    PanelResult loaded = loadPanel("notsupported");
    if (loaded.panel == nullptr) return StartResult::failed;
    shell().notSupportedPanel = loaded.panel;
    settings().resolution = 640;
    if (settings().language == 1) localizePanel(*loaded.panel, "chinese/notsupported.lwl");
    if (auto* exit = control<QAbstractButton>(loaded.panel, "exitButton"))
        QObject::connect(exit, &QAbstractButton::clicked, exit, [] { Quit(); });
    loaded.panel->show();
    return StartResult::notSupported;
}

void registerShellCommands() {
    const std::pair<const char*, void (*)()> commands[] = {
        {"mFileNew", mFileNew},
        {"mFileOpen", mFileOpen},
        {"mFileOpenMult", mFileOpenMult},
        {"mFileSave", mFileSave},
        {"mFileSaveAs", mFileSaveAs},
        {"mFilePrint", mFilePrint},
        {"mFileClose", mFileClose},
        {"mEditCut", mEditCut},
        {"mEditCopy", mEditCopy},
        {"mEditPaste", mEditPaste},
        {"mEditUndo", mEditUndo},
        {"mEditRedo", mEditRedo},
        {"mEditFind", mEditFind},
        {"mEditFindReplace", mEditFindReplace},
        {"mViewAssembler", mViewAssembler},
        {"mViewDebugger", mViewDebugger},
        {"mViewDownload", mViewDownload},
        {"mToolsSettings", mToolsSettings},
    };
    for (const auto& [name, callback] : commands)
        registerCommand(name, callback);
    registerCommand("mFileExit", [] { Quit(); });
}

StartResult showMainWindow() {
    PanelResult loaded = loadPanel("big");
    auto* window = qobject_cast<QMainWindow*>(loaded.panel);
    if (window == nullptr) {
        delete loaded.panel;
        showErrorPopup("Loading main panel failed!", 20, loaded.status ? loaded.status : -1,
                       loaded.error.isEmpty() ? "big.ui holds no main window" : loaded.error);
        return StartResult::failed;
    }
    Settings& s = settings();
    s.resolution = 1024;
    if (s.language == 1 && !localizePanel(*window, "chinese/big.lwl"))
        showWarningPopup("Loading chinese coding failed!", 22);
    shell().mainPanel = window;
    shell().assemblerPage = control<QWidget>(window, "assemblerPage");
    registerShellCommands();
    connectMainWindow(*window);
    if (s.allowMaximization == 0) window->setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    // Showing the window raises a size event that records the normal state: decide first.
    const bool maximize = s.windowStatus == 1 && s.allowMaximization == 1;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        window->resize(window->size().boundedTo(screen->availableGeometry().size()));
    window->show();
    attachEditorTabs(control<EditorTabWidget>(window, "editorTabs"),
                     control<QsciScintilla>(window, "editor0"),
                     control<QLabel>(window, "currentFileText"));
    initMainControls();
    createToolbar(*window);
    showPage(shell().activePage);
    deleteMessageFiles();
    setTooltips();
    createBreakpointImages();
    if (maximize) window->showMaximized();
    if (!hooks().restoreLastProject || !hooks().restoreLastProject()) applyUntitledTemplate();
    return StartResult::mainWindow;
}

} // namespace

int codePageFromLocale(const QString& localeName) {
    if (localeName.startsWith("zh_CN")) return 936;
    if (localeName.startsWith("zh_TW") || localeName.startsWith("zh_HK")) return 950;
    if (localeName.startsWith("ja")) return 932;
    return 1252;
}

Platform queryPlatform() {
    Platform platform;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        platform.screenWidth = screen->size().width();
        platform.screenHeight = screen->size().height();
    }
    platform.codePage = codePageFromLocale(QLocale::system().name());
    return platform;
}

bool writePlatformInfo(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "\nCannot open or create File '%s'\n", qPrintable(path));
        return false;
    }
    const QString dashes(64, '-');
    QTextStream out(&file);
    out << dashes << "\n"
        << "Platform Information\n"
        << "Written by KZ71 Assembler at start-up\n"
        << dashes << "\n"
        << "Operating System: " << QSysInfo::prettyProductName() << " (" << QSysInfo::kernelType()
        << ' ' << QSysInfo::kernelVersion() << ", " << QSysInfo::currentCpuArchitecture() << ", "
        << QSysInfo::WordSize << " bit)\n"
        << "Size of different data types on this platform:\n"
        << sizeLine("char", sizeof(char)) << "\n"
        << sizeLine("short", sizeof(short)) << "\n"
        << sizeLine("short int", sizeof(short int)) << "\n"
        << sizeLine("int", sizeof(int)) << "\n"
        << sizeLine("__int64", sizeof(long long)) << "\n"
        << sizeLine("unsigned char", sizeof(unsigned char)) << "\n"
        << sizeLine("unsigned short", sizeof(unsigned short)) << "\n"
        << sizeLine("unsigned short int", sizeof(unsigned short int)) << "\n"
        << sizeLine("unsigned int", sizeof(unsigned int)) << "\n"
        << sizeLine("unsigned __int64", sizeof(unsigned long long)) << "\n"
        << "This file was compiled on " << __DATE__ << " at " << __TIME__ << "\n"
#ifdef __STDC__
        << "Compiler conforms to ISO C (__STDC__): YES\n"
#else
        << "Compiler conforms to ISO C (__STDC__): NO\n"
#endif
        << "Compiler conforms to ISO C++ (__cplusplus " << __cplusplus << "): YES\n";
    out.flush();
    return file.error() == QFileDevice::NoError;
}

void deleteMessageFiles() {
    for (const char* name : {"TARNOutpMsg.tmp", "FELLOutpMsg.tmp"})
        if (QFile::exists(name)) QFile::remove(name);
}

StartResult startUp(const Platform& platform) {
    writePlatformInfo(platform_info_file);
    resetShellState();
    resetQuitRequest();
    initSettings(settings_file_name, settingsPath().toStdString());
    shell().screenWidth = static_cast<std::int16_t>(platform.screenWidth);
    shell().screenHeight = static_cast<std::int16_t>(platform.screenHeight);
    shell().codePage = platform.codePage;
    chooseLanguage(platform);
    if (platform.screenWidth < min_panel_width) return showNotSupported();
    return showMainWindow();
}

void discardPanels() {
    delete FindDialog::instance();
    detachEditorTabs();
    delete shell().mainPanel;
    delete shell().notSupportedPanel;
    resetShellState();
}

// With KZ71_EXIT_WHEN_IDLE set, the program prints "idle <ms since the epoch>" when its
// event loop first waits for input, and ends without saving anything (start-up timing).
void exitWhenIdle() {
    auto* dispatcher = QAbstractEventDispatcher::instance();
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, dispatcher, [] {
        static bool reported = false;
        if (std::exchange(reported, true)) return;
        std::printf("idle %lld\n", static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
        std::fflush(stdout);
        quitUserInterface();
    });
}

int runIde(int argc, char** argv) {
    QApplication app(argc, argv); // "--simulator" is read by the programmer link
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setApplicationName("KZ71 Assembler");
    initPaths();
    StartResult result = startUp(queryPlatform());
    if (result == StartResult::failed) return -1;
    if (qEnvironmentVariableIsSet("KZ71_EXIT_WHEN_IDLE")) exitWhenIdle();
    if (!quitRequested()) QApplication::exec();
    discardPanels();
    return 0;
}

} // namespace ide
