#pragma once

#include <QString>
#include <QStringList>

class QUrl;

namespace kw {

// A program to start without waiting for it.
struct ProcessStart {
  QString program;
  QStringList arguments;
  QString workingFolder;
  bool hiddenWindow = false; // Windows: no console window
};

// What the updater asks of the system it runs on. The program uses the desktop's
// implementation (DesktopPlatform in the windows); tests put their own in place so that
// nothing is opened, no real program is removed and the program does not end.
class UpdatePlatform {
public:
  virtual ~UpdatePlatform() = default;

  // Whether the system reports a connection to the internet.
  virtual bool isOnline() = 0;
  // Hands a link or a file to the desktop (browser, the Windows shell); true when it
  // accepted the request.
  virtual bool openWithDesktop(const QUrl& url) = 0;
  // Starts a process detached; true only when the process was started.
  virtual bool startProcess(const ProcessStart& start) = 0;
  // Whether the file is an installer this system can start: a regular file holding a
  // program of this system's kind (outside Windows also marked executable).
  virtual bool isInstaller(const QString& path) = 0;
  // The file of the running program, which the removal script deletes.
  virtual QString programFile() = 0;
  // Ends the program at once, without the usual closing of its windows.
  virtual void quitProgram() = 0;
};

// The system's own answers for everything but the desktop's opener, which needs the
// graphical part of Qt and is added by DesktopPlatform.
class SystemPlatform : public UpdatePlatform {
public:
  bool isOnline() override;
  bool startProcess(const ProcessStart& start) override;
  bool isInstaller(const QString& path) override;
  QString programFile() override;
  void quitProgram() override;
};

} // namespace kw
