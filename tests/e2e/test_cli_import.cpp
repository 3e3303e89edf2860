// `kesselwerk-cli import` as a script calls it: the real lists and tables become permanence
// files that the other commands read with the counts stated; bad input writes nothing.
#include "support/TestFiles.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace kw::test;

namespace {

struct Run {
  int exitCode = -1;
  QByteArray out;
  QString err;
};

Run runCli(const QStringList& args) {
  QProcess p;
  p.start(qEnvironmentVariable("KESSELWERK_BIN_DIR") + "/kesselwerk-cli", args);
  Run run;
  if (!p.waitForFinished(60000))
    return run;
  run.exitCode = p.exitCode();
  run.out = p.readAllStandardOutput();
  run.err = QString::fromUtf8(p.readAllStandardError());
  return run;
}

QJsonObject onlyFile(const Run& run) {
  const QJsonArray files = QJsonDocument::fromJson(run.out).object().value("dateien").toArray();
  return files.size() == 1 ? files[0].toObject() : QJsonObject();
}

// Everything in a folder, a staging folder left behind included.
QStringList entries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class CliImportTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString path(const QString& name) const { return dir_.filePath(name); }
  QString data() const { return path("data"); }
  QString permanences() const { return path("data/Permanenzen"); }

private slots:
  void init() {
    QDir(data()).removeRecursively();
    QDir(path("aus")).removeRecursively();
    QVERIFY(QDir().mkpath(path("aus")));
  }

  void theWiesbadenListGivesItsCoupsToTheOtherCommands() {
    const QString source = SharedDataFile("spielbank-wiesbaden_t1_190424.txt");
    const Run run = runCli({"import", "--json", "--data-dir", data(), source});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    const QJsonObject file = onlyFile(run);
    QCOMPARE(file.value("quelle").toString(), source);
    QCOMPARE(file.value("format").toString(), QStringLiteral("Zahlenliste"));
    QCOMPARE(file.value("coups").toInt(), 187630);
    QCOMPARE(file.value("handwechsel").toInt(), 0);
    QCOMPARE(file.value("uebersprungen").toInt(), 0);
    QCOMPARE(file.value("doppelnull").toInt(), 0);
    QCOMPARE(file.value("beispiele").toArray(), QJsonArray());
    const QString written = permanences() + "/spielbank-wiesbaden_t1_190424.prm";
    QCOMPARE(file.value("ausgabe").toArray(), QJsonArray{written});

    // The main window's reading of the written file gives the same count.
    const Run chancen = runCli({"chancen", "--json", "--data-dir", data(), written});
    QCOMPARE(chancen.exitCode, 0);
    QCOMPARE(QJsonDocument::fromJson(chancen.out).object().value("coups").toInt(), 187630);
  }

  void theCameraTableNamesItsColumnDoubleZerosAndTheMissingOutcome() {
    const QString source = SharedDataFile("mmassom96_Computer_Vision_Utilities_spins.csv");
    const Run json =
        runCli({"import", "--json", "--data-dir", data(), "--ausgabe", path("aus"), source});
    QCOMPARE(json.exitCode, 0);
    const QJsonObject file = onlyFile(json);
    QCOMPARE(file.value("spalte").toObject(), (QJsonObject{{"nr", 6}, {"name", "outcome"}}));
    QCOMPARE(file.value("coups").toInt(), 233);
    QCOMPARE(file.value("doppelnull").toInt(), 7);
    QCOMPARE(file.value("uebersprungen").toInt(), 1);
    QCOMPARE(file.value("beispiele").toArray(), (QJsonArray{QJsonArray{101, "NO OUTCOME"}}));

    const Run text = runCli(
        {"import", "--ueberschreiben", "--data-dir", data(), "--ausgabe", path("aus"), source});
    QCOMPARE(text.exitCode, 0);
    const QString out = QString::fromUtf8(text.out);
    QVERIFY2(out.contains("Format:        Tabelle mit Kopfzeile (Trennzeichen Komma), Spalte 6 "
                          "\"outcome\"\n"),
             qPrintable(out));
    QVERIFY2(out.contains("               Zeile 101: NO OUTCOME\n"), qPrintable(out));
    QVERIFY2(out.contains(QString::fromUtf8("Doppelnull: 7 \xE2\x80\x94 diese Permanenz stammt von "
                                            "einem Kessel mit Doppelnull\n")),
             qPrintable(out));
    QCOMPARE(entries(path("aus")), QStringList{"mmassom96_Computer_Vision_Utilities_spins.prm"});
  }

  void splitFilesAreReadByTheSeriesAnalysis() {
    const Run run =
        runCli({"import", "--teilen", "370", "--json", "--data-dir", data(), "--ausgabe",
                path("aus"), SharedDataFile("spielbank-wiesbaden_t1_190424.txt")});
    QCOMPARE(run.exitCode, 0);
    const QJsonArray written = onlyFile(run).value("ausgabe").toArray();
    QCOMPARE(written.size(), 508);
    QCOMPARE(entries(path("aus")).size(), 508);
    QVERIFY(written.last().toString().endsWith("/spielbank-wiesbaden_t1_190424_0508.prm"));
    const Run serien = runCli({"serien", "--json", "--data-dir", data(), written.first().toString(),
                               written.last().toString()});
    QCOMPARE(serien.exitCode, 0);
    const QJsonArray names =
        QJsonDocument::fromJson(serien.out).object().value("permanenzen").toArray();
    QCOMPARE(names.size(), 2);
    QCOMPARE(names[1].toObject().value("name").toString(),
             QStringLiteral("spielbank-wiesbaden_t1_190424_0508"));
  }

