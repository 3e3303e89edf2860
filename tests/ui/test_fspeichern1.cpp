// The save dialog as a user meets it: the table written as a permanence file with or without
// information lines, read back into the same table, new hand-change markers remembered, and
// saves that cannot be written or encoded refused without touching any file.
#include "files/HandChangeMarkers.h"
#include "support/TestFiles.h"
#include "support/WindowTestHarness.h"
#include "ui/FHaupt.h"
#include "ui/FOptionen.h"
#include "ui/FSpeichern1.h"
#include "ui/MemoEdit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace kw;
using namespace kw::test;

namespace {

void click(QWidget* window, const QString& name) {
  auto* button = Find<QAbstractButton>(window, name);
  QVERIFY2(button, qPrintable(name));
  QTest::mouseClick(button, Qt::LeftButton);
}

void clickPad(FHaupt* main, std::initializer_list<int> codes) {
  for (int code : codes)
    click(main, QStringLiteral("num%1").arg(code));
}

void type(FSpeichern1* dialog, const char* name, const QString& text) {
  auto* edit = Find<QLineEdit>(dialog, QLatin1String(name));
  QVERIFY2(edit, name);
  edit->clear();
  edit->insert(text); // as typed; QTest cannot type characters beyond Latin-1
}

// Saves through "S&peichern" into the given file; the dialog is shown as the menu shows it.
void save(WindowTestHarness& h, const QString& path) {
  FSpeichern1* dialog = h.app().fSpeichern1();
  dialog->show();
  h.dialogs().saveAnswers.enqueue(path);
  click(dialog, QStringLiteral("BSave"));
}

// Empties the table, opens the file and transfers it.
void reopen(WindowTestHarness& h, const QString& path) {
  FHaupt* main = h.app().fHaupt();
  click(main, QStringLiteral("BDel2"));
  h.dialogs().openAnswers.enqueue({path});
  click(main, QStringLiteral("BOpen"));
  click(main, QStringLiteral("BTransfer"));
}

} // namespace

