#include "ui/FUpdate.h"

#include "files/Folders.h"
#include "ui/DesktopPlatform.h"
#include "ui/Dialogs.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/WindowParts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

namespace kw {
namespace {

const QString CheckOfflineMessage =
    QStringLiteral("Für die Aktualisierung muss eine Verbindung zum Internet bestehen.");
const QString DownloadOfflineMessage =
    QStringLiteral("Für den Download der Installations-Datei muss eine Verbindung zum Internet "
                   "bestehen.\r\rIch breche ab.");
const QString NewsOfflineMessage =
    QStringLiteral("Für den Seiten-Aufruf muss eine Verbindung zum Internet bestehen.");

// The data folder as the messages show it, ending with a separator.
QString shownDataDir() { return QDir::toNativeSeparators(DataDir()); }

QString downloadFailedMessage() {
  return QStringLiteral("Der Download ist gescheitert. Versuchen Sie es bitte später noch einmal "
                        "oder laden Sie das Update von \"") +
         FromUtf8(UpdateWebSite) + QStringLiteral("\" herunter.");
}

QString installQuestion(const QString& folder) {
  return QStringLiteral("Um die Installation durchführen zu können, muss das Programm jetzt "
                        "geschlossen werden. Die Programm-Datei wird gelöscht und das Update "
                        "gestartet. Wenn etwas schief läuft, bitte das Update manuell durch "
                        "Doppelklick auf die Datei \"Update.exe\" im Verzeichnis ") +
         folder + QStringLiteral(" starten.\r\rSoll fortgefahren werden?");
}

QString installRefusedMessage(const QString& folder) {
  return QStringLiteral("Update konnte nicht gestartet werden. Bitte schließen Sie den Kesselwerk "
                        "und starten Sie das Update manuell durch Doppelklick auf die Datei "
                        "\"Update.exe\" im Verzeichnis ") +
         folder + QStringLiteral(".");
}

// The program file the user is asked to delete: "Kesselwerk.exe" on Windows, the running
// program's own name elsewhere.
QString programFileName(const QString& programFile) {
#ifdef Q_OS_WIN
  Q_UNUSED(programFile);
  return QStringLiteral("Kesselwerk.exe");
#else
  return QFileInfo(programFile).fileName();
#endif
}

QString installCancelledMessage(const QString& folder, const QString& programFile) {
  return QStringLiteral("Installation wurde auf Ihren Wunsch abgebrochen. Sie  könnnen das Update "
                        "manuell durch Doppelklick auf die Datei \"Update.exe\" im Verzeichnis ") +
         folder +
         QStringLiteral(" starten.\r\rZuvor muss das Programm geschlossen und die Datei \"") +
         programFileName(programFile) + QStringLiteral("\" gelöscht werden.");
}

// The downloaded file is no installer this system can start (a Windows program on Linux,
// say): nothing is started and nothing removed.
QString installByHandMessage(const QString& installer) {
  return QStringLiteral("Das heruntergeladene Update kann auf diesem System nicht automatisch "
                        "installiert werden. Das Programm bleibt unverändert.\r\rDie Datei liegt "
                        "unter:\r") +
         QDir::toNativeSeparators(installer) +
         QStringLiteral("\r\rBitte installieren Sie das Update von Hand.");
}

bool isUserInput(QEvent::Type type) {
  switch (type) {
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonRelease:
  case QEvent::MouseButtonDblClick:
  case QEvent::MouseMove:
  case QEvent::Wheel:
  case QEvent::KeyPress:
  case QEvent::KeyRelease:
  case QEvent::Shortcut:
  case QEvent::ShortcutOverride:
  case QEvent::InputMethod:
  case QEvent::ContextMenu:
  case QEvent::TouchBegin:
  case QEvent::TouchUpdate:
  case QEvent::TouchEnd:
  case QEvent::TabletPress:
  case QEvent::TabletMove:
  case QEvent::TabletRelease:
  case QEvent::DragEnter:
  case QEvent::DragMove:
  case QEvent::Drop:
  case QEvent::NativeGesture:
    return true;
  default:
    return false;
  }
}

// Keeps user input away from every window while a transfer waits, as if the program did
// not respond, with one exception: the update window can be closed (through its frame or
// its "Schließen" button), which ends the transfer.
class InputGuard : public QObject {
public:
  InputGuard(QWidget& window, QWidget* closeButton) : window_(window), closeButton_(closeButton) {
    qApp->installEventFilter(this);
  }
  ~InputGuard() override { qApp->removeEventFilter(this); }
  InputGuard(const InputGuard&) = delete;
  InputGuard& operator=(const InputGuard&) = delete;

protected:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (event->type() == QEvent::Close) {
      if (isTheWindow(receiver))
        return false;
      event->ignore(); // another window stays open
      return true;
    }
    if (!isUserInput(event->type()))
      return false;
    // The window's frame passes its input on to the control under it; only the close
    // button takes it.
    return !isTheWindow(receiver) && receiver != closeButton_;
  }

private:
  bool isTheWindow(const QObject* receiver) const {
    return receiver == &window_ || receiver == window_.windowHandle();
  }

