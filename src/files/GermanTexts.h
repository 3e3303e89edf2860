#pragma once

class QCoreApplication;

namespace kw {

// Makes Qt's own texts German whatever the system's language: the file dialogs, the
// standard buttons, the edit fields' context menus and Qt's error texts come from Qt's
// German catalogue (qtbase_de from the translations folder of the Qt installation). System
// error texts (strerror) follow as German where the system has them installed. The
// program's own texts are German everywhere, so a mixed window would be the only
// alternative. Returns false when Qt's German catalogue is not installed.
bool InstallGermanTexts(QCoreApplication& application);

} // namespace kw
