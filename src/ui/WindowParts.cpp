#include "ui/WindowParts.h"

namespace kw {

QLabel* HeadingStrip(const QString& text, QWidget* parent, const QString& name) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setFixedHeight(26);
  label->setStyleSheet(QStringLiteral("background: #5978B2; color: white; font-weight: bold; "
                                      "font-size: 11pt; padding-left: 4px;"));
  return label;
}

QLabel* SunkenPanel(const QString& text, const QString& name, QWidget* parent) {
  auto* panel = new QLabel(text, parent);
  panel->setObjectName(name);
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Sunken);
  panel->setAlignment(Qt::AlignCenter);
  return panel;
}

} // namespace kw
