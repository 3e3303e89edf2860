// The update check against a real HTTP server on 127.0.0.1 that answers canned responses:
// the version comparison, faulty version files and transfers, the installer download, the
// installation questions, the news page and closing the window while a transfer waits.
// Nothing leaves the machine: the online test and the desktop's opener are replaced, the
// "running program" is a file in a temporary folder and ending the program is only counted.
#include "files/Settings.h"
#include "support/CannedHttpServer.h"
#include "support/RecordingPlatform.h"
#include "support/WindowActions.h"
#include "tools/UpdateCheck.h"
#include "tools/Updater.h"
#include "ui/DesktopPlatform.h"
#include "ui/FHaupt.h"
#include "ui/FUpdate.h"
#include "ui/Help.h"
#include "ui/HelpWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>
#include <QtTest>

using namespace kw;
using namespace kw::test;

namespace {

using CannedServer = CannedHttpServer;

// A version record: eight bytes of anything, the length, the text, padding.
QByteArray record(const QByteArray& version, char filler = '\x7f') {
  QByteArray bytes(8, filler);
  bytes += char(version.size());
  bytes += version;
  bytes += QByteArray(24 - bytes.size(), '\0');
  return bytes;
}

const QByteArray VersionPath = "/downloads/verinfos.kw";
const QByteArray InstallerPath = "/downloads/kwupdate.exe";
const QByteArray NewsPath = "/KW/aktuell.html";

const QString CheckFailed = QStringLiteral("Die Aktualisierung hat leider nicht geklappt.\r");
const QString DownloadFailed = QStringLiteral(
    "Der Download ist gescheitert. Versuchen Sie es bitte später noch einmal oder laden Sie das "
    "Update von \"www.kesselwerk.de\" herunter.");

bool shown(QWidget* window, const char* name) {
  QWidget* widget = Find<QWidget>(window, QLatin1String(name));
  return widget && widget->isVisibleTo(window);
}

QString text(QWidget* window, const char* name) {
  return Find<QLabel>(window, QLatin1String(name))->text();
}

void writeExecutable(const QString& path, const QByteArray& bytes) {
  QFile::remove(path);
  writeFile(path, bytes);
  QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner));
}

} // namespace

class FUpdateTest : public QObject {
  Q_OBJECT

  QTemporaryDir temp_; // the temporary folder, private to this test
  std::unique_ptr<CannedServer> server_;
  std::unique_ptr<WindowTestHarness> h_;
  QPointer<FUpdate> window_;
  std::unique_ptr<QTemporaryDir> programRoot_; // holds the "running program"
  std::unique_ptr<RecordingPlatform> platform_;

