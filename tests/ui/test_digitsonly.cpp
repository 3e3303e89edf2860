// The digits-only input filter of the count fields and the stake table: which key presses
// it drops, with the clipboard keys allowed and dropped.
#include "ui/DigitsOnly.h"

#include <QKeyEvent>
#include <QtTest>

using namespace kw;

class DigitsOnlyTest : public QObject {
  Q_OBJECT

private slots:
  void dropsEveryTypedCharacterButTheDigits_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("dropped");
    QTest::addColumn<bool>("droppedWithoutClipboard");
    const int none = Qt::NoModifier, ctrl = Qt::ControlModifier, alt = Qt::AltModifier,
              shift = Qt::ShiftModifier;
    QTest::newRow("digit") << int(Qt::Key_7) << none << "7" << false << false;
    QTest::newRow("letter") << int(Qt::Key_A) << none << "a" << true << true;
    QTest::newRow("blank") << int(Qt::Key_Space) << none << " " << true << true;
    QTest::newRow("comma") << int(Qt::Key_Comma) << none << "," << true << true;
    QTest::newRow("minus") << int(Qt::Key_Minus) << none << "-" << true << true;
    QTest::newRow("digit of another script")
        << int(Qt::Key_unknown) << none << QString(QChar(0x0663)) << true << true;
    QTest::newRow("two characters at once") << int(Qt::Key_unknown) << none << "12" << true << true;
    QTest::newRow("Alt+x") << int(Qt::Key_X) << alt << "x" << true << true;
    QTest::newRow("AltGr (Ctrl+Alt) @") << int(Qt::Key_Q) << (ctrl | alt) << "@" << true << true;
    // Keys that type nothing keep their work.
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << "\b" << false << false;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << none << "\x7f" << false << false;
    QTest::newRow("Tab") << int(Qt::Key_Tab) << none << "\t" << false << false;
    QTest::newRow("Enter") << int(Qt::Key_Return) << none << "\r" << false << false;
    QTest::newRow("cursor left") << int(Qt::Key_Left) << none << "" << false << false;
    QTest::newRow("F1") << int(Qt::Key_F1) << none << "" << false << false;
    // Commands with Ctrl, whatever text the platform gives them.
    QTest::newRow("Ctrl+A") << int(Qt::Key_A) << ctrl << "a" << false << false;
    QTest::newRow("Ctrl+A as X11 sends it") << int(Qt::Key_A) << ctrl << "\x01" << false << false;
    QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << ctrl << "z" << false << false;
    QTest::newRow("Ctrl+V") << int(Qt::Key_V) << ctrl << "v" << false << true;
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << ctrl << "c" << false << true;
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << ctrl << "x" << false << true;
    QTest::newRow("Shift+Insert") << int(Qt::Key_Insert) << shift << "" << false << true;
  }

  void dropsEveryTypedCharacterButTheDigits() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(bool, dropped);
    QFETCH(bool, droppedWithoutClipboard);
    const QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    const DigitsOnlyFilter withClipboard(nullptr);
    const DigitsOnlyFilter withoutClipboard(nullptr, DigitsOnlyFilter::ClipboardKeys::Dropped);
    QCOMPARE(withClipboard.drops(press), dropped);
    QCOMPARE(withoutClipboard.drops(press), droppedWithoutClipboard);
  }
};

QTEST_MAIN(DigitsOnlyTest)
#include "test_digitsonly.moc"
