#include "debugger/listing_tabs.h"

#include "editor/editor_files.h"
#include "editor/editor_setup.h"
#include "editor/editor_tabs.h"
#include "files/read_file.h"

#include <QEvent>
#include <QFileInfo>
#include <QTabWidget>
#include <Qsci/qsciscintilla.h>

namespace ide {
namespace {

constexpr int number_margin = 0;
constexpr int mark_margin = 1;
constexpr int mark_margin_width = 18;
constexpr int breakpoint_marker = 0;

QString readFailure(const QString& path, files::ReadStatus status) {
    const QString why = status == files::ReadStatus::tooLarge
                            ? QString("it is larger than %1 MB").arg(max_source_file_bytes >> 20)
                            : describe(status);
    return QString("%1: %2").arg(path, why);
}

} // namespace

ListingTabs::ListingTabs(QTabWidget& tabs, QsciScintilla& firstEditor) : tabs_(tabs) {
    listings_.push_back({&firstEditor, std::make_unique<LineColours>(firstEditor)});
}

ListingTabs::~ListingTabs() = default;

void ListingTabs::configure(const Settings& settings, const EditorLanguages& languages,
                            QPixmap mark) {
    const bool first = settings_ == nullptr;
    settings_ = &settings;
    languages_ = &languages;
    mark_ = std::move(mark);
    if (first) {
        emptyLabel_ = tabs_.tabText(0); // as the panel gives it, in the user's language
        configureEditor(*listings_.front().editor);
        fillPage(*listings_.front().editor);
        setUpEditor(*listings_.front().editor, 0);
    }
    for (const Listing& l : listings_)
        applySettings(*l.editor);
}

void ListingTabs::applySettings(QsciScintilla& editor) {
    applyEditorSettingsTo(editor, *settings_, *languages_);
    if (mark_.isNull()) {
        editor.markerDefine(QsciScintilla::Circle, breakpoint_marker);
        editor.setMarkerBackgroundColor(QColor(0xE0, 0x20, 0x20), breakpoint_marker);
    } else {
        editor.markerDefine(mark_, breakpoint_marker);
    }
}

void ListingTabs::setUpEditor(QsciScintilla& editor, int tab) {
    editor.setReadOnly(true);
    // The caret line's colour would hide the current-line colour of the debugger.
    editor.setCaretLineVisible(false);
    editor.setMarginType(mark_margin, QsciScintilla::SymbolMargin);
    editor.setMarginWidth(mark_margin, mark_margin_width);
    editor.setMarginMarkerMask(mark_margin, 1 << breakpoint_marker);
    editor.setMarginMarkerMask(number_margin, 0);
    for (int margin : {number_margin, mark_margin})
        editor.setMarginSensitivity(margin, true);
    editor.viewport()->installEventFilter(this);
    connect(&editor, &QsciScintilla::marginClicked, this,
            [this, tab](int, int line, Qt::KeyboardModifiers) { marginClicked(tab, line); });
    connect(&editor, &QsciScintillaBase::SCN_DOUBLECLICK, this, [this, tab](int, int line, int) {
        if (onToggle) onToggle(tab, line);
    });
}

void ListingTabs::marginClicked(int tab, int line) {
    if (!doubleClickPressed_ && onToggle) onToggle(tab, line);
}

bool ListingTabs::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) doubleClickPressed_ = false;
    if (event->type() == QEvent::MouseButtonDblClick) doubleClickPressed_ = true;
    return false;
}

void ListingTabs::removeAddedTabs() {
    while (tabs_.count() > 1) {
        QWidget* page = tabs_.widget(tabs_.count() - 1);
        tabs_.removeTab(tabs_.count() - 1);
        delete page;
    }
    listings_.resize(1);
}

QStringList ListingTabs::showFiles(std::span<const programmer::ListingFile> files) {
    removeAddedTabs();
    QStringList failures;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const QString path = QString::fromStdString(files[i].path);
        if (i > 0) {
            auto* page = new QWidget;
            QsciScintilla* editor = duplicateEditor(page, *settings_, *languages_);
            listings_.push_back({editor, std::make_unique<LineColours>(*editor)});
            setUpEditor(*editor, static_cast<int>(i));
            applySettings(*editor);
            tabs_.addTab(page, QString());
        }
        tabs_.setTabText(static_cast<int>(i), QFileInfo(path).fileName());
        const FileBytes file = readFileBytes(path, max_source_file_bytes);
        if (file.status != files::ReadStatus::ok) failures << readFailure(path, file.status);
        QsciScintilla& editor = *listings_[i].editor;
        editor.setReadOnly(false);
        showSourceText(editor, file.status == files::ReadStatus::ok ? file.bytes : QByteArray());
        editor.setReadOnly(true);
    }
    if (files.empty()) {
        tabs_.setTabText(0, emptyLabel_);
        listings_.front().editor->setReadOnly(false);
        listings_.front().editor->clear();
        listings_.front().editor->setReadOnly(true);
    }
    // A new text has no marks and no colours.
    for (const Listing& l : listings_) {
        l.editor->markerDeleteAll(breakpoint_marker);
        l.colours->clear();
    }
    return failures;
}

const ListingTabs::Listing* ListingTabs::listing(int tab) const {
    return tab >= 0 && tab < count() ? &listings_[static_cast<std::size_t>(tab)] : nullptr;
}

QsciScintilla* ListingTabs::editor(int tab) const {
    const Listing* l = listing(tab);
    return l ? l->editor : nullptr;
}

int ListingTabs::activeTab() const {
    return tabs_.currentIndex();
}

void ListingTabs::activate(int tab) {
    if (listing(tab)) tabs_.setCurrentIndex(tab);
}

int ListingTabs::cursorLine() const {
    const Listing* l = listing(activeTab());
    if (!l) return -1;
    int line = 0, index = 0;
    l->editor->getCursorPosition(&line, &index);
    return line;
}

void ListingTabs::setLineColour(int tab, int line, programmer::LineColour colour) {
    if (const Listing* l = listing(tab)) l->colours->set(line, colour);
}

programmer::LineColour ListingTabs::lineColour(int tab, int line) const {
    const Listing* l = listing(tab);
    return l ? l->colours->colourOf(line) : programmer::colour_default;
}

void ListingTabs::selectLine(int tab, int line) {
    if (const Listing* l = listing(tab)) showEditorLine(*l->editor, line);
}

void ListingTabs::setMark(int tab, int line, bool shown) {
    const Listing* l = listing(tab);
    if (!l) return;
    if (shown && !hasMark(tab, line))
        l->editor->markerAdd(line, breakpoint_marker);
    else if (!shown)
        l->editor->markerDelete(line, breakpoint_marker);
}

bool ListingTabs::hasMark(int tab, int line) const {
    const Listing* l = listing(tab);
    return l && line >= 0 && (l->editor->markersAtLine(line) & (1u << breakpoint_marker)) != 0;
}

} // namespace ide
