// The random number generator as a user meets it: counts, blocks in the list, the stored
// default, saving as a permanence file and the transfer into the main window.
#include "files/Folders.h"
#include "files/Settings.h"
#include "support/WindowActions.h"
#include "tools/RandomBlockTime.h"
#include "tools/RandomGenerator.h"
#include "ui/FHaupt.h"
#include "ui/FZufall.h"
#include "ui/Help.h"
#include "ui/HelpWindow.h"
#include "ui/MemoEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>

using namespace kw;
using namespace kw::test;

namespace {

const QString CountMessage =
    QString::fromUtf8(RandomCountMessage.data(), static_cast<qsizetype>(RandomCountMessage.size()));

QStringList listLines(FZufall* window) {
  const QAbstractItemModel* model = Find<QListView>(window, QStringLiteral("L1"))->model();
  QStringList lines;
  for (int row = 0; row < model->rowCount(); ++row)
    lines << model->index(row, 0).data().toString();
  return lines;
}

void generate(FZufall* window, const QString& count) {
  auto* edit = Find<QLineEdit>(window, QStringLiteral("Edit1"));
  edit->clear();
  QTest::keyClicks(edit, count);
  click(window, "Button3");
}

// Every line of a block after its three heading lines is a number 0..36.
void verifyBlock(const QStringList& lines, int first, const QString& countText, int count) {
  QCOMPARE(lines.value(first), QStringLiteral("Zufallszahlen"));
  // The date with its year in four digits, as the save dialog writes it.
  QVERIFY2(lines.value(first + 1).startsWith(
               QLocale().toString(QDate::currentDate(), FullYearDateFormat()) + QLatin1Char(' ')),
           qPrintable(lines.value(first + 1)));
  QCOMPARE(lines.value(first + 2), QStringLiteral("Anzahl: ") + countText);
  for (int i = 0; i < count; ++i) {
    bool ok = false;
    const int n = lines.value(first + 3 + i).toInt(&ok);
    QVERIFY2(ok && n >= 0 && n <= 36, qPrintable(lines.value(first + 3 + i)));
  }
}

} // namespace

class FZufallTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { PrepareApplication(); }

  void blocksAppendBelowEachOther() {
    WindowTestHarness h;
    FZufall* zufall = h.app().fZufall();
    generate(zufall, QStringLiteral("1"));
    QStringList lines = listLines(zufall);
    QCOMPARE(lines.size(), 4);
    verifyBlock(lines, 0, QStringLiteral("1"), 1);

    click(zufall, "BDel");
    QVERIFY(listLines(zufall).isEmpty());
    generate(zufall, QStringLiteral("5"));
    generate(zufall, QStringLiteral("3"));
    lines = listLines(zufall);
    QCOMPARE(lines.size(), 14);
    verifyBlock(lines, 0, QStringLiteral("5"), 5);
    verifyBlock(lines, 8, QStringLiteral("3"), 3);

    // The count is shown as typed.
    generate(zufall, QStringLiteral("007"));
    lines = listLines(zufall);
    QCOMPARE(lines.size(), 24);
    verifyBlock(lines, 14, QStringLiteral("007"), 7);
    QVERIFY(h.dialogs().calls.isEmpty());

    click(zufall, "Button2");
    QCOMPARE(Help::instance().window()->currentContext(), 2000);
    Help::instance().window()->close();
  }

  void countsWithoutNumbersAreRefused_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::newRow("0") << "0"
                       << "";
    QTest::newRow("00") << "00"
                        << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("pasted letters") << ""
                                    << "12a";
    QTest::newRow("pasted blank") << ""
                                  << " 5";
    QTest::newRow("pasted minus") << ""
                                  << "-3";
  }

  void countsWithoutNumbersAreRefused() {
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    WindowTestHarness h;
    FZufall* zufall = h.app().fZufall();
    auto* edit = Find<QLineEdit>(zufall, QStringLiteral("Edit1"));
    edit->clear();
    QTest::keyClicks(edit, typed);
    if (!pasted.isEmpty()) {
      QApplication::clipboard()->setText(pasted);
      edit->paste();
      QCOMPARE(edit->text(), pasted);
    }
    click(zufall, "Button3");
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(h.dialogs().calls[0].kind, QStringLiteral("error"));
    QCOMPARE(h.dialogs().calls[0].text, CountMessage);
    QVERIFY(listLines(zufall).isEmpty());
  }

  void typedCharactersOtherThanDigitsAreDropped() {
    WindowTestHarness h;
    auto* edit = Find<QLineEdit>(h.app().fZufall(), QStringLiteral("Edit1"));
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("1x2 -3.456"));
    QCOMPARE(edit->text(), QStringLiteral("12345")); // at most five characters
  }

  void countIsReadAtCreationAndStoredByItsButton() {
    {
      WindowTestHarness h;
      auto* edit = Find<QLineEdit>(h.app().fZufall(), QStringLiteral("Edit1"));
      QCOMPARE(edit->text(), QStringLiteral("370"));
      QVERIFY(!QFile::exists(SettingsFilePath())); // generating alone stores nothing
      edit->clear();
      QTest::keyClicks(edit, QStringLiteral("042"));
      click(h.app().fZufall(), "Button4");
      QCOMPARE(ReadRandomCount(), QStringLiteral("042"));
      QVERIFY(h.dialogs().calls.isEmpty());
    }
    WindowTestHarness h(false);
    QVERIFY(Settings().WriteText("Zufall", "Anzahl", QStringLiteral("25")).isEmpty());
    h.app().CreateWindows();
    QCOMPARE(Find<QLineEdit>(h.app().fZufall(), QStringLiteral("Edit1"))->text(),
             QStringLiteral("25"));
  }

  void savesTheListAsAPermanenceFile() {
    WindowTestHarness h;
    FZufall* zufall = h.app().fZufall();
    click(zufall, "Button5");
    QCOMPARE(h.dialogs().calls.value(0).text,
             QStringLiteral("Die Liste ist leer, so dass es nicht zu speichern gibt.\r\rIch breche "
                            "ab."));

    generate(zufall, QStringLiteral("370"));
    h.dialogs().calls.clear();
    click(zufall, "Button5"); // cancelled: nothing written
    QCOMPARE(h.dialogs().calls.size(), 1);
    const Dialogs::FileRequest request = h.dialogs().calls[0].request;
    QVERIFY(request.filter.startsWith(QStringLiteral("Permanenz-Format (*.prm)")));
    QCOMPARE(request.defaultSuffix, QStringLiteral("prm"));
    QCOMPARE(request.startDir, PermanenceDir());

    const QString path = h.dataDir() + QStringLiteral("zufall.prm");
    h.dialogs().saveAnswers.enqueue(path);
    click(zufall, "Button5");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QList<QByteArray> written = bytes.split('\n');
    QCOMPARE(written.takeLast(), QByteArray()); // the last line ends with CR LF too
    QCOMPARE(written.size(), 373);
    const QStringList lines = listLines(zufall);
    for (int i = 0; i < written.size(); ++i)
      QCOMPARE(written[i], (lines[i] + QLatin1Char('\r')).toLatin1());

    // A file that cannot be written: the message, and the list stays as it is.
    h.dialogs().calls.clear();
    h.dialogs().saveAnswers.enqueue(h.dataDir() + QStringLiteral("fehlt/zufall.prm"));
    click(zufall, "Button5");
    QCOMPARE(h.dialogs().calls.size(), 2);
    QCOMPARE(h.dialogs().calls[1].kind, QStringLiteral("error"));
    QVERIFY(h.dialogs().calls[1].text.contains(QStringLiteral("zufall.prm")));
    QCOMPARE(listLines(zufall), lines);
  }

  // The first opening centres the generator on the main window; later ones keep its place.
  void opensCentredOnTheMainWindow() {
    WindowTestHarness h;
    FHaupt* main = h.app().fHaupt();
    main->move(200, 100);
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    h.app().open(Command::Zufall);
    FZufall* zufall = h.app().fZufall();
    QVERIFY(QTest::qWaitForWindowExposed(zufall));
    const QPoint offset = zufall->frameGeometry().center() - main->frameGeometry().center();
    QVERIFY2(qAbs(offset.x()) <= 2 && qAbs(offset.y()) <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
    zufall->move(10, 10);
    zufall->close();
    h.app().open(Command::Zufall);
    QCOMPARE(zufall->pos(), QPoint(10, 10));
  }

  void transferFillsTheMainWindowsTextBox() {
    WindowTestHarness h;
    FZufall* zufall = h.app().fZufall();
    MemoEdit* m1 = h.app().fHaupt()->memo();
    click(zufall, "Button6");
    QCOMPARE(h.dialogs().calls.value(0).text,
             QStringLiteral("Die Liste ist leer, so dass es nicht zu übertragen gibt.\r\rIch "
                            "breche ab."));
    QVERIFY(m1->isEmpty());

    generate(zufall, QStringLiteral("4"));
    h.dialogs().calls.clear();
    click(zufall, "Button6"); // an empty text box takes the list without a question
    QVERIFY(h.dialogs().calls.isEmpty());
    QCOMPARE(m1->toPlainText().split(QLatin1Char('\n')), listLines(zufall));

    m1->setPlainText(QStringLiteral("17\n4"));
    generate(zufall, QStringLiteral("2"));
    h.dialogs().calls.clear();
    for (Dialogs::Answer answer : {Dialogs::Answer::No, Dialogs::Answer::Cancel}) {
      h.dialogs().answers.enqueue(answer);
      click(zufall, "Button6");
      QCOMPARE(m1->toPlainText(), QStringLiteral("17\n4"));
    }
    h.dialogs().answers.enqueue(Dialogs::Answer::Yes);
    click(zufall, "Button6");
    QCOMPARE(h.dialogs().calls.size(), 3);
    for (const auto& call : h.dialogs().calls) {
      QCOMPARE(call.kind, QStringLiteral("confirm"));
      QCOMPARE(call.text,
               QStringLiteral("Das Textfeld im Hauptfenster ist nicht leer. Wenn dessen Inhalt "
                              "mit der Liste überschrieben werden soll, antworten Sie mit "
                              "\"Ja\".\r\rAndernfalls breche ich ab."));
      QCOMPARE(call.buttons, Dialogs::YesButton | Dialogs::NoButton | Dialogs::CancelButton);
    }
    QCOMPARE(m1->toPlainText().split(QLatin1Char('\n')), listLines(zufall));
    QCOMPARE(listLines(zufall).size(), 4 + 3 + 2 + 3);  // the list keeps its lines
    QCOMPARE(h.app().fHaupt()->table().CoupCount(), 0); // the table is not touched
  }
};

QTEST_MAIN(FZufallTest)
#include "test_fzufall.moc"
