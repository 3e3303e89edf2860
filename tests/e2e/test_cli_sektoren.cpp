// kesselwerk-cli sektoren as a script calls it: permanence files transferred as the main
// window does, evaluated against a preset or a sector file.
#include "sectors/SectorAssignment.h"
#include "sectors/SectorFile.h"
#include "support/TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace kw;

class CliSektorenTest : public QObject {
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
            QStringList{QStringLiteral("sektoren"), QStringLiteral("--data-dir"), dir_.path()} +
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

  QString sectorFile(const QString& name, const SectorAssignment& assignment) const {
    const auto record = EncodeSectorFile(assignment);
    return file(name, QByteArray(reinterpret_cast<const char*>(record.data()),
                                 static_cast<qsizetype>(record.size())));
  }

  // The cells of a 9 x 9 table that are not 0, as "s,t=count" (sectors from 1).
  static QStringList counted(const QJsonArray& table) {
    QStringList out;
    for (int s = 0; s < table.size(); ++s)
      for (int t = 0; t < table[s].toArray().size(); ++t)
        if (const int n = table[s].toArray()[t].toInt())
          out << QStringLiteral("%1,%2=%3").arg(s + 1).arg(t + 1).arg(n);
    return out;
  }

  static QJsonObject parse(const Run& r) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
    if (error.error != QJsonParseError::NoError)
      qWarning("%s", r.out.constData());
    return doc.object();
  }

  static const QByteArray& workedExample() {
    static const QByteArray lines("0\r\n32\r\n15\r\n19\r\n4\r\n21\r\n2\r\n");
    return lines;
  }

