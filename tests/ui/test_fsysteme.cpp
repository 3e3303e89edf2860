// The own systems' window as a user works with it: the examples agree with the command line,
// the script's errors appear as stated with the cursor on their line, checking, starting and
// cancelling, the parameters as fields, the script files and the question before unsaved
// changes are lost, the workbook.
#include "support/TestFiles.h"
#include "support/WindowActions.h"
#include "ui/FHaupt.h"
#include "ui/FSysteme.h"
#include "ui/FileSelector.h"
#include "ui/LuaEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace kw;
using namespace kw::test;

namespace {

// Permanence files of random coups with a hand change now and then: Tisch01.prm, ...
QStringList writePermanences(const QString& folder, int count, int coups, quint32 seed) {
  QRandomGenerator random(seed);
  QStringList paths;
  for (int f = 1; f <= count; ++f) {
    QStringList lines;
    for (int i = 0; i < coups; ++i) {
      lines << QString::number(random.bounded(37));
      if (i % 100 == 99)
        lines << QStringLiteral("HW");
    }
    const QString path = folder + QStringLiteral("/Tisch%1.prm").arg(f, 2, 10, QLatin1Char('0'));
    writeLines(path, lines);
    paths << path;
  }
  return paths;
}

FSysteme* openWindow(WindowTestHarness& h) {
  auto* w = qobject_cast<FSysteme*>(h.app().OpenOnDemand(QStringLiteral("FSysteme")));
  if (w)
    w->resize(1340, 680);
  return w;
}

void selectFolder(FSysteme* w, const QString& folder) {
  w->fileSelector()->setDirectory(folder);
  w->fileSelector()->fileList()->selectAll();
}

void setScript(FSysteme* w, const QString& text) {
  w->editor()->setPlainText(text);
  w->editor()->document()->setModified(false);
}

QString cell(FSysteme* w, int row, int column) {
  return w->GZus()->model()->index(row, column).data().toString();
}

double euros(const QString& text) {
  QString plain = text;
  return plain.replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
}

QJsonObject runCli(const QString& dataDir, const QString& script, const QStringList& options,
                   const QStringList& files) {
  QProcess cli;
  cli.start(qEnvironmentVariable("KESSELWERK_BIN_DIR") + QStringLiteral("/kesselwerk-cli"),
            QStringList{"system", "--json", "--data-dir", dataDir, "--skript", script} + options +
                files);
  if (!cli.waitForFinished(120000) || cli.exitCode() != 0)
    return {};
  return QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
}

QString lastError(WindowTestHarness& h) {
  for (auto it = h.dialogs().calls.crbegin(); it != h.dialogs().calls.crend(); ++it)
    if (it->kind == QLatin1String("error"))
      return it->text;
  return {};
}

int cursorLine(FSysteme* w) { return w->editor()->textCursor().blockNumber() + 1; }

} // namespace

class FSystemeTest : public QObject {
  Q_OBJECT

private slots:
  void examplesAreCopiedOnceAndNeverOverwritten() {
    WindowTestHarness h;
    const QString folder = h.dataDir() + QStringLiteral("Systeme");
    QVERIFY(!QFileInfo::exists(folder));
    FSysteme* w = openWindow(h);
    QVERIFY(w);
    const QStringList copied = QDir(folder).entryList({QStringLiteral("*.lua")}, QDir::Files);
    QCOMPARE(copied, ShippedSystems());
    QCOMPARE(copied.size(), 5);
    QCOMPARE(w->CBBeispiel()->count(), 5);
    // The user changes an example and deletes another; a new window keeps both as they are.
    writeFile(folder + QStringLiteral("/Martingale auf Rouge.lua"), "-- meins\n");
    QVERIFY(QFile::remove(folder + QStringLiteral("/Fibonacci auf Pair.lua")));
    w->close();
    QCOMPARE(ProvideSystemsDir(), QString());
    QCOMPARE(ReadBytes(folder + QStringLiteral("/Martingale auf Rouge.lua")),
             QByteArray("-- meins\n"));
    QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/Fibonacci auf Pair.lua")));
  }

  // Each shipped example gives in the window the figures the command line gives.
  void examplesAgreeWithTheCommandLine_data() {
    QTest::addColumn<QString>("example");
    for (const QString& name : ShippedSystems())
      QTest::newRow(qPrintable(name)) << name;
  }

