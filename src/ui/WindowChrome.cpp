#include "ui/WindowChrome.h"

#include "ui/Application.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/Icons.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace kw {
namespace {

struct ButtonInfo {
  Command command;
  const char* icon;
  const char* tip;
  const char* name;
};

// Toolbar groups from left to right; a separator stands between two groups.
const std::vector<std::vector<ButtonInfo>> ToolbarGroups = {
    {{Command::Close, "close", "Fenster schließen", "tbSchliessen"}},
    {{Command::Open, "open", "Permanenz öffnen", "tbOeffnen"},
     {Command::Save, "save", "Permanenz speichern", "tbSpeichern"}},
    {{Command::Sektoren, "sectors", "Sektoren-Analyse", "tbSektoren"},
     {Command::Serien, "series", "Serienlängen-Analyse", "tbSerien"},
     {Command::Systemtest, "systemtest", "Systemtest nach Zwei-Drittel-Gesetz", nullptr},
     {Command::Systeme, "systems", "Eigene Systeme", "tbSysteme"}},
    {{Command::Kalender, "calendar", "Kalender", "tbKalender"},
     {Command::Zufall, "random", "Zufallszahlen-Generator", "tbZufall"},
     {Command::Rechner, "calculator", "Taschenrechner", "tbRechner"},
     {Command::Delta, "delta", "Delta-Rechner", "tbDelta"}},
    {{Command::Update, "update", "Update-Prüfung", "tbUpdate"},
     {Command::Optionen, "settings", "Programm-Einstellungen", "tbEinstellungen"}},
};

bool contains(const std::vector<Command>& list, Command c) {
  return std::find(list.begin(), list.end(), c) != list.end();
}

} // namespace

WindowChrome* WindowChrome::install(QMainWindow* window, const ChromeConfig& config) {
  return new WindowChrome(window, config);
}

WindowChrome::WindowChrome(QMainWindow* window, const ChromeConfig& config)
    : QObject(window), window_(window), config_(config) {
  setObjectName(QStringLiteral("WindowChrome"));
  buildMenus();
  buildToolbar();
}

QAction* WindowChrome::addEntry(QMenu* menu, Command command, const QString& text,
                                const char* name) {
  QAction* action = menu->addAction(text);
  action->setObjectName(QLatin1String(name));
  connect(action, &QAction::triggered, this, [this, command] { trigger(command); });
  actions_.try_emplace(command, action);
  return action;
}

void WindowChrome::buildMenus() {
  QMenuBar* bar = window_->menuBar();
  bar->setObjectName(QStringLiteral("MainMenu"));

  QMenu* datei = bar->addMenu(QStringLiteral("&Datei"));
  datei->setObjectName(QStringLiteral("mnDatei"));
  if (config_.openSave) {
    addEntry(datei, Command::Open, QStringLiteral("Ö&ffnen..."), "miOeffnen");
    if (config_.importEntry)
      addEntry(datei, Command::Import, QStringLiteral("&Importieren..."), "miImportieren");
    addEntry(datei, Command::Save, QStringLiteral("Speichern &unter..."), "miSpeichernUnter");
    datei->addSeparator();
  }
  addEntry(datei, Command::Close, QStringLiteral("&Beenden"), "miBeenden");

  QMenu* analysen = bar->addMenu(QStringLiteral("&Analysen"));
  analysen->setObjectName(QStringLiteral("mnAnalysen"));
  for (Command c : config_.analysenEntries) {
    if (c == Command::Sektoren)
      addEntry(analysen, c, QStringLiteral("&Sektoren-Analyse"), "miSektoren");
    else if (c == Command::Serien)
      addEntry(analysen, c, QStringLiteral("Serien&längen-Analyse"), "miSerien");
    else if (c == Command::Systemtest)
      addEntry(analysen, c, QStringLiteral("Systemtest nach &Zwei-Drittel-Gesetz"), "miSystemtest");
    else if (c == Command::Signifikanz)
      addEntry(analysen, c, QStringLiteral("Si&gnifikanz"), "miSignifikanz");
    else if (c == Command::Systeme)
      addEntry(analysen, c, QStringLiteral("&Eigene Systeme"), "miSysteme");
    else if (c == Command::Suche)
      addEntry(analysen, c, QStringLiteral("&Parameter-Suche"), "miSuche");
  }

  QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
  tools->setObjectName(QStringLiteral("mnTools"));
  addEntry(tools, Command::Kalender, QStringLiteral("&Kalender"), "miKalender");
  addEntry(tools, Command::Zufall, QStringLiteral("&Zufallszahlen-Generator"), "miZufall");
  addEntry(tools, Command::Rechner, QStringLiteral("&Taschenrechner"), "miRechner");
  addEntry(tools, Command::Delta, QStringLiteral("&Delta-Rechner"), "miDelta");
  tools->addSeparator();
  addEntry(tools, Command::Update, QStringLiteral("&Update-Prüfung"), "miUpdate");
  tools->addSeparator();
  addEntry(tools, Command::Optionen, QStringLiteral("Programm-&Einstellungen"), "miEinstellungen");

  QMenu* hilfe = bar->addMenu(QStringLiteral("&Hilfe"));
  hilfe->setObjectName(QStringLiteral("mnHilfe"));
  addEntry(hilfe, Command::HelpContents, QStringLiteral("Hilfe-&Inhalt"), "miHilfeInhalt");
  addEntry(hilfe, Command::HelpSearch, QStringLiteral("In Hilfe &suchen..."), "miHilfeSuchen");
  addEntry(hilfe, Command::HelpContext, QStringLiteral("&Hilfe für diesen Programmteil"),
           "miHilfeProgrammteil");
  hilfe->addSeparator();
  QAction* update = hilfe->addAction(QStringLiteral("&Update-Prüfung"));
  update->setObjectName(QStringLiteral("miHilfeUpdate"));
  connect(update, &QAction::triggered, this, [this] { trigger(Command::Update); });
  hilfe->addSeparator();
  addEntry(hilfe, Command::Info, QStringLiteral("In&fo"), "miInfo");
}

