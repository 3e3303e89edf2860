#pragma once

#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <vector>

class QPaintEvent;
class QResizeEvent;

namespace kw {

// Colours for the parts of a Lua script: keywords, strings, comments and numbers. Long
// strings and comments ([[ ... ]], --[[ ... ]]) may span lines; the block state carries
// them over.
class LuaHighlighter : public QSyntaxHighlighter {
  Q_OBJECT
public:
  explicit LuaHighlighter(QTextDocument* document);

protected:
  void highlightBlock(const QString& text) override;

private:
  // Colours from `from` to the end of a long bracket of `level` '=' signs; the position
  // after it, or -1 when it goes on past this line.
  int finishLongBracket(const QString& text, int from, int level, const QTextCharFormat& format);

  QTextCharFormat keyword_;
  QTextCharFormat string_;
  QTextCharFormat comment_;
  QTextCharFormat number_;
};

// The code editor of the own systems: a plain text editor with line numbers in a margin
// on the left, a fixed-width font, and four spaces for the tab key.
class LuaEditor : public QPlainTextEdit {
  Q_OBJECT
public:
  explicit LuaEditor(QWidget* parent = nullptr);

  // Puts the cursor at the start of a line (1-based) and shows it.
  void goToLine(int line);
  int lineNumberAreaWidth() const;
  void paintLineNumbers(QPaintEvent* event);

protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  void updateMargin();
  void updateLineNumberArea(const QRect& rect, int dy);

  QWidget* lineNumbers_;
};

} // namespace kw
