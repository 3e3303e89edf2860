// The system test's two workbook exports as a user makes them, read back with a real
// spreadsheet reader.
#include "report/WorkbookExport.h"
#include "support/WindowActions.h"
#include "ui/FAnalyse3.h"
#include "ui/FileSelector.h"
#include "ui/ResultTabs.h"
#include "ui/SystemTestModels.h"
#include "ui/frFrAnalyse2.h"

#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace kw;
using namespace kw::test;

namespace {

const QString NoBreak = QString(QChar(0x00A0));

// The worked example of the system test: V 3, A 2, pieces 1 and 2 of 5.
const QStringList WorkedExample = {"4",  "15", "4",  "22", "9",  "31", "9", "1",
                                   "2",  "HW", "3",  "7",  "8",  "5",  "6", "10",
                                   "11", "6",  "27", "12", "13", "14", "16"};

QString value(const QJsonObject& book, const char* ref) {
  return book[QStringLiteral("cells")]
      .toObject()[QLatin1String(ref)]
      .toObject()[QStringLiteral("v")]
      .toString();
}

FAnalyse3* runWorkedExample(WindowTestHarness& h, const QTemporaryDir& folder) {
  writeLines(folder.filePath(QStringLiteral("beispiel.prm")), WorkedExample);
  FAnalyse3* w = h.app().fAnalyse3();
  const int positions[] = {3, 2, 5, 8, 5, 10};
  for (int i = 1; i <= 6; ++i)
    Find<QSlider>(w, QStringLiteral("Track%1").arg(i))->setValue(positions[i - 1]);
  w->SetStakeCells({"1", "2"});
  w->fileSelector()->setDirectory(folder.path());
  w->fileSelector()->fileList()->selectAll();
  click(w, QStringLiteral("BAnalyse"));
  return w;
}

} // namespace

class WorkbookExportTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    PrepareApplication();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  }

  void summaryExportCopiesWhatTheWindowShows() {
    WindowTestHarness h;
    QTemporaryDir folder;
    FAnalyse3* w = runWorkedExample(h, folder);
    const QString target = folder.filePath(QStringLiteral("summe.xlsx"));
    h.dialogs().saveAnswers.enqueue(target);
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BExcel")), Qt::LeftButton);
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(h.dialogs().calls[0].kind, QStringLiteral("save"));
    QCOMPARE(h.dialogs().calls[0].text, QStringLiteral("Excel-Export"));
    QCOMPARE(h.dialogs().calls[0].request.defaultSuffix, QStringLiteral("xlsx"));

    const QJsonObject book = ReadWorkbook(target);
    QVERIFY(!book.isEmpty());
    QCOMPARE(value(book, "A1"), QStringLiteral("Permanenzen"));
    QCOMPARE(value(book, "A2"), Find<QLabel>(w, QStringLiteral("LPermProof"))->text());
    QCOMPARE(value(book, "A8"), Find<QLabel>(w, QStringLiteral("LGesamtsaldo"))->text());
    QCOMPARE(value(book, "A12"), QStringLiteral("414,29 %"));
    QCOMPARE(value(book, "A20"), Find<QLabel>(w, QStringLiteral("PKapital"))->text());
    QCOMPARE(value(book, "A30"), Find<QLabel>(w, QStringLiteral("PMinus"))->text());
    QCOMPARE(value(book, "A32"), QStringLiteral("ungespeichert"));
    QCOMPARE(value(book, "C1"), NoBreak + QStringLiteral("Nr."));
    QCOMPARE(value(book, "D2"), NoBreak + QStringLiteral("beispiel"));
    QCOMPARE(value(book, "I2"), NoBreak + QStringLiteral("414,29 %"));
    QCOMPARE(value(book, "J201"), NoBreak);
    QCOMPARE(book[QStringLiteral("max_row")].toInt(), 201);
  }

  void protocolExportShowsTheSlidersAtExportTime() {
    WindowTestHarness h;
    QTemporaryDir folder;
    FAnalyse3* w = runWorkedExample(h, folder);
    frFrAnalyse2* frame = w->resultFrame(0);
    QVERIFY(frame);
    const int rows = frame->protocol()->rowCount();
    Find<QSlider>(w, QStringLiteral("Track6"))->setValue(20); // after the run
    const QString target = folder.filePath(QStringLiteral("protokoll.xlsx"));
    h.dialogs().saveAnswers.enqueue(target);
    QTest::mouseClick(Find<QPushButton>(frame, QStringLiteral("Button2")), Qt::LeftButton);
    QVERIFY2(h.dialogs().calls.size() == 1, qPrintable(h.dialogs().calls.last().text));

    const QJsonObject book = ReadWorkbook(target);
    QCOMPARE(value(book, "A1"), QStringLiteral("Permanenz"));
    QCOMPARE(value(book, "A2"), QStringLiteral("beispiel"));
    QCOMPARE(value(book, "A4"), Find<QLabel>(frame, QStringLiteral("LESignale"))->text());
    QCOMPARE(value(book, "A12"), QStringLiteral("414,29 %"));
    QCOMPARE(value(book, "A14"), Find<QLabel>(w, QStringLiteral("PKapital"))->text());
    QCOMPARE(value(book, "A26"), QStringLiteral("ungespeichert"));
    // The grid copy holds the heading and every protocol row, and nothing below.
    const QJsonObject cells = book[QStringLiteral("cells")].toObject();
    QVERIFY(cells.contains(QStringLiteral("C%1").arg(rows + 1)));
    QVERIFY(!cells.contains(QStringLiteral("C%1").arg(rows + 2)));
    QCOMPARE(book[QStringLiteral("max_col")].toInt(), 7);
    QCOMPARE(value(book, "C1"), NoBreak + QStringLiteral("Nr."));
  }

  void unwritableTargetIsReportedAndTheOldWorkbookStays() {
    WindowTestHarness h;
    QTemporaryDir folder;
    FAnalyse3* w = runWorkedExample(h, folder);
    // A target inside a "folder" that is a file cannot be written.
    const QString notAFolder = folder.filePath(QStringLiteral("datei"));
    QVERIFY(WriteBytes(notAFolder, "x"));
    h.dialogs().saveAnswers.enqueue(notAFolder + QStringLiteral("/summe.xlsx"));
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BExcel")), Qt::LeftButton);
    QCOMPARE(h.dialogs().calls.size(), 2);
    QCOMPARE(h.dialogs().calls[1].kind, QStringLiteral("error"));
    QVERIFY(h.dialogs().calls[1].text.contains(QStringLiteral("summe.xlsx")));
    QVERIFY(h.dialogs().calls[1].text.contains(QStringLiteral("konnte nicht gespeichert werden")));
  }

  void commandLineWritesTheSameSummaryWorkbook() {
    WindowTestHarness h;
    QTemporaryDir folder;
    FAnalyse3* w = runWorkedExample(h, folder);
    const QString fromWindow = folder.filePath(QStringLiteral("fenster.xlsx"));
    h.dialogs().saveAnswers.enqueue(fromWindow);
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BExcel")), Qt::LeftButton);

    const QString fromCli = folder.filePath(QStringLiteral("cli.xlsx"));
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    cli.setProcessEnvironment(env);
    cli.start(qEnvironmentVariable("KESSELWERK_BIN_DIR") + QStringLiteral("/kesselwerk-cli"),
              {QStringLiteral("systemtest"),
               QStringLiteral("--vorlauf"),
               QStringLiteral("3"),
               QStringLiteral("--angriffe"),
               QStringLiteral("2"),
               QStringLiteral("--stuecke"),
               QStringLiteral("1,2"),
               QStringLiteral("--stueckgroesse"),
               QStringLiteral("5"),
               QStringLiteral("--startkapital"),
               QStringLiteral("1000"),
               QStringLiteral("--plus"),
               QStringLiteral("500"),
               QStringLiteral("--minus"),
               QStringLiteral("800"),
               QStringLiteral("--data-dir"),
               h.dataDir(),
               QStringLiteral("--xlsx"),
               fromCli,
               folder.filePath(QStringLiteral("beispiel.prm"))});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QJsonObject window = ReadWorkbook(fromWindow);
    const QJsonObject command = ReadWorkbook(fromCli);
    QVERIFY(!window.isEmpty());
    QCOMPARE(command, window);
  }

  // A protocol longer than a worksheet is refused at once, in German, before a file name
  // is asked for.
  void protocolLongerThanAWorksheetIsRefused() {
    WindowTestHarness h;
    frFrAnalyse2 frame(0, {}, std::vector<ProtocolRow>(WorksheetRowLimit));
    QTest::mouseClick(Find<QPushButton>(&frame, QStringLiteral("Button2")), Qt::LeftButton);
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(h.dialogs().calls[0].kind, QStringLiteral("error"));
    QCOMPARE(h.dialogs().calls[0].text,
             QStringLiteral("Die Tabelle hat mit ihrer Überschrift 1.048.577 Zeilen, ein "
                            "Arbeitsblatt fasst aber höchstens 1.048.576 Zeilen. Die "
                            "Arbeitsmappe wird daher nicht geschrieben.\r\rIch breche ab."));
  }

  // A long export shows a progress dialog; cancelling it ("Abbrechen" or Escape) leaves no
  // file and an old workbook of that name as it was.
  void cancellingALongExportLeavesNoFile_data() {
    QTest::addColumn<bool>("oldWorkbook");
    QTest::addColumn<bool>("escape");
    QTest::newRow("new file, Abbrechen") << false << false;
    QTest::newRow("over an old workbook, Abbrechen") << true << false;
    QTest::newRow("new file, Escape") << false << true;
  }

  void cancellingALongExportLeavesNoFile() {
    QFETCH(bool, oldWorkbook);
    QFETCH(bool, escape);
    WindowTestHarness h;
    QTemporaryDir folder;
    frFrAnalyse2 frame(0, {}, std::vector<ProtocolRow>(100000, ProtocolRow{"1", "17", "", "", ""}));
    frame.show();
    const QString target = folder.filePath(QStringLiteral("lang.xlsx"));
    if (oldWorkbook)
      QVERIFY(WriteBytes(target, "alt"));
    h.dialogs().saveAnswers.enqueue(target);
    bool progressShown = false;
    QTimer::singleShot(0, [&] {
      auto* progress = frame.findChild<QProgressDialog*>(QStringLiteral("ExportProgress"));
      progressShown = progress && progress->isVisible();
      if (progress && escape)
        QTest::keyClick(progress, Qt::Key_Escape);
      else if (progress)
        for (QPushButton* button : progress->findChildren<QPushButton*>())
          if (button->text() == QLatin1String("Abbrechen"))
            QTest::mouseClick(button, Qt::LeftButton);
    });
    QTest::mouseClick(Find<QPushButton>(&frame, QStringLiteral("Button2")), Qt::LeftButton);
    QVERIFY(progressShown);
    QCOMPARE(h.dialogs().calls.size(), 1); // the file name only: no message after a cancel
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
             oldWorkbook ? QStringList{"lang.xlsx"} : QStringList());
    if (oldWorkbook)
      QCOMPARE(ReadBytes(target), QByteArray("alt"));
    QVERIFY(!frame.findChild<QProgressDialog*>());
  }

  // Left alone, a long export with its progress writes every row.
  void longExportWithProgressWritesEveryRow() {
    WindowTestHarness h;
    QTemporaryDir folder;
    std::vector<ProtocolRow> rows(20000, ProtocolRow{"", "HW", "", "", ""});
    rows.back() = {"20000", "36", "5", "995", "letzte Zeile"};
    frFrAnalyse2 frame(0, {}, std::move(rows));
    const QString target = folder.filePath(QStringLiteral("lang.xlsx"));
    h.dialogs().saveAnswers.enqueue(target);
    bool progressShown = false;
    QTimer::singleShot(0, [&] {
      progressShown = frame.findChild<QProgressDialog*>(QStringLiteral("ExportProgress"));
    });
    QTest::mouseClick(Find<QPushButton>(&frame, QStringLiteral("Button2")), Qt::LeftButton);
    QVERIFY(progressShown);
    QCOMPARE(h.dialogs().calls.size(), 1);
    const QJsonObject book = ReadWorkbook(target);
    QCOMPARE(book[QStringLiteral("max_row")].toInt(), 20001);
    QCOMPARE(value(book, "G20001"), NoBreak + QStringLiteral("letzte Zeile"));
    QCOMPARE(value(book, "D20000"), NoBreak + QStringLiteral("HW"));
  }

  void cancelledDialogWritesNothing() {
    WindowTestHarness h;
    QTemporaryDir folder;
    FAnalyse3* w = runWorkedExample(h, folder);
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BExcel")), Qt::LeftButton);
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(QDir(folder.path()).entryList({QStringLiteral("*.xlsx")}).size(), 0);
  }
};

QTEST_MAIN(WorkbookExportTest)
#include "test_workbook_export.moc"