class FSpeichern1Test : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    PrepareApplication();
  }

  void savesTheTableAndReadsItBack_data() {
    QTest::addColumn<bool>("withInfo");
    QTest::addColumn<QString>("remark");
    QTest::addColumn<QByteArray>("head");
    QTest::newRow("coups only") << false << "Abend" << QByteArray();
    QTest::newRow("information, short remark left out")
        << true << "ab" << QByteArray("Spielbank\r\nTisch XX\r\n28.04.2013\r\n");
    QTest::newRow("information with remark")
        << true << "Abend" << QByteArray("Spielbank\r\nTisch XX\r\n28.04.2013\r\nAbend\r\n");
  }

  void savesTheTableAndReadsItBack() {
    QFETCH(bool, withInfo);
    QFETCH(QString, remark);
    QFETCH(QByteArray, head);
    WindowTestHarness h;
    QTemporaryDir dir;
    FHaupt* main = h.app().fHaupt();
    // Hand changes from the pad and from a file line "HW": both labelled "-", the list's
    // first entry, so both are saved as "----".
    clickPad(main, {4, 0, 50, 32});
    main->memo()->setPlainText(QStringLiteral("1\n2\n3\nHW\n36\n"));
    h.dialogs().answers.enqueue(Dialogs::Answer::Yes);
    click(main, QStringLiteral("BTransfer"));
    const std::vector<uint8_t> before = main->table().RowValues();

    FSpeichern1* dialog = h.app().fSpeichern1();
    Find<QCheckBox>(dialog, QStringLiteral("cbMitInfo"))->setChecked(withInfo);
    type(dialog, "EBemerkung", remark);
    const QString path = dir.filePath(QStringLiteral("tisch.prm"));
    save(h, path);

    const auto& request = h.dialogs().calls.last().request;
    QCOMPARE(h.dialogs().calls.last().kind, QStringLiteral("save"));
    QCOMPARE(request.title, QStringLiteral("Datei speichern"));
    QCOMPARE(request.filter, QStringLiteral("Permanenz-Format (*.prm);;Alle Dateien (*.*)"));
    QCOMPARE(request.defaultSuffix, QStringLiteral("prm"));
    QCOMPARE(ReadBytes(path), head + "4\r\n0\r\n----\r\n32\r\n1\r\n2\r\n3\r\n----\r\n36\r\n");
    QVERIFY(!dialog->isVisible());

    reopen(h, path);
    QVERIFY(main->table().RowValues() == before);
    QCOMPARE(main->table().HandChangeCount(), 2);
  }

  void fieldsKeepTheirValuesAndAnEmptyTableSavesNothing() {
    WindowTestHarness h;
    QTemporaryDir dir;
    FSpeichern1* dialog = h.app().fSpeichern1();
    QCOMPARE(Find<QLineEdit>(dialog, QStringLiteral("ECasino"))->text(),
             QStringLiteral("Spielbank"));
    QCOMPARE(Find<QLineEdit>(dialog, QStringLiteral("ETisch"))->text(), QStringLiteral("XX"));
    QCOMPARE(Find<QDateEdit>(dialog, QStringLiteral("EDatum"))->date(), QDate(2013, 4, 28));
    QVERIFY(!Find<QCheckBox>(dialog, QStringLiteral("cbMitInfo"))->isChecked());
    QCOMPARE(dialog->size(), QSize(252, 358));

    type(dialog, "ECasino", QStringLiteral("Bad Homburg"));
    type(dialog, "ETisch", QStringLiteral("3"));
    Find<QDateEdit>(dialog, QStringLiteral("EDatum"))->setDate(QDate(2024, 4, 19));
    Find<QCheckBox>(dialog, QStringLiteral("cbMitInfo"))->setChecked(true);
    dialog->show();
    click(dialog, QStringLiteral("BClose"));
    QVERIFY(!dialog->isVisible());

    const QString path = dir.filePath(QStringLiteral("leer.prm"));
    save(h, path);
    QCOMPARE(ReadBytes(path), QByteArray("Bad Homburg\r\nTisch 3\r\n19.04.2024\r\n"));

    // Cancelling the file dialog writes nothing and leaves the dialog open.
    dialog->show();
    click(dialog, QStringLiteral("BSave"));
    QVERIFY(dialog->isVisible());
    dialog->close();
  }

  void aNewMarkerIsRegisteredNotWritten_data() {
    QTest::addColumn<QString>("marker");
    QTest::addColumn<QByteArray>("list"); // HWListe.txt afterwards; empty: not written
    QTest::newRow("known") << "HW" << QByteArray();
    QTest::newRow("empty") << "" << QByteArray();
    QTest::newRow("new") << "X" << QByteArray("-\r\n--\r\n---\r\n----\r\nHW\r\nX\r\n");
    // The list becomes UTF-8 so that the marker reads back; the permanence stays as it was.
    QTest::newRow("outside Windows-1252")
        << QStringLiteral("✓") << QByteArray("\xEF\xBB\xBF-\r\n--\r\n---\r\n----\r\nHW\r\n✓\r\n");
  }

  void aNewMarkerIsRegisteredNotWritten() {
    QFETCH(QString, marker);
    QFETCH(QByteArray, list);
    WindowTestHarness h;
    QTemporaryDir dir;
    clickPad(h.app().fHaupt(), {5});
    FSpeichern1* dialog = h.app().fSpeichern1();
    type(dialog, "EHWZ", marker);
    const QString path = dir.filePath(QStringLiteral("a.prm"));
    save(h, path);

    QCOMPARE(ReadBytes(path), QByteArray("5\r\n"));
    const QString listFile = h.dataDir() + QStringLiteral("HWListe.txt");
    QCOMPARE(QFile::exists(listFile), !list.isEmpty());
    if (!list.isEmpty()) {
      QCOMPARE(ReadBytes(listFile), list);
      QVERIFY(IsHandChange(marker.toStdString()));
      auto* l1 = Find<QListView>(h.app().fOptionen(), QStringLiteral("L1"));
      const QAbstractItemModel* entries = l1->model();
      QCOMPARE(entries->index(entries->rowCount() - 1, 0).data().toString(), marker);
    }
  }

  void aSaveThatCannotBeWrittenKeepsTheDialogOpen() {
    WindowTestHarness h;
    QTemporaryDir dir;
    clickPad(h.app().fHaupt(), {5});
    FSpeichern1* dialog = h.app().fSpeichern1();
    const QString path = dir.filePath(QStringLiteral("fehlt/a.prm"));
    save(h, path);
    QCOMPARE(h.dialogs().calls.last().kind, QStringLiteral("error"));
    QVERIFY2(h.dialogs().calls.last().text.startsWith(
                 QStringLiteral("Die Datei %1 kann nicht geschrieben werden.\r\r")
                     .arg(QDir::toNativeSeparators(path))),
             qPrintable(h.dialogs().calls.last().text));
    QVERIFY(dialog->isVisible());
    dialog->close();
  }

  void textWindows1252CannotHoldIsRefusedBeforeAnyWrite_data() {
    QTest::addColumn<QString>("casino");
    QTest::addColumn<QString>("marker");
    // A new marker is not registered when the permanence cannot be written.
    QTest::newRow("casino") << QStringLiteral("Casino ✓") << QString("X");
    QTest::newRow("casino and marker") << QStringLiteral("Casino ✓") << QStringLiteral("✓");
  }

  void textWindows1252CannotHoldIsRefusedBeforeAnyWrite() {
    QFETCH(QString, casino);
    QFETCH(QString, marker);
    WindowTestHarness h;
    QTemporaryDir dir;
    clickPad(h.app().fHaupt(), {5});
    FSpeichern1* dialog = h.app().fSpeichern1();
    Find<QCheckBox>(dialog, QStringLiteral("cbMitInfo"))->setChecked(true);
    type(dialog, "ECasino", casino);
    type(dialog, "EHWZ", marker);
    const QString path = dir.filePath(QStringLiteral("a.prm"));
    QVERIFY(WriteBytes(path, "17\r\n"));
    save(h, path);

    QCOMPARE(h.dialogs().calls.last().kind, QStringLiteral("error"));
    QVERIFY2(h.dialogs().calls.last().text.contains(QStringLiteral("\"✓\"")),
             qPrintable(h.dialogs().calls.last().text));
    QVERIFY(h.dialogs().calls.last().text.contains(QStringLiteral("Windows-1252")));
    QCOMPARE(ReadBytes(path), QByteArray("17\r\n")); // the old file is whole
    QVERIFY(!QFile::exists(h.dataDir() + QStringLiteral("HWListe.txt")));
    QVERIFY(dialog->isVisible());
    dialog->close();
  }
};

QTEST_MAIN(FSpeichern1Test)
#include "test_fspeichern1.moc"
