#include "ui/LuaEditor.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QTextBlock>

namespace kw {
namespace {

// The margin with the line numbers; it paints through its editor.
class LineNumberArea : public QWidget {
public:
  explicit LineNumberArea(LuaEditor* editor) : QWidget(editor), editor_(editor) {
    setObjectName(QStringLiteral("Zeilennummern"));
  }
  QSize sizeHint() const override { return {editor_->lineNumberAreaWidth(), 0}; }

protected:
  void paintEvent(QPaintEvent* event) override { editor_->paintLineNumbers(event); }

private:
  LuaEditor* editor_;
};

const QStringList& luaKeywords() {
  static const QStringList words = {
      QStringLiteral("and"),   QStringLiteral("break"),  QStringLiteral("do"),
      QStringLiteral("else"),  QStringLiteral("elseif"), QStringLiteral("end"),
      QStringLiteral("false"), QStringLiteral("for"),    QStringLiteral("function"),
      QStringLiteral("goto"),  QStringLiteral("if"),     QStringLiteral("in"),
      QStringLiteral("local"), QStringLiteral("nil"),    QStringLiteral("not"),
      QStringLiteral("or"),    QStringLiteral("repeat"), QStringLiteral("return"),
      QStringLiteral("then"),  QStringLiteral("true"),   QStringLiteral("until"),
      QStringLiteral("while")};
  return words;
}

bool isNameStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool isNamePart(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

// The level of a long bracket "[==[" at `at` (the number of '='), or -1 when none opens there.
int longBracketLevel(const QString& text, int at) {
  if (at >= text.size() || text[at] != QLatin1Char('['))
    return -1;
  int i = at + 1;
  while (i < text.size() && text[i] == QLatin1Char('='))
    ++i;
  return i < text.size() && text[i] == QLatin1Char('[') ? i - at - 1 : -1;
}

// Block states: -1 nothing open; 2 * level + 0 a long string, 2 * level + 1 a long comment.
constexpr int NothingOpen = -1;
int openState(int level, bool comment) { return 2 * level + (comment ? 1 : 0); }

} // namespace

LuaHighlighter::LuaHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
  keyword_.setForeground(QColor(0x00, 0x00, 0xa0));
  keyword_.setFontWeight(QFont::Bold);
  string_.setForeground(QColor(0xa3, 0x15, 0x15));
  comment_.setForeground(QColor(0x00, 0x80, 0x00));
  comment_.setFontItalic(true);
  number_.setForeground(QColor(0x80, 0x00, 0x80));
}

int LuaHighlighter::finishLongBracket(const QString& text, int from, int level,
                                      const QTextCharFormat& format) {
  const QString closing = QLatin1Char(']') + QString(level, QLatin1Char('=')) + QLatin1Char(']');
  const int end = text.indexOf(closing, from);
  if (end < 0) {
    setFormat(from, static_cast<int>(text.size()) - from, format);
    return -1;
  }
  const int after = end + static_cast<int>(closing.size());
  setFormat(from, after - from, format);
  return after;
}

void LuaHighlighter::highlightBlock(const QString& text) {
  setCurrentBlockState(NothingOpen);
  int i = 0;
  if (const int open = previousBlockState(); open >= 0) {
    const bool comment = (open % 2) == 1;
    const int level = open / 2;
    i = finishLongBracket(text, 0, level, comment ? comment_ : string_);
    if (i < 0) {
      setCurrentBlockState(open);
      return;
    }
  }
  const auto n = static_cast<int>(text.size());
  while (i < n) {
    const QChar c = text[i];
    if (c == QLatin1Char('-') && i + 1 < n && text[i + 1] == QLatin1Char('-')) {
      if (const int level = longBracketLevel(text, i + 2); level >= 0) {
        const int after = finishLongBracket(text, i, level, comment_);
        if (after < 0) {
          setCurrentBlockState(openState(level, true));
          return;
        }
        i = after;
        continue;
      }
      setFormat(i, n - i, comment_);
      return;
    }
    if (const int level = longBracketLevel(text, i); level >= 0) {
      const int after = finishLongBracket(text, i, level, string_);
      if (after < 0) {
        setCurrentBlockState(openState(level, false));
        return;
      }
      i = after;
      continue;
    }
    if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
      int j = i + 1;
      while (j < n && text[j] != c) {
        if (text[j] == QLatin1Char('\\'))
          ++j;
        ++j;
      }
      const int end = std::min(j + 1, n);
      setFormat(i, end - i, string_);
      i = end;
      continue;
    }
    if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && text[i + 1].isDigit())) {
      int j = i + 1;
      while (j < n && (text[j].isLetterOrNumber() || text[j] == QLatin1Char('.') ||
                       ((text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')) &&
                        (text[j - 1] == QLatin1Char('e') || text[j - 1] == QLatin1Char('E') ||
                         text[j - 1] == QLatin1Char('p') || text[j - 1] == QLatin1Char('P')))))
        ++j;
      setFormat(i, j - i, number_);
      i = j;
      continue;
    }
    if (isNameStart(c)) {
      int j = i + 1;
      while (j < n && isNamePart(text[j]))
        ++j;
      if (luaKeywords().contains(text.mid(i, j - i)))
        setFormat(i, j - i, keyword_);
      i = j;
      continue;
    }
    ++i;
  }
}

