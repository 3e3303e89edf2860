// Inputs the fuzz targets (fuzz/) found faults with, each kept with the reader it broke.
#include "files/Settings.h"
#include "files/TextFile.h"

#include "support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kw {
namespace {

// settings_ini_fuzz: a Windows-1252 optionen.ini whose first kept line began with "ï»¿". The
// INI library drops the stray first line, so the written file began with the bytes of a UTF-8
// mark and read back as UTF-8: the "ä" of every value turned into a replacement character.
TEST(FuzzFindings, SettingsThatWouldBeginLikeAByteOrderMarkReadBackAsWritten) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("optionen.ini"));
  ASSERT_TRUE(test::WriteBytes(path, QByteArray("\xEF\xBB\r\n\xEF\xBB\xBF=")));
  const IniFile ini(path);
  const QString value = QStringLiteral("/home/nutzer/Permanenzen/Spielbank ä.txt");
  ASSERT_EQ(ini.WriteText("Dateien", "Permanenz", value), QString());
  EXPECT_EQ(ini.ReadText("Dateien", "Permanenz"), value);
}

// The same for every text file: lines that begin like any byte-order mark in Windows-1252.
TEST(FuzzFindings, TextThatWouldBeginLikeAByteOrderMarkReadsBackAsWritten) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("HWListe.txt"));
  for (const std::vector<std::string>& lines :
       {std::vector<std::string>{"ï»¿HW", "ä"}, {"ÿþ", "--"}, {"þÿ7"}}) {
    ASSERT_EQ(WriteTextLines(path, lines), QString());
    const TextLines read = ReadTextLines(path);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.lines, lines);
  }
  // Text that only resembles a mark further on stays Windows-1252.
  ASSERT_EQ(WriteTextLines(path, std::vector<std::string>{"7", "ï»¿"}), QString());
  EXPECT_EQ(ReadTextLines(path).encoding, TextEncoding::Windows1252);
}

} // namespace
} // namespace kw
