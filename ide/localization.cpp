#include "localization.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QWidget>

namespace ide {
namespace {

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

template <typename T, typename Get, typename Set>
void translate(QWidget& panel, const QHash<QString, QString>& texts, Get get, Set set) {
    for (T* object : panel.findChildren<T*>()) {
        auto it = texts.find((object->*get)());
        if (it != texts.end()) (object->*set)(*it);
    }
}

} // namespace

bool readLanguageFile(const QString& path, QHash<QString, QString>& texts) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    texts.clear();
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        if (line.startsWith('#')) continue;
        qsizetype tab = line.indexOf('\t');
        if (tab <= 0) continue;
        texts.insert(unescaped(line.left(tab)), unescaped(line.mid(tab + 1).trimmed()));
    }
    return !texts.isEmpty();
}

bool localizePanel(QWidget& panel, const QString& path) {
    QHash<QString, QString> texts;
    if (!readLanguageFile(path, texts)) return false;
    if (auto it = texts.find(panel.windowTitle()); it != texts.end()) panel.setWindowTitle(*it);
    translate<QLabel>(panel, texts, &QLabel::text, &QLabel::setText);
    translate<QAbstractButton>(panel, texts, &QAbstractButton::text, &QAbstractButton::setText);
    translate<QAction>(panel, texts, &QAction::text, &QAction::setText);
    translate<QMenu>(panel, texts, &QMenu::title, &QMenu::setTitle);
    for (QTabWidget* tabs : panel.findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i)
            if (auto it = texts.find(tabs->tabText(i)); it != texts.end()) tabs->setTabText(i, *it);
    return true;
}

} // namespace ide
