#include "files/PermanenceImport.h"

#include "core/PermanenceTable.h"
#include "core/RouletteTables.h"
#include "files/PermanenceFiles.h"
#include "files/PermanenceLines.h"
#include "files/PermanenceWriter.h"
#include "files/TextFile.h"
#include "support/BadInputMatrix.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace kw {
namespace {

using Rows = std::vector<uint8_t>;
const std::vector<std::string> Defaults = {"-", "--", "---", "----", "HW"};

ImportAnalysis Analyse(const QString& path, const std::string& column = {},
                       const std::vector<std::string>& markers = Defaults) {
  return AnalysePermanenceImport(path, ImportRequest{markers, column});
}

// Everything in a folder, hidden entries (a staging folder left behind) included.
QStringList Entries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// The rows the main window's table gets from a file: read into the memo, then transferred.
Rows TransferredRows(const QString& path, const std::vector<std::string>& markers = Defaults) {
  const TextLines lines = ReadTextLines(path);
  EXPECT_TRUE(lines.ok()) << lines.error.toStdString();
  PermanenceTable table;
  for (const CoupEntry& entry : TransferEntries(std::span(lines.lines), markers))
    table.EnterCoup(entry.text, entry.code);
  return table.RowValues();
}

// The real comma lists read the way their description gives: every comma a line end.
Rows CommaListCoups(const QString& path) {
  QByteArray bytes = test::ReadBytes(path);
  bytes.replace(',', "\r\n");
  return PermanenceCoups(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                         Defaults);
}

class PermanenceImportTest : public ::testing::Test {
protected:
  QString source(const QString& name, const QByteArray& bytes) {
    const QString path = sources_.filePath(name);
    EXPECT_TRUE(test::WriteBytes(path, bytes));
    return path;
  }
  QString output() const { return output_.path(); }

