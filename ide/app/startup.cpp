#include "app/startup.h"

#include "app/programmer_backend.h"
#include "build/compile.h"
#include "editor/editor_tabs.h"
#include "pages/assembler_page.h"
#include "project/projects.h"
#include "shell/localization.h"
#include "shell/main_window.h"
#include "shell/not_supported_window.h"
#include "shell/panel_loader.h"
#include "shell/toolbar.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QLocale>
#include <QMainWindow>
#include <QScreen>
#include <QStyleFactory>
#include <QSysInfo>
#include <QTextStream>
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

void chooseLanguage(SettingsStore& settings, const Platform& platform) {
    const bool chinese = isChineseCodePage(platform.codePage) && settings->codepageDetection == 1;
    settings.set(&Settings::language, chinese ? 1 : 0);
    if (platform.codePage == 932 || isChineseCodePage(platform.codePage))
        settings.set(&Settings::multibyte, 1);
}

// Start-up steps 7 (screens below 800 pixels): the not-supported window.
std::unique_ptr<NotSupportedWindow> showNotSupported(Application& app) {
    PanelResult failure;
    std::unique_ptr<NotSupportedWindow> window = NotSupportedWindow::load(app, failure);
    if (!window) {
        // The program ends without a popup; the reason still goes to the error stream.
        std::fprintf(stderr, "%s\n", qPrintable(failure.error));
        return nullptr;
    }
    app.settings().set(&Settings::resolution, 640);
    if (app.settings()->language == 1)
        localizePanel(window->panel(), app.paths().dataFile("chinese/notsupported.lwl"));
    window->panel().show();
    return window;
}

// Start-up steps 8 to 16: the main window.
std::unique_ptr<MainWindow> showMainWindow(Application& app) {
    PanelResult failure;
    std::unique_ptr<MainWindow> main = MainWindow::load(app, failure);
    if (!main) {
        app.popups().showErrorPopup("Loading main panel failed!", 20,
                                    failure.status ? failure.status : -1, failure.error);
        return nullptr;
    }
    SettingsStore& settings = app.settings();
    settings.set(&Settings::resolution, 1024);
    if (settings->language == 1 &&
        !localizePanel(main->window(), app.paths().dataFile("chinese/big.lwl")))
        app.popups().showWarningPopup("Loading chinese coding failed!", 22);
    // Showing the window raises a size event that records the normal state: decide first.
    const bool maximize = settings->windowStatus == 1 && settings->allowMaximization == 1;
    main->display();
    main->initMainControls();
    createToolbar(main->window(), app);
    main->showPage(app.shell().activePage);
    deleteMessageFiles();
    main->setTooltips();
    main->createBreakpointImages();
    if (maximize) main->window().showMaximized();
    return main;
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

StartResult Application::startUp(const Platform& platform) {
    discardPanels();
    quitRequested_ = false;
    writePlatformInfo(platform_info_file);
    settings_.initSettings();
    shell_.screenWidth = static_cast<std::int16_t>(platform.screenWidth);
    shell_.screenHeight = static_cast<std::int16_t>(platform.screenHeight);
    shell_.codePage = platform.codePage;
    chooseLanguage(settings_, platform);
    if (platform.screenWidth < min_panel_width) {
        notSupported_ = showNotSupported(*this);
        return notSupported_ ? StartResult::notSupported : StartResult::failed;
    }
    mainWindow_ = showMainWindow(*this);
    if (!mainWindow_) return StartResult::failed;
    // Last: the last project or the untitled file (its loading names the project in the title).
    mainWindow_->assemblerPage().projects().restoreLastProject();
    return StartResult::mainWindow;
}

void Application::discardPanels() {
    mainWindow_.reset();
    notSupported_.reset();
    shell_ = ShellState{};
}

std::unique_ptr<MainWindow> Application::replaceMainWindow(std::unique_ptr<MainWindow> next) {
    std::swap(mainWindow_, next);
    return next;
}

Application::Application(Paths paths, Options options)
    : options_(options), paths_(std::move(paths)),
      settings_(paths_.settingsFile(), settings_file_name), qtDialogs_(makeQtDialogs()),
      steadyClock_(kz71::steadyClock()), processLauncher_(makeProcessLauncher()) {
    // The IDE ends through its quit sequence, not when its last window happens to close.
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

Application::~Application() {
    discardPanels();
}

void Application::exec() {
    if (!quitRequested_) mainLoop_.exec();
}

void Application::quitUserInterface() {
    quitRequested_ = true;
    // Only the main loop ends, and only when control comes back to it: a popup still open
    // (or opened later by the same callback) runs its own loop undisturbed.
    mainLoop_.exit(0);
}

// With KZ71_EXIT_WHEN_IDLE set, the program prints "idle <ms since the epoch>" when its
// event loop first waits for input, and ends without saving anything (start-up timing).
namespace {

void exitWhenIdle(Application& ide) {
    auto* dispatcher = QAbstractEventDispatcher::instance();
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, dispatcher, [&ide] {
        static bool reported = false;
        if (std::exchange(reported, true)) return;
        std::printf("idle %lld\n", static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
        std::fflush(stdout);
        ide.quitUserInterface();
    });
}

} // namespace

int runIde(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setApplicationName("KZ71 Assembler");
    Application ide(Paths::beside(QCoreApplication::applicationDirPath()),
                    parseOptions(QCoreApplication::arguments()));
    // The desktop entry and the icon every window of the program shows.
    QGuiApplication::setDesktopFileName("kz71-assembler");
    QApplication::setWindowIcon(QIcon(ide.paths().dataFile("icons/kz71-assembler.png")));
    if (ide.startUp(queryPlatform()) == StartResult::failed) return -1;
    selectProgrammerBackend(ide);
    if (qEnvironmentVariableIsSet("KZ71_EXIT_WHEN_IDLE")) exitWhenIdle(ide);
    ide.exec();
    ide.discardPanels();
    return 0;
}

} // namespace ide
