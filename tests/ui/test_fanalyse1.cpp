// The series-length window as a user runs it, and its agreement with the command line.
#include "support/TestFiles.h"
#include "support/WindowActions.h"
#include "ui/FAnalyse1.h"
#include "ui/FileSelector.h"
#include "ui/SeriesLengthModel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSlider>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace kw;
using namespace kw::test;

namespace {

QSlider* slider(FAnalyse1* w, int i) { return Find<QSlider>(w, QStringLiteral("sc%1").arg(i)); }

void selectAll(FAnalyse1* w, const QString& folder) {
  w->fileSelector()->setDirectory(folder);
  w->fileSelector()->fileList()->selectAll();
}

} // namespace

class FAnalyse1Test : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { PrepareApplication(); }

  void slidersStartAtStoredOrDefaultPositions_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("nothing stored") << QByteArray() << QList<int>{6, 5, 4, 3};
    QTest::newRow("stored") << QByteArray("[Serienlaengen]\r\n1=9\r\n2=2\r\n3=12\r\n4=7\r\n")
                            << QList<int>{9, 2, 12, 7};
    QTest::newRow("out of range clamped")
        << QByteArray("[Serienlaengen]\r\n1=0\r\n2=99\r\n3=-4\r\n4=13\r\n")
        << QList<int>{2, 12, 2, 12};
  }

  void slidersStartAtStoredOrDefaultPositions() {
    QFETCH(QByteArray, ini);
    QFETCH(QList<int>, expected);
    WindowTestHarness h(false);
    if (!ini.isEmpty())
      QVERIFY(WriteBytes(h.dataDir() + QStringLiteral("optionen.ini"), ini));
    h.app().CreateWindows();
    FAnalyse1* w = h.app().fAnalyse1();
    for (int i = 1; i <= 4; ++i) {
      QCOMPARE(slider(w, i)->value(), expected[i - 1]);
      QCOMPARE(Find<QLabel>(w, QStringLiteral("Panel%1").arg(i))->text(),
               QString::number(expected[i - 1]));
    }
  }

  void savedLengthsComeBackAtTheNextStart() {
    WindowTestHarness h(false);
    h.app().CreateWindows();
    slider(h.app().fAnalyse1(), 1)->setValue(11);
    slider(h.app().fAnalyse1(), 4)->setValue(2);
    QTest::mouseClick(Find<QPushButton>(h.app().fAnalyse1(), QStringLiteral("Button1")),
                      Qt::LeftButton);
    const QByteArray ini = ReadBytes(h.dataDir() + QStringLiteral("optionen.ini"));
    QVERIFY2(ini.contains("[Serienlaengen]") && ini.contains("1=11") && ini.contains("4=2"),
             ini.constData());
  }

  void noSelectionIsRefused() {
    WindowTestHarness h;
    FAnalyse1* w = h.app().fAnalyse1();
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BAnalyse")), Qt::LeftButton);
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(h.dialogs().calls[0].kind, QStringLiteral("error"));
    QCOMPARE(h.dialogs().calls[0].text,
             QStringLiteral("Es wurde keine Datei ausgewählt.\r\rIch breche ab."));
    QCOMPARE(w->results()->rowCount(), 0);
  }

  void runShowsOneRowPerFileWithItsMarks() {
    WindowTestHarness h;
    QTemporaryDir folder;
    // Red 1, 3, 5 with a hand change inside: a red series of 3 from the first coup.
    writeLines(folder.filePath(QStringLiteral("a.prm")), {"1", "3", "---", "5"});
    // Exactly three entries: too short for length 3.
    writeLines(folder.filePath(QStringLiteral("b.prm")), {"1", "3", "5"});
    writeLines(folder.filePath(QStringLiteral("c.txt")), {"1", "3", "5", "7"}); // filtered out
    FAnalyse1* w = h.app().fAnalyse1();
    slider(w, 1)->setValue(3);
    selectAll(w, folder.path());
    QCOMPARE(w->fileSelector()->fileCount(), 2);
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BAnalyse")), Qt::LeftButton);

    auto* g1 = Find<QTableView>(w, QStringLiteral("g1"));
    QAbstractItemModel* m = g1->model();
    QCOMPARE(m->rowCount(), 2);
    QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Schwarz"));
    QCOMPARE(m->headerData(35, Qt::Horizontal).toString(), QStringLiteral("TP 34-36"));
    QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("a"));
    QCOMPARE(m->index(0, 2).data().toString(), QStringLiteral("1")); // "Rot"
    QCOMPARE(m->index(0, 1).data().toString(), QStringLiteral("xxx"));
    QCOMPARE(m->index(0, 1).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(0xFF, 0, 0));
    QCOMPARE(m->index(1, 0).data().toString(), QStringLiteral("b"));
    QCOMPARE(m->index(1, 2).data().toString(), QStringLiteral("---"));
    QCOMPARE(m->index(1, 2).data(Qt::BackgroundRole).value<QBrush>().color(),
             QColor(0xA6, 0xCA, 0xF0));
    QCOMPARE(m->index(0, 2).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::white));
    QCOMPARE(g1->columnWidth(0), 90);
    QCOMPARE(g1->columnWidth(1), 48);
    QVERIFY(h.dialogs().calls.isEmpty());
  }

  void windowAndCommandLineAgree() {
    WindowTestHarness h;
    QTemporaryDir folder;
    QRandomGenerator random(4711);
    QStringList paths;
    for (int f = 0; f < 40; ++f) {
      QStringList lines;
      const int n = static_cast<int>(random.bounded(2, 120));
      for (int i = 0; i < n; ++i)
        lines << (random.bounded(25) == 0 ? QStringLiteral("HW")
                                          : QString::number(random.bounded(37)));
      const QString path =
          folder.filePath(QStringLiteral("perm%1.prm").arg(f, 2, 10, QLatin1Char('0')));
      writeLines(path, lines);
      paths << path;
    }
    FAnalyse1* w = h.app().fAnalyse1();
    const int lengths[] = {4, 3, 2, 2};
    for (int i = 1; i <= 4; ++i)
      slider(w, i)->setValue(lengths[i - 1]);
    selectAll(w, folder.path());
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BAnalyse")), Qt::LeftButton);

    QProcess cli;
    cli.start(qEnvironmentVariable("KESSELWERK_BIN_DIR") + QStringLiteral("/kesselwerk-cli"),
              QStringList{QStringLiteral("serien"), QStringLiteral("--json"),
                          QStringLiteral("--laengen"), QStringLiteral("4,3,2,2"),
                          QStringLiteral("--data-dir"), h.dataDir(), QStringLiteral("--jobs"),
                          QStringLiteral("2")} +
                  paths);
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QJsonArray permanences = QJsonDocument::fromJson(cli.readAllStandardOutput())
                                       .object()[QStringLiteral("permanenzen")]
                                       .toArray();
    QAbstractItemModel* m = Find<QTableView>(w, QStringLiteral("g1"))->model();
    QCOMPARE(permanences.size(), m->rowCount());
    for (int row = 0; row < m->rowCount(); ++row) {
      const QJsonObject p = permanences[row].toObject();
      QCOMPARE(p[QStringLiteral("name")].toString(), m->index(row, 0).data().toString());
      const QJsonArray cells = p[QStringLiteral("ergebnisse")].toArray();
      for (int c = 0; c < 35; ++c) {
        const QJsonValue v = cells[c];
        const QString text = v.isString() ? v.toString() : QString::number(v.toInt());
        QCOMPARE(text, m->index(row, c + 1).data().toString());
      }
    }
  }

  void unreadableFileLeavesTheGridAsItWas() {
    WindowTestHarness h;
    QTemporaryDir folder;
    writeLines(folder.filePath(QStringLiteral("a.prm")), {"1", "3", "5"});
    FAnalyse1* w = h.app().fAnalyse1();
    selectAll(w, folder.path());
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BAnalyse")), Qt::LeftButton);
    QCOMPARE(w->results()->rowCount(), 1);
    QVERIFY(QFile::remove(folder.filePath(QStringLiteral("a.prm"))));
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("a.prm"))); // a folder where the file was
    QTest::mouseClick(Find<QPushButton>(w, QStringLiteral("BAnalyse")), Qt::LeftButton);
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(h.dialogs().calls[0].kind, QStringLiteral("error"));
    QVERIFY(h.dialogs().calls[0].text.contains(QStringLiteral("a.prm")));
    QCOMPARE(w->results()->rowCount(), 1);
  }
};

QTEST_MAIN(FAnalyse1Test)
#include "test_fanalyse1.moc"
