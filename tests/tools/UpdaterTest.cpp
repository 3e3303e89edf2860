// The updater without its window: which links of the news page reach the desktop, when an
// installer is started and the program removed, and how a cancel ends the transfers. The
// processes are real (an executable script or a copy of a system program stands in for the
// installer); the "running program" is a file in a temporary folder.
#include "tools/Updater.h"

#include "support/CannedHttpServer.h"
#include "support/RecordingPlatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace kw {
namespace {

using test::CannedHttpServer;
using test::RecordingPlatform;

// The event loop that transfers and the local server need.
void ensureCoreApplication() {
  if (QCoreApplication::instance())
    return;
  static int argc = 1;
  static char name[] = "test_tools";
  static char* argv[] = {name, nullptr};
  new QCoreApplication(argc, argv); // lives as long as the test program
}

// Serves events until the condition holds or ten seconds have passed.
bool eventually(const std::function<bool()>& condition) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > 10'000)
      return false;
    QCoreApplication::processEvents();
    QThread::msleep(10);
  }
  return true;
}

bool writeFile(const QString& path, const QByteArray& bytes, bool executable = false) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
    return false;
  file.close();
  if (executable)
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
  return true;
}

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Its own data folder, temporary folder and a program file in a folder of its own.
class UpdaterFixture : public ::testing::Test {
protected:
  void SetUp() override {
    ensureCoreApplication();
    ASSERT_TRUE(root_.isValid());
    for (const char* folder : {"data", "tmp", "Kessel werk"})
      ASSERT_TRUE(QDir(root_.path()).mkpath(QLatin1String(folder)));
    qputenv("KESSELWERK_DATA_DIR", root_.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("TMPDIR", tempFolder().toLocal8Bit());
    platform_.program = root_.filePath(QStringLiteral("Kessel werk/kesselwerk"));
    ASSERT_TRUE(writeFile(platform_.program, ProgramBytes, true));
  }

  void TearDown() override {
    qunsetenv("KESSELWERK_DATA_DIR");
    qunsetenv("TMPDIR");
  }

  QString tempFolder() const { return root_.filePath(QStringLiteral("tmp")); }
  // The removal scripts (and the names reserved for them) in the temporary folder.
  QStringList removalFiles() const {
    return QDir(tempFolder()).entryList({QStringLiteral("uis*")}, QDir::Files);
  }

  static inline const QByteArray ProgramBytes = "das laufende Programm";
  QTemporaryDir root_;
  RecordingPlatform platform_;
};

TEST(UpdaterLinks, OnlyHttpAndHttpsLinksOfTheNewsPageReachTheDesktop) {
  const QUrl page(QStringLiteral("https://www.kesselwerk.de/KW/aktuell.html"));
  struct Case {
    const char* link;
    const char* target; // nullptr: never handed to the desktop
  };
  const Case cases[] = {
      {"https://www.kesselwerk.de/KW/archiv.html", "https://www.kesselwerk.de/KW/archiv.html"},
      {"http://example.org/a?b=c", "http://example.org/a?b=c"},
      {"HTTPS://Example.org/", "https://example.org/"},
      {"archiv.html", "https://www.kesselwerk.de/KW/archiv.html"},
      {"/downloads/liesmich.txt", "https://www.kesselwerk.de/downloads/liesmich.txt"},
      {"//andere.example/x", "https://andere.example/x"},
      {"file:///etc/passwd", nullptr},
      {"file:///C:/Windows/System32/calc.exe", nullptr},
      {"mailto:info@kesselwerk.de", nullptr},
      {"javascript:alert(1)", nullptr},
      {"smb://server/freigabe/setup.exe", nullptr},
      {"ftp://example.org/update.exe", nullptr},
      {"http:ohne-rechner", nullptr},
      {"data:text/html,<b>x</b>", nullptr},
  };
  for (const Case& c : cases) {
    const std::optional<QUrl> target =
        Updater::NewsLinkTarget(page, QUrl(QString::fromUtf8(c.link)));
    if (!c.target)
      EXPECT_FALSE(target.has_value()) << c.link << " -> " << target->toString().toStdString();
    else
      EXPECT_EQ(target.value_or(QUrl()).toString().toStdString(), c.target) << c.link;
  }
}

#ifndef _WIN32
using UpdaterInstall = UpdaterFixture;

// The fake desktop opener accepts everything, as the Linux desktop's opener does for a
// Windows program it cannot run: still nothing may be removed unless a real process began.
TEST_F(UpdaterInstall, NothingIsRemovedUnlessTheInstallerDemonstrablyStarted) {
  const QString elf = QStandardPaths::findExecutable(QStringLiteral("true"));
  ASSERT_FALSE(elf.isEmpty());
  const QByteArray elfBytes = readFile(elf);
  const QByteArray windowsProgram = QByteArray("MZ\x90\0\x03\0\0\0", 8) + QByteArray(400, 'w');
  enum class Place { File, Missing, Folder, Fifo };
  struct Case {
    const char* name;
    Place place;
    QByteArray bytes;
    bool executable;
    InstallStart outcome;
  };
  const Case cases[] = {
      {"Windows program", Place::File, windowsProgram, false, InstallStart::NotRunnableHere},
      {"Windows program marked executable", Place::File, windowsProgram, true,
       InstallStart::NotRunnableHere},
      {"program of this system not executable", Place::File, elfBytes, false,
       InstallStart::NotRunnableHere},
      {"script not executable", Place::File, "#!/bin/sh\nexit 0\n", false,
       InstallStart::NotRunnableHere},
      {"text marked executable", Place::File, "echo kein Programm\n", true,
       InstallStart::NotRunnableHere},
      {"nothing downloaded", Place::Missing, {}, false, InstallStart::NotRunnableHere},
      {"a folder in its place", Place::Folder, {}, false, InstallStart::NotRunnableHere},
      {"a FIFO in its place", Place::Fifo, {}, false, InstallStart::NotRunnableHere},
      {"script whose interpreter is missing", Place::File, "#!/nicht/vorhanden/kw-sh\n", true,
       InstallStart::Refused},
  };
  const QString installer = Updater::InstallerCopy();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(installer);
    QDir().rmdir(installer);
    switch (c.place) {
    case Place::File:
      ASSERT_TRUE(writeFile(installer, c.bytes, c.executable));
      break;
    case Place::Folder:
      ASSERT_TRUE(QDir().mkpath(installer));
      break;
    case Place::Fifo:
      ASSERT_EQ(mkfifo(QFile::encodeName(installer).constData(), 0700), 0);
      break;
    case Place::Missing:
      break;
    }
    platform_.started.clear();
    Updater updater(platform_);
    EXPECT_EQ(updater.startInstaller(), c.outcome);
    EXPECT_EQ(readFile(platform_.program), ProgramBytes);
    EXPECT_TRUE(removalFiles().isEmpty()) << removalFiles().join(u' ').toStdString();
    EXPECT_EQ(platform_.quits, 0);
    EXPECT_TRUE(platform_.opened.isEmpty());
    // At most the installer itself was tried.
    EXPECT_LE(platform_.started.size(), c.outcome == InstallStart::Refused ? 1 : 0);
  }
}

