#pragma once

#include "support/ScriptedDialogs.h"
#include "ui/Application.h"

#include <QTemporaryDir>
#include <QWidget>

#include <memory>

namespace kw::test {

// One window test's world: its own temporary data folder (KESSELWERK_DATA_DIR), scripted
// dialogs, and the application's start-up windows created in their order.
class WindowTestHarness {
public:
  explicit WindowTestHarness(bool createWindows = true);
  ~WindowTestHarness();

  Application& app() { return *app_; }
  ScriptedDialogs& dialogs() { return *dialogs_; }
  QString dataDir() const { return dataDir_.path() + QLatin1Char('/'); }

private:
  QTemporaryDir dataDir_;
  ScriptedDialogs* dialogs_;
  std::unique_ptr<Application> app_;
};

// The control of that name inside the window, or null.
template <class T> T* Find(QWidget* window, const QString& name) {
  return window ? window->findChild<T*>(name) : nullptr;
}

// Sets up Qt the way the program does (style, application name).
void PrepareApplication();

} // namespace kw::test
