#include "files/Settings.h"

#include "DataDirFixture.h"
#include "files/TextFile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <functional>

namespace kw {
namespace {

// A settings file as a user's machine may hold it: foreign sections, comments (also at the
// end), unknown and duplicate keys, Windows paths, names in other case, Windows-1252 text.
const QByteArray ForeignIni = "; Kesselwerk Einstellungen\r\n"
                              "\r\n"
                              "[dateien]\r\n"
                              "; zuletzt benutzt\r\n"
                              "Permanenz=C:\\Users\\M\xFCller\\Permanenzen\\t1.prm\r\n"
                              "Unbekannt=D:\\x\\\r\n"
                              "\r\n"
                              "[Fremd]\r\n"
                              "A=1\r\n"
                              "# Raute-Kommentar\r\n"
                              "A=2\r\n"
                              "Pfad=\\\\server\\share\\a b.prm\r\n"
                              "[Zufall]\r\n"
                              "anzahl=99\r\n"
                              "Farbe=rot\r\n"
                              "[Leer]\r\n"
                              "; am Ende\r\n"
                              "; ganz am Ende\r\n";

struct IniLine {
  std::string section; // lower case
  std::string text;    // "key=value" or the comment
  bool operator==(const IniLine&) const = default;
  friend void PrintTo(const IniLine& line, std::ostream* out) {
    *out << "[" << line.section << "] " << line.text;
  }
};

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

// Every key and comment of the file in file order, read without the library under test.
std::vector<IniLine> iniLines(const QString& path) {
  std::vector<IniLine> lines;
  std::string section;
  for (const std::string& line : ReadTextLines(path).lines) {
    if (line.empty())
      continue;
    if (line.front() == '[')
      section = lower(line.substr(1, line.find(']') - 1));
    else
      lines.push_back({section, line});
  }
  return lines;
}

std::string keyOf(const IniLine& line) {
  return line.section + "/" + lower(line.text.substr(0, line.text.find('=')));
}

class SettingsTest : public test::DataDirTest {
protected:
  QString iniPath() const { return SettingsFilePath(); }
};

TEST_F(SettingsTest, WritingOneKeyKeepsEveryOtherKeyAndComment) {
  struct Writer {
    const char* name;
    std::vector<std::string> keys; // section/key, lower case
    std::function<QString()> write;
    std::function<void()> checkRead;
  };
  const StartFiles files{QStringLiteral("C:\\Perm\\a.prm"), QStringLiteral("C:\\Set\\b.set"),
                         QString()};
  const std::vector<Writer> writers = {
      {"start files",
       {"dateien/permanenz", "dateien/satz-staffelung", "dateien/sektoreneinteilung"},
       [&] { return WriteStartFiles(files); },
       [&] { EXPECT_EQ(ReadStartFiles(), files); }},
      {"stake file",
       {"dateien/satz-staffelung"},
       [] { return WriteStartStakeFile(QStringLiteral("E:\\Größe\\c.set")); },
       [] { EXPECT_EQ(ReadStartFiles().StartStakeFile, QStringLiteral("E:\\Größe\\c.set")); }},
      {"series lengths",
       {"serienlaengen/1", "serienlaengen/2", "serienlaengen/3", "serienlaengen/4"},
       [] {
         return WriteSeriesLengthSliders({12, 2, 7, 3});
       },
       [] {
         EXPECT_EQ(ReadSeriesLengthSliders(), (std::array<int, 4>{12, 2, 7, 3}));
       }},
      {"two-thirds sliders",
       {"zweidrittelschieber/1", "zweidrittelschieber/2", "zweidrittelschieber/3",
        "zweidrittelschieber/4", "zweidrittelschieber/5", "zweidrittelschieber/6"},
       [] {
         return WriteTwoThirdsSliders({24, 1, 200, 5, 100, 0});
       },
       [] {
         EXPECT_EQ(ReadTwoThirdsSliders(), (std::array<int, 6>{24, 1, 200, 5, 100, 0}));
       }},
      {"random count",
       {"zufall/anzahl"},
       [] { return WriteRandomCount(QStringLiteral("0370")); },
       [] { EXPECT_EQ(ReadRandomCount(), QStringLiteral("0370")); }},
      {"update server",
       {"update/server"},
       [] { return WriteUpdateServer(QStringLiteral("https://example.org/kw/")); },
       [] { EXPECT_EQ(ReadUpdateServer({}), QStringLiteral("https://example.org/kw/")); }},
  };
  for (const Writer& writer : writers) {
    SCOPED_TRACE(writer.name);
    ASSERT_TRUE(test::WriteBytes(iniPath(), ForeignIni));
    const std::vector<IniLine> before = iniLines(iniPath());
    ASSERT_EQ(writer.write(), QString());
    writer.checkRead();

    const std::vector<IniLine> after = iniLines(iniPath());
    const auto untouched = [&](const std::vector<IniLine>& lines) {
      std::vector<IniLine> kept;
      std::copy_if(lines.begin(), lines.end(), std::back_inserter(kept), [&](const IniLine& l) {
        return std::find(writer.keys.begin(), writer.keys.end(), keyOf(l)) == writer.keys.end();
      });
      return kept;
    };
    EXPECT_EQ(untouched(after), untouched(before));
    for (const std::string& key : writer.keys)
      EXPECT_EQ(std::count_if(after.begin(), after.end(),
                              [&](const IniLine& l) { return keyOf(l) == key; }),
                1)
          << key;
    // Still Windows-1252 with CR LF, no byte-order mark.
    const QByteArray bytes = test::ReadBytes(iniPath());
    EXPECT_TRUE(bytes.contains("C:\\Users\\M\xFCller\\Permanenzen\\t1.prm\r\n") ||
                writer.keys.front() == "dateien/permanenz");
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n'));
  }
}

TEST_F(SettingsTest, WithoutAFileEveryValueHasItsDefaultAndTheFirstWriteCreatesIt) {
  EXPECT_EQ(ReadStartFiles(), StartFiles());
  EXPECT_EQ(ReadSeriesLengthSliders(), DefaultSeriesLengthSliders);
  EXPECT_EQ(ReadTwoThirdsSliders(), DefaultTwoThirdsSliders);
  EXPECT_EQ(ReadRandomCount(), QStringLiteral("370"));
  EXPECT_EQ(ReadUpdateServer(QStringLiteral("https://x/")), QStringLiteral("https://x/"));
  EXPECT_FALSE(QFileInfo::exists(iniPath()));

  ASSERT_EQ(WriteStartFiles({QStringLiteral("C:\\a.prm"), {}, {}}), QString());
  EXPECT_EQ(test::ReadBytes(iniPath()),
            QByteArray("[Dateien]\r\nPermanenz=C:\\a.prm\r\nSatz-Staffelung=\r\n"
                       "Sektoreneinteilung=\r\n"));
  // A key with an empty value is empty, not the default.
  ASSERT_EQ(WriteRandomCount(QString()), QString());
  EXPECT_EQ(ReadRandomCount(), QString());
}

TEST_F(SettingsTest, AnIntegerThatIsNoNumberGivesTheDefault) {
  ASSERT_TRUE(test::WriteBytes(iniPath(), "[Serienlaengen]\r\n1= 9 \r\n2=abc\r\n3=\r\n"
                                          "[ZweiDrittelSchieber]\r\n6=99999999999\r\n2=-3\r\n"));
  EXPECT_EQ(ReadSeriesLengthSliders(), (std::array<int, 4>{9, 5, 4, 3}));
  EXPECT_EQ(ReadTwoThirdsSliders(), (std::array<int, 6>{6, -3, 5, 8, 5, 10}));
}

TEST_F(SettingsTest, AUnicodeFileStaysInItsEncoding) {
  ASSERT_EQ(
      WriteTextLines(iniPath(),
                     std::vector<std::string>{"; → Pfeil", "[Dateien]", "Permanenz=C:\\→\\a.prm"},
                     TextEncoding::Utf16LE),
      QString());
  EXPECT_EQ(ReadStartFiles().StartPermanenceFile, QStringLiteral("C:\\→\\a.prm"));
  ASSERT_EQ(WriteStartStakeFile(QStringLiteral("C:\\↑.set")), QString());
  const TextLines lines = ReadTextLines(iniPath());
  EXPECT_EQ(lines.encoding, TextEncoding::Utf16LE);
  EXPECT_NE(std::find(lines.lines.begin(), lines.lines.end(), "; → Pfeil"), lines.lines.end());
  EXPECT_EQ(ReadStartFiles().StartPermanenceFile, QStringLiteral("C:\\→\\a.prm"));
  EXPECT_EQ(ReadStartFiles().StartStakeFile, QStringLiteral("C:\\↑.set"));
}

TEST_F(SettingsTest, AValueThatCannotBeStoredLeavesTheFileAsItWas) {
  ASSERT_TRUE(test::WriteBytes(iniPath(), ForeignIni));
  const QString error = WriteStartFiles({QStringLiteral("a\nb.prm"), {}, {}});
  EXPECT_TRUE(error.contains(QStringLiteral("optionen.ini"))) << error.toStdString();
  EXPECT_EQ(test::ReadBytes(iniPath()), ForeignIni);
}

// Users whose folders hold Polish, Czech or Cyrillic letters: such a value turns the
// Windows-1252 file into UTF-8 with its mark, every other key, comment and letter stays, and
// later writes keep it so.
TEST_F(SettingsTest, AValueOutsideWindows1252TurnsTheFileIntoUtf8AndReadsBackExactly) {
  struct Case {
    const char* name;
    std::function<QString()> write;
    std::vector<std::string> keys; // section/key, lower case
    StartFiles expected;
  };
  const StartFiles foreign{QStringLiteral("/home/jan/Permanenzen/Łódź.prm"),
                           QStringLiteral("/home/jan/Čáslav/Staffel.set"),
                           QStringLiteral("/home/jan/Сектор.sekt")};
  const Case cases[] = {
      {"start files",
       [&] { return WriteStartFiles(foreign); },
       {"dateien/permanenz", "dateien/satz-staffelung", "dateien/sektoreneinteilung"},
       foreign},
      {"stake file",
       [&] { return WriteStartStakeFile(foreign.StartStakeFile); },
       {"dateien/satz-staffelung"},
       {QStringLiteral("C:\\Users\\Müller\\Permanenzen\\t1.prm"), foreign.StartStakeFile, {}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(test::WriteBytes(iniPath(), ForeignIni));
    const std::vector<IniLine> before = iniLines(iniPath());
    ASSERT_EQ(c.write(), QString());

    EXPECT_TRUE(test::ReadBytes(iniPath()).startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(ReadStartFiles(), c.expected);
    std::vector<IniLine> after = iniLines(iniPath());
    std::erase_if(after, [&](const IniLine& l) {
      return std::find(c.keys.begin(), c.keys.end(), keyOf(l)) != c.keys.end();
    });
    std::vector<IniLine> kept = before;
    std::erase_if(kept, [&](const IniLine& l) {
      return std::find(c.keys.begin(), c.keys.end(), keyOf(l)) != c.keys.end();
    });
    EXPECT_EQ(after, kept);

    // A later write of plain numbers keeps the file readable as it was.
    ASSERT_EQ(WriteSeriesLengthSliders({7, 6, 5, 4}), QString());
    EXPECT_EQ(ReadStartFiles(), c.expected);
    EXPECT_EQ(ReadSeriesLengthSliders(), (std::array<int, 4>{7, 6, 5, 4}));
  }
}

TEST_F(SettingsTest, AUtf8FileWithItsMarkIsReadThroughTheSameDecoding) {
  ASSERT_TRUE(test::WriteBytes(iniPath(), "\xEF\xBB\xBF[Dateien]\r\n"
                                          "Permanenz=/home/ł/Łódź.prm\r\n"
                                          "[Serienlaengen]\r\n1=8\r\n"));
  EXPECT_EQ(ReadStartFiles().StartPermanenceFile, QStringLiteral("/home/ł/Łódź.prm"));
  EXPECT_EQ(ReadSeriesLengthSliders()[0], 8);
}

TEST_F(SettingsTest, ASettingsFileThatCannotBeReadIsNeverOverwritten) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("optionen.ini")));
  EXPECT_EQ(ReadRandomCount(), QStringLiteral("370"));
  const QString error = WriteRandomCount(QStringLiteral("5"));
  EXPECT_TRUE(error.contains(QStringLiteral("optionen.ini"))) << error.toStdString();
  EXPECT_TRUE(QFileInfo(iniPath()).isDir());

  // Binary garbage is read without harm.
  ASSERT_TRUE(QDir(dir_.path()).rmdir(QStringLiteral("optionen.ini")));
  ASSERT_TRUE(test::WriteBytes(iniPath(), QByteArray("\x01\x00[\xFF]\x00=\n\x7F", 9)));
  EXPECT_EQ(ReadTwoThirdsSliders(), DefaultTwoThirdsSliders);
}

} // namespace
} // namespace kw
