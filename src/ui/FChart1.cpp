#include "ui/FChart1.h"

#include "ui/Help.h"
#include "ui/WindowChrome.h"
#include "ui/WindowParts.h"

#include <QMenuBar>
#include <QVBoxLayout>

namespace kw {

FChart1::FChart1(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("FChart1"));
  FormCreate();
}

void FChart1::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  ChromeConfig config;
  config.helpContext = 1110;
  config.openSave = false;
  config.analysenEntries = {Command::Serien, Command::Systemtest};
  chrome_ = WindowChrome::install(this, config);
  InstallHelpKey(this, 1110);

  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(
      HeadingStrip(QStringLiteral("   Häufigkeitsdiagramm"), client, QStringLiteral("PTitel")));
  layout->addStretch(1);
  setCentralWidget(client);
  resize(860, 640 + menuBar()->sizeHint().height());
}

} // namespace kw
