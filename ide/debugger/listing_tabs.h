// The listing tabs of the Debugger page: one tab per source file of the program, each with a
// read-only editor that shows the file, the line colours the debugger gives and, in its margin,
// the breakpoint marks. A click in the margin or a double-click on a line asks to toggle the
// breakpoint of that line.
#pragma once

#include "debugger/line_colours.h"
#include "programmer/debugger_view.h"

#include <QObject>
#include <QPixmap>
#include <QStringList>
#include <functional>
#include <memory>
#include <span>
#include <vector>

class QTabWidget;
class QsciScintilla;

namespace ide {

struct EditorLanguages;
struct Settings;

class ListingTabs : public QObject {
public:
    // The first tab and its editor come from the panel; the others are made as needed.
    ListingTabs(QTabWidget& tabs, QsciScintilla& firstEditor);
    ~ListingTabs() override;

    // The editor settings and languages every listing editor follows, and the breakpoint mark.
    void configure(const Settings& settings, const EditorLanguages& languages, QPixmap mark);
    // Replaces every tab by one per file, each labelled with the file's name and extension.
    // Returns "<path>: <why>" for every file that could not be read (its tab stays empty).
    QStringList showFiles(std::span<const programmer::ListingFile> files);

    int count() const { return static_cast<int>(listings_.size()); }
    QsciScintilla* editor(int tab) const;
    int activeTab() const;
    void activate(int tab);
    // The line (from 0) of the active tab's cursor; -1 when there is no tab.
    int cursorLine() const;

    void setLineColour(int tab, int line, programmer::LineColour colour);
    programmer::LineColour lineColour(int tab, int line) const;
    void selectLine(int tab, int line);
    void setMark(int tab, int line, bool shown);
    bool hasMark(int tab, int line) const;

    // The user asks to toggle the breakpoint of `line` (from 0) in `tab`.
    std::function<void(int tab, int line)> onToggle;

private:
    struct Listing {
        QsciScintilla* editor;
        std::unique_ptr<LineColours> colours;
    };
    void setUpEditor(QsciScintilla& editor, int tab);
    void applySettings(QsciScintilla& editor);
    void marginClicked(int tab, int line);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void removeAddedTabs();
    const Listing* listing(int tab) const;

    QTabWidget& tabs_;
    std::vector<Listing> listings_;
    const Settings* settings_ = nullptr;
    const EditorLanguages* languages_ = nullptr;
    QPixmap mark_;
    QString emptyLabel_; // the first tab's label while no file is shown
    // A double-click in the margin arrives as two clicks: the second one is not a toggle.
    bool doubleClickPressed_ = false;
};

} // namespace ide
