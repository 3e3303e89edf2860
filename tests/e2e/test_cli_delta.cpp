// kesselwerk-cli delta as a script calls it: the window's figures, in JSON and as text.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

class CliDeltaTest : public QObject {
  Q_OBJECT

  struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
  };

  static Run run(const QStringList& args, const QString& locale = QStringLiteral("de_DE.UTF-8")) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), locale);
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("KESSELWERK_BIN_DIR") + "/kesselwerk-cli",
            QStringList{QStringLiteral("delta")} + args);
    if (!p.waitForFinished(30000))
      return {};
    return {p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
  }

private slots:
  void jsonHoldsTheValuesAndThePanelTexts_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QList<double>>("values"); // erwartung sigma unten1 oben1 unten3 oben3
    QTest::addColumn<QStringList>("texts");    // Panel3 4 8 2 5 9 7
    QTest::newRow("Einf. Chance, 37")
        << QStringList{"--chance", "0", "--coups", "37", "--json"}
        << QList<double>{18.0, 3.04, 14.96, 21.04, 8.88, 27.12}
        << QStringList{"18,00", "14,96", "3,04", "21,04", "8,88", "9,12", "27,12"};
    // The negative lower bound stays a number; the panel shows the fixed text.
    QTest::newRow("Zahl, 100") << QStringList{"--json", "--coups", "100", "--chance", "6"}
                               << QList<double>{2.7, 1.62, 1.08, 4.32, -2.16, 7.57}
                               << QStringList{"2,70", "1,08", "1,62", "4,32",
                                              "0.00", "4,86", "7,57"};
    QTest::newRow("Große Serie, 370")
        << QStringList{"--chance", "7", "--coups", "370", "--json"}
        << QList<double>{170.0, 9.59, 160.41, 179.59, 141.24, 198.76}
        << QStringList{"170,00", "160,41", "9,59", "179,59", "141,24", "28,76", "198,76"};
    QTest::newRow("largest count")
        << QStringList{"--chance", "0", "--coups", "99999999", "--json"}
        << QList<double>{48648648.16, 4998.17, 48643649.99, 48653646.34, 48633653.64, 48663642.68}
        << QStringList{"48648648,16", "48643649,99", "4998,17",    "48653646,34",
                       "48633653,64", "14994,52",    "48663642,68"};
  }

  void jsonHoldsTheValuesAndThePanelTexts() {
    QFETCH(QStringList, args);
    QFETCH(QList<double>, values);
    QFETCH(QStringList, texts);
    const Run r = run(args);
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(r.out, &error).object();
    QVERIFY2(error.error == QJsonParseError::NoError, r.out.constData());
    const QStringList keys = {"erwartung", "sigma", "unten1", "oben1", "unten3", "oben3"};
    for (int i = 0; i < keys.size(); ++i)
      QCOMPARE(json.value(keys[i]).toDouble(), values[i]);
    const QJsonObject panels = json.value("texte").toObject();
    const QStringList names = {"Panel3", "Panel4", "Panel8", "Panel2",
                               "Panel5", "Panel9", "Panel7"};
    QCOMPARE(panels.keys().size(), names.size());
    for (int i = 0; i < names.size(); ++i)
      QCOMPARE(panels.value(names[i]).toString(), texts[i]);
  }

  void keysAndFiguresAreWrittenAsDocumented() {
    const Run r = run({"--chance", "0", "--coups", "37", "--json"});
    QCOMPARE(r.out, QByteArray(R"({"erwartung": 18.0, "sigma": 3.04, "unten1": 14.96, )"
                               R"("oben1": 21.04, "unten3": 8.88, "oben3": 27.12, )"
                               R"("texte": {"Panel3": "18,00", "Panel4": "14,96", )"
                               R"("Panel8": "3,04", "Panel2": "21,04", "Panel5": "8,88", )"
                               R"("Panel9": "9,12", "Panel7": "27,12"}})"
                               "\n"));
  }

  void panelsFollowTheUsersDecimalSeparator() {
    const Run r = run({"--chance", "0", "--coups", "37", "--json"}, QStringLiteral("en_US.UTF-8"));
    QCOMPARE(r.exitCode, 0);
    const QJsonObject panels = QJsonDocument::fromJson(r.out).object().value("texte").toObject();
    QCOMPARE(panels.value("Panel3").toString(), QStringLiteral("18.00"));
    QCOMPARE(panels.value("Panel9").toString(), QStringLiteral("9.12"));
  }

  void textTableShowsTheThreeGroups() {
    const Run r = run({"--chance", "6", "--coups", "100"});
    QCOMPARE(r.exitCode, 0);
    const QString out = QString::fromUtf8(r.out);
    QVERIFY2(out.contains("Chance:              Zahl\n"), qPrintable(out));
    QVERIFY(out.contains("Erwartungswert:      2,70\n"));
    QVERIFY(out.contains("1 - Delta - Bereich: unten 1,08   Abweichung 1,62   oben 4,32\n"));
    QVERIFY(out.contains("3 - Delta - Bereich: unten 0.00   Abweichung 4,86   oben 7,57\n"));
  }

  void usageErrorsExitWithTwo_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no coups") << QStringList{"--chance", "0"};
    QTest::newRow("no chance") << QStringList{"--coups", "37"};
    QTest::newRow("chance 10") << QStringList{"--chance", "10", "--coups", "37"};
    QTest::newRow("nine digits") << QStringList{"--chance", "0", "--coups", "100000000"};
    QTest::newRow("negative") << QStringList{"--chance", "0", "--coups", "-1"};
    QTest::newRow("not a number") << QStringList{"--chance", "0", "--coups", "12a"};
    QTest::newRow("a file") << QStringList{"--chance", "0", "--coups", "37", "x.prm"};
  }

  void usageErrorsExitWithTwo() {
    QFETCH(QStringList, args);
    const Run r = run(args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.out.isEmpty());
    QVERIFY(r.err.startsWith("kesselwerk-cli delta: "));
    QCOMPARE(r.err.count('\n'), 1);
  }
};

QTEST_GUILESS_MAIN(CliDeltaTest)
#include "test_cli_delta.moc"