  QString programFile() const { return platform_->program; }
  // The removal scripts (and the names reserved for them) in the temporary folder.
  QStringList removalFiles() const {
    return QDir(temp_.path()).entryList({QStringLiteral("uis*")}, QDir::Files);
  }
  // Runs the check against a newer published version and downloads this installer.
  void downloadInstaller(const QByteArray& installer) {
    server_->responses[VersionPath] = CannedServer::ok(record("1.3.2.0"));
    server_->responses[InstallerPath] = CannedServer::ok(installer);
    click(window_, "BProof");
    click(window_, "BDown");
    QVERIFY(shown(window_, "PInst"));
  }

private slots:
  void initTestCase() {
    PrepareApplication();
    qputenv("TMPDIR", temp_.path().toLocal8Bit());
    for (const char* proxy : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
      qunsetenv(proxy);
  }

  void init() {
    server_ = std::make_unique<CannedServer>();
    qputenv("KESSELWERK_UPDATE_URL", server_->base().toLocal8Bit());
    h_ = std::make_unique<WindowTestHarness>();
    programRoot_ = std::make_unique<QTemporaryDir>();
    platform_ = std::make_unique<RecordingPlatform>();
    platform_->program = programRoot_->filePath(QStringLiteral("Kessel werk/kesselwerk"));
    QVERIFY(QDir().mkpath(QFileInfo(programFile()).absolutePath()));
    writeFile(programFile(), "das laufende Programm");
    DesktopPlatform::use(platform_.get());
    QFile::remove(Updater::VersionFileCopy());
    window_ = qobject_cast<FUpdate*>(h_->app().OpenOnDemand(QStringLiteral("FUpdate")));
    QVERIFY(window_);
  }

  void cleanup() {
    if (window_)
      window_->close();
    QTRY_VERIFY(window_.isNull()); // the window frees itself when closed
    h_.reset();
    server_.reset();
    DesktopPlatform::use(nullptr);
    platform_.reset();
    programRoot_.reset();
    for (const QString& name : removalFiles())
      QFile::remove(QDir(temp_.path()).filePath(name));
  }

  void startsWithOnlyTheCheckTheHintAndTheNews() {
    QCOMPARE(window_->windowTitle(), QStringLiteral("Kesselwerk"));
    for (const char* name : {"PProof", "PBlau", "BAktuell", "web1"})
      QVERIFY2(shown(window_, name), name);
    for (const char* name : {"PVersAnzeige", "PLos"})
      QVERIFY2(!shown(window_, name), name);
    QCOMPARE(Find<QPushButton>(window_, QStringLiteral("BAktuell"))->text(),
             QStringLiteral("Neuigkeiten\naufrufen"));
    QVERIFY(Find<QTextBrowser>(window_, QStringLiteral("web1"))->toPlainText().isEmpty());
    click(window_, "Button11");
    QCOMPARE(Help::instance().window()->currentContext(), 2000);
    Help::instance().window()->close();
  }

  void publishedVersionDecidesWhetherToOfferTheDownload_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("published");
    QTest::addColumn<bool>("offered");
    QTest::newRow("equal") << record("1.3.1.0") << "1.3.1.0" << false;
    QTest::newRow("newer") << record("1.3.2.0") << "1.3.2.0" << true;
    QTest::newRow("older") << record("1.3.0.9") << "1.3.0.9" << true;
    QTest::newRow("three records, the last counts")
        << record("9.9.9.9", '\0') + record("1.3.1.0", '\xff') + record("1.3.2.0", 'x') << "1.3.2.0"
        << true;
    QTest::newRow("the last equal")
        << record("1.3.2.0") + record("1.3.1.0", 'A') << "1.3.1.0" << false;
    QTest::newRow("fifteen characters") << record("1.3.1.0-beta-12") << "1.3.1.0-beta-12" << true;
    // Published text is shown as it is, never as markup.
    QTest::newRow("markup stays text") << record("<b>1.4</b><br>") << "<b>1.4</b><br>" << true;
  }

  void publishedVersionDecidesWhetherToOfferTheDownload() {
    QFETCH(QByteArray, file);
    QFETCH(QString, published);
    QFETCH(bool, offered);
    server_->responses[VersionPath] = CannedServer::ok(file);
    click(window_, "BProof");
    QVERIFY2(h_->dialogs().calls.isEmpty(), qPrintable(h_->dialogs().calls.value(0).text));
    QVERIFY(!shown(window_, "PProof"));
    QVERIFY(shown(window_, "PVersAnzeige"));
    QCOMPARE(text(window_, "PAkt"), QStringLiteral("1.3.1.0"));
    QCOMPARE(text(window_, "POnl"), published);
    for (const char* name : {"PAkt", "POnl"})
      QCOMPARE(Find<QLabel>(window_, QLatin1String(name))->textFormat(), Qt::PlainText);
    QCOMPARE(shown(window_, "PBlau"), !offered);
    QCOMPARE(shown(window_, "PLos"), offered);
    if (offered) {
      QVERIFY(Find<QWidget>(window_, QStringLiteral("PDown"))->isEnabled());
      QVERIFY(!shown(window_, "PInst"));
    }
    QCOMPARE(ReadBytes(Updater::VersionFileCopy()), file); // the copy stays
  }

