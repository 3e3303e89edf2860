#pragma once

namespace kw::help {

// The help pages' context numbers, each written here once. They are the keyword ids of
// help/kesselwerk.qhp (the help project), which the help test compares with this list;
// code names a page by its topic, never by its number.
enum Topic : int {
  Index = 1010,              // "Kesselwerk – Hilfe"
  Zentrale = 1050,           // "Die Zentrale" (main window)
  Transfer = 110,            // "Übertragen in die Tabelle"
  Import = 1170,             // "Permanenzen importieren"
  FrequencyChart = 1110,     // "Häufigkeitsdiagramm"
  SeriesLengths = 1100,      // "Serienlängen-Analyse"
  SystemTest = 1080,         // "Systemtest nach Zwei-Drittel-Gesetz"
  SystemTestSettings = 1070, // "Einstellungen des Systemtests" (the sliders)
  SystemTestPictures = 1085, // "Bilder des Systemtests" (the chart windows FChart2)
  Sectors = 1090,            // "Sektoren-Analyse (Wurfweiten)"
  SectorFiles = 100,         // "Sektoren speichern und öffnen"
  Tools = 2000,              // "Zufallszahlen, Speichern und Update"
  Delta = 1140,              // "Delta-Rechner"
  DeltaInput = 165,          // "Eingaben im Delta-Rechner"
  Calendar = 1009,           // "Kalender und Taschenrechner"
  Settings = 1120,           // "Programm-Einstellungen"
  Info = 1011,               // "Programm-Info"
  Significance = 1160,       // "Signifikanz"
  Systems = 1180,            // "Eigene Systeme" (users' Lua scripts)
  ParameterSearch = 1190,    // "Parameter-Suche" (and its heat map, FHeatMap)
};

// Every topic, for the check against the help project.
inline constexpr Topic AllTopics[] = {
    Index,      Zentrale,           Transfer,           Import,   FrequencyChart, SeriesLengths,
    SystemTest, SystemTestSettings, SystemTestPictures, Sectors,  SectorFiles,    Tools,
    Delta,      DeltaInput,         Calendar,           Settings, Info,           Significance,
    Systems,    ParameterSearch};

} // namespace kw::help
