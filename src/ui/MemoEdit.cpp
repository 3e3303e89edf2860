#include "ui/MemoEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>

#include <algorithm>
#include <functional>
#include <limits>
#include <utility>

namespace kw {
namespace {

// Space between the frame and the text, as a text document leaves it.
constexpr int Margin = 4;
constexpr int CursorWidth = 1;
// Changes kept for undo; the oldest goes first.
constexpr size_t MaxUndoSteps = 100;
// What the kept changes may hold together, in characters (a line counts its characters and
// the place a line takes beside them). Replacing a table of a million coups keeps the whole
// former table for undo; a few of those are kept, not a hundred. The newest change is always
// kept, however large.
constexpr qsizetype MaxUndoWeight = 16 * 1024 * 1024;
constexpr qsizetype LineWeight = 16;

// LF, CR LF and CR each end a line; whatever follows the last break is the last line, so
// a text ending with a break ends with an empty line.
std::vector<QString> SplitLines(const QString& text) {
  std::vector<QString> lines;
  lines.reserve(static_cast<size_t>(text.count(QLatin1Char('\n'))) + 1);
  const QChar* data = text.constData();
  const qsizetype size = text.size();
  qsizetype start = 0;
  for (qsizetype i = 0; i < size; ++i) {
    const char16_t c = data[i].unicode();
    if (c != u'\n' && c != u'\r')
      continue;
    lines.emplace_back(data + start, i - start);
    if (c == u'\r' && i + 1 < size && data[i + 1] == QLatin1Char('\n'))
      ++i;
    start = i + 1;
  }
  lines.emplace_back(data + start, size - start);
  return lines;
}

QString JoinLines(std::vector<QString>::const_iterator first,
                  std::vector<QString>::const_iterator last) {
  qsizetype size = 0;
  for (auto it = first; it != last; ++it)
    size += it->size() + 1;
  QString text;
  text.reserve(size);
  for (auto it = first; it != last; ++it) {
    if (it != first)
      text += QLatin1Char('\n');
    text += *it;
  }
  return text;
}

// Ctrl+Y redoes on every desktop, beside the desktop's own redo key.
bool IsRedoKey(const QKeyEvent* key) {
  return key->matches(QKeySequence::Redo) ||
         (key->key() == Qt::Key_Y &&
          (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier);
}

bool IsWordCharacter(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

// Keys the text box handles itself even where a window's menu has a shortcut on them.
bool IsOwnKey(const QKeyEvent* key) {
  static const QKeySequence::StandardKey own[] = {QKeySequence::Undo,
                                                  QKeySequence::Redo,
                                                  QKeySequence::Copy,
                                                  QKeySequence::Cut,
                                                  QKeySequence::Paste,
                                                  QKeySequence::SelectAll,
                                                  QKeySequence::Delete,
                                                  QKeySequence::MoveToStartOfDocument,
                                                  QKeySequence::MoveToEndOfDocument,
                                                  QKeySequence::SelectStartOfDocument,
                                                  QKeySequence::SelectEndOfDocument};
  for (QKeySequence::StandardKey standard : own)
    if (key->matches(standard))
      return true;
  if (IsRedoKey(key))
    return true;
  const Qt::KeyboardModifiers modifiers =
      key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
  return modifiers == Qt::NoModifier &&
         (key->key() < Qt::Key_Escape || key->key() == Qt::Key_Backspace ||
          key->key() == Qt::Key_Delete || key->key() == Qt::Key_Return ||
          key->key() == Qt::Key_Enter || key->key() == Qt::Key_Home || key->key() == Qt::Key_End ||
          (key->key() >= Qt::Key_Left && key->key() <= Qt::Key_PageDown));
}

} // namespace

MemoEdit::MemoEdit(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setBackgroundRole(QPalette::Base);
  verticalScrollBar()->setSingleStep(1);
  horizontalScrollBar()->setSingleStep(20);
  updateScrollBars();
}

MemoEdit::~MemoEdit() = default;

void MemoEdit::setPlainText(const QString& text) { replaceAll(SplitLines(text)); }

QString MemoEdit::toPlainText() const { return JoinLines(lines_.cbegin(), lines_.cend()); }

void MemoEdit::setLines(const QStringList& lines) {
  replaceAll(std::vector<QString>(lines.cbegin(), lines.cend()));
}

void MemoEdit::setLines(std::vector<QString> lines) { replaceAll(std::move(lines)); }

void MemoEdit::clear() { replaceAll({}); }

void MemoEdit::replaceAll(std::vector<QString> lines) {
  if (lines.empty())
    lines.emplace_back();
  Change change;
  change.wholeText = true;
  change.otherLines = std::exchange(lines_, std::move(lines));
  if (change.otherLines != lines_)
    record(std::move(change), false);
  longestLine_ = 0;
  for (const QString& line : lines_)
    longestLine_ = std::max(longestLine_, static_cast<int>(line.size()));
  cursor_ = anchor_ = Position{};
  wantedColumn_ = -1;
  updateScrollBars();
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  restartBlink();
  viewport()->update();
  emit textChanged();
}

void MemoEdit::setReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  setAttribute(Qt::WA_InputMethodEnabled, !readOnly);
  restartBlink();
  viewport()->update();
}

void MemoEdit::setCursorPosition(Position position) { moveCursor(position, false); }

QString MemoEdit::selectedText() const {
  if (!hasSelection())
    return {};
  const Position from = std::min(anchor_, cursor_);
  const Position to = std::max(anchor_, cursor_);
  const auto line = [this](int i) { return lines_.cbegin() + i; };
  if (from.line == to.line)
    return lines_[from.line].mid(from.column, to.column - from.column);
  QString text = lines_[from.line].mid(from.column);
  text += QLatin1Char('\n');
  if (to.line > from.line + 1) {
    text += JoinLines(line(from.line + 1), line(to.line));
    text += QLatin1Char('\n');
  }
  text += lines_[to.line].left(to.column);
  return text;
}

void MemoEdit::selectAll() {
  anchor_ = Position{};
  cursor_ = Position{lineCount() - 1, static_cast<int>(lines_.back().size())};
  ensureCursorVisible();
  viewport()->update();
}

void MemoEdit::copy() const {
  if (hasSelection())
    QGuiApplication::clipboard()->setText(selectedText());
}

void MemoEdit::cut() {
  if (readOnly_ || !hasSelection())
    return;
  copy();
  replaceSelection(QString(), false);
}

void MemoEdit::paste() {
  if (readOnly_)
    return;
  const QString text = QGuiApplication::clipboard()->text();
  if (!text.isEmpty())
    insertPlainText(text);
}

void MemoEdit::insertPlainText(const QString& text) { replaceSelection(text, false); }

void MemoEdit::replaceSelection(const QString& text, bool typed) {
  Change change;
  change.from = std::min(anchor_, cursor_);
  change.removed = selectedText();
  removeSelection();
  // Stored as the memo holds it, its line breaks as LF.
  const std::vector<QString> pieces = SplitLines(text);
  change.inserted = JoinLines(pieces.cbegin(), pieces.cend());
  insertAtCursor(change.inserted);
  record(std::move(change), typed);
  edited();
}

void MemoEdit::record(Change change, bool typed) {
  redo_.clear();
  if (typed && !undo_.empty()) {
    Change& last = undo_.back();
    const bool oneLine =
        !change.inserted.contains(QLatin1Char('\n')) && !last.inserted.contains(QLatin1Char('\n'));
    const Position lastEnd{last.from.line,
                           last.from.column + static_cast<int>(last.inserted.size())};
    if (!last.wholeText && last.removed.isEmpty() && change.removed.isEmpty() && oneLine &&
        lastEnd == change.from) {
      last.inserted += change.inserted;
      last.kept += change.inserted.size();
      return;
    }
  }
  pushUndo(std::move(change));
}

qsizetype MemoEdit::Change::weight() const {
  qsizetype sum = removed.size() + inserted.size();
  for (const QString& line : otherLines)
    sum += line.size() + LineWeight;
  return sum;
}

void MemoEdit::pushUndo(Change change) {
  change.kept = change.weight();
  undo_.push_back(std::move(change));
  qsizetype total = 0;
  for (const Change& kept : undo_)
    total += kept.kept;
  while (undo_.size() > 1 && (undo_.size() > MaxUndoSteps || total > MaxUndoWeight)) {
    total -= undo_.front().kept;
    undo_.erase(undo_.begin());
  }
}

void MemoEdit::insertAtCursor(const QString& text) {
  if (text.isEmpty())
    return;
  std::vector<QString> pieces = SplitLines(text);
  QString& current = lines_[cursor_.line];
  const QString tail = current.mid(cursor_.column);
  current.truncate(cursor_.column);
  current += pieces.front();
  updateLongestLine(current);
  if (pieces.size() == 1) {
    cursor_.column = static_cast<int>(current.size());
    current += tail;
    updateLongestLine(current);
  } else {
    const int lastColumn = static_cast<int>(pieces.back().size());
    pieces.back() += tail;
    for (auto it = pieces.begin() + 1; it != pieces.end(); ++it)
      updateLongestLine(*it);
    lines_.insert(lines_.begin() + cursor_.line + 1, std::make_move_iterator(pieces.begin() + 1),
                  std::make_move_iterator(pieces.end()));
    cursor_ = Position{cursor_.line + static_cast<int>(pieces.size()) - 1, lastColumn};
  }
  anchor_ = cursor_;
}

namespace {

// Where a text put in at `from` ends.
MemoEdit::Position EndOf(MemoEdit::Position from, const QString& text) {
  const qsizetype lastBreak = text.lastIndexOf(QLatin1Char('\n'));
  if (lastBreak < 0)
    return {from.line, from.column + static_cast<int>(text.size())};
  return {from.line + static_cast<int>(text.count(QLatin1Char('\n'))),
          static_cast<int>(text.size() - lastBreak - 1)};
}

} // namespace

MemoEdit::Change MemoEdit::apply(Change change, bool backwards) {
  if (change.wholeText) {
    std::swap(lines_, change.otherLines);
    longestLine_ = 0;
    for (const QString& line : lines_)
      updateLongestLine(line);
    cursor_ = anchor_ = Position{};
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    edited();
    return change;
  }
  const QString& gone = backwards ? change.inserted : change.removed;
  const QString& back = backwards ? change.removed : change.inserted;
  anchor_ = change.from;
  cursor_ = clamped(EndOf(change.from, gone));
  removeSelection();
  insertAtCursor(back);
  // The text that came back is marked, so the user sees what changed.
  anchor_ = change.from;
  edited();
  return change;
}

void MemoEdit::undo() {
  if (readOnly_ || undo_.empty())
    return;
  Change change = std::move(undo_.back());
  undo_.pop_back();
  redo_.push_back(apply(std::move(change), true));
  redo_.back().kept = redo_.back().weight();
}

void MemoEdit::redo() {
  if (readOnly_ || redo_.empty())
    return;
  Change change = std::move(redo_.back());
  redo_.pop_back();
  pushUndo(apply(std::move(change), false));
}

void MemoEdit::removeSelection() {
  if (!hasSelection())
    return;
  const Position from = std::min(anchor_, cursor_);
  const Position to = std::max(anchor_, cursor_);
  // The rest after the selection is taken first: it may lie on the very line cut here.
  const QString rest = lines_[to.line].mid(to.column);
  QString& first = lines_[from.line];
  first.truncate(from.column);
  first += rest;
  lines_.erase(lines_.begin() + from.line + 1, lines_.begin() + to.line + 1);
  cursor_ = anchor_ = from;
}

void MemoEdit::edited() {
  wantedColumn_ = -1;
  updateScrollBars();
  ensureCursorVisible();
  restartBlink();
  viewport()->update();
  emit textChanged();
}

void MemoEdit::updateLongestLine(const QString& line) {
  longestLine_ = std::max(longestLine_, static_cast<int>(line.size()));
}

MemoEdit::Position MemoEdit::clamped(Position position) const {
  position.line = std::clamp(position.line, 0, lineCount() - 1);
  position.column = std::clamp(position.column, 0, static_cast<int>(lines_[position.line].size()));
  return position;
}

void MemoEdit::moveCursor(Position to, bool keepAnchor) {
  cursor_ = clamped(to);
  wantedColumn_ = -1;
  if (!keepAnchor)
    anchor_ = cursor_;
  ensureCursorVisible();
  restartBlink();
  viewport()->update();
}

// ---- keys ----

bool MemoEdit::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride && IsOwnKey(static_cast<QKeyEvent*>(event))) {
    event->accept();
    return true;
  }
  return QAbstractScrollArea::event(event);
}

