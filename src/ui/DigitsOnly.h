#pragma once

#include <QObject>

class QKeyEvent;
class QLineEdit;
class QValidator;

namespace kw {

// Holds what is typed into a field, or into an item view where a key starts an edit, to the
// digits 0 to 9: a key press that would type any other character is dropped. Keys that type
// nothing keep their work (Backspace, Delete, the cursor keys, Tab, Enter), and so do
// command keys with Ctrl (select all, undo, and the clipboard unless it is dropped too).
// One filter object may watch several controls.
class DigitsOnlyFilter : public QObject {
  Q_OBJECT
public:
  enum class ClipboardKeys { Allowed, Dropped };

  explicit DigitsOnlyFilter(QObject* parent, ClipboardKeys clipboard = ClipboardKeys::Allowed);

  // Whether the filter drops this key press.
  bool drops(const QKeyEvent& key) const;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  ClipboardKeys clipboard_;
};

// A validator that lets a field hold nothing but the digits 0 to 9, so that pasted text is
// held to digits as well.
QValidator* DigitsValidator(QObject* parent);

} // namespace kw
