#include "ui/FZufall.h"

#include "ui/Help.h"
#include "ui/WindowParts.h"

#include <QVBoxLayout>

namespace kw {

FZufall::FZufall(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FZufall"));
  FormCreate();
}

void FZufall::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  setWindowFlag(Qt::Window);
  InstallHelpKey(this, 2000);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(HeadingStrip(QStringLiteral("Zufallszahlen"), this, QStringLiteral("PTitel")));
  layout->addStretch(1);
  resize(193, 529);
}

} // namespace kw
