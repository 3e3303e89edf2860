#include "files/PermanenceFiles.h"

#include "files/HandChangeMarkers.h"
#include "files/PermanenceLines.h"
#include "files/TextFile.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kw {
namespace {

using Coups = std::vector<uint8_t>;
const std::vector<std::string> Defaults = {"-", "--", "---", "----", "HW"};

class PermanenceFilesTest : public ::testing::Test {
protected:
  QString write(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    EXPECT_TRUE(test::WriteBytes(path, bytes));
    return path;
  }
  QTemporaryDir dir_;
};

TEST_F(PermanenceFilesTest, ReadsEveryFileInOrderWhateverTheThreadCount) {
  QStringList paths;
  std::vector<Coups> expected;
  std::vector<std::string> names;
  for (int i = 0; i < 40; ++i) {
    QByteArray text = "Spielbank\r\n";
    Coups coups;
    for (int k = 0; k <= i % 7; ++k) {
      text += QByteArray::number((i + k) % 37) + "\r\n";
      coups.push_back(static_cast<uint8_t>((i + k) % 37));
    }
    text += "HW\r\n";
    coups.push_back(50);
    const QString name = QStringLiteral("tag.%1.prm").arg(i, 2, 10, QLatin1Char('0'));
    paths << write(name, text);
    expected.push_back(coups);
    names.push_back(QStringLiteral("tag.%1").arg(i, 2, 10, QLatin1Char('0')).toStdString());
  }
  // A UTF-16 file and an empty one read like any other.
  paths << write(QStringLiteral("wide.prm"), QByteArray("\xFF\xFE"
                                                        "1\0\n\0H\0W\0\r\0\n\0"
                                                        "7\0",
                                                        16));
  expected.push_back({1, 50, 7});
  names.push_back("wide");
  paths << write(QStringLiteral("empty.txt"), QByteArray());
  expected.push_back({});
  names.push_back("empty");

  for (int threads : {1, 2, 7}) {
    const FilePermanences read = ReadPermanenceFiles(paths, Defaults, {.threads = threads});
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.PermanenceData, expected) << threads;
    EXPECT_EQ(read.PermanenceNames, names) << threads;
  }
}

TEST_F(PermanenceFilesTest, TheFirstUnreadableFileInOrderEndsTheReadWithNothing) {
  QStringList paths;
  for (int i = 0; i < 30; ++i)
    paths << write(QStringLiteral("p%1.prm").arg(i), "1\r\n2\r\n");
  paths[25] = dir_.filePath(QStringLiteral("gone-late.prm"));
  paths[11] = dir_.filePath(QStringLiteral("gone-early.prm"));
  for (int threads : {1, 4}) {
    const FilePermanences read = ReadPermanenceFiles(paths, Defaults, {.threads = threads});
    EXPECT_TRUE(read.error.contains(QStringLiteral("gone-early.prm"))) << read.error.toStdString();
    EXPECT_TRUE(read.PermanenceData.empty());
    EXPECT_TRUE(read.PermanenceNames.empty());
  }
}

// A window shows how many files were read and may cancel; a cancelled read holds nothing.
TEST_F(PermanenceFilesTest, ReportsTheFilesReadAndACancelLeavesNothing) {
  QStringList paths;
  for (int i = 0; i < 60; ++i)
    paths << write(QStringLiteral("p%1.prm").arg(i), "1\r\n2\r\n");
  for (int threads : {1, 3}) {
    std::vector<size_t> reports;
    RunControl control{.threads = threads, .reportEvery = 25};
    control.progress = [&](size_t done, size_t total) {
      EXPECT_EQ(total, 60u);
      reports.push_back(done);
      return true;
    };
    const FilePermanences read = ReadPermanenceFiles(paths, Defaults, control);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.PermanenceData.size(), 60u);
    if (threads == 1) { // once past 25, once past 50, and all 60
      ASSERT_EQ(reports.size(), 3u);
      EXPECT_TRUE(reports[0] >= 25 && reports[0] < 50) << reports[0];
      EXPECT_TRUE(reports[1] >= 50 && reports[1] < 60) << reports[1];
    }
    EXPECT_EQ(reports.back(), 60u) << threads;

    control.progress = [](size_t done, size_t) { return done < 50; };
    const FilePermanences cancelled = ReadPermanenceFiles(paths, Defaults, control);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_FALSE(cancelled.ok());
    EXPECT_TRUE(cancelled.error.isEmpty());
    EXPECT_TRUE(cancelled.PermanenceData.empty());
    EXPECT_TRUE(cancelled.PermanenceNames.empty());
  }
}