  void badInputWritesNothing_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");
    QVERIFY(WriteBytes(path("in/leer.txt"), ""));
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
      binary += static_cast<char>(i % 256);
    QVERIFY(WriteBytes(path("in/bild.png"), binary));
    QVERIFY(WriteBytes(path("in/lang.txt"), "17\r\n" + QByteArray(1 << 20, '7') + "\r\n5\r\n"));
    QVERIFY(WriteBytes(path("in/konto.csv"), "Datum;Betrag\r\n24.04.2019;100\r\n25.04.2019;8\r\n"));
    QVERIFY(WriteBytes(path("in/gut.txt"), "1,2,3\r\n"));
    QVERIFY(QDir().mkpath(path("in/ordner.txt")));
    QFile::remove(path("in/pipe"));
    QCOMPARE(::mkfifo(QFile::encodeName(path("in/pipe")).constData(), 0600), 0);

    const QStringList none;
    QTest::newRow("empty") << QStringList{"leer.txt"} << none << 1 << "ist leer.";
    QTest::newRow("binary") << QStringList{"bild.png"} << none << 1 << "ist keine Textdatei";
    QTest::newRow("megabyte line")
        << QStringList{"lang.txt"} << none << 1 << "eine Zeichenfolge von 1048576 Zeichen";
    QTest::newRow("no results column") << QStringList{"konto.csv"} << none << 1
                                       << "in keiner Spalte eine Folge von Roulette-Zahlen";
    QTest::newRow("a good and an empty file")
        << QStringList{"gut.txt", "leer.txt"} << none << 1 << "ist leer.";
    QTest::newRow("folder") << QStringList{"ordner.txt"} << none << 2 << "Das ist ein Ordner.";
    QTest::newRow("pipe") << QStringList{"pipe"} << none << 2 << "keine gewöhnliche Datei";
    QTest::newRow("missing") << QStringList{"fehlt.txt"} << none << 2 << "kann nicht gelesen";
    QTest::newRow("unknown column") << QStringList{"konto.csv"} << QStringList{"--spalte", "Zahl"}
                                    << 2 << "hat keine Spalte \"Zahl\"";
    QTest::newRow("column by name in a list")
        << QStringList{"gut.txt"} << QStringList{"--spalte", "Zahl"} << 2 << "keine Kopfzeile";
  }

  void badInputWritesNothing() {
    QFETCH(QStringList, files);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    QStringList args =
        QStringList{"import", "--data-dir", data(), "--ausgabe", path("aus")} + options;
    for (const QString& file : files)
      args << path("in/" + file);
    const Run run = runCli(args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.startsWith("Die ") || run.err.startsWith("In der Tabelle"),
             qPrintable(run.err));
    QVERIFY2(run.err.contains(says), qPrintable(run.err));
    QVERIFY2(run.out.isEmpty(), run.out.constData());
    QCOMPARE(entries(path("aus")), QStringList());
    QVERIFY(!QFileInfo::exists(permanences()));
  }

  void anExistingPermanenceIsReplacedOnlyWithUeberschreiben() {
    QVERIFY(WriteBytes(path("in/t.txt"), "1,2,3\r\n4,5\r\n"));
    QVERIFY(WriteBytes(path("aus/t.prm"), "alt\r\n"));
    const Run refused =
        runCli({"import", "--data-dir", data(), "--ausgabe", path("aus"), path("in/t.txt")});
    QCOMPARE(refused.exitCode, 2);
    QVERIFY2(refused.err.contains("gibt es schon") && refused.err.contains("--ueberschreiben"),
             qPrintable(refused.err));
    QCOMPARE(ReadBytes(path("aus/t.prm")), QByteArray("alt\r\n"));

    const Run replaced = runCli({"import", "--data-dir", data(), "--ueberschreiben", "--ausgabe",
                                 path("aus"), path("in/t.txt")});
    QCOMPARE(replaced.exitCode, 0);
    QCOMPARE(ReadBytes(path("aus/t.prm")), QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n"));
    QCOMPARE(entries(path("aus")), QStringList{"t.prm"});
  }

  void usageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no file") << QStringList{"import"};
    QTest::newRow("split by zero") << QStringList{"import", "--teilen", "0", "x.txt"};
    QTest::newRow("split by words") << QStringList{"import", "--teilen", "viele", "x.txt"};
    QTest::newRow("no such folder")
        << QStringList{"import", "--ausgabe", "/nonexistent-folder", "x.txt"};
    QTest::newRow("unknown option") << QStringList{"import", "--spalten", "2", "x.txt"};
  }

  void usageErrors() {
    QFETCH(QStringList, args);
    const Run run = runCli(args);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.startsWith("kesselwerk-cli import: "), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
  }

  void helpShowsTheCommand() {
    const Run run = runCli({"--help"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("kesselwerk-cli import [--spalte NAME|NR] [--teilen N]"));
  }
};

QTEST_GUILESS_MAIN(CliImportTest)
#include "test_cli_import.moc"
