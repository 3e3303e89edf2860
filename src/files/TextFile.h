#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <span>
#include <string>
#include <vector>

namespace kw {

// Text files of the application (permanences, the hand-change list, the settings).
// Readers take any bytes: a byte-order mark selects UTF-8, UTF-16 LE or UTF-16 BE, every
// other file is Windows-1252. Writers write whole files through QSaveFile, so a failed
// write leaves an existing file as it was. Texts are UTF-8, errors German messages.

enum class TextEncoding {
  Windows1252, // the application's own files: no byte-order mark
  Utf8,        // with byte-order mark
  Utf16LE,     // with byte-order mark
  Utf16BE,     // with byte-order mark
};

struct DecodedText {
  std::string text; // UTF-8, without the byte-order mark
  TextEncoding encoding = TextEncoding::Windows1252;
};

DecodedText DecodeText(QByteArrayView bytes);

struct FileBytes {
  QByteArray bytes;
  QString error; // empty when the file was read

  bool ok() const { return error.isEmpty(); }
};

// No file of the application comes near this size (a million coups take a few megabytes);
// a larger one is refused before it is read instead of exhausting the memory.
inline constexpr qint64 MaxReadableFileSize = qint64{256} << 20;

// The whole file; on failure the system's error text naming the file. Only a regular file
// is read: a folder, a device (such as the endless /dev/zero), a FIFO or a socket is refused
// before anything is read from it, so a reader never waits or reads without end.
FileBytes ReadFileBytes(const QString& path);
// At most the first maxBytes bytes of a regular file (a file of one fixed-size record).
FileBytes ReadFileHead(const QString& path, qint64 maxBytes);

struct TextLines {
  std::vector<std::string> lines;
  TextEncoding encoding = TextEncoding::Windows1252;
  QString error; // empty when the file was read

  bool ok() const { return error.isEmpty(); }
};

TextLines ReadTextLines(const QString& path);

// The lines of every file one after another, nothing between files (what "Datei(en)
// öffnen..." puts into the memo); on the first file that cannot be read, its error and no
// lines at all.
TextLines ReadTextFiles(const QStringList& paths);

struct EncodedText {
  QByteArray bytes;
  QString problem; // the first character the encoding cannot hold, as a German message
};

// What a Windows-1252 writer does with a character outside Windows-1252 ("Ł", "Я").
enum class Unencodable {
  Refuse,    // nothing is written; the message names the line and the character
  WriteUtf8, // the whole file is written as UTF-8 with its byte-order mark instead
};

// Every line followed by CR LF, with the encoding's byte-order mark where it has one.
// Windows-1252 text whose bytes would begin like a byte-order mark is written as UTF-8 with
// its mark instead, so that it reads back unchanged. fileName only names the file in the message.
EncodedText EncodeLines(std::span<const std::string> lines, TextEncoding encoding,
                        const QString& fileName, Unencodable unencodable = Unencodable::Refuse);

// Writes the lines (each ending with CR LF) and replaces the file as a whole. Returns the
// German error message, or an empty text when the file was written. A line that the
// encoding cannot hold is refused before anything is written, unless `unencodable` lets a
// Windows-1252 file become UTF-8 (text that Windows-1252 holds is written in it as before).
[[nodiscard]] QString WriteTextLines(const QString& path, std::span<const std::string> lines,
                                     TextEncoding encoding = TextEncoding::Windows1252,
                                     Unencodable unencodable = Unencodable::Refuse);

// Replaces the file as a whole by these bytes (QSaveFile): on any failure, a full disk
// included, the old file stays as it was. Returns the German error message, or an empty text.
[[nodiscard]] QString WriteFileBytes(const QString& path, QByteArrayView bytes);

// "Die Datei ... kann nicht gelesen werden." with the system's reason.
QString ReadErrorMessage(const QString& path, const QString& reason);
QString WriteErrorMessage(const QString& path, const QString& reason);

} // namespace kw