void MemoEdit::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Undo)) {
    undo();
  } else if (IsRedoKey(event)) {
    redo();
  } else if (event->matches(QKeySequence::SelectAll)) {
    selectAll();
  } else if (event->matches(QKeySequence::Copy)) {
    copy();
  } else if (event->matches(QKeySequence::Cut)) {
    cut();
  } else if (event->matches(QKeySequence::Paste)) {
    paste();
  } else if (!handleMoveKey(event) && !handleEditKey(event)) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  event->accept();
}

bool MemoEdit::handleMoveKey(QKeyEvent* event) {
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  const bool control = event->modifiers() & Qt::ControlModifier;
  const Position from = std::min(anchor_, cursor_);
  const Position to = std::max(anchor_, cursor_);
  const int key = event->key();
  const bool vertical =
      key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown;
  // Going up and down over shorter lines comes back to the column it started from.
  const int wantedColumn = wantedColumn_ >= 0 ? wantedColumn_ : cursor_.column;
  Position target = cursor_;
  if (vertical)
    target.column = wantedColumn;
  switch (key) {
  case Qt::Key_Left:
    if (hasSelection() && !shift)
      target = from; // an arrow without Shift first leaves the selection at its start
    else if (cursor_.column > 0)
      --target.column;
    else if (cursor_.line > 0)
      target = Position{cursor_.line - 1, static_cast<int>(lines_[cursor_.line - 1].size())};
    break;
  case Qt::Key_Right:
    if (hasSelection() && !shift)
      target = to;
    else if (cursor_.column < lines_[cursor_.line].size())
      ++target.column;
    else if (cursor_.line + 1 < lineCount())
      target = Position{cursor_.line + 1, 0};
    break;
  case Qt::Key_Up:
    --target.line;
    break;
  case Qt::Key_Down:
    ++target.line;
    break;
  case Qt::Key_PageUp:
    target.line -= visibleLineCount();
    break;
  case Qt::Key_PageDown:
    target.line += visibleLineCount();
    break;
  case Qt::Key_Home:
    target = control ? Position{} : Position{cursor_.line, 0};
    break;
  case Qt::Key_End:
    target.line = control ? lineCount() - 1 : cursor_.line;
    target.column = static_cast<int>(lines_[target.line].size());
    break;
  default:
    return false;
  }
  // Up and Down off the first or last line stay where they are; a page goes as far as
  // there is text.
  const bool page = key == Qt::Key_PageUp || key == Qt::Key_PageDown;
  if (target.line < 0 || target.line >= lineCount())
    target.line = page ? std::clamp(target.line, 0, lineCount() - 1) : cursor_.line;
  moveCursor(target, shift);
  if (vertical)
    wantedColumn_ = wantedColumn;
  return true;
}

