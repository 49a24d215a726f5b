// The Assembler page: the editor tabs, the Compile button, the "ASM Messages" box, the
// "Opcode-Help (F2)" text and the current-file text; the page owns the build and the projects
// that act on its tabs.
#pragma once

#include "shell/page.h"

#include <QObject>
#include <memory>

class EditorTabWidget;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QsciScintilla;
class QWidget;

namespace ide {

class Application;
class Compile;
class EditorTabs;
class Projects;
class WidgetBinder;

class AssemblerPage : public QObject, public Page {
public:
    // Binds the page's widgets; the panel fails to load when one is missing.
    AssemblerPage(Application& app, PageSwitcher& pages, WidgetBinder& binder);
    ~AssemblerPage() override;
    // After a complete binding: the editor tabs, the commands of the page, the layout rule.
    void setUp();
    // The page's part of the control set-up of start-up.
    void initControls();
    void setTooltips(bool show);

    EditorTabs& editorTabs() { return *tabs_; }
    Compile& compile() { return *compile_; }
    Projects& projects() { return *projects_; }
    QWidget& page() { return *page_; }
    QPlainTextEdit& asmMessages() { return *asmMessages_; }
    QPushButton& compileButton() { return *compileButton_; }

    QsciScintilla* documentToPrint() override;

private:
    void layout();

    Application& app_;
    PageSwitcher& pages_;
    QWidget* page_;
    QPushButton* compileButton_;
    QPlainTextEdit* asmMessages_;
    QLabel* asmMessagesLabel_;
    QLabel* opcodeHelpText_;
    EditorTabWidget* editorTabs_;
    QsciScintilla* editor0_;
    QLabel* currentFileText_;
    std::unique_ptr<EditorTabs> tabs_;
    std::unique_ptr<Compile> compile_;
    std::unique_ptr<Projects> projects_;
};

} // namespace ide
