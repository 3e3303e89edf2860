// The system test window as a user runs it: parameters, stake files, runs and their views,
// and its agreement with the command line.
#include "files/Settings.h"
#include "report/SystemTestFormat.h"
#include "support/TestFiles.h"
#include "support/WindowActions.h"
#include "systemtest/StakeProgression.h"
#include "ui/FAnalyse3.h"
#include "ui/FChart2.h"
#include "ui/FOptionen.h"
#include "ui/FileSelector.h"
#include "ui/ResultTabs.h"
#include "ui/SystemTestModels.h"
#include "ui/frFrAnalyse2.h"
#include "workspace/Workspace.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSlider>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtTest>

using namespace kw;
using namespace kw::test;

namespace {

// The worked example: V 3, A 2, pieces 1 and 2 of 5, start 1000, plus 500, minus 800.
const QStringList WorkedExample = {"4",  "15", "4",  "22", "9",  "31", "9", "1",
                                   "2",  "HW", "3",  "7",  "8",  "5",  "6", "10",
                                   "11", "6",  "27", "12", "13", "14", "16"};

QSlider* track(FAnalyse3* w, int i) { return Find<QSlider>(w, QStringLiteral("Track%1").arg(i)); }
QString text(FAnalyse3* w, const char* label) {
  return Find<QLabel>(w, QLatin1String(label))->text();
}
QString stakeCell(FAnalyse3* w, int column) { return w->GSaetze()->item(1, column)->text(); }

void setWorkedExampleParameters(FAnalyse3* w) {
  const int positions[] = {3, 2, 5, 8, 5, 10};
  for (int i = 1; i <= 6; ++i)
    track(w, i)->setValue(positions[i - 1]);
  w->SetStakeCells({"1", "2"});
}

// Selects the files at these rows of the list (all when empty) and starts the run.
void run(FAnalyse3* w, const QString& folder, const QList<int>& rows = {}) {
  w->fileSelector()->setDirectory(folder);
  QListWidget* list = w->fileSelector()->fileList();
  if (rows.isEmpty())
    list->selectAll();
  for (int row : rows)
    list->item(row)->setSelected(true);
  QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BAnalyse")), Qt::LeftButton);
}

QStringList summaryRow(FAnalyse3* w, int row) {
  QStringList cells;
  for (int c = 0; c < SummaryModel::ColumnCount; ++c)
    cells << w->summary()->index(row, c).data().toString();
  return cells;
}

QStringList protocolRow(frFrAnalyse2* frame, int row) {
  QStringList cells;
  for (int c = 0; c < ProtocolColumnCount; ++c)
    cells << frame->protocol()->index(row, c).data().toString();
  return cells;
}

// The last point of the chart's series of this name.
QPointF lastPoint(FChart2* chart, const QString& name) {
  for (QAbstractSeries* series : chart->chart()->series())
    if (series->name() == name)
      if (auto* line = qobject_cast<QLineSeries*>(series))
        return line->points().constLast();
  return {qQNaN(), qQNaN()};
}

// The real permanences of one table, cut into files of 370 coups by the command line's import.
bool cutRealPermanences(const QString& folder, const QString& dataDir) {
  QProcess cli;
  cli.start(qEnvironmentVariable("KESSELWERK_BIN_DIR") + QStringLiteral("/kesselwerk-cli"),
            {"import", "--teilen", "370", "--ausgabe", folder, "--data-dir", dataDir,
             SharedDataFile(QStringLiteral("spielbank-wiesbaden_t1_190424.txt"))});
  return cli.waitForFinished(60000) && cli.exitCode() == 0;
}

QJsonObject cliSystemtest(const QStringList& args, const QString& dataDir) {
  QProcess cli;
  cli.start(qEnvironmentVariable("KESSELWERK_BIN_DIR") + QStringLiteral("/kesselwerk-cli"),
            QStringList{"systemtest", "--json", "--data-dir", dataDir} + args);
  if (!cli.waitForFinished(120000) || cli.exitCode() != 0)
    return {};
  return QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
}

} // namespace

