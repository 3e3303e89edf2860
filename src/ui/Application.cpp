#include "ui/Application.h"

#include "files/Folders.h"
#include "files/Settings.h"
#include "ui/Dialogs.h"
#include "ui/FAnalyse1.h"
#include "ui/FAnalyse3.h"
#include "ui/FChart1.h"
#include "ui/FDelta.h"
#include "ui/FHaupt.h"
#include "ui/FInfo.h"
#include "ui/FKal.h"
#include "ui/FOpSektoren.h"
#include "ui/FOptionen.h"
#include "ui/FSignifikanz.h"
#include "ui/FSpeichern1.h"
#include "ui/FStart.h"
#include "ui/FSuche.h"
#include "ui/FSysteme.h"
#include "ui/FUpdate.h"
#include "ui/FZufall.h"
#include "ui/Help.h"
#include "workspace/TableJournal.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QDialog>
#include <QLocale>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>

// The pictures are compiled into the static ui library and must be registered by hand.
static void initResources() { Q_INIT_RESOURCE(kesselwerk); }

namespace kw {
namespace {

Application* current = nullptr;

// The desktop calculators tried in this order; Windows has its own.
QString findCalculator() {
#ifdef Q_OS_WIN
  return QStringLiteral("CALC.EXE");
#else
  for (const char* program :
       {"gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-gtk", "xcalc"}) {
    const QString path = QStandardPaths::findExecutable(QLatin1String(program));
    if (!path.isEmpty())
      return path;
  }
  return {};
#endif
}

QString RestoredTableText(int coups) {
  if (coups == 1)
    return QStringLiteral("Die zuletzt eingegebene Tabelle wurde wiederhergestellt: 1 Coup.");
  return QStringLiteral("Die zuletzt eingegebene Tabelle wurde wiederhergestellt: %1 Coups.")
      .arg(QLocale(QLocale::German).toString(coups));
}

void centreOn(QWidget* window, QWidget* anchor) {
  if (!anchor)
    return;
  const QRect frame = anchor->frameGeometry();
  window->move(frame.center() - window->rect().center());
}

} // namespace

Application::Application() : workspace_(std::make_unique<Workspace>()) {
  initResources();
  current = this;
}

Application::~Application() {
  // The journal is forced to the disk and closed before anything else goes.
  journal_.reset();
  journalLock_.reset();
  Help::instance().closeWindow();
  // Destroy in reverse creation order; each later window may refer to earlier ones.
  delete fStart_.data();
  delete fDelta_;
  delete fZufall_;
  delete fAnalyse3_;
  delete fAnalyse1_;
  delete fChart1_;
  delete fOpSektoren_;
  delete fSpeichern1_;
  delete fOptionen_;
  delete fHaupt_;
  // The on-demand windows still open. Collected before any is deleted: a window with menus
  // takes its menus (top-level widgets too) with it.
  QList<QPointer<QWidget>> onDemand;
  for (QWidget* w : QApplication::topLevelWidgets())
    for (const char* name : {"FKal", "FUpdate", "FInfo", "FSignifikanz", "FSysteme", "FSuche"})
      if (w->objectName() == QLatin1String(name))
        onDemand << w;
  for (const QPointer<QWidget>& w : onDemand)
    delete w.data();
  if (current == this)
    current = nullptr;
}

FStart* Application::fStart() const { return fStart_.data(); }

Application& Application::instance() { return *current; }

bool Application::exists() { return current != nullptr; }

void Application::CreateWindows() {
  PrepareFolders();
  workspace_->ReadStartFiles();
  Workspace& workspace = *workspace_;
  fHaupt_ = new FHaupt(workspace);
  fOptionen_ = new FOptionen(workspace);
  fSpeichern1_ = new FSpeichern1(workspace);
  fOpSektoren_ = new FOpSektoren(workspace);
  fChart1_ = new FChart1;
  fAnalyse1_ = new FAnalyse1;
  fAnalyse3_ = new FAnalyse3(workspace);
  fZufall_ = new FZufall(workspace);
  fDelta_ = new FDelta;
  connectWindows();
}

void Application::connectWindows() {
  QObject::connect(fHaupt_, &FHaupt::chartRequested, fChart1_, &FChart1::ShowFrequencies);
  // The sector window opens centred on the main window the first time it is shown; afterwards
  // it keeps wherever the user moved it.
  QObject::connect(fOpSektoren_, &FOpSektoren::firstShown, fOpSektoren_, [this] {
    QRect frame = fOpSektoren_->frameGeometry();
    frame.moveCenter(fHaupt_->frameGeometry().center());
    fOpSektoren_->move(frame.topLeft());
  });
}

void Application::Start() {
  fStart_ = new FStart;
  fStart_->show();
  fStart_->repaint();
  QApplication::processEvents();
  try {
    CreateWindows();
  } catch (const std::exception& e) {
    Dialogs::instance().error(fStart_, QString::fromLocal8Bit(e.what()));
  }
  if (fHaupt_)
    RestoreTable();
  fStart_->EnableWeiter();
  if (fHaupt_) {
    // The main window comes up as the start window goes. It is shown only then: a desktop
    // without a compositor ignores the opacity and would show it at once.
    fHaupt_->setWindowOpacity(0.0);
    FHaupt* main = fHaupt_;
    QObject::connect(fStart_, &FStart::mainWindowOpacity, main, [main](qreal opacity) {
      main->setWindowOpacity(opacity);
      if (!main->isVisible())
        main->show();
    });
  }
  fStart_->raise();
  fStart_->activateWindow();
}

void Application::RestoreTable() {
  const QString path = TableJournalPath();
  journalLock_ = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
  // The lock is held for the whole run: never taken for stale because of its age, only when
  // the program that held it no longer runs.
  journalLock_->setStaleLockTime(0);
  if (!journalLock_->tryLock(0)) {
    journalLock_.reset();
    sayAfterStartWindow(
        QStringLiteral("Kesselwerk läuft bereits mit diesem Datenordner und sichert dort die "
                       "Tabelle.\rDie Tabelle dieses Fensters wird nicht gesichert: speichern "
                       "Sie, was Sie hier eingeben, bevor Sie das Programm beenden."),
        false);
    return;
  }
  const RecordedTable recorded = ReadTableJournalFile(path);
  workspace_->RestoreRows(recorded.values, recorded.labels);
  journal_ = std::make_unique<TableJournal>(*workspace_, path);
  QObject::connect(journal_.get(), &TableJournal::failed, fHaupt_,
                   [this](const QString& message) { Dialogs::instance().error(fHaupt_, message); });
  if (!journal_->isRecording())
    sayAfterStartWindow(journal_->error(), true);
  else if (!recorded.values.empty())
    sayAfterStartWindow(RestoredTableText(recorded.coups()), false);
}

void Application::sayAfterStartWindow(const QString& text, bool isError) {
  auto say = [this, text, isError] {
    if (isError)
      Dialogs::instance().error(fHaupt_, text);
    else
      Dialogs::instance().information(fHaupt_, text);
  };
  if (fStart_)
    QObject::connect(fStart_, &QObject::destroyed, fHaupt_, say, Qt::QueuedConnection);
  else
    say();
}

void Application::showStartupWindow(QWidget* window, bool modal) {
  if (!window)
    return;
  if (modal) {
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
      dialog->exec();
      return;
    }
  }
  if (window->isMinimized())
    window->showNormal();
  window->show();
  window->raise();
  window->activateWindow();
}

