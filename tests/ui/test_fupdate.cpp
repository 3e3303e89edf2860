// The update check against a real HTTP server on 127.0.0.1 that answers canned responses:
// the version comparison, faulty version files and transfers, the installer download, the
// installation questions and the news page. Nothing leaves the machine: the online test,
// the start of the installer and the removal of the program are replaced.
#include "files/Settings.h"
#include "support/WindowTestHarness.h"
#include "tools/UpdateCheck.h"
#include "ui/FUpdate.h"
#include "ui/Help.h"
#include "ui/HelpWindow.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextBrowser>
#include <QtTest>

using namespace kw;
using namespace kw::test;

namespace {

// Answers every request with the canned response for its path, then closes.
class CannedServer : public QObject {
public:
  QHash<QByteArray, QByteArray> responses; // path -> the whole raw response
  QList<QByteArray> requests;              // the paths asked for, in order

  CannedServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection())
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
    });
  }

  QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }

  static QByteArray ok(const QByteArray& body) {
    return "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
  }
  static QByteArray notFound(const QByteArray& body = "nicht gefunden") {
    return "HTTP/1.1 404 Not Found\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
  }
  // Announces the whole body but sends only its first half before closing.
  static QByteArray cut(const QByteArray& body) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body.left(body.size() / 2);
  }

private:
  void answer(QTcpSocket* socket) {
    QByteArray& buffer = buffers_[socket];
    buffer += socket->readAll();
    if (!buffer.contains("\r\n\r\n"))
      return;
    const QByteArray path = buffer.split(' ').value(1);
    requests << path;
    socket->write(responses.value(path, notFound()));
    socket->disconnectFromHost();
    buffers_.remove(socket);
  }

  QTcpServer server_;
  QHash<QTcpSocket*, QByteArray> buffers_;
};

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

