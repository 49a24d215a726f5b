#include "shell/localization.h"

#include "files/read_file.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMetaProperty>
#include <QTabWidget>
#include <QTableWidget>
#include <QWidget>

namespace ide {
namespace {

using Texts = QHash<QString, QString>;

// The string properties that hold a text shown to the user (QLabel, buttons, Lamp: "text";
// QMenu, QGroupBox: "title").
constexpr const char* shown_properties[] = {"text",      "title",     "windowTitle",    "toolTip",
                                            "statusTip", "whatsThis", "placeholderText"};

QString unescaped(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        QChar next = text[++i];
        out += next == 'n' ? QChar('\n') : next == 't' ? QChar('\t') : next;
    }
    return out;
}

// Calls `set` with the translation of `text`, if the file has one.
template <typename Set>
void translate(const Texts& texts, const QString& text, Set set) {
    if (text.isEmpty()) return;
    if (auto it = texts.find(text); it != texts.end()) set(*it);
}

template <typename Names>
void translateProperties(QObject& object, const Texts& texts, const Names& names) {
    const QMetaObject* meta = object.metaObject();
    for (const char* name : names) {
        // A line edit's text is the user's input, not a label.
        if (qobject_cast<QLineEdit*>(&object) && qstrcmp(name, "text") == 0) continue;
        const int index = meta->indexOfProperty(name);
        if (index < 0) continue;
        QMetaProperty property = meta->property(index);
        if (property.typeId() != QMetaType::QString || !property.isWritable()) continue;
        translate(texts, property.read(&object).toString(),
                  [&](const QString& text) { property.write(&object, text); });
    }
}

void translateTabs(QTabWidget& tabs, const Texts& texts) {
    for (int i = 0; i < tabs.count(); ++i) {
        translate(texts, tabs.tabText(i), [&](const QString& t) { tabs.setTabText(i, t); });
        translate(texts, tabs.tabToolTip(i), [&](const QString& t) { tabs.setTabToolTip(i, t); });
    }
}

void translateEntries(QComboBox& list, const Texts& texts) {
    for (int i = 0; i < list.count(); ++i)
        translate(texts, list.itemText(i), [&](const QString& t) { list.setItemText(i, t); });
}

void translateHeaders(QTableWidget& table, const Texts& texts) {
    auto headers = [&](int count, auto item) {
        for (int i = 0; i < count; ++i)
            if (QTableWidgetItem* header = item(i))
                translate(texts, header->text(), [&](const QString& t) { header->setText(t); });
    };
    headers(table.columnCount(), [&](int i) { return table.horizontalHeaderItem(i); });
    headers(table.rowCount(), [&](int i) { return table.verticalHeaderItem(i); });
}

} // namespace

bool readLanguageFile(const QString& path, QHash<QString, QString>& texts) {
    FileBytes file = readFileBytes(path, max_lwl_file_bytes);
    if (file.status != files::ReadStatus::ok) return false;
    QString content = QString::fromUtf8(file.bytes).remove('\r');
    if (content.startsWith(QChar(0xFEFF))) content.remove(0, 1); // saved with a byte order mark
    texts.clear();
    for (const QString& line : content.split('\n')) {
        if (line.startsWith('#')) continue;
        qsizetype tab = line.indexOf('\t');
        if (tab <= 0) continue;
        texts.insert(unescaped(line.left(tab)), unescaped(line.mid(tab + 1).trimmed()));
    }
    return !texts.isEmpty();
}

bool localizePanel(QWidget& panel, const QString& path) {
    Texts texts;
    if (!readLanguageFile(path, texts)) return false;
    translateProperties(panel, texts, shown_properties);
    for (QObject* object : panel.findChildren<QObject*>())
        translateProperties(*object, texts, shown_properties);
    for (QTabWidget* tabs : panel.findChildren<QTabWidget*>())
        translateTabs(*tabs, texts);
    for (QComboBox* list : panel.findChildren<QComboBox*>())
        translateEntries(*list, texts);
    for (QTableWidget* table : panel.findChildren<QTableWidget*>())
        translateHeaders(*table, texts);
    return true;
}

bool localizeToolTips(QWidget& panel, const QString& path) {
    Texts texts;
    if (!readLanguageFile(path, texts)) return false;
    constexpr const char* tool_tip[] = {"toolTip"};
    for (QObject* object : panel.findChildren<QObject*>())
        translateProperties(*object, texts, tool_tip);
    return true;
}

} // namespace ide