  void failedChecksLeaveTheWindowAsItWas_data() {
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("copyKept");
    QTest::newRow("partial record") << CannedServer::ok(record("1.3.2.0") + "12345") << "error"
                                    << "Versuch hinter dem Dateiende zu lesen" << true;
    QTest::newRow("empty file") << CannedServer::ok({}) << "information" << CheckFailed << true;
    // A 404 page of exactly one record's size must not pass as a version file.
    QTest::newRow("404") << CannedServer::notFound(record("1.3.2.0")) << "information"
                         << CheckFailed << false;
    QTest::newRow("connection cut mid-body")
        << CannedServer::cut(record("1.3.1.0") + record("1.3.2.0")) << "information" << CheckFailed
        << false;
    QTest::newRow("server error") << QByteArray("HTTP/1.1 500 Internal Server Error\r\n"
                                                "Content-Length: 24\r\nConnection: close\r\n\r\n") +
                                         record("1.3.2.0")
                                  << "information" << CheckFailed << false;
  }

  void failedChecksLeaveTheWindowAsItWas() {
    QFETCH(QByteArray, response);
    QFETCH(QString, kind);
    QFETCH(QString, message);
    QFETCH(bool, copyKept);
    writeFile(Updater::VersionFileCopy(), record("1.3.1.0")); // left over from a last check
    server_->responses[VersionPath] = response;
    click(window_, "BProof");
    QCOMPARE(h_->dialogs().calls.size(), 1);
    QCOMPARE(h_->dialogs().calls[0].kind, kind);
    QCOMPARE(h_->dialogs().calls[0].text, message);
    QVERIFY(shown(window_, "PProof"));
    QVERIFY(!shown(window_, "PVersAnzeige"));
    QVERIFY(!shown(window_, "PLos"));
    // The left-over copy is gone either way; a failed transfer leaves no partial file.
    QCOMPARE(QFile::exists(Updater::VersionFileCopy()), copyKept);
    if (copyKept)
      QVERIFY(ReadBytes(Updater::VersionFileCopy()) != record("1.3.1.0"));
  }

