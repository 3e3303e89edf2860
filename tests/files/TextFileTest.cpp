#include "files/TextFile.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace kw {
namespace {

using Lines = std::vector<std::string>;

QByteArray bytes(std::string_view text) {
  return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

TEST(DecodeText, ByteOrderMarkSelectsTheEncodingOtherwiseWindows1252) {
  struct Case {
    const char* name;
    QByteArray input;
    std::string text;
    TextEncoding encoding;
  };
  const Case cases[] = {
      {"ascii", bytes("17\r\n0"), "17\r\n0", TextEncoding::Windows1252},
      {"ansi",
       bytes("Gr\xF6\xDF"
             "e \x80 \x81"),
       "Größe € \u0081", TextEncoding::Windows1252},
      {"utf-8 without mark is ansi", bytes("\xC3\xA4"), "Ã¤", TextEncoding::Windows1252},
      {"utf-8", bytes("\xEF\xBB\xBF\xC3\xA4\n7"), "ä\n7", TextEncoding::Utf8},
      {"utf-8 ascii",
       bytes("\xEF\xBB\xBF"
             "7"),
       "7", TextEncoding::Utf8},
      {"utf-16 le",
       bytes(std::string_view("\xFF\xFE\xE4\x00\n\x00"
                              "7\x00",
                              8)),
       "ä\n7", TextEncoding::Utf16LE},
      {"utf-16 be",
       bytes(std::string_view("\xFE\xFF\x00\xE4\x00\n\x00"
                              "7",
                              8)),
       "ä\n7", TextEncoding::Utf16BE},
      {"utf-16 odd byte count",
       bytes(std::string_view("\xFF\xFE"
                              "7\x00\n\x00"
                              "8",
                              7)),
       "7\n\uFFFD", TextEncoding::Utf16LE},
      {"broken utf-8", bytes("\xEF\xBB\xBF\xC3(7"), "\uFFFD(7", TextEncoding::Utf8},
      {"empty", QByteArray(), "", TextEncoding::Windows1252},
  };
  for (const Case& c : cases) {
    const DecodedText decoded = DecodeText(c.input);
    EXPECT_EQ(decoded.text, c.text) << c.name;
    EXPECT_EQ(decoded.encoding, c.encoding) << c.name;
  }
}

TEST(DecodeText, SurvivesBinaryDataAndZeroBytes) {
  QByteArray binary;
  for (int i = 0; i < 4096; ++i)
    binary.append(static_cast<char>((i * 7919) & 0xFF));
  const DecodedText decoded = DecodeText(binary);
  EXPECT_FALSE(decoded.text.empty());
  EXPECT_EQ(DecodeText(bytes(std::string_view("1\0\r\n2", 5))).text, std::string("1\0\r\n2", 5));
}

class TextFileTest : public ::testing::Test {
protected:
  QString path(const QString& name) const { return dir_.filePath(name); }
  QTemporaryDir dir_;
};

TEST_F(TextFileTest, ReadsAOneMegabyteLine) {
  const std::string line(1 << 20, '7');
  ASSERT_TRUE(test::WriteBytes(path("long.prm"), bytes(line + "\r\n5")));
  const TextLines file = ReadTextLines(path("long.prm"));
  ASSERT_TRUE(file.ok());
  EXPECT_EQ(file.lines, (Lines{line, "5"}));
}

TEST_F(TextFileTest, WritesWindows1252WithCrLfAfterEveryLineAndNoMark) {
  ASSERT_EQ(WriteTextLines(path("out.txt"), Lines{"17", "Größe €", ""}), QString());
  EXPECT_EQ(test::ReadBytes(path("out.txt")), bytes("17\r\nGr\xF6\xDF"
                                                    "e \x80\r\n\r\n"));
  EXPECT_EQ(ReadTextLines(path("out.txt")).lines, (Lines{"17", "Größe €", ""}));
}

TEST_F(TextFileTest, KeepsAByteOrderMarkEncodingWhenAsked) {
  for (TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Utf16LE, TextEncoding::Utf16BE}) {
    ASSERT_EQ(WriteTextLines(path("out.txt"), Lines{"→", "7"}, encoding), QString());
    const TextLines read = ReadTextLines(path("out.txt"));
    EXPECT_EQ(read.lines, (Lines{"→", "7"}));
    EXPECT_EQ(read.encoding, encoding);
  }
  EXPECT_EQ(test::ReadBytes(path("out.txt")),
            bytes(std::string_view("\xFE\xFF\x21\x92\x00\r\x00\n\x00"
                                   "7\x00\r\x00\n",
                                   14)));
}

TEST_F(TextFileTest, RefusesTextThatWindows1252CannotHoldAndKeepsTheOldFile) {
  ASSERT_TRUE(test::WriteBytes(path("old.prm"), "5\r\n"));
  const QString error = WriteTextLines(path("old.prm"), Lines{"1", "a → b"});
  EXPECT_TRUE(error.contains(QStringLiteral("Zeile 2 enthält das Zeichen \"→\"")))
      << error.toStdString();
  EXPECT_TRUE(error.contains(QStringLiteral("old.prm"))) << error.toStdString();
  EXPECT_EQ(test::ReadBytes(path("old.prm")), QByteArray("5\r\n"));
  // A character outside the basic plane, and bytes that are no UTF-8 at all.
  EXPECT_FALSE(WriteTextLines(path("old.prm"), Lines{"\U0001F600"}).isEmpty());
  EXPECT_FALSE(WriteTextLines(path("old.prm"), Lines{"\xFF"}).isEmpty());
  EXPECT_EQ(test::ReadBytes(path("old.prm")), QByteArray("5\r\n"));
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.prm")});
}

// Where the writer may switch to UTF-8: the whole file is then UTF-8 with its mark and reads
// back as written; Windows-1252 text stays Windows-1252; bytes that are no UTF-8 at all would
// not read back and are refused as before.
TEST_F(TextFileTest, MaySwitchToUtf8ForTextOutsideWindows1252) {
  struct Case {
    const char* name;
    Lines lines;
    QByteArray file; // empty: refused, the old file kept
  };
  const Case cases[] = {
      {"windows-1252",
       {"Größe", "7"},
       bytes("Gr\xF6\xDF"
             "e\r\n7\r\n")},
      {"polish", {"Größe", "Łódź"}, bytes("\xEF\xBB\xBFGröße\r\nŁódź\r\n")},
      {"outside the basic plane", {"\U0001F600"}, bytes("\xEF\xBB\xBF\U0001F600\r\n")},
      {"no utf-8", {"Ł", "\xFF"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(test::WriteBytes(path("out.txt"), "5\r\n"));
    const QString error =
        WriteTextLines(path("out.txt"), c.lines, TextEncoding::Windows1252, Unencodable::WriteUtf8);
    if (c.file.isEmpty()) {
      EXPECT_FALSE(error.isEmpty());
      EXPECT_EQ(test::ReadBytes(path("out.txt")), QByteArray("5\r\n"));
      continue;
    }
    ASSERT_EQ(error, QString());
    EXPECT_EQ(test::ReadBytes(path("out.txt")), c.file);
    EXPECT_EQ(ReadTextLines(path("out.txt")).lines, c.lines);
  }
}

TEST_F(TextFileTest, FilesThatCannotBeReadGiveTheSystemsReasonNamingTheFile) {
  QDir(dir_.path()).mkdir(QStringLiteral("folder.prm"));
  for (const QString& name : {QStringLiteral("missing.prm"), QStringLiteral("folder.prm")}) {
    const TextLines file = ReadTextLines(path(name));
    EXPECT_FALSE(file.ok()) << name.toStdString();
    EXPECT_TRUE(file.error.startsWith(QStringLiteral("Die Datei ")));
    EXPECT_TRUE(file.error.contains(name)) << file.error.toStdString();
    EXPECT_TRUE(file.error.contains(QStringLiteral("\r\r"))) << file.error.toStdString();
    EXPECT_TRUE(file.lines.empty());
  }
  EXPECT_TRUE(ReadTextLines(path("missing.prm")).error.contains(QStringLiteral("No such file")));
}

TEST_F(TextFileTest, SeveralFilesGiveAllTheirLinesOrNothing) {
  ASSERT_TRUE(test::WriteBytes(path("a.prm"), "1\r\n2"));
  ASSERT_TRUE(test::WriteBytes(path("b.prm"), QByteArray("\xFF\xFE"
                                                         "3\0\r\0\n\0",
                                                         8)));
  const TextLines both = ReadTextFiles({path("a.prm"), path("b.prm")});
  ASSERT_TRUE(both.ok());
  EXPECT_EQ(both.lines, (Lines{"1", "2", "3"}));

  const TextLines broken = ReadTextFiles({path("a.prm"), path("gone.prm"), path("b.prm")});
  EXPECT_TRUE(broken.error.contains(QStringLiteral("gone.prm")));
  EXPECT_TRUE(broken.lines.empty());
}

TEST_F(TextFileTest, AFileWithoutReadPermissionIsReported) {
  if (geteuid() == 0)
    GTEST_SKIP() << "root reads every file";
  ASSERT_TRUE(test::WriteBytes(path("secret.prm"), "5\r\n"));
  QFile::setPermissions(path("secret.prm"), QFileDevice::WriteOwner);
  const TextLines file = ReadTextLines(path("secret.prm"));
  EXPECT_FALSE(file.ok());
  EXPECT_TRUE(file.error.contains(QStringLiteral("secret.prm")));
}

TEST_F(TextFileTest, FilesThatCannotBeWrittenGiveTheSystemsReason) {
  QDir(dir_.path()).mkdir(QStringLiteral("folder.prm"));
  for (const QString& name : {QStringLiteral("folder.prm"), QStringLiteral("no/such/x.prm")}) {
    const QString error = WriteTextLines(path(name), Lines{"1"});
    EXPECT_TRUE(error.startsWith(QStringLiteral("Die Datei "))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("kann nicht geschrieben werden.\r\r")));
    EXPECT_TRUE(error.contains(name)) << error.toStdString();
  }
  EXPECT_TRUE(QFileInfo(path("folder.prm")).isDir());
}

} // namespace
} // namespace kw
