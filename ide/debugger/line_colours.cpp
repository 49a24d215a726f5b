#include "debugger/line_colours.h"

#include <QColor>
#include <Qsci/qsciscintilla.h>

namespace ide {
namespace {

// Marker 0 is the breakpoint mark; 25 to 31 belong to folding.
constexpr int first_colour_marker = 2;
constexpr int last_colour_marker = 24;
constexpr int context_lines = 3;

QColor qtColour(programmer::LineColour colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

} // namespace

int LineColours::markerFor(programmer::LineColour colour) {
    if (auto it = markers_.find(colour); it != markers_.end()) return *it;
    const int marker = first_colour_marker + static_cast<int>(markers_.size());
    // The debugger uses a handful of colours; should more come, the last marker takes them.
    const int number = qMin(marker, last_colour_marker);
    editor_->markerDefine(QsciScintilla::Background, number);
    editor_->setMarkerBackgroundColor(qtColour(colour), number);
    if (marker <= last_colour_marker) markers_.insert(colour, number);
    return number;
}

void LineColours::set(int line, programmer::LineColour colour) {
    if (line < 0 || line >= editor_->lines()) return;
    if (auto old = lines_.find(line); old != lines_.end()) {
        editor_->markerDelete(line, markers_.value(*old, last_colour_marker));
        lines_.erase(old);
    }
    if (colour == programmer::colour_default) return;
    editor_->markerAdd(line, markerFor(colour));
    lines_.insert(line, colour);
}

programmer::LineColour LineColours::colourOf(int line) const {
    return lines_.value(line, programmer::colour_default);
}

void LineColours::clear() {
    for (int marker : markers_)
        editor_->markerDeleteAll(marker);
    lines_.clear();
}

void showEditorLine(QsciScintilla& editor, int line) {
    if (line < 0 || line >= editor.lines()) return;
    editor.SendScintilla(QsciScintillaBase::SCI_SETVISIBLEPOLICY,
                         QsciScintillaBase::VISIBLE_SLOP | QsciScintillaBase::VISIBLE_STRICT,
                         context_lines);
    editor.setCursorPosition(line, 0);
    editor.SendScintilla(QsciScintillaBase::SCI_ENSUREVISIBLEENFORCEPOLICY, line);
}

} // namespace ide