  void installerDownload() {
    server_->responses[VersionPath] = CannedServer::ok(record("1.3.2.0"));
    click(window_, "BProof");
    QVERIFY(shown(window_, "PLos"));

    // Failure: the message, an old installer is gone, the download panel stays enabled.
    writeFile(Updater::InstallerCopy(), "altes Update");
    server_->responses[InstallerPath] = CannedServer::cut(QByteArray(100000, 'M'));
    click(window_, "BDown");
    QCOMPARE(h_->dialogs().calls.size(), 1);
    QCOMPARE(h_->dialogs().calls[0].kind, QStringLiteral("information"));
    QCOMPARE(h_->dialogs().calls[0].text, DownloadFailed);
    QVERIFY(!QFile::exists(Updater::InstallerCopy()));
    QVERIFY(Find<QWidget>(window_, QStringLiteral("PDown"))->isEnabled());
    QVERIFY(!shown(window_, "PInst"));

    server_->responses[InstallerPath] = CannedServer::notFound();
    click(window_, "BDown");
    QCOMPARE(h_->dialogs().calls.size(), 2);
    QCOMPARE(h_->dialogs().calls[1].text, DownloadFailed);
    QVERIFY(!QFile::exists(Updater::InstallerCopy()));

    // Success: the whole installer in the data folder, the installation offered.
    const QByteArray installer = QByteArray(300000, 'I') + "Ende";
    server_->responses[InstallerPath] = CannedServer::ok(installer);
    click(window_, "BDown");
    QCOMPARE(h_->dialogs().calls.size(), 2);
    QCOMPARE(Updater::InstallerCopy(), h_->dataDir() + QStringLiteral("Update.exe"));
    QCOMPARE(ReadBytes(Updater::InstallerCopy()), installer);
    QVERIFY(!Find<QWidget>(window_, QStringLiteral("PDown"))->isEnabled());
    QVERIFY(shown(window_, "PInst"));
  }

#ifndef Q_OS_WIN
  void installationAsksThenStartsTheInstallerAndRemovesTheProgram() {
    const QString folder = QDir::toNativeSeparators(h_->dataDir());
    const QString installer = Updater::InstallerCopy();
    const QString marker = temp_.filePath(QStringLiteral("Installer lief"));
    // An executable script stands in for an installer of this system.
    const QByteArray installerScript =
        "#!/bin/sh\nprintf gestartet > '" + QFile::encodeName(marker) + "'\n";
    writeExecutable(installer, installerScript);

    // Nein: the manual way is explained, nothing is started.
    h_->dialogs().answers.enqueue(Dialogs::Answer::No);
    window_->BSetupClick();
    QCOMPARE(h_->dialogs().calls.size(), 2);
    QCOMPARE(h_->dialogs().calls[0].kind, QStringLiteral("confirm"));
    QCOMPARE(h_->dialogs().calls[0].buttons, Dialogs::YesButton | Dialogs::NoButton);
    QCOMPARE(h_->dialogs().calls[0].text,
             QStringLiteral("Um die Installation durchführen zu können, muss das Programm jetzt "
                            "geschlossen werden. Die Programm-Datei wird gelöscht und das Update "
                            "gestartet. Wenn etwas schief läuft, bitte das Update manuell durch "
                            "Doppelklick auf die Datei \"Update.exe\" im Verzeichnis ") +
                 folder + QStringLiteral(" starten.\r\rSoll fortgefahren werden?"));
    // Outside Windows the program file is named as it is.
    QCOMPARE(h_->dialogs().calls[1].text,
             QStringLiteral("Installation wurde auf Ihren Wunsch abgebrochen. Sie  könnnen das "
                            "Update manuell durch Doppelklick auf die Datei \"Update.exe\" im "
                            "Verzeichnis ") +
                 folder +
                 QStringLiteral(" starten.\r\rZuvor muss das Programm geschlossen und die Datei "
                                "\"kesselwerk\" gelöscht werden."));
    QVERIFY(platform_->started.isEmpty());

    // Ja, but the system cannot start it (its interpreter is missing): the program stays.
    writeExecutable(installer, "#!/nicht/vorhanden/kw-sh\n");
    h_->dialogs().answers.enqueue(Dialogs::Answer::Yes);
    window_->BSetupClick();
    QCOMPARE(h_->dialogs().calls.size(), 4);
    QCOMPARE(h_->dialogs().calls[3].text,
             QStringLiteral("Update konnte nicht gestartet werden. Bitte schließen Sie den "
                            "Kesselwerk und starten Sie das Update manuell durch Doppelklick auf "
                            "die Datei \"Update.exe\" im Verzeichnis ") +
                 folder + QStringLiteral("."));
    QCOMPARE(platform_->quits, 0);
    QCOMPARE(ReadBytes(programFile()), QByteArray("das laufende Programm"));
    QVERIFY(removalFiles().isEmpty());

    // Ja: the installer runs, and only then the removal script, which deletes the program
    // and its folder; the program ends.
    writeExecutable(installer, installerScript);
    h_->dialogs().answers.enqueue(Dialogs::Answer::Yes);
    window_->BSetupClick();
    QCOMPARE(h_->dialogs().calls.size(), 5);
    QCOMPARE(platform_->quits, 1);
    QCOMPARE(platform_->started.size(), 3); // the refused try, the installer, the script
    QCOMPARE(platform_->started[1].program, installer);
    QCOMPARE(platform_->started[2].program, QStringLiteral("/bin/sh"));
    QTRY_COMPARE(ReadBytes(marker), QByteArray("gestartet"));
    QTRY_VERIFY(!QFile::exists(programFile()));
    QTRY_VERIFY(!QFileInfo::exists(QFileInfo(programFile()).absolutePath()));
    QTRY_VERIFY(!QFile::exists(platform_->started[2].arguments.value(0)));
    QVERIFY(platform_->opened.isEmpty());
  }

