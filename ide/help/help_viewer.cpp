#include "help/help_viewer.h"

#include <QAction>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QLineEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QThread>
#include <QToolBar>
#include <QVBoxLayout>

namespace ide {
namespace {

// A help page is a few kilobytes; a larger "page" is not shown.
constexpr qsizetype max_page_bytes = 4 << 20;

// Pages, pictures and the stylesheet come out of the help file.
class HelpBrowser : public QTextBrowser {
public:
    HelpBrowser(QHelpEngine& engine, QWidget* parent) : QTextBrowser(parent), engine_(engine) {}
    QVariant loadResource(int type, const QUrl& name) override {
        if (name.scheme() != "qthelp") return QTextBrowser::loadResource(type, name);
        const QByteArray data = engine_.fileData(name);
        if (data.size() > max_page_bytes) return {};
        if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
            return QString::fromUtf8(data);
        return data;
    }

private:
    QHelpEngine& engine_;
};

} // namespace

HelpViewer::HelpViewer(const QString& qchPath, const QUrl& root, const QString& home,
                       const QString& title)
    : qchPath_(qchPath), root_(root), home_(root.resolved(QUrl(home))), title_(title) {
    setObjectName("helpViewer");
    setWindowTitle(title);
    resize(960, 680);
}

HelpViewer::~HelpViewer() {
    // The engine builds its contents and index on threads of its own, which read the engine's
    // data; a window closed at once must not pull that data away from under them.
    if (engine_ == nullptr) return;
    QElapsedTimer waited;
    waited.start();
    while ((engine_->contentModel()->isCreatingContents() ||
            engine_->indexModel()->isCreatingIndex()) &&
           waited.elapsed() < 10000)
        QThread::msleep(5);
}

bool HelpViewer::open(QString& error) {
    if (!collectionDir_.isValid()) {
        error = "No folder for the help collection: " + collectionDir_.errorString();
        return false;
    }
    engine_ = new QHelpEngine(collectionDir_.filePath("help.qhc"), this);
    engine_->setReadOnly(false);
    const QString nameSpace = root_.host();
    if (!engine_->setupData() || !engine_->registerDocumentation(qchPath_) ||
        !engine_->registeredDocumentations().contains(nameSpace)) {
        error = engine_->error().isEmpty() ? QString("It holds no help for %1.").arg(nameSpace)
                                           : engine_->error();
        return false;
    }
    if (!hasPage(home_)) {
        error = QString("It has no page %1.").arg(home_.toString());
        return false;
    }
    browser_ = new HelpBrowser(*engine_, this);
    browser_->setObjectName("helpBrowser");
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpViewer::followLink);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpViewer::pageChanged);
    auto* split = new QSplitter;
    split->addWidget(makeSideTabs());
    split->addWidget(browser_);
    split->setStretchFactor(1, 1);
    split->setSizes({260, 700});
    setCentralWidget(split);
    addNavigation();
    return true;
}

QWidget* HelpViewer::makeSideTabs() {
    sideTabs_ = new QTabWidget;
    QHelpContentWidget* contents = engine_->contentWidget();
    contents->setObjectName("helpContents");
    contents->setHeaderHidden(true);
    connect(contents, &QHelpContentWidget::linkActivated, this, &HelpViewer::followLink);
    // The engine builds the contents in the background: open the first level once it is there.
    connect(engine_->contentModel(), &QHelpContentModel::contentsCreated, this, [this] {
        engine_->contentWidget()->expandToDepth(0);
        pageChanged();
    });
    sideTabs_->addTab(contents, "Contents");
    sideTabs_->addTab(makeIndexPage(), "Index");
    return sideTabs_;
}

void HelpViewer::addNavigation() {
    QToolBar* bar = addToolBar("Navigation");
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* back =
        bar->addAction(QIcon::fromTheme("go-previous"), "Back", browser_, &QTextBrowser::backward);
    back->setShortcut(QKeySequence::Back);
    QAction* forward =
        bar->addAction(QIcon::fromTheme("go-next"), "Forward", browser_, &QTextBrowser::forward);
    forward->setShortcut(QKeySequence::Forward);
    bar->addAction(QIcon::fromTheme("go-home"), "Home", this,
                   [this] { browser_->setSource(home_); });
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    back->setEnabled(false);
    forward->setEnabled(false);
}

QWidget* HelpViewer::makeIndexPage() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(2, 2, 2, 2);
    indexFilter_ = new QLineEdit;
    indexFilter_->setObjectName("helpIndexFilter");
    indexFilter_->setPlaceholderText("Look for");
    indexFilter_->setClearButtonEnabled(true);
    QHelpIndexWidget* index = engine_->indexWidget();
    index->setObjectName("helpIndex");
    column->addWidget(indexFilter_);
    column->addWidget(index);
    connect(indexFilter_, &QLineEdit::textChanged, this, &HelpViewer::showIndexMatches);
    // The engine builds the index in the background: what was typed meanwhile applies then.
    connect(engine_->indexModel(), &QHelpIndexModel::indexCreated, this,
            [this] { showIndexMatches(indexFilter_->text()); });
    connect(indexFilter_, &QLineEdit::returnPressed, index, &QHelpIndexWidget::activateCurrentItem);
    connect(index, &QHelpIndexWidget::documentActivated, this,
            [this](const QHelpLink& document) { followLink(document.url); });
    connect(index, &QHelpIndexWidget::documentsActivated, this,
            [this](const QList<QHelpLink>& documents) {
                if (!documents.isEmpty()) followLink(documents.first().url);
            });
    return page;
}

void HelpViewer::showIndexMatches(const QString& text) {
    engine_->indexWidget()->filterIndices(text);
}

bool HelpViewer::hasPage(const QUrl& url) const {
    QUrl page = url.adjusted(QUrl::RemoveFragment);
    return engine_ && page.scheme() == "qthelp" && page.host() == root_.host() &&
           !engine_->fileData(page).isEmpty();
}

bool HelpViewer::showPage(const QString& page) {
    const QUrl wanted = root_.resolved(QUrl(page));
    const bool found = hasPage(wanted);
    if (browser_) browser_->setSource(found ? wanted : home_);
    return found;
}

QString HelpViewer::pageForKeyword(const QString& keyword) const {
    if (!engine_ || keyword.isEmpty()) return {};
    const QString root = root_.toString();
    for (const QHelpLink& link : engine_->documentsForKeyword(keyword)) {
        const QString url = link.url.toString();
        if (url.startsWith(root) && hasPage(link.url)) return url.mid(root.size());
    }
    return {};
}

void HelpViewer::followLink(const QUrl& link) {
    const QUrl target = browser_->source().resolved(link);
    if (target.scheme() == "qthelp") {
        if (target.host() != root_.host())
            emit otherHelpLinked(target);
        else if (hasPage(target))
            browser_->setSource(target);
        return;
    }
    QDesktopServices::openUrl(target);
}

QUrl HelpViewer::currentUrl() const {
    return browser_ ? browser_->source() : QUrl();
}

void HelpViewer::pageChanged() {
    const QString page = browser_->documentTitle();
    setWindowTitle(page.isEmpty() ? title_ : QString("%1 - %2").arg(page, title_));
    QHelpContentWidget* contents = engine_->contentWidget();
    const QModelIndex at = contents->indexOf(browser_->source());
    if (at.isValid())
        contents->setCurrentIndex(at);
    else
        contents->clearSelection();
}

} // namespace ide
