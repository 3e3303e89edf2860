// kesselwerk-cli zufall as a script calls it: one block as the generator window appends it.
#include "tools/RandomGenerator.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class CliZufallTest : public QObject {
  Q_OBJECT

  struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
  };

  static Run run(const QStringList& args) {
    QProcess p;
    p.start(qEnvironmentVariable("KESSELWERK_BIN_DIR") + "/kesselwerk-cli",
            QStringList{QStringLiteral("zufall")} + args);
    if (!p.waitForFinished(30000))
      return {};
    return {p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
  }

  // The numbers the generator draws from that state, as text lines.
  static QStringList drawsFrom(uint32_t seed, int count) {
    kw::RandomGenerator generator(seed);
    QStringList numbers;
    for (int i = 0; i < count; ++i)
      numbers << QString::number(generator.DrawNumber());
    return numbers;
  }

private slots:
  void seedGivesTheSameBlockEveryTime() {
    const Run first = run({"--anzahl", "5", "--seed", "12345"});
    QCOMPARE(first.exitCode, 0);
    QVERIFY2(first.err.isEmpty(), qPrintable(first.err));
    const QStringList lines = QString::fromUtf8(first.out).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 5 + 3 + 1); // the last line ends with a line feed too
    QCOMPARE(lines[0], QStringLiteral("Zufallszahlen"));
    QVERIFY(!lines[1].isEmpty());
    QCOMPARE(lines[2], QStringLiteral("Anzahl: 5"));
    QCOMPARE(lines.mid(3, 5), drawsFrom(12345, 5));

    const Run json = run({"--json", "--seed", "12345", "--anzahl", "005"});
    QCOMPARE(json.exitCode, 0);
    const QJsonObject object = QJsonDocument::fromJson(json.out).object();
    const QJsonArray zeilen = object.value("zeilen").toArray();
    QCOMPARE(zeilen.size(), 8);
    QCOMPARE(zeilen[2].toString(), QStringLiteral("Anzahl: 005")); // the count as given
    QStringList numbers;
    for (const QJsonValue n : object.value("zahlen").toArray())
      numbers << QString::number(n.toInt());
    QCOMPARE(numbers, drawsFrom(12345, 5));
  }

  void withoutASeedTheNumbersStillLieOnTheWheel() {
    const Run r = run({"--anzahl", "99999"});
    QCOMPARE(r.exitCode, 0);
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 99999 + 3);
    for (qsizetype i = 3; i < lines.size(); ++i) {
      bool ok = false;
      const int n = lines[i].toInt(&ok);
      QVERIFY2(ok && n >= 0 && n <= 36, lines[i].constData());
    }
  }

  void ausgabeWritesAPermanenceFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("block.prm"));
    const Run r = run({"--anzahl", "370", "--seed", "1", "--ausgabe", path});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.isEmpty()); // the block went into the file
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("Zufallszahlen\r\n"));
    QVERIFY(bytes.endsWith("\r\n"));
    const QList<QByteArray> lines = bytes.chopped(2).split('\n');
    QCOMPARE(lines.size(), 373);
    QCOMPARE(lines[2], QByteArray("Anzahl: 370\r"));
    QCOMPARE(lines[3], drawsFrom(1, 1)[0].toLatin1() + '\r');

    const Run json = run({"--anzahl", "2", "--ausgabe", path, "--json"});
    QCOMPARE(json.exitCode, 0);
    QCOMPARE(QJsonDocument::fromJson(json.out).object().value("datei").toString(), path);
  }

  void countsWithoutNumbersAreRefused_data() {
    QTest::addColumn<QString>("count");
    QTest::newRow("0") << "0";
    QTest::newRow("00") << "00";
    QTest::newRow("letters") << "12a";
  }

  void countsWithoutNumbersAreRefused() {
    QFETCH(QString, count);
    const Run r = run({"--anzahl", count});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.isEmpty());
    QCOMPARE(r.err, QStringLiteral("Bitte geben Sie für die Anzahl der zu generierenden Zahlen "
                                   "einen Wert größer Null an.  Ich breche ab.\n"));
  }

  void usageErrorsExitWithTwo_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no count") << QStringList{"--seed", "1"};
    QTest::newRow("six digits") << QStringList{"--anzahl", "100000"};
    QTest::newRow("seed too large") << QStringList{"--anzahl", "5", "--seed", "4294967296"};
    QTest::newRow("seed no number") << QStringList{"--anzahl", "5", "--seed", "x"};
    QTest::newRow("a file") << QStringList{"--anzahl", "5", "x.prm"};
    QTest::newRow("unwritable output")
        << QStringList{"--anzahl", "5", "--ausgabe", "/nonexistent-folder/x.prm"};
  }

  void usageErrorsExitWithTwo() {
    QFETCH(QStringList, args);
    const Run r = run(args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.out.isEmpty());
    QCOMPARE(r.err.count('\n'), 1);
  }
};

QTEST_GUILESS_MAIN(CliZufallTest)
#include "test_cli_zufall.moc"
