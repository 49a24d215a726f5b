// Starts the real program on the X server of xvfb-run, checks that its main window appears
// with its title, saves a screenshot into the build folder, and ends the program.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// The X windows and their titles, as xwininfo lists them.
QString windowList() {
    QProcess xwininfo;
    xwininfo.start("xwininfo", {"-root", "-tree"});
    xwininfo.waitForFinished(5000);
    return QString::fromUtf8(xwininfo.readAllStandardOutput());
}

// A copy of the installation in bin/ (the program keeps settings.ini beside itself).
void installInto(const QString& dir) {
    QDir bin(KZ71_BIN_DIR);
    for (const QFileInfo& entry : bin.entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
        if (entry.fileName() == "settings.ini" || entry.fileName() == "win32.info") continue;
        QString target = dir + "/" + entry.fileName();
        if (entry.fileName() == "kz71-assembler")
            QFile::copy(entry.filePath(), target);
        else
            QFile::link(entry.filePath(), target);
    }
}

TEST(Smoke, MainWindowAppearsWithItsTitleAndIsCaptured) {
    int argc = 1;
    char name[] = "smoke";
    char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    installInto(dir.path());
    QProcess ide;
    ide.setWorkingDirectory(dir.path());
    ide.setProcessChannelMode(QProcess::ForwardedChannels);
    ide.start(dir.path() + "/kz71-assembler", {"--simulator"});
    ASSERT_TRUE(ide.waitForStarted(10000));

    const QRegularExpression mainWindow(
        R"("KZ71 Assembler": \("kz71-assembler".*\)\s+(\d+)x(\d+))");
    QRegularExpressionMatch match;
    QElapsedTimer waited;
    waited.start();
    while (!(match = mainWindow.match(windowList())).hasMatch() && waited.elapsed() < 20000)
        QThread::msleep(100);
    ASSERT_TRUE(match.hasMatch()) << qPrintable(windowList());
    EXPECT_GE(match.captured(1).toInt(), 800);
    EXPECT_GE(match.captured(2).toInt(), 600);

    QThread::msleep(500); // let the window paint before the capture
    QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QSize(1024, 768));
    const QString path = QString(KZ71_BUILD_DIR) + "/kz71-assembler-screenshot.png";
    EXPECT_TRUE(shot.save(path));
    // A painted window has many colours; a blank or black screen has one.
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 7)
        for (int x = 0; x < shot.width(); x += 7)
            colours.insert(shot.pixel(x, y));
    EXPECT_GT(colours.size(), 20);

    // The desktop shows the program's icon for its window.
    QProcess xprop;
    xprop.start("xprop", {"-name", "KZ71 Assembler", "_NET_WM_ICON", "WM_CLASS"});
    xprop.waitForFinished(5000);
    const QString properties = QString::fromUtf8(xprop.readAllStandardOutput());
    EXPECT_TRUE(properties.contains("Icon (48 x 48)")) << qPrintable(properties.left(200));
    EXPECT_TRUE(properties.contains("\"kz71-assembler\"")) << qPrintable(properties.right(200));

    EXPECT_EQ(ide.state(), QProcess::Running);
    ide.terminate();
    EXPECT_TRUE(ide.waitForFinished(10000));
    EXPECT_TRUE(QFile::exists(dir.path() + "/win32.info"));
}

} // namespace
