// kesselwerk-cli: the application's analyses without windows, for scripts and batch jobs.
#include "Commands.h"
#include "core/Version.h"
#include "files/GermanTexts.h"

#include <QCoreApplication>

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
    "  system            Eigenes System (Lua-Skript) testen\n"
    "  suche             Parameter-Suche: beste Einstellung und Zufallsvergleich\n"
    "  sektoren          Wurfweiten-Auswertung nach Sektoren\n"
    "  statistik         Signifikanztests: mit einem fairen Kessel vereinbar?\n"
    "                    [--sektoren DATEI.sekt | --muster serien|7x6|5x4]\n"
    "  zufall            Zufallszahlen erzeugen\n"
    "  delta             Delta-Rechner\n"
    "  import            Permanenzen aus Zahlenlisten und Tabellen (CSV) übernehmen\n"
    "\n"
    "kesselwerk-cli import [--spalte NAME|NR] [--teilen N] [--ausgabe ORDNER]\n"
    "                      [--ueberschreiben] [--json] DATEI...\n"
    "  Liest Zahlenlisten (Zahlen durch Kommas, Semikolons, Tabulatoren oder Leerzeichen\n"
    "  getrennt, beliebig viele je Zeile) und Tabellen mit einer Spalte der Ergebnisse\n"
    "  (--spalte: Name oder Nummer ab 1; sonst wird sie vorgeschlagen) und schreibt je\n"
    "  Datei NAME.prm, mit --teilen N Dateien zu je N Coups (NAME_0001.prm, ...), in den\n"
    "  Ordner Permanenzen des Datenordners oder in --ausgabe ORDNER. Ein Rest von weniger\n"
    "  als fünf Zeilen kommt zur Datei davor, damit jede Datei ganz in die Tabelle der\n"
    "  Zentrale übertragen wird.\n"
    "  Coups sind die Werte 0 bis 36 (auch 07); \"00\" wird als Doppelnull gezählt, nie als\n"
    "  0; Einträge der Handwechsel-Liste werden Handwechsel; alles andere (etwa 000, 37,\n"
    "  +5, 5.0) wird übersprungen und mit Zeilennummer gemeldet. Eine Zeile einer Zahlen-\n"
    "  liste, die Wörter enthält, wird ganz übersprungen (\"Tisch 1\" ergibt keinen Coup).\n"
    "  Vorhandene Dateien werden nur mit --ueberschreiben ersetzt. Kann eine der Dateien\n"
    "  nicht importiert werden, oder bei Abbruch mit Strg+C, wird nichts geschrieben.\n"
    "\n"
    "kesselwerk-cli systemtest [--vorlauf N] [--angriffe N] [--stuecke LISTE | --staffelung\n"
    "                      DATEI.set] [--stueckgroesse N] [--startkapital N] [--plus N]\n"
    "                      [--minus N] [--protokoll] [--xlsx DATEI.xlsx]\n"
    "                      [--zufallsvergleich K [--seed S]] [--json] DATEI...\n"
    "  Spielt das System nach dem Zwei-Drittel-Gesetz über die Permanenzen und zeigt dazu\n"
    "  das Risiko des Laufs (größter Rückgang, längste Verlustserie, schlechteste\n"
    "  Permanenz, tiefster Kapitalstand, Erwartung -Umsatz/37). --zufallsvergleich K\n"
    "  spielt den Lauf K-mal (2 bis 1000000) auf Zufallspermanenzen mit denselben Coup-\n"
    "  zahlen und zeigt, wo das echte Netto-Ergebnis unter ihnen liegt; --seed S (0 bis\n"
    "  2^53-1) wiederholt einen Vergleich genau, ohne --seed wird ein Startwert gewählt\n"
    "  und ausgegeben. Das Ergebnis hängt nicht von --jobs ab.\n"
    "\n"
    "kesselwerk-cli system --skript DATEI.lua [--param NAME=WERT]... [--stueckgroesse 5]\n"
    "                      [--startkapital 1000] [--plus 500] [--minus 800] [--protokoll]\n"
    "                      [--seed S] [--zufallsvergleich K] [--json] DATEI...\n"
    "  Spielt ein eigenes System, ein Lua-Skript mit der Funktion setze(c), über die\n"
    "  Permanenzen: vor jedem Coup gibt setze die Sätze zurück, etwa { {\"dutzend\", 1, 2} }.\n"
    "  --param setzt einen Parameter des Skripts (parameter = { ... }); Geld wie beim\n"
    "  systemtest, in Euro auf den Cent genau. Ende einer Permanenz: Gewinnziel erreicht,\n"
    "  Verlustgrenze erreicht, Kapital reicht nicht oder Permanenzende. Was das Skript mit\n"
    "  print ausgibt, steht auf der Standardfehlerausgabe; math.random beginnt jede\n"
    "  Permanenz aus --seed (Standard 1) neu, so dass ein Lauf sich genau wiederholt.\n"
    "  Ein Fehler im Skript beendet den Lauf mit Status 1 und nennt Zeile und Coup.\n"
    "  Risiko und --zufallsvergleich K wie beim systemtest, aus demselben --seed; die\n"
    "  Erwartung rechnet einfache Chancen mit zero_regel \"halb\" mit -Einsatz/74.\n"
    "\n"
    "kesselwerk-cli suche [--skript DATEI.lua] --bereich NAME=VON..BIS[:SCHRITT]...\n"
    "                      [Optionen von systemtest oder system] [--zufallsvergleich K]\n"
    "                      [--seed S] [--json] DATEI...\n"
    "  Spielt das System mit jeder Kombination der Bereiche (NAME: vorlauf, angriffe, plus,\n"
    "  minus, mit --skript die Parameter des Skripts; SCHRITT sonst 1, bei plus und minus\n"
    "  100) und zeigt je Kombination Netto-Ergebnis, Umsatz, Umsatzrendite und Abbrüche, in\n"
    "  der Reihenfolge der Bereiche (der erste ändert sich am langsamsten), dazu die beste\n"
    "  und die schlechteste Einstellung. --zufallsvergleich K wiederholt die ganze Suche auf\n"
    "  K Zufallspermanenzen mit denselben Coupzahlen und zeigt, wie gut die beste\n"
    "  Einstellung schon durch Zufall aussieht (p: Anteil der Replikate, deren Bestes\n"
    "  mindestens so gut ist). Gleicher --seed, gleiches Ergebnis, unabhängig von --jobs.\n"
    "\n"
    "Exit-Status: 0 Erfolg, 1 Eingabe von der Analyse abgelehnt (import: eine Datei ohne\n"
    "Coup; system: ein Fehler im Skript), 2 Aufruffehler oder Datei nicht lesbar,\n"
    "130 abgebrochen (import).\n";

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
  // Qt's error texts (a file that cannot be read, a folder that cannot be made) German,
  // as in the application.
  int qtArgc = 1;
  QCoreApplication qapp(qtArgc, argv);
  kw::InstallGermanTexts(qapp);
  using Command = int (*)(int, char**);
  const std::pair<const char*, Command> commands[] = {
      {"chancen", kw::cli::RunChancen},       {"serien", kw::cli::RunSerien},
      {"systemtest", kw::cli::RunSystemtest}, {"sektoren", kw::cli::RunSektoren},
      {"zufall", kw::cli::RunZufall},         {"delta", kw::cli::RunDelta},
      {"statistik", kw::cli::RunStatistik},   {"import", kw::cli::RunImport},
      {"system", kw::cli::RunSystemCommand},  {"suche", kw::cli::RunSuche}};
  for (auto [name, run] : commands)
    if (first == name)
      return run(argc, argv);
  std::fprintf(stderr, "kesselwerk-cli: unbekannter Befehl \"%s\" (siehe --help)\n", first.c_str());
  return 2;
}