  QWidget& window_;
  QWidget* closeButton_;
};

// The news page comes from the internet: it may show only what it brings itself, never a
// local file (a picture or style sheet named by a file address, a path or a relative name).
class NewsBrowser : public QTextBrowser {
public:
  using QTextBrowser::QTextBrowser;

  QVariant loadResource(int type, const QUrl&) override {
    // Valid answers only: on a null one the document reads the file itself, and on a
    // picture it cannot decode the picture handler opens the name as a local path.
    if (type == QTextDocument::ImageResource) {
      QImage nothing(1, 1, QImage::Format_ARGB32);
      nothing.fill(Qt::transparent);
      return nothing;
    }
    if (type == QTextDocument::StyleSheetResource)
      return QString();
    return QByteArray();
  }
};

QLabel* valuePanel(QWidget* parent, const QString& name) {
  QLabel* panel = SunkenPanel(QString(), name, parent);
  // Published text is shown as it is, never as markup.
  panel->setTextFormat(Qt::PlainText);
  panel->setMinimumWidth(120);
  panel->setStyleSheet(QStringLiteral("background: white; font-weight: bold;"));
  return panel;
}

QWidget* panel(QWidget* parent, const QString& name) {
  auto* widget = new QWidget(parent);
  widget->setObjectName(name);
  return widget;
}

} // namespace

// While a handler waits for a transfer: the hourglass, input kept away (InputGuard), and
// the window kept alive when it is closed meanwhile, until the handler is done.
class FUpdate::Waiting {
public:
  explicit Waiting(FUpdate& window) : window_(window), guard_(window, window.bSave_) {
    ++window_.waiting_;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::processEvents();
  }
  ~Waiting() {
    QApplication::restoreOverrideCursor();
    QApplication::processEvents();
    if (--window_.waiting_ == 0 && window_.deleteWhenDone_)
      window_.deleteLater();
  }
  Waiting(const Waiting&) = delete;
  Waiting& operator=(const Waiting&) = delete;

private:
  FUpdate& window_;
  InputGuard guard_;
};

FUpdate::FUpdate(QWidget* parent) : QWidget(parent), updater_(DesktopPlatform::current()) {
  setObjectName(QStringLiteral("FUpdate"));
  // The window lets its own closing through while a transfer waits.
  updater_.setServeUserInputWhileWaiting(true);
  FormCreate();
}

void FUpdate::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  setWindowFlag(Qt::Window);
  InstallHelpKey(this, help::Tools);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(buildTopBar());
  auto* halves = new QHBoxLayout;
  halves->setContentsMargins(8, 4, 8, 8);
  halves->addWidget(buildCheckGroup(), 1);
  halves->addWidget(buildNewsGroup(), 1);
  layout->addLayout(halves, 1);
  resize(653, 290);
}

QWidget* FUpdate::buildTopBar() {
  auto* top = panel(this, QStringLiteral("POben"));
  top->setAttribute(Qt::WA_StyledBackground);
  top->setStyleSheet(QStringLiteral("#POben { background: #5978B2; }"));
  auto* row = new QHBoxLayout(top);
  row->setContentsMargins(8, 4, 8, 4);
  bSave_ = new QPushButton(QStringLiteral("Sch&ließen"), top);
  bSave_->setObjectName(QStringLiteral("BSave"));
  connect(bSave_, &QPushButton::clicked, this, &QWidget::close);
  row->addWidget(bSave_);
  row->addStretch(1);
  auto* help = HelpButton(help::Tools, QStringLiteral("Button11"), top);
  row->addWidget(help);
  return top;
}