LuaEditor::LuaEditor(QWidget* parent) : QPlainTextEdit(parent) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setTabStopDistance(fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 4);
  new LuaHighlighter(document());
  lineNumbers_ = new LineNumberArea(this);
  connect(this, &QPlainTextEdit::blockCountChanged, this, &LuaEditor::updateMargin);
  connect(this, &QPlainTextEdit::updateRequest, this, &LuaEditor::updateLineNumberArea);
  updateMargin();
}

int LuaEditor::lineNumberAreaWidth() const {
  int digits = 1;
  for (int max = std::max(1, blockCount()); max >= 10; max /= 10)
    ++digits;
  digits = std::max(digits, 3);
  return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
}

void LuaEditor::updateMargin() { setViewportMargins(lineNumberAreaWidth(), 0, 0, 0); }

void LuaEditor::updateLineNumberArea(const QRect& rect, int dy) {
  if (dy != 0)
    lineNumbers_->scroll(0, dy);
  else
    lineNumbers_->update(0, rect.y(), lineNumbers_->width(), rect.height());
  if (rect.contains(viewport()->rect()))
    updateMargin();
}

void LuaEditor::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  const QRect area = contentsRect();
  lineNumbers_->setGeometry(QRect(area.left(), area.top(), lineNumberAreaWidth(), area.height()));
}

void LuaEditor::keyPressEvent(QKeyEvent* event) {
  // Tab indents with spaces; Ctrl+Tab and Shift+Tab still move the focus on.
  if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::NoModifier) {
    insertPlainText(QStringLiteral("    "));
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void LuaEditor::paintLineNumbers(QPaintEvent* event) {
  QPainter painter(lineNumbers_);
  painter.fillRect(event->rect(), palette().color(QPalette::AlternateBase));
  painter.setPen(palette().color(QPalette::PlaceholderText));
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  int bottom = top + qRound(blockBoundingRect(block).height());
  const int width = lineNumbers_->width() - 4;
  while (block.isValid() && top <= event->rect().bottom()) {
    if (block.isVisible() && bottom >= event->rect().top())
      painter.drawText(0, top, width, fontMetrics().height(), Qt::AlignRight,
                       QString::number(block.blockNumber() + 1));
    block = block.next();
    top = bottom;
    bottom = top + qRound(blockBoundingRect(block).height());
  }
}

void LuaEditor::goToLine(int line) {
  const QTextBlock block = document()->findBlockByNumber(std::max(line, 1) - 1);
  if (!block.isValid())
    return;
  QTextCursor cursor(block);
  setTextCursor(cursor);
  centerCursor();
  setFocus();
}

} // namespace kw
