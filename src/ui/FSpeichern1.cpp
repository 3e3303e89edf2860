#include "ui/FSpeichern1.h"

#include "ui/Help.h"
#include "ui/WindowParts.h"

#include <QVBoxLayout>

namespace kw {

FSpeichern1::FSpeichern1(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FSpeichern1"));
  FormCreate();
}

void FSpeichern1::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  InstallHelpKey(this, 2000);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(
      HeadingStrip(QStringLiteral("Permanenz speichern"), this, QStringLiteral("PTitel")));
  layout->addStretch(1);
  resize(252, 358);
}

} // namespace kw
