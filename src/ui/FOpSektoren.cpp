#include "ui/FOpSektoren.h"

#include "ui/Help.h"
#include "ui/WindowChrome.h"
#include "ui/WindowParts.h"

#include <QMenuBar>
#include <QVBoxLayout>

namespace kw {

FOpSektoren::FOpSektoren(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("FOpSektoren"));
  FormCreate();
}

void FOpSektoren::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  ChromeConfig config;
  config.helpContext = 1090;
  config.analysenEntries = {Command::Serien, Command::Systemtest};
  config.hiddenButtons = {Command::Sektoren};
  config.disabledButtons = {Command::Sektoren};
  chrome_ = WindowChrome::install(this, config);
  InstallHelpKey(this, 1090);

  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(HeadingStrip(QStringLiteral("   Sektoren-Analyse (Wurfweiten)"), client,
                                 QStringLiteral("PTitel")));
  layout->addStretch(1);
  setCentralWidget(client);
  resize(934, 652 + menuBar()->sizeHint().height());
}

} // namespace kw
