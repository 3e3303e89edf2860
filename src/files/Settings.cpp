#include "files/Settings.h"

#include "files/Folders.h"
#include "files/PermanenceLines.h"
#include "files/TextFile.h"

#include <QDir>
#include <QFileInfo>

#include <SimpleIni.h>

#include <algorithm>

namespace kw {
namespace {

constexpr char FilesSection[] = "Dateien";
constexpr char PermanenceKey[] = "Permanenz";
constexpr char StakeKey[] = "Satz-Staffelung";
constexpr char SectorKey[] = "Sektoreneinteilung";

// Duplicate keys are kept as they stand (the first one counts, as with the Windows profile
// functions); only a key that is written collapses to one entry.
struct LoadedIni {
  CSimpleIniA ini{/*isUtf8=*/true, /*multiKey=*/true, /*multiLine=*/false};
  DecodedText text;
  QString error;
};

// The INI library keeps a comment only together with the key or section after it, so the
// comments after the last key would be lost: a placeholder key at the end of the text holds
// them in place and is taken out again after saving.
constexpr std::string_view EndMarkerKey = "kesselwerk-end-of-comments-3f9c";

std::string withEndMarker(const std::string& text) {
  std::string marked = text;
  if (!marked.empty() && marked.back() != '\n' && marked.back() != '\r')
    marked += "\r\n";
  return marked.append(EndMarkerKey).append("=\r\n");
}

std::vector<std::string> withoutEndMarker(std::string_view saved) {
  const std::string markerLine = std::string(EndMarkerKey) + "=";
  std::vector<std::string> lines = SplitLines(saved);
  // A blank line where the placeholder stood keeps the comments apart from what follows.
  std::replace(lines.begin(), lines.end(), markerLine, std::string());
  while (!lines.empty() && lines.back().empty())
    lines.pop_back();
  return lines;
}

void loadIni(const QString& path, LoadedIni& loaded) {
  loaded.ini.SetSpaces(false);
  if (!QFileInfo::exists(path))
    return;
  const FileBytes file = ReadFileBytes(path);
  if (!file.ok()) {
    loaded.error = file.error;
    return;
  }
  loaded.text = DecodeText(file.bytes);
  if (loaded.ini.LoadData(withEndMarker(loaded.text.text)) < 0)
    loaded.error = ReadErrorMessage(path, QStringLiteral("Die Einstellungen sind nicht lesbar."));
}

// A value holding a line break would split into a key and a stray line.
QString lineBreakMessage(const QString& path, const std::string& key) {
  return QStringLiteral("Die Datei %1 wurde nicht gespeichert.\r\rDer Wert für %2 enthält "
                        "einen Zeilenumbruch.")
      .arg(QDir::toNativeSeparators(path), QString::fromStdString(key));
}

} // namespace

QString IniFile::ReadText(const std::string& section, const std::string& key,
                          const QString& defaultValue) const {
  LoadedIni loaded;
  loadIni(path_, loaded);
  if (!loaded.error.isEmpty())
    return defaultValue;
  const char* value = loaded.ini.GetValue(section.c_str(), key.c_str(), nullptr);
  return value ? QString::fromUtf8(value) : defaultValue;
}

int IniFile::ReadInt(const std::string& section, const std::string& key, int defaultValue) const {
  const std::string text = ReadText(section, key).toStdString();
  const std::string_view trimmed = TrimLine(text);
  return IsInteger(trimmed) ? IntegerValue(trimmed) : defaultValue;
}

QString IniFile::WriteText(const std::string& section, const std::string& key,
                           const QString& value) const {
  const Entry entry{section, key, value};
  return Write(std::span(&entry, 1));
}

QString IniFile::WriteInt(const std::string& section, const std::string& key, int value) const {
  return WriteText(section, key, QString::number(value));
}

QString IniFile::Write(std::span<const Entry> entries) const {
  LoadedIni loaded;
  loadIni(path_, loaded);
  if (!loaded.error.isEmpty())
    return loaded.error;
  for (const Entry& entry : entries)
    if (entry.value.contains(QLatin1Char('\r')) || entry.value.contains(QLatin1Char('\n')))
      return lineBreakMessage(path_, entry.key);
  for (const Entry& entry : entries) {
    const std::string value = entry.value.toStdString();
    loaded.ini.SetValue(entry.section.c_str(), entry.key.c_str(), value.c_str(), nullptr,
                        /*forceReplace=*/true);
  }
  std::string saved;
  if (loaded.ini.Save(saved, /*addSignature=*/false) < 0)
    return WriteErrorMessage(path_, QStringLiteral("Die Einstellungen sind nicht darstellbar."));
  // A path or name with letters outside Windows-1252 ("Łódź") turns the file into UTF-8, so
  // that every value reads back as it was written.
  return WriteTextLines(path_, withoutEndMarker(saved), loaded.text.encoding,
                        Unencodable::WriteUtf8);
}

QString SettingsFilePath() { return DataDir() + QStringLiteral("optionen.ini"); }

IniFile Settings() { return IniFile(SettingsFilePath()); }

StartFiles ReadStartFiles(const IniFile& ini) {
  return {ini.ReadText(FilesSection, PermanenceKey), ini.ReadText(FilesSection, StakeKey),
          ini.ReadText(FilesSection, SectorKey)};
}

QString WriteStartFiles(const StartFiles& files, const IniFile& ini) {
  const IniFile::Entry entries[] = {{FilesSection, PermanenceKey, files.StartPermanenceFile},
                                    {FilesSection, StakeKey, files.StartStakeFile},
                                    {FilesSection, SectorKey, files.StartSectorFile}};
  return ini.Write(entries);
}

QString WriteStartStakeFile(const QString& path, const IniFile& ini) {
  return ini.WriteText(FilesSection, StakeKey, path);
}

namespace {

template <size_t N>
std::array<int, N> readSliders(const IniFile& ini, const std::string& section,
                               const std::array<int, N>& defaults) {
  std::array<int, N> positions{};
  for (size_t i = 0; i < N; ++i)
    positions[i] = ini.ReadInt(section, std::to_string(i + 1), defaults[i]);
  return positions;
}

template <size_t N>
QString writeSliders(const IniFile& ini, const std::string& section,
                     const std::array<int, N>& positions) {
  std::vector<IniFile::Entry> entries;
  for (size_t i = 0; i < N; ++i)
    entries.push_back({section, std::to_string(i + 1), QString::number(positions[i])});
  return ini.Write(entries);
}

constexpr char SeriesLengthSection[] = "Serienlaengen";
constexpr char TwoThirdsSection[] = "ZweiDrittelSchieber";
constexpr char RandomSection[] = "Zufall";
constexpr char RandomCountKey[] = "Anzahl";
constexpr char UpdateSection[] = "Update";
constexpr char UpdateServerKey[] = "Server";

} // namespace

std::array<int, 4> ReadSeriesLengthSliders(const IniFile& ini) {
  return readSliders(ini, SeriesLengthSection, DefaultSeriesLengthSliders);
}

QString WriteSeriesLengthSliders(const std::array<int, 4>& positions, const IniFile& ini) {
  return writeSliders(ini, SeriesLengthSection, positions);
}

std::array<int, 6> ReadTwoThirdsSliders(const IniFile& ini) {
  return readSliders(ini, TwoThirdsSection, DefaultTwoThirdsSliders);
}

QString WriteTwoThirdsSliders(const std::array<int, 6>& positions, const IniFile& ini) {
  return writeSliders(ini, TwoThirdsSection, positions);
}

QString ReadRandomCount(const IniFile& ini) {
  return ini.ReadText(RandomSection, RandomCountKey, QStringLiteral("370"));
}

QString WriteRandomCount(const QString& count, const IniFile& ini) {
  return ini.WriteText(RandomSection, RandomCountKey, count);
}

QString ReadUpdateServer(const QString& defaultValue, const IniFile& ini) {
  return ini.ReadText(UpdateSection, UpdateServerKey, defaultValue);
}

QString WriteUpdateServer(const QString& server, const IniFile& ini) {
  return ini.WriteText(UpdateSection, UpdateServerKey, server);
}

} // namespace kw