  // The maker's installer is a Windows program; here the desktop's opener would accept it
  // (and do nothing useful), so it is never asked and the program is left alone.
  void anInstallerOfAnotherSystemIsLeftToTheUserAndNothingIsRemoved() {
    const QByteArray windowsProgram = QByteArray("MZ\x90\0\x03\0\0\0", 8) + QByteArray(5000, 'w');
    downloadInstaller(windowsProgram);
    h_->dialogs().answers.enqueue(Dialogs::Answer::Yes);
    click(window_, "BSetup");
    QCOMPARE(h_->dialogs().calls.size(), 1);
    QCOMPARE(h_->dialogs().calls[0].kind, QStringLiteral("information"));
    QCOMPARE(h_->dialogs().calls[0].text,
             QStringLiteral("Das heruntergeladene Update kann auf diesem System nicht automatisch "
                            "installiert werden. Das Programm bleibt unverändert.\r\rDie Datei "
                            "liegt unter:\r") +
                 h_->dataDir() +
                 QStringLiteral("Update.exe\r\rBitte installieren Sie das Update "
                                "von Hand."));
    QCOMPARE(ReadBytes(programFile()), QByteArray("das laufende Programm"));
    QCOMPARE(ReadBytes(Updater::InstallerCopy()), windowsProgram);
    QVERIFY(removalFiles().isEmpty());
    QVERIFY(platform_->opened.isEmpty());
    QVERIFY(platform_->started.isEmpty());
    QCOMPARE(platform_->quits, 0);
  }
#endif

  void localFileErrorsDuringTransfers() {
    // The version file's copy cannot be written: the check failed.
    QVERIFY(QDir().mkpath(Updater::VersionFileCopy()));
    server_->responses[VersionPath] = CannedServer::ok(record("1.3.2.0"));
    click(window_, "BProof");
    QVERIFY(QDir().rmdir(Updater::VersionFileCopy()));
    QCOMPARE(h_->dialogs().calls.size(), 1);
    QCOMPARE(h_->dialogs().calls[0].text, CheckFailed);
    QVERIFY(shown(window_, "PProof"));

    // The installer's place cannot be cleared: the download ends without a message.
    click(window_, "BProof");
    QVERIFY(shown(window_, "PLos"));
    QVERIFY(QDir().mkpath(Updater::InstallerCopy() + QStringLiteral("/belegt")));
    server_->responses[InstallerPath] = CannedServer::ok("Installer");
    click(window_, "BDown");
    QCOMPARE(h_->dialogs().calls.size(), 1);
    QVERIFY(Find<QWidget>(window_, QStringLiteral("PDown"))->isEnabled());
    QVERIFY(!shown(window_, "PInst"));
    QVERIFY(!server_->requests.contains(InstallerPath));
  }

#ifndef Q_OS_WIN
  void removalScriptDeletesTheProgramItsFolderAndItself() {
    QTemporaryDir root;
    const QString programFolder = root.filePath(QStringLiteral("Kessel werk"));
    const QString tempFolder = root.filePath(QStringLiteral("tmp mit 'Blank'"));
    QVERIFY(QDir().mkpath(programFolder) && QDir().mkpath(tempFolder));
    const QString program = programFolder + QStringLiteral("/kesselwerk");
    writeFile(program, "Programm");

    const QString script = Updater::WriteRemovalScript(program, tempFolder);
    const QFileInfo info(script);
    QCOMPARE(info.absolutePath(), QFileInfo(tempFolder).absoluteFilePath());
    QVERIFY(info.fileName().startsWith(QStringLiteral("uis")));
    QCOMPARE(info.suffix(), QStringLiteral("sh"));
    QVERIFY(QFile::exists(info.path() + QLatin1Char('/') + info.completeBaseName() +
                          QStringLiteral(".tmp")));

    QCOMPARE(QProcess::execute(QStringLiteral("/bin/sh"), {script}), 0);
    QVERIFY(!QFile::exists(program));
    QVERIFY(!QFile::exists(programFolder));
    QVERIFY(!QFile::exists(script));
  }
#endif

