// A real casino permanence through the main window's "Chancen-Analyse" and through
// `kesselwerk-cli chancen`: both show the same counts, and the counts are those of the file.
#include "files/HandChangeMarkers.h"
#include "files/PermanenceLines.h"
#include "files/TextFile.h"
#include "support/TestFiles.h"
#include "support/WindowTestHarness.h"
#include "ui/FHaupt.h"
#include "workspace/Workspace.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <array>

using namespace kw;
using namespace kw::test;

namespace {

QString cli() { return qEnvironmentVariable("KESSELWERK_BIN_DIR") + "/kesselwerk-cli"; }

// The file holds the coups of a line separated by commas; one coup per line makes it a
// permanence file.
QString writePermanence(const QTemporaryDir& dir) {
  QByteArray bytes = ReadBytes(SharedDataFile(QStringLiteral("spielbank-wiesbaden_t1_190424.txt")));
  bytes.replace(',', "\r\n");
  const QString path = dir.filePath(QStringLiteral("wiesbaden_t1.prm"));
  return WriteBytes(path, bytes) ? path : QString();
}

// Counts straight from the file's text, without the application's readers.
std::array<int, 37> countsInFile(const QString& path) {
  std::array<int, 37> counts{};
  const QList<QByteArray> lines = ReadBytes(path).split('\n');
  for (const QByteArray& line : lines) {
    bool ok = false;
    const int n = line.trimmed().toInt(&ok);
    if (ok && n >= 0 && n <= 36)
      ++counts[size_t(n)];
  }
  return counts;
}

QJsonObject runCli(const QString& dataDir, const QString& file) {
  QProcess p;
  p.start(cli(), {"chancen", "--json", "--data-dir", dataDir, file});
  if (!p.waitForFinished(60000) || p.exitCode() != 0)
    return {};
  return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QJsonArray countRow(FHaupt* main, const char* grid) {
  auto* view = Find<QTableView>(main, QLatin1String(grid));
  QJsonArray row;
  for (int c = 0; c < view->model()->columnCount(); ++c)
    row << view->model()->index(0, c).data().toString().toInt();
  return row;
}

// Column c of a series grid over the lengths the CLI reports.
QJsonArray seriesColumn(FHaupt* main, const char* grid, int column, int lengths) {
  auto* view = Find<QTableView>(main, QLatin1String(grid));
  QJsonArray counts;
  for (int length = 1; length <= lengths; ++length)
    counts << view->model()->index(length - 1, column).data().toString().toInt();
  return counts;
}

} // namespace

class ChancenRealDataTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { PrepareApplication(); }

  void windowAndCliAgreeOnARealPermanence() {
    QTemporaryDir dir;
    const QString path = writePermanence(dir);
    QVERIFY(!path.isEmpty());
    const std::array<int, 37> expected = countsInFile(path);
    int coups = 0;
    for (int n : expected)
      coups += n;
    QVERIFY(coups > 100000);

    WindowTestHarness h;
    FHaupt* main = h.app().fHaupt();
    // What "In Tabelle übertragen" enters for the file's lines in the memo.
    Workspace& workspace = h.app().workspace();
    const TextLines memo = workspace.OpenFiles({path});
    QVERIFY(memo.ok());
    workspace.TransferLines(memo.lines);
    QCOMPARE(main->table().CoupCount(), coups);
    QTest::mouseClick(Find<QPushButton>(main, QStringLiteral("BAnalyse")), Qt::LeftButton);
    QVERIFY(h.dialogs().calls.isEmpty());

    const QJsonObject json = runCli(h.dataDir(), path);
    QCOMPARE(json.value("coups").toInt(), coups);
    QCOMPARE(json.value("handwechsel").toInt(), 0);
    const QJsonArray numbers = json.value("nummern").toArray();
    QCOMPARE(numbers.size(), 37);
    for (int x = 0; x <= 36; ++x) {
      const QString panel = Find<QLabel>(main, QStringLiteral("NummernAnz%1").arg(x))->text();
      QCOMPARE(panel.toInt(), expected[size_t(x)]);
      QCOMPARE(numbers[x].toInt(), expected[size_t(x)]);
    }

    const std::pair<const char*, const char*> groups[] = {{"farben", "GFarbe"},
                                                          {"impair_pair", "GPair"},
                                                          {"manque_passe", "GManque"},
                                                          {"dutzende", "GDutzend"},
                                                          {"kolonnen", "GKolonne"},
                                                          {"serien", "GSerien"},
                                                          {"transversalen_simple", "GTrans"},
                                                          {"transversalen_plein", "GTrans2"}};
    for (auto [key, grid] : groups)
      QCOMPARE(json.value(QLatin1String(key)).toArray(), countRow(main, grid));
    const QJsonArray colours = json.value("farben").toArray();
    QCOMPARE(colours[0].toInt() + colours[1].toInt() + colours[2].toInt(), coups);

    const std::pair<const char*, const char*> series[] = {
        {"serien_einfache_chancen", "GECSerien"}, {"serien_drittelchancen", "GDrittelSerien"}};
    for (auto [key, grid] : series) {
      const QJsonArray chances = json.value(QLatin1String(key)).toArray();
      QCOMPARE(chances.size(), 6);
      const int lengths = int(chances[0].toArray().size());
      QVERIFY(lengths > 10); // so many coups run longer series than ten
      QCOMPARE(Find<QTableView>(main, QLatin1String(grid))->model()->rowCount(), lengths);
      for (int c = 1; c <= 6; ++c)
        QCOMPARE(chances[c - 1].toArray(), seriesColumn(main, grid, c, lengths));
    }
  }
};

QTEST_MAIN(ChancenRealDataTest)
#include "test_chancen_realdata.moc"
