#pragma once

// The same bad inputs for every reader of outside files: each reader's test instantiates
// its table over BadInputs and says what it answers to each of them.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <array>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace kw::test {

enum class BadInput {
  Missing,       // no such file
  NoPermission,  // exists but may not be read
  Folder,        // a folder of that name
  Empty,         // 0 bytes
  Binary,        // 64 KB of every byte value, zeros included
  MegabyteLine,  // one line of a megabyte between two short lines
  BrokenUtf16,   // a UTF-16 mark followed by lone surrogates and an odd byte
  Truncated,     // the reader's own well-formed content, cut off
  Huge,          // larger than any file the application reads (sparse, takes no disk space)
  EndlessDevice, // a link to /dev/zero, which never ends
  Fifo,          // a named pipe without a writer: opening it for reading would wait forever
};

inline constexpr std::array<BadInput, 11> BadInputs = {
    BadInput::Missing, BadInput::NoPermission,  BadInput::Folder,      BadInput::Empty,
    BadInput::Binary,  BadInput::MegabyteLine,  BadInput::BrokenUtf16, BadInput::Truncated,
    BadInput::Huge,    BadInput::EndlessDevice, BadInput::Fifo};

inline std::string BadInputName(BadInput input) {
  switch (input) {
  case BadInput::Missing:
    return "Missing";
  case BadInput::NoPermission:
    return "NoPermission";
  case BadInput::Folder:
    return "Folder";
  case BadInput::Empty:
    return "Empty";
  case BadInput::Binary:
    return "Binary";
  case BadInput::MegabyteLine:
    return "MegabyteLine";
  case BadInput::BrokenUtf16:
    return "BrokenUtf16";
  case BadInput::Truncated:
    return "Truncated";
  case BadInput::Huge:
    return "Huge";
  case BadInput::EndlessDevice:
    return "EndlessDevice";
  case BadInput::Fifo:
    return "Fifo";
  }
  return "?";
}

// For INSTANTIATE_TEST_SUITE_P: readable test names.
struct BadInputParamName {
  std::string operator()(const ::testing::TestParamInfo<BadInput>& info) const {
    return BadInputName(info.param);
  }
};

// Inputs that are no regular file: the reader must refuse them before reading.
inline bool IsSpecialFile(BadInput input) {
  return input == BadInput::EndlessDevice || input == BadInput::Fifo;
}

// Inputs that are not there to be read: the reader must answer with its message.
inline bool IsUnreadable(BadInput input) {
  return input == BadInput::Missing || input == BadInput::NoPermission ||
         input == BadInput::Folder || input == BadInput::Huge || IsSpecialFile(input);
}

// What every reader says of a device or FIFO (before it reads anything).
inline constexpr char SpecialFileReason[] = "keine gewöhnliche Datei";

// Larger than the readers take (see ReadFileBytes).
inline constexpr qint64 HugeFileSize = (qint64{1} << 30) + 1;

// Creates the bad input at `path`; `wellFormed` is the reader's own content that Truncated
// cuts off. Fails the test when the input cannot be made.
inline void MakeBadInput(BadInput input, const QString& path, const QByteArray& wellFormed) {
  QByteArray bytes;
  switch (input) {
  case BadInput::Missing:
    QFile::remove(path);
    return;
  case BadInput::Folder:
    QFile::remove(path);
    ASSERT_TRUE(QDir().mkpath(path));
    return;
  case BadInput::Huge: {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_TRUE(file.resize(HugeFileSize));
    return;
  }
  case BadInput::EndlessDevice:
    QFile::remove(path);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path));
    return;
  case BadInput::Fifo:
    QFile::remove(path);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    return;
  case BadInput::NoPermission:
    bytes = wellFormed;
    break;
  case BadInput::Empty:
    break;
  case BadInput::Binary:
    for (int i = 0; i < 65536; ++i)
      bytes.append(static_cast<char>((i * 7919 + i / 256) & 0xFF));
    break;
  case BadInput::MegabyteLine:
    bytes = QByteArray("17\r\n") + QByteArray(1 << 20, '7') + QByteArray("\r\n5\r\n");
    break;
  case BadInput::BrokenUtf16:
    bytes = QByteArray("\xFF\xFE", 2) + QByteArray("1\0\r\0\n\0\x00\xD8\x00\xDC\x00\xDC\r\0\n\0"
                                                   "2",
                                                   17);
    break;
  case BadInput::Truncated:
    bytes = wellFormed.first(wellFormed.size() * 2 / 3);
    break;
  }
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
  file.close();
  if (input == BadInput::NoPermission) {
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
  }
}

// As root every file can be read, so "no permission" cannot be made.
#define KW_SKIP_IF_NOT_MAKEABLE(input)                                                             \
  if ((input) == ::kw::test::BadInput::NoPermission && ::geteuid() == 0)                           \
  GTEST_SKIP() << "root reads every file, so a file without read permission cannot be made"

} // namespace kw::test
