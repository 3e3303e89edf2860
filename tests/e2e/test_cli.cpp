// The headless front end as a script calls it.
#include <QProcess>
#include <QtTest>

class CliTest : public QObject {
  Q_OBJECT

  static QString cli() { return qEnvironmentVariable("KESSELWERK_BIN_DIR") + "/kesselwerk-cli"; }

private slots:
  void helpVersionAndUsageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stdoutStart");
    QTest::addColumn<QString>("stderrStart");
    QTest::newRow("help") << QStringList{"--help"} << 0 << "Aufruf: kesselwerk-cli"
                          << "";
    QTest::newRow("version") << QStringList{"--version"} << 0 << "Kesselwerk 1.3.1.0\n"
                             << "";
    QTest::newRow("nothing") << QStringList{} << 2 << ""
                             << "Aufruf: kesselwerk-cli";
    QTest::newRow("unknown") << QStringList{"zaubern"} << 2 << ""
                             << "kesselwerk-cli: unbekannter";
  }

  void helpVersionAndUsageErrors() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, stdoutStart);
    QFETCH(QString, stderrStart);
    QProcess p;
    p.start(cli(), args);
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), exitCode);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(stdoutStart.isEmpty() ? out.isEmpty() : out.startsWith(stdoutStart), qPrintable(out));
    QVERIFY2(stderrStart.isEmpty() ? err.isEmpty() : err.startsWith(stderrStart), qPrintable(err));
  }
};

QTEST_GUILESS_MAIN(CliTest)
#include "test_cli.moc"
