#include "ui/FAnalyse3.h"

#include "ui/Help.h"
#include "ui/WindowChrome.h"
#include "ui/WindowParts.h"

#include <QMenuBar>
#include <QVBoxLayout>

namespace kw {

FAnalyse3::FAnalyse3(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("FAnalyse3"));
  FormCreate();
}

void FAnalyse3::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  ChromeConfig config;
  config.helpContext = 1080;
  config.analysenEntries = {Command::Serien};
  config.disabledButtons = {Command::Systemtest};
  config.helpButtonName = QStringLiteral("Button4");
  config.systemtestButtonName = QStringLiteral("Button6");
  chrome_ = WindowChrome::install(this, config);
  InstallHelpKey(this, 1080);

  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(HeadingStrip(QStringLiteral("   Systemtest nach 2/3-Gesetz"), client,
                                 QStringLiteral("PTitel")));
  layout->addStretch(1);
  setCentralWidget(client);
  resize(1043, 660 + menuBar()->sizeHint().height());
}

} // namespace kw
