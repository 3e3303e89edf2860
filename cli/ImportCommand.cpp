// kesselwerk-cli import: permanences from number lists and tables, written as permanence files.
#include "CliArgs.h"
#include "Commands.h"
#include "Json.h"
#include "MainWindowTable.h"

#include "files/Folders.h"
#include "files/HandChangeMarkers.h"
#include "files/PermanenceImport.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace kw::cli {
namespace {

// The shell's status for a run ended by Ctrl+C.
constexpr int ExitInterrupted = 130;
constexpr long long MaxCoupsPerFile = 1'000'000'000;

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int) { interrupted = 1; }

// Ctrl+C or a termination ends the import through its cancel, so that nothing is left behind.
bool notInterrupted(int64_t, int64_t) { return interrupted == 0; }

std::string utf8(const QString& text) { return text.toStdString(); }
std::string shown(const QString& path) { return utf8(QDir::toNativeSeparators(path)); }

std::string_view formatKey(const ImportParse& parse) {
  return parse.format == ImportFormat::Table ? "Tabelle" : "Zahlenliste";
}

void printJson(const std::vector<ImportAnalysis>& analyses,
               const std::vector<QStringList>& outputs) {
  Json json;
  json.beginObject().key("dateien").beginArray();
  for (size_t i = 0; i < analyses.size(); ++i) {
    const ImportParse& parse = analyses[i].parse;
    json.beginObject();
    json.key("quelle").value(utf8(analyses[i].source));
    json.key("format").value(formatKey(parse));
    if (parse.column >= 0) {
      const size_t column = static_cast<size_t>(parse.column);
      json.key("spalte").beginObject().key("nr").value(static_cast<long long>(column + 1));
      json.key("name").value(column < parse.columns.size() ? parse.columns[column].name : "");
      json.endObject();
    }
    json.key("coups").value(static_cast<long long>(parse.coups));
    json.key("handwechsel").value(static_cast<long long>(parse.handChanges));
    json.key("uebersprungen").value(static_cast<long long>(parse.skipped));
    json.key("doppelnull").value(static_cast<long long>(parse.doubleZeros));
    json.key("beispiele").beginArray();
    for (const SkippedValue& example : parse.examples)
      json.beginArray().value(static_cast<long long>(example.line)).value(example.text).endArray();
    json.endArray();
    if (!analyses[i].error.isEmpty()) {
      std::string error = utf8(analyses[i].error);
      std::replace(error.begin(), error.end(), '\r', ' ');
      json.key("fehler").value(error);
    }
    json.key("ausgabe").beginArray();
    if (i < outputs.size())
      for (const QString& path : outputs[i])
        json.value(shown(path));
    json.endArray();
    json.endObject();
  }
  json.endArray().endObject();
  std::printf("%s\n", json.text().c_str());
}

std::string writtenText(const QStringList& files) {
  if (files.isEmpty())
    return "nichts";
  if (files.size() == 1)
    return shown(files.first());
  return std::to_string(files.size()) + " Dateien, " + shown(files.first()) + " bis " +
         utf8(QFileInfo(files.last()).fileName());
}

void printText(const std::vector<ImportAnalysis>& analyses,
               const std::vector<QStringList>& outputs) {
  for (size_t i = 0; i < analyses.size(); ++i) {
    const ImportParse& parse = analyses[i].parse;
    if (i > 0)
      std::printf("\n");
    std::printf("Quelle:        %s\n", shown(analyses[i].source).c_str());
    std::printf("Format:        %s\n", utf8(ImportFormatText(parse)).c_str());
    std::printf("Coups:         %d\n", parse.coups);
    std::printf("Handwechsel:   %d\n", parse.handChanges);
    std::printf("Übersprungen:  %d\n", parse.skipped);
    for (const SkippedValue& example : parse.examples)
      std::printf("               Zeile %d: %s\n", example.line,
                  example.text.empty() ? "(leer)" : example.text.c_str());
    if (parse.doubleZeros > 0)
      std::printf("%s\n", utf8(DoubleZeroNote(parse.doubleZeros)).c_str());
    std::printf("Geschrieben:   %s\n", writtenText(outputs[i]).c_str());
  }
}

