// kesselwerk-cli suche as a script calls it: every combination gives the figures of the
// single systemtest or system run with its settings, in range order; the same seed gives
// the same output for any --jobs; wrong ranges and options are usage errors.
#include "support/TestFiles.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class CliSucheTest : public QObject {
  Q_OBJECT

  using Run = kw::test::CliRun;

  QTemporaryDir dataDir_;
  QTemporaryDir folder_;
  QStringList files_;

  Run run(const QString& command, const QStringList& args) {
    return kw::test::RunCli(command, dataDir_.path(), args);
  }

  static QString example(const char* file) {
    return QStringLiteral(KESSELWERK_SYSTEMS_DIR "/") + QString::fromUtf8(file);
  }

  QJsonObject json(const QString& command, const QStringList& args) {
    const Run r = run(command, QStringList{QStringLiteral("--json")} + args + files_);
    if (r.exitCode != 0)
      qWarning() << command << args << r.err;
    return QJsonDocument::fromJson(r.out).object();
  }

private slots:
  // The recorded Wiesbaden table 1 cut into twelve files of 370 coups.
  void initTestCase() {
    const std::vector<uint8_t> coups =
        kw::test::RecordedCoups(QStringLiteral("spielbank-wiesbaden_t1_190424.txt"));
    QVERIFY(coups.size() >= 12 * 370);
    for (int f = 0; f < 12; ++f) {
      QByteArray text;
      for (int i = 0; i < 370; ++i)
        text += QByteArray::number(coups[static_cast<size_t>(f * 370 + i)]) + "\r\n";
      const QString path =
          folder_.filePath(QStringLiteral("t%1.prm").arg(f + 1, 2, 10, QChar('0')));
      QVERIFY(kw::test::WriteBytes(path, text));
      files_ << path;
    }
  }

  void eachCombinationEqualsItsSystemtestRun() {
    const QJsonObject search = json(QStringLiteral("suche"),
                                    {"--bereich", "angriffe=4..10:6", "--bereich", "vorlauf=3..7:4",
                                     "--plus", "800", "--stuecke", "1,1,2,2,3,3,4,5,6,8"});
    const QJsonArray all = search["kombinationen"].toArray();
    QCOMPARE(all.size(), 4);
    int c = 0;
    qint64 best = std::numeric_limits<qint64>::min();
    for (int angriffe : {4, 10})
      for (int vorlauf : {3, 7}) {
        const QJsonObject found = all[c++].toObject();
        const QJsonObject parameter = found["parameter"].toObject();
        QCOMPARE(parameter.keys(), (QStringList{"angriffe", "vorlauf"}));
        QCOMPARE(parameter["angriffe"].toInt(), angriffe);
        QCOMPARE(parameter["vorlauf"].toInt(), vorlauf);
        const QJsonObject single =
            json(QStringLiteral("systemtest"),
                 {"--angriffe", QString::number(angriffe), "--vorlauf", QString::number(vorlauf),
                  "--plus", "800", "--stuecke", "1,1,2,2,3,3,4,5,6,8"})["summe"]
                .toObject();
        QCOMPARE(found["netto"].toInteger(), single["netto"].toInteger());
        QCOMPARE(found["umsatz"].toInteger(), single["umsatz"].toInteger());
        QCOMPARE(found["permanenzen"].toInteger(), single["permanenzen"].toInteger());
        QCOMPARE(found["abbruch_plus"].toInteger(), single["abbruch_plus"].toInteger());
        QCOMPARE(found["abbruch_minus"].toInteger(), single["abbruch_minus"].toInteger());
        QCOMPARE(found["abbruch_e"].toInteger(), single["abbruch_e"].toInteger());
        QCOMPARE(found["rendite"].toDouble(),
                 100.0 * single["netto"].toDouble() / single["umsatz"].toDouble());
        best = std::max(best, found["netto"].toInteger());
      }
    QCOMPARE(search["beste"].toObject()["netto"].toInteger(), best);
    QVERIFY(!search.contains("zufallsvergleich"));
  }

  void scriptCombinationEqualsItsSystemRun() {
    const QString script = example("Dutzend-Nachsetzer.lua");
    const QJsonObject search =
        json(QStringLiteral("suche"), {"--skript", script, "--bereich", "seit=6..9:3", "--param",
                                       "stufen=3", "--stueckgroesse", "2"});
    const QJsonArray all = search["kombinationen"].toArray();
    QCOMPARE(all.size(), 2);
    const QJsonObject single =
        json(QStringLiteral("system"), {"--skript", script, "--param", "seit=9", "--param",
                                        "stufen=3", "--stueckgroesse", "2"})["summe"]
            .toObject();
    const QJsonObject found = all[1].toObject();
    QCOMPARE(found["parameter"].toObject()["seit"].toInt(), 9);
    QCOMPARE(found["netto"].toDouble(), single["netto"].toDouble());
    QCOMPARE(found["umsatz"].toDouble(), single["umsatz"].toDouble());
  }

  void sameSeedSameOutputForAnyJobs() {
    const QStringList args = {"--json",
                              "--bereich",
                              "vorlauf=4..8:2",
                              "--bereich",
                              "minus=500..900:400",
                              "--zufallsvergleich",
                              "30",
                              "--seed",
                              "11"};
    const Run one = run(QStringLiteral("suche"), args + QStringList{"--jobs", "1"} + files_);
    const Run two = run(QStringLiteral("suche"), args + QStringList{"--jobs", "2"} + files_);
    QCOMPARE(one.exitCode, 0);
    QCOMPARE(one.out, two.out);
    const QJsonObject check =
        QJsonDocument::fromJson(one.out).object()["zufallsvergleich"].toObject();
    QCOMPARE(check["replikate"].toInt(), 30);
    QCOMPARE(check["seed"].toInt(), 11);
    const double p = check["p"].toDouble();
    QVERIFY(p >= 0.0 && p <= 1.0);
    const QJsonObject q = check["beste_netto"].toObject()["quantile"].toObject();
    QVERIFY(q["5"].toDouble() <= q["50"].toDouble() && q["50"].toDouble() <= q["95"].toDouble());
    QVERIFY(check["urteil"].toString().startsWith("Die beste Einstellung"));
    // The verdict and the text table are German: decimal comma, also in "(p = 0,37)".
    QVERIFY2(check["urteil"].toString().contains(
                 QRegularExpression(QStringLiteral("\\(p = \\d,\\d+\\)"))),
             qPrintable(check["urteil"].toString()));
    const Run text = run(QStringLiteral("suche"), args.mid(1) + files_);
    QCOMPARE(text.exitCode, 0);
    QVERIFY2(!QString::fromUtf8(text.out).contains(QRegularExpression(QStringLiteral("\\d\\.\\d"))),
             text.out.constData());
  }

  void wrongRangesAndOptionsAreUsageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    const auto row = [](const char* name, QStringList args, int code, const char* message) {
      QTest::newRow(name) << args << code << QString::fromUtf8(message);
    };
    row("no range", {}, 2, "kesselwerk-cli suche: --bereich NAME=VON..BIS fehlt");
    row("no bounds", {"--bereich", "vorlauf"}, 2,
        "Bereich \"vorlauf\": erwartet NAME=VON..BIS oder NAME=VON..BIS:SCHRITT");
    row("unknown", {"--bereich", "tempo=1..3"}, 2, "Unbekannter Parameter \"tempo\"");
    row("outside", {"--bereich", "vorlauf=1..30"}, 2, "Werte von 2 bis 24");
    row("twice", {"--bereich", "vorlauf=2..3", "--bereich", "vorlauf=4..5"}, 2,
        "Parameter \"vorlauf\" ist mehrfach als Bereich angegeben");
    row("fixed and range", {"--vorlauf", "4", "--bereich", "vorlauf=2..3"}, 2,
        "--vorlauf und --bereich vorlauf schließen einander aus");
    row("minus above capital", {"--bereich", "minus=500..1200"}, 2,
        "Bereich minus: BIS (1200) liegt über dem Startkapital (1000)");
    row("too few stakes", {"--bereich", "angriffe=10..20"}, 1,
        "so viele Stücke ein, wie Sie Angriffe vorgesehen haben");
    row("script option", {"--bereich", "vorlauf=2..3", "--param", "a=1"}, 2,
        "--param gilt nur mit --skript");
    row("script parameter",
        {"--skript", example("Dutzend-Nachsetzer.lua"), "--bereich", "zahl=1..2"}, 2,
        "Das Skript hat keinen Parameter \"zahl\" (es hat: seit, stufen)");
  }

  void wrongRangesAndOptionsAreUsageErrors() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const Run r = run(QStringLiteral("suche"), args + files_.mid(0, 1));
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
  }
};

QTEST_GUILESS_MAIN(CliSucheTest)
#include "test_cli_suche.moc"
