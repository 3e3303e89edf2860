#include "ui/DigitsOnly.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace kw {
namespace {

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Ctrl (Cmd on a Mac) makes a key a command. Ctrl together with Alt is AltGr on Windows,
// which types characters.
bool isCommand(const QKeyEvent& key) {
  const Qt::KeyboardModifiers held = key.modifiers();
  return (held & (Qt::ControlModifier | Qt::MetaModifier)) && !(held & Qt::AltModifier);
}

bool isClipboardKey(const QKeyEvent& key) {
  return key.matches(QKeySequence::Paste) || key.matches(QKeySequence::Copy) ||
         key.matches(QKeySequence::Cut);
}

} // namespace

DigitsOnlyFilter::DigitsOnlyFilter(QObject* parent, ClipboardKeys clipboard)
    : QObject(parent), clipboard_(clipboard) {}

bool DigitsOnlyFilter::drops(const QKeyEvent& key) const {
  if (isClipboardKey(key))
    return clipboard_ == ClipboardKeys::Dropped;
  if (isCommand(key))
    return false;
  const QString text = key.text();
  const bool typesCharacter = !text.isEmpty() && text.front().isPrint();
  return typesCharacter && !(text.size() == 1 && isDigit(text.front()));
}

bool DigitsOnlyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && drops(*static_cast<QKeyEvent*>(event)))
    return true;
  return QObject::eventFilter(watched, event);
}

QValidator* DigitsValidator(QObject* parent) {
  return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), parent);
}

} // namespace kw
