// The real program, run as a user runs it: coups typed on the pad, the process killed
// without warning, started again. The table must come back exactly, and say so once; a
// cleared table ended normally must come back empty and say nothing.
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

// The program with its own data folder, driven through its test input on standard input.
class Program {
public:
  explicit Program(const QString& dataDir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KESSELWERK_DATA_DIR", dataDir);
    env.insert("KESSELWERK_TEST_INPUT", "1");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(qEnvironmentVariable("KESSELWERK_BIN_DIR") + "/kesselwerk", QStringList{});
    if (!process_.waitForStarted(30000))
      qFatal("kesselwerk did not start");
    // Past the start window, as a user clicks "Weiter".
    ask("klick BWeiter");
  }
  ~Program() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished(30000);
    }
  }

  // The answer to one line of input, up to its "fertig".
  QStringList ask(const QString& line) {
    process_.write((line + "\n").toUtf8());
    QStringList answer;
    while (true) {
      while (!process_.canReadLine())
        if (!process_.waitForReadyRead(60000))
          return answer << "(keine Antwort)";
      const QString read = QString::fromUtf8(process_.readLine()).chopped(1);
      if (read == "fertig")
        return answer;
      answer << read;
    }
  }

  // The message box the program shows after start-up, waiting up to a few seconds for it.
  QString message() {
    for (int attempt = 0; attempt < 30; ++attempt) {
      const QStringList answer = ask("meldung");
      if (answer != QStringList{"keine"})
        return answer.join('\n');
      QTest::qWait(100);
    }
    return "keine";
  }

  void killHard() {
    ::kill(static_cast<pid_t>(process_.processId()), SIGKILL);
    process_.waitForFinished(30000);
  }

  int endNormally() {
    ask("schliessen FHaupt");
    process_.closeWriteChannel();
    process_.waitForFinished(30000);
    return process_.exitCode();
  }

private:
  QProcess process_;
};

class TestTableJournal : public QObject {
  Q_OBJECT
private slots:
  void killedWhileTypingRestoresTheTable();
  void clearedThenEndedStartsEmpty();
  void theCommandLineLeavesTheJournalAlone();
};

// Coups, hand changes and deletions typed one by one, reproducibly from a seed.
int TypeRandomly(Program& program, int clicks) {
  QRandomGenerator random(20);
  program.ask("klick BSeiteManuell");
  for (int i = 0; i < clicks; ++i) {
    const int roll = random.bounded(100);
    const int code = roll < 4 ? 50 : roll < 7 ? 60 : random.bounded(37);
    program.ask(QString("klick num%1").arg(code));
  }
  return clicks;
}

void TestTableJournal::killedWhileTypingRestoresTheTable() {
  QTemporaryDir data;
  QStringList typed;
  {
    Program program(data.path());
    QCOMPARE(program.message(), QString("keine"));
    TypeRandomly(program, 450);
    typed = program.ask("tabelle");
    program.killHard();
  }
  const qsizetype coups = std::count_if(typed.begin(), typed.end(), [](const QString& row) {
    return row.startsWith("Zeile\t") && !row.startsWith("Zeile\tHW");
  });
  QVERIFY2(coups > 300, qPrintable(typed.join('\n')));
  // The newest rows in view: the grid's first visible row lies within one screen of the end
  // (the grid shows about 30 rows), not at the top.
  const qsizetype rows = typed.size() - 1;
  const int firstShown = typed.last().section(' ', 1).toInt();
  QVERIFY2(firstShown > rows - 40, qPrintable(typed.last()));
  Program program(data.path());
  QCOMPARE(
      program.message(),
      QString("Die zuletzt eingegebene Tabelle wurde wiederhergestellt: %1 Coups.").arg(coups));
  QCOMPARE(program.ask("tabelle"), typed);
  QCOMPARE(program.message(), QString("keine"));
  // Typed on after the restore, killed again: the second run's coups are kept as well.
  program.ask("klick num50");
  program.ask("klick num7");
  typed = program.ask("tabelle");
  program.killHard();
  Program again(data.path());
  QVERIFY(again.message().endsWith(QString("%1 Coups.").arg(coups + 1)));
  QCOMPARE(again.ask("tabelle"), typed);
}

void TestTableJournal::clearedThenEndedStartsEmpty() {
  QTemporaryDir data;
  QStringList empty;
  {
    Program program(data.path());
    empty = program.ask("tabelle");
    TypeRandomly(program, 40);
    QVERIFY(program.ask("tabelle") != empty);
    program.ask("klick num61"); // "Alle löschen"
    QCOMPARE(program.endNormally(), 0);
  }
  Program program(data.path());
  QCOMPARE(program.message(), QString("keine"));
  QCOMPARE(program.ask("tabelle"), empty);
}

// The command line shares the data folder but never the table: it neither reads nor writes
// the journal, also while it transfers files into its own table.
void TestTableJournal::theCommandLineLeavesTheJournalAlone() {
  QTemporaryDir data;
  const QByteArray journal("KWTABJ1\n(nicht angefasst)");
  QFile file(data.filePath("Tabelle.journal"));
  QVERIFY(file.open(QIODevice::WriteOnly) && file.write(journal) == journal.size());
  file.close();
  QFile prm(data.filePath("p.prm"));
  QVERIFY(prm.open(QIODevice::WriteOnly));
  prm.write("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
  prm.close();
  QProcess cli;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("KESSELWERK_DATA_DIR", data.path());
  cli.setProcessEnvironment(env);
  cli.start(qEnvironmentVariable("KESSELWERK_BIN_DIR") + "/kesselwerk-cli",
            {"chancen", data.filePath("p.prm")});
  QVERIFY(cli.waitForFinished(60000));
  QCOMPARE(cli.exitCode(), 0);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QCOMPARE(file.readAll(), journal);
  QVERIFY(!QFile::exists(data.filePath("Tabelle.journal.lock")));
}

} // namespace

QTEST_GUILESS_MAIN(TestTableJournal)
#include "test_table_journal.moc"