QWidget* FUpdate::buildCheckGroup() {
  auto* group = new QGroupBox(QStringLiteral("Programmversion auf Aktualität prüfen"), this);
  group->setObjectName(QStringLiteral("GroupBox6"));
  auto* column = new QVBoxLayout(group);

  pProof_ = panel(group, QStringLiteral("PProof"));
  auto* proofRow = new QHBoxLayout(pProof_);
  proofRow->setContentsMargins(0, 0, 0, 0);
  auto* proof = new QPushButton(QStringLiteral("Update-Prüfung starten"), pProof_);
  proof->setObjectName(QStringLiteral("BProof"));
  connect(proof, &QPushButton::clicked, this, &FUpdate::BProofClick);
  proofRow->addWidget(proof);
  column->addWidget(pProof_);

  pVersAnzeige_ = panel(group, QStringLiteral("PVersAnzeige"));
  auto* versions = new QGridLayout(pVersAnzeige_);
  versions->setContentsMargins(0, 0, 0, 0);
  versions->addWidget(new QLabel(QStringLiteral("Installierte Version"), pVersAnzeige_), 0, 0);
  versions->addWidget(new QLabel(QStringLiteral("Aktuelle Version"), pVersAnzeige_), 1, 0);
  pAkt_ = valuePanel(pVersAnzeige_, QStringLiteral("PAkt"));
  pOnl_ = valuePanel(pVersAnzeige_, QStringLiteral("POnl"));
  versions->addWidget(pAkt_, 0, 1);
  versions->addWidget(pOnl_, 1, 1);
  pVersAnzeige_->hide();
  column->addWidget(pVersAnzeige_);

  pBlau_ = panel(group, QStringLiteral("PBlau"));
  pBlau_->setAttribute(Qt::WA_StyledBackground);
  pBlau_->setStyleSheet(
      QStringLiteral("#PBlau { background: #CFD7E7; } #Label9 { color: #004080; }"));
  auto* hint = new QVBoxLayout(pBlau_);
  hint->addWidget(WrappedLabel(
      QStringLiteral("Wenn die Update-Prüfung positiv verläuft, dann wird hier ein Download- und "
                     "ein Installations- Button eingeblendet."),
      QStringLiteral("Label9"), pBlau_));
  column->addWidget(pBlau_);

  pLos_ = panel(group, QStringLiteral("PLos"));
  auto* los = new QVBoxLayout(pLos_);
  los->setContentsMargins(0, 0, 0, 0);
  pDown_ = panel(pLos_, QStringLiteral("PDown"));
  auto* down = new QVBoxLayout(pDown_);
  down->setContentsMargins(0, 0, 0, 0);
  down->addWidget(WrappedLabel(
      QStringLiteral("Nach Abschluss des Downloads wird der Button [Installieren] sichtbar."),
      QStringLiteral("Label11"), pDown_));
  auto* downButton = new QPushButton(QStringLiteral("Download starten"), pDown_);
  downButton->setObjectName(QStringLiteral("BDown"));
  connect(downButton, &QPushButton::clicked, this, &FUpdate::BDownClick);
  down->addWidget(downButton);
  los->addWidget(pDown_);
  pInst_ = panel(pLos_, QStringLiteral("PInst"));
  auto* inst = new QVBoxLayout(pInst_);
  inst->setContentsMargins(0, 0, 0, 0);
  inst->addWidget(WrappedLabel(QStringLiteral("Wenn die Installation startet, wird das Programm "
                                              "beendet.   Das Update ist in das Programm- "
                                              "verzeichnis zu installieren."),
                               QStringLiteral("Label13"), pInst_));
  auto* setup = new QPushButton(QStringLiteral("Installation starten"), pInst_);
  setup->setObjectName(QStringLiteral("BSetup"));
  connect(setup, &QPushButton::clicked, this, &FUpdate::BSetupClick);
  inst->addWidget(setup);
  pInst_->hide();
  los->addWidget(pInst_);
  pLos_->hide();
  column->addWidget(pLos_);
  column->addStretch(1);
  return group;
}

QWidget* FUpdate::buildNewsGroup() {
  auto* group = new QGroupBox(QStringLiteral("Programm-Informationen im Internet"), this);
  group->setObjectName(QStringLiteral("GroupBox7"));
  auto* column = new QVBoxLayout(group);
  auto* headingRow = new QHBoxLayout;
  auto* heading = new QLabel(QStringLiteral("Neuigkeiten ?"), group);
  heading->setObjectName(QStringLiteral("Label6"));
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  headingRow->addWidget(heading, 1);
  auto* news = new QPushButton(QStringLiteral("Neuigkeiten\naufrufen"), group);
  news->setObjectName(QStringLiteral("BAktuell"));
  connect(news, &QPushButton::clicked, this, &FUpdate::BAktuellClick);
  headingRow->addWidget(news);
  column->addLayout(headingRow);
  web1_ = new NewsBrowser(group);
  web1_->setObjectName(QStringLiteral("web1"));
  // Links go through the updater, which hands only http(s) addresses to the desktop.
  web1_->setOpenLinks(false);
  web1_->setOpenExternalLinks(false);
  connect(web1_, &QTextBrowser::anchorClicked, this, &FUpdate::web1AnchorClicked);
  column->addWidget(web1_, 1);
  return group;
}

