// kesselwerk-cli: the application's analyses without windows, for scripts and batch jobs.
#include "Commands.h"
#include "core/Version.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace {

const char* const Usage =
    "Aufruf: kesselwerk-cli BEFEHL [OPTIONEN] DATEI...\n"
    "        kesselwerk-cli --help | --version\n"
    "\n"
    "Wertet Roulette-Permanenzen ohne Fenster aus, mit denselben Verfahren wie Kesselwerk.\n"
    "\n"
    "Gemeinsame Optionen:\n"
    "  --json            Ergebnis maschinenlesbar (JSON) statt als Texttabelle\n"
    "  --data-dir DIR    DIR als Datenordner verwenden (sonst wie die Anwendung,\n"
    "                    oder KESSELWERK_DATA_DIR)\n"
    "  --jobs N          Anzahl der Arbeits-Threads bei mehreren Dateien (Standard: alle Kerne)\n"
    "\n"
    "Befehle:\n"
    "  chancen           Chancen-Analyse\n"
    "  serien            Serienlängen-Analyse\n"
    "  systemtest        Systemtest nach Zwei-Drittel-Gesetz\n"
    "  sektoren          Wurfweiten-Auswertung nach Sektoren\n"
    "  statistik         Signifikanztests: mit einem fairen Kessel vereinbar?\n"
    "                    [--sektoren DATEI.sekt | --muster serien|7x6|5x4]\n"
    "  zufall            Zufallszahlen erzeugen\n"
    "  delta             Delta-Rechner\n"
    "\n"
    "Exit-Status: 0 Erfolg, 1 Eingabe von der Analyse abgelehnt, 2 Aufruffehler oder\n"
    "Datei nicht lesbar.\n";

} // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::fputs(Usage, stderr);
    return 2;
  }
  const std::string first = argv[1];
  if (first == "--help" || first == "-h") {
    std::fputs(Usage, stdout);
    return 0;
  }
  if (first == "--version") {
    std::printf("%s %s\n", kw::ProductName, kw::ProductVersion);
    return 0;
  }
  using Command = int (*)(int, char**);
  const std::pair<const char*, Command> commands[] = {
      {"chancen", kw::cli::RunChancen},       {"serien", kw::cli::RunSerien},
      {"systemtest", kw::cli::RunSystemtest}, {"sektoren", kw::cli::RunSektoren},
      {"zufall", kw::cli::RunZufall},         {"delta", kw::cli::RunDelta},
      {"statistik", kw::cli::RunStatistik}};
  for (auto [name, run] : commands)
    if (first == name)
      return run(argc, argv);
  std::fprintf(stderr, "kesselwerk-cli: unbekannter Befehl \"%s\" (siehe --help)\n", first.c_str());
  return 2;
}