bool MemoEdit::handleEditKey(QKeyEvent* event) {
  const int key = event->key();
  const bool control = event->modifiers() & Qt::ControlModifier;
  if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
    if (readOnly_)
      return true;
    if (!hasSelection()) {
      const bool back = key == Qt::Key_Backspace;
      if (back && cursor_ == Position{})
        return true;
      if (!back && cursor_.line == lineCount() - 1 && cursor_.column == lines_[cursor_.line].size())
        return true;
      // The character (or line break) before or after the cursor becomes the selection.
      anchor_ = cursor_;
      if (back)
        cursor_ = cursor_.column > 0 ? Position{cursor_.line, cursor_.column - 1}
                                     : Position{cursor_.line - 1,
                                                static_cast<int>(lines_[cursor_.line - 1].size())};
      else
        cursor_ = cursor_.column < lines_[cursor_.line].size()
                      ? Position{cursor_.line, cursor_.column + 1}
                      : Position{cursor_.line + 1, 0};
    }
    replaceSelection(QString(), false);
    return true;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (!readOnly_)
      replaceSelection(QStringLiteral("\n"), false);
    return true;
  }
  const QString text = event->text();
  if (text.isEmpty() || !text.front().isPrint() ||
      (control && !(event->modifiers() & Qt::AltModifier)))
    return false;
  if (!readOnly_)
    replaceSelection(text, true);
  return true;
}