void FUpdate::BProofClick() {
  if (!updater_.isOnline()) {
    Dialogs::instance().information(this, CheckOfflineMessage);
    return;
  }
  VersionCheck check;
  {
    Waiting waiting(*this);
    check = updater_.checkVersion();
  }
  if (closedWhileWaiting_ || check.status == CheckStatus::Cancelled)
    return;
  if (check.status != CheckStatus::Read) {
    reportFailedCheck(check);
    return;
  }
  showVersions(check);
}

void FUpdate::reportFailedCheck(const VersionCheck& check) {
  switch (check.status) {
  case CheckStatus::CopyUnreadable:
    Dialogs::instance().error(this, check.readError);
    break;
  case CheckStatus::FileRefused:
    // A partial record is a read error of the file; a file without a record (or with a
    // damaged one) is a failed check.
    if (check.file.status == VersionFileStatus::Truncated)
      Dialogs::instance().error(this, FromUtf8(check.file.message));
    else
      Dialogs::instance().information(this, FromUtf8(check.file.message));
    break;
  default:
    Dialogs::instance().information(this, FromUtf8(UpdateCheckFailedMessage));
    break;
  }
}

void FUpdate::showVersions(const VersionCheck& check) {
  pProof_->hide();
  pAkt_->setText(FromUtf8(InstalledVersion));
  QStringDecoder ansi("windows-1252");
  const std::string& published = check.file.published;
  pOnl_->setText(ansi(QByteArrayView(published.data(), qsizetype(published.size()))));
  pVersAnzeige_->show();
  const bool offered = check.updateAvailable();
  pBlau_->setVisible(!offered);
  pLos_->setVisible(offered);
  pDown_->setEnabled(true);
  pInst_->hide();
}

void FUpdate::BDownClick() {
  if (!updater_.isOnline()) {
    Dialogs::instance().information(this, DownloadOfflineMessage);
    return;
  }
  DownloadStatus status = DownloadStatus::Failed;
  {
    Waiting waiting(*this);
    status = updater_.downloadInstaller();
  }
  if (closedWhileWaiting_)
    return;
  // A local file error or an aborted transfer ends the download without a message.
  if (status == DownloadStatus::Complete) {
    pDown_->setEnabled(false);
    pInst_->show();
  } else if (status == DownloadStatus::Failed) {
    Dialogs::instance().information(this, downloadFailedMessage());
  }
}

void FUpdate::BSetupClick() {
  const QString folder = shownDataDir();
  // Asking to close the program for an installer that cannot run here would only lead to
  // the by-hand way after all.
  if (!updater_.installerRunsHere()) {
    Dialogs::instance().information(this, installByHandMessage(Updater::InstallerCopy()));
    return;
  }
  if (Dialogs::instance().confirm(this, installQuestion(folder),
                                  Dialogs::YesButton | Dialogs::NoButton) != Dialogs::Answer::Yes) {
    Dialogs::instance().information(this, installCancelledMessage(folder, updater_.programFile()));
    return;
  }
  switch (updater_.startInstaller()) {
  case InstallStart::NotRunnableHere: // changed while the question was open
    Dialogs::instance().information(this, installByHandMessage(Updater::InstallerCopy()));
    break;
  case InstallStart::Refused:
    Dialogs::instance().information(this, installRefusedMessage(folder));
    break;
  case InstallStart::Started:
    break;
  }
}

void FUpdate::BAktuellClick() {
  if (!updater_.isOnline()) {
    Dialogs::instance().information(this, NewsOfflineMessage);
    return;
  }
  NewsPage news;
  {
    Waiting waiting(*this);
    news = updater_.fetchNews();
  }
  if (closedWhileWaiting_ || news.status == NewsStatus::Cancelled)
    return;
  if (news.status == NewsStatus::Failed) {
    web1_->setHtml(QStringLiteral("<p>Die Seite %1 konnte nicht geladen werden.</p>")
                       .arg(news.url.toString().toHtmlEscaped()));
    return;
  }
  web1_->setHtml(news.html);
}

void FUpdate::web1AnchorClicked(const QUrl& link) {
  // A link to a place on the page itself only moves there.
  if (link.isRelative() && link.path().isEmpty() && link.hasFragment()) {
    web1_->scrollToAnchor(link.fragment());
    return;
  }
  updater_.openNewsLink(link);
}

void FUpdate::closeEvent(QCloseEvent* event) {
  if (waiting_ > 0) {
    // The waiting handler is still on the stack: end its transfer, keep its results off
    // the screen and let it destroy the window once it is done.
    closedWhileWaiting_ = true;
    updater_.cancel();
    deleteWhenDone_ = testAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_DeleteOnClose, false);
  } else {
    QApplication::restoreOverrideCursor();
  }
  event->accept();
}

} // namespace kw
