// `kesselwerk-cli chancen` as a script calls it: files read in order as the main window's
// memo, hand changes by the data folder's list, the documented JSON, refusals and errors.
#include "support/TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace kw::test;

namespace {

struct Run {
  int exitCode = -1;
  QString out;
  QString err;
};

Run runCli(const QStringList& args) {
  QProcess p;
  p.start(qEnvironmentVariable("KESSELWERK_BIN_DIR") + "/kesselwerk-cli",
          QStringList{"chancen"} + args);
  Run run;
  if (!p.waitForFinished(30000))
    return run;
  run.exitCode = p.exitCode();
  run.out = QString::fromUtf8(p.readAllStandardOutput());
  run.err = QString::fromUtf8(p.readAllStandardError());
  return run;
}

QString zeros(int n) { return QStringList(n, QStringLiteral("0")).join(QStringLiteral(", ")); }

} // namespace

class CliChancenTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString path(const QString& name) const { return dir_.filePath(name); }

private slots:
  // Two files that make one memo: information lines, 1 3 HW 5 | 0 2 4 34. The hand change
  // is a marker of the data folder's own list.
  void twoFilesInOrderGiveTheDocumentedJson() {
    QVERIFY(WriteBytes(path("a.prm"), "Spielbank\r\nTisch 1\r\n1\r\n3\r\nWechsel\r\n5\r\n"));
    QVERIFY(WriteBytes(path("b.prm"), "0\n2\n4\n34\n"));
    QVERIFY(WriteBytes(path("data/HWListe.txt"), "Wechsel\r\n"));
    const Run run = runCli({"--json", path("a.prm"), path("b.prm"), "--data-dir", path("data")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());
    const QString expected =
        "{\"coups\": 7, \"handwechsel\": 1, "
        "\"nummern\": [1, 1, 1, 1, 1, 1, " +
        zeros(28) +
        ", 1, 0, 0], "
        "\"farben\": [2, 1, 4], \"impair_pair\": [3, 3], \"manque_passe\": [5, 1], "
        "\"dutzende\": [5, 0, 1], \"kolonnen\": [3, 2, 1], \"serien\": [4, 1, 2], "
        "\"transversalen_simple\": [5, 2, " +
        zeros(8) +
        ", 1], "
        "\"transversalen_plein\": [3, 2, " +
        zeros(9) +
        ", 1], "
        "\"serien_einfache_chancen\": [[1, 0, 1, " +
        zeros(7) + "], [0, 1, " + zeros(8) + "], [0, 0, 1, " + zeros(7) + "], [0, 0, 1, " +
        zeros(7) + "], [0, 1, 1, " + zeros(7) + "], [1, " + zeros(9) +
        "]], "
        "\"serien_drittelchancen\": [[0, 1, 1, " +
        zeros(7) + "], [" + zeros(10) + "], [1, " + zeros(9) + "], [1, 1, " + zeros(8) + "], [2, " +
        zeros(9) + "], [1, " + zeros(9) + "]]}\n";
    QCOMPARE(run.out, expected);

    // Without the list "Wechsel" is no marker: the line is skipped.
    QVERIFY(QDir(path("empty")).mkpath("."));
    const Run plain = runCli({"--json", path("a.prm"), path("b.prm"), "--data-dir", path("empty")});
    QVERIFY(plain.out.startsWith("{\"coups\": 7, \"handwechsel\": 0,"));
  }

  void textTableInGerman() {
    QVERIFY(WriteBytes(path("c.prm"), "1\n2\n3\n4\n5\n"));
    const Run run = runCli({path("c.prm"), "--data-dir", path("data")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.startsWith("Coups:       5\nHandwechsel: 0\n"));
    for (const char* heading : {"Häufigkeit der Nummern", "1 - 18 / 19 - 36", "Transversalen plein",
                                "Serien Einfache Chancen", "Serien Drittelchancen"})
      QVERIFY2(run.out.contains(QString::fromUtf8(heading)), heading);
    QVERIFY(run.out.contains("  Serie  Rouge  Noir  Impair  Pair  Manque  Passe\n"));
  }

  void refusalsAndErrors() {
    QVERIFY(WriteBytes(path("rot.prm"), QByteArray("1\r\n").repeated(101)));
    const Run refused = runCli({path("rot.prm"), "--data-dir", path("data")});
    QCOMPARE(refused.exitCode, 1);
    QCOMPARE(refused.out, QString());
    QCOMPARE(refused.err, QStringLiteral("Die Rouge-Serie ist bereits 100 Coups lang. Es handelt "
                                         "sich offensichtlich nicht um eine Roulette-Permanenz.  "
                                         "Ich breche ab.\n"));

    const Run missing = runCli({path("fehlt.prm"), "--data-dir", path("data")});
    QCOMPARE(missing.exitCode, 2);
    QVERIFY2(missing.err.contains("fehlt.prm"), qPrintable(missing.err));

    QCOMPARE(runCli({"--data-dir", path("data")}).exitCode, 2);
  }
};

QTEST_GUILESS_MAIN(CliChancenTest)
#include "test_cli_chancen.moc"
