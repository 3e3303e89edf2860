#include "support/ScriptedDialogs.h"

namespace kw::test {

void ScriptedDialogs::error(QWidget*, const QString& text) {
  calls.append({QStringLiteral("error"), text, OkButton, 0, {}});
}

void ScriptedDialogs::information(QWidget*, const QString& text, int buttons, int helpContext) {
  calls.append({QStringLiteral("information"), text, buttons, helpContext, {}});
}

Dialogs::Answer ScriptedDialogs::confirm(QWidget*, const QString& text, int buttons,
                                         int helpContext) {
  calls.append({QStringLiteral("confirm"), text, buttons, helpContext, {}});
  return answers.isEmpty() ? Answer::Cancel : answers.dequeue();
}

QStringList ScriptedDialogs::openFiles(QWidget*, const FileRequest& request) {
  calls.append({QStringLiteral("open"), request.title, 0, 0, request});
  return openAnswers.isEmpty() ? QStringList() : openAnswers.dequeue();
}

QString ScriptedDialogs::saveFile(QWidget*, const FileRequest& request) {
  calls.append({QStringLiteral("save"), request.title, 0, 0, request});
  return saveAnswers.isEmpty() ? QString() : saveAnswers.dequeue();
}

ScriptedDialogs* ScriptedDialogs::Install() {
  auto owned = std::make_unique<ScriptedDialogs>();
  ScriptedDialogs* raw = owned.get();
  Dialogs::install(std::move(owned));
  return raw;
}

} // namespace kw::test
