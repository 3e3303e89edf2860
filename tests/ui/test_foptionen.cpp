// The settings window as a user meets it: the files read at start-up and the list of
// hand-change markers, what lasts beyond the run and what only for it.
#include "files/Folders.h"
#include "files/HandChangeMarkers.h"
#include "files/Settings.h"
#include "support/TestFiles.h"
#include "support/WindowTestHarness.h"
#include "ui/FHaupt.h"
#include "ui/FOptionen.h"
#include "ui/MemoEdit.h"
#include "workspace/Workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace kw;
using namespace kw::test;

namespace {

using Answer = Dialogs::Answer;

template <class T = QAbstractButton> void click(QWidget* window, const QString& name) {
  auto* button = Find<T>(window, name);
  QVERIFY2(button, qPrintable(name));
  QTest::mouseClick(button, Qt::LeftButton);
}

QStringList listEntries(FOptionen* options) {
  const QAbstractItemModel* l1 = Find<QListView>(options, QStringLiteral("L1"))->model();
  QStringList entries;
  for (int i = 0; i < l1->rowCount(); ++i)
    entries << l1->index(i, 0).data().toString();
  return entries;
}

void select(FOptionen* options, int row) {
  auto* l1 = Find<QListView>(options, QStringLiteral("L1"));
  l1->setCurrentIndex(l1->model()->index(row, 0));
}

// The label column of the hand change the pad enters now.
QString padHandChangeLabel(FHaupt* main) {
  click(main, QStringLiteral("num50"));
  const int row = main->table().UsedRows();
  return QString::fromStdString(main->table().CellText(row, PermanenceTable::ZeroColumn));
}

QString edit(FOptionen* options, const char* name) {
  return Find<QLineEdit>(options, QLatin1String(name))->text();
}

QString shown(const QString& name) { return QStringLiteral("...") + QDir::separator() + name; }

} // namespace

class FOptionenTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { PrepareApplication(); }

  void firstStartShowsTheDefaultMarkers() {
    WindowTestHarness h;
    FOptionen* options = h.app().fOptionen();
    QCOMPARE(listEntries(options), QStringList({"-", "--", "---", "----", "HW"}));
    QCOMPARE(edit(options, "EPerm"), QString());
    QCOMPARE(h.app().fHaupt()->memo()->toPlainText(), QString());
    QCOMPARE(options->size(), QSize(485, 331));
    QVERIFY(!QFile::exists(h.dataDir() + QStringLiteral("HWListe.txt")));
    QVERIFY(!QFile::exists(h.dataDir() + QStringLiteral("optionen.ini")));
    QCOMPARE(padHandChangeLabel(h.app().fHaupt()), QStringLiteral("-"));
  }

  void deletingAMarkerAsksAndSavesEverything() {
    WindowTestHarness h;
    FOptionen* options = h.app().fOptionen();
    // Without a selection: the error, nothing asked.
    click(options, QStringLiteral("BDel"));
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(h.dialogs().calls[0].kind, QStringLiteral("error"));
    QCOMPARE(h.dialogs().calls[0].text,
             QStringLiteral("Es wurde kein Listeneintrag selektiert.\r\rIch breche ab."));

    select(options, 1);
    h.dialogs().answers.enqueue(Answer::No);
    click(options, QStringLiteral("BDel"));
    QCOMPARE(h.dialogs().calls[1].text, QStringLiteral("Soll der Bezeichner -- gelöscht werden?"));
    QCOMPARE(h.dialogs().calls[1].buttons,
             Dialogs::YesButton | Dialogs::NoButton | Dialogs::HelpButton);
    QCOMPARE(h.dialogs().calls[1].helpContext, 110);
    QCOMPARE(listEntries(options).size(), 5);
    QVERIFY(!QFile::exists(h.dataDir() + QStringLiteral("HWListe.txt")));

    h.dialogs().answers.enqueue(Answer::Yes);
    click(options, QStringLiteral("BDel"));
    QCOMPARE(listEntries(options), QStringList({"-", "---", "----", "HW"}));
    QCOMPARE(ReadBytes(h.dataDir() + QStringLiteral("HWListe.txt")),
             QByteArray("-\r\n---\r\n----\r\nHW\r\n"));
    QCOMPARE(ReadBytes(h.dataDir() + QStringLiteral("optionen.ini")),
             QByteArray("[Dateien]\r\nPermanenz=\r\nSatz-Staffelung=\r\nSektoreneinteilung=\r\n"));
    QVERIFY(!IsHandChange("--"));

    // The pad takes its label from the list's first entry, and "---" when it is empty.
    select(options, 0);
    h.dialogs().answers.enqueue(Answer::Yes);
    click(options, QStringLiteral("BDel"));
    QCOMPARE(padHandChangeLabel(h.app().fHaupt()), QStringLiteral("---"));
    for (int i = 0; i < 3; ++i) {
      select(options, 0);
      h.dialogs().answers.enqueue(Answer::Yes);
      click(options, QStringLiteral("BDel"));
    }
    QCOMPARE(listEntries(options), QStringList());
    QCOMPARE(ReadBytes(h.dataDir() + QStringLiteral("HWListe.txt")), QByteArray());
    QCOMPARE(padHandChangeLabel(h.app().fHaupt()), QStringLiteral("---"));
  }

  void anAddedMarkerCountsOnlyOnceSaved() {
    WindowTestHarness h;
    FOptionen* options = h.app().fOptionen();
    auto* e1 = Find<QLineEdit>(options, QStringLiteral("e1"));
    click(options, QStringLiteral("BHinzu")); // empty edit: nothing
    QTest::keyClicks(e1, QStringLiteral(" X"));
    click(options, QStringLiteral("BHinzu"));
    QCOMPARE(listEntries(options).last(), QStringLiteral(" X")); // as typed, not trimmed
    QCOMPARE(e1->text(), QStringLiteral(" X"));
    QVERIFY(!IsHandChange(" X"));

    click(options, QStringLiteral("BSave2"));
    QVERIFY(IsHandChange(" X"));
    QCOMPARE(ReadBytes(h.dataDir() + QStringLiteral("HWListe.txt")),
             QByteArray("-\r\n--\r\n---\r\n----\r\nHW\r\n X\r\n"));
    QVERIFY(h.dialogs().calls.isEmpty());
  }

  // Enter in "Neuer Eintrag" adds the entry and stores nothing; saving by keyboard works
  // with the underlined Alt+P and with Ctrl+S.
  void keyboardAddsWithEnterAndSavesByShortcut_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Alt+P") << int(Qt::Key_P) << int(Qt::AltModifier);
    QTest::newRow("Ctrl+S") << int(Qt::Key_S) << int(Qt::ControlModifier);
  }

  void keyboardAddsWithEnterAndSavesByShortcut() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    WindowTestHarness h;
    FOptionen* options = h.app().fOptionen();
    options->show();
    options->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(options));

    auto* e1 = Find<QLineEdit>(options, QStringLiteral("e1"));
    e1->setFocus();
    QTest::keyClicks(e1, QStringLiteral("X"));
    QTest::keyClick(e1, Qt::Key_Return);
    QCOMPARE(listEntries(options), (QStringList{"-", "--", "---", "----", "HW", "X"}));
    QVERIFY(!QFile::exists(h.dataDir() + QStringLiteral("HWListe.txt")));
    QVERIFY(!QFile::exists(h.dataDir() + QStringLiteral("optionen.ini")));
    for (QPushButton* button : options->findChildren<QPushButton*>())
      QVERIFY2(!button->autoDefault() && !button->isDefault(), qPrintable(button->objectName()));

    QTest::keyClick(e1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTRY_VERIFY(QFile::exists(h.dataDir() + QStringLiteral("HWListe.txt")));
    QCOMPARE(ReadBytes(h.dataDir() + QStringLiteral("HWListe.txt")),
             QByteArray("-\r\n--\r\n---\r\n----\r\nHW\r\nX\r\n"));
    QVERIFY(QFile::exists(h.dataDir() + QStringLiteral("optionen.ini")));
    QCOMPARE(listEntries(options).size(), 6); // saving added nothing
    QVERIFY(h.dialogs().calls.isEmpty());
    options->hide();
  }

  void choosingAndClearingStartFiles_data() {
    QTest::addColumn<QString>("choose");
    QTest::addColumn<QString>("clear");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<bool>("inPermanenceDir");
    QTest::newRow("permanence") << "Button8"
                                << "Button7"
                                << "EPerm"
                                << "Permanenzen (*.prm);;Text-Dateien (*.txt);;Alle Dateien (*.*)"
                                << "prm" << true;
    QTest::newRow("stakes") << "Button10"
                            << "Button9"
                            << "EEinsatz"
                            << "Einsatz-Staffelung (*.set)"
                            << "set" << false;
    QTest::newRow("sectors") << "Button6"
                             << "Button5"
                             << "ESekt"
                             << "Sektoreneinteilung (*.sekt)"
                             << "" << false;
  }

  void choosingAndClearingStartFiles() {
    QFETCH(QString, choose);
    QFETCH(QString, clear);
    QFETCH(QString, edit);
    QFETCH(QString, filter);
    QFETCH(QString, suffix);
    QFETCH(bool, inPermanenceDir);
    WindowTestHarness h;
    FOptionen* options = h.app().fOptionen();
    const QString path = QStringLiteral("/ein/sehr/langer/ordner/mit/vielen/teilen/datei.x");
    h.dialogs().openAnswers.enqueue({path});
    click<QToolButton>(options, choose);
    const auto& request = h.dialogs().calls[0].request;
    QCOMPARE(request.title, QStringLiteral("Datei auswählen"));
    QCOMPARE(request.filter, filter);
    QCOMPARE(request.defaultSuffix, suffix);
    QCOMPARE(request.startDir, inPermanenceDir ? PermanenceDir() : DataDir());
    QVERIFY(!request.multiple);
    QCOMPARE(Find<QLineEdit>(options, edit)->text(), shown(QStringLiteral("datei.x")));
    const StartFiles& files = h.app().workspace().startFiles();
    QCOMPARE(files.StartPermanenceFile + files.StartStakeFile + files.StartSectorFile,
             QDir::toNativeSeparators(path));
    QVERIFY(!QFile::exists(h.dataDir() + QStringLiteral("optionen.ini"))); // not saved

    click<QToolButton>(options, choose); // cancelled: unchanged
    QCOMPARE(Find<QLineEdit>(options, edit)->text(), shown(QStringLiteral("datei.x")));
    click<QToolButton>(options, clear);
    QCOMPARE(Find<QLineEdit>(options, edit)->text(), QString());
    QCOMPARE(h.app().workspace().startFiles(), StartFiles());
  }

  void savedStartPermanenceIsLoadedAtTheNextStart() {
    QTemporaryDir files;
    const QString permanence = files.filePath(QStringLiteral("start.prm"));
    QVERIFY(WriteBytes(permanence, "Spielbank\r\n17\r\n0\r\n"));
    QByteArray ini;
    {
      WindowTestHarness h;
      h.dialogs().openAnswers.enqueue({permanence});
      click<QToolButton>(h.app().fOptionen(), QStringLiteral("Button8"));
      click(h.app().fOptionen(), QStringLiteral("BSave"));
      ini = ReadBytes(h.dataDir() + QStringLiteral("optionen.ini"));
      QVERIFY(h.dialogs().calls.size() == 1);
    }
    {
      WindowTestHarness h(false);
      QVERIFY(WriteBytes(h.dataDir() + QStringLiteral("optionen.ini"), ini));
      h.app().CreateWindows();
      QCOMPARE(h.app().fHaupt()->memo()->toPlainText(), QStringLiteral("Spielbank\n17\n0"));
      QCOMPARE(h.app().fHaupt()->table().UsedRows(), 0); // loaded, not transferred
      QCOMPARE(Find<QLineEdit>(h.app().fOptionen(), QStringLiteral("EPerm"))->text(),
               shown(QStringLiteral("start.prm")));
    }
    {
      // The file is gone: nothing loaded, nothing said.
      QVERIFY(QFile::remove(permanence));
      WindowTestHarness h(false);
      QVERIFY(WriteBytes(h.dataDir() + QStringLiteral("optionen.ini"), ini));
      h.app().CreateWindows();
      QCOMPARE(h.app().fHaupt()->memo()->toPlainText(), QString());
      QVERIFY(h.dialogs().calls.isEmpty());
    }
  }

  // Users whose folders hold Polish, Czech or Cyrillic letters: the start-up file and a
  // marker outside Windows-1252 are saved and read back at the next start.
  void startFileAndMarkerOutsideWindows1252LastBeyondTheRun() {
    QTemporaryDir files;
    const QString permanence = files.filePath(QStringLiteral("Łódź.prm"));
    QVERIFY(WriteBytes(permanence, "Spielbank\r\n17\r\n0\r\n"));
    QByteArray ini;
    QByteArray list;
    {
      WindowTestHarness h;
      FOptionen* options = h.app().fOptionen();
      h.dialogs().openAnswers.enqueue({permanence});
      click<QToolButton>(options, QStringLiteral("Button8"));
      Find<QLineEdit>(options, QStringLiteral("e1"))->insert(QStringLiteral("ХВ"));
      click(options, QStringLiteral("BHinzu"));
      click(options, QStringLiteral("BSave"));
      QCOMPARE(h.dialogs().calls.size(), 1); // the file dialog only, no error
      ini = ReadBytes(h.dataDir() + QStringLiteral("optionen.ini"));
      list = ReadBytes(h.dataDir() + QStringLiteral("HWListe.txt"));
      QVERIFY(ini.startsWith("\xEF\xBB\xBF"));
      QCOMPARE(list, QByteArray("\xEF\xBB\xBF-\r\n--\r\n---\r\n----\r\nHW\r\nХВ\r\n"));
    }
    WindowTestHarness h(false);
    QVERIFY(WriteBytes(h.dataDir() + QStringLiteral("optionen.ini"), ini));
    QVERIFY(WriteBytes(h.dataDir() + QStringLiteral("HWListe.txt"), list));
    h.app().CreateWindows();
    QVERIFY(h.dialogs().calls.isEmpty());
    QCOMPARE(h.app().workspace().startFiles().StartPermanenceFile,
             QDir::toNativeSeparators(permanence));
    QCOMPARE(edit(h.app().fOptionen(), "EPerm"), shown(QStringLiteral("Łódź.prm")));
    QCOMPARE(h.app().fHaupt()->memo()->toPlainText(), QStringLiteral("Spielbank\n17\n0"));
    QCOMPARE(listEntries(h.app().fOptionen()).last(), QStringLiteral("ХВ"));
    QVERIFY(IsHandChange("ХВ"));
  }

  // optionen.ini and HWListe.txt are written or reported each on its own, and a marker
  // leaves the list box only when the list without it was saved.
  void eachFileIsWrittenOrReportedOnItsOwn_data() {
    QTest::addColumn<bool>("settingsBlocked");
    QTest::addColumn<bool>("listBlocked");
    QTest::newRow("settings file blocked") << true << false;
    QTest::newRow("list file blocked") << false << true;
    QTest::newRow("both blocked") << true << true;
  }

  void eachFileIsWrittenOrReportedOnItsOwn() {
    QFETCH(bool, settingsBlocked);
    QFETCH(bool, listBlocked);
    WindowTestHarness h;
    FOptionen* options = h.app().fOptionen();
    const QString settingsFile = h.dataDir() + QStringLiteral("optionen.ini");
    const QString listFile = h.dataDir() + QStringLiteral("HWListe.txt");
    // A folder in a file's place: that file cannot be written.
    if (settingsBlocked)
      QVERIFY(QDir().mkpath(settingsFile));
    if (listBlocked)
      QVERIFY(QDir().mkpath(listFile));
    const auto errors = [&] {
      QStringList texts;
      for (const auto& call : h.dialogs().calls)
        if (call.kind == QStringLiteral("error"))
          texts << call.text;
      return texts;
    };
    const auto expectErrors = [&] {
      const QStringList texts = errors();
      QCOMPARE(texts.size(), int(settingsBlocked) + int(listBlocked));
      QCOMPARE(texts.filter(QStringLiteral("optionen.ini")).size(), int(settingsBlocked));
      QCOMPARE(texts.filter(QStringLiteral("HWListe.txt")).size(), int(listBlocked));
    };

    QTest::keyClicks(Find<QLineEdit>(options, QStringLiteral("e1")), QStringLiteral("X"));
    click(options, QStringLiteral("BHinzu"));
    click(options, QStringLiteral("BSave"));
    expectErrors();
    QCOMPARE(QFileInfo(settingsFile).isFile(), !settingsBlocked);
    QCOMPARE(QFileInfo(listFile).isFile(), !listBlocked);
    QCOMPARE(IsHandChange("X"), !listBlocked);

    h.dialogs().calls.clear();
    select(options, 1);
    h.dialogs().answers.enqueue(Answer::Yes);
    click(options, QStringLiteral("BDel"));
    expectErrors();
    const QStringList all{"-", "--", "---", "----", "HW", "X"};
    QCOMPARE(listEntries(options),
             listBlocked ? all : QStringList({"-", "---", "----", "HW", "X"}));
    QCOMPARE(IsHandChange("--"), listBlocked);
    if (!listBlocked)
      QCOMPARE(ReadBytes(listFile), QByteArray("-\r\n---\r\n----\r\nHW\r\nX\r\n"));
  }

  void anEmptySavedListStaysEmpty() {
    WindowTestHarness h(false);
    QVERIFY(WriteBytes(h.dataDir() + QStringLiteral("HWListe.txt"), QByteArray()));
    h.app().CreateWindows();
    QCOMPARE(listEntries(h.app().fOptionen()), QStringList());
    QCOMPARE(padHandChangeLabel(h.app().fHaupt()), QStringLiteral("---"));
    FHaupt* main = h.app().fHaupt();
    main->memo()->setPlainText(QStringLiteral("1\n-\nHW\n50\n2"));
    click(main, QStringLiteral("BTransfer"));
    QCOMPARE(main->table().HandChangeCount(), 2); // the pad's and "50"
    QCOMPARE(main->table().CoupCount(), 2);
  }
};

QTEST_MAIN(FOptionenTest)
#include "test_foptionen.moc"
