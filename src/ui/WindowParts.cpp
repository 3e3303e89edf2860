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

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* WrappedLabel(const QString& text, const QString& name, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  if (!name.isEmpty())
    label->setObjectName(name);
  label->setWordWrap(true);
  return label;
}

QLabel* BoldLabel(const QString& text, const QString& name, QWidget* parent) {
  QLabel* label = WrappedLabel(text, name, parent);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
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
