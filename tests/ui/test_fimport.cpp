// The import as a user meets it in the main window: "Datei → Importieren..." and dropped files,
// the import dialog's report over the real permanences, the way into M1 and the table, the
// permanence files whole or split and read back, the question before replacing, cancelling
// large files, and bad input.
#include "files/Folders.h"
#include "files/HandChangeMarkers.h"
#include "files/PermanenceFiles.h"
#include "files/PermanenceImport.h"
#include "support/TestFiles.h"
#include "support/WindowActions.h"
#include "ui/FHaupt.h"
#include "ui/FImport.h"
#include "ui/MemoEdit.h"
#include "workspace/Workspace.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <functional>

using namespace kw;
using namespace kw::test;

namespace {

using Answer = Dialogs::Answer;
using Rows = std::vector<uint8_t>;

const QString T1 = QStringLiteral("spielbank-wiesbaden_t1_190424.txt");
const QString T2 = QStringLiteral("spielbank-wiesbaden_t2_190424.txt");
const QString Spins = QStringLiteral("mmassom96_Computer_Vision_Utilities_spins.csv");

// Acts once on the visible top-level window of that name as soon as it shows, also inside the
// modal loops of the import; the watch ends with its scope.
void whenShown(QObject* scope, const QString& name, std::function<void(QWidget*)> act) {
  auto* timer = new QTimer(scope);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, scope, [timer, name, act] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window->objectName() == name && window->isVisible()) {
        timer->stop();
        act(window);
        return;
      }
    }
  });
  timer->start();
}

QString text(QWidget* window, const char* name) {
  auto* label = Find<QLabel>(window, QLatin1String(name));
  return label ? label->text() : QStringLiteral("(kein %1)").arg(QLatin1String(name));
}

// "Datei → Importieren..." with these files chosen in the open dialog.
void importThroughMenu(WindowTestHarness& h, const QStringList& paths) {
  h.dialogs().openAnswers.enqueue(paths);
  auto* action = h.app().fHaupt()->findChild<QAction*>(QStringLiteral("miImportieren"));
  QVERIFY(action);
  QCOMPARE(action->text(), QStringLiteral("&Importieren..."));
  action->trigger();
}

// Drops the files onto the main window as a file manager would.
void dropOnto(QWidget* target, const QStringList& paths) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& path : paths)
    urls << QUrl::fromLocalFile(path);
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  QVERIFY(drop.isAccepted());
  QCoreApplication::processEvents(); // the import runs after the drop has ended
}

void chooseFiles(QWidget* dialog, int coupsPerFile) {
  Find<QRadioButton>(dialog, QStringLiteral("rbDateien"))->setChecked(true);
  Find<QCheckBox>(dialog, QStringLiteral("cbTeilen"))->setChecked(coupsPerFile > 0);
  if (coupsPerFile > 0)
    Find<QSpinBox>(dialog, QStringLiteral("seCoups"))->setValue(coupsPerFile);
}

