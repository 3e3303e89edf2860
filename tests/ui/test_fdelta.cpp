// The delta calculator as a user meets it: choose a chance, type the coups, calculate.
#include "support/WindowTestHarness.h"
#include "ui/FDelta.h"
#include "ui/Help.h"
#include "ui/HelpWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace kw;
using namespace kw::test;

namespace {

const QStringList PanelNames = {"Panel3", "Panel4", "Panel8", "Panel2",
                                "Panel5", "Panel9", "Panel7"};

QStringList panelTexts(QWidget* window) {
  QStringList texts;
  for (const QString& name : PanelNames)
    texts << Find<QLabel>(window, name)->text();
  return texts;
}

void chooseChance(QWidget* window, int index) {
  QTest::mouseClick(Find<QRadioButton>(window, QStringLiteral("rg1_%1").arg(index)),
                    Qt::LeftButton);
}

void typeCount(QWidget* window, const QString& text) {
  auto* edit = Find<QLineEdit>(window, QStringLiteral("Edit1"));
  edit->clear();
  QTest::keyClicks(edit, text);
}

} // namespace

class FDeltaTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    PrepareApplication();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  }

  void startsEmptyOnTopWithTheFirstChance() {
    WindowTestHarness h;
    FDelta* delta = h.app().fDelta();
    QCOMPARE(delta->windowTitle(), QStringLiteral("Kesselwerk"));
    QVERIFY(delta->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(Find<QRadioButton>(delta, QStringLiteral("rg1_0"))->isChecked());
    QCOMPARE(Find<QRadioButton>(delta, QStringLiteral("rg1_9"))->text(),
             QStringLiteral("Orphelins"));
    QCOMPARE(panelTexts(delta), QStringList(7, QString()));
    QCOMPARE(Find<QLineEdit>(delta, QStringLiteral("Edit1"))->maxLength(), 8);
  }

  void calculatesTheExamples_data() {
    QTest::addColumn<int>("chance");
    QTest::addColumn<QString>("coups");
    QTest::addColumn<QStringList>("panels"); // E, E - s, s, E + s, E - 3s, 3s, E + 3s
    QTest::newRow("Einf. Chance 37")
        << 0 << "37" << QStringList{"18,00", "14,96", "3,04", "21,04", "8,88", "9,12", "27,12"};
    QTest::newRow("Zahl 100") << 6 << "100" << QStringList{"2,70", "1,08", "1,62", "4,32",
                                                           "0.00", "4,86", "7,57"};
    QTest::newRow("Große Serie 370")
        << 7 << "370"
        << QStringList{"170,00", "160,41", "9,59", "179,59", "141,24", "28,76", "198,76"};
    QTest::newRow("count 0") << 3 << "0"
                             << QStringList{"0,00", "0,00", "0,00", "0,00", "0,00", "0,00", "0,00"};
    QTest::newRow("largest count")
        << 0 << "99999999" << QStringList{"48648648,16", "48643649,99", "4998,17",    "48653646,34",
                                          "48633653,64", "14994,52",    "48663642,68"};
  }

  void calculatesTheExamples() {
    QFETCH(int, chance);
    QFETCH(QString, coups);
    QFETCH(QStringList, panels);
    WindowTestHarness h;
    FDelta* delta = h.app().fDelta();
    chooseChance(delta, chance);
    typeCount(delta, coups);
    QTest::mouseClick(Find<QPushButton>(delta, QStringLiteral("BCalc")), Qt::LeftButton);
    QCOMPARE(panelTexts(delta), panels);

    // Enter in the count field calculates as the button does.
    for (const QString& name : PanelNames)
      Find<QLabel>(delta, name)->clear();
    QTest::keyClick(Find<QLineEdit>(delta, QStringLiteral("Edit1")), Qt::Key_Return);
    QCOMPARE(panelTexts(delta), panels);
  }

  void panelsUseTheUsersDecimalSeparator() {
    WindowTestHarness h;
    QLocale::setDefault(QLocale::c());
    FDelta* delta = h.app().fDelta();
    typeCount(delta, QStringLiteral("37"));
    delta->BBerechnenClick();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(panelTexts(delta),
             (QStringList{"18.00", "14.96", "3.04", "21.04", "8.88", "9.12", "27.12"}));
  }

  void onlyDigitsReachTheCountField() {
    WindowTestHarness h;
    FDelta* delta = h.app().fDelta();
    auto* edit = Find<QLineEdit>(delta, QStringLiteral("Edit1"));
    QTest::keyClicks(edit, QStringLiteral("1a2-3 ,4.5e"));
    QCOMPARE(edit->text(), QStringLiteral("12345"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QStringLiteral("1234"));
    QTest::keyClicks(edit, QStringLiteral("56789"));
    QCOMPARE(edit->text(), QStringLiteral("12345678")); // at most eight digits

    // The clipboard keys are dropped; a paste from the context menu that is no number is
    // refused by the field.
    QApplication::clipboard()->setText(QStringLiteral("99"));
    edit->clear();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), QString());
    QApplication::clipboard()->setText(QStringLiteral("12a"));
    edit->paste();
    QCOMPARE(edit->text(), QString());
  }

  // Keys that type nothing keep their work in the count field: Delete deletes, Ctrl+A selects
  // all, Tab moves on to the next control.
  void editingKeysKeepWorking() {
    WindowTestHarness h;
    FDelta* delta = h.app().fDelta();
    delta->show();
    delta->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(delta));
    auto* edit = Find<QLineEdit>(delta, QStringLiteral("Edit1"));
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("123"));
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Delete);
    QCOMPARE(edit->text(), QStringLiteral("23"));
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, QStringLiteral("9"));
    QCOMPARE(edit->text(), QStringLiteral("9"));
    QTest::keyClick(edit, Qt::Key_Tab);
    QVERIFY(!edit->hasFocus());
  }

  void emptyCountOrAChangedChanceKeepTheLastResult() {
    WindowTestHarness h;
    FDelta* delta = h.app().fDelta();
    typeCount(delta, QStringLiteral("37"));
    delta->BBerechnenClick();
    const QStringList first = panelTexts(delta);
    chooseChance(delta, 6); // choosing does not recalculate
    QCOMPARE(panelTexts(delta), first);
    typeCount(delta, QString());
    QTest::mouseClick(Find<QPushButton>(delta, QStringLiteral("BCalc")), Qt::LeftButton);
    QCOMPARE(panelTexts(delta), first);
    QVERIFY(h.dialogs().calls.isEmpty());
  }

  void helpButtonAndInputHelp() {
    WindowTestHarness h;
    FDelta* delta = h.app().fDelta();
    delta->show();
    QVERIFY(QTest::qWaitForWindowExposed(delta));
    QTest::mouseClick(Find<QPushButton>(delta, QStringLiteral("Button11")), Qt::LeftButton);
    QCOMPARE(Help::instance().window()->currentContext(), 1140);

    auto* edit = Find<QLineEdit>(delta, QStringLiteral("Edit1"));
    delta->activateWindow();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_F1);
    QCOMPARE(Help::instance().window()->currentContext(), 165);
    Help::instance().window()->close();
    delta->close();
    QVERIFY(!delta->isVisible()); // only hidden: the window lives for the whole run
  }
};

QTEST_MAIN(FDeltaTest)
#include "test_fdelta.moc"
