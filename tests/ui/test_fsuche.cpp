// The parameter search as a user runs it: Vorlauf x Angriffe over real permanences cut into
// files, the table equal to single system-test runs, sorted by a click on a heading with the
// best and the worst marked, the reality check with its verdict, the heat map, and the
// workbook read back with a real spreadsheet reader.
#include "search/ParameterSearch.h"
#include "support/TestFiles.h"
#include "support/WindowActions.h"
#include "ui/FHeatMap.h"
#include "ui/FSuche.h"
#include "ui/FileSelector.h"

#include <QHeaderView>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace kw;
using namespace kw::test;

namespace {

const QString NoBreak = QString(QChar(0x00A0));

QString value(const QJsonObject& book, const QString& ref) {
  return book[QStringLiteral("cells")].toObject()[ref].toObject()[QStringLiteral("v")].toString();
}

} // namespace

class FSucheTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  void searchSortCheckHeatMapAndWorkbook() {
    WindowTestHarness h;
    QTemporaryDir folder;
    const std::vector<uint8_t> coups =
        RecordedCoups(QStringLiteral("spielbank-wiesbaden_t2_190424.txt"));
    std::vector<std::vector<uint8_t>> permanences;
    for (int f = 0; f < 20; ++f) {
      QStringList lines;
      permanences.emplace_back(coups.begin() + f * 370, coups.begin() + (f + 1) * 370);
      for (uint8_t c : permanences.back())
        lines << QString::number(c);
      writeLines(folder.filePath(QStringLiteral("t%1.prm").arg(f + 10)), lines);
    }

    auto* w = qobject_cast<FSuche*>(h.app().OpenOnDemand(QStringLiteral("FSuche")));
    QVERIFY(w);
    AttachModelTesters(w);
    QTableWidget* rows = w->GBereiche();
    QCOMPARE(rows->item(0, 0)->text(), QStringLiteral("vorlauf"));
    rows->item(0, 2)->setText(QStringLiteral("3"));
    rows->item(0, 3)->setText(QStringLiteral("9"));
    rows->item(0, 4)->setText(QStringLiteral("3"));
    rows->item(1, 2)->setText(QStringLiteral("2"));
    rows->item(1, 3)->setText(QStringLiteral("8"));
    rows->item(1, 4)->setText(QStringLiteral("2"));
    Find<QLineEdit>(w, QStringLiteral("EReplikate"))->setText(QStringLiteral("20"));
    Find<QLineEdit>(w, QStringLiteral("ESeed"))->setText(QStringLiteral("3"));
    w->fileSelector()->setDirectory(folder.path());
    w->fileSelector()->fileList()->selectAll();
    click(w, QStringLiteral("BStart"));
    QVERIFY2(h.dialogs().calls.isEmpty(), qPrintable(h.dialogs().calls.value(0).text));

