#include "ui/FUpdate.h"

#include "ui/Help.h"
#include "ui/WindowParts.h"

#include <QVBoxLayout>

namespace kw {

FUpdate::FUpdate(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FUpdate"));
  FormCreate();
}

void FUpdate::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  setWindowFlag(Qt::Window);
  InstallHelpKey(this, 2000);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(HeadingStrip(QStringLiteral("Update-Prüfung"), this, QStringLiteral("PTitel")));
  layout->addStretch(1);
  resize(653, 290);
}

} // namespace kw
