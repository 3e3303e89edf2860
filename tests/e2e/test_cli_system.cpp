// kesselwerk-cli system as a script calls it: a user's system over permanence files, money
// to the cent in the JSON, the script's errors with exit status 1, usage errors with 2, and
// the same output for every thread count.
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

class CliSystemTest : public QObject {
  Q_OBJECT

  using Run = kw::test::CliRun;

  QTemporaryDir dataDir_;
  QTemporaryDir folder_;

  Run run(const QStringList& args) {
    return kw::test::RunCli(QStringLiteral("system"), dataDir_.path(), args);
  }

  QString write(const QString& name, const QByteArray& text) {
    const QString path = folder_.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
      return {};
    file.write(text);
    return path;
  }

  QString permanence(const QString& name, const QStringList& lines) {
    return write(name, (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
  }

  static QString example(const char* file) {
    return QStringLiteral(KESSELWERK_SYSTEMS_DIR "/") + QString::fromUtf8(file);
  }

  static QStringList row(const QJsonValue& value) {
    QStringList cells;
    for (const QJsonValue cell : value.toArray())
      cells << cell.toString();
    return cells;
  }

private slots:
  void handMadeRunInEuros() {
    // Rouge with `stuecke` pieces, plein 0 with one piece from the third coup on; the
    // Stückgröße of 5 makes zero cost half of a simple-chance stake: 2,50 per piece.
    const QString script = write("rot.lua", R"(name = "Rot und Null"
parameter = { stuecke = 1 }
function setze(c)
  local s = { { "rouge", c.param.stuecke } }
  if c.coup >= 2 then s[2] = { "plein", 0, 1 } end
  return s
end
)");
    const QString first = permanence("eins.prm", {"1", "0", "HW", "2", "0"});
    const QString second = permanence("zwei.prm", {"3"});
    const Run r = run({"--json", "--protokoll", "--skript", script, "--param", "stuecke=2",
                       "--plus", "100", first, second});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    const QJsonObject result = QJsonDocument::fromJson(r.out).object();
    QCOMPARE(result["system"].toString(), QStringLiteral("Rot und Null"));
    QCOMPARE(result["parameter"].toObject()["stuecke"].toInt(), 2);
    QCOMPARE(result["einstellungen"].toObject()["gewinnziel"].toInt(), 1100);
    const QJsonArray permanences = result["permanenzen"].toArray();
    QCOMPARE(permanences.size(), 2);
    // eins: 1 red +10; 0 halves 10: -5; 2 black -10, plein 0 -5; 0: rouge -5, plein +175.
    const QJsonObject p = permanences[0].toObject();
    const QList<std::pair<const char*, double>> figures = {
        {"coups", 4},     {"einsaetze", 4},  {"umsatz", 50},     {"saldo", 1160},
        {"minimum", 990}, {"maximum", 1160}, {"handwechsel", 1}, {"gespielt", 4}};
    for (const auto& [key, value] : figures)
      QCOMPARE(p[QLatin1String(key)].toDouble(), value);
    QCOMPARE(p["ende"].toString(), QStringLiteral("Gewinnziel erreicht"));
    const QJsonArray protocol = p["protokoll"].toArray();
    QCOMPARE(protocol.size(), 5);
    QCOMPARE(row(protocol[1]),
             (QStringList{"2", "0", "rouge × 2", "10,00", "-5,00", "1005,00", ""}));
    QCOMPARE(row(protocol[2]), (QStringList{"", "HW", "", "", "", "", ""}));
    QCOMPARE(row(protocol[4]), (QStringList{"4", "0", "rouge × 2, plein 0 × 1", "15,00", "170,00",
                                            "1160,00", "Gewinnziel erreicht"}));
    QCOMPARE(permanences[1].toObject()["saldo"].toDouble(), 1010.0);
    const QJsonObject sum = result["summe"].toObject();
    QCOMPARE(sum["permanenzen"].toInt(), 2);
    QCOMPARE(sum["umsatz"].toDouble(), 60.0);
    QCOMPARE(sum["netto"].toDouble(), 170.0);

    // Halves appear as decimals: zero takes 2,50 of a 5 euro stake.
    const QString zeros = permanence("null.prm", {"0"});
    const Run half = run({"--json", "--skript", script, zeros});
    QCOMPARE(half.exitCode, 0);
    QVERIFY(half.out.contains("\"saldo\": 997.5,"));
  }

  // The risk figures in euros with the expectation of the zero rule, and the comparison's
  // keys as for the system test.
  void riskAndComparison() {
    const QString script = write("rot2.lua", "function setze(c) return {{\"rouge\", 2}} end\n");
    const QStringList files = {permanence("r1.prm", {"1", "HW", "2", "0", "3"}),
                               permanence("r2.prm", {"2", "4"}), permanence("r3.prm", {"0"})};
    const Run r = run(QStringList{"--json", "--skript", script} + files);
    QCOMPARE(r.exitCode, 0);
    const QJsonObject result = QJsonDocument::fromJson(r.out).object();
    const QJsonObject risk = result["risiko"].toObject();
    QCOMPARE(risk["groesster_rueckgang"].toDouble(), 25.0);
    QCOMPARE(risk["laengste_verlustserie"].toInt(), 2);
    QCOMPARE(risk["schlechteste_permanenz"]["name"].toString(), QStringLiteral("r2"));
    QCOMPARE(risk["schlechteste_permanenz"]["ergebnis"].toDouble(), -20.0);
    QCOMPARE(risk["tiefster_kapitalstand"].toDouble(), 980.0);
    QCOMPARE(risk["erwartung"].toDouble(), -70.0 / 74.0);
    QVERIFY(!result.contains("zufallsvergleich"));

    const Run compared =
        run(QStringList{"--json", "--zufallsvergleich", "50", "--seed", "9", "--skript", script} +
            files);
    QCOMPARE(compared.exitCode, 0);
    const QJsonObject c = QJsonDocument::fromJson(compared.out)["zufallsvergleich"].toObject();
    QCOMPARE(c["replikate"].toInt(), 50);
    QCOMPARE(c["seed"].toInt(), 9);
    for (const char* key : {"mittel", "std", "min", "max"})
      QVERIFY2(c["netto"][QLatin1String(key)].isDouble(), key);
    QCOMPARE(c["netto"]["quantile"].toObject().keys(), (QStringList{"25", "5", "50", "75", "95"}));
    QVERIFY(c["umsatz"]["mittel"].toDouble() > 0);
    QVERIFY(c["perzentil"].toDouble() >= 0 && c["perzentil"].toDouble() <= 100);
    // The comparison only adds to the run's figures.
    QCOMPARE(QJsonDocument::fromJson(compared.out)["risiko"].toObject(), risk);
    QCOMPARE(QJsonDocument::fromJson(compared.out)["summe"].toObject(), result["summe"].toObject());

    const Run text =
        run(QStringList{"--zufallsvergleich", "50", "--seed", "9", "--skript", script} + files);
    QVERIFY(text.out.contains("Größter Rückgang 25,00, längste Verlustserie 2, schlechteste "
                              "Permanenz r2 (-20,00), tiefster Kapitalstand 980,00, "
                              "Erwartung -0,95\n"));
    QVERIFY(text.out.contains("Zufallsvergleich: 50 Replikate, Startwert 9\n"));
    QVERIFY(text.out.contains("Das Ergebnis liegt "));
  }

  void scriptErrorsAndUsageErrors_data() {
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    const QByteArray plain = "parameter = { seit = 8 }\nfunction setze(c) end\n";
    QTest::newRow("runtime error") << QByteArray("function setze(c)\n  if c.coup == 2 then\n"
                                                 "    return nil .. \"x\"\n  end\nend\n")
                                   << QStringList{} << 1
                                   << QStringLiteral("Fehler im Skript Zeile 3 (tisch, Coup 3): "
                                                     "attempt to concatenate a nil value\n");
    QTest::newRow("endless loop")
        << QByteArray("function setze(c)\n  while c.coup == 1 do end\nend\n") << QStringList{} << 1
        << QStringLiteral("Das Skript rechnet in Coup 2 zu lange (Endlosschleife?) "
                          "Permanenz tisch, Zeile 2\n");
    QTest::newRow("invalid bet")
        << QByteArray("function setze(c) return {{\"dutzend\", 4, 1}} end\n") << QStringList{} << 1
        << QStringLiteral("Ungültiger Satz in Coup 1: \"dutzend\" 4 Permanenz tisch\n");
    QTest::newRow("syntax error") << QByteArray("function setze(c)\n") << QStringList{} << 1
                                  << QStringLiteral("Fehler im Skript Zeile 2: 'end' expected (to "
                                                    "close 'function' at line 1) near <eof>\n");
    QTest::newRow("unknown parameter")
        << plain << QStringList{"--param", "stufen=3"} << 2
        << QStringLiteral("kesselwerk-cli system: das Skript hat keinen Parameter \"stufen\" "
                          "(es hat: seit)\n");
    QTest::newRow("parameter without value")
        << plain << QStringList{"--param", "seit"} << 2
        << QStringLiteral(
               "kesselwerk-cli system: --param erwartet NAME=WERT (angegeben: \"seit\")\n");
    QTest::newRow("parameter not a number")
        << plain << QStringList{"--param", "seit=acht"} << 2
        << QStringLiteral("kesselwerk-cli system: --param seit: \"acht\" ist keine Zahl\n");
    QTest::newRow("capital not in hundreds")
        << plain << QStringList{"--startkapital", "550"} << 2
        << QStringLiteral("kesselwerk-cli system: --startkapital erwartet ein Vielfaches von 100 "
                          "(angegeben: \"550\")\n");
    QTest::newRow("piece out of range")
        << plain << QStringList{"--stueckgroesse", "0"} << 2
        << QStringLiteral("kesselwerk-cli system: --stueckgroesse erwartet eine ganze Zahl von 1 "
                          "bis 100 (angegeben: \"0\")\n");
    QTest::newRow("one replica")
        << plain << QStringList{"--zufallsvergleich", "1"} << 2
        << QStringLiteral("kesselwerk-cli system: --zufallsvergleich erwartet eine ganze Zahl von "
                          "2 bis 1000000 (angegeben: \"1\")\n");
    QTest::newRow("unknown option") << plain << QStringList{"--zufall"} << 2
                                    << QStringLiteral("kesselwerk-cli system: unbekannte Option "
                                                      "--zufall\n");
  }

  void scriptErrorsAndUsageErrors() {
    QFETCH(QByteArray, script);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const QString path = write("fehler.lua", script);
    const QString table = permanence("tisch.prm", {"1", "2", "3", "4"});
    const Run r = run(QStringList{"--skript", path} + options + QStringList{table});
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.err, message);
    QVERIFY(r.out.isEmpty());
  }

  void missingFiles_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("no script option")
        << QStringList{"tisch.prm"} << QStringLiteral("--skript DATEI.lua fehlt");
    QTest::newRow("script not there")
        << QStringList{"--skript", "fehlt.lua", "tisch.prm"} << QStringLiteral("fehlt.lua");
    QTest::newRow("permanence not there")
        << QStringList{"--skript", example("Martingale auf Rouge.lua"), "gibtsnicht.prm"}
        << QStringLiteral("gibtsnicht.prm");
    QTest::newRow("no permanence") << QStringList{"--skript", example("Martingale auf Rouge.lua")}
                                   << QStringLiteral("keine Datei angegeben");
  }

