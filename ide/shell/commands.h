// The command table: one command object per menu callback name ("mFileNew"). The menu item
// of the current main window is the command's QAction; its toolbar button shows that same
// action, and a page button bound to the command follows it. So a command is enabled,
// disabled, checked and given its shortcut in one place for all three.
//
// A command is enabled once a part of the IDE defines it (and while it is available); a
// command that nothing defines yet is shown disabled everywhere instead of doing nothing.
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QAbstractButton;
class QAction;
class QWidget;

namespace ide {

// Where a command was given: a menu item (also its shortcut and its toolbar button) or a
// button on a page ("cbCompile" is the page form of "mAssemblerCompile"). The few commands
// whose two forms differ look at it.
enum class CommandOrigin { menu, button };

class CommandTable : public QObject {
    Q_OBJECT
public:
    using Run = std::function<void(CommandOrigin)>;

    // Every command name of the main window's menus, in menu order.
    static const QStringList& menuCommands();

    // Gives the command its implementation, which lives as long as `owner` does.
    void define(const QString& name, QObject* owner, Run run);
    void define(const QString& name, QObject* owner, std::function<void()> run);
    // Dims (false) or restores (true) a defined command, e.g. Read & Verify.
    void setAvailable(const QString& name, bool available);
    // The check mark follows `checked` only: choosing the item never toggles it by itself.
    void setCheckedWhen(const QString& name, std::function<bool()> checked);
    // Re-reads every check mark (after the state it follows changed).
    void refreshChecks();

    // The menu item of the current main window becomes the command's action.
    void attach(const QString& name, QAction* action);
    // A page button (or a clickable text) that runs the command and follows its state.
    void attachButton(const QString& name, QAbstractButton* button);
    void attachWidget(const QString& name, QWidget* widget);

    QAction* action(const QString& name) const;
    bool isEnabled(const QString& name) const;
    // Runs the command; false when it is not enabled.
    bool run(const QString& name, CommandOrigin origin = CommandOrigin::menu);

private:
    struct Command {
        Run run;
        QPointer<QObject> owner;
        bool available = true;
        std::function<bool()> checked;
        QPointer<QAction> action;
        QList<QPointer<QWidget>> widgets;
    };
    Command& command(const QString& name);
    bool enabled(const Command& c) const;
    void show(Command& c);

    QHash<QString, Command> commands_;
};

} // namespace ide
