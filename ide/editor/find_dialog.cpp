#include "editor/find_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <Qsci/qsciscintilla.h>

namespace ide {
namespace {

struct Range {
    int fromLine = 0, fromIndex = 0, toLine = 0, toIndex = 0;
};

Range selection(QsciScintilla& editor) {
    Range r;
    editor.getSelection(&r.fromLine, &r.fromIndex, &r.toLine, &r.toIndex);
    if (r.fromLine < 0) {
        editor.getCursorPosition(&r.fromLine, &r.fromIndex);
        r.toLine = r.fromLine;
        r.toIndex = r.fromIndex;
    }
    return r;
}

bool findFrom(QsciScintilla& editor, const FindOptions& o, int line, int index, bool wrap) {
    return editor.findFirst(o.text, o.regularExpression, o.matchCase, o.wholeWord, wrap,
                            !o.backwards, line, index, true);
}

} // namespace

bool findInEditor(QsciScintilla& editor, const FindOptions& o) {
    if (o.text.isEmpty()) return false;
    Range r = selection(editor);
    return o.backwards ? findFrom(editor, o, r.fromLine, r.fromIndex, o.wrap)
                       : findFrom(editor, o, r.toLine, r.toIndex, o.wrap);
}

bool replaceInEditor(QsciScintilla& editor, const FindOptions& o, const QString& with) {
    if (o.text.isEmpty()) return false;
    Range r = selection(editor);
    FindOptions forward = o;
    forward.backwards = false;
    // The selection is a match when a search from its start selects exactly it.
    bool isMatch = editor.hasSelectedText() &&
                   findFrom(editor, forward, r.fromLine, r.fromIndex, false) && [&] {
                       Range found = selection(editor);
                       return found.fromLine == r.fromLine && found.fromIndex == r.fromIndex &&
                              found.toLine == r.toLine && found.toIndex == r.toIndex;
                   }();
    if (!isMatch) {
        editor.setSelection(r.fromLine, r.fromIndex, r.toLine, r.toIndex);
        return findInEditor(editor, o);
    }
    editor.replace(with);
    findInEditor(editor, o);
    return true;
}

int replaceAllInEditor(QsciScintilla& editor, const FindOptions& o, const QString& with) {
    if (o.text.isEmpty()) return 0;
    int count = 0;
    editor.beginUndoAction();
    bool found = editor.findFirst(o.text, o.regularExpression, o.matchCase, o.wholeWord, false,
                                  true, 0, 0, false);
    int lastPosition = -1;
    while (found) {
        Range r = selection(editor);
        int position = editor.positionFromLineIndex(r.fromLine, r.fromIndex);
        if (position <= lastPosition && r.fromLine == r.toLine && r.fromIndex == r.toIndex)
            break; // an empty match that does not move on would never end
        editor.replace(with);
        lastPosition = position;
        ++count;
        found = editor.findNext();
    }
    editor.endUndoAction();
    return count;
}

void FindDialog::open(Mode mode) {
    setMode(mode);
    QsciScintilla* editor = currentEditor();
    if (editor && editor->hasSelectedText() && !editor->selectedText().contains('\n'))
        findText_->setText(editor->selectedText());
    status_->clear();
    show();
    raise();
    activateWindow();
    findText_->setFocus();
    findText_->selectAll();
}

FindDialog::FindDialog(EditorSource source, QWidget* parent)
    : QDialog(parent), source_(std::move(source)) {
    setObjectName("findDialog");
    auto* grid = new QGridLayout;
    findText_ = new QLineEdit;
    findText_->setObjectName("findText");
    replaceText_ = new QLineEdit;
    replaceText_->setObjectName("replaceText");
    replaceLabel_ = new QLabel("Replace &with:");
    replaceLabel_->setBuddy(replaceText_);
    auto* findLabel = new QLabel("Fi&nd what:");
    findLabel->setBuddy(findText_);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(findText_, 0, 1);
    grid->addWidget(replaceLabel_, 1, 0);
    grid->addWidget(replaceText_, 1, 1);

    matchCase_ = new QCheckBox("Match &case");
    wholeWord_ = new QCheckBox("Whole w&ord");
    regex_ = new QCheckBox("Regular e&xpression");
    backwards_ = new QCheckBox("Search &backwards");
    wrap_ = new QCheckBox("Wra&p around");
    wrap_->setChecked(true);
    auto* optionsGrid = new QGridLayout;
    optionsGrid->addWidget(matchCase_, 0, 0);
    optionsGrid->addWidget(wholeWord_, 1, 0);
    optionsGrid->addWidget(regex_, 2, 0);
    optionsGrid->addWidget(backwards_, 0, 1);
    optionsGrid->addWidget(wrap_, 1, 1);

    auto* buttons = new QDialogButtonBox(Qt::Vertical);
    auto* findButton = buttons->addButton("&Find Next", QDialogButtonBox::ActionRole);
    findButton->setDefault(true);
    replaceButton_ = buttons->addButton("&Replace", QDialogButtonBox::ActionRole);
    replaceAllButton_ = buttons->addButton("Replace &All", QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    connect(findButton, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(replaceButton_, &QPushButton::clicked, this, &FindDialog::replaceOne);
    connect(replaceAllButton_, &QPushButton::clicked, this, &FindDialog::replaceAll);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    status_ = new QLabel;
    status_->setObjectName("findStatus");
    auto* left = new QVBoxLayout;
    left->addLayout(grid);
    left->addLayout(optionsGrid);
    left->addWidget(status_);
    left->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(buttons);
    // The dialog is as large as what it shows: hiding the replace row shrinks it.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    findText_->setMinimumWidth(260);
}

void FindDialog::setMode(Mode mode) {
    const bool replacing = mode == Mode::replace;
    setWindowTitle(replacing ? "Find & Replace" : "Find");
    replaceLabel_->setVisible(replacing);
    replaceText_->setVisible(replacing);
    replaceButton_->setVisible(replacing);
    replaceAllButton_->setVisible(replacing);
    layout()->activate();
}

FindOptions FindDialog::options() const {
    return {findText_->text(),   matchCase_->isChecked(), wholeWord_->isChecked(),
            regex_->isChecked(), backwards_->isChecked(), wrap_->isChecked()};
}

QsciScintilla* FindDialog::currentEditor() const {
    return source_ ? source_() : nullptr;
}

void FindDialog::reportFound(bool found) {
    status_->setText(found ? QString() : QString("\"%1\" not found.").arg(findText_->text()));
}

void FindDialog::findNext() {
    if (QsciScintilla* editor = currentEditor()) reportFound(findInEditor(*editor, options()));
}

void FindDialog::replaceOne() {
    if (QsciScintilla* editor = currentEditor())
        reportFound(replaceInEditor(*editor, options(), replaceText_->text()));
}

void FindDialog::replaceAll() {
    QsciScintilla* editor = currentEditor();
    if (editor == nullptr) return;
    int count = replaceAllInEditor(*editor, options(), replaceText_->text());
    status_->setText(count == 1 ? QString("1 occurrence replaced.")
                                : QString("%1 occurrences replaced.").arg(count));
}

} // namespace ide