void Application::open(Command command) {
  switch (command) {
  case Command::Sektoren:
    showStartupWindow(fOpSektoren_, false);
    break;
  case Command::Serien:
    showStartupWindow(fAnalyse1_, false);
    break;
  case Command::Systemtest:
    showStartupWindow(fAnalyse3_, false);
    break;
  case Command::Zufall:
    // Centred on the main window the first time; afterwards where the user left it.
    if (!zufallPlaced_ && fZufall_) {
      centreOn(fZufall_, fHaupt_);
      zufallPlaced_ = true;
    }
    showStartupWindow(fZufall_, false);
    break;
  case Command::Delta:
    showStartupWindow(fDelta_, false);
    break;
  case Command::Optionen:
    showStartupWindow(fOptionen_, true);
    break;
  case Command::Save:
    showStartupWindow(fSpeichern1_, true);
    break;
  case Command::Signifikanz:
    OpenOnDemand(QStringLiteral("FSignifikanz"));
    break;
  case Command::Systeme:
    OpenOnDemand(QStringLiteral("FSysteme"));
    break;
  case Command::Suche:
    OpenOnDemand(QStringLiteral("FSuche"));
    break;
  case Command::Kalender:
    OpenOnDemand(QStringLiteral("FKal"));
    break;
  case Command::Update:
    OpenOnDemand(QStringLiteral("FUpdate"));
    break;
  case Command::Info:
    OpenOnDemand(QStringLiteral("FInfo"));
    break;
  default:
    break;
  }
}

void Application::startCalculator(QWidget* parent) {
  const QString program = findCalculator();
  if (program.isEmpty() || !QProcess::startDetached(program, {})) {
    Dialogs::instance().error(
        parent, QStringLiteral("Es wurde kein Taschenrechner gefunden.\r\rBitte installieren "
                               "Sie einen Taschenrechner, zum Beispiel gnome-calculator, "
                               "kcalc, galculator, mate-calc, qalculate-gtk oder xcalc."));
  }
}

bool Application::FormExists(const QString& name) {
  const QWidgetList windows = QApplication::topLevelWidgets();
  for (auto it = windows.crbegin(); it != windows.crend(); ++it)
    if ((*it)->objectName() == name && (*it)->isVisible())
      return true;
  return false;
}

QWidget* Application::createOnDemand(const QString& name) {
  QWidget* window = nullptr;
  if (name == QLatin1String("FKal"))
    window = new FKal;
  else if (name == QLatin1String("FUpdate"))
    window = new FUpdate;
  else if (name == QLatin1String("FInfo"))
    window = new FInfo;
  else if (name == QLatin1String("FSignifikanz"))
    window = new FSignifikanz(*workspace_);
  else if (name == QLatin1String("FSysteme"))
    window = new FSysteme;
  else if (name == QLatin1String("FSuche"))
    window = new FSuche(*workspace_);
  if (window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    centreOn(window, fHaupt_);
  }
  return window;
}

QWidget* Application::OpenOnDemand(const QString& name) {
  QWidget* window = nullptr;
  if (FormExists(name)) {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend() && !window; ++it)
      if ((*it)->objectName() == name && (*it)->isVisible())
        window = *it;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  } else {
    window = createOnDemand(name);
  }
  if (!window)
    return nullptr;
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

} // namespace kw