class FAnalyse3Test : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    PrepareApplication();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  }

  void workedExampleThroughTheWindow() {
    WindowTestHarness h;
    QTemporaryDir folder;
    writeLines(folder.filePath(QStringLiteral("a_beispiel.prm")), WorkedExample);
    writeLines(folder.filePath(QStringLiteral("b_kurz.prm")), WorkedExample.mid(0, 7)); // < 2A + 4
    writeLines(folder.filePath(QStringLiteral("c_knapp.prm")), WorkedExample.mid(0, 8));
    writeLines(folder.filePath(QStringLiteral("d_nicht.txt")), WorkedExample); // filtered out
    FAnalyse3* w = h.app().fAnalyse3();
    setWorkedExampleParameters(w);
    run(w, folder.path());
    QVERIFY2(h.dialogs().calls.isEmpty(), qPrintable(h.dialogs().calls.value(0).text));
    QCOMPARE(w->fileSelector()->fileCount(), 3);
    QCOMPARE(Find<QLabel>(w, QStringLiteral("Label4"))->text(), QStringLiteral("Dateien[3]:"));

    QCOMPARE(summaryRow(w, 0), (QStringList{"1", "a_beispiel", "1.105", "1.435", "105", "1.435",
                                            "414,29 %", "1.435"}));
    QCOMPARE(summaryRow(w, 1), QStringList(8, QString())); // the short file is passed over
    QCOMPARE(summaryRow(w, 2)[0], QStringLiteral("3"));
    QCOMPARE(summaryRow(w, 2)[1], QStringLiteral("c_knapp"));
    QCOMPARE(w->summary()->rowCount(), 200);
    QCOMPARE(w->summary()->headerData(7, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral("Gesamtsaldo"));
    QCOMPARE(w->GZus()->columnWidth(1), 75);
    QCOMPARE(w->summary()->index(0, 6).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                 Qt::AlignHorizontal_Mask,
             Qt::AlignRight);

    ResultTabs* pc1 = w->PC1();
    QCOMPARE(pc1->count(), 2);
    QCOMPARE(pc1->tabText(0), QStringLiteral("a_beispiel"));
    QCOMPARE(w->resultPage(0)->objectName(), QStringLiteral("TabG1"));
    QCOMPARE(pc1->currentIndex(), 1); // the last tested permanence is shown
    frFrAnalyse2* frame = w->resultFrame(0);
    AttachModelTesters(frame); // a tab's protocol is made when the tab is first asked for
    QCOMPARE(frame->objectName(), QStringLiteral("frG1"));
    QCOMPARE(frame->permanenceIndex(), size_t{0});
    QCOMPARE(Find<QLabel>(frame, QStringLiteral("LESaldo"))->text(), QStringLiteral("435"));
    QCOMPARE(Find<QLabel>(frame, QStringLiteral("LEUmsatz"))->text(), QStringLiteral("105"));
    QCOMPARE(Find<QLabel>(frame, QStringLiteral("LERendite"))->text(), QStringLiteral("414,29 %"));
    QCOMPARE(Find<QLabel>(frame, QStringLiteral("LEEinsaetze"))->text(), QStringLiteral("5"));
    QCOMPARE(Find<QLabel>(frame, QStringLiteral("LESignale"))->text(), QStringLiteral("3"));
    QCOMPARE(frame->protocol()->rowCount(), 19);
    QCOMPARE(protocolRow(frame, 6),
             (QStringList{"7", "9", "15", "1165", "9 22 31, sofort Gewinn"}));
    QCOMPARE(protocolRow(frame, 9), (QStringList{"", "HW", "", "", ""}));
    QCOMPARE(protocolRow(frame, 18),
             (QStringList{"18", "27", "", "1435", "Permanenzende naht - Abbruch"}));
    QCOMPARE(frame->GNum()->columnWidth(4), 180);

    // Totals of both tested permanences; c stops at once (its 8 entries end the lead-in).
    QCOMPARE(text(w, "LPermProof"), QStringLiteral("2"));
    QCOMPARE(text(w, "LSatzSignal"), QStringLiteral("3"));
    QCOMPARE(text(w, "LSaetzeGes"), QStringLiteral("5"));
    QCOMPARE(text(w, "LUmsaetzeGes"), QStringLiteral("105 €"));
    QCOMPARE(text(w, "LGesamtsaldo"), QStringLiteral("435 €"));
    QCOMPARE(text(w, "LRendite"), QStringLiteral("414,29 %"));
    QCOMPARE(text(w, "LAbbruchE"), QStringLiteral("2"));
    QCOMPARE(text(w, "LAbbruchM") + text(w, "LAbbruchP"), QStringLiteral("00"));
  }

  void coupCellsAreDrawnInTheNumbersColour_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<bool>("bold");
    QTest::newRow("hand change") << "HW" << QColor(0xFF, 0xFF, 0x00) << false;
    QTest::newRow("zero") << "0" << QColor(0x00, 0x80, 0x00) << true;
    QTest::newRow("red") << "32" << QColor(0xFF, 0x00, 0x00) << true;
    QTest::newRow("black") << "33" << QColor(0x00, 0x00, 0x00) << true;
    QTest::newRow("stored 45") << "45" << QColor(0xFF, 0xFF, 0x00) << false;
    QTest::newRow("three digits") << "007" << QColor(0xFF, 0xFF, 0x00) << false;
  }

  void coupCellsAreDrawnInTheNumbersColour() {
    QFETCH(QString, cell);
    QFETCH(QColor, background);
    QFETCH(bool, bold);
    const ProtocolModel::CoupLook look = ProtocolModel::GNumDrawCell(cell);
    QCOMPARE(look.background, background);
    QCOMPARE(look.bold, bold);
    QCOMPARE(look.text, bold ? QColor(Qt::white) : QColor(Qt::black));
  }

  void refusalsAndTheMinusCorrection() {
    WindowTestHarness h;
    QTemporaryDir folder;
    writeLines(folder.filePath(QStringLiteral("a.prm")), WorkedExample);
    FAnalyse3* w = h.app().fAnalyse3();
    setWorkedExampleParameters(w);

    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BAnalyse")), Qt::LeftButton);
    QCOMPARE(h.dialogs().calls.value(0).kind, QStringLiteral("error"));
    QCOMPARE(h.dialogs().calls.value(0).text,
             QStringLiteral("Es wurde keine Datei ausgewählt.\r\rIch breche ab."));

    h.dialogs().calls.clear();
    track(w, 2)->setValue(3); // three attack coups, but only two stakes
    run(w, folder.path());
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(h.dialogs().calls[0].text,
             QStringLiteral("Bitte tragen Sie in die Tabelle rechts oben so viele Stücke ein, wie "
                            "Sie Angriffe vorgesehen haben. \r\rIch breche ab."));
    QCOMPARE(w->PC1()->count(), 0);
    QCOMPARE(text(w, "LPermProof"), QString());

    // Minus 800 above a start capital of 500: corrected to 500, and the run goes on.
    h.dialogs().calls.clear();
    track(w, 2)->setValue(2);
    track(w, 6)->setValue(5);
    run(w, folder.path());
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(h.dialogs().calls[0].kind, QStringLiteral("information"));
    QCOMPARE(h.dialogs().calls[0].text,
             QStringLiteral("Der Schwellenwert für das höchst zulässige Tages-Minus darf nicht "
                            "höher sein als Ihr Startkapital.\r\rEs wurde eine Korrektur "
                            "vorgenommen."));
    QCOMPARE(track(w, 4)->value(), 5);
    QCOMPARE(text(w, "PMinus"), QStringLiteral("-500"));
    QCOMPARE(w->PC1()->count(), 1);
  }

  void slidersStartClampedAndStoreTheirPositions() {
    WindowTestHarness h(false);
    QVERIFY(WriteBytes(h.dataDir() + QStringLiteral("optionen.ini"),
                       "[ZweiDrittelSchieber]\r\n1=30\r\n2=0\r\n4=12\r\n6=0\r\n"));
    h.app().CreateWindows();
    FAnalyse3* w = h.app().fAnalyse3();
    const QList<int> expected = {24, 1, 5, 12, 5, 5};
    const QStringList panels = {"24", "1", "500", "-1200", "5", "500"};
    const char* names[] = {"Pup", "PNach", "PPlus", "PMinus", "PStueck", "PKapital"};
    for (int i = 1; i <= 6; ++i) {
      QCOMPARE(track(w, i)->value(), expected[i - 1]);
      QCOMPARE(text(w, names[i - 1]), panels[i - 1]);
    }
    track(w, 6)->setValue(7);
    QCOMPARE(text(w, "PKapital"), QStringLiteral("700"));

    // The slider area's Button2, not the result frames' export buttons.
    QWidget* sliderArea = Find<QWidget>(w, QStringLiteral("PSchieber"));
    QTest::mouseClick(Find<QPushButton>(sliderArea, QStringLiteral("Button2")), Qt::LeftButton);
    QCOMPARE(ReadTwoThirdsSliders(), (std::array<int, 6>{24, 1, 5, 12, 5, 7}));
  }

  void stakeFilesSaveAndLoad() {
    WindowTestHarness h;
    FAnalyse3* w = h.app().fAnalyse3();
    QCOMPARE(w->GSaetze()->columnCount(), 101);
    QCOMPARE(w->GSaetze()->item(0, 0)->text(), QStringLiteral("Angriff"));
    QCOMPARE(stakeCell(w, 12), QStringLiteral("9"));
    QCOMPARE(stakeCell(w, 13), QString());

    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("Bsave1")), Qt::LeftButton);
    QCOMPARE(ReadBytes(h.dataDir() + QStringLiteral("FixFile1.set")),
             QByteArray("1\r\n1\r\n1\r\n1\r\n2\r\n2\r\n2\r\n3\r\n3\r\n4\r\n6\r\n9\r\n"));
    QCOMPARE(text(w, "LFile"), QStringLiteral("FixFile1.set"));

    // An empty cell is skipped and the 0 ends the list.
    w->SetStakeCells({"2", "", "3", "0", "5"});
    const QString mine = h.dataDir() + QStringLiteral("meine.set");
    h.dialogs().saveAnswers << mine;
    w->chrome()->trigger(Command::Save);
    QCOMPARE(ReadBytes(mine), QByteArray("2\r\n3\r\n"));
    QCOMPARE(text(w, "LFile"), QStringLiteral("meine.set"));
    QCOMPARE(h.dialogs().calls.value(0).request.startDir, h.dataDir());

    // The quick-save names are reserved in the dialog, in exactly that spelling.
    h.dialogs().calls.clear();
    h.dialogs().saveAnswers << h.dataDir() + QStringLiteral("FixFile2.set")
                            << h.dataDir() + QStringLiteral("fixfile2.set");
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BSave")), Qt::LeftButton);
    QCOMPARE(h.dialogs().calls.value(1).kind, QStringLiteral("error"));
    QCOMPARE(h.dialogs().calls.value(1).text,
             QStringLiteral("FixFile2.set ist ein Dateiname, der für die Schnellspeicherung "
                            "reserviert ist. Bitte wählen Sie einen anderen Dateinamen.\r\rIch "
                            "breche ab."));
    QVERIFY(!QFile::exists(h.dataDir() + QStringLiteral("FixFile2.set")));
    QCOMPARE(text(w, "LFile"), QStringLiteral("meine.set"));
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BSave")), Qt::LeftButton);
    QCOMPARE(ReadBytes(h.dataDir() + QStringLiteral("fixfile2.set")), QByteArray("2\r\n3\r\n"));

    // Nothing to save: no file, a message, and the current stake file stays.
    h.dialogs().calls.clear();
    w->SetStakeCells({"0", "7"});
    h.dialogs().saveAnswers << h.dataDir() + QStringLiteral("leer.set");
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BSave")), Qt::LeftButton);
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BSave3")), Qt::LeftButton);
    QCOMPARE(h.dialogs().calls.size(), 3);
    QCOMPARE(h.dialogs().calls[1].kind, QStringLiteral("information"));
    QCOMPARE(h.dialogs().calls[1].text, QString::fromUtf8(NothingToSaveMessage.data()));
    QCOMPARE(h.dialogs().calls[2].text, QString::fromUtf8(NothingToSaveMessage.data()));
    QVERIFY(!QFile::exists(h.dataDir() + QStringLiteral("leer.set")));
    QVERIFY(!QFile::exists(h.dataDir() + QStringLiteral("FixFile3.set")));
    QCOMPARE(text(w, "LFile"), QStringLiteral("fixfile2.set"));
    QCOMPARE(w->CurrentStakeFile(), h.dataDir() + QStringLiteral("fixfile2.set"));

    // Loading over a filled table asks first; only "Ja" replaces the whole row.
    h.dialogs().calls.clear();
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BLoad1")), Qt::LeftButton);
    QCOMPARE(h.dialogs().calls.value(0).kind, QStringLiteral("confirm"));
    QCOMPARE(
        h.dialogs().calls.value(0).text,
        QStringLiteral("Die Satztabelle ist nicht leer. Wenn deren Inhalt überschrieben "
                       "werden soll, antworten Sie mit \"Ja\".\r\rAndernfalls breche ich ab."));
    QCOMPARE(stakeCell(w, 2), QStringLiteral("7"));
    h.dialogs().answers << Dialogs::Answer::Yes;
    h.dialogs().openAnswers << QStringList{mine};
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BOpen")), Qt::LeftButton);
    QCOMPARE(stakeCell(w, 1), QStringLiteral("2"));
    QCOMPARE(stakeCell(w, 2), QStringLiteral("3"));
    QCOMPARE(stakeCell(w, 3), QString());
    QCOMPARE(text(w, "LFile"), QStringLiteral("meine.set"));

    // An empty table loads without a question; a missing file says so and changes nothing.
    h.dialogs().calls.clear();
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BTrash")), Qt::LeftButton);
    QCOMPARE(text(w, "LFile"), QString());
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BLoad4")), Qt::LeftButton);
    QCOMPARE(h.dialogs().calls.value(0).text,
             QStringLiteral("Ich konnte die Datei FixFile4.set nicht finden, muss daher "
                            "abbrechen."));
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BLoad1")), Qt::LeftButton);
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(stakeCell(w, 12), QStringLiteral("9"));
  }

  void defaultStakeFileIsRememberedAndLoadedAtTheNextStart() {
    WindowTestHarness h(false);
    QVERIFY(WriteBytes(h.dataDir() + QStringLiteral("drei.set"), "5\n4\r\n3"));
    h.app().CreateWindows();
    FAnalyse3* w = h.app().fAnalyse3();
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BTrash")), Qt::LeftButton);
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BFileSave")), Qt::LeftButton);
    QCOMPARE(h.dialogs().calls.value(0).text,
             QStringLiteral("Bitte speichern Sie zunächst die Satz-Staffelung. Sonst kann ich "
                            "mir keinen Dateinamen merken.\r\rBis später."));
    h.dialogs().openAnswers << QStringList{h.dataDir() + QStringLiteral("drei.set")};
    w->chrome()->trigger(Command::Open);
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BFileSave")), Qt::LeftButton);
    QCOMPARE(h.app().workspace().startFiles().StartStakeFile,
             h.dataDir() + QStringLiteral("drei.set"));
    QVERIFY(Find<QLineEdit>(h.app().fOptionen(), QStringLiteral("EEinsatz"))
                ->text()
                .endsWith(QStringLiteral("drei.set")));

    WindowTestHarness next(false);
    QVERIFY(WriteBytes(next.dataDir() + QStringLiteral("optionen.ini"),
                       ReadBytes(h.dataDir() + QStringLiteral("optionen.ini"))));
    next.app().CreateWindows();
    FAnalyse3* reopened = next.app().fAnalyse3();
    QCOMPARE(stakeCell(reopened, 1), QStringLiteral("5"));
    QCOMPARE(stakeCell(reopened, 3), QStringLiteral("3"));
    QCOMPARE(stakeCell(reopened, 4), QString());
    QCOMPARE(text(reopened, "LFile"), QStringLiteral("drei.set"));

    // A default stake file that is gone: said at creation, and the table stays empty.
    WindowTestHarness gone(false);
    QVERIFY(WriteBytes(gone.dataDir() + QStringLiteral("optionen.ini"),
                       "[Dateien]\r\nSatz-Staffelung=" +
                           (gone.dataDir() + QStringLiteral("weg.set")).toUtf8() + "\r\n"));
    gone.app().CreateWindows();
    QCOMPARE(gone.dialogs().calls.value(0).text,
             QStringLiteral("Ich konnte die Datei weg.set nicht finden, muss daher abbrechen."));
    QCOMPARE(stakeCell(gone.app().fAnalyse3(), 1), QString());
  }

  // "Als Standard-Staffelung merken" with a path outside Windows-1252: remembered, shown in
  // the settings window and loaded at the next start.
  void defaultStakeFileOutsideWindows1252IsRemembered() {
    WindowTestHarness h;
    FAnalyse3* w = h.app().fAnalyse3();
    const QString path = h.dataDir() + QStringLiteral("Łódź.set");
    w->SetStakeCells({"2", "4"});
    h.dialogs().saveAnswers << path;
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BSave")), Qt::LeftButton);
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BFileSave")), Qt::LeftButton);
    QCOMPARE(h.dialogs().calls.size(), 1); // the save dialog only, no error
    QCOMPARE(ReadStartFiles().StartStakeFile, path);
    QVERIFY(Find<QLineEdit>(h.app().fOptionen(), QStringLiteral("EEinsatz"))
                ->text()
                .endsWith(QStringLiteral("Łódź.set")));

    WindowTestHarness next(false);
    QVERIFY(WriteBytes(next.dataDir() + QStringLiteral("optionen.ini"),
                       ReadBytes(h.dataDir() + QStringLiteral("optionen.ini"))));
    next.app().CreateWindows();
    QVERIFY(next.dialogs().calls.isEmpty());
    QCOMPARE(stakeCell(next.app().fAnalyse3(), 2), QStringLiteral("4"));
    QCOMPARE(text(next.app().fAnalyse3(), "LFile"), QStringLiteral("Łódź.set"));
  }

  void onlyDigitsAndBackspaceReachTheStakeTable() {
    WindowTestHarness h;
    FAnalyse3* w = h.app().fAnalyse3();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QTableWidget* grid = w->GSaetze();
    grid->setCurrentCell(1, 13);
    grid->setFocus();
    QTest::keyClicks(grid, QStringLiteral("a"));
    QCOMPARE(QApplication::focusWidget(), grid); // no edit was started
    QTest::keyClicks(grid, QStringLiteral("1"));
    QWidget* editor = QApplication::focusWidget();
    QVERIFY(qobject_cast<QLineEdit*>(editor));
    QTest::keyClicks(editor, QStringLiteral("x 2,5"));
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, QStringLiteral("7"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(stakeCell(w, 13), QStringLiteral("127")); // the grid commits after the key
  }

  // A stake typed into a cell whose editor is still open counts for every action that reads
  // the table, also when the action comes by shortcut or toolbar and leaves the focus where
  // it is.
  void aStakeStillBeingTypedCounts_data() {
    QTest::addColumn<QStringList>("stakesBefore");
    QTest::addColumn<QString>("action");
    QTest::newRow("changed stake, Alt+S") << QStringList{"1", "7"} << "Alt+S";
    QTest::newRow("new last column, Alt+S") << QStringList{"1"} << "Alt+S";
    QTest::newRow("toolbar save") << QStringList{"1", "7"} << "toolbar save";
    QTest::newRow("quick save") << QStringList{"1", "7"} << "quick save";
    QTest::newRow("remember as default") << QStringList{"1", "7"} << "remember";
  }

  void aStakeStillBeingTypedCounts() {
    QFETCH(QStringList, stakesBefore);
    QFETCH(QString, action);
    WindowTestHarness h;
    QTemporaryDir folder;
    writeLines(folder.filePath(QStringLiteral("beispiel.prm")), WorkedExample);
    FAnalyse3* w = h.app().fAnalyse3();
    setWorkedExampleParameters(w);
    std::vector<std::string> cells;
    for (const QString& stake : stakesBefore)
      cells.push_back(stake.toStdString());
    w->SetStakeCells(cells);
    w->fileSelector()->setDirectory(folder.path());
    w->fileSelector()->fileList()->selectAll();
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));

    // Column 2 is typed over with "2" (the worked example's second stake); the editor stays
    // open.
    QTableWidget* grid = w->GSaetze();
    grid->setCurrentCell(1, 2);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("2"));
    QCOMPARE(editor->text(), QStringLiteral("2"));
    QCOMPARE(stakeCell(w, 2), stakesBefore.value(1));

    const QString savedTo = h.dataDir() + QStringLiteral("gesehen.set");
    if (action == QLatin1String("Alt+S")) {
      QTest::keyClick(editor, Qt::Key_S, Qt::AltModifier);
      QTRY_COMPARE(text(w, "LPermProof"), QStringLiteral("1"));
      QVERIFY2(h.dialogs().calls.isEmpty(), qPrintable(h.dialogs().calls.value(0).text));
      // The worked example's figures, which only the stakes 1 and 2 give.
      QCOMPARE(text(w, "LGesamtsaldo"), QStringLiteral("435 €"));
      QCOMPARE(text(w, "LUmsaetzeGes"), QStringLiteral("105 €"));
    } else if (action == QLatin1String("toolbar save")) {
      h.dialogs().saveAnswers << savedTo;
      QTest::mouseClick(Find<QToolButton>(w, QStringLiteral("tbSpeichern")), Qt::LeftButton);
      QCOMPARE(ReadBytes(savedTo), QByteArray("1\r\n2\r\n"));
    } else if (action == QLatin1String("quick save")) {
      w->Bsave1Click(1);
      QCOMPARE(ReadBytes(h.dataDir() + QStringLiteral("FixFile1.set")), QByteArray("1\r\n2\r\n"));
    } else {
      w->BFileSaveClick();
    }
    // The cell keeps what was typed, and no editor is left open over it.
    QCOMPARE(stakeCell(w, 2), QStringLiteral("2"));
    QVERIFY(!grid->indexWidget(grid->model()->index(1, 2)));
  }

  void twoRunsContinueTheTabsAndTheSummaryGrows() {
    WindowTestHarness h;
    QTemporaryDir folder;
    // 205 permanences of 16 entries (played with A = 6); one without a single bet.
    QRandomGenerator random(99);
    for (int f = 0; f < 205; ++f) {
      QStringList lines;
      for (int i = 0; i < 16; ++i)
        lines << QString::number(f == 0 ? 5 : random.bounded(37));
      writeLines(folder.filePath(QStringLiteral("p%1.prm").arg(f, 3, 10, QLatin1Char('0'))), lines);
    }
    FAnalyse3* w = h.app().fAnalyse3();
    run(w, folder.path(), {0, 1});
    QCOMPARE(summaryRow(w, 0)[6], QStringLiteral("–")); // no bet, no Rendite
    run(w, folder.path());
    QVERIFY(h.dialogs().calls.isEmpty());
    QCOMPARE(w->PC1()->count(), 207);
    QCOMPARE(w->resultPage(2)->objectName(), QStringLiteral("TabG3"));
    QCOMPARE(w->PC1()->tabText(2), QStringLiteral("p000"));
    QCOMPARE(w->summary()->rowCount(), 205);
    QCOMPARE(summaryRow(w, 204)[1], QStringLiteral("p204"));
    QCOMPARE(text(w, "LPermProof"), QStringLiteral("205"));
    // Frames are built when their tab is first shown, with the same protocol as the first run.
    ResultPage* page = w->resultPage(0);
    QVERIFY(!page->hasFrame());
    w->PC1()->setCurrentIndex(0);
    QVERIFY(page->hasFrame());
    QCOMPARE(Find<frFrAnalyse2>(w, QStringLiteral("frG1"))->protocol()->rows(),
             w->resultFrame(2)->protocol()->rows());
  }

  // The hand-made run of the risk tests: results -45, +435, -45 (the first and last files
  // lose their attack down to 955), shown beside the summary in the user's format.
  void riskFiguresBesideTheSummary() {
    WindowTestHarness h;
    QTemporaryDir folder;
    const QStringList loser = {"1", "2", "3", "4", "5", "0", "0", "0", "0", "0", "0", "0", "0"};
    writeLines(folder.filePath(QStringLiteral("a_verlust.prm")), loser);
    writeLines(folder.filePath(QStringLiteral("b_beispiel.prm")), WorkedExample);
    writeLines(folder.filePath(QStringLiteral("c_verlust.prm")), loser);
    FAnalyse3* w = h.app().fAnalyse3();
    setWorkedExampleParameters(w);
    QVERIFY(!Find<QPushButton>(w, QStringLiteral("BVerlauf"))->isEnabled());
    run(w, folder.path());
    QVERIFY2(h.dialogs().calls.isEmpty(), qPrintable(h.dialogs().calls.value(0).text));
    QCOMPARE(text(w, "LRueckgang"), QStringLiteral("45 €"));
    QCOMPARE(text(w, "LVerlustserie"), QStringLiteral("1"));
    QCOMPARE(text(w, "LSchlechteste"), QStringLiteral("a_verlust (-45 €)"));
    QCOMPARE(text(w, "LTiefster"), QStringLiteral("955 €"));
    QCOMPARE(text(w, "LErwartung"), QStringLiteral("-5,27 €")); // -195 / 37
    // Without a comparison its figures stay empty and there is no histogram.
    QCOMPARE(text(w, "LZMittel"), QStringLiteral("–"));
    QVERIFY(text(w, "LUrteil").isEmpty());
    QVERIFY(!Find<QPushButton>(w, QStringLiteral("BHistogramm"))->isEnabled());

    // The running net result: 0, -45, 390, 345.
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BVerlauf")), Qt::LeftButton);
    QVERIFY(w->verlaufChart() && w->verlaufChart()->isVisible());
    QCOMPARE(lastPoint(w->verlaufChart(), QStringLiteral("Netto-Ergebnis nach der Permanenz")),
             QPointF(3, 345));
    // The capital of the example permanence after each of its 18 coups.
    frFrAnalyse2* frame = w->resultFrame(1);
    QTest::mouseClick(Find<QPushButton>(frame, QStringLiteral("BKapital")), Qt::LeftButton);
    QVERIFY(frame->kapitalChart() && frame->kapitalChart()->isVisible());
    QCOMPARE(lastPoint(frame->kapitalChart(), QStringLiteral("Kapital nach dem Coup")),
             QPointF(18, 1435));
    QVERIFY(frame->kapitalChart()->chart()->title().contains(QStringLiteral("b_beispiel")));

    // Saved as PNG through the save dialog.
    const QString png = folder.filePath(QStringLiteral("kapital.png"));
    h.dialogs().saveAnswers.enqueue(png);
    QTest::mouseClick(Find<QPushButton>(frame->kapitalChart(), QStringLiteral("BSpeichern")),
                      Qt::LeftButton);
    QFile saved(png);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().startsWith("\x89PNG"));
    QCOMPARE(h.dialogs().calls.constLast().request.defaultSuffix, QStringLiteral("png"));
    frame->kapitalChart()->close();
    w->verlaufChart()->close();
  }

  void comparisonFieldsAreChecked_data() {
    QTest::addColumn<QString>("replicas");
    QTest::addColumn<QString>("seed");
    QTest::addColumn<QString>("message");
    QTest::newRow("one replica") << "1"
                                 << ""
                                 << "Bitte tragen Sie für den Zufallsvergleich 2 bis 1.000.000 "
                                    "Replikate ein.\r\rIch breche ab.";
    QTest::newRow("no replicas") << ""
                                 << "5"
                                 << "Bitte tragen Sie für den Zufallsvergleich 2 bis 1.000.000 "
                                    "Replikate ein.\r\rIch breche ab.";
    QTest::newRow("too many") << "1000001"
                              << ""
                              << "Bitte tragen Sie für den Zufallsvergleich 2 bis 1.000.000 "
                                 "Replikate ein.\r\rIch breche ab.";
    QTest::newRow("seed too large") << "10"
                                    << "9007199254740992"
                                    << "Der Startwert des Zufallsvergleichs darf höchstens "
                                       "9.007.199.254.740.991 sein.\r\rIch breche ab.";
  }

  void comparisonFieldsAreChecked() {
    QFETCH(QString, replicas);
    QFETCH(QString, seed);
    QFETCH(QString, message);
    WindowTestHarness h;
    QTemporaryDir folder;
    writeLines(folder.filePath(QStringLiteral("a.prm")), WorkedExample);
    FAnalyse3* w = h.app().fAnalyse3();
    setWorkedExampleParameters(w);
    w->CBZufall()->setChecked(true);
    w->EReplikate()->setText(replicas);
    w->ESeed()->setText(seed);
    run(w, folder.path());
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(h.dialogs().calls[0].kind, QStringLiteral("error"));
    QCOMPARE(h.dialogs().calls[0].text, message);
    QCOMPARE(w->PC1()->count(), 0); // nothing was run
  }

  // Real permanences cut into files of 370 coups: the window's risk figures, comparison and
  // verdict are the command line's for the same seed, whatever its threads, and the
  // histogram holds every replica with the real result marked.
  void realPermanencesWithAComparisonAgreeWithTheCommandLine() {
    WindowTestHarness h;
    QTemporaryDir folder;
    QVERIFY(cutRealPermanences(folder.path(), h.dataDir()));
    FAnalyse3* w = h.app().fAnalyse3();
    w->CBZufall()->setChecked(true);
    w->EReplikate()->setText(QStringLiteral("200"));
    w->ESeed()->setText(QStringLiteral("11"));
    run(w, folder.path());
    QVERIFY2(h.dialogs().calls.isEmpty(), qPrintable(h.dialogs().calls.value(0).text));
    QVERIFY(w->PC1()->count() > 400);

    QStringList files;
    for (const QString& name : QDir(folder.path()).entryList({"*.prm"}, QDir::Files, QDir::Name))
      files << folder.filePath(name);
    QJsonObject first;
    for (const char* jobs : {"1", "2"}) {
      const QJsonObject result = cliSystemtest(
          QStringList{"--zufallsvergleich", "200", "--seed", "11", "--jobs", jobs} + files,
          h.dataDir());
      QVERIFY(!result.isEmpty());
      if (first.isEmpty())
        first = result;
      QCOMPARE(result, first);
    }
    const QJsonObject risk = first[QStringLiteral("risiko")].toObject();
    QCOMPARE(text(w, "LRueckgang"),
             MoneyText(risk[QStringLiteral("groesster_rueckgang")].toInteger()));
    QCOMPARE(text(w, "LVerlustserie"),
             QString::number(risk[QStringLiteral("laengste_verlustserie")].toInt()));
    const QJsonObject worst = risk[QStringLiteral("schlechteste_permanenz")].toObject();
    QCOMPARE(
        text(w, "LSchlechteste"),
        QStringLiteral("%1 (%2)").arg(worst[QStringLiteral("name")].toString(),
                                      MoneyText(worst[QStringLiteral("ergebnis")].toInteger())));
    QCOMPARE(text(w, "LTiefster"),
             MoneyText(risk[QStringLiteral("tiefster_kapitalstand")].toInteger()));
    QCOMPARE(text(w, "LErwartung"), MoneyDecimalText(risk[QStringLiteral("erwartung")].toDouble()));

    const QJsonObject c = first[QStringLiteral("zufallsvergleich")].toObject();
    const QJsonObject netto = c[QStringLiteral("netto")].toObject();
    QCOMPARE(text(w, "LZReplikate"), QStringLiteral("200"));
    QCOMPARE(text(w, "LZStartwert"), QStringLiteral("11"));
    QCOMPARE(text(w, "LZMittel"), MoneyDecimalText(netto[QStringLiteral("mittel")].toDouble()));
    QCOMPARE(text(w, "LZStd"), MoneyDecimalText(netto[QStringLiteral("std")].toDouble()));
    QCOMPARE(text(w, "LZMin"), MoneyText(netto[QStringLiteral("min")].toInteger()));
    QCOMPARE(text(w, "LZMax"), MoneyText(netto[QStringLiteral("max")].toInteger()));
    QCOMPARE(text(w, "LZQ50"),
             MoneyDecimalText(
                 netto[QStringLiteral("quantile")].toObject()[QStringLiteral("50")].toDouble()));
    QCOMPARE(text(w, "LZUmsatz"),
             MoneyDecimalText(
                 c[QStringLiteral("umsatz")].toObject()[QStringLiteral("mittel")].toDouble()));
    const double perzentil = c[QStringLiteral("perzentil")].toDouble();
    QCOMPARE(text(w, "LZPerzentil"), PerzentilText(perzentil));
    QCOMPARE(text(w, "LUrteil"), ComparisonVerdict(perzentil));
    QVERIFY(text(w, "LUrteil").startsWith(QStringLiteral("Das Ergebnis liegt ")));

    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BHistogramm")), Qt::LeftButton);
    FChart2* histogram = w->histogrammChart();
    QVERIFY(histogram && histogram->isVisible());
    const qint64 realNet =
        first[QStringLiteral("summe")].toObject()[QStringLiteral("netto")].toInteger();
    QCOMPARE(lastPoint(histogram, QStringLiteral("Echtes Ergebnis: %1 (Perzentil %2)")
                                      .arg(MoneyText(realNet), PerzentilText(perzentil)))
                 .x(),
             static_cast<double>(realNet));
    double replicas = 0;
    for (QAbstractSeries* series : histogram->chart()->series())
      if (auto* bars = qobject_cast<QAreaSeries*>(series)) {
        const QList<QPointF> outline = bars->upperSeries()->points();
        for (qsizetype i = 1; i < outline.size(); i += 4)
          replicas += outline[i].y();
      }
    QCOMPARE(replicas, 200.0);
    histogram->close();

    // A later run without a comparison clears its figures.
    w->CBZufall()->setChecked(false);
    run(w, folder.path(), {0, 1});
    QCOMPARE(text(w, "LZMittel"), QStringLiteral("–"));
    QVERIFY(!Find<QPushButton>(w, QStringLiteral("BHistogramm"))->isEnabled());
  }

  // "Abbrechen" in the progress of a long comparison leaves the window as it was.
  void aLongComparisonCanBeCancelled() {
    WindowTestHarness h;
    QTemporaryDir folder;
    QVERIFY(cutRealPermanences(folder.path(), h.dataDir()));
    FAnalyse3* w = h.app().fAnalyse3();
    w->CBZufall()->setChecked(true);
    w->EReplikate()->setText(QStringLiteral("1000000"));
    bool cancelled = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, w, [&] {
      for (auto* dialog : w->findChildren<QProgressDialog*>())
        if (dialog->isVisible() && dialog->value() > dialog->maximum() / 2) {
          dialog->cancel();
          cancelled = true;
        }
    });
    poll.start(50);
    run(w, folder.path());
    poll.stop();
    QVERIFY(cancelled);
    QVERIFY(h.dialogs().calls.isEmpty());
    QCOMPARE(w->PC1()->count(), 0);
    QCOMPARE(text(w, "LRueckgang"), QStringLiteral("–"));
    QCOMPARE(text(w, "LZMittel"), QStringLiteral("–"));
  }

  void windowAndCommandLineAgree() {
    WindowTestHarness h;
    QTemporaryDir folder;
    QRandomGenerator random(4711);
    QStringList paths;
    for (int f = 0; f < 30; ++f) {
      QStringList lines;
      const int n = static_cast<int>(random.bounded(5, 400));
      for (int i = 0; i < n; ++i)
        lines << (random.bounded(30) == 0 ? QStringLiteral("HW")
                                          : QString::number(random.bounded(37)));
      const QString path =
          folder.filePath(QStringLiteral("perm%1.prm").arg(f, 2, 10, QLatin1Char('0')));
      writeLines(path, lines);
      paths << path;
    }
    FAnalyse3* w = h.app().fAnalyse3();
    const int positions[] = {4, 8, 3, 6, 2, 9};
    for (int i = 1; i <= 6; ++i)
      track(w, i)->setValue(positions[i - 1]);
    w->SetStakeCells({"1", "1", "2", "2", "3", "4", "6", "9"});
    run(w, folder.path());
    QVERIFY(h.dialogs().calls.isEmpty());

    for (const char* jobs : {"1", "2"}) {
      QProcess cli;
      cli.start(qEnvironmentVariable("KESSELWERK_BIN_DIR") + QStringLiteral("/kesselwerk-cli"),
                QStringList{"systemtest",
                            "--json",
                            "--protokoll",
                            "--vorlauf",
                            "4",
                            "--angriffe",
                            "8",
                            "--plus",
                            "300",
                            "--minus",
                            "600",
                            "--stueckgroesse",
                            "2",
                            "--startkapital",
                            "900",
                            "--stuecke",
                            "1,1,2,2,3,4,6,9",
                            "--data-dir",
                            h.dataDir(),
                            "--jobs",
                            jobs} +
                    paths);
      QVERIFY(cli.waitForFinished(60000));
      QCOMPARE(cli.exitCode(), 0);
      const QJsonObject result = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
      const QJsonArray permanences = result[QStringLiteral("permanenzen")].toArray();
      QCOMPARE(permanences.size(), w->PC1()->count());
      for (int t = 0; t < permanences.size(); ++t) {
        const QJsonObject p = permanences[t].toObject();
        const int row = p[QStringLiteral("nr")].toInt() - 1;
        const QStringList cells = summaryRow(w, row);
        QCOMPARE(cells[1], p[QStringLiteral("name")].toString());
        const char* keys[] = {"minimum", "maximum", "umsatz", "saldo"};
        for (int k = 0; k < 4; ++k)
          QCOMPARE(cells[2 + k], IntegerText(p[QLatin1String(keys[k])].toInteger()));
        QCOMPARE(cells[7], IntegerText(p[QStringLiteral("gesamtsaldo")].toInteger()));
        const QJsonArray protocol = p[QStringLiteral("protokoll")].toArray();
        frFrAnalyse2* frame = w->resultFrame(t);
        QCOMPARE(frame->permanenceIndex(), static_cast<size_t>(row));
        QCOMPARE(frame->protocol()->rowCount(), protocol.size());
        for (int r = 0; r < protocol.size(); ++r) {
          QStringList expected;
          for (const QJsonValue cell : protocol[r].toArray())
            expected << cell.toString();
          QCOMPARE(protocolRow(frame, r), expected);
        }
      }
      const QJsonObject sum = result[QStringLiteral("summe")].toObject();
      QCOMPARE(text(w, "LPermProof"), QString::number(sum[QStringLiteral("permanenzen")].toInt()));
      QCOMPARE(text(w, "LGesamtsaldo"), MoneyText(sum[QStringLiteral("netto")].toInteger()));
      QCOMPARE(text(w, "LAbbruchE"), QString::number(sum[QStringLiteral("abbruch_e")].toInt()));
    }
  }
};

QTEST_MAIN(FAnalyse3Test)
#include "test_fanalyse3.moc"