void MemoEdit::inputMethodEvent(QInputMethodEvent* event) {
  if (!readOnly_ && !event->commitString().isEmpty())
    insertPlainText(event->commitString());
  event->accept();
}

QVariant MemoEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
  case Qt::ImEnabled:
    return !readOnly_;
  case Qt::ImCursorRectangle: {
    const QString& line = lines_[cursor_.line];
    const int x = textLeft() + fontMetrics().horizontalAdvance(line, cursor_.column);
    const int y = (cursor_.line - verticalScrollBar()->value()) * lineHeight();
    return QRect(x, y, CursorWidth, lineHeight()).translated(viewport()->pos());
  }
  default:
    return QAbstractScrollArea::inputMethodQuery(query);
  }
}

// ---- geometry and painting ----

int MemoEdit::lineHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

int MemoEdit::visibleLineCount() const {
  return std::max(1, (viewport()->height() - Margin) / lineHeight());
}

int MemoEdit::textLeft() const { return Margin - horizontalScrollBar()->value(); }

void MemoEdit::updateScrollBars() {
  const int visible = visibleLineCount();
  verticalScrollBar()->setPageStep(visible);
  verticalScrollBar()->setRange(0, std::max(0, lineCount() - visible));
  // The widest line estimated from its length: measuring a million lines would take long.
  const qint64 width =
      qint64(longestLine_) * fontMetrics().averageCharWidth() + 2 * Margin + CursorWidth;
  const int viewWidth = viewport()->width();
  horizontalScrollBar()->setPageStep(viewWidth);
  horizontalScrollBar()->setRange(0, static_cast<int>(std::clamp<qint64>(
                                         width - viewWidth, 0, std::numeric_limits<int>::max())));
}