TEST_F(UpdaterInstall, TheProgramIsRemovedOnlyAfterTheInstallerStarted) {
  const QString marker = root_.filePath(QStringLiteral("installer lief"));
  const QString elf = QStandardPaths::findExecutable(QStringLiteral("true"));
  ASSERT_FALSE(elf.isEmpty());
  struct Case {
    const char* name;
    QByteArray bytes;
    bool leavesMarker;
  };
  const Case cases[] = {
      {"script", "#!/bin/sh\nprintf gestartet > '" + QFile::encodeName(marker) + "'\n", true},
      {"program of this system", readFile(elf), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(writeFile(platform_.program, ProgramBytes, true));
    QFile::remove(marker);
    platform_.started.clear();
    platform_.quits = 0;
    const QString installer = Updater::InstallerCopy();
    QFile::remove(installer);
    ASSERT_TRUE(writeFile(installer, c.bytes, true));

    Updater updater(platform_);
    EXPECT_EQ(updater.startInstaller(), InstallStart::Started);
    ASSERT_EQ(platform_.started.size(), 2);
    EXPECT_EQ(platform_.started[0].program, installer);
    // Then, and only then, the removal script in the temporary folder.
    const ProcessStart& removal = platform_.started[1];
    EXPECT_EQ(removal.program, QStringLiteral("/bin/sh"));
    ASSERT_EQ(removal.arguments.size(), 1);
    const QFileInfo script(removal.arguments[0]);
    EXPECT_EQ(QDir(script.absolutePath()).canonicalPath(), QDir(tempFolder()).canonicalPath());
    EXPECT_TRUE(script.fileName().startsWith(QStringLiteral("uis")));
    EXPECT_EQ(QDir(removal.workingFolder).canonicalPath(), QDir(tempFolder()).canonicalPath());
    EXPECT_EQ(platform_.quits, 1);

    EXPECT_TRUE(eventually([&] { return !QFile::exists(platform_.program); }));
    EXPECT_TRUE(eventually([&] { return !QFile::exists(script.filePath()); }));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(platform_.program).absolutePath()));
    if (c.leavesMarker) {
      EXPECT_TRUE(eventually([&] { return QFile::exists(marker); }));
      EXPECT_EQ(readFile(marker), "gestartet");
    }
    ASSERT_TRUE(QDir(root_.path()).mkpath(QStringLiteral("Kessel werk")));
  }
}
#endif

