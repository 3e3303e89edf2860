#include "ui/FAnalyse1.h"

#include "ui/Help.h"
#include "ui/WindowChrome.h"
#include "ui/WindowParts.h"

#include <QMenuBar>
#include <QVBoxLayout>

namespace kw {

FAnalyse1::FAnalyse1(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("FAnalyse1"));
  FormCreate();
}

void FAnalyse1::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  ChromeConfig config;
  config.helpContext = 1100;
  config.openSave = false;
  config.analysenEntries = {Command::Serien, Command::Systemtest};
  config.hiddenButtons = {Command::Serien};
  config.disabledButtons = {Command::Serien};
  chrome_ = WindowChrome::install(this, config);
  InstallHelpKey(this, 1100);

  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(
      HeadingStrip(QStringLiteral("   Serienlängen-Analyse"), client, QStringLiteral("PTitel")));
  layout->addStretch(1);
  setCentralWidget(client);
  resize(1000, 640 + menuBar()->sizeHint().height());
}

} // namespace kw