void MemoEdit::ensureCursorVisible() {
  QScrollBar* vertical = verticalScrollBar();
  const int visible = visibleLineCount();
  if (cursor_.line < vertical->value())
    vertical->setValue(cursor_.line);
  else if (cursor_.line >= vertical->value() + visible)
    vertical->setValue(cursor_.line - visible + 1);

  QScrollBar* horizontal = horizontalScrollBar();
  const int x = Margin + fontMetrics().horizontalAdvance(lines_[cursor_.line], cursor_.column);
  const int viewWidth = viewport()->width();
  if (x - Margin < horizontal->value()) {
    horizontal->setValue(std::max(0, x - Margin - viewWidth / 4));
  } else if (x + CursorWidth + Margin > horizontal->value() + viewWidth) {
    const int wanted = x + CursorWidth + Margin - viewWidth + viewWidth / 4;
    // The estimated width may fall short of a line of wide characters.
    if (wanted > horizontal->maximum())
      horizontal->setMaximum(x + CursorWidth + Margin - viewWidth);
    horizontal->setValue(wanted);
  }
}

void MemoEdit::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QPalette& colours = palette();
  painter.fillRect(event->rect(), colours.brush(QPalette::Base));
  painter.setFont(font());
  const QFontMetrics metrics = fontMetrics();
  const int height = lineHeight();
  const int first = verticalScrollBar()->value();
  const int last = std::min(lineCount() - 1, first + viewport()->height() / height + 1);
  const int left = textLeft();
  const Position from = std::min(anchor_, cursor_);
  const Position to = std::max(anchor_, cursor_);
  const bool selection = hasSelection();
  const bool showCursor = cursorShown_ && hasFocus() && !readOnly_;

  for (int i = first; i <= last; ++i) {
    const QString& line = lines_[i];
    const int top = (i - first) * height;
    const int baseline = top + metrics.ascent();
    painter.setPen(colours.color(QPalette::Text));
    painter.drawText(left, baseline, line);
    if (selection && i >= from.line && i <= to.line) {
      const int start = i == from.line ? from.column : 0;
      const int end = i == to.line ? to.column : static_cast<int>(line.size());
      const int x0 = left + metrics.horizontalAdvance(line, start);
      int x1 = left + metrics.horizontalAdvance(line, end);
      if (i < to.line)
        x1 += metrics.horizontalAdvance(QLatin1Char(' ')); // the selected line break
      const QRect marked(x0, top, x1 - x0, height);
      painter.fillRect(marked, colours.brush(QPalette::Highlight));
      painter.save();
      painter.setClipRect(marked);
      painter.setPen(colours.color(QPalette::HighlightedText));
      painter.drawText(left, baseline, line);
      painter.restore();
    }
    if (showCursor && i == cursor_.line) {
      const int x = left + metrics.horizontalAdvance(line, cursor_.column);
      painter.fillRect(QRect(x, top, CursorWidth, height), colours.brush(QPalette::Text));
    }
  }
}

