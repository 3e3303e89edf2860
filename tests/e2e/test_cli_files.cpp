// Files the command line cannot use: a device or a FIFO in place of a permanence, stake or
// sector file, and a hand-change list that cannot be read. Every command ends at once with
// exit status 2 and a German message naming the file; none waits or reads without end.
#include "support/TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace kw::test;

class CliFilesTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;

  QString path(const QString& name) const { return dir_.filePath(name); }

private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QStringList lines;
    for (int i = 0; i < 40; ++i)
      lines << QString::number(i % 37);
    QVERIFY(WriteBytes(path("gut.prm"), lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n"));
    QVERIFY(WriteBytes(path("daten/leer.txt"), QByteArray()));
    QVERIFY(QDir().mkpath(path("gesperrt/HWListe.txt"))); // a folder in the list's place
    QCOMPARE(::mkfifo(QFile::encodeName(path("rohr.prm")).constData(), 0600), 0);
  }

  void endsWithExitTwoAndAGermanMessage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("dataDir");
    QTest::addColumn<QString>("named");  // the file the message names
    QTest::addColumn<QString>("reason"); // what it says of it
    const QString fifo = path("rohr.prm");
    const QString good = path("gut.prm");
    const QString special = QStringLiteral("keine gewöhnliche Datei");
    const QString data = path("daten");
    const QString blocked = path("gesperrt");
    QTest::newRow("chancen, FIFO") << QStringList{"chancen", fifo} << data << fifo << special;
    QTest::newRow("chancen, endless device")
        << QStringList{"chancen", good, "/dev/zero"} << data << "/dev/zero" << special;
    QTest::newRow("serien, FIFO") << QStringList{"serien", good, fifo} << data << fifo << special;
    QTest::newRow("systemtest, FIFO") << QStringList{"systemtest", fifo} << data << fifo << special;
    QTest::newRow("systemtest, stake file is an endless device")
        << QStringList{"systemtest", "--staffelung", "/dev/zero", good} << data << "/dev/zero"
        << special;
    QTest::newRow("sektoren, sector file is an endless device")
        << QStringList{"sektoren", "--datei", "/dev/zero", good} << data << "/dev/zero" << special;
    QTest::newRow("sektoren, sector file is a FIFO")
        << QStringList{"sektoren", "--datei", fifo, good} << data << fifo << special;
    QTest::newRow("sektoren, FIFO")
        << QStringList{"sektoren", "--muster", "serien", fifo} << data << fifo << special;
    for (const char* command : {"chancen", "serien", "systemtest"})
      QTest::newRow(qPrintable(QStringLiteral("%1, hand-change list unreadable").arg(command)))
          << QStringList{command, good} << blocked << blocked + "/HWListe.txt"
          << "kann nicht gelesen werden";
    QTest::newRow("sektoren, hand-change list unreadable")
        << QStringList{"sektoren", "--muster", "serien", good} << blocked
        << blocked + "/HWListe.txt"
        << "kann nicht gelesen werden";
  }

  void endsWithExitTwoAndAGermanMessage() {
    QFETCH(QStringList, args);
    QFETCH(QString, dataDir);
    QFETCH(QString, named);
    QFETCH(QString, reason);
    QProcess p;
    p.start(qEnvironmentVariable("KESSELWERK_BIN_DIR") + "/kesselwerk-cli",
            args << "--data-dir" << dataDir);
    if (!p.waitForFinished(20000)) {
      p.kill();
      p.waitForFinished();
      QFAIL("the command did not end");
    }
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 2);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(err.contains(QStringLiteral("Die Datei ") + named), qPrintable(err));
    QVERIFY2(err.contains(reason), qPrintable(err));
    QCOMPARE(p.readAllStandardOutput(), QByteArray());
  }
};

QTEST_GUILESS_MAIN(CliFilesTest)
#include "test_cli_files.moc"
