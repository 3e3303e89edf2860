#include "ui/FUpdate.h"

#include "files/Folders.h"
#include "files/Settings.h"
#include "files/TextFile.h"
#include "tools/Download.h"
#include "tools/RemovalScript.h"
#include "tools/UpdateCheck.h"
#include "ui/Dialogs.h"
#include "ui/Help.h"
#include "ui/WindowParts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QNetworkInformation>
#include <QProcess>
#include <QPushButton>
#include <QStringDecoder>
#include <QTemporaryFile>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>

namespace kw {
namespace {

constexpr int HelpContext = 2000;

// The maker's server and web site; the base address can be changed in optionen.ini.
const QString DefaultServer = QStringLiteral("https://www.kesselwerk.de");
const QString WebSiteName = QStringLiteral("www.kesselwerk.de");
const QString VersionFilePath = QStringLiteral("/downloads/verinfos.kw");
const QString InstallerPath = QStringLiteral("/downloads/kwupdate.exe");
const QString NewsPath = QStringLiteral("/KW/aktuell.html");

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
         WebSiteName + QStringLiteral("\" herunter.");
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

QString installCancelledMessage(const QString& folder) {
  return QStringLiteral("Installation wurde auf Ihren Wunsch abgebrochen. Sie  könnnen das Update "
                        "manuell durch Doppelklick auf die Datei \"Update.exe\" im Verzeichnis ") +
         folder +
         QStringLiteral(" starten.\r\rZuvor muss das Programm geschlossen und die Datei "
                        "\"Kesselwerk.exe\" gelöscht werden.");
}

bool systemReportsOnline() {
  // Where the platform has no backend for it, a connection is assumed: a check without one
  // fails with its own message anyway.
  static const bool loaded =
      QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability) ||
      QNetworkInformation::loadDefaultBackend();
  const QNetworkInformation* information = QNetworkInformation::instance();
  if (!loaded || !information)
    return true;
  return information->reachability() != QNetworkInformation::Reachability::Disconnected;
}

bool desktopOpens(const QString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void removeProgramAndQuit() {
  FUpdate::WriteRemovalBatch();
  // The script could not be made: the installer runs all the same, the program ends the
  // usual way and is left in place.
  QApplication::quit();
}

// The hourglass for the length of a transfer; pending events run before it starts.
class BusyCursor {
public:
  BusyCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::processEvents();
  }
  ~BusyCursor() {
    QApplication::restoreOverrideCursor();
    QApplication::processEvents();
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

QLabel* valuePanel(QWidget* parent, const QString& name) {
  QLabel* panel = SunkenPanel(QString(), name, parent);
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

UpdatePlatform& UpdatePlatform::instance() {
  static UpdatePlatform platform{systemReportsOnline, desktopOpens, removeProgramAndQuit};
  return platform;
}

void UpdatePlatform::reset() {
  instance() = UpdatePlatform{systemReportsOnline, desktopOpens, removeProgramAndQuit};
}

FUpdate::FUpdate(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FUpdate"));
  FormCreate();
}

QString FUpdate::ServerBase() {
  QString base = qEnvironmentVariable("KESSELWERK_UPDATE_URL");
  if (base.isEmpty())
    base = ReadUpdateServer(DefaultServer);
  while (base.endsWith(QLatin1Char('/')))
    base.chop(1);
  return base;
}

QString FUpdate::VersionFileCopy() { return TempDir() + QStringLiteral("verinfos.kw"); }

QString FUpdate::InstallerCopy() { return DataDir() + QStringLiteral("Update.exe"); }

bool FUpdate::IsOnline() { return UpdatePlatform::instance().isOnline(); }

void FUpdate::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  setWindowFlag(Qt::Window);
  InstallHelpKey(this, HelpContext);
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
  auto* close = new QPushButton(QStringLiteral("Sch&ließen"), top);
  close->setObjectName(QStringLiteral("BSave"));
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  row->addWidget(close);
  row->addStretch(1);
  auto* help = HelpButton(HelpContext, QStringLiteral("Button11"), top);
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
  web1_ = new QTextBrowser(group);
  web1_->setObjectName(QStringLiteral("web1"));
  web1_->setOpenExternalLinks(true);
  column->addWidget(web1_, 1);
  return group;
}

void FUpdate::BProofClick() {
  if (!IsOnline()) {
    Dialogs::instance().information(this, CheckOfflineMessage);
    return;
  }
  const QString copy = VersionFileCopy();
  QFile::remove(copy);
  DownloadResult download;
  {
    BusyCursor busy;
    download = DownloadFile(ServerBase() + VersionFilePath, copy);
  }
  if (download.status != DownloadStatus::Complete) {
    Dialogs::instance().information(this, FromUtf8(UpdateCheckFailedMessage));
    return;
  }
  const FileBytes bytes = ReadFileBytes(copy);
  if (!bytes.ok()) {
    Dialogs::instance().error(this, bytes.error);
    return;
  }
  const VersionFileResult version =
      ParseVersionFile(std::span(reinterpret_cast<const uint8_t*>(bytes.bytes.constData()),
                                 static_cast<size_t>(bytes.bytes.size())));
  if (!version.ok()) {
    // A partial record is a read error of the file; a file without a record (or with a
    // damaged one) is a failed check.
    if (version.status == VersionFileStatus::Truncated)
      Dialogs::instance().error(this, FromUtf8(version.message));
    else
      Dialogs::instance().information(this, FromUtf8(version.message));
    return;
  }
  pProof_->hide();
  pAkt_->setText(FromUtf8(InstalledVersion));
  QStringDecoder ansi("windows-1252");
  pOnl_->setText(ansi(
      QByteArrayView(version.published.data(), static_cast<qsizetype>(version.published.size()))));
  pVersAnzeige_->show();
  const bool same = IsSameVersion(version.published);
  pBlau_->setVisible(same);
  pLos_->setVisible(!same);
  pDown_->setEnabled(true);
  pInst_->hide();
}

void FUpdate::BDownClick() {
  if (!IsOnline()) {
    Dialogs::instance().information(this, DownloadOfflineMessage);
    return;
  }
  const QString installer = InstallerCopy();
  if (QFile::exists(installer) && !QFile::remove(installer))
    return; // a file error ends the download without a message
  DownloadResult download;
  {
    BusyCursor busy;
    download = DownloadFile(ServerBase() + InstallerPath, installer);
  }
  if (download.status == DownloadStatus::Complete) {
    pDown_->setEnabled(false);
    pInst_->show();
  } else if (download.status == DownloadStatus::Failed) {
    Dialogs::instance().information(this, downloadFailedMessage());
  }
}

void FUpdate::BSetupClick() {
  const QString folder = shownDataDir();
  if (Dialogs::instance().confirm(this, installQuestion(folder),
                                  Dialogs::YesButton | Dialogs::NoButton) != Dialogs::Answer::Yes) {
    Dialogs::instance().information(this, installCancelledMessage(folder));
    return;
  }
  if (!UpdatePlatform::instance().openFile(InstallerCopy())) {
    Dialogs::instance().information(this, installRefusedMessage(folder));
    return;
  }
  UpdatePlatform::instance().removeProgram();
}

void FUpdate::BAktuellClick() {
  if (!IsOnline()) {
    Dialogs::instance().information(this, NewsOfflineMessage);
    return;
  }
  const QString url = ServerBase() + NewsPath;
  std::optional<QByteArray> page;
  {
    BusyCursor busy;
    page = FetchBytes(url);
  }
  if (!page) {
    web1_->setHtml(QStringLiteral("<p>Die Seite %1 konnte nicht geladen werden.</p>")
                       .arg(url.toHtmlEscaped()));
    return;
  }
  QStringDecoder decoder = QStringDecoder::decoderForHtml(*page);
  web1_->setHtml(decoder.isValid() ? decoder.decode(*page) : QString::fromUtf8(*page));
}

QString FUpdate::WriteRemovalScript(const QString& program, const QString& tempFolder) {
  QTemporaryFile unique(QDir(tempFolder).filePath(QStringLiteral("uisXXXXXX.tmp")));
  unique.setAutoRemove(false); // the first name stays taken, as the system's unique names do
  if (!unique.open())
    return {};
  auto local = [](const QString& path) {
    return QDir::toNativeSeparators(path).toLocal8Bit().toStdString();
  };
  const RemovalScriptPaths paths{
      local(program), local(QFileInfo(program).absolutePath() + QLatin1Char('/')),
      local(tempFolder), RemovalScriptPathFor(local(unique.fileName()), NativeRemovalScriptKind)};
  const std::optional<std::string> content = RemovalScriptContent(paths, NativeRemovalScriptKind);
  if (!content)
    return {};
  const QString script = QString::fromLocal8Bit(paths.scriptFile);
  if (!WriteFileBytes(script,
                      QByteArrayView(content->data(), static_cast<qsizetype>(content->size())))
           .isEmpty())
    return {};
  return script;
}

void FUpdate::WriteRemovalBatch() {
  const QString program = QCoreApplication::applicationFilePath();
  const QString tempFolder = TempDir();
  const QString script = WriteRemovalScript(program, tempFolder);
  if (script.isEmpty())
    return;
  // A read-only program file could not be deleted by the script.
  QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::WriteOwner);
  QDir::setCurrent(tempFolder);
#ifdef _WIN32
  // Hidden, with delayed expansion off so that the doubled '%' of the paths stay literal.
  QProcess process;
  process.setProgram(QStringLiteral("cmd.exe"));
  process.setArguments(
      {QStringLiteral("/d"), QStringLiteral("/v:off"), QStringLiteral("/c"), script});
  process.setWorkingDirectory(tempFolder);
  process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* arguments) {
    arguments->flags |= 0x08000000; // CREATE_NO_WINDOW
  });
  const bool started = process.startDetached();
#else
  const bool started = QProcess::startDetached(QStringLiteral("/bin/sh"), {script}, tempFolder);
#endif
  if (!started)
    return;
  std::fflush(nullptr);
  std::_Exit(0);
}

void FUpdate::closeEvent(QCloseEvent* event) {
  QApplication::restoreOverrideCursor();
  event->accept();
}

} // namespace kw
