// Find and Find & Replace: a small non-modal dialog that drives a text finder over the
// active editor. The dialog builds its own widgets, so it has nothing to look up.
#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QsciScintilla;

namespace ide {

struct FindOptions {
    QString text;
    bool matchCase = false;
    bool wholeWord = false;
    bool regularExpression = false;
    bool backwards = false;
    bool wrap = true;
};

// Selects the next match after (or, backwards, before) the selection; false when none.
bool findInEditor(QsciScintilla& editor, const FindOptions& options);
// Replaces the selection when it is a match, then selects the next match. False when there
// was no match to replace.
bool replaceInEditor(QsciScintilla& editor, const FindOptions& options, const QString& with);
// Replaces every match in the text as one undoable step; returns how many.
int replaceAllInEditor(QsciScintilla& editor, const FindOptions& options, const QString& with);

class FindDialog : public QDialog {
public:
    enum class Mode { find, replace };
    using EditorSource = std::function<QsciScintilla*()>;

    // A dialog acting on whatever editor `source` names at the time.
    FindDialog(EditorSource source, QWidget* parent);
    // Shows the dialog in `mode`, its search text taken from a one-line selection.
    void open(Mode mode);

    FindOptions options() const;
    void findNext();
    void replaceOne();
    void replaceAll();

private:
    void setMode(Mode mode);
    // The editor the dialog acts on now; nullptr when there is none.
    QsciScintilla* currentEditor() const;
    // Clears the status line, or says the text was not found.
    void reportFound(bool found);

    EditorSource source_;
    QLineEdit* findText_;
    QLineEdit* replaceText_;
    QLabel* replaceLabel_;
    QCheckBox* matchCase_;
    QCheckBox* wholeWord_;
    QCheckBox* regex_;
    QCheckBox* backwards_;
    QCheckBox* wrap_;
    QPushButton* replaceButton_;
    QPushButton* replaceAllButton_;
    QLabel* status_;
};

} // namespace ide