  void offlineEveryActionSaysSoAndTouchesNothing() {
    platform_->online = false;
    writeFile(Updater::VersionFileCopy(), record("1.3.0.0"));
    writeFile(Updater::InstallerCopy(), "altes Update");
    click(window_, "BProof");
    window_->BDownClick();
    click(window_, "BAktuell");
    const QStringList expected = {
        QStringLiteral("Für die Aktualisierung muss eine Verbindung zum Internet bestehen."),
        QStringLiteral("Für den Download der Installations-Datei muss eine Verbindung zum "
                       "Internet bestehen.\r\rIch breche ab."),
        QStringLiteral("Für den Seiten-Aufruf muss eine Verbindung zum Internet bestehen.")};
    QCOMPARE(h_->dialogs().calls.size(), 3);
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(h_->dialogs().calls[i].kind, QStringLiteral("information"));
      QCOMPARE(h_->dialogs().calls[i].text, expected[i]);
    }
    QCOMPARE(ReadBytes(Updater::VersionFileCopy()), record("1.3.0.0"));
    QCOMPARE(ReadBytes(Updater::InstallerCopy()), QByteArray("altes Update"));
    QVERIFY(server_->requests.isEmpty());
    QVERIFY(shown(window_, "PProof"));
  }

  void newsPageIsShownInTheBrowser() {
    server_->responses[NewsPath] = CannedServer::ok(
        "<html><head><meta charset=\"utf-8\"></head><body><h1>Neuigkeiten</h1>"
        "<p>Version 1.3.2.0 ist erschienen. Größere Änderungen.</p></body></html>");
    click(window_, "BAktuell");
    const QString page = Find<QTextBrowser>(window_, QStringLiteral("web1"))->toPlainText();
    QVERIFY2(page.contains(QStringLiteral("Größere Änderungen.")), qPrintable(page));
    QCOMPARE(server_->requests, QList<QByteArray>{NewsPath});
    QVERIFY(h_->dialogs().calls.isEmpty());
  }

  // The page comes from the internet: a picture or style sheet it names on this computer
  // is never read (each would make the page far taller than its one line of text).
  void newsPageReadsNoLocalFiles_data() {
    QTest::addColumn<QString>("html"); // %1: the local folder
    QTest::newRow("picture by file address") << "<p>Text</p><img src=\"file://%1/bild.png\">";
    QTest::newRow("picture by path") << "<p>Text</p><img src=\"%1/bild.png\">";
    QTest::newRow("picture relative to the working folder") << "<p>Text</p><img src=\"bild.png\">";
    QTest::newRow("style sheet by file address")
        << "<html><head><link rel=\"stylesheet\" type=\"text/css\" href=\"file://%1/stil.css\">"
           "</head><body><p>Text</p></body></html>";
  }

  void newsPageReadsNoLocalFiles() {
    QFETCH(QString, html);
    QTemporaryDir local;
    QImage picture(300, 400, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(local.filePath(QStringLiteral("bild.png"))));
    writeFile(local.filePath(QStringLiteral("stil.css")), "p { font-size: 400px; }");
    const QString workingFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(local.path()));
    server_->responses[NewsPath] =
        CannedServer::ok(html.replace(QStringLiteral("%1"), local.path()).toUtf8());
    click(window_, "BAktuell");
    auto* web1 = Find<QTextBrowser>(window_, QStringLiteral("web1"));
    QVERIFY(web1->toPlainText().contains(QStringLiteral("Text")));
    const qreal height = web1->document()->documentLayout()->documentSize().height();
    QDir::setCurrent(workingFolder);
    QVERIFY2(height < 150, qPrintable(QString::number(height)));
  }

  // Links go to the desktop only as http(s) addresses; the browser itself never follows one.
  void newsLinksReachTheDesktopOnlyAsWebAddresses() {
    server_->responses[NewsPath] =
        CannedServer::ok("<p><a href=\"https://www.kesselwerk.de/KW/archiv.html\">Archiv</a></p>"
                         "<p><a href=\"file:///etc/passwd\">Datei</a></p>"
                         "<p><a href=\"mailto:info@kesselwerk.de\">Post</a></p>"
                         "<p><a href=\"/KW/mehr.html\">Mehr</a></p>");
    click(window_, "BAktuell");
    auto* web1 = Find<QTextBrowser>(window_, QStringLiteral("web1"));
    for (const char* link : {"Archiv", "Datei", "Post", "Mehr"}) {
      QTextCursor cursor = web1->document()->find(QLatin1String(link));
      QVERIFY2(!cursor.isNull(), link);
      cursor.setPosition(cursor.selectionStart() + 2);
      QTest::mouseClick(web1->viewport(), Qt::LeftButton, {}, web1->cursorRect(cursor).center());
    }
    QCOMPARE(platform_->opened,
             (QList<QUrl>{QUrl(QStringLiteral("https://www.kesselwerk.de/KW/archiv.html")),
                          QUrl(server_->base() + QStringLiteral("/KW/mehr.html"))}));
    QVERIFY(web1->source().isEmpty());
    QVERIFY(web1->toPlainText().contains(QStringLiteral("Archiv")));
  }

  // Closing the window (by its frame or "Schließen") while the server keeps a transfer
  // waiting ends the transfer at once: no message, the window is gone, the cursor is back.
  void closingWhileATransferWaitsEndsItSilently_data() {
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<bool>("byFrame");
    const std::pair<QByteArray, QByteArray> transfers[] = {
        {VersionPath, "BProof"}, {InstallerPath, "BDown"}, {NewsPath, "BAktuell"}};
    for (const auto& [path, button] : transfers) {
      QTest::addRow("%s, frame", button.constData()) << path << button << true;
      QTest::addRow("%s, Schließen", button.constData()) << path << button << false;
    }
  }

  void closingWhileATransferWaitsEndsItSilently() {
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, button);
    QFETCH(bool, byFrame);
    if (button == "BDown") {
      server_->responses[VersionPath] = CannedServer::ok(record("1.3.2.0"));
      click(window_, "BProof");
      QVERIFY(shown(window_, "PLos"));
    }
    server_->silent.insert(path);
    server_->onRequest = [this, byFrame](const QByteArray&) {
      QTimer::singleShot(0, window_.data(), [this, byFrame] {
        if (byFrame)
          window_->windowHandle()->close();
        else
          click(window_, "BSave");
      });
    };
    QElapsedTimer waited;
    waited.start();
    click(window_, button.constData()); // returns once the transfer has ended
    // Ended by the close, not by the stall timeout that ends a transfer nobody closed.
    QVERIFY(waited.elapsed() < DownloadStallTimeoutMs / 2);
    QVERIFY2(h_->dialogs().calls.isEmpty(), qPrintable(h_->dialogs().calls.value(0).text));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QTRY_VERIFY(window_.isNull());
    QTRY_COMPARE(server_->droppedByClient, 1);
    QVERIFY(!QFile::exists(Updater::InstallerCopy()));
  }

  // While a transfer waits no other input is served: no coup reaches the main window, the
  // check is not started twice and the main window (whose closing ends the program) stays.
  void whileATransferWaitsOtherInputIsIgnored() {
    FHaupt* main = h_->app().fHaupt();
    main->show();
    server_->silent.insert(VersionPath);
    server_->onRequest = [this, main](const QByteArray&) {
      QTimer::singleShot(0, window_.data(), [this, main] {
        QTest::mouseClick(Find<QPushButton>(main, QStringLiteral("num17")), Qt::LeftButton);
        QTest::keyClick(main, Qt::Key_1);
        click(window_, "BProof");
        main->windowHandle()->close();
        click(window_, "BSave");
      });
    };
    click(window_, "BProof");
    QCOMPARE(main->table().CoupCount(), 0);
    QVERIFY(main->isVisible());
    QCOMPARE(server_->requests, QList<QByteArray>{VersionPath});
    QVERIFY(h_->dialogs().calls.isEmpty());
    QTRY_VERIFY(window_.isNull());
  }

  void serverComesFromTheSettingsUnlessTheEnvironmentNamesOne() {
    QVERIFY(WriteUpdateServer(server_->base() + QStringLiteral("/")).isEmpty());
    qputenv("KESSELWERK_UPDATE_URL", "http://127.0.0.1:1");
    QCOMPARE(Updater::ServerBase(), QStringLiteral("http://127.0.0.1:1"));
    qunsetenv("KESSELWERK_UPDATE_URL");
    QCOMPARE(Updater::ServerBase(), server_->base());
    server_->responses[VersionPath] = CannedServer::ok(record("1.3.1.0"));
    click(window_, "BProof");
    QCOMPARE(server_->requests, QList<QByteArray>{VersionPath});
    QVERIFY(shown(window_, "PBlau"));
  }
};

QTEST_MAIN(FUpdateTest)
#include "test_fupdate.moc"
