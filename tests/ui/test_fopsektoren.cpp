// The sector window as a user meets it: the palette and the nine lists, drag and drop,
// presets, hiding, sector files and the throw-distance evaluation of the main table.
#include "sectors/SectorAssignment.h"
#include "sectors/SectorFile.h"
#include "statistics/Significance.h"
#include "statistics/Verdict.h"
#include "support/WindowActions.h"
#include "ui/Application.h"
#include "ui/FHaupt.h"
#include "ui/FOpSektoren.h"
#include "ui/SignificanceDisplay.h"
#include "ui/WindowChrome.h"
#include "workspace/Workspace.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace kw;
using namespace kw::test;

namespace {

const QString TooFewCoups = QStringLiteral(
    "Es gibt keine oder zu wenig Coups für eine Auswertung.\r\rLaden Sie im Hauptfenster eine "
    "Permanenz und übertragen Sie diese in die dortige Tabelle.\r\rDer Vorgang wird abgebrochen!");
const QString Incomplete = QStringLiteral(
    "Sie haben nicht alle Nummern Sektoren zugewiesen.\r\rDer Vorgang wird abgebrochen!");
const QString SaveIncomplete = QStringLiteral(
    "Sie haben nicht alle Nummern Sektoren zugewiesen.\r\rIch kann die Zuordnung zwar speichern, "
    "aber eine Auswertung ist damit nicht möglich!\r\rWollen Sie den Speichervorgang fortsetzen?");
const QString Overwrite =
    QStringLiteral("Die Sektorenfelder werden mit dem Inhalt der zu öffnenden Datei "
                   "überschrieben. Soll ich fortfahren?");
const QString OpenedIncomplete = QStringLiteral(
    "Nicht alle Nummern wurden Sektoren zugewiesen.\r\rEine Auswertung ist so nicht möglich.");

QListView* list(FOpSektoren* w, int sector) {
  return Find<QListView>(w, QStringLiteral("lb%1").arg(sector));
}

// The entries a sector list shows, top to bottom.
QStringList entries(QListView* l) {
  QStringList out;
  for (int i = 0; i < l->model()->rowCount(l->rootIndex()); ++i)
    out << l->model()->index(i, 0, l->rootIndex()).data().toString();
  return out;
}

bool inLabelState(FOpSektoren* w, int sector) {
  QListView* l = list(w, sector);
  return entries(l) == QStringList{QStringLiteral(" %1").arg(sector)} &&
         l->font().pointSize() == 48;
}

QLabel* panel(FOpSektoren* w, int number) {
  return Find<QLabel>(w, QStringLiteral("p%1").arg(number));
}

// The numbers whose palette panels are hidden, ascending.
QList<int> hiddenPanels(FOpSektoren* w) {
  QList<int> hidden;
  for (int n = 0; n <= 36; ++n)
    if (panel(w, n)->isHidden())
      hidden << n;
  return hidden;
}

// Delivers a drag with the window's payload to a list as the toolkit does: enter, move,
// drop, all to the viewport under the mouse. Returns whether the drop was accepted.
bool dropOnto(QListView* target, QMimeData* mime) {
  std::unique_ptr<QMimeData> owned(mime);
  QWidget* viewport = target->viewport();
  const QPoint at(10, 10);
  QDragEnterEvent enter(at, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &enter);
  if (!enter.isAccepted())
    return false;
  QDragMoveEvent move(at, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &move);
  QDropEvent drop(QPointF(at), Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &drop);
  return drop.isAccepted();
}

bool dropPanel(FOpSektoren* w, int number, int sector) {
  return dropOnto(list(w, sector), FOpSektoren::SectorDragData(QStringLiteral("p%1").arg(number),
                                                               -1, QString::number(number)));
}

bool dropEntry(FOpSektoren* w, int fromSector, int row, int toSector) {
  QListView* from = list(w, fromSector);
  const QString entry = from->model()->index(row, 0, from->rootIndex()).data().toString();
  return dropOnto(list(w, toSector), FOpSektoren::SectorDragData(from->objectName(), row, entry));
}

QString gridCell(FOpSektoren* w, int row, int column) {
  QTableWidgetItem* item = Find<QTableWidget>(w, QStringLiteral("GSek"))->item(row, column);
  return item ? item->text() : QString();
}

// The data cells (columns 2..10, rows 1..18) that are not "-", as "row,column=text".
QStringList countedCells(FOpSektoren* w) {
  QStringList out;
  for (int r = 1; r <= 18; ++r)
    for (int c = 2; c <= 10; ++c)
      if (gridCell(w, r, c) != QLatin1String("-"))
        out << QStringLiteral("%1,%2=%3").arg(r).arg(c).arg(gridCell(w, r, c));
  return out;
}

// The worked example: 0, 32, 15, 19, 4, 21, 2 against "1 x 5 u. 8 x 4 Sektoren".
void evaluateWorkedExample(WindowTestHarness& h) {
  FOpSektoren* w = h.app().fOpSektoren();
  clickPad(h.app().fHaupt(), {0, 32, 15, 19, 4, 21, 2});
  click(w, "B9Sektoren");
  click(w, "BAuswertung");
}

// The colour a data cell of GSek is painted with, or an invalid colour.
QColor cellColour(FOpSektoren* w, int row, int column) {
  QTableWidgetItem* item = Find<QTableWidget>(w, QStringLiteral("GSek"))->item(row, column);
  return item ? item->data(Qt::BackgroundRole).value<QColor>() : QColor();
}

int countIn(FOpSektoren* w, int row, int column) {
  const QString text = gridCell(w, row, column);
  return text == QLatin1String("-") ? 0 : text.toInt();
}

// `count` coups drawn at random, transferred into the main window's table.
void transferRandomCoups(WindowTestHarness& h, int count) {
  std::mt19937 random(3);
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i)
    lines.push_back(std::to_string(random() % 37));
  h.app().workspace().TransferLines(lines);
}