using UpdaterTransfers = UpdaterFixture;

// Each transfer is left waiting by the server and cancelled once its request arrived:
// it ends at once without a partial file, and no later transfer is begun.
TEST_F(UpdaterTransfers, CancelEndsAWaitingTransferAndEveryLaterOne) {
  struct Case {
    const char* path;
    std::function<bool(Updater&)> runCancelled; // runs the transfer; true when it says so
  };
  const Case cases[] = {
      {"/downloads/verinfos.kw",
       [](Updater& u) { return u.checkVersion().status == CheckStatus::Cancelled; }},
      {"/downloads/kwupdate.exe",
       [](Updater& u) { return u.downloadInstaller() == DownloadStatus::Aborted; }},
      {"/KW/aktuell.html",
       [](Updater& u) { return u.fetchNews().status == NewsStatus::Cancelled; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    CannedHttpServer server;
    server.silent.insert(c.path);
    qputenv("KESSELWERK_UPDATE_URL", server.base().toLocal8Bit());
    QFile::remove(Updater::InstallerCopy());
    Updater updater(platform_);
    server.onRequest = [&updater](const QByteArray&) {
      QTimer::singleShot(0, [&updater] { updater.cancel(); });
    };
    EXPECT_TRUE(c.runCancelled(updater));
    EXPECT_TRUE(updater.cancelled());
    EXPECT_TRUE(eventually([&] { return server.droppedByClient == 1; }));
    EXPECT_FALSE(QFile::exists(Updater::VersionFileCopy()));
    EXPECT_FALSE(QFile::exists(Updater::InstallerCopy()));
    EXPECT_TRUE(QDir(QFileInfo(Updater::InstallerCopy()).absolutePath())
                    .entryList(QDir::Files | QDir::Hidden)
                    .isEmpty());

    // Every later transfer ends before it asks; an old installer stays.
    ASSERT_TRUE(writeFile(Updater::InstallerCopy(), "altes Update"));
    EXPECT_EQ(updater.checkVersion().status, CheckStatus::Cancelled);
    EXPECT_EQ(updater.downloadInstaller(), DownloadStatus::Aborted);
    EXPECT_EQ(updater.fetchNews().status, NewsStatus::Cancelled);
    QCoreApplication::processEvents();
    EXPECT_EQ(server.requests, QList<QByteArray>{QByteArray(c.path)});
    EXPECT_EQ(readFile(Updater::InstallerCopy()), "altes Update");
  }
  qunsetenv("KESSELWERK_UPDATE_URL");
}

} // namespace
} // namespace kw