  void examplesAgreeWithTheCommandLine() {
    QFETCH(QString, example);
    WindowTestHarness h;
    QTemporaryDir folder;
    const QStringList files = writePermanences(folder.path(), 6, 370, 17);
    FSysteme* w = openWindow(h);
    w->CBBeispiel()->setCurrentIndex(w->CBBeispiel()->findData(example));
    w->BBeispielClick();
    selectFolder(w, folder.path());
    Find<QSpinBox>(w, QStringLiteral("SEStueck"))->setValue(2);
    Find<QCheckBox>(w, QStringLiteral("CBZufall"))->setChecked(true);
    Find<QLineEdit>(w, QStringLiteral("EReplikate"))->setText(QStringLiteral("30"));
    Find<QLineEdit>(w, QStringLiteral("ESeed"))->setText(QStringLiteral("77"));
    w->BStartenClick();
    QVERIFY2(h.dialogs().calls.isEmpty(), qPrintable(lastError(h)));
    QVERIFY(w->lastRun());

    const QJsonObject cli =
        runCli(h.dataDir(), SystemsDir() + QLatin1Char('/') + example,
               {"--stueckgroesse", "2", "--zufallsvergleich", "30", "--seed", "77"}, files);
    const QJsonArray permanences = cli[QStringLiteral("permanenzen")].toArray();
    QCOMPARE(permanences.size(), w->GZus()->model()->rowCount());
    for (int r = 0; r < permanences.size(); ++r) {
      const QJsonObject p = permanences[r].toObject();
      QCOMPARE(cell(w, r, 1), p[QStringLiteral("name")].toString());
      QCOMPARE(cell(w, r, 2).toInt(), p[QStringLiteral("coups")].toInt());
      QCOMPARE(cell(w, r, 3).toInt(), p[QStringLiteral("einsaetze")].toInt());
      const char* money[] = {"umsatz", "saldo", "minimum", "maximum"};
      for (int k = 0; k < 4; ++k)
        QCOMPARE(euros(cell(w, r, 4 + k)), p[QLatin1String(money[k])].toDouble());
      QCOMPARE(cell(w, r, 8), p[QStringLiteral("ende")].toString());
    }
    const SystemRunResult& run = *w->lastRun();
    QVERIFY(run.totals.einsaetze > 0);
    QCOMPARE(run.totals.netto / 100.0,
             cli[QStringLiteral("summe")][QStringLiteral("netto")].toDouble());
    const QJsonObject risk = cli[QStringLiteral("risiko")].toObject();
    QCOMPARE(run.risk.groessterRueckgang / 100.0,
             risk[QStringLiteral("groesster_rueckgang")].toDouble());
    QCOMPARE(run.risk.erwartung / 100.0, risk[QStringLiteral("erwartung")].toDouble());
    const QJsonObject comparison = cli[QStringLiteral("zufallsvergleich")].toObject();
    QVERIFY(run.comparison);
    QCOMPARE(run.comparison->nettoMittel / 100.0,
             comparison[QStringLiteral("netto")][QStringLiteral("mittel")].toDouble());
    QCOMPARE(run.comparison->perzentil, comparison[QStringLiteral("perzentil")].toDouble());
    QVERIFY(Find<QLabel>(w, QStringLiteral("LUrteil"))
                ->text()
                .startsWith(QStringLiteral("Das Ergebnis liegt")));

    // The protocol of a permanence is made when its tab is shown, as the command line has it.
    w->PCErgebnis()->setCurrentWidget(w->PCProtokolle());
    w->PCProtokolle()->setCurrentIndex(2);
    auto* protocol = Find<QTableView>(w->PCProtokolle()->widget(2), QStringLiteral("GProtokoll"));
    QVERIFY(protocol);
    AttachModelTesters(w->PCProtokolle()->widget(2));
    const QJsonObject withProtocol =
        runCli(h.dataDir(), SystemsDir() + QLatin1Char('/') + example,
               {"--stueckgroesse", "2", "--seed", "77", "--protokoll"}, {files[2]});
    const QJsonArray rows =
        withProtocol[QStringLiteral("permanenzen")][0][QStringLiteral("protokoll")].toArray();
    QCOMPARE(protocol->model()->rowCount(), rows.size());
    for (int r = 0; r < rows.size(); r += 37)
      for (int c = 0; c < 7; ++c)
        QCOMPARE(protocol->model()->index(r, c).data().toString(), rows[r][c].toString());
  }

