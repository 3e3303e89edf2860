#include "ui/FInfo.h"

#include "core/Version.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/Icons.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kw {

FInfo::FInfo(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FInfo"));
  setWindowTitle(QStringLiteral("Kesselwerk"));
  InstallHelpKey(this, help::Info);
  auto* layout = new QVBoxLayout(this);
  auto* icon = new QLabel(this);
  icon->setPixmap(AppIcon(QStringLiteral("kesselwerk")).pixmap(64, 64));
  icon->setAlignment(Qt::AlignCenter);
  layout->addWidget(icon);
  auto* name = new QLabel(QLatin1String(ProductName), this);
  name->setObjectName(QStringLiteral("LProdukt"));
  name->setAlignment(Qt::AlignCenter);
  name->setStyleSheet(QStringLiteral("font-size: 16pt; font-weight: bold; color: #004080;"));
  layout->addWidget(name);
  auto* version = new QLabel(QStringLiteral("Version %1").arg(QLatin1String(ProductVersion)), this);
  version->setObjectName(QStringLiteral("LVersion"));
  version->setAlignment(Qt::AlignCenter);
  layout->addWidget(version);
  auto* about =
      new QLabel(QStringLiteral("Analyse von Roulette-Permanenzen:\nChancen, Serien, Systemtest, "
                                "Wurfweiten und Zufallszahlen."),
                 this);
  about->setAlignment(Qt::AlignCenter);
  layout->addWidget(about);
  auto* contact = new QLabel(
      QStringLiteral("Kontakt: Kesselwerk-Entwicklung, kontakt@kesselwerk.example"), this);
  contact->setObjectName(QStringLiteral("LKontakt"));
  contact->setAlignment(Qt::AlignCenter);
  contact->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(contact);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* close =
      buttons->addButton(QStringLiteral("Sch&ließen"), QDialogButtonBox::AcceptRole);
  close->setObjectName(QStringLiteral("BSchliessen"));
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  layout->addWidget(buttons);
  setFixedSize(sizeHint().expandedTo(QSize(380, 240)));
}

} // namespace kw