  void missingFiles() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QVERIFY(!permanence("tisch.prm", {"1"}).isEmpty());
    QDir::setCurrent(folder_.path());
    const Run r = run(args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
  }

  void printGoesToStandardErrorWithItsPlace() {
    const QString script = write("sag.lua", "print(\"geladen\")\n"
                                            "function setze(c) if c.coup == 1 then "
                                            "print(\"vor\", c.coup + 1) end end\n");
    const Run r = run({"--skript", script, permanence("a.prm", {"7", "HW", "8"}),
                       permanence("b.prm", {"9", "10"})});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.err, QStringLiteral("geladen\na, Coup 2: vor\t2\nb, Coup 2: vor\t2\n"));
    QVERIFY(r.out.startsWith("Eigenes System: sag (sag.lua)\n"));
    QVERIFY(r.out.contains("Netto-Ergebnis 0,00"));
  }

  void everyThreadCountGivesTheSameResult() {
    const QString script = write("zufall.lua", R"(
local gesehen = {}
function setze(c)
  local z = c.zahl(1)
  if z then gesehen["z" .. z] = true end
  local n = 0
  for k in pairs(gesehen) do n = n + 1 if n == 3 and c.coup % 50 == 0 then print(k) end end
  if math.random() < 0.5 then return nil end
  return { { "plein", math.random(0, 36), 1 }, { "impair", 1 } }
end
)");
    QRandomGenerator random(7);
    QStringList files;
    for (int f = 0; f < 40; ++f) {
      QStringList lines;
      const int n = static_cast<int>(random.bounded(1, 400));
      for (int i = 0; i < n; ++i)
        lines << (random.bounded(40) == 0 ? QStringLiteral("HW")
                                          : QString::number(random.bounded(37)));
      files << permanence(QStringLiteral("p%1.prm").arg(f, 2, 10, QLatin1Char('0')), lines);
    }
    const QStringList options = {"--json", "--protokoll", "--seed", "42", "--zufallsvergleich",
                                 "20",     "--skript",    script};
    const Run one = run(QStringList(options) << "--jobs"
                                             << "1" << files);
    QCOMPARE(one.exitCode, 0);
    QVERIFY(!one.err.isEmpty());
    QCOMPARE(QJsonDocument::fromJson(one.out)["zufallsvergleich"]["replikate"].toInt(), 20);
    for (const char* jobs : {"2", "5"}) {
      const Run many = run(QStringList(options) << "--jobs" << jobs << files);
      QCOMPARE(many.exitCode, 0);
      QCOMPARE(many.out, one.out);
      QCOMPARE(many.err, one.err);
    }
    const Run otherSeed = run(QStringList{"--json", "--seed", "43", "--skript", script} << files);
    QVERIFY(otherSeed.out != one.out);
  }

  void shippedExamplesRun() {
    const QString table = permanence("lang.prm", [] {
      QStringList lines;
      QRandomGenerator random(11);
      for (int i = 0; i < 370; ++i)
        lines << QString::number(random.bounded(37));
      return lines;
    }());
    for (const char* file :
         {"Martingale auf Rouge.lua", "Dutzend-Nachsetzer.lua", "Fibonacci auf Pair.lua",
          "Kalte Zahlen plein.lua", "Zwei-Drittel-Gesetz.lua"}) {
      const Run r = run({"--json", "--skript", example(file), table});
      QVERIFY2(r.exitCode == 0, qPrintable(QString::fromUtf8(file) + ": " + r.err));
      const QJsonObject result = QJsonDocument::fromJson(r.out).object();
      QVERIFY(result["summe"].toObject()["einsaetze"].toInt() > 0);
    }
  }
};

QTEST_MAIN(CliSystemTest)
#include "test_cli_system.moc"