  // Every error of a script appears with the message the contract states, and the cursor
  // goes to the line it names.
  void errorsAreShownAsStated_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("check");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("line");
    QTest::newRow("runtime error")
        << QStringLiteral("function setze(c)\n  if c.coup == 111 then\n    local x = nil\n"
                          "    return x.y\n  end\nend\n")
        << false
        << QStringLiteral("Fehler im Skript Zeile 4 (Tisch01, Coup 112): attempt to index a nil "
                          "value (local 'x')")
        << 4;
    QTest::newRow("endless loop")
        << QStringLiteral("-- zählt ewig\nfunction setze(c)\n  while c.coup == 11 do end\nend\n")
        << false << QStringLiteral("Das Skript rechnet in Coup 12 zu lange (Endlosschleife?)") << 3;
    QTest::newRow("invalid bet")
        << QStringLiteral("function setze(c)\n  if c.coup == 4 then return {{\"dutzend\", 4, 1}} "
                          "end\nend\n")
        << false << QStringLiteral("Ungültiger Satz in Coup 5: \"dutzend\" 4") << 0;
    QTest::newRow("syntax error, checked")
        << QStringLiteral("function setze(c)\n  return {{\"rouge\", 1}\nend\n") << true
        << QStringLiteral("Fehler im Skript Zeile 3: '}' expected (to close '{' at line 2) near "
                          "'end'")
        << 3;
    QTest::newRow("forbidden library, checked")
        << QStringLiteral("function setze(c)\n  os.exit(1)\nend\n") << true
        << QStringLiteral("Fehler im Skript Zeile 2 (Probelauf, Coup 1): ") << 2;
  }

  void errorsAreShownAsStated() {
    QFETCH(QString, script);
    QFETCH(bool, check);
    QFETCH(QString, message);
    QFETCH(int, line);
    WindowTestHarness h;
    QTemporaryDir folder;
    writePermanences(folder.path(), 3, 200, 5);
    FSysteme* w = openWindow(h);
    selectFolder(w, folder.path());
    setScript(w, script);
    w->editor()->moveCursor(QTextCursor::End);
    if (check)
      w->BPruefenClick();
    else
      w->BStartenClick();
    const QString shown = lastError(h);
    QVERIFY2(shown.startsWith(message), qPrintable(shown));
    QVERIFY(Find<QLabel>(w, QStringLiteral("LPruefung"))->text().contains(message));
    // A message without a line leaves the cursor where it was, at the end.
    QCOMPARE(cursorLine(w), line > 0 ? line : w->editor()->document()->blockCount());
    QVERIFY(!w->lastRun());
  }

  // "Prüfen" rebuilds the parameter fields; "Starten" takes their values; a value that is no
  // number stops before anything runs.
  void parametersAreFieldsOfTheScript() {
    WindowTestHarness h;
    QTemporaryDir folder;
    writePermanences(folder.path(), 2, 100, 9);
    FSysteme* w = openWindow(h);
    selectFolder(w, folder.path());
    setScript(w, QStringLiteral(
                     "parameter = { stuecke = 2, ab = 5 }\n"
                     "function setze(c)\n"
                     "  if c.coup >= c.param.ab then return {{\"rouge\", c.param.stuecke}} end\n"
                     "end\n"));
    w->BPruefenClick();
    QVERIFY(Find<QLabel>(w, QStringLiteral("LPruefung"))
                ->text()
                .contains(QStringLiteral("in Ordnung")));
    QVERIFY(w->parameterField(QStringLiteral("stuecke")));
    QCOMPARE(w->parameterField(QStringLiteral("ab"))->text(), QStringLiteral("5"));
    w->parameterField(QStringLiteral("stuecke"))->setText(QStringLiteral("3"));
    w->parameterField(QStringLiteral("ab"))->setText(QStringLiteral("99"));
    w->BStartenClick();
    QVERIFY(h.dialogs().calls.isEmpty());
    // ab = 99: no permanence of 100 coups has more than one coup with bets.
    QVERIFY(w->lastRun()->totals.einsaetze <= 2);
    QCOMPARE(w->lastRun()->totals.umsatz % 1500, 0); // 3 pieces of 5 euros

    w->parameterField(QStringLiteral("ab"))->setText(QStringLiteral("fünf"));
    w->BStartenClick();
    QCOMPARE(lastError(h),
             QStringLiteral("Der Parameter \"ab\" erwartet eine Zahl (eingetragen: \"fünf\")."));

    // A field the user did not change follows the script's new default; a changed one stays.
    w->parameterField(QStringLiteral("ab"))->setText(QStringLiteral("5"));
    setScript(w, QStringLiteral("parameter = { stuecke = 4, ab = 6 }\nfunction setze(c) end\n"));
    w->BPruefenClick();
    QCOMPARE(w->parameterField(QStringLiteral("stuecke"))->text(), QStringLiteral("3"));
    QCOMPARE(w->parameterField(QStringLiteral("ab"))->text(), QStringLiteral("6"));

    // A script without parameters shows none.
    setScript(w, QStringLiteral("function setze(c) end\n"));
    w->BPruefenClick();
    QVERIFY(!w->parameterField(QStringLiteral("ab")));
    QVERIFY(Find<QLabel>(w, QStringLiteral("LKeineParameter")));
  }

  void startWithoutFilesOrWithABadSeedStops() {
    WindowTestHarness h;
    FSysteme* w = openWindow(h);
    w->fileSelector()->setDirectory(h.dataDir());
    w->BStartenClick();
    QCOMPARE(lastError(h), QStringLiteral("Es wurde keine Datei ausgewählt.\r\rIch breche ab."));
    QTemporaryDir folder;
    writePermanences(folder.path(), 1, 10, 1);
    selectFolder(w, folder.path());
    Find<QCheckBox>(w, QStringLiteral("CBZufall"))->setChecked(true);
    Find<QLineEdit>(w, QStringLiteral("EReplikate"))->setText(QStringLiteral("1"));
    w->BStartenClick();
    QVERIFY(lastError(h).startsWith(QStringLiteral("Bitte tragen Sie für den Zufallsvergleich")));
    QVERIFY(!w->lastRun());
  }

  // "Abbrechen" in the progress of a long comparison leaves the window as it was.
  void aLongRunCanBeCancelled() {
    WindowTestHarness h;
    QTemporaryDir folder;
    writePermanences(folder.path(), 40, 370, 3);
    FSysteme* w = openWindow(h);
    selectFolder(w, folder.path());
    Find<QCheckBox>(w, QStringLiteral("CBZufall"))->setChecked(true);
    Find<QLineEdit>(w, QStringLiteral("EReplikate"))->setText(QStringLiteral("1000000"));
    bool cancelled = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, w, [&] {
      for (auto* dialog : w->findChildren<QProgressDialog*>())
        if (dialog->isVisible() && dialog->value() >= dialog->maximum() / 2) {
          dialog->cancel();
          cancelled = true;
        }
    });
    poll.start(50);
    w->BStartenClick();
    poll.stop();
    QVERIFY(cancelled);
    QVERIFY(h.dialogs().calls.isEmpty());
    QVERIFY(!w->lastRun());
    QCOMPARE(w->GZus()->model()->rowCount(), 0);
  }

  // What the script prints appears in the output pane with its permanence and coup.
  void printGoesToTheOutputPane() {
    WindowTestHarness h;
    QTemporaryDir folder;
    writePermanences(folder.path(), 2, 20, 4);
    FSysteme* w = openWindow(h);
    selectFolder(w, folder.path());
    setScript(w,
              QStringLiteral(
                  "print(\"geladen\")\n"
                  "function setze(c) if c.coup == 3 then print(\"Coup\", c.coup + 1) end end\n"));
    w->BStartenClick();
    QVERIFY(h.dialogs().calls.isEmpty());
    QCOMPARE(w->MAusgabe()->toPlainText(),
             QStringLiteral("geladen\nTisch01, Coup 4: Coup\t4\nTisch02, Coup 4: Coup\t4\n"));
  }

  // Open, save, and the question before unsaved changes are lost: "Abbrechen" keeps them,
  // "Ja" saves them first, "Nein" drops them.
  void scriptFilesAndUnsavedChanges() {
    WindowTestHarness h;
    FSysteme* w = openWindow(h);
    const QString mine = SystemsDir() + QStringLiteral("/Mein System.lua");
    w->BNeuClick();
    w->editor()->insertPlainText(QStringLiteral("-- äöü"));
    QVERIFY(w->editor()->document()->isModified());

    // Closing asks; "Abbrechen" keeps the window and the text.
    h.dialogs().answers.enqueue(Dialogs::Answer::Cancel);
    QVERIFY(!w->close());
    QVERIFY(h.dialogs().calls.last().text.startsWith(
        QStringLiteral("Das Skript \"Neues System.lua\" wurde geändert.")));
    QVERIFY(w->editor()->toPlainText().contains(QStringLiteral("-- äöü")));

    // "Ja" saves under a chosen name, then the example is loaded.
    h.dialogs().answers.enqueue(Dialogs::Answer::Yes);
    h.dialogs().saveAnswers.enqueue(mine);
    w->CBBeispiel()->setCurrentIndex(
        w->CBBeispiel()->findText(QStringLiteral("Fibonacci auf Pair")));
    w->BBeispielClick();
    QVERIFY(ReadBytes(mine).contains("-- äöü"));
    QCOMPARE(h.dialogs().calls.last().request.startDir, SystemsDir());
    QVERIFY(w->editor()->toPlainText().contains(QStringLiteral("Fibonacci")));
    QCOMPARE(w->scriptPath(), SystemsDir() + QStringLiteral("/Fibonacci auf Pair.lua"));

    // "Nein" drops the change; the file opened shows its text.
    w->editor()->moveCursor(QTextCursor::Start);
    w->editor()->insertPlainText(QStringLiteral("x"));
    h.dialogs().answers.enqueue(Dialogs::Answer::No);
    h.dialogs().openAnswers.enqueue({mine});
    w->BOeffnenClick();
    QCOMPARE(w->scriptPath(), mine);
    QVERIFY(w->editor()->toPlainText().contains(QStringLiteral("-- äöü")));
    QVERIFY(!ReadBytes(SystemsDir() + QStringLiteral("/Fibonacci auf Pair.lua")).startsWith("x"));

    // "Speichern" writes to the file open, without asking.
    w->editor()->moveCursor(QTextCursor::Start);
    w->editor()->insertPlainText(QStringLiteral("y"));
    const int asked = static_cast<int>(h.dialogs().calls.size());
    QVERIFY(w->BSpeichernClick());
    QCOMPARE(static_cast<int>(h.dialogs().calls.size()), asked);
    QVERIFY(ReadBytes(mine).startsWith("y"));
    QVERIFY(w->close());
  }

  // Ending the program from the main window asks too; "Abbrechen" keeps it running.
  void quittingAsksForUnsavedChanges() {
    WindowTestHarness h;
    FSysteme* w = openWindow(h);
    w->show();
    w->editor()->insertPlainText(QStringLiteral("-- neu"));
    h.dialogs().answers.enqueue(Dialogs::Answer::Cancel);
    QVERIFY(!h.app().fHaupt()->close());
    QVERIFY(w->isVisible());
    QCOMPARE(h.dialogs().calls.last().kind, QStringLiteral("confirm"));
    w->editor()->document()->setModified(false);
  }

  void workbookHoldsTheRiskAndTheComparison() {
    WindowTestHarness h;
    QTemporaryDir folder;
    writePermanences(folder.path(), 3, 200, 6);
    FSysteme* w = openWindow(h);
    selectFolder(w, folder.path());
    Find<QCheckBox>(w, QStringLiteral("CBZufall"))->setChecked(true);
    Find<QLineEdit>(w, QStringLiteral("EReplikate"))->setText(QStringLiteral("20"));
    w->BStartenClick();
    QVERIFY(w->lastRun());
    const QString book = folder.filePath(QStringLiteral("system.xlsx"));
    h.dialogs().saveAnswers.enqueue(book);
    click(w, QStringLiteral("BExcel"));
    QVERIFY2(QFileInfo::exists(book), qPrintable(lastError(h)));
    const auto value = [](const QJsonObject& sheet, const char* at) {
      return sheet[QStringLiteral("cells")][QLatin1String(at)][QStringLiteral("v")]
          .toVariant()
          .toString();
    };
    const QJsonObject first = ReadWorkbook(book);
    QCOMPARE(value(first, "A1"), QStringLiteral("System"));
    QCOMPARE(value(first, "A2"), QStringLiteral("Martingale auf Rouge"));
    QCOMPARE(value(first, "C1"), QStringLiteral("\u00a0Nr."));
    QCOMPARE(value(first, "D2"), QStringLiteral("\u00a0Tisch01"));
    QCOMPARE(first[QStringLiteral("sheets")].toInt(), 2);
    QStringList columnA;
    for (int r = 1; r <= 40; ++r)
      columnA << value(first, qPrintable(QStringLiteral("A%1").arg(r)));
    const int risk = static_cast<int>(columnA.indexOf(QStringLiteral("Größter Rückgang")));
    QVERIFY(risk > 0);
    QCOMPARE(columnA[risk + 1], Find<QLabel>(w, QStringLiteral("LRueckgang"))->text());
    QCOMPARE(columnA[risk + 8], QStringLiteral("Erwartung"));
    // The comparison's sheet: every replica's results in euros, as the engine has them.
    const QJsonObject second = ReadWorkbook(book, 1);
    QCOMPARE(value(second, "C1"), QStringLiteral("Replikat"));
    QCOMPARE(second[QStringLiteral("cells")][QStringLiteral("D2")][QStringLiteral("v")].toDouble(),
             w->lastRun()->comparison->netto[0] / 100.0);
    QCOMPARE(value(second, "C21"), QStringLiteral("20"));
    QVERIFY(value(second, "C22").isEmpty());
  }
};

QTEST_MAIN(FSystemeTest)
#include "test_fsysteme.moc"
