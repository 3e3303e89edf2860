#include "ui/WindowParts.h"

#include "ui/Help.h"
#include "ui/Icons.h"

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

QPushButton* HelpButton(int helpContext, const QString& name, QWidget* parent) {
  auto* button = new QPushButton(parent);
  button->setObjectName(name);
  button->setIcon(AppIcon(QStringLiteral("help")));
  button->setToolTip(QStringLiteral("Hilfe"));
  button->setFixedSize(28, 28);
  QObject::connect(button, &QPushButton::clicked, button,
                   [helpContext] { Help::instance().showContext(helpContext); });
  return button;
}

} // namespace kw