void MemoEdit::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollBars();
}

void MemoEdit::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    updateScrollBars();
    viewport()->update();
  }
}

// ---- mouse, focus, cursor blinking ----

int MemoEdit::columnAt(const QString& line, int x) const {
  // The character boundary nearest to x, found by halving over the prefix widths.
  const QFontMetrics metrics = fontMetrics();
  const auto widthOf = [&](int column) { return metrics.horizontalAdvance(line, column); };
  int low = 0;
  int high = static_cast<int>(line.size());
  while (low < high) {
    const int middle = (low + high + 1) / 2;
    if (widthOf(middle) <= x)
      low = middle;
    else
      high = middle - 1;
  }
  if (low < line.size() && x - widthOf(low) > widthOf(low + 1) - x)
    ++low;
  return low;
}

MemoEdit::Position MemoEdit::positionAt(const QPoint& point) const {
  const int height = lineHeight();
  const int row = point.y() >= 0 ? point.y() / height : -1 - (-point.y() - 1) / height;
  const int line = std::clamp(verticalScrollBar()->value() + row, 0, lineCount() - 1);
  return Position{line, columnAt(lines_[line], point.x() - textLeft())};
}

void MemoEdit::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  moveCursor(positionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
  event->accept();
}

void MemoEdit::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) {
    QAbstractScrollArea::mouseMoveEvent(event);
    return;
  }
  moveCursor(positionAt(event->position().toPoint()), true);
  event->accept();
}

void MemoEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton)
    event->accept();
  else
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void MemoEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mouseDoubleClickEvent(event);
    return;
  }
  // A double click marks the word under the mouse.
  const Position at = positionAt(event->position().toPoint());
  const QString& line = lines_[at.line];
  int start = at.column;
  int end = at.column;
  while (start > 0 && IsWordCharacter(line[start - 1]))
    --start;
  while (end < line.size() && IsWordCharacter(line[end]))
    ++end;
  anchor_ = Position{at.line, start};
  moveCursor(Position{at.line, end}, true);
  event->accept();
}

QMenu* MemoEdit::createContextMenu() {
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("MemoEditMenu"));
  const bool canPaste = !readOnly_ && !QGuiApplication::clipboard()->text().isEmpty();
  const struct {
    QString text;
    QKeySequence::StandardKey key;
    bool enabled;
    std::function<void()> run;
  } entries[] = {
      {QStringLiteral("&Rückgängig"), QKeySequence::Undo, !readOnly_ && isUndoAvailable(),
       [this] { undo(); }},
      {QStringLiteral("Wieder&herstellen"), QKeySequence::Redo, !readOnly_ && isRedoAvailable(),
       [this] { redo(); }},
      {QStringLiteral("&Ausschneiden"), QKeySequence::Cut, !readOnly_ && hasSelection(),
       [this] { cut(); }},
      {QStringLiteral("&Kopieren"), QKeySequence::Copy, hasSelection(), [this] { copy(); }},
      {QStringLiteral("E&infügen"), QKeySequence::Paste, canPaste, [this] { paste(); }},
      {QStringLiteral("Alles &markieren"), QKeySequence::SelectAll, !isEmpty(),
       [this] { selectAll(); }},
  };
  for (const auto& entry : entries) {
    if (entry.key == QKeySequence::SelectAll || entry.key == QKeySequence::Cut)
      menu->addSeparator();
    QAction* action = menu->addAction(entry.text);
    action->setShortcut(entry.key);
    action->setEnabled(entry.enabled);
    connect(action, &QAction::triggered, this, entry.run);
  }
  return menu;
}

void MemoEdit::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
  event->accept();
}

void MemoEdit::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  restartBlink();
  viewport()->update();
}

void MemoEdit::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  blinkTimer_.stop();
  viewport()->update();
}

void MemoEdit::restartBlink() {
  cursorShown_ = true;
  const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
  if (hasFocus() && !readOnly_ && flashTime > 0)
    blinkTimer_.start(flashTime / 2, this);
  else
    blinkTimer_.stop();
}

void MemoEdit::timerEvent(QTimerEvent* event) {
  if (event->timerId() != blinkTimer_.timerId()) {
    QAbstractScrollArea::timerEvent(event);
    return;
  }
  cursorShown_ = !cursorShown_;
  viewport()->update();
}

} // namespace kw
