#include "ui/FOptionen.h"

#include "ui/Help.h"
#include "ui/WindowParts.h"

#include <QVBoxLayout>

namespace kw {

FOptionen::FOptionen(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FOptionen"));
  FormCreate();
}

void FOptionen::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  InstallHelpKey(this, 1120);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(
      HeadingStrip(QStringLiteral("Programmeinstellungen"), this, QStringLiteral("PTitel")));
  layout->addStretch(1);
  resize(485, 331);
}

} // namespace kw
