// The help's search as users meet it: opened, a query run, the window closed at any moment,
// also while the index is still being built or a search still runs (which once crashed the
// program in the search engine's thread), and opened again.
#include "support/WindowTestHarness.h"
#include "ui/Help.h"
#include "ui/HelpWindow.h"

#include <QHelpSearchQueryWidget>
#include <QPushButton>
#include <QtTest>

using namespace kw;
using namespace kw::test;

class TestHelpSearch : public QObject {
  Q_OBJECT
private slots:
  void closedWhileIndexingOrSearching();
};

void TestHelpSearch::closedWhileIndexingOrSearching() {
  WindowTestHarness harness;
  for (int round = 0; round < 12; ++round) {
    Help::instance().showSearch();
    QPointer<HelpWindow> window = Help::instance().window();
    QVERIFY(window);
    // Every other round closes while the index is being built, the others while searching.
    if (round % 2 == 1) {
      window->findChild<QHelpSearchQueryWidget*>()->setSearchInput("Coup");
      for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->isVisible() && button->isEnabled())
          button->click();
    }
    QTest::qWait(round * 7);
    window->close();
    QVERIFY(window->isHidden());
    // The same window comes back, with its engines, however briefly it was closed.
    Help::instance().showSearch();
    QCOMPARE(Help::instance().window(), window.data());
    QVERIFY(window->isVisible());
    window->close();
  }
  QTest::qWait(2000); // the last search ends before the program does
}

QTEST_MAIN(TestHelpSearch)
#include "test_help_search.moc"
