// The built-in help window: one compressed help file (.qch) shown through Qt's help engine,
// with its table of contents, its keyword index and a browser for its pages. Back, Forward
// and Home (the file's start topic) move between pages; links into the other help file are
// passed on (otherHelpLinked), links out of the kit open in the desktop's browser.
#pragma once

#include <QMainWindow>
#include <QTemporaryDir>
#include <QUrl>

class QHelpEngine;
class QLineEdit;
class QTabWidget;
class QTextBrowser;

namespace ide {

class HelpViewer : public QMainWindow {
    Q_OBJECT
public:
    // A help window for the file `qchPath`, whose pages live under `root`
    // ("qthelp://kz71.opcode/opcode/") and which starts at the page `home`. Nothing is read
    // before open().
    HelpViewer(const QString& qchPath, const QUrl& root, const QString& home, const QString& title);
    ~HelpViewer() override;

    // Registers the file with a private help collection; false (and `error` says why) when
    // the file is not a help file or holds no page under the root.
    bool open(QString& error);
    // Shows `page` (relative to the root, an anchor allowed) when the file has it, else the
    // start topic; true when `page` itself was found.
    bool showPage(const QString& page);
    // The page that documents `keyword` in the file's index ("move" -> "move.htm"), or empty.
    QString pageForKeyword(const QString& keyword) const;

    QUrl currentUrl() const;
    QTextBrowser& browser() { return *browser_; }
    QLineEdit& indexFilter() { return *indexFilter_; }
    QHelpEngine& engine() { return *engine_; }

signals:
    // A link into another help file ("qthelp://kz71.opcode/..." from the user guide).
    void otherHelpLinked(const QUrl& url);

private:
    bool hasPage(const QUrl& url) const;
    void followLink(const QUrl& link);
    void showIndexMatches(const QString& text);
    void pageChanged();
    QWidget* makeSideTabs();
    QWidget* makeIndexPage();
    void addNavigation();

    QString qchPath_;
    QUrl root_;
    QUrl home_;
    QString title_;
    QTemporaryDir collectionDir_;
    QHelpEngine* engine_ = nullptr;
    QTextBrowser* browser_ = nullptr;
    QTabWidget* sideTabs_ = nullptr;
    QLineEdit* indexFilter_ = nullptr;
};

} // namespace ide
