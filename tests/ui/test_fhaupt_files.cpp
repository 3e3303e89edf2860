// The main window's file page as a user meets it: files opened into the memo M1, the memo
// transferred into the table with its questions, and what reading bad files must not do.
#include "files/Folders.h"
#include "files/TextFile.h"
#include "support/TestFiles.h"
#include "support/WindowActions.h"
#include "ui/FHaupt.h"
#include "ui/MemoEdit.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace kw;
using namespace kw::test;

namespace {

using Answer = Dialogs::Answer;

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = dir.filePath(name);
  return WriteBytes(path, bytes) ? path : QString();
}

// Opens the files through "Datei(en) öffnen..." as if chosen in the dialog.
void openFiles(WindowTestHarness& h, const QStringList& paths) {
  h.dialogs().openAnswers.enqueue(paths);
  click(h.app().fHaupt(), "BOpen");
}

std::vector<uint8_t> values(const QList<int>& codes) {
  return std::vector<uint8_t>(codes.begin(), codes.end());
}

} // namespace

class FHauptFilesTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { PrepareApplication(); }

  void openingTwoFilesFillsTheMemoInDialogOrder() {
    WindowTestHarness h;
    QTemporaryDir dir;
    const QString a = writeFile(dir, QStringLiteral("a.prm"), "17\r\n0\r\nHW\r\n");
    // UTF-8 with a byte-order mark and LF line ends.
    const QString b = writeFile(dir, QStringLiteral("b.prm"), "\xEF\xBB\xBFK\xC3\xB6ln\n32\n5");
    FHaupt* main = h.app().fHaupt();
    main->memo()->setPlainText(QStringLiteral("old"));
    clickPad(main, {7});

    openFiles(h, {b, a});
    QCOMPARE(main->memo()->toPlainText(), QStringLiteral("Köln\n32\n5\n17\n0\nHW"));
    QVERIFY(!main->memo()->isHidden());
    QCOMPARE(main->table().UsedRows(), 1); // opening never changes the table

    QCOMPARE(h.dialogs().calls.size(), 1);
    const Dialogs::FileRequest& request = h.dialogs().calls[0].request;
    QCOMPARE(request.title, QStringLiteral("Datei öffnen"));
    QCOMPARE(request.filter, QStringLiteral("Permanenz-Format (*.prm);;Alle Dateien (*.*)"));
    QCOMPARE(request.startDir, PermanenceDir());
    QVERIFY(request.multiple);

    // Cancelling the dialog keeps the memo.
    openFiles(h, {});
    QCOMPARE(main->memo()->toPlainText(), QStringLiteral("Köln\n32\n5\n17\n0\nHW"));
  }

  void aFileThatCannotBeReadChangesNothing() {
    WindowTestHarness h;
    QTemporaryDir dir;
    const QString good = writeFile(dir, QStringLiteral("good.prm"), "1\r\n2\r\n");
    const QString missing = dir.filePath(QStringLiteral("100% fehlt.prm"));
    FHaupt* main = h.app().fHaupt();
    main->memo()->setPlainText(QStringLiteral("1\n2\n3\n4\n5"));
    clickPad(main, {3});

    openFiles(h, {good, missing});
    QCOMPARE(h.dialogs().calls.size(), 2);
    QCOMPARE(h.dialogs().calls[1].kind, QStringLiteral("error"));
    QVERIFY2(h.dialogs().calls[1].text.startsWith(
                 QStringLiteral("Die Datei %1 kann nicht gelesen werden.\r\r")
                     .arg(QDir::toNativeSeparators(missing))),
             qPrintable(h.dialogs().calls[1].text));
    QCOMPARE(main->memo()->toPlainText(), QStringLiteral("1\n2\n3\n4\n5"));
    QVERIFY(!main->memo()->isHidden());
    QCOMPARE(main->table().RowValues(), values({3}));
  }

  void binaryAndEmptyFilesLoadWithoutHarm() {
    WindowTestHarness h;
    QTemporaryDir dir;
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
      binary.append(static_cast<char>((i * 37 + 11) % 256));
    const QString bin = writeFile(dir, QStringLiteral("bild.prm"), binary);
    const QString empty = writeFile(dir, QStringLiteral("leer.prm"), QByteArray());
    FHaupt* main = h.app().fHaupt();

    openFiles(h, {bin});
    QVERIFY(!main->memo()->toPlainText().isEmpty());
    click(main, "BTransfer"); // whatever it finds, it must not crash
    QCOMPARE(main->table().UsedRows(), main->table().CoupCount() + main->table().HandChangeCount());

    openFiles(h, {empty});
    QCOMPARE(main->memo()->toPlainText(), QString());
    click(main, "BDel2");
    click(main, "BTransfer");
    QCOMPARE(main->table().UsedRows(), 0);
    for (const auto& call : h.dialogs().calls)
      QCOMPARE(call.kind, QStringLiteral("open"));
  }

  void transferSkipsInformationLinesAndKnowsMarkers() {
    WindowTestHarness h;
    FHaupt* main = h.app().fHaupt();
    auto* grid = Find<QTableView>(main, QStringLiteral("GNum"));
    // Casino, table and date lines above the first line of one or two characters.
    main->memo()->setPlainText(QStringLiteral(
        "Spielbank\nTisch XX\n28.04.2013\n 7 \n07\n\n37\n-1\n123\nabc\n50\n----\n--HW\n0"));
    click(main, "BTransfer");
    QCOMPARE(main->table().RowValues(), values({7, 7, 50, 50, 0}));
    // "--HW" is no marker of the list and is skipped. The short "50" is labelled like a pad
    // hand change (the list's first entry), "----" leaves an empty label.
    QCOMPARE(grid->model()->index(2, 2).data().toString(), QStringLiteral("-"));
    QCOMPARE(grid->model()->index(3, 2).data().toString(), QString());
    QVERIFY(h.dialogs().calls.isEmpty());

    // Four lines are too few: nothing happens, nothing is asked.
    main->memo()->setPlainText(QStringLiteral("1\n2\n3\n4"));
    click(main, "BTransfer");
    QCOMPARE(main->table().UsedRows(), 5);
    QVERIFY(h.dialogs().calls.isEmpty());
  }

  // M1's lines count as the memo shows them, an empty last line included, and the command
  // line transfers the same file alike.
  void fiveLinesAsTheMemoShowsThem_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("memoLines");
    QTest::addColumn<int>("coups");
    QTest::newRow("four coups") << QByteArray("1\r\n2\r\n3\r\n4\r\n") << 4 << 0;
    QTest::newRow("four coups and an empty last line")
        << QByteArray("1\r\n2\r\n3\r\n4\r\n\r\n") << 5 << 4;
    QTest::newRow("four coups and a blank last line")
        << QByteArray("1\r\n2\r\n3\r\n4\r\n   ") << 5 << 4;
    QTest::newRow("four coups and an empty line, LF only")
        << QByteArray("1\n2\n3\n4\n\n") << 5 << 4;
    QTest::newRow("five coups") << QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n") << 5 << 5;
  }

  void fiveLinesAsTheMemoShowsThem() {
    QFETCH(QByteArray, file);
    QFETCH(int, memoLines);
    QFETCH(int, coups);
    WindowTestHarness h;
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("kurz.prm"), file);
    FHaupt* main = h.app().fHaupt();
    openFiles(h, {path});
    QCOMPARE(main->memo()->lineCount(), memoLines);
    click(main, "BTransfer");
    QCOMPARE(main->table().CoupCount(), coups);

    QProcess cli;
    cli.start(qEnvironmentVariable("KESSELWERK_BIN_DIR") + QStringLiteral("/kesselwerk-cli"),
              {QStringLiteral("chancen"), QStringLiteral("--json"), QStringLiteral("--data-dir"),
               h.dataDir(), path});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    const QJsonObject result = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
    QCOMPARE(result.value(QStringLiteral("coups")).toInt(-1), coups);
  }

  void transferIntoAFilledTableAsks_data() {
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QList<int>>("rows");
    const int yes = int(Answer::Yes), no = int(Answer::No), cancel = int(Answer::Cancel);
    QTest::newRow("append") << QList<int>{yes} << 1 << QList<int>{9, 1, 2, 3, 4, 5};
    QTest::newRow("closed box appends") << QList<int>{cancel} << 1 << QList<int>{9, 1, 2, 3, 4, 5};
    QTest::newRow("clear first") << QList<int>{no, yes} << 2 << QList<int>{1, 2, 3, 4, 5};
    QTest::newRow("neither") << QList<int>{no, no} << 2 << QList<int>{9};
    QTest::newRow("neither, closed") << QList<int>{no, cancel} << 2 << QList<int>{9};
  }

  void transferIntoAFilledTableAsks() {
    QFETCH(QList<int>, answers);
    QFETCH(int, questions);
    QFETCH(QList<int>, rows);
    WindowTestHarness h;
    FHaupt* main = h.app().fHaupt();
    clickPad(main, {9});
    main->memo()->setPlainText(QStringLiteral("1\n2\n3\n4\n5"));
    for (int a : answers)
      h.dialogs().answers.enqueue(Answer(a));
    click(main, "BTransfer");

    QCOMPARE(main->table().RowValues(), values(rows));
    QCOMPARE(h.dialogs().calls.size(), questions);
    const QString texts[] = {
        QStringLiteral("Die Tabelle ist nicht leer.\r\rSollen die eingelesen Daten angehängt "
                       "werden?"),
        QStringLiteral("Soll die Tabelle geleert werden?\r\rAndernfalls breche ich ab.")};
    for (int i = 0; i < questions; ++i) {
      const auto& call = h.dialogs().calls[i];
      QCOMPARE(call.kind, QStringLiteral("confirm"));
      QCOMPARE(call.text, texts[i]);
      QCOMPARE(call.buttons, Dialogs::YesButton | Dialogs::NoButton | Dialogs::HelpButton);
      QCOMPARE(call.helpContext, 110);
    }
    QCOMPARE(main->memo()->toPlainText(), QStringLiteral("1\n2\n3\n4\n5")); // kept
  }

  // After a transfer the shown table ends on its newest rows, however long it grew.
  void theNewestRowsAreInViewAfterATransfer() {
    WindowTestHarness h;
    QTemporaryDir dir;
    QByteArray bytes;
    for (int i = 0; i < 500; ++i)
      bytes += QByteArray::number(i % 37) + "\r\n";
    FHaupt* main = h.app().fHaupt();
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    openFiles(h, {writeFile(dir, QStringLiteral("lang.prm"), bytes)});
    click(main, "BTransfer");
    QApplication::processEvents();
    auto* grid = Find<QTableView>(main, QStringLiteral("GNum"));
    const int lastShown = grid->rowAt(grid->viewport()->height() - 1);
    QVERIFY2(lastShown < 0 || lastShown >= 499, qPrintable(QString::number(lastShown)));
    QVERIFY(grid->rowAt(0) > 400);
    QCOMPARE(grid->model()->index(499, 0).data().toString(), QStringLiteral("500"));
    QVERIFY(grid->viewport()->rect().intersects(grid->visualRect(grid->model()->index(499, 0))));
    main->hide();
  }

  // "Öffnen..." of the menu while the pad shows brings the file page with what was loaded.
  void openingFromTheMenuShowsTheFilePage() {
    WindowTestHarness h;
    QTemporaryDir dir;
    FHaupt* main = h.app().fHaupt();
    click(main, "BSeiteManuell");
    auto* pages = Find<QStackedWidget>(main, QStringLiteral("PageControl1"));
    QCOMPARE(pages->currentIndex(), 1);
    h.dialogs().openAnswers.enqueue({writeFile(dir, QStringLiteral("a.prm"), "17\r\n4\r\n")});
    main->BOpenClick();
    QCOMPARE(pages->currentIndex(), 0);
    QVERIFY(Find<QPushButton>(main, QStringLiteral("BSeiteDateien"))->isChecked());
    QCOMPARE(main->memo()->toPlainText(), QStringLiteral("17\n4"));
  }

  void realPermanenceTransfersEveryCoupInOrder() {
    QFile source(SharedDataFile(QStringLiteral("spielbank-wiesbaden_t1_190424.txt")));
    QVERIFY2(source.open(QIODevice::ReadOnly), qPrintable(source.fileName()));
    QByteArray bytes = source.readAll();
    bytes.replace(',', "\r\n");
    std::vector<uint8_t> expected;
    for (const QByteArray& line : bytes.split('\n'))
      if (!line.trimmed().isEmpty())
        expected.push_back(static_cast<uint8_t>(line.trimmed().toInt()));
    QCOMPARE(expected.size(), size_t(187630));

    WindowTestHarness h;
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("wiesbaden.prm"), bytes);
    FHaupt* main = h.app().fHaupt();
    QElapsedTimer timer;
    timer.start();
    openFiles(h, {path});
    const qint64 opened = timer.restart();
    click(main, "BTransfer");
    qInfo("open %lld ms, transfer %lld ms", opened, timer.elapsed());

    QCOMPARE(main->table().CoupCount(), 187630);
    QCOMPARE(main->table().HandChangeCount(), 0);
    QVERIFY(main->table().RowValues() == expected);
    auto* grid = Find<QTableView>(main, QStringLiteral("GNum"));
    QCOMPARE(grid->model()->rowCount(), 187630); // the grid grew to the last coup
    QCOMPARE(grid->model()->index(187629, 0).data().toString(), QStringLiteral("187630"));
  }
};

QTEST_MAIN(FHauptFilesTest)
#include "test_fhaupt_files.moc"
