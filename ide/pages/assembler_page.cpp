#include "pages/assembler_page.h"

#include "app/application.h"
#include "build/compile.h"
#include "build/message_links.h"
#include "build/version_info.h"
#include "editor/editor_setup.h"
#include "editor/editor_tab_widget.h"
#include "editor/editor_tabs.h"
#include "project/projects.h"
#include "shell/appearance.h"
#include "shell/page_layout.h"
#include "shell/panel_loader.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <Qsci/qsciscintilla.h>

namespace ide {
namespace {

// "Opcode-Help (F2)": a link-like text that opens the opcode help on a left press.
class OpcodeHelpEvents : public QObject {
public:
    OpcodeHelpEvents(CommandTable& commands, QObject* parent)
        : QObject(parent), commands_(commands) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            commands_.run("mHelpOpcodeHelp", CommandOrigin::button);
        return false;
    }

private:
    CommandTable& commands_;
};

} // namespace

AssemblerPage::AssemblerPage(Application& app, PageSwitcher& pages, WidgetBinder& binder)
    : app_(app), pages_(pages), page_(binder.bind<QWidget>("assemblerPage")),
      compileButton_(binder.bind<QPushButton>("compileButton")),
      asmMessages_(binder.bind<QPlainTextEdit>("asmMessages")),
      asmMessagesLabel_(binder.bind<QLabel>("asmMessagesLabel")),
      opcodeHelpText_(binder.bind<QLabel>("opcodeHelpText")),
      editorTabs_(binder.bind<EditorTabWidget>("editorTabs")),
      editor0_(binder.bind<QsciScintilla>("editor0")),
      currentFileText_(binder.bind<QLabel>("currentFileText")) {}

AssemblerPage::~AssemblerPage() = default;

void AssemblerPage::setUp() {
    tabs_ = std::make_unique<EditorTabs>(app_, pages_, *editorTabs_, *editor0_, *currentFileText_);
    tabs_->defineCommands();
    compile_ = std::make_unique<Compile>(app_, pages_, *tabs_, *compileButton_, *asmMessages_);
    compile_->defineCommands();
    new MessageLinks(app_, *tabs_, *asmMessages_); // lives as long as the message box
    projects_ = std::make_unique<Projects>(app_, pages_, *tabs_);
    projects_->defineCommands();
    installLayout(*page_, [this] { layout(); });
    CommandTable& commands = app_.commands();
    commands.define("mAssemblerVerInfo", this, [this] { mAssemblerVerInfo(app_); });
    commands.define("mDebuggerVerInfo", this, [this] { mDebuggerVerInfo(app_); });
    commands.attachButton("mAssemblerCompile", compileButton_);
    opcodeHelpText_->setCursor(Qt::PointingHandCursor);
    QPalette palette = opcodeHelpText_->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::WindowText, palette.color(group, QPalette::Link));
    opcodeHelpText_->setPalette(palette);
    opcodeHelpText_->installEventFilter(new OpcodeHelpEvents(commands, opcodeHelpText_));
    commands.attachWidget("mHelpOpcodeHelp", opcodeHelpText_);
}

void AssemblerPage::initControls() {
    colourButton(*compileButton_, run_green, {60, 28});
    fillPage(*editor0_);
    configureEditor(*editor0_);
}

void AssemblerPage::setTooltips(bool show) {
    compileButton_->setToolTip(show ? QString("Compile program") : QString());
}

QsciScintilla* AssemblerPage::documentToPrint() {
    pages_.showAssemblerPage();
    return tabs_->activeEditor();
}

void AssemblerPage::layout() {
    const int w = page_->width(), h = page_->height();
    const int m = asmMessages_->height();
    setRect(asmMessages_, 5, h - m, w - 10, m);
    place(asmMessagesLabel_, 5, h - m - 19);
    setRect(currentFileText_, 5, h - m - 40, w - 220, currentFileText_->height());
    if (tabs_) tabs_->showCurrentFile(tabs_->currentFileText()); // shortened to the new width
    place(opcodeHelpText_, w - 127, h - m - 30);
    place(compileButton_, w - 200, h - m - 35);
    setRect(editorTabs_, 0, 0, w, h - m - 47);
}

} // namespace ide
