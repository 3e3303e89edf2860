#include "support/WindowTestHarness.h"

#include "core/Version.h"
#include "files/GermanTexts.h"

#include <QApplication>
#include <QStyleFactory>

namespace kw::test {

WindowTestHarness::WindowTestHarness(bool createWindows) {
  qputenv("KESSELWERK_DATA_DIR", dataDir_.path().toLocal8Bit());
  dialogs_ = ScriptedDialogs::Install();
  app_ = std::make_unique<Application>();
  if (createWindows)
    app_->CreateWindows();
}

WindowTestHarness::~WindowTestHarness() {
  app_.reset();
  QApplication::processEvents();
}

void PrepareApplication() {
  // Qt's own texts German, as the program has them.
  InstallGermanTexts(*QCoreApplication::instance());
  QApplication::setApplicationName(QLatin1String(ProductName));
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setQuitOnLastWindowClosed(false);
}

} // namespace kw::test
