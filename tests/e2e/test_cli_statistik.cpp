// kesselwerk-cli statistik as a script calls it: permanence files transferred as the main
// window does, every significance test, German text or JSON at full precision. The expected
// figures were computed with SciPy 1.10.1 by tests/statistics/reference_values.py from the
// same 202 coups.
#include "sectors/SectorAssignment.h"
#include "sectors/SectorFile.h"
#include "support/TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <random>

using namespace kw;

class CliStatistikTest : public QObject {
  Q_OBJECT

  struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
  };

  QTemporaryDir dir_;

  Run run(const QStringList& args) const {
    QProcess p;
    p.start(qEnvironmentVariable("KESSELWERK_BIN_DIR") + "/kesselwerk-cli",
            QStringList{QStringLiteral("statistik"), QStringLiteral("--data-dir"), dir_.path()} +
                args);
    if (!p.waitForFinished(60000))
      return {};
    return {p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
  }

  QString file(const QString& name, const QByteArray& bytes) const {
    const QString path = dir_.filePath(name);
    if (!test::WriteBytes(path, bytes))
      qFatal("cannot write %s", qPrintable(path));
    return path;
  }

  // One line per entry, "HW" for a hand change.
  QString permanence(const QString& name, const QString& entries) const {
    QByteArray bytes;
    for (const QString& entry : entries.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
      bytes += entry.toLatin1() + "\r\n";
    return file(name, bytes);
  }

  QString sectorFile(const QString& name, const SectorAssignment& assignment) const {
    const auto record = EncodeSectorFile(assignment);
    return file(name, QByteArray(reinterpret_cast<const char*>(record.data()),
                                 static_cast<qsizetype>(record.size())));
  }

  static QJsonObject parse(const Run& r) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
    if (error.error != QJsonParseError::NoError)
      qWarning("%s", r.out.constData());
    return doc.object();
  }

  static bool close(const QJsonValue& value, double expected) {
    return value.isDouble() && std::fabs(value.toDouble() - expected) <= 1e-11 * expected;
  }

  // The 202 coups of the engine's fixture in three croupier sections.
  QString fixture() const {
    return permanence(
        "fixture.prm",
        "HW 35 19 30 30 15 9 26 19 18 6 23 34 8 10 28 34 36 3 32 35 4 15 29 6 21 24 30 0 24 36 "
        "24 20 27 17 26 20 36 25 2 22 24 14 12 7 30 17 22 6 16 9 28 1 25 30 27 26 29 12 11 1 "
        "HW HW 8 9 31 17 6 31 7 20 3 30 3 32 5 13 21 35 8 28 1 15 9 14 8 31 7 9 33 29 12 0 HW "
        "14 19 31 13 23 1 25 18 25 35 20 19 1 22 34 18 10 6 10 31 3 6 2 25 24 4 22 31 32 18 24 "
        "19 21 16 4 12 7 7 34 20 25 4 17 28 1 24 36 25 36 35 27 4 30 9 36 33 19 6 7 9 11 17 28 "
        "36 29 4 0 1 18 32 31 27 6 1 4 8 4 4 2 36 9 17 5 20 32 23 19 31 17 17 17 28 31 34 11 16 "
        "30 3 21 4 9 16 7 20 15 28 19 11 29 0 22 0");
  }

  // Every number 100 times in a fixed shuffled order, 17 as often as given.
  QString evenPermanence(const QString& name, int seventeens) const {
    QStringList entries;
    for (int n = 0; n <= 36; ++n)
      for (int k = 0; k < (n == 17 ? seventeens : 100); ++k)
        entries << QString::number(n);
    std::shuffle(entries.begin(), entries.end(), std::mt19937(17));
    return permanence(name, entries.join(' '));
  }

  // The line of the numbers test in the text output.
  static QString numbersVerdict(const Run& r) {
    const QStringList lines = QString::fromUtf8(r.out).split('\n');
    const qsizetype heading = lines.indexOf("Nummern (Chi-Quadrat-Anpassungstest)");
    return heading < 0 || heading + 39 >= lines.size() ? QString() : lines[heading + 39];
  }

private slots:
  void initTestCase() { QVERIFY(dir_.isValid()); }

  void jsonHoldsEveryTestAtFullPrecision() {
    const Run r = run({"--json", fixture()});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    const QJsonObject o = parse(r);
    QCOMPARE(o.keys(), (QStringList{"coups", "drittel", "einfache_chancen", "nummern", "serien",
                                    "wurfweiten"}));
    QCOMPARE(o["coups"].toInt(), 202);

    const QJsonObject numbers = o["nummern"].toObject();
    QCOMPARE(numbers["beobachtet"].toArray().size(), 37);
    QCOMPARE(numbers["residuen"].toArray().size(), 37);
    QVERIFY(close(numbers["erwartet"], 202.0 / 37));
    QVERIFY(close(numbers["chi2"], 33.554455445544548));
    QVERIFY(close(numbers["p"], 0.58546195703552351));
    QCOMPARE(numbers["fg"].toInt(), 36);
    QCOMPARE(numbers["gueltig"].toBool(), true);

    const QJsonArray chances = o["einfache_chancen"].toArray();
    QCOMPARE(chances.size(), 6);
    QCOMPARE(chances[5].toObject()["name"].toString(), QStringLiteral("Passe"));
    QCOMPARE(chances[5].toObject()["anzahl"].toInt(), 102);
    QVERIFY(close(chances[5].toObject()["z"], 0.52503753060721026));
    QVERIFY(close(chances[5].toObject()["p"], 0.5995571011724995));

    const QJsonObject columns = o["drittel"].toArray()[1].toObject();
    QCOMPARE(columns["name"].toString(), QStringLiteral("Kolonnen"));
    QVERIFY(close(columns["chi2"], 3.5301155115511551));
    QCOMPARE(columns["fg"].toInt(), 3);

    const QJsonObject runs = o["serien"].toArray()[1].toObject();
    QCOMPARE(runs["name"].toString(), QStringLiteral("Impair/Pair"));
    QCOMPARE(runs["runs"].toInt(), 106);
    QVERIFY(close(runs["z"], 0.932064049996012));

    const QJsonObject distances = o["wurfweiten"].toObject();
    QVERIFY(close(distances["alle"].toObject()["chi2"], 34.069651741293534));
    QVERIFY(close(distances["A"].toObject()["p"], 0.3023730164739209));
    QCOMPARE(distances["B"].toObject()["gueltig"].toBool(), false);
    const QJsonArray sections = distances["abschnitte"].toArray();
    QCOMPARE(sections.size(), 2);
    QCOMPARE(sections[1].toObject()["erster_coup"].toInt(), 91);
    QCOMPARE(sections[1].toObject()["paare"].toInt(), 111);
    QVERIFY(close(sections[1].toObject()["p"], 0.40762167235949776));
  }

  void sectorsByPresetAndByFileAlike() {
    const QString sekt = sectorFile(
        "muster.sekt", BuildSectorAssignment(PresetSectorLists(SectorPreset::FiveAndEightFours)));
    for (const QStringList& choice :
         {QStringList{"--muster", "5x4"}, QStringList{"--sektoren", sekt}}) {
      const Run r = run(choice + QStringList{"--json", fixture()});
      QCOMPARE(r.exitCode, 0);
      const QJsonObject sectors = parse(r)["sektoren"].toObject();
      const QJsonObject a = sectors["A"].toObject();
      QCOMPARE(a["erwartet"].toArray().size(), 9);
      QCOMPARE(a["residuen"].toArray()[8].toArray().size(), 9);
      QVERIFY(close(a["erwartet"].toArray()[0].toArray()[0], 1.3513513513513513));
      QVERIFY(close(a["chi2"], 83.08713203463202));
      QCOMPARE(a["fg"].toInt(), 72);
      QVERIFY(close(a["p"], 0.17482516767193182));
      QVERIFY(close(sectors["B"].toObject()["chi2"], 74.465709013209008));
    }
  }

  // Overlapping sectors have expectations and residuals but no overall test; a test that
  // cannot be computed is null, never a number that is not one.
  void statisticsThatCannotBeComputedAreNull() {
    SectorAssignment overlapping;
    for (int n = 0; n <= 36; ++n) {
      overlapping.sectors[0].insert(static_cast<uint8_t>(n));
      if (n % 2 == 0)
        overlapping.sectors[1].insert(static_cast<uint8_t>(n));
    }
    const Run r = run({"--json", "--sektoren", sectorFile("doppelt.sekt", overlapping),
                       permanence("rot.prm", "1 3 5 7 9 0 12")});
    QCOMPARE(r.exitCode, 0);
    const QJsonObject o = parse(r);
    QVERIFY(!o.isEmpty());
    const QJsonObject redBlack = o["serien"].toArray()[0].toObject();
    QCOMPARE(redBlack["runs"].toInt(), 1);
    QVERIFY(redBlack["z"].isNull());
    QVERIFY(redBlack["p"].isNull());
    for (const char* direction : {"A", "B"}) {
      const QJsonObject d = o["sektoren"].toObject()[direction].toObject();
      QVERIFY(d["chi2"].isNull() && d["fg"].isNull() && d["p"].isNull());
      QVERIFY(d["residuen"].toArray()[0].toArray()[1].isDouble());
    }
    QVERIFY(!QString::fromUtf8(r.out).contains(QRegularExpression("[:,\\[] *-?(nan|inf)")));
  }

  void textVerdictsForAFairAndABiasedWheel_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("line");
    QTest::newRow("every number alike")
        << evenPermanence("gleich.prm", 100)
        << "  Chi² = 0,00 (36 Freiheitsgrade): unauffällig (p = 1): mit einem fairen Kessel "
           "vereinbar";
    QTest::newRow("17 twice as often")
        << evenPermanence("siebzehn.prm", 200)
        << "  Chi² = 94,74 (36 Freiheitsgrade): auffällig (p < 0,0001)";
  }

  void textVerdictsForAFairAndABiasedWheel() {
    QFETCH(QString, file);
    QFETCH(QString, line);
    const Run r = run({file});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(numbersVerdict(r), line);
  }

  // A recorded casino permanence, one number per line: the numbers test does not object.
  void realPermanenceIsUnremarkable() {
    QByteArray bytes = test::ReadBytes(test::SharedDataFile("spielbank-wiesbaden_t5_190424.txt"));
    QVERIFY(!bytes.isEmpty());
    bytes.replace(',', "\r\n");
    const Run r = run({file("wiesbaden_t5.prm", bytes)});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(QString::fromUtf8(r.out).startsWith("Coups: 748116\n"), r.out.left(40).constData());
    QCOMPARE(numbersVerdict(r), QStringLiteral("  Chi² = 46,44 (36 Freiheitsgrade): unauffällig "
                                               "(p = 0,11): mit einem fairen Kessel vereinbar"));
  }

  void refusalsAndUsageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stderrPart");
    const QString prm = permanence("ok.prm", "1 2 3 4 5 6");
    SectorAssignment incomplete;
    incomplete.sectors[0].insert(0);
    QTest::newRow("incomplete sectors")
        << QStringList{"--sektoren", sectorFile("halb.sekt", incomplete), prm} << 1
        << "Sie haben nicht alle Nummern Sektoren zugewiesen.  Der Vorgang wird abgebrochen!";
    QTest::newRow("both sector options")
        << QStringList{"--muster", "5x4", "--sektoren", "x.sekt", prm} << 2 << "höchstens eine";
    QTest::newRow("unknown preset") << QStringList{"--muster", "3x12", prm} << 2 << "\"3x12\"";
    QTest::newRow("no files") << QStringList{"--json"} << 2 << "Permanenz-Datei";
    QTest::newRow("missing permanence")
        << QStringList{dir_.filePath("fehlt.prm")} << 2 << "fehlt.prm";
    QTest::newRow("short sector file")
        << QStringList{"--sektoren", file("kurz.sekt", QByteArray(100, '\x01')), prm} << 2
        << "Versuch hinter dem Dateiende zu lesen";
  }

  void refusalsAndUsageErrors() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, stderrPart);
    const Run r = run(args);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(stderrPart), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
  }
};

QTEST_GUILESS_MAIN(CliStatistikTest)
#include "test_cli_statistik.moc"
