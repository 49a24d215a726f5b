// Find and Find & Replace: a small non-modal dialog that drives a text finder over the
// active editor.
#pragma once

#include <QDialog>
#include <QPointer>
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

    // Shows the one dialog in `mode`, acting on whatever editor `source` names at the time.
    static void open(Mode mode, EditorSource source, QWidget* parent);
    static FindDialog* instance();

    FindOptions options() const;
    void findNext();
    void replaceOne();
    void replaceAll();

private:
    FindDialog(QWidget* parent);
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
    static QPointer<FindDialog> instance_;
};

} // namespace ide