  QTemporaryDir sources_;
  QTemporaryDir output_;
};

TEST_F(PermanenceImportTest, TheWiesbadenListImportsEveryCoupInOrderAndReadsBackTheSame) {
  const QString path = test::SharedDataFile(QStringLiteral("spielbank-wiesbaden_t1_190424.txt"));
  const ImportAnalysis analysis = Analyse(path);
  ASSERT_TRUE(analysis.ok()) << analysis.error.toStdString();
  EXPECT_EQ(analysis.parse.format, ImportFormat::NumberList);
  EXPECT_EQ(analysis.parse.coups, 187'630);
  EXPECT_EQ(analysis.parse.handChanges + analysis.parse.skipped + analysis.parse.doubleZeros, 0);
  EXPECT_EQ(analysis.parse.rows, CommaListCoups(path));

  const ImportWriteResult written =
      WritePermanenceImports(std::span(&analysis, 1), {output(), 0, false});
  ASSERT_TRUE(written.ok()) << written.error.toStdString();
  const QString file = QDir(output()).filePath(QStringLiteral("spielbank-wiesbaden_t1_190424.prm"));
  ASSERT_EQ(written.outputs, (std::vector<QStringList>{{file}}));
  EXPECT_EQ(Entries(output()), QStringList{QFileInfo(file).fileName()});
  EXPECT_TRUE(test::ReadBytes(file).startsWith("12\r\n13\r\n16\r\n18\r\n0\r\n12\r\n4\r\n"));
  EXPECT_EQ(ReadPermanenceFile(file, Defaults).coups, analysis.parse.rows);
  EXPECT_EQ(TransferredRows(file), analysis.parse.rows);
}

TEST_F(PermanenceImportTest, SplitFilesHoldNCoupsEachAndTogetherTheWholePermanence) {
  const ImportAnalysis analysis =
      Analyse(test::SharedDataFile(QStringLiteral("spielbank-wiesbaden_t1_190424.txt")));
  ASSERT_TRUE(analysis.ok());
  const ImportWriteResult written =
      WritePermanenceImports(std::span(&analysis, 1), {output(), 370, false});
  ASSERT_TRUE(written.ok()) << written.error.toStdString();
  const QStringList files = written.outputs.at(0);
  ASSERT_EQ(files.size(), 508); // 507 x 370 + 40
  EXPECT_EQ(QFileInfo(files.first()).fileName(),
            QStringLiteral("spielbank-wiesbaden_t1_190424_0001.prm"));
  EXPECT_EQ(QFileInfo(files.last()).fileName(),
            QStringLiteral("spielbank-wiesbaden_t1_190424_0508.prm"));
  EXPECT_EQ(Entries(output()).size(), 508);
  const FilePermanences read = ReadPermanenceFiles(files, Defaults, {.threads = 2});
  ASSERT_TRUE(read.ok());
  Rows whole;
  for (size_t k = 0; k < read.PermanenceData.size(); ++k) {
    EXPECT_EQ(read.PermanenceData[k].size(), k + 1 < 508 ? 370u : 40u) << k;
    whole.insert(whole.end(), read.PermanenceData[k].begin(), read.PermanenceData[k].end());
  }
  EXPECT_EQ(whole, analysis.parse.rows);
}

TEST_F(PermanenceImportTest, TheCameraTableProposesOutcomeAndCountsItsDoubleZeros) {
  const QString path =
      test::SharedDataFile(QStringLiteral("mmassom96_Computer_Vision_Utilities_spins.csv"));
  const ImportAnalysis analysis = Analyse(path);
  ASSERT_TRUE(analysis.ok()) << analysis.error.toStdString();
  const ImportParse& parse = analysis.parse;
  EXPECT_EQ(parse.format, ImportFormat::Table);
  ASSERT_EQ(parse.columns.size(), 6u);
  EXPECT_EQ(parse.proposedColumn, 5);
  EXPECT_EQ(parse.columns[5].name, "outcome");
  EXPECT_EQ(parse.doubleZeros, 7);
  EXPECT_EQ(parse.skipped, 1);
  EXPECT_EQ(parse.examples, (std::vector<SkippedValue>{{101, "NO OUTCOME"}}));
  EXPECT_EQ(parse.coups, 241 - 8);
  EXPECT_EQ(ImportFormatText(parse),
            QStringLiteral("Tabelle mit Kopfzeile (Trennzeichen Komma), Spalte 6 \"outcome\""));
  EXPECT_EQ(DoubleZeroNote(parse.doubleZeros),
            QString::fromUtf8("Doppelnull: 7 \xE2\x80\x94 diese Permanenz stammt von einem "
                              "Kessel mit Doppelnull"));

  // The outcome column read by hand: the last field of every row after the header.
  Rows expected;
  const QList<QByteArray> lines = test::ReadBytes(path).trimmed().split('\n');
  for (qsizetype i = 1; i < lines.size(); ++i) {
    bool number = false;
    const QByteArray outcome = lines[i].split(',').last().trimmed();
    const int value = outcome.toInt(&number);
    if (number && outcome != "00")
      expected.push_back(static_cast<uint8_t>(value));
  }
  EXPECT_EQ(parse.rows, expected);
}

// The import's own bad inputs: the reader's message and nothing to write, never a crash.
class ImportBadInput : public PermanenceImportTest,
                       public ::testing::WithParamInterface<test::BadInput> {};

TEST_P(ImportBadInput, AnswersWithAGermanMessageNamingTheFile) {
  KW_SKIP_IF_NOT_MAKEABLE(GetParam());
  const QString path = sources_.filePath(QStringLiteral("quelle.csv"));
  test::MakeBadInput(GetParam(), path, "Nr;Zahl\r\n1;17\r\n2;0\r\n3;32\r\n4;HW\r\n5;5\r\n");
  ASSERT_FALSE(HasFatalFailure());
  const ImportAnalysis analysis = Analyse(path);
  using test::BadInput;
  switch (GetParam()) {
  case BadInput::BrokenUtf16: // the readable coup; the broken characters are shown as skipped
    ASSERT_TRUE(analysis.ok()) << analysis.error.toStdString();
    EXPECT_EQ(analysis.parse.rows, Rows{1});
    EXPECT_EQ(analysis.parse.skipped, 2);
    return;
  case BadInput::Truncated:
    ASSERT_TRUE(analysis.ok()) << analysis.error.toStdString();
    EXPECT_EQ(analysis.parse.rows, (Rows{17, 0, 32}));
    return;
  default:
    break;
  }
  const ImportFailure expected =
      test::IsUnreadable(GetParam()) ? ImportFailure::Unreadable : ImportFailure::NotImportable;
  EXPECT_EQ(analysis.failure, expected);
  EXPECT_TRUE(analysis.error.startsWith(QStringLiteral("Die Datei ")))
      << analysis.error.toStdString();
  EXPECT_TRUE(analysis.error.contains(QStringLiteral("quelle.csv")))
      << analysis.error.toStdString();
  EXPECT_TRUE(analysis.parse.rows.empty());
}

INSTANTIATE_TEST_SUITE_P(Matrix, ImportBadInput, ::testing::ValuesIn(test::BadInputs),
                         test::BadInputParamName());

TEST_F(PermanenceImportTest, ContentThatHoldsNoPermanenceIsRefusedWithItsReason) {
  struct Case {
    const char* name;
    QByteArray bytes;
    const char* column;
    ImportFailure failure;
    const char* says;
  };
  const std::vector<Case> cases = {
      {"blank lines only", "  \r\n\t\r\n", "", ImportFailure::NotImportable, "ist leer"},
      {"a megabyte line", "17\r\n" + QByteArray(1 << 20, '7') + "\r\n5\r\n", "",
       ImportFailure::NotImportable, "in Zeile 2 eine Zeichenfolge von 1048576 Zeichen"},
      {"UTF-16 without its mark", QByteArray("1\0,\0002\0", 6), "", ImportFailure::NotImportable,
       "keine Textdatei"},
      {"a table without results", "Datum;Betrag\r\n24.04.2019;100\r\n25.04.2019;80\r\n", "",
       ImportFailure::NotImportable, "in keiner Spalte"},
      {"words only", "Heute kein Spiel\r\n", "", ImportFailure::NotImportable, "keinen Coup"},
      {"double zeros only", "00,00\r\n", "", ImportFailure::NotImportable, "Doppelnull: 2"},
      {"an open quote", "a,outcome\r\nx,1\r\n\"y,2\r\nz,3\r\nw,4\r\nv,5\r\n", "",
       ImportFailure::NotImportable, "in Zeile 3 ein Feld in Anführungszeichen"},
      {"an unknown column", "a,outcome\r\nx,1\r\ny,2\r\n", "Zahl", ImportFailure::BadColumn,
       "keine Spalte \"Zahl\".\r\rSpalten: 1 \"a\", 2 \"outcome\""},
  };
  for (const Case& c : cases) {
    const ImportAnalysis analysis = Analyse(source(QStringLiteral("q.txt"), c.bytes), c.column);
    EXPECT_EQ(analysis.failure, c.failure) << c.name;
    EXPECT_TRUE(analysis.error.contains(QString::fromUtf8(c.says)))
        << c.name << ": " << analysis.error.toStdString();
  }
}

TEST_F(PermanenceImportTest, APipeIsRefusedWithoutWaitingForAWriter) {
  const QString path = sources_.filePath(QStringLiteral("pipe"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
  const ImportAnalysis analysis = Analyse(path);
  EXPECT_EQ(analysis.failure, ImportFailure::Unreadable);
  EXPECT_TRUE(analysis.error.contains(QStringLiteral("keine gewöhnliche Datei")))
      << analysis.error.toStdString();
}

TEST_F(PermanenceImportTest, ASavedPermanenceImportsAsItself) {
  PermanenceTable table;
  table.SetPadHandChangeLabel("-");
  for (int code : {17, 0, 7, 50, 36, 12, 50, 50, 3})
    table.EnterCoup("", code);
  const QString path = sources_.filePath(QStringLiteral("gespeichert.prm"));
  ASSERT_TRUE(
      WritePermanenceFile(path, table, PermanenceInfo{"Spielbank", "1", "28.04.2013", "3 Serien"})
          .isEmpty());
  const ImportAnalysis analysis = Analyse(path);
  ASSERT_TRUE(analysis.ok()) << analysis.error.toStdString();
  EXPECT_EQ(analysis.parse.rows, table.RowValues());
  EXPECT_EQ(analysis.parse.rows, ReadPermanenceFile(path, Defaults).coups);
  // The information lines are shown as skipped; "Tisch 1" and "3 Serien" give no coup.
  EXPECT_EQ(analysis.parse.examples,
            (std::vector<SkippedValue>{
                {1, "Spielbank"}, {2, "Tisch 1"}, {3, "28.04.2013"}, {4, "3 Serien"}}));
}

TEST_F(PermanenceImportTest, HandChangesAreWrittenAsTheirMarkersAndReadBackAsHandChanges) {
  // "---" followed by the label would give "---Wechsel", which no reader takes for a hand change.
  const std::vector<std::string> markers = {"-", "----", "Wechsel"};
  const ImportAnalysis analysis = Analyse(
      source(QStringLiteral("t.txt"), "Wechsel,1,2,Wechsel,3\r\n----\r\n4,5,-,6\r\n"), {}, markers);
  ASSERT_TRUE(analysis.ok());
  const Rows rows = {50, 1, 2, 50, 3, 50, 4, 5, 50, 6};
  EXPECT_EQ(analysis.parse.rows, rows);
  const ImportWriteResult written =
      WritePermanenceImports(std::span(&analysis, 1), {output(), 0, false});
  ASSERT_TRUE(written.ok());
  const QString file = written.outputs[0][0];
  // The transfer would take a long first line for an information line, so the first hand
  // change is written with the list's short marker.
  EXPECT_EQ(test::ReadBytes(file), "-\r\n1\r\n2\r\nWechsel\r\n3\r\n----\r\n4\r\n5\r\n-\r\n6\r\n");
  EXPECT_EQ(ReadPermanenceFile(file, markers).coups, rows);
  EXPECT_EQ(TransferredRows(file, markers), rows);
}

class ImportWriteTest : public PermanenceImportTest {
protected:
  // Two small sources: a.txt with 5 coups, b.csv with 3.
  std::vector<ImportAnalysis> twoSources() {
    std::vector<ImportAnalysis> analyses = {
        Analyse(source(QStringLiteral("a.txt"), "1,2,3,4,5\r\n")),
        Analyse(source(QStringLiteral("b.csv"), "Nr;Zahl\r\n1;7\r\n2;0\r\n3;9\r\n"))};
    for (const ImportAnalysis& analysis : analyses)
      EXPECT_TRUE(analysis.ok()) << analysis.error.toStdString();
    return analyses;
  }
  QString target(const QString& name) const { return QDir(output()).filePath(name); }
};

TEST_F(ImportWriteTest, AnExistingPermanenceIsReplacedOnlyWhenAllowed) {
  const std::vector<ImportAnalysis> analyses = twoSources();
  ASSERT_TRUE(test::WriteBytes(target(QStringLiteral("b.prm")), "alt\r\n"));
  const ImportWriteOptions keep{output(), 0, false};
  EXPECT_EQ(ExistingImportOutputs(analyses, keep), QStringList{target(QStringLiteral("b.prm"))});

  const ImportWriteResult refused = WritePermanenceImports(analyses, keep);
  EXPECT_TRUE(refused.error.contains(QStringLiteral("gibt es schon")))
      << refused.error.toStdString();
  EXPECT_EQ(Entries(output()), QStringList{QStringLiteral("b.prm")});
  EXPECT_EQ(test::ReadBytes(target(QStringLiteral("b.prm"))), "alt\r\n");

  const ImportWriteResult replaced = WritePermanenceImports(analyses, {output(), 0, true});
  ASSERT_TRUE(replaced.ok()) << replaced.error.toStdString();
  EXPECT_EQ(Entries(output()), (QStringList{QStringLiteral("a.prm"), QStringLiteral("b.prm")}));
  // Three coups are too few lines for the main window's transfer: information lines fill up.
  EXPECT_EQ(test::ReadBytes(target(QStringLiteral("b.prm"))),
            "Importierte Permanenz\r\nCoups: 3\r\n7\r\n0\r\n9\r\n");
  EXPECT_EQ(TransferredRows(target(QStringLiteral("b.prm"))), (Rows{7, 0, 9}));
}

TEST_F(ImportWriteTest, TwoSourcesOfOneNameWriteNothing) {
  std::vector<ImportAnalysis> analyses = twoSources();
  QTemporaryDir other;
  const QString second = QDir(other.path()).filePath(QStringLiteral("a.csv"));
  ASSERT_TRUE(test::WriteBytes(second, "9,8\r\n"));
  analyses.push_back(Analyse(second));
  const ImportWriteResult result = WritePermanenceImports(analyses, {output(), 0, true});
  EXPECT_TRUE(result.error.contains(QStringLiteral("ergäben beide die Permanenz")))
      << result.error.toStdString();
  EXPECT_TRUE(Entries(output()).isEmpty());
}

TEST_F(ImportWriteTest, ACancelWritesNothing) {
  const std::vector<ImportAnalysis> analyses = twoSources();
  int calls = 0;
  const ImportWriteResult result = WritePermanenceImports(
      analyses, {output(), 1, false}, [&](int64_t, int64_t) { return ++calls < 4; });
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(calls, 4);
  EXPECT_TRUE(Entries(output()).isEmpty());
}

TEST_F(ImportWriteTest, AFailedWriteOfTheLastFileWritesNoneOfThem) {
  std::vector<ImportAnalysis> analyses = twoSources();
  // A marker that Windows-1252 cannot hold (a hand-change list and a source saved as UTF-8).
  const std::vector<std::string> markers = {"\xE2\x86\x92"};
  analyses.push_back(Analyse(source(QStringLiteral("c.txt"), "\xEF\xBB\xBF"
                                                             "1,\xE2\x86\x92,2\r\n"),
                             {}, markers));
  ASSERT_TRUE(analyses.back().ok()) << analyses.back().error.toStdString();
  const ImportWriteResult result = WritePermanenceImports(analyses, {output(), 0, false});
  EXPECT_TRUE(result.error.contains(QStringLiteral("c.prm"))) << result.error.toStdString();
  EXPECT_FALSE(result.error.contains(QStringLiteral(".kesselwerk-import")));
  EXPECT_TRUE(Entries(output()).isEmpty());
}

// While the files are written, another program creates b.prm: the files already moved into
// place are taken back, and what the other program made stays as it is.
TEST_F(ImportWriteTest, AFileAppearingDuringTheWriteIsNotReplaced) {
  const std::vector<ImportAnalysis> analyses = twoSources();
  const QString b = target(QStringLiteral("b.prm"));
  const ImportWriteResult result =
      WritePermanenceImports(analyses, {output(), 0, false}, [&](int64_t, int64_t) {
        return QFileInfo::exists(b) || test::WriteBytes(b, "neu\r\n");
      });
  EXPECT_TRUE(result.error.contains(QStringLiteral("b.prm"))) << result.error.toStdString();
  EXPECT_EQ(Entries(output()), QStringList{QStringLiteral("b.prm")});
  EXPECT_EQ(test::ReadBytes(b), "neu\r\n");
}

TEST_F(ImportWriteTest, AFailureAfterAReplacementBringsTheOldFileBack) {
  const std::vector<ImportAnalysis> analyses = twoSources();
  ASSERT_TRUE(test::WriteBytes(target(QStringLiteral("a.prm")), "alt\r\n"));
  const QString b = target(QStringLiteral("b.prm"));
  const ImportWriteResult result =
      WritePermanenceImports(analyses, {output(), 0, true}, [&](int64_t, int64_t) {
        return QFileInfo::exists(b) || QDir().mkdir(b); // a folder is never replaced
      });
  EXPECT_TRUE(result.error.contains(QStringLiteral("b.prm"))) << result.error.toStdString();
  EXPECT_EQ(Entries(output()), (QStringList{QStringLiteral("a.prm"), QStringLiteral("b.prm")}));
  EXPECT_EQ(test::ReadBytes(target(QStringLiteral("a.prm"))), "alt\r\n");
  EXPECT_TRUE(QFileInfo(b).isDir());
}

TEST_F(ImportWriteTest, AFolderThatIsNotThereIsNamed) {
  const std::vector<ImportAnalysis> analyses = twoSources();
  const QString missing = QDir(output()).filePath(QStringLiteral("fehlt"));
  const ImportWriteResult result = WritePermanenceImports(analyses, {missing, 0, false});
  EXPECT_TRUE(result.error.startsWith(QStringLiteral("Den Ordner "))) << result.error.toStdString();
  EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(ImportWriteTest, PartNumbersGrowBeyondFourDigitsWhenNeeded) {
  QByteArray list;
  for (int i = 0; i < 10'002; ++i)
    list += QByteArray::number(i % 37) + "\r\n";
  const ImportAnalysis analysis = Analyse(source(QStringLiteral("lang.txt"), list));
  const QStringList paths = ImportOutputPaths(analysis, {output(), 1, false});
  ASSERT_EQ(paths.size(), 10'001);
  EXPECT_EQ(QFileInfo(paths.first()).fileName(), QStringLiteral("lang_00001.prm"));
  EXPECT_EQ(QFileInfo(paths.last()).fileName(), QStringLiteral("lang_10001.prm"));
  // The last file takes the one coup too few for a file of its own.
  EXPECT_EQ(ImportOutputPaths(analysis, {output(), 10'001, false}),
            QStringList{QDir(output()).filePath(QStringLiteral("lang_0001.prm"))});
}

} // namespace
} // namespace kw