// Everything in the permanence folder, a staging folder left behind included.
QStringList permanenceFolder() {
  return QDir(PermanenceDir())
      .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

Rows importedRows(const QString& path) {
  const ImportAnalysis analysis =
      AnalysePermanenceImport(path, ImportRequest{HandChangeList(), {}});
  return analysis.parse.rows;
}

void clickCancelOn(QProgressDialog* progress) {
  for (QPushButton* button : progress->findChildren<QPushButton*>())
    if (button->text() == QLatin1String("Abbrechen"))
      QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class FImportTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { PrepareApplication(); }

  // The Wiesbaden list: the dialog reports it, M1 takes its lines (after asking, since M1 holds
  // text), and "In Tabelle übertragen" puts every coup into the table in file order.
  void theWiesbadenListGoesThroughM1IntoTheTable() {
    WindowTestHarness h;
    FHaupt* main = h.app().fHaupt();
    main->memo()->setPlainText(QStringLiteral("alt"));
    const QString path = SharedDataFile(T1);
    h.dialogs().answers.enqueue(Answer::No);
    h.dialogs().answers.enqueue(Answer::Yes);
    QObject scope;
    int shown = 0;
    whenShown(&scope, QStringLiteral("FImport"), [&](QWidget* dialog) {
      ++shown;
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Kesselwerk"));
      QCOMPARE(text(dialog, "LFormat"), QStringLiteral("Zahlenliste"));
      QCOMPARE(text(dialog, "LCoups"), QStringLiteral("187.630"));
      QCOMPARE(text(dialog, "LHandwechsel"), QStringLiteral("0"));
      QCOMPARE(text(dialog, "LUebersprungen"), QStringLiteral("0"));
      QVERIFY(!Find<QLabel>(dialog, QStringLiteral("LDoppelnull"))->isVisibleTo(dialog));
      QVERIFY(!Find<QComboBox>(dialog, QStringLiteral("cbSpalte"))->isEnabled());
      QVERIFY(!Find<QListWidget>(dialog, QStringLiteral("LDateien"))->isVisibleTo(dialog));
      auto* preview = Find<QTableWidget>(dialog, QStringLiteral("GVorschau"));
      QCOMPARE(preview->rowCount(), 100);
      QCOMPARE(preview->item(6, 0)->text(), QStringLiteral("2")); // line 2 starts with 4
      QCOMPARE(preview->item(6, 1)->text(), QStringLiteral("4"));
      QCOMPARE(preview->item(6, 2)->text(), QStringLiteral("Coup 4"));
      QVERIFY(Find<QRadioButton>(dialog, QStringLiteral("rbTextfeld"))->isChecked());
      click(dialog, "BImportieren"); // "No": M1 keeps its text, the dialog stays
      QCOMPARE(main->memo()->toPlainText(), QStringLiteral("alt"));
      QVERIFY(dialog->isVisible());
      click(dialog, "BImportieren");
    });
    importThroughMenu(h, {path});
    QCOMPARE(shown, 1);
    QCOMPARE(h.dialogs().calls.size(), 3); // the open dialog and the question twice
    QCOMPARE(h.dialogs().calls[0].request.title, QStringLiteral("Permanenz importieren"));
    QCOMPARE(h.dialogs().calls[1].text,
             QStringLiteral("Das Textfeld der Zentrale enthält schon Zeilen.\r\rSollen sie "
                            "durch die importierte Permanenz ersetzt werden?"));
    QCOMPARE(main->memo()->lineCount(), 187'630);
    QCOMPARE(main->memo()->lines().front(), QStringLiteral("12"));

    click(main, "BTransfer");
    QCOMPARE(h.app().workspace().table().CoupCount(), 187'630);
    QCOMPARE(h.app().workspace().table().RowValues(), importedRows(path));
    QVERIFY(permanenceFolder().isEmpty());
  }

  // The camera table dropped onto the main window: the column "outcome" is proposed, the double
  // zeros and "NO OUTCOME" are reported; another column is refused in the dialog; split into
  // files of 50 coups, the files read back through the main window and the multi-file reader
  // give the same permanence.
  void theCameraTableSplitIntoFilesReadsBackTheSame() {
    WindowTestHarness h;
    FHaupt* main = h.app().fHaupt();
    const QString path = SharedDataFile(Spins);
    QObject scope;
    whenShown(&scope, QStringLiteral("FImport"), [&](QWidget* dialog) {
      auto* column = Find<QComboBox>(dialog, QStringLiteral("cbSpalte"));
      QCOMPARE(column->count(), 6);
      QCOMPARE(column->currentIndex(), 5);
      QCOMPARE(column->currentText(),
               QString::fromUtf8("Spalte 6 \xE2\x80\x9Eoutcome\xE2\x80\x9C (vorgeschlagen)"));
      QCOMPARE(text(dialog, "LCoups"), QStringLiteral("233"));
      QCOMPARE(text(dialog, "LUebersprungen"), QStringLiteral("1"));
      QCOMPARE(text(dialog, "LBeispiele"),
               QStringLiteral("Übersprungen wurden:\nZeile 101: NO OUTCOME"));
      QCOMPARE(text(dialog, "LDoppelnull"),
               QString::fromUtf8("Doppelnull: 7 \xE2\x80\x94 diese Permanenz stammt von einem "
                                 "Kessel mit Doppelnull"));
      QVERIFY(Find<QLabel>(dialog, QStringLiteral("LDoppelnull"))->isVisibleTo(dialog));

      // The column "center_x" holds no roulette number: said in the dialog, nothing to import.
      column->setCurrentIndex(3);
      emit column->activated(3);
      QCOMPARE(text(dialog, "LCoups"), QStringLiteral("0"));
      QVERIFY(Find<QLabel>(dialog, QStringLiteral("LFehler"))->isVisibleTo(dialog));
      QVERIFY(text(dialog, "LFehler").contains(QStringLiteral("keinen Coup")));
      QVERIFY(!Find<QPushButton>(dialog, QStringLiteral("BImportieren"))->isEnabled());
      column->setCurrentIndex(5);
      emit column->activated(5);
      QCOMPARE(text(dialog, "LCoups"), QStringLiteral("233"));
      QVERIFY(Find<QPushButton>(dialog, QStringLiteral("BImportieren"))->isEnabled());

      chooseFiles(dialog, 50);
      QCOMPARE(text(dialog, "LAusgabe"),
               QStringLiteral("Ordner: %1\nEs entstehen 5 Dateien: "
                              "mmassom96_Computer_Vision_Utilities_spins_0001.prm bis "
                              "mmassom96_Computer_Vision_Utilities_spins_0005.prm.")
                   .arg(QDir::toNativeSeparators(QDir(PermanenceDir()).absolutePath())));
      click(dialog, "BImportieren");
    });
    dropOnto(main, {path});

    QStringList names;
    for (int k = 1; k <= 5; ++k)
      names << QStringLiteral("mmassom96_Computer_Vision_Utilities_spins_%1.prm")
                   .arg(k, 4, 10, QLatin1Char('0'));
    QCOMPARE(permanenceFolder(), names);
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(h.dialogs().calls[0].kind, QStringLiteral("information"));
    QVERIFY(h.dialogs().calls[0].text.startsWith(QStringLiteral("Es wurden 5 Permanenz-Dateien")));

    QStringList files;
    for (const QString& name : names)
      files << PermanenceDir() + name;
    const Rows expected = importedRows(path);
    const FilePermanences read = ReadPermanenceFiles(files, HandChangeList(), {.threads = 2});
    QVERIFY(read.ok());
    Rows together;
    for (size_t k = 0; k < read.PermanenceData.size(); ++k) {
      QCOMPARE(read.PermanenceData[k].size(), k < 4 ? size_t{50} : size_t{33});
      together.insert(together.end(), read.PermanenceData[k].begin(), read.PermanenceData[k].end());
    }
    QCOMPARE(together, expected);
    // Each file on its own goes whole through M1 into the table.
    for (const QString& file : files) {
      h.dialogs().openAnswers.enqueue({file});
      click(main, "BOpen");
      h.dialogs().answers.enqueue(Answer::Yes); // append to the table
      click(main, "BTransfer");
    }
    QCOMPARE(h.app().workspace().table().RowValues(), expected);
  }

  // A permanence that opens with a hand change written as "----" and holds two coups: its lines
  // in M1 go whole into the table (the first marker shortened, information lines above).
  void aShortPermanenceWithAHandChangeOnTopTransfersWhole() {
    WindowTestHarness h;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kurz.txt"));
    writeFile(path, "----;17;4\r\n");
    FHaupt* main = h.app().fHaupt();
    QObject scope;
    whenShown(&scope, QStringLiteral("FImport"),
              [&](QWidget* dialog) { click(dialog, "BImportieren"); });
    dropOnto(main, {path});
    QCOMPARE(
        main->memo()->lines(),
        (std::vector<QString>{QStringLiteral("Importierte Permanenz"), QStringLiteral("Coups: 2"),
                              QStringLiteral("-"), QStringLiteral("17"), QStringLiteral("4")}));
    click(main, "BTransfer");
    QCOMPARE(h.app().workspace().table().RowValues(), (Rows{50, 17, 4}));
  }

  // Files of those names exist: replaced only after "Ja"; on "Nein" nothing is written.
  void existingFilesAreReplacedOnlyWhenTheUserSaysSo_data() {
    QTest::addColumn<bool>("replace");
    QTest::newRow("Nein") << false;
    QTest::newRow("Ja") << true;
  }

  void existingFilesAreReplacedOnlyWhenTheUserSaysSo() {
    QFETCH(bool, replace);
    WindowTestHarness h;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tisch1.txt"));
    writeFile(path, "1,2,3,4,5,6,7,8,9,10,11,12\r\n");
    PrepareFolders();
    writeFile(PermanenceDir() + QStringLiteral("Tisch1_0002.prm"), "alt\r\n");
    h.dialogs().answers.enqueue(replace ? Answer::Yes : Answer::No);
    QObject scope;
    whenShown(&scope, QStringLiteral("FImport"), [&](QWidget* dialog) {
      chooseFiles(dialog, 5);
      click(dialog, "BImportieren");
      if (dialog->isVisible())
        click(dialog, "BAbbrechen");
    });
    importThroughMenu(h, {path});
    QCOMPARE(h.dialogs().calls[1].kind, QStringLiteral("confirm"));
    QCOMPARE(h.dialogs().calls[1].text,
             QStringLiteral("Die Datei Tisch1_0002.prm gibt es schon im Permanenz-Ordner.\r\r"
                            "Soll sie ersetzt werden?"));
    if (!replace) {
      QCOMPARE(permanenceFolder(), QStringList{QStringLiteral("Tisch1_0002.prm")});
      QCOMPARE(ReadBytes(PermanenceDir() + QStringLiteral("Tisch1_0002.prm")), "alt\r\n");
      return;
    }
    // 12 coups in files of 5: the remainder of two joins the second file.
    QCOMPARE(permanenceFolder(),
             (QStringList{QStringLiteral("Tisch1_0001.prm"), QStringLiteral("Tisch1_0002.prm")}));
    QCOMPARE(ReadBytes(PermanenceDir() + QStringLiteral("Tisch1_0002.prm")),
             "6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12\r\n");
  }

  // The large list: "Abbrechen" while it is read ends the import before the dialog; while the
  // split files are written, it leaves the permanence folder as it was.
  void cancellingALargeImportWritesNothing_data() {
    QTest::addColumn<bool>("whileWriting");
    QTest::newRow("while reading") << false;
    QTest::newRow("while writing") << true;
  }

  void cancellingALargeImportWritesNothing() {
    QFETCH(bool, whileWriting);
    WindowTestHarness h;
    FHaupt* main = h.app().fHaupt();
    main->memo()->setPlainText(QStringLiteral("bleibt"));
    PrepareFolders();
    bool progressShown = false;
    const auto cancelProgress = [&] {
      QTimer::singleShot(0, [&] {
        auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        progressShown = progress && progress->objectName() == QLatin1String("ImportProgress") &&
                        progress->isVisible();
        if (progressShown)
          clickCancelOn(progress);
      });
    };
    QObject scope;
    bool dialogShown = false;
    whenShown(&scope, QStringLiteral("FImport"), [&](QWidget* dialog) {
      dialogShown = true;
      QCOMPARE(text(dialog, "LCoups"), QStringLiteral("1.089.156"));
      chooseFiles(dialog, 370);
      cancelProgress();
      click(dialog, "BImportieren");
      QVERIFY(dialog->isVisible());
      click(dialog, "BAbbrechen");
    });
    if (!whileWriting)
      cancelProgress();
    importThroughMenu(h, {SharedDataFile(T2)});
    QVERIFY(progressShown);
    QCOMPARE(dialogShown, whileWriting);
    QCOMPARE(permanenceFolder(), QStringList());
    QCOMPARE(main->memo()->toPlainText(), QStringLiteral("bleibt"));
    if (whileWriting) {
      QCOMPARE(h.dialogs().calls.size(), 2);
      QCOMPARE(h.dialogs().calls[1].text,
               QStringLiteral("Der Import wurde abgebrochen. Es wurde nichts geschrieben."));
    } else {
      QCOMPARE(h.dialogs().calls.size(), 1); // the open dialog only
    }
  }

  // Bad input dropped onto the main window: one German message naming the file and the reason,
  // no dialog, nothing written, M1 and the table as they were. Dropped beside a good file, the
  // bad one is named and the good one is shown alone.
  void badInputIsNamedAndWritesNothing_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("ist leer");
    QTest::newRow("binary") << QByteArray("\x7F"
                                          "ELF\x02\x01\x01\x00\x00\x00\x00\x00",
                                          12)
                            << QStringLiteral("ist keine Textdatei");
    QTest::newRow("a line of a megabyte")
        << QByteArray(1 << 20, '7') << QStringLiteral("Zeichenfolge von 1048576 Zeichen");
    QTest::newRow("a table without a column of results")
        << QByteArray("Datum,Tisch,Croupier\n1.5.,T1,Meier\n2.5.,T2,Kunz\n3.5.,T1,Roth\n")
        << QStringLiteral("in keiner Spalte eine Folge von Roulette-Zahlen");
    QTest::newRow("a folder") << QByteArray("folder") << QStringLiteral("Das ist ein Ordner.");
  }

  void badInputIsNamedAndWritesNothing() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    WindowTestHarness h;
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("schlecht.csv"));
    if (bytes == "folder")
      QVERIFY(QDir().mkpath(path));
    else
      writeFile(path, bytes);
    FHaupt* main = h.app().fHaupt();
    main->memo()->setPlainText(QStringLiteral("bleibt"));
    QObject scope;
    QStringList shownFiles;
    whenShown(&scope, QStringLiteral("FImport"), [&](QWidget* dialog) {
      auto* list = Find<QListWidget>(dialog, QStringLiteral("LDateien"));
      for (int i = 0; i < list->count(); ++i)
        shownFiles << list->item(i)->text();
      click(dialog, "BAbbrechen");
    });

    dropOnto(main, {path});
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(h.dialogs().calls[0].kind, QStringLiteral("error"));
    QVERIFY2(h.dialogs().calls[0].text.contains(QDir::toNativeSeparators(path)),
             qPrintable(h.dialogs().calls[0].text));
    QVERIFY2(h.dialogs().calls[0].text.contains(reason), qPrintable(h.dialogs().calls[0].text));
    QVERIFY(shownFiles.isEmpty());

    const QString good = dir.filePath(QStringLiteral("gut.txt"));
    writeFile(good, "1,2,3,4,5\r\n");
    dropOnto(main, {path, good});
    QCOMPARE(h.dialogs().calls.size(), 2);
    QVERIFY(h.dialogs().calls[1].text.contains(reason));
    QCOMPARE(shownFiles.size(), 1);
    QVERIFY2(shownFiles[0].startsWith(QStringLiteral("gut.txt")), qPrintable(shownFiles[0]));

    QCOMPARE(main->memo()->toPlainText(), QStringLiteral("bleibt"));
    QCOMPARE(h.app().workspace().table().UsedRows(), 0);
    QVERIFY(!QFileInfo::exists(PermanenceDir()) || permanenceFolder().isEmpty());
  }

  // A drag of something else than local files is not taken.
  void onlyLocalFilesMayBeDropped() {
    WindowTestHarness h;
    QMimeData data;
    data.setUrls({QUrl(QStringLiteral("https://example.org/liste.txt"))});
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h.app().fHaupt(), &enter);
    QVERIFY(!enter.isAccepted());
    QMimeData plain;
    plain.setText(QStringLiteral("17"));
    QDragEnterEvent text(QPoint(300, 300), Qt::CopyAction, &plain, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h.app().fHaupt(), &text);
    QVERIFY(!text.isAccepted());
  }
};

QTEST_MAIN(FImportTest)
#include "test_fimport.moc"
