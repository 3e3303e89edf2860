#include "files/TextFile.h"

#include "files/PermanenceLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace kw {
namespace {

constexpr char AnsiName[] = "windows-1252";
// A stateless decoder turns a sequence cut off at the end (an odd byte of UTF-16) into a
// replacement character instead of dropping it silently.
constexpr auto Stateless = QStringConverter::Flag::Stateless;

bool isAscii(QByteArrayView bytes) {
  return std::all_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isAscii(const std::string& text) {
  return isAscii(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

bool startsWith(QByteArrayView bytes, std::string_view mark) {
  return bytes.size() >= static_cast<qsizetype>(mark.size()) &&
         std::equal(mark.begin(), mark.end(), bytes.begin());
}

bool startsWithByteOrderMark(QByteArrayView bytes) {
  return startsWith(bytes, "\xEF\xBB\xBF") || startsWith(bytes, "\xFF\xFE") ||
         startsWith(bytes, "\xFE\xFF");
}

// ASCII reads the same in Windows-1252 and UTF-8, so such text (nearly every permanence)
// needs no decoder.
std::string decode(const char* decoderName, QByteArrayView bytes) {
  if (isAscii(bytes))
    return std::string(bytes.data(), static_cast<size_t>(bytes.size()));
  QStringDecoder decoder(decoderName, Stateless);
  const QString text = decoder.decode(bytes);
  return text.toStdString();
}

QString nativePath(const QString& path) { return QDir::toNativeSeparators(path); }

QString folderReason() { return QStringLiteral("Unter diesem Namen steht ein Ordner."); }

QString specialFileReason() {
  return QStringLiteral("Das ist keine gewöhnliche Datei, sondern ein Gerät, eine benannte "
                        "Pipe oder ein Socket.");
}

// Only text that is valid UTF-8 reads back unchanged from a UTF-8 file.
bool allValidUtf8(std::span<const std::string> lines) {
  return std::all_of(lines.begin(), lines.end(), [](const std::string& line) {
    return isAscii(line) || QString::fromStdString(line).toStdString() == line;
  });
}

// The first character of the line that Windows-1252 cannot hold.
QString firstUnencodable(const QString& line) {
  for (qsizetype i = 0; i < line.size(); ++i) {
    const qsizetype length = line.at(i).isHighSurrogate() && i + 1 < line.size() ? 2 : 1;
    const QString character = line.mid(i, length);
    QStringEncoder encoder(AnsiName);
    // The encoder works only when its result is taken.
    [[maybe_unused]] const QByteArray encoded = encoder.encode(character);
    if (encoder.hasError())
      return character;
    i += length - 1;
  }
  return {};
}

QString unencodableMessage(const QString& fileName, size_t lineNumber, const QString& character) {
  return QStringLiteral("Die Datei %1 wurde nicht gespeichert.\r\rZeile %2 enthält das Zeichen "
                        "\"%3\", das im Zeichensatz Windows-1252 nicht gespeichert werden kann.")
      .arg(nativePath(fileName), QString::number(lineNumber), character);
}

// Opens a regular file for reading into `file`. A folder, a FIFO, a socket or a device is
// refused before anything is read from it: opening a FIFO waits for a writer, and a device
// such as /dev/zero never ends. Returns the German error message, or an empty text.
QString openRegularFile(QFile& file, const QString& path) {
#ifdef Q_OS_UNIX
  // Opened without waiting, because opening a FIFO for reading would wait for a writer; the
  // opened file itself is then checked, so nothing can be put in its place in between.
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return ReadErrorMessage(path, qt_error_string(errno));
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    const int error = errno;
    ::close(fd);
    return ReadErrorMessage(path, qt_error_string(error));
  }
  if (!S_ISREG(status.st_mode)) {
    ::close(fd);
    return ReadErrorMessage(path, S_ISDIR(status.st_mode) ? folderReason() : specialFileReason());
  }
  // O_NONBLOCK stays: reads of a regular file never wait, so it changes nothing for them.
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return ReadErrorMessage(path, file.errorString());
  }
  return {};
#else
  const QFileInfo info(path);
  if (info.isDir())
    return ReadErrorMessage(path, folderReason());
  if (info.exists() && !info.isFile())
    return ReadErrorMessage(path, specialFileReason());
  file.setFileName(path);
  if (!file.open(QIODevice::ReadOnly))
    return ReadErrorMessage(path, file.errorString());
  if (file.isSequential()) {
    file.close();
    return ReadErrorMessage(path, specialFileReason());
  }
  return {};
#endif
}

} // namespace

DecodedText DecodeText(QByteArrayView bytes) {
  if (startsWith(bytes, "\xEF\xBB\xBF"))
    return {decode("UTF-8", bytes.sliced(3)), TextEncoding::Utf8};
  if (startsWith(bytes, "\xFF\xFE")) {
    QStringDecoder decoder(QStringDecoder::Utf16LE, Stateless);
    return {QString(decoder.decode(bytes.sliced(2))).toStdString(), TextEncoding::Utf16LE};
  }
  if (startsWith(bytes, "\xFE\xFF")) {
    QStringDecoder decoder(QStringDecoder::Utf16BE, Stateless);
    return {QString(decoder.decode(bytes.sliced(2))).toStdString(), TextEncoding::Utf16BE};
  }
  return {decode(AnsiName, bytes), TextEncoding::Windows1252};
}

FileBytes ReadFileBytes(const QString& path) {
  QFile file;
  if (QString error = openRegularFile(file, path); !error.isEmpty())
    return {{}, std::move(error)};
  if (file.size() > MaxReadableFileSize)
    return {{},
            ReadErrorMessage(path, QStringLiteral("Die Datei ist zu groß (mehr als %1 MB).")
                                       .arg(MaxReadableFileSize >> 20))};
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError)
    return {{}, ReadErrorMessage(path, file.errorString())};
  return {std::move(bytes), {}};
}