const QStringList WorkedExampleCells = {"1,2=1", "2,3=1", "3,3=2", "4,3=1"};

} // namespace

class FOpSektorenTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { PrepareApplication(); }

  void newWindowShowsLabelsAndTheWheelPalette() {
    WindowTestHarness h;
    FOpSektoren* w = h.app().fOpSektoren();
    QCOMPARE(w->windowTitle(), QStringLiteral("Kesselwerk"));
    for (int s = 1; s <= 9; ++s) {
      QVERIFY2(inLabelState(w, s), qPrintable(QString::number(s)));
      const QRect cell = list(w, s)->geometry();
      QCOMPARE(cell, QRect(((s - 1) / 3) * 80, ((s - 1) % 3) * 80, 80, 80));
    }
    QVERIFY(hiddenPanels(w).isEmpty());
    QVERIFY(Find<QCheckBox>(w, QStringLiteral("cbAusblenden"))->isChecked());

    // Zero at the top, the pockets clockwise on the circle; caption colour by number.
    const struct {
      int number;
      QPoint at;
      QColor colour;
    } pockets[] = {{0, {200, 75}, QColor(0x00, 0x80, 0x00)},
                   {34, {385, 252}, QColor(0xFF, 0x00, 0x00)},
                   {10, {216, 444}, QColor(0x00, 0x00, 0x00)},
                   {5, {184, 444}, QColor(0xFF, 0x00, 0x00)},
                   {26, {169, 78}, QColor(0x00, 0x00, 0x00)}};
    for (const auto& p : pockets) {
      QLabel* l = panel(w, p.number);
      QCOMPARE(l->geometry(), QRect(p.at, QSize(25, 20)));
      QCOMPARE(l->text(), QString::number(p.number));
      QCOMPARE(l->palette().color(QPalette::WindowText), p.colour);
      QCOMPARE(l->parentWidget()->objectName(), QStringLiteral("PMitte"));
    }
    QCOMPARE(gridCell(w, 0, 0), QStringLiteral("Vor-Sektor"));
    QCOMPARE(gridCell(w, 0, 10), QStringLiteral("     9"));
    QCOMPARE(gridCell(w, 17, 0), QStringLiteral("         9"));
    QCOMPARE(gridCell(w, 18, 1), QStringLiteral("      B"));
    QCOMPARE(gridCell(w, 1, 2), QString());
  }

  void workedExampleThroughTheWindow() {
    WindowTestHarness h;
    evaluateWorkedExample(h);
    FOpSektoren* w = h.app().fOpSektoren();
    QVERIFY(h.dialogs().calls.isEmpty());
    QCOMPARE(countedCells(w), WorkedExampleCells);
    QCOMPARE(gridCell(w, 5, 2), QStringLiteral("-"));
  }

  void evaluationCountsAcrossHandChangesAndSharedNumbers() {
    WindowTestHarness h;
    FOpSektoren* w = h.app().fOpSektoren();
    // 5, 0 | hand change | 32, 10: A 0->32 (sector 1 -> 1), B 32->10 (1 -> 5).
    clickPad(h.app().fHaupt(), {5, 0, 50, 32, 10});
    click(w, "B9Sektoren");
    // 0 also stands in sector 9: the A transition counts from both earlier sectors.
    QCheckBox* hide = Find<QCheckBox>(w, QStringLiteral("cbAusblenden"));
    QTest::mouseClick(hide, Qt::LeftButton);
    QVERIFY(dropPanel(w, 0, 9));
    click(w, "BAuswertung");
    QCOMPARE(countedCells(w), (QStringList{"1,2=1", "2,6=1", "17,2=1"}));
  }

  void tooFewCoupsAreRefusedAndTheGridKept_data() {
    QTest::addColumn<QList<int>>("pad");
    QTest::newRow("none") << QList<int>{};
    QTest::newRow("one") << QList<int>{7};
    QTest::newRow("two around a hand change") << QList<int>{7, 50, 8};
  }

  void tooFewCoupsAreRefusedAndTheGridKept() {
    QFETCH(QList<int>, pad);
    WindowTestHarness h;
    FOpSektoren* w = h.app().fOpSektoren();
    evaluateWorkedExample(h);
    QTest::mouseClick(Find<QPushButton>(h.app().fHaupt(), QStringLiteral("BDel2")), Qt::LeftButton);
    for (int code : pad)
      clickPad(h.app().fHaupt(), {code});
    click(w, "BAuswertung");
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(h.dialogs().calls[0].kind, QStringLiteral("error"));
    QCOMPARE(h.dialogs().calls[0].text, TooFewCoups);
    QCOMPARE(countedCells(w), WorkedExampleCells);
  }

  void incompleteAssignmentEmptiesTheDataCells() {
    WindowTestHarness h;
    FOpSektoren* w = h.app().fOpSektoren();
    evaluateWorkedExample(h);
    click(w, "BListClear");
    click(w, "BAuswertung");
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(h.dialogs().calls[0].text, Incomplete);
    QCOMPARE(gridCell(w, 1, 2), QString());
    QCOMPARE(gridCell(w, 3, 3), QString());
    QCOMPARE(gridCell(w, 1, 1), QStringLiteral("      A")); // the headings stay
  }

  void presetsFillTheirListsInOrder_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("lb1");
    QTest::addColumn<QStringList>("lb2");
    QTest::addColumn<int>("filled");
    QTest::newRow("Roulette-Serien")
        << "BSerien" << QStringList{"0",  "2",  "3",  "4",  "7",  "12", "15", "18", "19",
                                    "21", "22", "25", "26", "28", "29", "32", "35"}
        << QStringList{"5", "8", "10", "11", "13", "16", "23", "24", "27", "30", "33", "36"} << 3;
    QTest::newRow("1 x 7 u. 5 x 6 Sektoren")
        << "B6Sektoren" << QStringList{"35", "3", "26", "0", "32", "15", "19"}
        << QStringList{"4", "21", "2", "25", "17", "34"} << 6;
    QTest::newRow("1 x 5 u. 8 x 4 Sektoren")
        << "B9Sektoren" << QStringList{"3", "26", "0", "32", "15"}
        << QStringList{"19", "4", "21", "2"} << 9;
  }

  void presetsFillTheirListsInOrder() {
    QFETCH(QString, button);
    QFETCH(QStringList, lb1);
    QFETCH(QStringList, lb2);
    QFETCH(int, filled);
    WindowTestHarness h;
    FOpSektoren* w = h.app().fOpSektoren();
    QVERIFY(dropPanel(w, 17, 8)); // whatever stood before is cleared
    click(w, qPrintable(button));
    QCOMPARE(Find<QPushButton>(w, button)->text(), QString::fromUtf8(QTest::currentDataTag()));
    QCOMPARE(entries(list(w, 1)), lb1);
    QCOMPARE(entries(list(w, 2)), lb2);
    for (int s = 1; s <= 9; ++s) {
      QCOMPARE(inLabelState(w, s), s > filled);
      if (s <= filled)
        QCOMPARE(list(w, s)->font().pointSize(), 9);
    }
    QVERIFY(w->CurrentAssignment().IsComplete());
    QCOMPARE(hiddenPanels(w).size(), 37);
  }

  void dragAndDropBetweenPaletteAndLists() {
    WindowTestHarness h;
    FOpSektoren* w = h.app().fOpSektoren();
    QCheckBox* hide = Find<QCheckBox>(w, QStringLiteral("cbAusblenden"));

    // A foreign drag is refused by every list.
    auto* foreign = new QMimeData;
    foreign->setText(QStringLiteral("17"));
    QVERIFY(!dropOnto(list(w, 4), foreign));
    QVERIFY(inLabelState(w, 4));

    // With hiding on the panel goes away once dropped.
    QVERIFY(dropPanel(w, 17, 4));
    QCOMPARE(entries(list(w, 4)), QStringList{"17"});
    QCOMPARE(list(w, 4)->font().pointSize(), 9);
    QCOMPARE(hiddenPanels(w), QList<int>{17});

    // With hiding off every panel shows and 17 can be dropped again, anywhere.
    QTest::mouseClick(hide, Qt::LeftButton);
    QVERIFY(hiddenPanels(w).isEmpty());
    QVERIFY(dropPanel(w, 17, 4));
    QVERIFY(dropPanel(w, 17, 2));
    QVERIFY(dropPanel(w, 5, 4));
    QCOMPARE(entries(list(w, 4)), (QStringList{"17", "17", "5"}));
    QVERIFY(hiddenPanels(w).isEmpty());

    // An entry moves to the end of the list it is dropped on, its own list included.
    QVERIFY(dropEntry(w, 4, 0, 4));
    QCOMPARE(entries(list(w, 4)), (QStringList{"17", "5", "17"}));
    QVERIFY(dropEntry(w, 4, 1, 2));
    QCOMPARE(entries(list(w, 2)), (QStringList{"17", "5"}));
    QVERIFY(dropEntry(w, 4, 0, 2));
    QVERIFY(dropEntry(w, 4, 0, 2));
    QCOMPARE(entries(list(w, 2)), (QStringList{"17", "5", "17", "17"}));
    // Emptied by dragging, lb4 stays in list state.
    QVERIFY(entries(list(w, 4)).isEmpty());
    QCOMPARE(list(w, 4)->font().pointSize(), 9);

    // A label, or an entry no longer where the drag found it, carries no number.
    dropEntry(w, 6, 0, 1);
    dropEntry(w, 2, 9, 1);
    QVERIFY(inLabelState(w, 6));
    QVERIFY(inLabelState(w, 1));
    QCOMPARE(entries(list(w, 2)).size(), 4);

    // Hiding on again hides exactly the numbers standing in lists, not the labels' digits.
    QTest::mouseClick(hide, Qt::LeftButton);
    QCOMPARE(hiddenPanels(w), (QList<int>{5, 17}));
    click(w, "BListClear");
    QVERIFY(hiddenPanels(w).isEmpty());
    for (int s = 1; s <= 9; ++s)
      QVERIFY(inLabelState(w, s));
  }

  void savedPresetsOpenAsTheyWere_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("firstSet");
    QTest::newRow("Roulette-Serien") << "BSerien" << QByteArray::fromHex("9d906c3609");
    QTest::newRow("1 x 7 u. 5 x 6") << "B6Sektoren" << QByteArray::fromHex("0980080409");
    QTest::newRow("1 x 5 u. 8 x 4") << "B9Sektoren" << QByteArray::fromHex("0980000401");
  }

  void savedPresetsOpenAsTheyWere() {
    QFETCH(QString, button);
    QFETCH(QByteArray, firstSet);
    WindowTestHarness h;
    FOpSektoren* w = h.app().fOpSektoren();
    const QString path = h.dataDir() + QStringLiteral("muster.sekt");
    click(w, qPrintable(button));
    const SectorAssignment saved = w->CurrentAssignment();
    QStringList before[9];
    for (int s = 1; s <= 9; ++s)
      before[s - 1] = entries(list(w, s));

    h.dialogs().saveAnswers.enqueue(path);
    w->chrome()->trigger(Command::Save); // the toolbar's save button
    QCOMPARE(h.dialogs().calls.size(), 1);
    const auto& save = h.dialogs().calls[0];
    QCOMPARE(save.kind, QStringLiteral("save"));
    QCOMPARE(save.text, QStringLiteral("Speichern"));
    QCOMPARE(save.request.startDir, h.dataDir());
    QCOMPARE(save.request.filter, QStringLiteral("Sektoren-Datei (*.sekt)"));
    const QByteArray bytes = ReadBytes(path);
    QCOMPARE(bytes.size(), 288);
    QCOMPARE(bytes.left(5), firstSet);
    QCOMPARE(bytes.mid(5, 27), QByteArray(27, '\0'));

    click(w, "BListClear");
    h.dialogs().openAnswers.enqueue({path});
    w->chrome()->trigger(Command::Open);
    QCOMPARE(h.dialogs().calls.size(), 2); // at most one entry per list: no question
    QCOMPARE(h.dialogs().calls[1].text, QStringLiteral("Öffnen"));
    QCOMPARE(h.dialogs().calls[1].request.startDir, h.dataDir());
    QCOMPARE(w->CurrentAssignment(), saved);
    for (int s = 1; s <= 9; ++s) {
      QStringList sorted = before[s - 1];
      std::sort(sorted.begin(), sorted.end(),
                [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
      QCOMPARE(entries(list(w, s)), sorted); // each sector ascending, labels kept
    }
    QCOMPARE(hiddenPanels(w).size(), 37);
  }

  void savingWritesOnlyTheCurrentLists() {
    WindowTestHarness h;
    FOpSektoren* w = h.app().fOpSektoren();
    const QString path = h.dataDir() + QStringLiteral("a.sekt");
    click(w, "B9Sektoren");
    h.dialogs().saveAnswers.enqueue(path);
    w->BSaveClick();
    QVERIFY(dropEntry(w, 1, 2, 2)); // the zero from sector 1 into sector 2
    h.dialogs().saveAnswers.enqueue(path);
    w->BSaveClick();
    const QByteArray bytes = ReadBytes(path);
    const auto sectors = DecodeSectorFile(std::span(
        reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())));
    QVERIFY(sectors);
    QVERIFY(!sectors->sectors[0].contains(0));
    QVERIFY(sectors->sectors[1].contains(0));
  }

  void incompleteAssignmentsAskOnSaveAndInformOnOpen() {
    WindowTestHarness h;
    FOpSektoren* w = h.app().fOpSektoren();
    const QString path = h.dataDir() + QStringLiteral("teil.sekt");
    QVERIFY(dropPanel(w, 17, 4));
    QVERIFY(dropPanel(w, 3, 4));
    QVERIFY(dropPanel(w, 0, 9));

    h.dialogs().saveAnswers.enqueue(path);
    h.dialogs().answers.enqueue(Dialogs::Answer::No);
    w->BSaveClick();
    QCOMPARE(h.dialogs().calls.last().kind, QStringLiteral("confirm"));
    QCOMPARE(h.dialogs().calls.last().text, SaveIncomplete);
    QCOMPARE(h.dialogs().calls.last().buttons,
             Dialogs::YesButton | Dialogs::NoButton | Dialogs::HelpButton);
    QCOMPARE(h.dialogs().calls.last().helpContext, 100);
    QVERIFY(!QFile::exists(path));

    h.dialogs().saveAnswers.enqueue(path);
    h.dialogs().answers.enqueue(Dialogs::Answer::Yes);
    w->BSaveClick();
    QCOMPARE(ReadBytes(path).size(), 288);

    // lb4 holds two entries: opening asks first; the incomplete file is reported after.
    QCheckBox* hide = Find<QCheckBox>(w, QStringLiteral("cbAusblenden"));
    QTest::mouseClick(hide, Qt::LeftButton);
    QTest::mouseClick(hide, Qt::LeftButton);
    h.dialogs().calls.clear();
    h.dialogs().openAnswers.enqueue({path});
    h.dialogs().answers.enqueue(Dialogs::Answer::Yes);
    w->BOpenClick();
    QCOMPARE(h.dialogs().calls.size(), 3);
    QCOMPARE(h.dialogs().calls[1].text, Overwrite);
    QCOMPARE(h.dialogs().calls[1].buttons, Dialogs::YesButton | Dialogs::NoButton);
    QCOMPARE(h.dialogs().calls[2].kind, QStringLiteral("information"));
    QCOMPARE(h.dialogs().calls[2].text, OpenedIncomplete);
    QCOMPARE(h.dialogs().calls[2].buttons, Dialogs::OkButton | Dialogs::HelpButton);
    QCOMPARE(h.dialogs().calls[2].helpContext, 100);
    QCOMPARE(entries(list(w, 4)), (QStringList{"3", "17"}));
    QCOMPARE(entries(list(w, 9)), QStringList{"0"});
    QVERIFY(inLabelState(w, 1));
    QCOMPARE(hiddenPanels(w), (QList<int>{0, 3, 17}));
  }

  void openingCanBeDeclined() {
    WindowTestHarness h;
    FOpSektoren* w = h.app().fOpSektoren();
    const QString path = h.dataDir() + QStringLiteral("leer.sekt");
    writeFile(path, QByteArray(288, '\0'));
    click(w, "BSerien");
    h.dialogs().openAnswers.enqueue({path});
    h.dialogs().answers.enqueue(Dialogs::Answer::No);
    w->BOpenClick();
    QCOMPARE(h.dialogs().calls.size(), 2);
    QCOMPARE(h.dialogs().calls[1].text, Overwrite);
    QCOMPARE(entries(list(w, 3)).size(), 8);
  }

  void unreadableFilesChangeNothing_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("reason");
    QTest::newRow("100 bytes") << QByteArray(100, '\x01') << true
                               << QStringLiteral("Versuch hinter dem Dateiende zu lesen");
    QTest::newRow("missing") << QByteArray() << false << QString();
    // A link to /dev/zero: refused before reading, not read without end.
    QTest::newRow("endless device") << QByteArray("/dev/zero") << false
                                    << QStringLiteral("Das ist keine gewöhnliche Datei, sondern "
                                                      "ein Gerät, eine benannte Pipe oder ein "
                                                      "Socket.");
  }

  void unreadableFilesChangeNothing() {
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);
    QFETCH(QString, reason);
    WindowTestHarness h;
    FOpSektoren* w = h.app().fOpSektoren();
    const QString path = h.dataDir() + QStringLiteral("kurz.sekt");
    if (exists)
      writeFile(path, content);
    else if (!content.isEmpty())
      QVERIFY(QFile::link(QString::fromLatin1(content), path));
    click(w, "B6Sektoren");
    QTest::mouseClick(Find<QCheckBox>(w, QStringLiteral("cbAusblenden")), Qt::LeftButton);
    const SectorAssignment before = w->CurrentAssignment();

    h.dialogs().openAnswers.enqueue({path});
    h.dialogs().answers.enqueue(Dialogs::Answer::Yes);
    w->BOpenClick();
    QCOMPARE(h.dialogs().calls.last().kind, QStringLiteral("error"));
    QVERIFY2(h.dialogs().calls.last().text.contains(path),
             qPrintable(h.dialogs().calls.last().text));
    if (!reason.isEmpty())
      QVERIFY(h.dialogs().calls.last().text.endsWith(reason));
    QCOMPARE(w->CurrentAssignment(), before);
    QCOMPARE(entries(list(w, 1)), (QStringList{"35", "3", "26", "0", "32", "15", "19"}));
    QVERIFY(inLabelState(w, 7));
    QVERIFY(hiddenPanels(w).isEmpty());
  }

  // "Erwartung und Abweichung zeigen" with sectors that divide the wheel: every data cell is
  // coloured by (O - E) / sqrt(E), E = (transitions out of the row's sector) x (numbers of
  // the column's sector) / 37, all computed here from the counts the grid shows, which stay
  // as they were; under the grid each direction's chi-square test and its verdict.
  void deviationsColourTheGridAndTestEachDirection() {
    WindowTestHarness h;
    FOpSektoren* w = h.app().fOpSektoren();
    transferRandomCoups(h, 2000);
    click(w, "B6Sektoren");
    click(w, "BAuswertung");
    const QStringList counts = countedCells(w);
    QCheckBox* box = Find<QCheckBox>(w, QStringLiteral("cbAbweichung"));
    QVERIFY(box && !box->isChecked());
    QVERIFY(!cellColour(w, 1, 2).isValid());
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(countedCells(w), counts);

    std::array<int, 9> sizes{};
    const SectorListNumbers lists = PresetSectorLists(SectorPreset::SevenAndFiveSixes);
    for (int s = 0; s < 9; ++s)
      sizes[size_t(s)] = int(lists[size_t(s)].size());
    const char* directions[] = {"A", "B"};
    for (int d = 0; d < 2; ++d) {
      double chi2 = 0;
      int degrees = 0;
      for (int s = 0; s < 9; ++s) {
        const int row = 2 * s + 1 + d;
        int transitions = 0;
        for (int c = 2; c <= 10; ++c)
          transitions += countIn(w, row, c);
        if (transitions > 0)
          degrees += 6 - 1; // the preset fills six sectors
        for (int c = 2; c <= 10; ++c) {
          const double expected = double(transitions) * sizes[size_t(c - 2)] / 37;
          if (expected == 0) {
            QVERIFY2(!cellColour(w, row, c).isValid(),
                     qPrintable(QStringLiteral("%1,%2").arg(row).arg(c)));
            continue;
          }
          const double residual = (countIn(w, row, c) - expected) / std::sqrt(expected);
          chi2 += residual * residual;
          QCOMPARE(cellColour(w, row, c), ResidualColour(residual));
          QCOMPARE(Find<QTableWidget>(w, QStringLiteral("GSek"))->item(row, c)->toolTip(),
                   QStringLiteral("erwartet %1; Residuum %2")
                       .arg(DecimalText(expected), DecimalText(residual)));
        }
      }
      QCOMPARE(degrees, 6 * 5); // six sectors with transitions, each into six
      const QString verdict = QString::fromUtf8(VerdictText(ChiSquareUpperTail(chi2, degrees)));
      QCOMPARE(
          Find<QLabel>(w, QStringLiteral("LRichtung%1").arg(QLatin1String(directions[d])))->text(),
          QStringLiteral("Richtung %1: χ² = %2 (30 Freiheitsgrade): %3")
              .arg(QLatin1String(directions[d]), DecimalText(chi2), verdict));
    }
    QVERIFY(Find<QWidget>(w, QStringLiteral("PLegende"))->isVisibleTo(w));

    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(countedCells(w), counts);
    QVERIFY(!cellColour(w, 1, 2).isValid());
    QVERIFY(!Find<QWidget>(w, QStringLiteral("PLegende"))->isVisibleTo(w));
  }

  // Before an evaluation there is nothing to colour; with a number in two sectors the cells
  // are coloured but no overall test is possible; a refused evaluation takes the colours off.
  void deviationsWithoutEvaluationOverlapOrAfterARefusal() {
    WindowTestHarness h;
    FOpSektoren* w = h.app().fOpSektoren();
    auto line = [w](const char* direction) {
      return Find<QLabel>(w, QStringLiteral("LRichtung%1").arg(QLatin1String(direction)))->text();
    };
    QTest::mouseClick(Find<QCheckBox>(w, QStringLiteral("cbAbweichung")), Qt::LeftButton);
    QVERIFY(line("A").startsWith(QStringLiteral("Noch keine Auswertung")));

    transferRandomCoups(h, 500);
    click(w, "B9Sektoren");
    QTest::mouseClick(Find<QCheckBox>(w, QStringLiteral("cbAusblenden")), Qt::LeftButton);
    QVERIFY(dropPanel(w, 0, 9)); // 0 also in sector 9
    click(w, "BAuswertung");
    const QString overlap = QStringLiteral("kein Gesamttest, weil sich Sektoren überschneiden "
                                           "(eine Nummer steht in mehreren Sektoren)");
    QCOMPARE(line("A"), QStringLiteral("Richtung A: ") + overlap);
    QCOMPARE(line("B"), QStringLiteral("Richtung B: ") + overlap);
    QVERIFY(cellColour(w, 1, 2).isValid());

    click(w, "BListClear");
    click(w, "BAuswertung"); // refused: not every number in a sector
    QCOMPARE(h.dialogs().calls.size(), 1);
    QVERIFY(!cellColour(w, 1, 2).isValid());
    QVERIFY(line("A").startsWith(QStringLiteral("Noch keine Auswertung")));
  }

  void closeButtonHidesTheWindow() {
    WindowTestHarness h;
    FOpSektoren* w = h.app().fOpSektoren();
    w->show();
    click(w, "Button1");
    QVERIFY(!w->isVisible());
  }
};

QTEST_MAIN(FOpSektorenTest)
#include "test_fopsektoren.moc"
