#include "core/Version.h"
#include "files/GermanTexts.h"
#include "ui/Application.h"
#include "ui/Icons.h"
#include "ui/InputHook.h"
#include "ui/Screenshots.h"

#include <QApplication>
#include <QStyleFactory>

#include <cstdio>
#include <cstring>

namespace {

const char* const Usage =
    "Aufruf: kesselwerk [--help | --version] [Qt-Optionen]\n"
    "\n"
    "Roulette-Permanenzen erfassen, auswerten und Systeme testen.\n"
    "Die Hilfe zu jedem Fenster öffnet die Taste F1; dieselben Auswertungen ohne\n"
    "Fenster führt der Befehl kesselwerk-cli aus.\n"
    "\n"
    "Umgebung:\n"
    "  KESSELWERK_DATA_DIR   Datenordner statt ~/.local/share/Kesselwerk/\n";

// --help and --version are answered before any window system is needed, so they work
// in a terminal without a display.
bool answeredFromCommandLine(int argc, char* argv[]) {
  if (argc != 2)
    return false;
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fputs(Usage, stdout);
    return true;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    std::printf("%s %s\n", kw::ProductName, kw::ProductVersion);
    return true;
  }
  return false;
}

} // namespace

int main(int argc, char* argv[]) {
  if (answeredFromCommandLine(argc, argv))
    return 0;
  QApplication qapp(argc, argv);
  kw::InstallGermanTexts(qapp);
  QApplication::setApplicationName(QLatin1String(kw::ProductName));
  QApplication::setApplicationVersion(QLatin1String(kw::ProductVersion));
  // Links the windows to the installed desktop entry (its icon and name under Wayland).
  QGuiApplication::setDesktopFileName(QStringLiteral("de.kesselwerk.Kesselwerk"));
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setWindowIcon(kw::AppIcon(QStringLiteral("kesselwerk")));
  QApplication::setQuitOnLastWindowClosed(false);

  kw::Application app;
  const QStringList args = QApplication::arguments();
  const qsizetype shots = args.indexOf(QStringLiteral("--screenshots"));
  if (shots >= 0 && shots + 1 < args.size())
    return kw::TakeScreenshots(app, args.at(shots + 1));

  app.Start();
  kw::InstallInputHookFromEnvironment();
  return QApplication::exec();
}