void click(QWidget* window, const char* name) {
  QTest::mouseClick(Find<QPushButton>(window, QLatin1String(name)), Qt::LeftButton);
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class FUpdateTest : public QObject {
  Q_OBJECT

  QTemporaryDir temp_; // the temporary folder, private to this test
  std::unique_ptr<CannedServer> server_;
  std::unique_ptr<WindowTestHarness> h_;
  QPointer<FUpdate> window_;
  bool online_ = true;
  QStringList opened_;
  int removals_ = 0;
  bool shellAccepts_ = true;

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
    online_ = true;
    shellAccepts_ = true;
    opened_.clear();
    removals_ = 0;
    UpdatePlatform::instance().isOnline = [this] { return online_; };
    UpdatePlatform::instance().openFile = [this](const QString& path) {
      opened_ << path;
      return shellAccepts_;
    };
    UpdatePlatform::instance().removeProgram = [this] { ++removals_; };
    QFile::remove(FUpdate::VersionFileCopy());
    window_ = qobject_cast<FUpdate*>(h_->app().OpenOnDemand(QStringLiteral("FUpdate")));
    QVERIFY(window_);
  }

  void cleanup() {
    if (window_)
      window_->close();
    QTRY_VERIFY(window_.isNull()); // the window frees itself when closed
    h_.reset();
    server_.reset();
    UpdatePlatform::reset();
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
    QCOMPARE(shown(window_, "PBlau"), !offered);
    QCOMPARE(shown(window_, "PLos"), offered);
    if (offered) {
      QVERIFY(Find<QWidget>(window_, QStringLiteral("PDown"))->isEnabled());
      QVERIFY(!shown(window_, "PInst"));
    }
    QCOMPARE(readFile(FUpdate::VersionFileCopy()), file); // the copy stays
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
    writeFile(FUpdate::VersionFileCopy(), record("1.3.1.0")); // left over from a last check
    server_->responses[VersionPath] = response;
    click(window_, "BProof");
    QCOMPARE(h_->dialogs().calls.size(), 1);
    QCOMPARE(h_->dialogs().calls[0].kind, kind);
    QCOMPARE(h_->dialogs().calls[0].text, message);
    QVERIFY(shown(window_, "PProof"));
    QVERIFY(!shown(window_, "PVersAnzeige"));
    QVERIFY(!shown(window_, "PLos"));
    // The left-over copy is gone either way; a failed transfer leaves no partial file.
    QCOMPARE(QFile::exists(FUpdate::VersionFileCopy()), copyKept);
    if (copyKept)
      QVERIFY(readFile(FUpdate::VersionFileCopy()) != record("1.3.1.0"));
  }

  void installerDownload() {
    server_->responses[VersionPath] = CannedServer::ok(record("1.3.2.0"));
    click(window_, "BProof");
    QVERIFY(shown(window_, "PLos"));

    // Failure: the message, an old installer is gone, the download panel stays enabled.
    writeFile(FUpdate::InstallerCopy(), "altes Update");
    server_->responses[InstallerPath] = CannedServer::cut(QByteArray(100000, 'M'));
    click(window_, "BDown");
    QCOMPARE(h_->dialogs().calls.size(), 1);
    QCOMPARE(h_->dialogs().calls[0].kind, QStringLiteral("information"));
    QCOMPARE(h_->dialogs().calls[0].text, DownloadFailed);
    QVERIFY(!QFile::exists(FUpdate::InstallerCopy()));
    QVERIFY(Find<QWidget>(window_, QStringLiteral("PDown"))->isEnabled());
    QVERIFY(!shown(window_, "PInst"));

    server_->responses[InstallerPath] = CannedServer::notFound();
    click(window_, "BDown");
    QCOMPARE(h_->dialogs().calls.size(), 2);
    QCOMPARE(h_->dialogs().calls[1].text, DownloadFailed);
    QVERIFY(!QFile::exists(FUpdate::InstallerCopy()));

    // Success: the whole installer in the data folder, the installation offered.
    const QByteArray installer = QByteArray(300000, 'I') + "Ende";
    server_->responses[InstallerPath] = CannedServer::ok(installer);
    click(window_, "BDown");
    QCOMPARE(h_->dialogs().calls.size(), 2);
    QCOMPARE(FUpdate::InstallerCopy(), h_->dataDir() + QStringLiteral("Update.exe"));
    QCOMPARE(readFile(FUpdate::InstallerCopy()), installer);
    QVERIFY(!Find<QWidget>(window_, QStringLiteral("PDown"))->isEnabled());
    QVERIFY(shown(window_, "PInst"));
  }

  void installationAsksThenStartsTheInstallerAndRemovesTheProgram() {
    const QString folder = QDir::toNativeSeparators(h_->dataDir());
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
    QCOMPARE(h_->dialogs().calls[1].text,
             QStringLiteral("Installation wurde auf Ihren Wunsch abgebrochen. Sie  könnnen das "
                            "Update manuell durch Doppelklick auf die Datei \"Update.exe\" im "
                            "Verzeichnis ") +
                 folder +
                 QStringLiteral(" starten.\r\rZuvor muss das Programm geschlossen und die Datei "
                                "\"Kesselwerk.exe\" gelöscht werden."));
    QVERIFY(opened_.isEmpty());

    // Ja, but the installer cannot be started: the program keeps running.
    shellAccepts_ = false;
    h_->dialogs().answers.enqueue(Dialogs::Answer::Yes);
    window_->BSetupClick();
    QCOMPARE(h_->dialogs().calls.size(), 4);
    QCOMPARE(h_->dialogs().calls[3].text,
             QStringLiteral("Update konnte nicht gestartet werden. Bitte schließen Sie den "
                            "Kesselwerk und starten Sie das Update manuell durch Doppelklick auf "
                            "die Datei \"Update.exe\" im Verzeichnis ") +
                 folder + QStringLiteral("."));
    QCOMPARE(removals_, 0);

    // Ja: the installer is started and the program removed.
    shellAccepts_ = true;
    h_->dialogs().answers.enqueue(Dialogs::Answer::Yes);
    window_->BSetupClick();
    QCOMPARE(h_->dialogs().calls.size(), 5);
    QCOMPARE(opened_.last(), h_->dataDir() + QStringLiteral("Update.exe"));
    QCOMPARE(removals_, 1);
  }

  void localFileErrorsDuringTransfers() {
    // The version file's copy cannot be written: the check failed.
    QVERIFY(QDir().mkpath(FUpdate::VersionFileCopy()));
    server_->responses[VersionPath] = CannedServer::ok(record("1.3.2.0"));
    click(window_, "BProof");
    QVERIFY(QDir().rmdir(FUpdate::VersionFileCopy()));
    QCOMPARE(h_->dialogs().calls.size(), 1);
    QCOMPARE(h_->dialogs().calls[0].text, CheckFailed);
    QVERIFY(shown(window_, "PProof"));

    // The installer's place cannot be cleared: the download ends without a message.
    click(window_, "BProof");
    QVERIFY(shown(window_, "PLos"));
    QVERIFY(QDir().mkpath(FUpdate::InstallerCopy() + QStringLiteral("/belegt")));
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

    const QString script = FUpdate::WriteRemovalScript(program, tempFolder);
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
    online_ = false;
    writeFile(FUpdate::VersionFileCopy(), record("1.3.0.0"));
    writeFile(FUpdate::InstallerCopy(), "altes Update");
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
    QCOMPARE(readFile(FUpdate::VersionFileCopy()), record("1.3.0.0"));
    QCOMPARE(readFile(FUpdate::InstallerCopy()), QByteArray("altes Update"));
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

  void serverComesFromTheSettingsUnlessTheEnvironmentNamesOne() {
    QVERIFY(WriteUpdateServer(server_->base() + QStringLiteral("/")).isEmpty());
    qputenv("KESSELWERK_UPDATE_URL", "http://127.0.0.1:1");
    QCOMPARE(FUpdate::ServerBase(), QStringLiteral("http://127.0.0.1:1"));
    qunsetenv("KESSELWERK_UPDATE_URL");
    QCOMPARE(FUpdate::ServerBase(), server_->base());
    server_->responses[VersionPath] = CannedServer::ok(record("1.3.1.0"));
    click(window_, "BProof");
    QCOMPARE(server_->requests, QList<QByteArray>{VersionPath});
    QVERIFY(shown(window_, "PBlau"));
  }
};

QTEST_MAIN(FUpdateTest)
#include "test_fupdate.moc"
