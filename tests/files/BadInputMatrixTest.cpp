#include "files/HandChangeMarkers.h"
#include "files/PermanenceFiles.h"
#include "files/PermanenceWriter.h"
#include "files/Settings.h"
#include "files/TextFile.h"

#include "DataDirFixture.h"
#include "support/BadInputMatrix.h"
#include "support/TestFiles.h"

#include "core/PermanenceTable.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace kw {
namespace {

using test::BadInput;
using Lines = std::vector<std::string>;

// A permanence in UTF-16, so that cutting it off also cuts a character in half.
QByteArray Utf16Permanence() {
  const QString text = QStringLiteral("Spielbank\r\n17\r\n0\r\n32\r\n-\r\n5\r\n36\r\n12\r\n");
  return QByteArray("\xFF\xFE", 2) +
         QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// What the message of a file that cannot be read looks like: it names the file, and for a
// device or FIFO says why it was not read.
void ExpectReadMessage(const QString& error, const QString& path, BadInput input) {
  EXPECT_TRUE(error.startsWith(QStringLiteral("Die Datei "))) << error.toStdString();
  EXPECT_TRUE(error.contains(QFileInfo(path).fileName())) << error.toStdString();
  if (test::IsSpecialFile(input)) {
    EXPECT_TRUE(error.contains(QString::fromUtf8(test::SpecialFileReason))) << error.toStdString();
  }
}

class BadInputReaderTest : public test::DataDirTest,
                           public ::testing::WithParamInterface<BadInput> {
protected:
  // The bad input under the given name in the data folder, beside a good permanence.
  QString makeInput(const QString& name, const QByteArray& wellFormed) {
    const QString path = dataFile(name);
    test::MakeBadInput(GetParam(), path, wellFormed);
    return path;
  }
  QString goodPermanence() {
    const QString path = dataFile(QStringLiteral("gut.txt"));
    EXPECT_TRUE(test::WriteBytes(path, "1\r\n2\r\n3\r\n"));
    return path;
  }
};

using MemoFilesBadInput = BadInputReaderTest;

// "Datei(en) öffnen...": all lines of all files, or the message and no line at all.
TEST_P(MemoFilesBadInput, AnswersWithTheMessageOrTheFilesLines) {
  KW_SKIP_IF_NOT_MAKEABLE(GetParam());
  const QString good = goodPermanence();
  const QString bad = makeInput(QStringLiteral("schlecht.txt"), Utf16Permanence());
  ASSERT_FALSE(HasFatalFailure());

  const TextLines read = ReadTextFiles({good, bad});
  if (test::IsUnreadable(GetParam())) {
    ExpectReadMessage(read.error, bad, GetParam());
    EXPECT_TRUE(read.lines.empty());
    return;
  }
  ASSERT_TRUE(read.ok()) << read.error.toStdString();
  ASSERT_GE(read.lines.size(), 3u);
  EXPECT_EQ(Lines(read.lines.begin(), read.lines.begin() + 3), (Lines{"1", "2", "3"}));
  if (GetParam() == BadInput::MegabyteLine) {
    ASSERT_EQ(read.lines.size(), 6u);
    EXPECT_EQ(read.lines[4].size(), size_t{1} << 20);
  }
}

INSTANTIATE_TEST_SUITE_P(Matrix, MemoFilesBadInput, ::testing::ValuesIn(test::BadInputs),
                         test::BadInputParamName());

using PermanenceFilesBadInput = BadInputReaderTest;

// The multi-file reader: the coups of every file, or the message and nothing at all.
TEST_P(PermanenceFilesBadInput, AnswersWithTheMessageOrTheCoupsOfEveryFile) {
  KW_SKIP_IF_NOT_MAKEABLE(GetParam());
  const QString good = goodPermanence();
  const QString bad = makeInput(QStringLiteral("schlecht.txt"), Utf16Permanence());
  ASSERT_FALSE(HasFatalFailure());

  const FilePermanences read =
      ReadPermanenceFiles({good, bad}, DefaultHandChangeMarkers(), {.threads = 2});
  if (test::IsUnreadable(GetParam())) {
    ExpectReadMessage(read.error, bad, GetParam());
    EXPECT_TRUE(read.PermanenceData.empty());
    EXPECT_TRUE(read.PermanenceNames.empty());
    return;
  }
  ASSERT_TRUE(read.ok()) << read.error.toStdString();
  ASSERT_EQ(read.PermanenceData.size(), 2u);
  EXPECT_EQ(read.PermanenceData[0], (std::vector<uint8_t>{1, 2, 3}));
  const std::vector<uint8_t>& coups = read.PermanenceData[1];
  switch (GetParam()) {
  case BadInput::Empty:
    EXPECT_TRUE(coups.empty());
    break;
  case BadInput::MegabyteLine:
    EXPECT_EQ(coups, (std::vector<uint8_t>{17, 5}));
    break;
  case BadInput::BrokenUtf16:
    EXPECT_EQ(coups, (std::vector<uint8_t>{1}));
    break;
  case BadInput::Truncated: // the cut halves the character after the "-"
    EXPECT_EQ(coups, (std::vector<uint8_t>{17, 0, 32}));
    break;
  default:
    break;
  }
}

INSTANTIATE_TEST_SUITE_P(Matrix, PermanenceFilesBadInput, ::testing::ValuesIn(test::BadInputs),
                         test::BadInputParamName());

using HandChangeListBadInput = BadInputReaderTest;

// HWListe.txt: a list that cannot be read keeps the one loaded before; a missing one gives
// the defaults.
TEST_P(HandChangeListBadInput, KeepsTheLoadedListWhenTheFileCannotBeRead) {
  KW_SKIP_IF_NOT_MAKEABLE(GetParam());
  ASSERT_EQ(SaveHandChangeList({"X", "Wechsel"}), QString());
  test::MakeBadInput(GetParam(), HandChangeListPath(), QByteArray("*\r\nHW\r\n--\r\n"));
  ASSERT_FALSE(HasFatalFailure());

  const MarkerListLoad load = LoadHandChangeList();
  if (GetParam() == BadInput::Missing) {
    EXPECT_TRUE(load.error.isEmpty());
    EXPECT_EQ(HandChangeList(), DefaultHandChangeMarkers());
  } else if (test::IsUnreadable(GetParam())) {
    ExpectReadMessage(load.error, HandChangeListPath(), GetParam());
    EXPECT_EQ(HandChangeList(), (Lines{"X", "Wechsel"}));
  } else {
    EXPECT_TRUE(load.error.isEmpty()) << load.error.toStdString();
    EXPECT_EQ(load.count, static_cast<int>(HandChangeList().size()));
  }
  if (GetParam() == BadInput::Truncated) {
    EXPECT_EQ(HandChangeList(), (Lines{"*", "HW"}));
  }
  // Leave the defaults for the next test.
  QFile::remove(HandChangeListPath());
  QDir(HandChangeListPath()).removeRecursively();
  ASSERT_TRUE(LoadHandChangeList().error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Matrix, HandChangeListBadInput, ::testing::ValuesIn(test::BadInputs),
                         test::BadInputParamName());

using SettingsBadInput = BadInputReaderTest;

// optionen.ini: a file that cannot be read gives the defaults and is never overwritten; any
// other content takes a written key and gives it back.
TEST_P(SettingsBadInput, GivesDefaultsAndNeverOverwritesAFileItCannotRead) {
  KW_SKIP_IF_NOT_MAKEABLE(GetParam());
  const QString path =
      makeInput(QStringLiteral("optionen.ini"), QByteArray("[Zufall]\r\nAnzahl=1000\r\n"
                                                           "[Dateien]\r\nPermanenz=/a/b.txt\r\n"));
  ASSERT_FALSE(HasFatalFailure());
  const IniFile ini(path);
  const QFileInfo before(path);

  const QString error = ini.WriteText("Zufall", "Anzahl", QStringLiteral("500"));
  if (test::IsUnreadable(GetParam()) && GetParam() != BadInput::Missing) {
    ExpectReadMessage(error, path, GetParam());
    EXPECT_EQ(ReadRandomCount(ini), QStringLiteral("370"));
    const QFileInfo after(path);
    EXPECT_EQ(after.isDir(), before.isDir());
    EXPECT_EQ(after.isFile(), before.isFile());
    EXPECT_EQ(after.isSymLink(), before.isSymLink());
    EXPECT_EQ(after.size(), before.size());
    return;
  }
  ASSERT_TRUE(error.isEmpty()) << error.toStdString();
  EXPECT_EQ(ReadRandomCount(ini), QStringLiteral("500"));
}

INSTANTIATE_TEST_SUITE_P(Matrix, SettingsBadInput, ::testing::ValuesIn(test::BadInputs),
                         test::BadInputParamName());

// A full disk while saving: the tmpfs is made full, then every writer is asked to replace a
// file on it. The old file stays whole.
class FullDiskTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (QProcess::execute(QStringLiteral("mount"),
                          {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                           QStringLiteral("size=64k"), QStringLiteral("tmpfs"), dir_.path()}) != 0)
      GTEST_SKIP() << "no small tmpfs can be mounted here (needs root)";
    mounted_ = true;
  }
  void TearDown() override {
    if (mounted_)
      QProcess::execute(QStringLiteral("umount"), {dir_.path()});
  }
  QString path(const QString& name) const { return dir_.filePath(name); }

  // Takes every free byte of the file system.
  void fillDisk() {
    QFile filler(path(QStringLiteral("filler")));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    const QByteArray block(1024, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.write("x", 1);
    filler.flush();
  }

  QTemporaryDir dir_;
  bool mounted_ = false;
};

TEST_F(FullDiskTest, EveryWriterLeavesTheOldFileWhole) {
  PermanenceTable table;
  for (int i = 0; i < 2000; ++i)
    table.EnterCoup(std::to_string(i % 37), i % 37);
  const Lines manyLines(3000, "Eine Zeile, die Platz braucht");
  struct Writer {
    const char* name;
    std::function<QString(const QString&)> write;
  };
  const Writer writers[] = {
      {"text lines", [&](const QString& p) { return WriteTextLines(p, manyLines); }},
      // Small enough to stay in the file's buffer until it is committed.
      {"short text",
       [&](const QString& p) {
         return WriteTextLines(p, Lines{"HW", "--"});
       }},
      {"settings",
       [&](const QString& p) {
         return IniFile(p).WriteText("Dateien", "Permanenz", QString(20000, QLatin1Char('a')));
       }},
      {"permanence", [&](const QString& p) { return WritePermanenceFile(p, table, std::nullopt); }},
  };
  const QByteArray old = "[Dateien]\r\nPermanenz=alt\r\n";
  for (const Writer& writer : writers) {
    const QString file = path(QString::fromLatin1(writer.name) + QStringLiteral(".txt"));
    ASSERT_TRUE(test::WriteBytes(file, old)) << writer.name;
  }
  fillDisk();
  ASSERT_FALSE(HasFatalFailure());
  for (const Writer& writer : writers) {
    const QString file = path(QString::fromLatin1(writer.name) + QStringLiteral(".txt"));
    const QString error = writer.write(file);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Die Datei "))) << writer.name;
    EXPECT_EQ(test::ReadBytes(file), old) << writer.name;
  }
}

} // namespace
} // namespace kw
