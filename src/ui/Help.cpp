#include "ui/Help.h"

#include "ui/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWindow>

namespace kw {
namespace {

constexpr auto CollectionName = "kesselwerk.qhc";
constexpr auto DocumentationName = "kesselwerk.qch";

// The help engine writes its search index beside the collection. A collection in a
// build folder is used where it is; an installed one is read through a private copy in
// the cache folder, so the installed files stay as the package put them (also when the
// program runs as root) and the index is kept apart for every user.
QString privateCopy(const QString& source) {
  const QString folder = QFileInfo(source).absolutePath();
  const QString cache =
      QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/help");
  QDir().mkpath(cache);
  for (const char* name : {CollectionName, DocumentationName}) {
    const QString target = cache + QLatin1Char('/') + QLatin1String(name);
    QFile::remove(target);
    QFile::copy(folder + QLatin1Char('/') + QLatin1String(name), target);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
  }
  return cache + QLatin1Char('/') + QLatin1String(CollectionName);
}

} // namespace

Help& Help::instance() {
  static Help help;
  return help;
}

QString Help::CollectionFile() {
  const QString bin = QCoreApplication::applicationDirPath();
  const QString beside = bin + QStringLiteral("/help/") + QLatin1String(CollectionName);
  const QString fromBuild = qEnvironmentVariable("KESSELWERK_BIN_DIR") + QStringLiteral("/help/") +
                            QLatin1String(CollectionName);
  const QString installed =
      bin + QStringLiteral("/../share/kesselwerk/help/") + QLatin1String(CollectionName);
  if (QFileInfo::exists(beside))
    return QDir::cleanPath(beside);
  if (QFileInfo::exists(installed))
    return privateCopy(QDir::cleanPath(installed));
  if (QFileInfo::exists(fromBuild))
    return QDir::cleanPath(fromBuild);
  return {};
}

HelpWindow* Help::window() const { return window_.data(); }

void Help::closeWindow() { delete window_.data(); }

HelpWindow* Help::ensureWindow() {
  if (!window_) {
    // Closing only hides the window: its help engine lives until the application ends,
    // because the search engine's threads (the index, a search) must not lose their engine
    // while one of them is starting or running.
    window_ = new HelpWindow(CollectionFile());
    // Not every window system hands the activation back to the dialog below.
    QObject::connect(window_, &HelpWindow::closed, qApp, [this] {
      if (returnTo_ && returnTo_->isVisible())
        returnTo_->activateWindow();
      returnTo_ = nullptr;
    });
  }
  return window_;
}

// A modal dialog (the settings, the save dialog, a message box) blocks every other window,
// so help opened from it would sit behind the block, neither usable nor closable. Help
// opened while a modal dialog is up is therefore modal itself, on top of that dialog;
// closing it returns there. Opened from an ordinary window it stays beside the windows.
void Help::present(HelpWindow* w) {
  QWidget* modal = QApplication::activeModalWidget();
  const bool alreadyOnTop = modal == w;
  QWidget* dialog = modal && !alreadyOnTop ? modal->window() : nullptr;
  const Qt::WindowModality wanted = dialog || alreadyOnTop ? Qt::ApplicationModal : Qt::NonModal;
  if (w->windowModality() != wanted) {
    w->hide(); // the modality changes only while the window is hidden
    w->setWindowModality(wanted);
  }
  if (!alreadyOnTop) {
    returnTo_ = dialog;
    w->winId(); // the native window exists, so it can be kept above the dialog
    w->windowHandle()->setTransientParent(dialog ? dialog->windowHandle() : nullptr);
  }
  w->show();
  w->raise();
  w->activateWindow();
}

void Help::showContext(int context) {
  HelpWindow* w = ensureWindow();
  w->showContext(context);
  present(w);
}

void Help::showSearch() {
  HelpWindow* w = ensureWindow();
  w->showSearch();
  present(w);
}

} // namespace kw

#include <QShortcut>
#include <QWidget>

namespace kw {

void InstallHelpKey(QWidget* widget, int context) {
  auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F1), widget);
  shortcut->setContext(Qt::WidgetWithChildrenShortcut);
  QObject::connect(shortcut, &QShortcut::activated, widget,
                   [context] { Help::instance().showContext(context); });
}

} // namespace kw
