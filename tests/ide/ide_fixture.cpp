#include "ide_fixture.h"

#include "editor/editor_tabs.h"
#include "shell/main_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMouseEvent>
#include <QStyleFactory>
#include <Qsci/qsciscintilla.h>

namespace ide::test {
namespace {

// One QApplication for the whole test program, made before the first test.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "ide_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
        QApplication::setStyle(QStyleFactory::create("Fusion"));
    }
    void TearDown() override { delete app_; }

private:
    QApplication* app_ = nullptr;
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

int PopupRecorder::show(const Popup& popup) {
    shown.push_back(popup);
    if (popup.buttons == PopupButtons::ok) return answerYes;
    if (answers.empty()) return answerNo;
    int answer = answers.front();
    answers.pop_front();
    return answer;
}

QString PopupRecorder::titles() const {
    QStringList list;
    for (const Popup& p : shown)
        list << p.title;
    return list.join('|');
}

FileChoice DialogScript::chooseFiles(const FileRequest& request) {
    requests.push_back(request);
    if (choices.empty()) return {};
    FileChoice choice = choices.front();
    choices.pop_front();
    return choice;
}

int DialogScript::printEditor(QsciScintilla& editor) {
    printed.push_back(&editor);
    return 1;
}

Paths installedPaths(const QString& programDir) {
    return {programDir, QString(KZ71_BIN_DIR) + "/panels", KZ71_BIN_DIR};
}

void IdeTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    previousDir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    app = std::make_unique<Application>(installedPaths(dir.path()));
    app->popups().setHandler(&popups);
    app->setDialogs(&dialogs);
    app->setClock(&clock);
}

void IdeTest::TearDown() {
    app.reset(); // the next test starts like a new process
    QDir::setCurrent(previousDir);
}

StartResult IdeTest::start(int width, int height, int codePage) {
    StartResult result = app->startUp({width, height, codePage});
    settle();
    return result;
}

QMainWindow* IdeTest::window() const {
    return app->shell().mainPanel;
}

MainWindow& IdeTest::main() const {
    return *app->mainWindow();
}

EditorTabs& IdeTest::tabs() const {
    return app->mainWindow()->editorTabs();
}

QString IdeTest::writeFile(const QString& name, const QByteArray& content) const {
    QString file = dir.filePath(name);
    QDir().mkpath(QFileInfo(file).path());
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(content);
    return file;
}

QByteArray IdeTest::readFile(const QString& name) const {
    QFile in(QFileInfo(name).isAbsolute() ? name : dir.filePath(name));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

void settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

void pressRightButton(QWidget& widget) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), widget.mapToGlobal(QPointF(5, 5)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
}

QsciScintilla* IdeTest::editorOf(int tab) const {
    return tabs().editorTab(tab).editor;
}

QString IdeTest::editorText(int tab) const {
    return editorOf(tab) ? editorOf(tab)->text() : QString();
}

} // namespace ide::test