QToolButton* WindowChrome::addButton(QToolBar* bar, Command command, const QString& name) {
  auto* button = new QToolButton(bar);
  button->setObjectName(name);
  button->setFixedSize(44, 36);
  button->setIconSize(QSize(26, 26));
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::TabFocus);
  connect(button, &QToolButton::clicked, this, [this, command] { trigger(command); });
  buttons_[command] = button;
  return button;
}

void WindowChrome::buildToolbar() {
  auto* bar = new QToolBar(window_);
  bar->setObjectName(QStringLiteral("PTool"));
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->toggleViewAction()->setEnabled(false);
  bar->setContextMenuPolicy(Qt::PreventContextMenu);
  window_->addToolBar(Qt::TopToolBarArea, bar);

  bool first = true;
  for (const auto& group : ToolbarGroups) {
    std::vector<std::pair<Command, QToolButton*>> created;
    for (const ButtonInfo& info : group) {
      if (!config_.openSave && (info.command == Command::Open || info.command == Command::Save))
        continue;
      const QString name = info.name ? QLatin1String(info.name) : config_.systemtestButtonName;
      QToolButton* b = addButton(bar, info.command, name);
      b->setIcon(AppIcon(QLatin1String(info.icon)));
      b->setToolTip(QString::fromUtf8(info.tip));
      created.emplace_back(info.command, b);
    }
    if (created.empty())
      continue;
    if (!first)
      bar->addSeparator();
    first = false;
    for (auto [command, b] : created)
      bar->addWidget(b)->setVisible(!contains(config_.hiddenButtons, command));
  }
  auto* spacer = new QWidget(bar);
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  bar->addWidget(spacer);
  QToolButton* help = addButton(bar, Command::HelpContext, config_.helpButtonName);
  help->setIcon(AppIcon(QStringLiteral("help")));
  help->setToolTip(QStringLiteral("Hilfe für diesen Programmteil"));
  bar->addWidget(help);

  for (Command c : config_.disabledButtons)
    if (QToolButton* b = button(c))
      b->setEnabled(false);
}

void WindowChrome::setHandler(Command command, std::function<void()> handler) {
  handlers_[command] = std::move(handler);
}

void WindowChrome::trigger(Command command) {
  if (auto it = handlers_.find(command); it != handlers_.end()) {
    if (it->second)
      it->second();
    return;
  }
  Application& app = Application::instance();
  switch (command) {
  case Command::Close:
    window_->close();
    break;
  case Command::Open:
  case Command::Import:
  case Command::Save:
    break; // each window with files sets its own handlers
  case Command::Sektoren:
  case Command::Serien:
  case Command::Systemtest:
  case Command::Signifikanz:
  case Command::Systeme:
  case Command::Suche:
  case Command::Zufall:
  case Command::Delta:
  case Command::Optionen:
  case Command::Kalender:
  case Command::Update:
  case Command::Info:
    app.open(command);
    break;
  case Command::Rechner:
    app.startCalculator(window_);
    break;
  case Command::HelpContents:
    Help::instance().showContext(help::Index);
    break;
  case Command::HelpSearch:
    Help::instance().showSearch();
    break;
  case Command::HelpContext:
    Help::instance().showContext(config_.helpContext);
    break;
  }
}

QAction* WindowChrome::action(Command command) const {
  auto it = actions_.find(command);
  return it == actions_.end() ? nullptr : it->second;
}

QToolButton* WindowChrome::button(Command command) const {
  auto it = buttons_.find(command);
  return it == buttons_.end() ? nullptr : it->second;
}

} // namespace kw
