#pragma once

#include "support/ScriptedDialogs.h"
#include "ui/Application.h"

#include <QAbstractItemModelTester>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>

namespace kw::test {

// One window test's world: its own temporary data folder (KESSELWERK_DATA_DIR), scripted
// dialogs, and the application's start-up windows created in their order, their models
// watched by model testers (see AttachModelTesters).
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

// Puts a model tester (QAbstractItemModelTester) on the program's model of every item view
// inside the widget, once per model: from then on every change of the model is checked against the
// rules of item models, and a breach fails the running test. For models made after the
// start-up windows, such as a result tab's protocol. A breach fails the running Qt test, or
// with FailureReportingMode::Fatal ends the program (the soak, which runs outside Qt Test).
void AttachModelTesters(QWidget* widget,
                        QAbstractItemModelTester::FailureReportingMode mode =
                            QAbstractItemModelTester::FailureReportingMode::QtTest);

// Sets up Qt the way the program does (style, application name).
void PrepareApplication();

} // namespace kw::test
