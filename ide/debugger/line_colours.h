// Line background colours of an editor control as the debugger gives them (0x00BBGGRR, or -1
// for the editor's own background): one background marker per colour in use.
#pragma once

#include "programmer/debugger_view.h"

#include <QHash>

class QsciScintilla;

namespace ide {

class LineColours {
public:
    explicit LineColours(QsciScintilla& editor) : editor_(&editor) {}

    // A line outside the text keeps no colour.
    void set(int line, programmer::LineColour colour);
    programmer::LineColour colourOf(int line) const;
    // Every line back to the default (the editor was given a new text).
    void clear();

private:
    int markerFor(programmer::LineColour colour);

    QsciScintilla* editor_;
    QHash<programmer::LineColour, int> markers_;
    QHash<int, programmer::LineColour> lines_;
};

// The editor's caret on the line and the line scrolled into view, a few lines from the edges.
void showEditorLine(QsciScintilla& editor, int line);

} // namespace ide
