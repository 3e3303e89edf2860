#include "files/HandChangeMarkers.h"

#include "DataDirFixture.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>

namespace kw {
namespace {

using Markers = std::vector<std::string>;

class HandChangeMarkersTest : public test::DataDirTest {
protected:
  QString listFile() const { return dataFile(QStringLiteral("HWListe.txt")); }
};

TEST_F(HandChangeMarkersTest, TheDefaultsOnlyWhenTheFileIsMissing) {
  EXPECT_EQ(LoadHandChangeList().count, 5);
  EXPECT_EQ(HandChangeList(), (Markers{"-", "--", "---", "----", "HW"}));
  EXPECT_FALSE(QFileInfo::exists(listFile()));

  ASSERT_TRUE(test::WriteBytes(listFile(), QByteArray()));
  EXPECT_EQ(LoadHandChangeList().count, 0);
  EXPECT_TRUE(HandChangeList().empty());
  EXPECT_FALSE(IsHandChange("HW"));
}

TEST_F(HandChangeMarkersTest, EntriesAreTakenAsTheyStand) {
  ASSERT_TRUE(test::WriteBytes(listFile(), " X \r\n\r\nhw\nW\xE4"));
  EXPECT_EQ(LoadHandChangeList().count, 4);
  EXPECT_EQ(HandChangeList(), (Markers{" X ", "", "hw", "Wä"}));
  EXPECT_TRUE(IsHandChange("Wä"));
  EXPECT_FALSE(IsHandChange("X"));
  EXPECT_FALSE(IsHandChange("HW"));
}

TEST_F(HandChangeMarkersTest, SavingWritesTheListAndReloadsIt) {
  LoadHandChangeList();
  ASSERT_EQ(SaveHandChangeList(Markers{"--", "Wä"}), QString());
  EXPECT_EQ(test::ReadBytes(listFile()), QByteArray("--\r\nW\xE4\r\n"));
  EXPECT_EQ(HandChangeList(), (Markers{"--", "Wä"}));

  ASSERT_EQ(SaveHandChangeList(Markers{}), QString());
  EXPECT_EQ(test::ReadBytes(listFile()), QByteArray());
  EXPECT_EQ(LoadHandChangeList().count, 0);
}

TEST_F(HandChangeMarkersTest, RegisteringAddsOnlyANewMarker) {
  LoadHandChangeList();
  Markers working = DefaultHandChangeMarkers();
  for (const std::string& known : {std::string("HW"), std::string()}) {
    const MarkerRegistration r = RegisterHandChangeMarker(known, working);
    EXPECT_FALSE(r.added);
    EXPECT_TRUE(r.error.isEmpty());
  }
  EXPECT_FALSE(QFileInfo::exists(listFile()));

  working.pop_back(); // the working list may differ from the loaded one: it is what is saved
  const MarkerRegistration r = RegisterHandChangeMarker("X", working);
  EXPECT_TRUE(r.added);
  EXPECT_EQ(working, (Markers{"-", "--", "---", "----", "X"}));
  EXPECT_EQ(test::ReadBytes(listFile()), QByteArray("-\r\n--\r\n---\r\n----\r\nX\r\n"));
  EXPECT_TRUE(IsHandChange("X"));
  EXPECT_FALSE(IsHandChange("HW"));
}

TEST_F(HandChangeMarkersTest, AMarkerThatCannotBeSavedChangesNothing) {
  LoadHandChangeList();
  // A folder in the list file's place: the list cannot be written.
  ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("HWListe.txt")));
  Markers working = DefaultHandChangeMarkers();
  const MarkerRegistration r = RegisterHandChangeMarker("X", working);
  EXPECT_FALSE(r.added);
  EXPECT_TRUE(r.error.contains(QStringLiteral("HWListe.txt"))) << r.error.toStdString();
  EXPECT_EQ(working, DefaultHandChangeMarkers());
  EXPECT_EQ(HandChangeList(), DefaultHandChangeMarkers());
  EXPECT_TRUE(QFileInfo(listFile()).isDir());
}

// A marker outside Windows-1252 turns the list into UTF-8 with its mark, so every entry
// reads back as written; a list of Windows-1252 text stays Windows-1252.
TEST_F(HandChangeMarkersTest, AMarkerOutsideWindows1252IsSavedSoThatItReadsBack) {
  struct Case {
    const char* marker;
    QByteArray file;
  };
  const Case cases[] = {
      {"Wä", "--\r\nW\xE4\r\n"}, // already there: the file stays Windows-1252
      {"→", "\xEF\xBB\xBF--\r\nWä\r\n→\r\n"},
      {"Łódź", "\xEF\xBB\xBF--\r\nWä\r\nŁódź\r\n"},
      {"ХВ", "\xEF\xBB\xBF--\r\nWä\r\nХВ\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.marker);
    ASSERT_EQ(SaveHandChangeList(Markers{"--", "Wä"}), QString());
    Markers working = HandChangeList();
    const MarkerRegistration r = RegisterHandChangeMarker(c.marker, working);
    EXPECT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    EXPECT_EQ(r.added, std::string(c.marker) != "Wä");
    EXPECT_EQ(test::ReadBytes(listFile()), c.file);
    EXPECT_EQ(LoadHandChangeList().error, QString());
    EXPECT_TRUE(IsHandChange(c.marker));
    EXPECT_TRUE(IsHandChange("Wä"));
  }
}

TEST_F(HandChangeMarkersTest, AListFileThatCannotBeReadKeepsTheLoadedList) {
  ASSERT_TRUE(test::WriteBytes(listFile(), "X\r\n"));
  LoadHandChangeList();
  ASSERT_TRUE(QFile::remove(listFile()));
  ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("HWListe.txt")));
  const MarkerListLoad load = LoadHandChangeList();
  EXPECT_TRUE(load.error.contains(QStringLiteral("HWListe.txt"))) << load.error.toStdString();
  EXPECT_EQ(load.count, 1);
  EXPECT_EQ(HandChangeList(), Markers{"X"});
}

} // namespace
} // namespace kw
