// The file lists of the two run windows (series lengths, system test): only a double click
// on a file starts a run, not Enter and not the activation that a single click gives on
// desktops set to single-click activation.
#include "support/WindowActions.h"
#include "ui/FAnalyse1.h"
#include "ui/FAnalyse3.h"
#include "ui/FileSelector.h"
#include "ui/ResultTabs.h"
#include "ui/SeriesLengthModel.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace kw;
using namespace kw::test;

class RunFileListsTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { PrepareApplication(); }

  void onlyADoubleClickOnAFileStartsTheRun_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("runs");
    for (const char* window : {"FAnalyse1", "FAnalyse3"}) {
      QTest::addRow("%s, Enter", window) << window << "enter" << 0;
      QTest::addRow("%s, single-click activation", window) << window << "activation" << 0;
      QTest::addRow("%s, double click", window) << window << "double click" << 1;
    }
  }

  void onlyADoubleClickOnAFileStartsTheRun() {
    QFETCH(QString, window);
    QFETCH(QString, gesture);
    QFETCH(int, runs);
    WindowTestHarness h;
    QTemporaryDir folder;
    QStringList lines;
    for (int i = 0; i < 40; ++i)
      lines << QString::number(i % 37);
    writeLines(folder.filePath(QStringLiteral("a.prm")), lines);
    const bool seriesLengths = window == QLatin1String("FAnalyse1");
    QWidget* w = seriesLengths ? static_cast<QWidget*>(h.app().fAnalyse1()) : h.app().fAnalyse3();
    FileSelector* selector =
        seriesLengths ? h.app().fAnalyse1()->fileSelector() : h.app().fAnalyse3()->fileSelector();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    selector->setDirectory(folder.path());
    QListWidget* list = selector->fileList();
    QListWidgetItem* item = list->item(0);
    list->setCurrentItem(item);
    list->setFocus();
    if (gesture == QLatin1String("enter"))
      QTest::keyClick(list, Qt::Key_Return);
    else if (gesture == QLatin1String("activation"))
      emit list->itemActivated(item);
    else {
      // A double click as the system delivers it: a click, then the double-click event.
      const QPoint at = list->visualItemRect(item).center();
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
      QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    const int made = seriesLengths ? h.app().fAnalyse1()->results()->rowCount()
                                   : h.app().fAnalyse3()->PC1()->count();
    QCOMPARE(made, runs);
    QVERIFY(h.dialogs().calls.isEmpty());
  }
};

QTEST_MAIN(RunFileListsTest)
#include "test_run_file_lists.moc"