// While a window shows the progress of a read, the settings window can change the
// hand-change list; the whole read goes on with the list it started with.
TEST_F(PermanenceFilesTest, AListChangedDuringTheReadCountsFromTheNextRead) {
  QTemporaryDir dataDir;
  qputenv("KESSELWERK_DATA_DIR", dataDir.path().toLocal8Bit());
  ASSERT_TRUE(LoadHandChangeList().error.isEmpty()); // the defaults: no "Wechsel"
  const QStringList paths = {write(QStringLiteral("a.prm"), "1\r\nWechsel\r\n2\r\n"),
                             write(QStringLiteral("b.prm"), "1\r\nWechsel\r\n2\r\n")};
  RunControl control{.threads = 1, .reportEvery = 1};
  control.progress = [](size_t done, size_t) {
    if (done == 1) {
      EXPECT_EQ(SaveHandChangeList({"Wechsel"}), QString());
      EXPECT_TRUE(LoadHandChangeList().error.isEmpty());
    }
    return true;
  };
  const FilePermanences during = ReadPermanenceFiles(paths, control);
  ASSERT_TRUE(during.ok());
  EXPECT_EQ(during.PermanenceData, (std::vector<Coups>{{1, 2}, {1, 2}}));

  const FilePermanences after = ReadPermanenceFiles(paths);
  EXPECT_EQ(after.PermanenceData, (std::vector<Coups>{{1, 50, 2}, {1, 50, 2}}));

  ASSERT_TRUE(QFile::remove(dataDir.filePath(QStringLiteral("HWListe.txt"))));
  LoadHandChangeList();
  qunsetenv("KESSELWERK_DATA_DIR");
}

// The real recorded permanence with every comma turned into a line end.
class RealPermanenceTest : public PermanenceFilesTest {
protected:
  void SetUp() override {
    original_ =
        test::ReadBytes(test::SharedDataFile(QStringLiteral("spielbank-wiesbaden_t1_190424.txt")));
    ASSERT_FALSE(original_.isEmpty()) << "shared data missing";
    QByteArray prm = original_;
    prm.replace(',', "\r\n");
    path_ = write(QStringLiteral("wiesbaden_t1.prm"), prm);
    for (const QByteArray& row : original_.split('\n'))
      for (const QByteArray& number : row.trimmed().split(','))
        if (!number.trimmed().isEmpty())
          expected_.push_back(static_cast<uint8_t>(number.trimmed().toInt()));
  }
  QByteArray original_;
  QString path_;
  Coups expected_;
};

TEST_F(RealPermanenceTest, TransferAndMultiFileReaderGiveEveryCoupInFileOrder) {
  ASSERT_EQ(expected_.size(), 187630u);

  const TextLines lines = ReadTextLines(path_);
  ASSERT_TRUE(lines.ok());
  Coups transferred;
  for (const CoupEntry& entry : TransferEntries(lines.lines, Defaults))
    transferred.push_back(static_cast<uint8_t>(entry.code));
  EXPECT_EQ(transferred, expected_);

  const FilePermanences read = ReadPermanenceFiles({path_}, Defaults);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.PermanenceData, std::vector<Coups>{expected_});
  EXPECT_EQ(read.PermanenceNames, std::vector<std::string>{"wiesbaden_t1"});
}

} // namespace
} // namespace kw
