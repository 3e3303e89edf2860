#pragma once

#include "tools/UpdatePlatform.h"

#include <QList>
#include <QUrl>

namespace kw::test {

// The system's real process start and installer check; everything that would reach beyond
// the test's folders is recorded instead: the desktop's opener answers as told, the
// "running program" is a file the test names, and ending the program is only counted.
class RecordingPlatform : public SystemPlatform {
public:
  bool online = true;
  bool desktopAccepts = true;
  QString program;             // the program file an installation removes
  QList<QUrl> opened;          // what the desktop was asked to open
  QList<ProcessStart> started; // every start asked for, in order, whether it worked or not
  int quits = 0;

  bool isOnline() override { return online; }
  bool openWithDesktop(const QUrl& url) override {
    opened << url;
    return desktopAccepts;
  }
  bool startProcess(const ProcessStart& start) override {
    started << start;
    return SystemPlatform::startProcess(start);
  }
  QString programFile() override { return program; }
  void quitProgram() override { ++quits; }
};

} // namespace kw::test
