#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QString>
#include <QStringList>

#include <vector>

class QMenu;

namespace kw {

// A plain multi-line text box that keeps its text as a list of lines and paints only the
// lines in view, so a permanence of a million lines is set, read and scrolled at once
// (a text document builds one block per line and takes seconds for that). Lines are never
// wrapped. Every change (typing, deleting, pasting, replacing the whole text) can be undone
// and redone; a change of the whole text keeps the former lines, swapped back in on undo.
class MemoEdit : public QAbstractScrollArea {
  Q_OBJECT
public:
  // A place in the text: the line and the character index within it.
  struct Position {
    int line = 0;
    int column = 0;
    friend bool operator==(const Position&, const Position&) = default;
    friend auto operator<=>(const Position&, const Position&) = default;
  };

  explicit MemoEdit(QWidget* parent = nullptr);
  ~MemoEdit() override;

  // The text split at LF, CR LF and CR. A text ending with a line break ends with an
  // empty line, so toPlainText() gives back exactly what was set (line breaks as LF).
  void setPlainText(const QString& text);
  QString toPlainText() const;
  // The fast way in for callers that hold lines already.
  void setLines(const QStringList& lines);
  void setLines(std::vector<QString> lines);
  const std::vector<QString>& lines() const { return lines_; }
  int lineCount() const { return static_cast<int>(lines_.size()); }
  bool isEmpty() const { return lines_.size() == 1 && lines_.front().isEmpty(); }
  void clear();

  void setReadOnly(bool readOnly);
  bool isReadOnly() const { return readOnly_; }

  Position cursorPosition() const { return cursor_; }
  void setCursorPosition(Position position);
  bool hasSelection() const { return anchor_ != cursor_; }
  QString selectedText() const;

  void selectAll();
  void copy() const;
  void cut();
  void paste();
  // Replaces the selection (if any) with the text, which may hold several lines.
  void insertPlainText(const QString& text);

  void undo();
  void redo();
  bool isUndoAvailable() const { return !undo_.empty(); }
  bool isRedoAvailable() const { return !redo_.empty(); }

signals:
  void textChanged();

protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  // Every whole-text replacement ends here: cursor to the start, scroll bars to the top.
  void replaceAll(std::vector<QString> lines);
  void removeSelection();
  // One change: what stood from `from` on (`removed`) gave way to `inserted`; or, for a
  // change of the whole text, the other text itself.
  struct Change {
    Position from;
    QString removed;
    QString inserted;
    bool wholeText = false;
    std::vector<QString> otherLines;
    qsizetype kept = 0; // weight() when it was put on its stack, kept up to date on typing
    qsizetype weight() const;
  };
  // Replaces the selection by the text and records the change; typed characters that
  // follow each other join one change.
  void replaceSelection(const QString& text, bool typed);
  void insertAtCursor(const QString& text);
  void record(Change change, bool typed);
  // Puts a change on the undo stack and lets the oldest go beyond the kept number and size.
  void pushUndo(Change change);
  // Applies a change backwards (undo) or forwards (redo) and returns it for the other stack.
  Change apply(Change change, bool backwards);
  bool handleEditKey(QKeyEvent* event);
  bool handleMoveKey(QKeyEvent* event);
  void moveCursor(Position to, bool keepAnchor);
  Position clamped(Position position) const;
  Position positionAt(const QPoint& viewportPoint) const;
  int columnAt(const QString& line, int x) const;
  int lineHeight() const;
  int visibleLineCount() const;
  int textLeft() const; // x of column 0 in viewport coordinates
  void updateLongestLine(const QString& line);
  void updateScrollBars();
  void ensureCursorVisible();
  void restartBlink();
  void edited();
  QMenu* createContextMenu();

  std::vector<QString> lines_{QString()};
  Position cursor_;
  Position anchor_;
  int wantedColumn_ = -1; // the column Up and Down aim for, -1 after any other move
  int longestLine_ = 0;   // characters, for the horizontal scroll range
  bool readOnly_ = false;
  bool cursorShown_ = true;
  QBasicTimer blinkTimer_;
  std::vector<Change> undo_;
  std::vector<Change> redo_;
};

} // namespace kw
