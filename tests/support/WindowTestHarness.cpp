#include "support/WindowTestHarness.h"

#include "core/Version.h"
#include "files/GermanTexts.h"

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QApplication>
#include <QStyleFactory>

namespace kw::test {

WindowTestHarness::WindowTestHarness(bool createWindows) {
  qputenv("KESSELWERK_DATA_DIR", dataDir_.path().toLocal8Bit());
  dialogs_ = ScriptedDialogs::Install();
  app_ = std::make_unique<Application>();
  if (createWindows) {
    app_->CreateWindows();
    for (QWidget* window : QApplication::topLevelWidgets())
      AttachModelTesters(window);
  }
}

WindowTestHarness::~WindowTestHarness() {
  app_.reset();
  QApplication::processEvents();
}

void AttachModelTesters(QWidget* widget, QAbstractItemModelTester::FailureReportingMode mode) {
  QList<QAbstractItemView*> views = widget->findChildren<QAbstractItemView*>();
  if (auto* view = qobject_cast<QAbstractItemView*>(widget))
    views << view;
  for (QAbstractItemView* view : views) {
    QAbstractItemModel* model = view->model();
    // The program's own models; the toolkit's item widgets keep theirs to themselves (and
    // empty them while they are being destroyed).
    if (!model || !QByteArray(model->metaObject()->className()).startsWith("kw::") ||
        model->findChild<QAbstractItemModelTester*>(QString(), Qt::FindDirectChildrenOnly))
      continue;
    new QAbstractItemModelTester(model, mode, model);
  }
}

void PrepareApplication() {
  // Qt's own texts German, as the program has them.
  InstallGermanTexts(*QCoreApplication::instance());
  QApplication::setApplicationName(QLatin1String(ProductName));
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setQuitOnLastWindowClosed(false);
}

} // namespace kw::test