private slots:
  void initTestCase() { QVERIFY(dir_.isValid()); }

  void workedExampleByPresetAndByFile() {
    const QString prm = file("beispiel.prm", workedExample());
    const QString sekt = sectorFile(
        "muster.sekt", BuildSectorAssignment(PresetSectorLists(SectorPreset::FiveAndEightFours)));
    for (const QStringList& choice :
         {QStringList{"--muster", "5x4"}, QStringList{"--datei", sekt}}) {
      const Run r = run(choice + QStringList{prm, "--json"});
      QCOMPARE(r.exitCode, 0);
      QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
      const QJsonObject o = parse(r);
      QCOMPARE(o.keys(), (QStringList{"a", "b", "coups"}));
      QCOMPARE(o["coups"].toInt(), 7);
      QCOMPARE(o["a"].toArray().size(), 9);
      QCOMPARE(o["a"].toArray()[8].toArray().size(), 9);
      QCOMPARE(counted(o["a"].toArray()), (QStringList{"1,1=1", "2,2=2"}));
      QCOMPARE(counted(o["b"].toArray()), (QStringList{"1,2=1", "2,2=1"}));
    }
  }

  // Two files follow each other in the memo: the information lines at the top of the first
  // are skipped, the hand change between them joins the sequence without a break.
  void filesJoinAsTheMainWindowTransfersThem() {
    const QString first = file("t1.prm", "Spielbank\r\nTisch 3\r\n5\r\n0\r\nHW\r\n");
    const QString second = file("t2.prm", "32\n10\n");
    const Run r = run({"--muster", "5x4", "--json", first, second});
    QCOMPARE(r.exitCode, 0);
    const QJsonObject o = parse(r);
    QCOMPARE(o["coups"].toInt(), 4);
    QCOMPARE(counted(o["a"].toArray()), QStringList{"1,1=1"}); // 0 -> 32
    QCOMPARE(counted(o["b"].toArray()), QStringList{"1,5=1"}); // 32 -> 10
  }

  void textTableShowsTheGrid() {
    const Run r = run({"--muster", "5x4", file("beispiel.prm", workedExample())});
    QCOMPARE(r.exitCode, 0);
    const QStringList lines = QString::fromUtf8(r.out).split('\n');
    QCOMPARE(lines[0], QStringLiteral("Coups: 7"));
    QVERIFY2(lines[2].contains(QRegularExpression("Vor-Sektor\\s+Richtung\\s+1\\s+2\\s+3")),
             qPrintable(lines[2]));
    QVERIFY2(lines[3].contains(QRegularExpression("^\\s+1\\s+A\\s+1\\s+-\\s+-")),
             qPrintable(lines[3]));
    QVERIFY2(lines[5].contains(QRegularExpression("^\\s+2\\s+A\\s+-\\s+2\\s+-")),
             qPrintable(lines[5]));
  }

  void refusalsExitWithTheWindowsMessage_data() {
    QTest::addColumn<QByteArray>("permanence");
    QTest::addColumn<bool>("completeSectors");
    QTest::addColumn<QString>("message");
    // Four lines are too few for the transfer, so the table stays empty.
    QTest::newRow("too few") << QByteArray("1\r\n2\r\n3\r\n4\r\n") << true
                             << QStringLiteral(
                                    "Es gibt keine oder zu wenig Coups für eine Auswertung.  "
                                    "Laden Sie im Hauptfenster eine Permanenz und übertragen "
                                    "Sie diese in die dortige Tabelle.  Der Vorgang wird "
                                    "abgebrochen!\n");
    QTest::newRow("incomplete") << workedExample() << false
                                << QStringLiteral("Sie haben nicht alle Nummern Sektoren "
                                                  "zugewiesen.  Der Vorgang wird abgebrochen!\n");
  }

  void refusalsExitWithTheWindowsMessage() {
    QFETCH(QByteArray, permanence);
    QFETCH(bool, completeSectors);
    QFETCH(QString, message);
    SectorAssignment sectors;
    if (completeSectors)
      sectors = BuildSectorAssignment(PresetSectorLists(SectorPreset::RouletteSeries));
    else
      sectors.sectors[0].insert(0);
    const Run r = run({"--datei", sectorFile("s.sekt", sectors), file("p.prm", permanence)});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.err, message);
    QVERIFY(r.out.isEmpty());
  }

  void usageAndFileErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("stderrPart");
    const QString prm = file("ok.prm", workedExample());
    const QString shortSekt = file("kurz.sekt", QByteArray(100, '\x01'));
    QTest::newRow("no sectors") << QStringList{prm} << "entweder --datei";
    QTest::newRow("both") << QStringList{"--muster", "7x6", "--datei", shortSekt, prm}
                          << "entweder --datei";
    QTest::newRow("unknown preset") << QStringList{"--muster", "3x12", prm} << "\"3x12\"";
    QTest::newRow("no files") << QStringList{"--muster", "serien"} << "Permanenz-Datei";
    QTest::newRow("missing permanence")
        << QStringList{"--muster", "serien", dir_.filePath("fehlt.prm")} << "fehlt.prm";
    QTest::newRow("short sector file")
        << QStringList{"--datei", shortSekt, prm} << "Versuch hinter dem Dateiende zu lesen";
    QTest::newRow("missing sector file")
        << QStringList{"--datei", dir_.filePath("fehlt.sekt"), prm} << "fehlt.sekt";
  }

  void usageAndFileErrors() {
    QFETCH(QStringList, args);
    QFETCH(QString, stderrPart);
    const Run r = run(args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(stderrPart), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
  }

  // A recorded casino permanence, one number per line: with disjoint sectors every
  // transition but the first is counted exactly once.
  void realPermanenceCountsEveryTransitionOnce() {
    const QByteArray csv =
        test::ReadBytes(test::SharedDataFile("spielbank-wiesbaden_t1_190424.txt"));
    QVERIFY(!csv.isEmpty());
    QByteArray prm;
    int numbers = 0;
    for (const QByteArray& line : csv.split('\n'))
      for (const QByteArray& field : line.trimmed().split(','))
        if (!field.trimmed().isEmpty()) {
          prm += field.trimmed() + "\r\n";
          ++numbers;
        }
    const Run r = run({"--muster", "7x6", "--json", file("echt.prm", prm)});
    QCOMPARE(r.exitCode, 0);
    const QJsonObject o = parse(r);
    QCOMPARE(o["coups"].toInt(), numbers);
    long long total = 0;
    for (const char* direction : {"a", "b"})
      for (const QJsonValue& row : o[direction].toArray())
        for (const QJsonValue& count : row.toArray())
          total += count.toInteger();
    QCOMPARE(total, static_cast<long long>(numbers - 2));
  }
};

QTEST_GUILESS_MAIN(CliSektorenTest)
#include "test_cli_sektoren.moc"