int statusOf(const ImportAnalysis& analysis) {
  switch (analysis.failure) {
  case ImportFailure::None:
    return ExitOk;
  case ImportFailure::NotImportable:
    return ExitRefused;
  case ImportFailure::Unreadable:
  case ImportFailure::BadColumn:
    break;
  }
  return ExitUsage;
}

} // namespace

int RunImport(int argc, char** argv) {
  CliArgs args = ParseArgs(argc, argv, {"--spalte", "--teilen", "--ausgabe"}, {"--ueberschreiben"});
  auto usage = [](const std::string& what) {
    return Fail(ExitUsage, "kesselwerk-cli import: " + what);
  };
  if (!args.error.empty())
    return usage(args.error);
  if (args.files.empty())
    return usage("keine Datei angegeben");
  int coupsPerFile = 0;
  if (args.has("--teilen")) {
    const auto size = args.integer("--teilen", 1, MaxCoupsPerFile);
    if (!size)
      return usage(args.error);
    coupsPerFile = static_cast<int>(*size);
  }
  const std::optional<std::string> folderArgument = args.value("--ausgabe");
  const QString folder =
      QFileInfo(folderArgument ? QString::fromLocal8Bit(folderArgument->c_str()) : PermanenceDir())
          .absoluteFilePath();
  if (folderArgument && !QFileInfo(folder).isDir())
    return usage("den Ausgabeordner " + shown(folder) + " gibt es nicht");
  if (const MarkerListLoad markers = LoadHandChangeList(); !markers.error.isEmpty())
    return Fail(ExitUsage, utf8(markers.error));

  std::signal(SIGINT, onInterrupt);
  std::signal(SIGTERM, onInterrupt);
  const ImportRequest request{HandChangeList(), args.value("--spalte").value_or("")};
  std::vector<ImportAnalysis> analyses;
  int status = ExitOk;
  for (const QString& path : ToPaths(args.files)) {
    analyses.push_back(AnalysePermanenceImport(path, request, notInterrupted));
    if (analyses.back().cancelled)
      return Fail(ExitInterrupted, "Abgebrochen. Es wurde nichts geschrieben.");
    if (!analyses.back().ok()) {
      Fail(statusOf(analyses.back()), utf8(analyses.back().error));
      status = std::max(status, statusOf(analyses.back()));
    }
  }
  // One file that cannot be imported stops all of them: a batch is written whole or not at all.
  if (status == ExitUsage)
    return status;
  if (status == ExitRefused) {
    if (args.json)
      printJson(analyses, {});
    if (analyses.size() > 1)
      Fail(status, "Es wurde keine der Dateien importiert.");
    return status;
  }

  if (!folderArgument)
    PrepareFolders();
  const ImportWriteOptions options{folder, coupsPerFile, args.has("--ueberschreiben")};
  if (!options.replaceExisting) {
    if (const QStringList existing = ExistingImportOutputs(analyses, options);
        !existing.isEmpty()) {
      const std::string more =
          existing.size() > 1 ? " (und " + std::to_string(existing.size() - 1) + " weitere)" : "";
      return Fail(ExitUsage, "Die Datei " + shown(existing.first()) + " gibt es schon" + more +
                                 ". Vorhandene Permanenzen werden nur mit --ueberschreiben "
                                 "ersetzt. Es wurde nichts geschrieben.");
    }
  }
  const ImportWriteResult written = WritePermanenceImports(analyses, options, notInterrupted);
  if (written.cancelled)
    return Fail(ExitInterrupted, "Abgebrochen. Es wurde nichts geschrieben.");
  if (!written.ok())
    return Fail(ExitUsage, utf8(written.error));
  if (args.json)
    printJson(analyses, written.outputs);
  else
    printText(analyses, written.outputs);
  return ExitOk;
}

} // namespace kw::cli