FileBytes ReadFileHead(const QString& path, qint64 maxBytes) {
  QFile file;
  if (QString error = openRegularFile(file, path); !error.isEmpty())
    return {{}, std::move(error)};
  QByteArray bytes = file.read(maxBytes);
  if (file.error() != QFileDevice::NoError)
    return {{}, ReadErrorMessage(path, file.errorString())};
  return {std::move(bytes), {}};
}

TextLines ReadTextLines(const QString& path) {
  const FileBytes file = ReadFileBytes(path);
  if (!file.ok())
    return {{}, TextEncoding::Windows1252, file.error};
  DecodedText decoded = DecodeText(file.bytes);
  return {SplitLines(decoded.text), decoded.encoding, {}};
}

TextLines ReadTextFiles(const QStringList& paths) {
  TextLines all;
  for (const QString& path : paths) {
    TextLines file = ReadTextLines(path);
    if (!file.ok())
      return {{}, TextEncoding::Windows1252, file.error};
    all.lines.insert(all.lines.end(), std::make_move_iterator(file.lines.begin()),
                     std::make_move_iterator(file.lines.end()));
  }
  return all;
}

EncodedText EncodeLines(std::span<const std::string> lines, TextEncoding encoding,
                        const QString& fileName, Unencodable unencodable) {
  EncodedText result;
  switch (encoding) {
  case TextEncoding::Windows1252:
    break;
  case TextEncoding::Utf8:
    result.bytes = QByteArray("\xEF\xBB\xBF");
    break;
  case TextEncoding::Utf16LE:
    result.bytes = QByteArray("\xFF\xFE");
    break;
  case TextEncoding::Utf16BE:
    result.bytes = QByteArray("\xFE\xFF");
    break;
  }
  QStringEncoder encoder = encoding == TextEncoding::Windows1252 ? QStringEncoder(AnsiName)
                           : encoding == TextEncoding::Utf8 ? QStringEncoder(QStringEncoder::Utf8)
                           : encoding == TextEncoding::Utf16LE
                               ? QStringEncoder(QStringEncoder::Utf16LE)
                               : QStringEncoder(QStringEncoder::Utf16BE);
  const bool asciiPassesThrough =
      encoding == TextEncoding::Windows1252 || encoding == TextEncoding::Utf8;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (asciiPassesThrough && isAscii(line)) {
      result.bytes.append(line.data(), static_cast<qsizetype>(line.size()));
    } else {
      const QString text = QString::fromStdString(line);
      const QByteArray encoded = encoder.encode(text);
      if (encoder.hasError()) {
        if (unencodable == Unencodable::WriteUtf8 && allValidUtf8(lines))
          return EncodeLines(lines, TextEncoding::Utf8, fileName);
        return {{}, unencodableMessage(fileName, i + 1, firstUnencodable(text))};
      }
      result.bytes.append(encoded);
    }
    result.bytes.append(encoder(QStringLiteral("\r\n")));
  }
  // Windows-1252 text beginning with "ï»¿", "ÿþ" or "þÿ" would read back as another
  // encoding; with the UTF-8 mark every character reads back as written.
  if (encoding == TextEncoding::Windows1252 && startsWithByteOrderMark(result.bytes))
    return EncodeLines(lines, TextEncoding::Utf8, fileName);
  return result;
}

QString WriteTextLines(const QString& path, std::span<const std::string> lines,
                       TextEncoding encoding, Unencodable unencodable) {
  const EncodedText encoded = EncodeLines(lines, encoding, path, unencodable);
  if (!encoded.problem.isEmpty())
    return encoded.problem;
  return WriteFileBytes(path, encoded.bytes);
}

QString WriteFileBytes(const QString& path, QByteArrayView bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return WriteErrorMessage(path, file.errorString());
  // A write that fits the device's buffer only reaches the disk on commit, and commit does
  // not report that failure (a full disk would replace the file by an empty one): flush first.
  if (file.write(bytes.data(), bytes.size()) != bytes.size() || !file.flush() || !file.commit())
    return WriteErrorMessage(path, file.errorString());
  return {};
}

QString ReadErrorMessage(const QString& path, const QString& reason) {
  return QStringLiteral("Die Datei %1 kann nicht gelesen werden.\r\r%2")
      .arg(nativePath(path), reason);
}

QString WriteErrorMessage(const QString& path, const QString& reason) {
  return QStringLiteral("Die Datei %1 kann nicht geschrieben werden.\r\r%2")
      .arg(nativePath(path), reason);
}

} // namespace kw
