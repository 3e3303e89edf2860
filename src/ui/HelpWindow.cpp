#include "ui/HelpWindow.h"

#include <QCloseEvent>
#include <QHelpContentModel>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kw {

HelpBrowser::HelpBrowser(QHelpEngine* engine, QWidget* parent)
    : QTextBrowser(parent), engine_(engine) {}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
  if (name.scheme() == QLatin1String("qthelp"))
    return engine_->fileData(name);
  return QTextBrowser::loadResource(type, name);
}

HelpWindow::HelpWindow(const QString& collectionFile, QWidget* parent)
    : QWidget(parent), engine_(new QHelpEngine(collectionFile, this)) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Kesselwerk - Hilfe"));
  resize(900, 620);
  engine_->setReadOnly(false);
  engine_->setupData();

  auto* splitter = new QSplitter(this);
  tabs_ = new QTabWidget(splitter);
  tabs_->setObjectName(QStringLiteral("HelpTabs"));
  tabs_->addTab(engine_->contentWidget(), QStringLiteral("Inhalt"));

  auto* searchPage = new QWidget;
  auto* searchLayout = new QVBoxLayout(searchPage);
  QHelpSearchEngine* search = engine_->searchEngine();
  search->queryWidget()->setObjectName(QStringLiteral("HelpSearchQuery"));
  searchLayout->addWidget(search->queryWidget());
  searchLayout->addWidget(search->resultWidget());
  tabs_->addTab(searchPage, QStringLiteral("Suche"));

  browser_ = new HelpBrowser(engine_, splitter);
  browser_->setObjectName(QStringLiteral("HelpBrowser"));
  splitter->setStretchFactor(1, 3);
  splitter->setSizes({260, 640});
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter);

  connect(engine_->contentModel(), &QHelpContentModel::contentsCreated, engine_->contentWidget(),
          &QTreeView::expandAll);
  auto show = [this](const QUrl& url) { browser_->setSource(url); };
  connect(engine_->contentWidget(), &QHelpContentWidget::linkActivated, browser_, show);
  // A query typed while the index was being built runs once it is ready. Nothing runs for
  // an empty query: a search still running when the window closes leaves the help engine's
  // search thread data behind.
  connect(search, &QHelpSearchEngine::indexingFinished, search, [search] {
    if (!search->queryWidget()->searchInput().isEmpty())
      search->search(search->queryWidget()->searchInput());
  });
  connect(search->queryWidget(), &QHelpSearchQueryWidget::search, search,
          [search] { search->search(search->queryWidget()->searchInput()); });
  connect(search->resultWidget(), &QHelpSearchResultWidget::requestShowLink, browser_, show);
  search->reindexDocumentation();

  // Escape closes the help as it closes a dialog; over a modal dialog that returns there.
  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(close, &QShortcut::activated, this, &QWidget::close);
}

// The help engine is destroyed with the window; the indexing it may still be doing is
// cancelled first, so the engine waits for a thread that is stopping, not for a whole index.
HelpWindow::~HelpWindow() { engine_->searchEngine()->cancelIndexing(); }

void HelpWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  emit closed();
}

void HelpWindow::showContext(int context) {
  currentContext_ = context;
  tabs_->setCurrentIndex(0);
  const QList<QHelpLink> links = engine_->documentsForIdentifier(QString::number(context));
  if (!links.isEmpty())
    browser_->setSource(links.first().url);
  else
    browser_->setHtml(QStringLiteral("<h2>Hilfe</h2><p>Zu diesem Programmteil (Nr. %1) ist "
                                     "keine Hilfeseite vorhanden.</p>")
                          .arg(context));
}

void HelpWindow::showSearch() {
  currentContext_ = 0;
  tabs_->setCurrentIndex(1);
  engine_->searchEngine()->queryWidget()->setSearchInput(QString());
  engine_->searchEngine()->queryWidget()->setFocus();
}

bool HelpWindow::searchShown() const { return tabs_->currentIndex() == 1; }

QUrl HelpWindow::currentPage() const { return browser_->source(); }

} // namespace kw