    // Each row equals the single run with its settings (the window's defaults otherwise).
    QTableView* table = w->GErgebnis();
    QAbstractItemModel* model = table->model();
    QCOMPARE(model->rowCount(), 3 * 4);
    QCOMPARE(model->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Netto-Ergebnis"));
    const SearchResult& result = *w->lastResult();
    int row = 0;
    for (int vorlauf : {3, 6, 9})
      for (int angriffe : {2, 4, 6, 8}) {
        SystemTestParams params;
        params.vorlauf = vorlauf;
        params.angriffe = angriffe;
        params.stakes = {5, 5, 5, 5, 10, 10, 10, 15};
        const SystemTestRun single = RunSystemTest(permanences, params);
        QCOMPARE(model->index(row, 0).data().toString(), QString::number(vorlauf));
        QCOMPARE(model->index(row, 1).data().toString(), QString::number(angriffe));
        QCOMPARE(result.combinations[static_cast<size_t>(row)].netto,
                 NetResult(single.totals, params));
        QCOMPARE(model->index(row, 3).data(Qt::UserRole).toLongLong(),
                 NetResult(single.totals, params));
        ++row;
      }

    // A click on "Netto-Ergebnis" sorts by the amounts, not their texts; again: descending.
    QHeaderView* heading = table->horizontalHeader();
    QTest::mouseClick(heading->viewport(), Qt::LeftButton, {},
                      QPoint(heading->sectionViewportPosition(3) + 5, 5));
    QTest::mouseClick(heading->viewport(), Qt::LeftButton, {},
                      QPoint(heading->sectionViewportPosition(3) + 5, 5));
    for (int r = 1; r < model->rowCount(); ++r)
      QVERIFY(model->index(r - 1, 3).data(Qt::UserRole).toLongLong() >=
              model->index(r, 3).data(Qt::UserRole).toLongLong());
    const auto& best = result.combinations[result.best];
    QCOMPARE(model->index(0, 3).data(Qt::UserRole).toLongLong(), best.netto);
    QVERIFY(model->index(0, 0).data(Qt::BackgroundRole).isValid());
    QCOMPARE(model->index(0, 0).data(Qt::ToolTipRole).toString(),
             QStringLiteral("Beste Einstellung"));
    QCOMPARE(model->index(model->rowCount() - 1, 0).data(Qt::ToolTipRole).toString(),
             QStringLiteral("Schlechteste Einstellung"));
    QVERIFY(Find<QLabel>(w, QStringLiteral("LBeste"))
                ->text()
                .contains(QStringLiteral("12 Kombinationen")));

    // The reality check with its figures and the verdict.
    QVERIFY(result.realityCheck);
    QCOMPARE(Find<QLabel>(w, QStringLiteral("LReplikate"))->text(), QStringLiteral("20"));
    const QString p = QLocale().toString(result.realityCheck->p, 'f', 2);
    QVERIFY2(Find<QLabel>(w, QStringLiteral("LUrteil"))
                 ->text()
                 .endsWith(QStringLiteral("(p = %1)").arg(p)),
             qPrintable(Find<QLabel>(w, QStringLiteral("LUrteil"))->text()));

    // The heat map: Vorlauf along the rows, Angriffe along the columns.
    click(w, QStringLiteral("BHeatmap"));
    QVERIFY(w->heatMap() && w->heatMap()->isVisible());
    const HeatMapData& map = w->heatMap()->view()->data();
    QCOMPARE(map.rowLabels, (QStringList{"3", "6", "9"}));
    QCOMPARE(map.columnLabels.size(), 4);
    QCOMPARE(*map.values[1 * 4 + 2], static_cast<double>(result.combinations[6].netto));
    w->heatMap()->close();

    // The workbook holds the table as sorted, read back by a real spreadsheet reader.
    const QString target = folder.filePath(QStringLiteral("suche.xlsx"));
    h.dialogs().saveAnswers.enqueue(target);
    click(w, QStringLiteral("BExcel"));
    const QJsonObject book = ReadWorkbook(target);
    QVERIFY(!book.isEmpty());
    QCOMPARE(value(book, QStringLiteral("A1")), QStringLiteral("Parameter-Suche"));
    QCOMPARE(value(book, QStringLiteral("A2")),
             QStringLiteral("Systemtest nach Zwei-Drittel-Gesetz"));
    QCOMPARE(value(book, QStringLiteral("C1")), NoBreak + QStringLiteral("vorlauf"));
    QCOMPARE(value(book, QStringLiteral("F1")), NoBreak + QStringLiteral("Netto-Ergebnis"));
    QCOMPARE(value(book, QStringLiteral("F2")), NoBreak + model->index(0, 3).data().toString());
    QCOMPARE(value(book, QStringLiteral("C13")), NoBreak + model->index(11, 0).data().toString());
    QVERIFY(value(book, QStringLiteral("A24")).startsWith(QStringLiteral("Die beste Einstellung")));
  }
};

QTEST_MAIN(FSucheTest)
#include "test_fsuche.moc"
