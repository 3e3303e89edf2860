#pragma once

#include <QWidget>

#include <array>

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace kw {

// The delta calculator: expected count and the one- and three-delta ranges of a chance.
// It stays on top of the other windows, reads no permanence and stores nothing.
class FDelta : public QWidget {
  Q_OBJECT
public:
  explicit FDelta(QWidget* parent = nullptr);

  // Calculates for the chosen chance and the typed count; an empty count does nothing.
  void BBerechnenClick();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void FormCreate();
  QWidget* buildTopBar();
  QWidget* buildChanceGroup();
  QWidget* buildResultColumn();
  QWidget* buildBottomBar();
  // Enter calculates (the digits-only filter keeps other characters out of the field).
  bool Edit1KeyPress(QKeyEvent* event);

  QButtonGroup* rg1_ = nullptr;
  QLineEdit* edit1_ = nullptr;
  // Panel3, Panel4, Panel8, Panel2, Panel5, Panel9, Panel7
  std::array<QLabel*, 7> panels_{};
};

} // namespace kw
