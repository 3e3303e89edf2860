#pragma once

#include "ui/Dialogs.h"

#include <QList>
#include <QQueue>

namespace kw::test {

// Answers the application's dialogs from a script and records every one, so tests can
// check the exact German texts, buttons and help contexts.
class ScriptedDialogs : public Dialogs {
public:
  struct Call {
    QString kind; // "error", "information", "confirm", "open", "save"
    QString text; // message text, or the file dialog's title
    int buttons = 0;
    int helpContext = 0;
    FileRequest request;
  };

  QList<Call> calls;
  QQueue<Answer> answers; // for confirm; Cancel when empty
  QQueue<QStringList> openAnswers;
  QQueue<QString> saveAnswers;

  void error(QWidget*, const QString& text) override;
  void information(QWidget*, const QString& text, int buttons, int helpContext) override;
  Answer confirm(QWidget*, const QString& text, int buttons, int helpContext) override;
  QStringList openFiles(QWidget*, const FileRequest& request) override;
  QString saveFile(QWidget*, const FileRequest& request) override;

  // Installs a fresh scripted service and returns it (owned by the Dialogs service).
  static ScriptedDialogs* Install();
};

} // namespace kw::test
