#include "files/PermanenceImport.h"

#include "core/RouletteTables.h"
#include "files/PermanenceLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <algorithm>
#include <array>

namespace kw {
namespace {

constexpr qsizetype ListedColumns = 20;
constexpr int MinimumPartDigits = 4;

QString nativePath(const QString& path) { return QDir::toNativeSeparators(path); }

QString nothingImported() { return QStringLiteral("\r\rEs wurde nichts importiert."); }

// Text that holds a NUL, or control characters in more than a hundredth of its bytes, is no list:
// a program, a picture, or UTF-16 without its byte-order mark.
bool looksBinary(std::string_view text) {
  size_t controls = 0;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u == 0)
      return true;
    if ((u < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v') || u == 0x7F)
      ++controls;
  }
  return controls > 1 && controls * 100 > text.size();
}

QString columnList(const ImportParse& parse) {
  QStringList names;
  for (qsizetype k = 0; k < static_cast<qsizetype>(parse.columns.size()); ++k) {
    if (k == ListedColumns) {
      names << QString::fromUtf8("\xE2\x80\xA6");
      break;
    }
    const std::string& name = parse.columns[static_cast<size_t>(k)].name;
    names << (name.empty()
                  ? QString::number(k + 1)
                  : QStringLiteral("%1 \"%2\"").arg(k + 1).arg(QString::fromStdString(name)));
  }
  return QStringLiteral("Spalten: ") + names.join(QStringLiteral(", "));
}

QString problemMessage(const QString& path, const ImportParse& parse,
                       const ImportRequest& request) {
  const QString file = nativePath(path);
  const QString wanted = QString::fromStdString(std::string(TrimLine(request.column)));
  switch (parse.problem) {
  case ImportProblem::LongToken:
    return QStringLiteral("Die Datei %1 enthält in Zeile %2 eine Zeichenfolge von %3 Zeichen ohne "
                          "Trennzeichen. Eine Permanenzliste besteht aus Zahlen, die durch Kommas, "
                          "Semikolons, Tabulatoren, Leerzeichen oder Zeilenenden getrennt sind.")
               .arg(file)
               .arg(parse.problemLine)
               .arg(parse.problemLength) +
           nothingImported();
  case ImportProblem::OpenQuote:
    return QStringLiteral("Die Datei %1 enthält in Zeile %2 ein Feld in Anführungszeichen, das "
                          "nicht in dieser Zeile endet. Felder über mehrere Zeilen werden nicht "
                          "gelesen, weil ein vergessenes Anführungszeichen sonst die folgenden "
                          "Zeilen verschlucken würde.")
               .arg(file)
               .arg(parse.problemLine) +
           nothingImported();
  case ImportProblem::UnknownColumn:
    return QStringLiteral("Die Tabelle in der Datei %1 hat keine Spalte \"%2\".\r\r%3")
        .arg(file, wanted, columnList(parse));
  case ImportProblem::ColumnOutOfRange: {
    const QString message =
        QStringLiteral("Die Datei %1 hat keine Spalte %2 (die Spalten werden ab 1 gezählt).")
            .arg(file, wanted);
    return parse.columns.empty() ? message : message + QStringLiteral("\r\r") + columnList(parse);
  }
  case ImportProblem::ColumnNameNoHeader:
    return QStringLiteral("Die Datei %1 hat keine Kopfzeile mit Spaltennamen; eine Spalte lässt "
                          "sich darin nur mit ihrer Nummer wählen (angegeben: \"%2\").")
        .arg(file, wanted);
  case ImportProblem::None:
    break;
  }
  return {};
}

ImportAnalysis failed(ImportAnalysis analysis, ImportFailure failure, const QString& error) {
  analysis.failure = failure;
  analysis.error = error;
  return analysis;
}

// What the parse leaves to refuse: no column of results, no coup.
QString contentMessage(const QString& path, const ImportParse& parse) {
  const QString file = nativePath(path);
  if (parse.format == ImportFormat::Table && parse.column < 0)
    return QStringLiteral("In der Tabelle der Datei %1 steht in keiner Spalte eine Folge von "
                          "Roulette-Zahlen (0 bis 36).\r\r%2")
        .arg(file, columnList(parse));
  if (parse.coups == 0)
    return QStringLiteral("Die Datei %1 enthält keinen Coup (keine Zahl von 0 bis 36); "
                          "übersprungen: %2, Doppelnull: %3.")
               .arg(file)
               .arg(parse.skipped)
               .arg(parse.doubleZeros) +
           nothingImported();
  return {};
}

QString baseName(const QString& source) {
  const QFileInfo info(source);
  if (!info.completeBaseName().isEmpty())
    return info.completeBaseName();
  return info.fileName().isEmpty() ? QStringLiteral("Import") : info.fileName();
}

QStringList outputPaths(const ImportAnalysis& analysis, size_t parts,
                        const ImportWriteOptions& options) {
  const QDir folder(options.folder);
  const QString name = baseName(analysis.source);
  if (options.coupsPerFile <= 0)
    return {folder.filePath(name + QStringLiteral(".prm"))};
  const int digits = std::max(MinimumPartDigits, static_cast<int>(QString::number(parts).size()));
  QStringList paths;
  for (size_t k = 1; k <= parts; ++k)
    paths << folder.filePath(QStringLiteral("%1_%2.prm")
                                 .arg(name)
                                 .arg(static_cast<qulonglong>(k), digits, 10, QLatin1Char('0')));
  return paths;
}

bool isAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A part's file content as WriteTextLines would encode its lines, without a string per line: a
// million coups would otherwise take a million strings. Markers beyond ASCII (rare) go the
// encoder's way, which refuses what Windows-1252 cannot hold.
EncodedText partBytes(const ImportParse& parse, const ImportPart& part, const QString& target) {
  static const std::array<QByteArray, 37> numbers = [] {
    std::array<QByteArray, 37> lines;
    for (size_t n = 0; n < lines.size(); ++n)
      lines[n] = QByteArray::number(static_cast<int>(n)) + "\r\n";
    return lines;
  }();
  const auto rows = std::span(parse.rows).subspan(part.firstRow, part.endRow - part.firstRow);
  const auto handChanges =
      static_cast<size_t>(std::count(rows.begin(), rows.end(), HandChangeCode));
  const auto markers = std::span(parse.handChangeTexts).subspan(part.firstHandChange, handChanges);
  if (!std::all_of(markers.begin(), markers.end(), isAscii))
    return EncodeLines(ImportFileLines(parse, part), TextEncoding::Windows1252, target);
  EncodedText encoded;
  encoded.bytes.reserve(static_cast<qsizetype>(rows.size()) * 4);
  for (const std::string& line : ImportInformationLines(part))
    encoded.bytes.append(QByteArray::fromStdString(line) + "\r\n");
  size_t marker = 0;
  for (uint8_t row : rows) {
    if (row == HandChangeCode) {
      const std::string& text = markers[marker++];
      encoded.bytes.append(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
      encoded.bytes.append("\r\n");
    } else {
      encoded.bytes.append(numbers[row]);
    }
  }
  return encoded;
}

// One file to write: its rows and where it goes.
struct PlannedFile {
  size_t analysis = 0;
  ImportPart part;
  QString target;
};

std::vector<PlannedFile> planFiles(std::span<const ImportAnalysis> analyses,
                                   const ImportWriteOptions& options) {
  std::vector<PlannedFile> plan;
  for (size_t a = 0; a < analyses.size(); ++a) {
    const std::vector<ImportPart> parts =
        SplitImportRows(analyses[a].parse, std::max(options.coupsPerFile, 0));
    const QStringList paths = outputPaths(analyses[a], parts.size(), options);
    for (size_t k = 0; k < parts.size(); ++k)
      plan.push_back({a, parts[k], paths[static_cast<qsizetype>(k)]});
  }
  return plan;
}

// Two sources that would give the same file (t1.txt and t1.csv), as a message; empty when none.
QString sameTargetMessage(std::span<const ImportAnalysis> analyses,
                          const std::vector<PlannedFile>& plan) {
  QHash<QString, size_t> sources;
  for (const PlannedFile& file : plan) {
    const QString target = QDir::cleanPath(file.target);
    const auto it = sources.constFind(target);
    if (it == sources.cend()) {
      sources.insert(target, file.analysis);
      continue;
    }
    return QStringLiteral("Die Dateien %1 und %2 ergäben beide die Permanenz %3.")
               .arg(nativePath(analyses[it.value()].source),
                    nativePath(analyses[file.analysis].source), nativePath(file.target)) +
           nothingImported();
  }
  return {};
}

// Moves the written files into place, the old ones aside; undoes every step on a failure.
class Commit {
public:
  Commit(QTemporaryDir& staging, bool replaceExisting)
      : staging_(staging), replaceExisting_(replaceExisting) {}

  bool move(const QString& staged, const QString& target) {
    Step step{target, {}};
    const QFileInfo existing(target);
    if (existing.isDir())
      return fail(target, QStringLiteral("Dort steht ein Ordner."));
    if (existing.exists() || existing.isSymLink()) {
      // A file that appeared while the others were written is no more replaced than one that
      // was there before.
      if (!replaceExisting_)
        return fail(target, QStringLiteral("Eine Datei dieses Namens ist während des Imports "
                                           "entstanden; sie wird nicht ersetzt."));
      step.kept = staging_.filePath(QStringLiteral("alt-%1").arg(steps_.size()));
      QFile old(target);
      if (!old.rename(step.kept))
        return fail(target, old.errorString());
    }
    QFile file(staged);
    if (!file.rename(target)) {
      if (!step.kept.isEmpty() && !QFile::rename(step.kept, target))
        staging_.setAutoRemove(false);
      return fail(target, file.errorString());
    }
    steps_.push_back(step);
    return true;
  }

  QString error() const { return error_; }

private:
  struct Step {
    QString target;
    QString kept; // where the replaced file waits; empty when there was none
  };

  bool fail(const QString& target, const QString& reason) {
    error_ = WriteErrorMessage(target, reason) + nothingImported();
    for (auto it = steps_.rbegin(); it != steps_.rend(); ++it) {
      QFile::remove(it->target);
      if (!it->kept.isEmpty() && !QFile::rename(it->kept, it->target))
        staging_.setAutoRemove(false); // never delete a user's file that could not go back
    }
    if (!staging_.autoRemove())
      error_ += QStringLiteral("\r\rDie ersetzten Dateien liegen noch in %1.")
                    .arg(nativePath(staging_.path()));
    steps_.clear();
    return false;
  }

  QTemporaryDir& staging_;
  bool replaceExisting_ = false;
  std::vector<Step> steps_;
  QString error_;
};

} // namespace

ImportAnalysis AnalysePermanenceImport(const QString& path, const ImportRequest& request,
                                       const ImportProgress& progress) {
  ImportAnalysis analysis;
  analysis.source = path;
  const QFileInfo info(path);
  // Checked before opening: opening a pipe would wait for a writer.
  if (info.isDir())
    return failed(analysis, ImportFailure::Unreadable,
                  ReadErrorMessage(path, QStringLiteral("Das ist ein Ordner.")));
  if (info.exists() && !info.isFile())
    return failed(analysis, ImportFailure::Unreadable,
                  ReadErrorMessage(path, QStringLiteral("Das ist keine gewöhnliche Datei, sondern "
                                                        "etwa eine Pipe oder ein Gerät.")));
  const FileBytes file = ReadFileBytes(path);
  if (!file.ok())
    return failed(analysis, ImportFailure::Unreadable, file.error);
  const DecodedText decoded = DecodeText(file.bytes);
  analysis.encoding = decoded.encoding;
  if (looksBinary(decoded.text))
    return failed(analysis, ImportFailure::NotImportable,
                  QStringLiteral("Die Datei %1 ist keine Textdatei: sie enthält Nullbytes oder "
                                 "Steuerzeichen (etwa ein Programm, ein Bild oder Text in UTF-16 "
                                 "ohne Byte-Order-Mark).")
                          .arg(nativePath(path)) +
                      nothingImported());
  if (TrimLine(decoded.text).empty())
    return failed(analysis, ImportFailure::NotImportable,
                  QStringLiteral("Die Datei %1 ist leer.").arg(nativePath(path)) +
                      nothingImported());

  analysis.parse = ParsePermanenceImport(decoded.text, request, progress);
  const ImportParse& parse = analysis.parse;
  if (parse.cancelled) {
    analysis.cancelled = true;
    return analysis;
  }
  switch (parse.problem) {
  case ImportProblem::None:
    break;
  case ImportProblem::LongToken:
  case ImportProblem::OpenQuote:
    return failed(analysis, ImportFailure::NotImportable, problemMessage(path, parse, request));
  case ImportProblem::UnknownColumn:
  case ImportProblem::ColumnOutOfRange:
  case ImportProblem::ColumnNameNoHeader:
    return failed(analysis, ImportFailure::BadColumn, problemMessage(path, parse, request));
  }
  if (const QString message = contentMessage(path, parse); !message.isEmpty())
    return failed(analysis, ImportFailure::NotImportable, message);
  return analysis;
}

QStringList ImportOutputPaths(const ImportAnalysis& analysis, const ImportWriteOptions& options) {
  const size_t parts = SplitImportRows(analysis.parse, std::max(options.coupsPerFile, 0)).size();
  return outputPaths(analysis, parts, options);
}

QStringList ExistingImportOutputs(std::span<const ImportAnalysis> analyses,
                                  const ImportWriteOptions& options) {
  QStringList existing;
  for (const PlannedFile& file : planFiles(analyses, options))
    if (QFileInfo(file.target).exists() || QFileInfo(file.target).isSymLink())
      existing << file.target;
  return existing;
}

ImportWriteResult WritePermanenceImports(std::span<const ImportAnalysis> analyses,
                                         const ImportWriteOptions& options,
                                         const ImportProgress& progress) {
  ImportWriteResult result;
  if (!QFileInfo(options.folder).isDir()) {
    result.error = QStringLiteral("Den Ordner %1 gibt es nicht.").arg(nativePath(options.folder)) +
                   nothingImported();
    return result;
  }
  const std::vector<PlannedFile> plan = planFiles(analyses, options);
  if (result.error = sameTargetMessage(analyses, plan); !result.error.isEmpty())
    return result;
  for (const PlannedFile& file : plan) {
    const QFileInfo target(file.target);
    if (target.isDir()) {
      result.error = WriteErrorMessage(file.target, QStringLiteral("Dort steht ein Ordner.")) +
                     nothingImported();
      return result;
    }
    if ((target.exists() || target.isSymLink()) && !options.replaceExisting) {
      result.error = QStringLiteral("Die Datei %1 gibt es schon; eine vorhandene Permanenz wird "
                                    "nicht ersetzt.")
                         .arg(nativePath(file.target)) +
                     nothingImported();
      return result;
    }
  }

  QTemporaryDir staging(QDir(options.folder).filePath(QStringLiteral(".kesselwerk-import-XXXXXX")));
  if (!staging.isValid()) {
    result.error = WriteErrorMessage(options.folder, staging.errorString()) + nothingImported();
    return result;
  }
  int64_t total = 0;
  for (const PlannedFile& file : plan)
    total += static_cast<int64_t>(file.part.endRow - file.part.firstRow);
  int64_t done = 0;
  std::vector<QString> staged;
  staged.reserve(plan.size());
  for (const PlannedFile& file : plan) {
    const QString path = staging.filePath(QStringLiteral("%1.prm").arg(staged.size()));
    const EncodedText encoded = partBytes(analyses[file.analysis].parse, file.part, file.target);
    if (!encoded.problem.isEmpty()) {
      result.error = encoded.problem + nothingImported();
      return result;
    }
    if (QString error = WriteFileBytes(path, encoded.bytes); !error.isEmpty()) {
      // The message names the file the user knows, not the staging copy.
      result.error = error.replace(nativePath(path), nativePath(file.target)) + nothingImported();
      return result;
    }
    staged.push_back(path);
    done += static_cast<int64_t>(file.part.endRow - file.part.firstRow);
    if (progress && !progress(done, total)) {
      result.cancelled = true;
      return result;
    }
  }

  Commit commit(staging, options.replaceExisting);
  for (size_t k = 0; k < plan.size(); ++k) {
    if (!commit.move(staged[k], plan[k].target)) {
      result.error = commit.error();
      return result;
    }
  }
  result.outputs.resize(analyses.size());
  for (const PlannedFile& file : plan)
    result.outputs[file.analysis] << file.target;
  return result;
}

QString ImportFormatText(const ImportParse& parse) {
  if (parse.format == ImportFormat::NumberList)
    return QStringLiteral("Zahlenliste");
  QString delimiter;
  switch (parse.delimiter) {
  case ',':
    delimiter = QStringLiteral("Komma");
    break;
  case ';':
    delimiter = QStringLiteral("Semikolon");
    break;
  case '\t':
    delimiter = QStringLiteral("Tabulator");
    break;
  default:
    delimiter = QStringLiteral("Leerzeichen");
    break;
  }
  QString text =
      QStringLiteral("Tabelle %1 Kopfzeile (Trennzeichen %2)")
          .arg(parse.headerLine > 0 ? QStringLiteral("mit") : QStringLiteral("ohne"), delimiter);
  if (parse.column >= 0) {
    text += QStringLiteral(", Spalte %1").arg(parse.column + 1);
    const size_t column = static_cast<size_t>(parse.column);
    if (column < parse.columns.size() && !parse.columns[column].name.empty())
      text += QStringLiteral(" \"%1\"").arg(QString::fromStdString(parse.columns[column].name));
  }
  return text;
}

QString DoubleZeroNote(int count) {
  return QString::fromUtf8("Doppelnull: %1 \xE2\x80\x94 diese Permanenz stammt von einem Kessel "
                           "mit Doppelnull")
      .arg(count);
}

} // namespace kw
