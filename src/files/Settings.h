#pragma once

#include <QString>

#include <array>
#include <span>
#include <string>

namespace kw {

// A Windows-style INI file read and written key by key: every call reads the file anew, and
// a write changes only its own keys and keeps every other section, key and comment (and the
// file's encoding, except that a Windows-1252 file becomes UTF-8 with its byte-order mark
// when a value holds a character outside Windows-1252). Section and key names are compared without
// regard to case; values are taken as they stand (backslashes of Windows paths stay). Writes
// replace the file as a whole.
class IniFile {
public:
  struct Entry {
    std::string section;
    std::string key;
    QString value;
  };

  explicit IniFile(QString path) : path_(std::move(path)) {}

  const QString& path() const { return path_; }

  // The value, or the default when the file or the key is missing or the file unreadable.
  QString ReadText(const std::string& section, const std::string& key,
                   const QString& defaultValue = {}) const;
  // The value as an integer; the default also when the value is no integer.
  int ReadInt(const std::string& section, const std::string& key, int defaultValue) const;

  // Each returns the German error message, or an empty text when written. A file that exists
  // but cannot be read is never overwritten.
  [[nodiscard]] QString WriteText(const std::string& section, const std::string& key,
                                  const QString& value) const;
  [[nodiscard]] QString WriteInt(const std::string& section, const std::string& key,
                                 int value) const;
  // Several keys in one write: all of them or none.
  [[nodiscard]] QString Write(std::span<const Entry> entries) const;

private:
  QString path_;
};

// optionen.ini in the data folder.
QString SettingsFilePath();
IniFile Settings();

// The files read at start-up ([Dateien] Permanenz, Satz-Staffelung, Sektoreneinteilung):
// full paths or empty.
struct StartFiles {
  QString StartPermanenceFile;
  QString StartStakeFile;
  QString StartSectorFile;

  bool operator==(const StartFiles&) const = default;
};

// Empty when the settings file does not exist.
StartFiles ReadStartFiles(const IniFile& ini = Settings());
// Writes all three keys, empty values included (the settings window's save).
[[nodiscard]] QString WriteStartFiles(const StartFiles& files, const IniFile& ini = Settings());
// Writes [Dateien] Satz-Staffelung only (the system test remembering its stake file).
[[nodiscard]] QString WriteStartStakeFile(const QString& path, const IniFile& ini = Settings());

// [Serienlaengen] "1".."4": the series-length analysis' four sliders.
inline constexpr std::array<int, 4> DefaultSeriesLengthSliders = {6, 5, 4, 3};
std::array<int, 4> ReadSeriesLengthSliders(const IniFile& ini = Settings());
[[nodiscard]] QString WriteSeriesLengthSliders(const std::array<int, 4>& positions,
                                               const IniFile& ini = Settings());

// [ZweiDrittelSchieber] "1".."6": the system test's six sliders.
inline constexpr std::array<int, 6> DefaultTwoThirdsSliders = {6, 6, 5, 8, 5, 10};
std::array<int, 6> ReadTwoThirdsSliders(const IniFile& ini = Settings());
[[nodiscard]] QString WriteTwoThirdsSliders(const std::array<int, 6>& positions,
                                            const IniFile& ini = Settings());

// [Zufall] Anzahl: the random generator's count, as the user typed it ("370" when missing).
QString ReadRandomCount(const IniFile& ini = Settings());
[[nodiscard]] QString WriteRandomCount(const QString& count, const IniFile& ini = Settings());

// [Update] Server: the update server's base address (the default when missing).
QString ReadUpdateServer(const QString& defaultValue, const IniFile& ini = Settings());
[[nodiscard]] QString WriteUpdateServer(const QString& server, const IniFile& ini = Settings());

} // namespace kw
