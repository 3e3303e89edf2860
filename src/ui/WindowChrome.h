#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <vector>

class QAction;
class QMenu;
class QToolBar;
class QMainWindow;
class QToolButton;

namespace kw {

// What a menu entry or toolbar button of the common window chrome does.
enum class Command {
  Close,
  Open,
  Import,
  Save,
  Sektoren,
  Serien,
  Systemtest,
  Signifikanz,
  Systeme,
  Suche,
  Kalender,
  Zufall,
  Rechner,
  Delta,
  Update,
  Optionen,
  HelpContents,
  HelpSearch,
  HelpContext,
  Info,
};

// How one window's menu and toolbar differ from the main window's.
struct ChromeConfig {
  int helpContext = 0;
  bool openSave = true;     // "Ö&ffnen..." / "Speichern &unter..." and their buttons
  bool importEntry = false; // "&Importieren..." below "Ö&ffnen..." (the main window's)
  std::vector<Command> analysenEntries{Command::Sektoren,    Command::Serien,  Command::Systemtest,
                                       Command::Signifikanz, Command::Systeme, Command::Suche};
  std::vector<Command> hiddenButtons;
  std::vector<Command> disabledButtons;
  QString helpButtonName = QStringLiteral("tbHilfe");
  QString systemtestButtonName = QStringLiteral("tbSystemtest");
};

// The main menu and the toolbar `PTool` that every analysis window carries, built from
// one description. Entries do what the application's navigation says unless the window
// sets its own handler (open and save act on each window's own files).
class WindowChrome : public QObject {
  Q_OBJECT
public:
  static WindowChrome* install(QMainWindow* window, const ChromeConfig& config);

  void setHandler(Command command, std::function<void()> handler);
  void trigger(Command command);

  // The menu entry of a command (the first, for "&Update-Prüfung" in two menus), or null.
  QAction* action(Command command) const;
  // The toolbar button of a command, or null.
  QToolButton* button(Command command) const;

private:
  WindowChrome(QMainWindow* window, const ChromeConfig& config);
  void buildMenus();
  void buildToolbar();
  QAction* addEntry(QMenu* menu, Command command, const QString& text, const char* name);
  QToolButton* addButton(QToolBar* bar, Command command, const QString& name);

  QMainWindow* window_;
  ChromeConfig config_;
  std::map<Command, std::function<void()>> handlers_;
  std::map<Command, QAction*> actions_;
  std::map<Command, QToolButton*> buttons_;
};

} // namespace kw
