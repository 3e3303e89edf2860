#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QTextBrowser;

namespace kw {

// What the update window asks of the system. Each member has the real behaviour by
// default; tests put their own in place so nothing leaves the machine and no program is
// started or removed.
struct UpdatePlatform {
  // Whether the system reports a connection to the internet.
  std::function<bool()> isOnline;
  // Asks the desktop to open (start) a file; false when it refuses.
  std::function<bool(const QString& path)> openFile;
  // Writes and starts the script that removes the program, then ends the application.
  std::function<void()> removeProgram;

  static UpdatePlatform& instance();
  // Back to the real behaviour.
  static void reset();
};

// The online update check: compares the installed version with the published one,
// downloads the installer, starts it and removes the running program; shows the news
// page. Created on demand and destroyed when closed, so every opening starts afresh.
class FUpdate : public QWidget {
  Q_OBJECT
public:
  explicit FUpdate(QWidget* parent = nullptr);

  // The server's base address: KESSELWERK_UPDATE_URL, else optionen.ini [Update] Server,
  // else the maker's server.
  static QString ServerBase();
  // The local copies: the version file in the temporary folder, the installer in the
  // data folder.
  static QString VersionFileCopy();
  static QString InstallerCopy();

  static bool IsOnline();
  // Writes the removal script for the running program and starts it, then ends the
  // application at once; returns only when the script could not be written or started.
  static void WriteRemovalBatch();
  // Writes the script that removes program (and its folder when empty) into tempFolder,
  // under a fresh unique name starting with "uis"; returns its path, or an empty text when
  // it could not be written.
  static QString WriteRemovalScript(const QString& program, const QString& tempFolder);

  void BProofClick();
  void BDownClick();
  void BSetupClick();
  void BAktuellClick();

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void FormCreate();
  QWidget* buildTopBar();
  QWidget* buildCheckGroup();
  QWidget* buildNewsGroup();

  QWidget* pProof_ = nullptr;
  QWidget* pVersAnzeige_ = nullptr;
  QLabel* pAkt_ = nullptr;
  QLabel* pOnl_ = nullptr;
  QWidget* pBlau_ = nullptr;
  QWidget* pLos_ = nullptr;
  QWidget* pDown_ = nullptr;
  QWidget* pInst_ = nullptr;
  QTextBrowser* web1_ = nullptr;
};

} // namespace kw
