// kesselwerk-cli systemtest as a script calls it: the figures and protocols the system test
// window shows, the window's refusals, and the same result for every thread count.
#include "support/TestFiles.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class CliSystemtestTest : public QObject {
  Q_OBJECT

  using Run = kw::test::CliRun;

  QTemporaryDir dataDir_;
  QTemporaryDir folder_;

  Run run(const QStringList& args) {
    return kw::test::RunCli(QStringLiteral("systemtest"), dataDir_.path(), args, 60000);
  }

  QString write(const QString& name, const QStringList& lines) {
    const QString path = folder_.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
      return {};
    file.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
    return path;
  }

  QString workedExample() {
    return write(QStringLiteral("beispiel.prm"),
                 {"4", "15", "4", "22", "9",  "31", "9",  "1",  "2",  "HW", "3", "7",
                  "8", "5",  "6", "10", "11", "6",  "27", "12", "13", "14", "16"});
  }

  static QStringList row(const QJsonValue& value) {
    QStringList cells;
    for (const QJsonValue cell : value.toArray())
      cells << cell.toString();
    return cells;
  }

private slots:
  void workedExampleWithItsProtocol() {
    const Run r = run({"--json", "--protokoll", "--vorlauf", "3", "--angriffe", "2", "--stuecke",
                       "1,2", workedExample()});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    const QJsonObject result = QJsonDocument::fromJson(r.out).object();
    const QJsonObject parameter = result["parameter"].toObject();
    QCOMPARE(parameter["stuecke"].toArray(), (QJsonArray{1, 2}));
    QCOMPARE(parameter["gewinnziel"].toInt(), 1500);
    QCOMPARE(parameter["verlustgrenze"].toInt(), 200);
    const QJsonArray permanences = result["permanenzen"].toArray();
    QCOMPARE(permanences.size(), 1);
    const QJsonObject p = permanences[0].toObject();
    QCOMPARE(p["name"].toString(), QStringLiteral("beispiel"));
    const QList<std::pair<const char*, int>> figures = {
        {"minimum", 1105},     {"maximum", 1435}, {"umsatz", 105},   {"saldo", 1435},
        {"gesamtsaldo", 1435}, {"einsaetze", 5},  {"satzsignale", 3}};
    for (const auto& [key, value] : figures)
      QCOMPARE(p[QLatin1String(key)].toInt(), value);
    const QJsonArray protocol = p["protokoll"].toArray();
    QCOMPARE(protocol.size(), 19); // rows after the stop are left out
    QCOMPARE(row(protocol[6]), (QStringList{"7", "9", "15", "1165", "9 22 31, sofort Gewinn"}));
    QCOMPARE(row(protocol[9]), (QStringList{"", "HW", "", "", ""}));
    QCOMPARE(row(protocol[18]),
             (QStringList{"18", "27", "", "1435", "Permanenzende naht - Abbruch"}));
    const QJsonObject sum = result["summe"].toObject();
    QCOMPARE(sum["netto"].toInt(), 435);
    QCOMPARE(sum["abbruch_e"].toInt(), 1);
  }

  // The text table writes the Rendite with the German decimal comma, as the window does.
  void textTableUsesGermanNumbers() {
    const Run r = run({"--vorlauf", "3", "--angriffe", "2", "--stuecke", "1,2", workedExample()});
    QCOMPARE(r.exitCode, 0);
    const QString out = QString::fromUtf8(r.out);
    QVERIFY2(out.contains(QStringLiteral("414,29 %")), qPrintable(out));
    QVERIFY2(!out.contains(QStringLiteral("414.29")), qPrintable(out));

    // So do the risk figures and the random comparison below the table.
    const Run compared = run({"--zufallsvergleich", "40", "--seed", "1", workedExample()});
    QCOMPARE(compared.exitCode, 0);
    const QString risk = QString::fromUtf8(compared.out).section(QStringLiteral("Größter"), 1);
    QVERIFY2(risk.contains(QStringLiteral("Netto Mittel")), qPrintable(risk));
    QVERIFY2(!risk.contains(QRegularExpression(QStringLiteral("\\d\\.\\d"))), qPrintable(risk));
  }

  void refusalsAndUsageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("more attack coups than stakes")
        << QStringList{"--angriffe", "13"} << 1
        << QStringLiteral("Bitte tragen Sie in die Tabelle rechts oben so viele Stücke ein, wie "
                          "Sie Angriffe vorgesehen haben.   Ich breche ab.");
    QTest::newRow("a zero stake") << QStringList{"--angriffe", "3", "--stuecke", "1,0,2"} << 1
                                  << QStringLiteral("Ich breche ab.");
    QTest::newRow("capital not in hundreds")
        << QStringList{"--startkapital", "550"} << 2 << QStringLiteral("Vielfaches von 100");
    QTest::newRow("lead-in out of range")
        << QStringList{"--vorlauf", "1"} << 2 << QStringLiteral("--vorlauf erwartet");
    QTest::newRow("stakes twice") << QStringList{"--stuecke", "1", "--staffelung", "x.set"} << 2
                                  << QStringLiteral("schließen einander aus");
    QTest::newRow("missing stake file")
        << QStringList{"--staffelung", "fehlt.set"} << 2 << QStringLiteral("fehlt.set");
    QTest::newRow("one replica has no spread")
        << QStringList{"--zufallsvergleich", "1"} << 2
        << QStringLiteral("--zufallsvergleich erwartet eine ganze Zahl von 2 bis 1000000");
    QTest::newRow("a seed without a comparison")
        << QStringList{"--seed", "4"} << 2
        << QStringLiteral("--seed gilt nur mit --zufallsvergleich");
    QTest::newRow("a negative seed") << QStringList{"--zufallsvergleich", "10", "--seed", "-1"} << 2
                                     << QStringLiteral("--seed erwartet");
    QTest::newRow("unreadable permanence")
        << QStringList{"gibtsnicht.prm"} << 2 << QStringLiteral("gibtsnicht.prm");
  }

  void refusalsAndUsageErrors() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const Run r = run(args << workedExample());
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
  }

  void minusAboveTheCapitalIsCorrected() {
    const Run r = run({"--json", "--startkapital", "500", "--minus", "800", workedExample()});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.startsWith(QStringLiteral("Der Schwellenwert für das höchst zulässige "
                                             "Tages-Minus")),
             qPrintable(r.err));
    QCOMPARE(
        QJsonDocument::fromJson(r.out).object()["parameter"].toObject()["verlustgrenze"].toInt(),
        0);
  }

  void stakeFileAndPassedOverFiles() {
    QVERIFY(!write(QStringLiteral("zwei.set"), {"1", "2"}).isEmpty());
    const QString shortOne = write(QStringLiteral("kurz.prm"), {"1", "2", "3", "4", "5", "6", "7"});
    const Run r = run({"--json", "--vorlauf", "3", "--angriffe", "2", "--staffelung",
                       folder_.filePath(QStringLiteral("zwei.set")), shortOne, workedExample()});
    QCOMPARE(r.exitCode, 0);
    const QJsonObject result = QJsonDocument::fromJson(r.out).object();
    const QJsonArray permanences = result["permanenzen"].toArray();
    QCOMPARE(permanences.size(), 1);
    QCOMPARE(permanences[0].toObject()["nr"].toInt(), 2);
    QCOMPARE(permanences[0].toObject()["saldo"].toInt(), 1435);
    QVERIFY(!permanences[0].toObject().contains("protokoll"));
    QCOMPARE(result["summe"].toObject()["permanenzen"].toInt(), 1);
  }

  // Results -45, +435, -45: the fall from the first peak (0) is 45, and again from 390 to
  // 345; the second loser's attack ends at 955, below its Minimum of 985.
  void riskFiguresOfAHandMadeRun() {
    const QStringList loser = {"1", "2", "3", "4", "5", "0", "0", "0", "0", "0", "0", "0", "0"};
    const QString first = write(QStringLiteral("verlust1.prm"), loser);
    const QString second = write(QStringLiteral("verlust2.prm"), loser);
    const Run r = run({"--json", "--vorlauf", "3", "--angriffe", "2", "--stuecke", "1,2", first,
                       workedExample(), second});
    QCOMPARE(r.exitCode, 0);
    const QJsonObject result = QJsonDocument::fromJson(r.out).object();
    QVERIFY(!result.contains("zufallsvergleich"));
    const QJsonObject risk = result["risiko"].toObject();
    QCOMPARE(risk.keys(), (QStringList{"erwartung", "groesster_rueckgang", "laengste_verlustserie",
                                       "schlechteste_permanenz", "tiefster_kapitalstand"}));
    QCOMPARE(risk["groesster_rueckgang"].toInt(), 45);
    QCOMPARE(risk["laengste_verlustserie"].toInt(), 1);
    QCOMPARE(risk["schlechteste_permanenz"].toObject(),
             (QJsonObject{{"name", "verlust1"}, {"ergebnis", -45}}));
    QCOMPARE(risk["tiefster_kapitalstand"].toInt(), 955);
    QCOMPARE(risk["erwartung"].toDouble(), -195.0 / 37.0);

    // The workbook holds them below the summary, and the comparison on its own sheet.
    const QString workbook = folder_.filePath(QStringLiteral("risiko.xlsx"));
    const Run withBook =
        run({"--vorlauf", "3", "--angriffe", "2", "--stuecke", "1,2", "--xlsx", workbook,
             "--zufallsvergleich", "25", "--seed", "3", first, workedExample(), second});
    QCOMPARE(withBook.exitCode, 0);
    const auto value = [](const QJsonObject& sheet, const char* ref) {
      return sheet["cells"].toObject()[QLatin1String(ref)].toObject()["v"].toVariant();
    };
    const QJsonObject summary = kw::test::ReadWorkbook(workbook, 0);
    QCOMPARE(summary["sheets"].toInt(), 2);
    QCOMPARE(value(summary, "A33").toString(), QStringLiteral("Größter Rückgang"));
    QVERIFY(
        value(summary, "A40").toString().startsWith(QStringLiteral("955"))); // the locale's money
    const QJsonObject comparison = kw::test::ReadWorkbook(workbook, 1);
    QCOMPARE(comparison["name"].toString(), QStringLiteral("Zufallsvergleich"));
    QCOMPARE(value(comparison, "A4").toString(), QStringLiteral("3")); // the seed
    QCOMPARE(value(comparison, "C26").toDouble(), 25.0);               // the last replica
    QVERIFY(value(comparison, "A28").toString().startsWith(QStringLiteral("Das Ergebnis liegt")));
  }

  void randomComparisonKeysAndSeed() {
    const Run r =
        run({"--json", "--zufallsvergleich", "40", "--seed", "9007199254740991", workedExample()});
    QCOMPARE(r.exitCode, 0);
    const QJsonObject c = QJsonDocument::fromJson(r.out).object()["zufallsvergleich"].toObject();
    QCOMPARE(c.keys(), (QStringList{"netto", "perzentil", "replikate", "seed", "umsatz"}));
    QCOMPARE(c["replikate"].toInt(), 40);
    QCOMPARE(c["seed"].toInteger(), 9007199254740991LL);
    const QJsonObject netto = c["netto"].toObject();
    QCOMPARE(netto.keys(), (QStringList{"max", "min", "mittel", "quantile", "std"}));
    QCOMPARE(netto["quantile"].toObject().keys(), (QStringList{"25", "5", "50", "75", "95"}));
    QVERIFY(netto["min"].toDouble() <= netto["quantile"].toObject()["5"].toDouble());
    QVERIFY(c["umsatz"].toObject().contains("mittel"));
    const double perzentil = c["perzentil"].toDouble();
    QVERIFY(perzentil >= 0.0 && perzentil <= 100.0);

    // Without a seed one is chosen and named, and it repeats the comparison.
    const Run chosen = run({"--json", "--zufallsvergleich", "40", workedExample()});
    QCOMPARE(chosen.exitCode, 0);
    const QJsonObject first = QJsonDocument::fromJson(chosen.out).object();
    const QString seed = QString::number(first["zufallsvergleich"].toObject()["seed"].toInteger());
    const Run again = run({"--json", "--zufallsvergleich", "40", "--seed", seed, workedExample()});
    QCOMPARE(again.out, chosen.out);
  }

  void everyThreadCountGivesTheSameResult() {
    QRandomGenerator random(2024);
    QStringList files;
    for (int f = 0; f < 60; ++f) {
      QStringList lines;
      const int n = static_cast<int>(random.bounded(3, 500));
      for (int i = 0; i < n; ++i)
        lines << (random.bounded(40) == 0 ? QStringLiteral("HW")
                                          : QString::number(random.bounded(37)));
      files << write(QStringLiteral("p%1.prm").arg(f, 2, 10, QLatin1Char('0')), lines);
    }
    const QStringList options = {
        "--json",    "--protokoll",       "--vorlauf", "5",  "--angriffe",         "9",
        "--stuecke", "1,1,1,2,2,3,4,6,9", "--seed",    "77", "--zufallsvergleich", "30"};
    const Run one = run(QStringList(options) << "--jobs"
                                             << "1" << files);
    QCOMPARE(one.exitCode, 0);
    QVERIFY(QJsonDocument::fromJson(one.out).object()["permanenzen"].toArray().size() > 30);
    for (const char* jobs : {"2", "7"}) {
      const Run many = run(QStringList(options) << "--jobs" << jobs << files);
      QCOMPARE(many.exitCode, 0);
      QCOMPARE(many.out, one.out);
    }
  }
};

QTEST_MAIN(CliSystemtestTest)
#include "test_cli_systemtest.moc"
