// The line-list text box as a user meets it: text set and read back unchanged, typing and
// the editing keys at line ends, selections through keys, mouse and the clipboard, and a
// read-only box that refuses every edit.
#include "support/WindowTestHarness.h"
#include "ui/MemoEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

using namespace kw;
using Position = MemoEdit::Position;

namespace {

// A shown, focused box holding the text.
struct Box {
  MemoEdit memo;
  explicit Box(const QString& text) {
    memo.resize(240, 160);
    memo.setPlainText(text);
    memo.show();
    memo.activateWindow();
    memo.setFocus();
    QApplication::processEvents();
  }
  void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&memo, key, modifiers);
  }
  // Characters as a keyboard delivers them, umlauts included.
  void type(const QString& text) {
    for (QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QApplication::sendEvent(&memo, &press);
    }
  }
  Position cursor() const { return memo.cursorPosition(); }
  // The middle of the character boundary before `column` on `line`, in viewport coordinates.
  QPoint pointAt(int line, int column) const {
    const QFontMetrics metrics = memo.fontMetrics();
    return QPoint(4 + metrics.horizontalAdvance(memo.lines()[line], column),
                  line * metrics.lineSpacing() + metrics.lineSpacing() / 2);
  }
};

char* describe(Position p) {
  return QTest::toString(QStringLiteral("(%1,%2)").arg(p.line).arg(p.column));
}

} // namespace

namespace QTest {
template <> char* toString(const Position& p) { return describe(p); }
} // namespace QTest

class MemoEditTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { test::PrepareApplication(); }

  void textComesBackAsItWasSet_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("lines");
    QTest::newRow("empty") << QString() << QString() << 1;
    QTest::newRow("LF") << QStringLiteral("Köln\n32\n0") << QStringLiteral("Köln\n32\n0") << 3;
    QTest::newRow("trailing LF") << QStringLiteral("7\n") << QStringLiteral("7\n") << 2;
    QTest::newRow("only LF") << QStringLiteral("\n") << QStringLiteral("\n") << 2;
    QTest::newRow("CR LF") << QStringLiteral("1\r\n2\r\n") << QStringLiteral("1\n2\n") << 3;
    QTest::newRow("CR alone") << QStringLiteral("1\r2\r\r3") << QStringLiteral("1\n2\n\n3") << 4;
    QTest::newRow("empty lines") << QStringLiteral("\n\nHW\n\n") << QStringLiteral("\n\nHW\n\n")
                                 << 5;
  }
  void textComesBackAsItWasSet() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(int, lines);
    MemoEdit memo;
    QSignalSpy changed(&memo, &MemoEdit::textChanged);
    memo.setPlainText(text);
    QCOMPARE(memo.toPlainText(), expected);
    QCOMPARE(memo.lineCount(), lines);
    QCOMPARE(memo.isEmpty(), expected.isEmpty());
    QCOMPARE(changed.size(), 1);
  }

  void linesAndClear() {
    MemoEdit memo;
    QSignalSpy changed(&memo, &MemoEdit::textChanged);
    memo.setLines(QStringList{QStringLiteral("17"), QString(), QStringLiteral("HW")});
    QCOMPARE(memo.toPlainText(), QStringLiteral("17\n\nHW"));
    memo.setLines(std::vector<QString>{});
    QCOMPARE(memo.lineCount(), 1); // an empty box still has its one empty line
    memo.setPlainText(QStringLiteral("1\n2"));
    memo.clear();
    QVERIFY(memo.isEmpty());
    QCOMPARE(memo.toPlainText(), QString());
    QCOMPARE(changed.size(), 4);
  }

  void typingAndEditingKeysAtLineEnds() {
    Box box{QString()};
    QSignalSpy changed(&box.memo, &MemoEdit::textChanged);
    box.type(QStringLiteral("Köln"));
    box.key(Qt::Key_Return);
    box.type(QStringLiteral("32"));
    box.key(Qt::Key_Enter);
    QCOMPARE(box.memo.toPlainText(), QStringLiteral("Köln\n32\n"));
    QCOMPARE(box.cursor(), (Position{2, 0}));
    QCOMPARE(changed.size(), 8);

    box.key(Qt::Key_Backspace); // at a line start: joins with the line above
    QCOMPARE(box.memo.toPlainText(), QStringLiteral("Köln\n32"));
    QCOMPARE(box.cursor(), (Position{1, 2}));
    box.key(Qt::Key_Up); // column kept where the line is long enough
    QCOMPARE(box.cursor(), (Position{0, 2}));
    box.key(Qt::Key_End);
    box.key(Qt::Key_Delete); // at a line end: the next line comes up
    QCOMPARE(box.memo.toPlainText(), QStringLiteral("Köln32"));
    box.key(Qt::Key_Return); // splits the line at the cursor
    QCOMPARE(box.memo.toPlainText(), QStringLiteral("Köln\n32"));
    box.key(Qt::Key_Backspace);
    box.key(Qt::Key_Backspace);
    QCOMPARE(box.memo.toPlainText(), QStringLiteral("Köl32"));

    // Nothing before the start or after the end to delete.
    box.key(Qt::Key_Home, Qt::ControlModifier);
    const int before = changed.size();
    box.key(Qt::Key_Backspace);
    box.key(Qt::Key_End, Qt::ControlModifier);
    box.key(Qt::Key_Delete);
    QCOMPARE(box.memo.toPlainText(), QStringLiteral("Köl32"));
    QCOMPARE(changed.size(), before);

    // Control characters are no text.
    box.key(Qt::Key_Tab);
    QTest::keyClick(&box.memo, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(box.memo.toPlainText(), QStringLiteral("Köl32"));
  }

  void cursorMovement() {
    Box box{QStringLiteral("abc\nde\n\nfghi")};
    box.key(Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(box.cursor(), (Position{3, 4}));
    box.key(Qt::Key_Down); // off the last line: stays
    QCOMPARE(box.cursor(), (Position{3, 4}));
    box.key(Qt::Key_Up);
    QCOMPARE(box.cursor(), (Position{2, 0}));
    box.key(Qt::Key_Up);
    box.key(Qt::Key_Up);
    QCOMPARE(box.cursor(), (Position{0, 3})); // over shorter lines back to the column
    box.key(Qt::Key_Down);
    box.key(Qt::Key_End);
    QCOMPARE(box.cursor(), (Position{1, 2}));
    box.key(Qt::Key_Right); // over the line break
    QCOMPARE(box.cursor(), (Position{2, 0}));
    box.key(Qt::Key_Left);
    box.key(Qt::Key_Left);
    QCOMPARE(box.cursor(), (Position{1, 1}));
    box.key(Qt::Key_Home);
    QCOMPARE(box.cursor(), (Position{1, 0}));
    box.key(Qt::Key_Left);
    QCOMPARE(box.cursor(), (Position{0, 3}));
    box.key(Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(box.cursor(), (Position{0, 0}));
    box.key(Qt::Key_Left);
    QCOMPARE(box.cursor(), (Position{0, 0}));
    box.key(Qt::Key_PageDown);
    QCOMPARE(box.cursor().line, 3);
    box.key(Qt::Key_PageUp);
    QCOMPARE(box.cursor().line, 0);
  }

  void theCursorStaysInView() {
    std::vector<QString> lines(1000, QStringLiteral("17"));
    lines[500] = QString(400, QLatin1Char('x'));
    Box box{QString()};
    box.memo.setLines(std::move(lines));
    QScrollBar* vertical = box.memo.verticalScrollBar();
    QScrollBar* horizontal = box.memo.horizontalScrollBar();
    QCOMPARE(vertical->maximum(), 1000 - vertical->pageStep());
    QVERIFY(horizontal->maximum() > 0); // from the long line
    box.key(Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(vertical->value(), vertical->maximum());
    box.memo.setCursorPosition(Position{500, 400});
    QVERIFY(vertical->value() <= 500 && 500 < vertical->value() + vertical->pageStep());
    QVERIFY(horizontal->value() > 0);
    box.key(Qt::Key_Home);
    QCOMPARE(horizontal->value(), 0);
    box.key(Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(vertical->value(), 0);

    QWheelEvent wheel(QPointF(10, 10), box.memo.mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box.memo.viewport(), &wheel);
    QVERIFY(vertical->value() > 0);
    QCOMPARE(box.cursor(), (Position{0, 0})); // the wheel scrolls, the cursor stays
  }

  void selectionCutAndPasteOfSeveralLines() {
    Box box{QStringLiteral("11\n22\n33\n44")};
    box.memo.setCursorPosition(Position{0, 1});
    box.key(Qt::Key_Down, Qt::ShiftModifier);
    box.key(Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(box.memo.selectedText(), QStringLiteral("1\n22\n3"));
    QTest::keyClick(&box.memo, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(box.memo.toPlainText(), QStringLiteral("13\n44"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1\n22\n3"));
    QVERIFY(!box.memo.hasSelection());

    // Into the middle of a line: the line's rest follows the last pasted line.
    box.memo.setCursorPosition(Position{1, 1});
    QTest::keyClick(&box.memo, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box.memo.toPlainText(), QStringLiteral("13\n41\n22\n34"));
    QCOMPARE(box.cursor(), (Position{3, 1}));

    // A pasted line replaces the selection; text from elsewhere may end lines with CR LF.
    QGuiApplication::clipboard()->setText(QStringLiteral("x\r\ny"));
    box.key(Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(&box.memo, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box.memo.toPlainText(), QStringLiteral("13\n41\n22\nx\ny4"));

    // Shift+Home, Ctrl+C copies, a typed character replaces the selection.
    box.key(Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClick(&box.memo, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("y"));
    box.type(QStringLiteral("ü"));
    QCOMPARE(box.memo.toPlainText(), QStringLiteral("13\n41\n22\nx\nü4"));

    QTest::keyClick(&box.memo, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(box.memo.selectedText(), box.memo.toPlainText());
    box.key(Qt::Key_Delete);
    QVERIFY(box.memo.isEmpty());
    QCOMPARE(box.memo.lineCount(), 1);
  }

  void mouseClickPlacesTheCursorAndDragSelects() {
    Box box{QStringLiteral("2\n36\n17\n0")};
    QWidget* viewport = box.memo.viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, box.pointAt(1, 1));
    QCOMPARE(box.cursor(), (Position{1, 1}));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(200, 5)); // past the end
    QCOMPARE(box.cursor(), (Position{0, 1}));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(200, 150)); // below
    QCOMPARE(box.cursor(), (Position{3, 1}));

    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, box.pointAt(1, 1));
    QMouseEvent drag(QEvent::MouseMove, box.pointAt(2, 1), viewport->mapToGlobal(box.pointAt(2, 1)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drag);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, box.pointAt(2, 1));
    QCOMPARE(box.memo.selectedText(), QStringLiteral("6\n1"));
  }

  void contextMenuOffersTheClipboardEntries() {
    Box box{QStringLiteral("17\n4")};
    QGuiApplication::clipboard()->setText(QStringLiteral("9"));
    const auto menuEntries = [&box] {
      QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                              box.memo.mapToGlobal(QPoint(5, 5)));
      QApplication::sendEvent(box.memo.viewport(), &event);
      auto* menu = box.memo.findChild<QMenu*>(QStringLiteral("MemoEditMenu"));
      QMap<QString, QAction*> entries;
      if (menu)
        for (QAction* action : menu->actions())
          if (!action->isSeparator())
            entries.insert(action->text().remove(QLatin1Char('&')), action);
      return std::pair{menu, entries};
    };
    auto [menu, entries] = menuEntries();
    QVERIFY(menu);
    QCOMPARE(entries.keys(),
             (QStringList{QStringLiteral("Alles markieren"), QStringLiteral("Ausschneiden"),
                          QStringLiteral("Einfügen"), QStringLiteral("Kopieren"),
                          QStringLiteral("Rückgängig"), QStringLiteral("Wiederherstellen")}));
    QVERIFY(!entries[QStringLiteral("Wiederherstellen")]->isEnabled()); // nothing undone yet
    QVERIFY(!entries[QStringLiteral("Kopieren")]->isEnabled());         // nothing marked yet
    QVERIFY(entries[QStringLiteral("Einfügen")]->isEnabled());
    entries[QStringLiteral("Alles markieren")]->trigger();
    menu->close();
    QTest::qWait(0);

    std::tie(menu, entries) = menuEntries();
    QVERIFY(entries[QStringLiteral("Ausschneiden")]->isEnabled());
    entries[QStringLiteral("Ausschneiden")]->trigger();
    menu->close();
    QVERIFY(box.memo.isEmpty());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("17\n4"));
    std::tie(menu, entries) = menuEntries();
    QVERIFY(entries[QStringLiteral("Rückgängig")]->isEnabled());
    entries[QStringLiteral("Rückgängig")]->trigger();
    menu->close();
    QCOMPARE(box.memo.toPlainText(), QStringLiteral("17\n4"));
  }

  // Each kind of change goes back with Ctrl+Z and comes again with Ctrl+Y, in order; typed
  // characters that follow each other go back together.
  void undoAndRedoStepThroughEveryChange() {
    Box box{QStringLiteral("17\n4")};
    const QStringList states = [&box] {
      QStringList seen{box.memo.toPlainText()};
      box.memo.setCursorPosition(Position{1, 1});
      box.type(QStringLiteral("32")); // typed together: one step
      seen << box.memo.toPlainText();
      box.key(Qt::Key_Return);
      seen << box.memo.toPlainText();
      box.key(Qt::Key_Backspace);
      box.key(Qt::Key_Backspace);
      seen << box.memo.toPlainText(); // (two steps: the break, then "2")
      box.memo.setCursorPosition(Position{0, 0});
      box.key(Qt::Key_Down, Qt::ShiftModifier);
      QGuiApplication::clipboard()->setText(QStringLiteral("0\r\nHW\r\n"));
      QTest::keyClick(&box.memo, Qt::Key_V, Qt::ControlModifier);
      seen << box.memo.toPlainText();
      box.memo.setLines(QStringList{QStringLiteral("9"), QStringLiteral("10")}); // whole text
      seen << box.memo.toPlainText();
      return seen;
    }();
    QCOMPARE(states,
             (QStringList{"17\n4", "17\n432", "17\n432\n", "17\n43", "0\nHW\n43", "9\n10"}));
    const QStringList expectedBack = {"0\nHW\n43", "17\n43",  "17\n432",
                                      "17\n432\n", "17\n432", "17\n4"};
    for (const QString& expected : expectedBack) {
      QTest::keyClick(&box.memo, Qt::Key_Z, Qt::ControlModifier);
      QCOMPARE(box.memo.toPlainText(), expected);
    }
    // Setting the whole text was a change too; before it there is nothing left to undo.
    for (const char* expected : {"", ""}) {
      QTest::keyClick(&box.memo, Qt::Key_Z, Qt::ControlModifier);
      QCOMPARE(box.memo.toPlainText(), QString::fromUtf8(expected));
    }
    for (const char* expected :
         {"17\n4", "17\n432", "17\n432\n", "17\n432", "17\n43", "0\nHW\n43", "9\n10"}) {
      QTest::keyClick(&box.memo, Qt::Key_Y, Qt::ControlModifier);
      QCOMPARE(box.memo.toPlainText(), QString::fromUtf8(expected));
    }
    // A new change after an undo drops what could have been redone.
    QTest::keyClick(&box.memo, Qt::Key_Z, Qt::ControlModifier);
    box.type(QStringLiteral("5"));
    QVERIFY(!box.memo.isRedoAvailable());
  }

  // Replacing large texts one after the other keeps only the newest few for undo (each holds
  // the whole former text), and always the newest, however large.
  void undoKeepsFewLargeTextsButAlwaysTheNewest() {
    Box box{QStringLiteral("17")};
    const auto text = [](char digit, qsizetype size) {
      return QStringList{QString(size, QLatin1Char(digit))};
    };
    box.memo.setLines(text('1', 40'000'000)); // larger than all that is kept
    box.memo.setLines(text('2', 10));
    QTest::keyClick(&box.memo, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(box.memo.toPlainText().size(), 40'000'000);
    QTest::keyClick(&box.memo, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!box.memo.isUndoAvailable()); // the text before it had to go
    QCOMPARE(box.memo.toPlainText().size(), 40'000'000);

    for (char digit : {'3', '4', '5', '6', '7', '8'})
      box.memo.setLines(text(digit, 5'000'000));
    int steps = 0;
    while (box.memo.isUndoAvailable()) {
      QTest::keyClick(&box.memo, Qt::Key_Z, Qt::ControlModifier);
      ++steps;
    }
    QCOMPARE(steps, 3); // 16 M characters hold three former texts of 5 M
    QCOMPARE(box.memo.toPlainText(), text('5', 5'000'000).front());
  }

  void readOnlyRefusesEveryEdit() {
    Box box{QStringLiteral("17\n4")};
    box.memo.setReadOnly(true);
    QSignalSpy changed(&box.memo, &MemoEdit::textChanged);
    QGuiApplication::clipboard()->setText(QStringLiteral("9"));
    box.memo.setCursorPosition(Position{0, 1});
    box.type(QStringLiteral("5"));
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete})
      box.key(key);
    QTest::keyClick(&box.memo, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&box.memo, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&box.memo, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(&box.memo, Qt::Key_Z, Qt::ControlModifier);
    box.key(Qt::Key_Delete);
    QCOMPARE(box.memo.toPlainText(), QStringLiteral("17\n4"));
    QCOMPARE(changed.size(), 0);
    QTest::keyClick(&box.memo, Qt::Key_C, Qt::ControlModifier); // copying is still allowed
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("17\n4"));
  }
};

QTEST_MAIN(MemoEditTest)
#include "test_memoedit.moc"
