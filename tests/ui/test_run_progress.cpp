// The progress of a window's run over many files: a cancel is kept until the run has seen
// it, a cancelled read shows no message, an unreadable file shows its own, and the wait
// cursor never stays behind.
#include "support/TestFiles.h"
#include "support/WindowTestHarness.h"
#include "ui/RunProgress.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace kw;
using namespace kw::test;

class RunProgressTest : public QObject {
  Q_OBJECT

  QTemporaryDir folder_;

  QStringList files(int count) {
    QStringList paths;
    for (int i = 0; i < count; ++i) {
      paths << folder_.filePath(QStringLiteral("p%1.prm").arg(i));
      if (!WriteBytes(paths.back(), "1\r\n2\r\n"))
        return {};
    }
    return paths;
  }

private slots:
  void initTestCase() { PrepareApplication(); }

  void aCancelStopsTheReadWithoutAMessage() {
    WindowTestHarness h(false);
    QWidget window;
    const QStringList paths = files(3);
    {
      RunProgress progress(&window, QStringLiteral("Permanenzen werden getestet..."), 3);
      QVERIFY(QApplication::overrideCursor());
      window.findChild<QProgressDialog*>()->cancel();
      QVERIFY(!progress.readFiles(paths));
      QVERIFY(!QApplication::overrideCursor());
    }
    QVERIFY(h.dialogs().calls.isEmpty());
    QVERIFY(!QApplication::overrideCursor());
  }

  void aCancelStopsTheAnalysisUnlessItOffersNone() {
    WindowTestHarness h(false);
    QWidget window;
    const QStringList paths = files(4);
    RunProgress progress(&window, QStringLiteral("Serienlängen werden gesucht..."), 4);
    QVERIFY(progress.readFiles(paths).has_value());
    const RunControl analysis = progress.analysing();
    QVERIFY(analysis.progress(1, 4));
    window.findChild<QProgressDialog*>()->cancel();
    QVERIFY(!analysis.progress(2, 4));

    RunProgress withoutCancel(&window, QStringLiteral("Permanenzen werden getestet..."), 4);
    withoutCancel.analysing(false);
    QProgressDialog* dialog = nullptr;
    for (QProgressDialog* d : window.findChildren<QProgressDialog*>())
      if (d->findChildren<QPushButton*>().isEmpty())
        dialog = d;
    QVERIFY(dialog);
  }

  void anUnreadableFileShowsItsMessageOnce() {
    WindowTestHarness h(false);
    QWidget window;
    QStringList paths = files(2);
    paths.insert(1, folder_.filePath(QStringLiteral("fehlt.prm")));
    RunProgress progress(&window, QStringLiteral("Permanenzen werden getestet..."), 3);
    QVERIFY(!progress.readFiles(paths));
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(h.dialogs().calls[0].kind, QStringLiteral("error"));
    QVERIFY(h.dialogs().calls[0].text.contains(QStringLiteral("fehlt.prm")));
  }
};

QTEST_MAIN(RunProgressTest)
#include "test_run_progress.moc"
