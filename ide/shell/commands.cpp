#include "shell/commands.h"

#include <QAbstractButton>
#include <QAction>

namespace ide {

const QStringList& CommandTable::menuCommands() {
    static const QStringList names = {"mFileNew",
                                      "mFileOpen",
                                      "mFileOpenMult",
                                      "mFileSave",
                                      "mFileSaveAs",
                                      "mFilePrint",
                                      "mFileClose",
                                      "mOpenProject",
                                      "mSaveProject",
                                      "mFileExit",
                                      "mEditCut",
                                      "mEditCopy",
                                      "mEditPaste",
                                      "mEditUndo",
                                      "mEditRedo",
                                      "mEditFind",
                                      "mEditFindReplace",
                                      "mViewAssembler",
                                      "mViewDebugger",
                                      "mViewDownload",
                                      "mAssemblerCompile",
                                      "mAssemblerVerInfo",
                                      "mDebuggerRunToBP",
                                      "mDebuggerRunToCursor",
                                      "mDebuggerSingleStep",
                                      "mDebuggerExitDbgMode",
                                      "mDebuggerVerInfo",
                                      "mDownloadGetDevInfo",
                                      "mDownloadHexFile",
                                      "mDownloadRdVerify",
                                      "mDownloadSelHexFile",
                                      "mDownloadResetInterface",
                                      "mToolsSettings",
                                      "toolsResolution800",
                                      "toolsResolution1024",
                                      "mToolsLanguagesEnglish",
                                      "mToolsLanguagesChinese",
                                      "mHelpSearchExamples",
                                      "mHelpOpcodeHelp",
                                      "mHelpContents",
                                      "mHelpAbout"};
    return names;
}

CommandTable::Command& CommandTable::command(const QString& name) {
    return commands_[name];
}

bool CommandTable::enabled(const Command& c) const {
    return c.run && c.owner && c.available;
}

void CommandTable::show(Command& c) {
    const bool on = enabled(c);
    if (c.action) {
        c.action->setEnabled(on);
        if (c.checked) c.action->setChecked(c.checked());
    }
    for (const QPointer<QWidget>& widget : c.widgets)
        if (widget) widget->setEnabled(on);
}

void CommandTable::define(const QString& name, QObject* owner, Run run) {
    Command& c = command(name);
    c.run = std::move(run);
    c.owner = owner;
    show(c);
    // When the owner goes (a main window is replaced), the command is undefined again.
    connect(owner, &QObject::destroyed, this, [this, name] {
        if (auto it = commands_.find(name); it != commands_.end() && !it->owner) show(*it);
    });
}

void CommandTable::define(const QString& name, QObject* owner, std::function<void()> run) {
    define(name, owner, Run([run = std::move(run)](CommandOrigin) { run(); }));
}

void CommandTable::setAvailable(const QString& name, bool available) {
    Command& c = command(name);
    c.available = available;
    show(c);
}

void CommandTable::setCheckedWhen(const QString& name, std::function<bool()> checked) {
    Command& c = command(name);
    c.checked = std::move(checked);
    show(c);
}

void CommandTable::refreshChecks() {
    for (Command& c : commands_)
        if (c.action && c.checked) c.action->setChecked(c.checked());
}

void CommandTable::attach(const QString& name, QAction* action) {
    Command& c = command(name);
    c.action = action;
    connect(action, &QAction::triggered, action, [this, name] { run(name, CommandOrigin::menu); });
    show(c);
}

void CommandTable::attachButton(const QString& name, QAbstractButton* button) {
    attachWidget(name, button);
    connect(button, &QAbstractButton::clicked, button,
            [this, name] { run(name, CommandOrigin::button); });
}

void CommandTable::attachWidget(const QString& name, QWidget* widget) {
    Command& c = command(name);
    c.widgets.removeAll(nullptr);
    c.widgets.push_back(widget);
    show(c);
}

QAction* CommandTable::action(const QString& name) const {
    auto it = commands_.find(name);
    return it == commands_.end() ? nullptr : it->action.data();
}

bool CommandTable::isEnabled(const QString& name) const {
    auto it = commands_.find(name);
    return it != commands_.end() && enabled(*it);
}

bool CommandTable::run(const QString& name, CommandOrigin origin) {
    auto it = commands_.find(name);
    if (it == commands_.end() || !enabled(*it)) {
        refreshChecks(); // a checkable item toggled itself: put its mark back
        return false;
    }
    Run run = it->run; // the command may replace the window and with it this entry's owner
    run(origin);
    refreshChecks();
    return true;
}

} // namespace ide
