#include "files/PermanenceImportText.h"

#include "core/RouletteTables.h"
#include "files/PermanenceLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kw {
namespace {

const std::vector<std::string> Defaults = {"-", "--", "---", "----", "HW"};
using Rows = std::vector<uint8_t>;
using Examples = std::vector<SkippedValue>;
} // namespace

void PrintTo(const SkippedValue& value, std::ostream* out) {
  *out << "[" << value.line << ", \"" << value.text << "\"]";
}

namespace {
constexpr uint8_t HC = HandChangeCode;

ImportParse Parse(std::string_view text, std::string column = {},
                  const std::vector<std::string>& markers = Defaults) {
  return ParsePermanenceImport(text, ImportRequest{markers, std::move(column)});
}

TEST(ClassifyImportValue, OnlyOneOrTwoDigitsUpTo36AreCoupsAndDoubleZeroStandsApart) {
  struct Case {
    const char* value;
    ImportValueKind kind;
    int number;
  };
  using K = ImportValueKind;
  for (const Case c : {Case{"0", K::Coup, 0},
                       {"7", K::Coup, 7},
                       {"07", K::Coup, 7}, // zero-padded, as the permanence readers take it
                       {"36", K::Coup, 36},
                       {"00", K::DoubleZero, 0},
                       {"000", K::Skipped, 0}, // a triple-zero wheel, or padding: not guessed
                       {"007", K::Skipped, 0},
                       {"37", K::Skipped, 0},
                       {"50", K::Skipped, 0}, // the hand-change code is no value of a list
                       {"+5", K::Skipped, 0},
                       {"-1", K::Skipped, 0},
                       {"5.0", K::Skipped, 0},
                       {"1e1", K::Skipped, 0},
                       {"", K::Skipped, 0},
                       {"HW", K::HandChange, 0},
                       {"----", K::HandChange, 0},
                       {"hw", K::Skipped, 0}}) {
    int number = -1;
    EXPECT_EQ(ClassifyImportValue(c.value, Defaults, number), c.kind) << c.value;
    if (c.kind == K::Coup) {
      EXPECT_EQ(number, c.number) << c.value;
    }
  }
  // A marker is tested before the number, as in the permanence files.
  int number = -1;
  const std::vector<std::string> numeric = {"7", "00"};
  EXPECT_EQ(ClassifyImportValue("7", numeric, number), ImportValueKind::HandChange);
  EXPECT_EQ(ClassifyImportValue("00", numeric, number), ImportValueKind::HandChange);
  // An empty entry of the list never makes an empty cell a hand change.
  EXPECT_EQ(ClassifyImportValue("", std::vector<std::string>{""}, number),
            ImportValueKind::Skipped);
}

struct ListCase {
  const char* name;
  std::string text;
  Rows rows;
  int skipped;
  int doubleZeros;
  Examples examples;
};

TEST(ParsePermanenceImport, NumberLists) {
  const std::vector<ListCase> cases = {
      {"separators and line ends of every kind",
       "12,13,16\r\n4;33\t26  26\r11\n 0 , 1 ;\r\n\r\n5",
       {12, 13, 16, 4, 33, 26, 26, 11, 0, 1, 5},
       0,
       0,
       {}},
      {"quoted values", "\"12\",\"13\", \" 7 \"", {12, 13, 7}, 0, 0, {}},
      {"one number per line as the save dialog writes it, information lines included",
       "Spielbank\r\nTisch 1\r\n28.04.2013\r\nmin. 3 Zeichen\r\n17\r\n0\r\n----\r\n32\r\n",
       {17, 0, HC, 32},
       4,
       0,
       {{1, "Spielbank"}, {2, "Tisch 1"}, {3, "28.04.2013"}, {4, "min. 3 Zeichen"}}},
      {"a marker is no word: its line is read",
       "12 HW 13\n14,-,15",
       {12, HC, 13, 14, HC, 15},
       0,
       0,
       {}},
      {"a word anywhere makes the whole line an information line",
       "1,2\n17 rot\n3,x,4\n5",
       {1, 2, 5},
       2,
       0,
       {{2, "17 rot"}, {3, "3,x,4"}}},
      {"double zero apart, other numbers skipped",
       "0,00,000,36,37\n+5 -1 5.0 07",
       {0, 36, 7},
       5,
       1,
       {{1, "000"}, {1, "37"}, {2, "+5"}, {2, "-1"}, {2, "5.0"}}},
      {"only the first five examples, every skip counted",
       "a\nb\nc\nd\ne\nf\n1",
       {1},
       6,
       0,
       {{1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}, {5, "e"}}},
      {"a value of the longest allowed length is skipped, not refused",
       "1\n" + std::string(MaxImportValueLength, '7') + "\n2",
       {1, 2},
       1,
       0,
       {{2, std::string(ImportShownCharacters, '7') + "\xE2\x80\xA6"}}},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ImportParse parse = Parse(c.text);
    EXPECT_EQ(parse.format, ImportFormat::NumberList);
    EXPECT_EQ(parse.problem, ImportProblem::None);
    EXPECT_EQ(parse.rows, c.rows);
    EXPECT_EQ(parse.coups, static_cast<int>(std::count_if(c.rows.begin(), c.rows.end(),
                                                          [](uint8_t r) { return r <= 36; })));
    EXPECT_EQ(parse.handChanges + parse.coups, static_cast<int>(c.rows.size()));
    EXPECT_EQ(parse.skipped, c.skipped);
    EXPECT_EQ(parse.doubleZeros, c.doubleZeros);
    EXPECT_EQ(parse.examples, c.examples);
  }
}

TEST(ParsePermanenceImport, HandChangesKeepTheMarkerTheyWereReadFrom) {
  const ImportParse parse = Parse("1,2,Wechsel,3\n----\n4", {}, {"-", "----", "Wechsel"});
  EXPECT_EQ(parse.rows, (Rows{1, 2, HC, 3, HC, 4}));
  EXPECT_EQ(parse.handChangeTexts, (std::vector<std::string>{"Wechsel", "----"}));
  EXPECT_EQ(parse.handChanges, 2);
}

TEST(ParsePermanenceImport, AValueFarLongerThanAnyListHoldsRefusesTheFile) {
  // A megabyte without a separator: a broken or binary file, not a list with one bad value.
  for (const std::string& line :
       {std::string(1 << 20, '7'), "x" + std::string(MaxImportValueLength, 'y')}) {
    const ImportParse parse = Parse("17\r\n" + line + "\r\n5\r\n");
    EXPECT_EQ(parse.problem, ImportProblem::LongToken);
    EXPECT_EQ(parse.problemLine, 2);
    EXPECT_EQ(parse.problemLength, line.size());
    EXPECT_TRUE(parse.rows.empty());
    EXPECT_EQ(parse.coups, 0);
  }
}

struct TableCase {
  const char* name;
  std::string text;
  std::string column; // requested; empty: proposed
  char delimiter;
  int headerLine;
  int proposed;
  int column0; // the column read, 0-based
  Rows rows;
  Examples examples;
};

TEST(ParsePermanenceImport, Tables) {
  const std::vector<TableCase> cases = {
      {"header, double zeros, a missing outcome",
       "Filename,FPS,center_x,outcome\nA.MP4,100,677,33\nB.MP4,100,677,00\n"
       "C.MP4,100,663,NO OUTCOME\nD.MP4,100,663,0\n",
       "",
       ',',
       1,
       3,
       3,
       {33, 0},
       {{4, "NO OUTCOME"}}},
      {"a running coup count is never the results",
       "Coup;Zahl\n1;17\n2;5\n3;0\n4;36\n",
       "",
       ';',
       1,
       1,
       1,
       {17, 5, 0, 36},
       {}},
      {"a constant column loses against varied numbers",
       "Nr\tTisch\tWurf\n1\t3\t17\n2\t3\t5\n3\t3\t22\n",
       "",
       '\t',
       1,
       2,
       2,
       {17, 5, 22},
       {}},
      {"an unnamed index column as spreadsheets write it",
       ",outcome\n0,33\n1,18\n2,2\n",
       "",
       ',',
       1,
       1,
       1,
       {33, 18, 2},
       {}},
      {"a title above the header is skipped and shown",
       "Export vom 24.04.2019\nNr;Zahl\n1;17\n2;5\n",
       "",
       ';',
       2,
       1,
       1,
       {17, 5},
       {{1, "Export vom 24.04.2019"}}},
      {"rows that do not fit the header are skipped whole",
       "a,outcome\nx,5\ny\nz,7,8\nw,9\nv,\nu,1\nt,2\ns,3\nr,4\nq,6\n",
       "",
       ',',
       1,
       1,
       1,
       {5, 9, 1, 2, 3, 4, 6},
       {{3, "y"}, {4, "z,7,8"}, {6, ""}}},
      {"quoted fields hold delimiters and quotes",
       "\"name\",\"outcome\"\n\"a, b\",\"17\"\n\"c \"\"q\"\"\", \"0\" \n",
       "",
       ',',
       1,
       1,
       1,
       {17, 0},
       {}},
      {"blanks separate a table whose header names its results",
       "Nr  Zahl\n1   17\n2   5\n3   HW\n4   8\n",
       "",
       ' ',
       1,
       1,
       1,
       {17, 5, HC, 8},
       {}},
      {"no header but a running count",
       "1;17\n2;5\n3;0\n4;36\n",
       "",
       ';',
       0,
       1,
       1,
       {17, 5, 0, 36},
       {}},
      {"the column by name, case ignored",
       "Zahl,outcome\n1,2\n3,4\n",
       "OUTCOME",
       ',',
       1,
       0,
       1,
       {2, 4},
       {}},
      {"the column by number", "Zahl,outcome\n1,2\n3,4\n", "2", ',', 1, 0, 1, {2, 4}, {}},
      {"a number chosen in a list reads that field of every line",
       "5,17\n6,18\n7\n8;19\n",
       "2",
       ',',
       0,
       -1,
       1,
       {17, 18},
       {{3, "7"}, {4, "8;19"}}},
  };
  for (const TableCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ImportParse parse = Parse(c.text, c.column);
    EXPECT_EQ(parse.format, ImportFormat::Table);
    EXPECT_EQ(parse.problem, ImportProblem::None);
    EXPECT_EQ(parse.delimiter, c.delimiter);
    EXPECT_EQ(parse.headerLine, c.headerLine);
    EXPECT_EQ(parse.proposedColumn, c.proposed);
    EXPECT_EQ(parse.column, c.column0);
    EXPECT_EQ(parse.rows, c.rows);
    EXPECT_EQ(parse.examples, c.examples);
  }
}

TEST(ParsePermanenceImport, TheColumnsAreDescribedForAChoice) {
  const ImportParse parse =
      Parse("Nr;Zahl;Notiz\n1;17;gut\n2;00;\n3;HW;x\n4;NO OUTCOME;y\n5;17;z\n");
  ASSERT_EQ(parse.columns.size(), 3u);
  const ImportColumn& zahl = parse.columns[1];
  EXPECT_EQ(zahl.name, "Zahl");
  EXPECT_EQ(zahl.values, 5);
  EXPECT_EQ(zahl.results, 4); // 17, 00, HW, 17
  EXPECT_EQ(zahl.distinctNumbers, 1);
  EXPECT_TRUE(zahl.nameSuggestsResults);
  EXPECT_TRUE(parse.columns[0].runningCount);
  EXPECT_EQ(parse.columns[2].values, 4);
  EXPECT_EQ(parse.rows, (Rows{17, HC, 17}));
  EXPECT_EQ(parse.doubleZeros, 1);
  EXPECT_EQ(parse.skipped, 1);
}

TEST(ParsePermanenceImport, WhatLooksLikeAHeaderButIsNone) {
  // A title line above pairs of numbers: blanks make no table without a results name.
  ImportParse parse = Parse("Spielbank Wiesbaden\n12 13\n14 15\n16 17\n");
  EXPECT_EQ(parse.format, ImportFormat::NumberList);
  EXPECT_EQ(parse.rows, (Rows{12, 13, 14, 15, 16, 17}));
  // A header naming a number is no header.
  parse = Parse("Tisch,1\n12,13\n14,15\n");
  EXPECT_EQ(parse.format, ImportFormat::NumberList);
  EXPECT_EQ(parse.rows, (Rows{12, 13, 14, 15}));
  // Lines of varying length under a line of names are no table either.
  parse = Parse("Spielbank,Tisch\n12,13,16\n4,33\n26\n1,2,3,4\n");
  EXPECT_EQ(parse.format, ImportFormat::NumberList);
  EXPECT_EQ(parse.rows, (Rows{12, 13, 16, 4, 33, 26, 1, 2, 3, 4}));
}

TEST(ParsePermanenceImport, ColumnRequestsThatCannotBeMet) {
  struct Case {
    const char* text;
    const char* column;
    ImportProblem problem;
  };
  for (const Case c : {Case{"a,outcome\nx,1\ny,2\n", "ergebnis", ImportProblem::UnknownColumn},
                       {"a,outcome\nx,1\ny,2\n", "3", ImportProblem::ColumnOutOfRange},
                       {"a,outcome\nx,1\ny,2\n", "0", ImportProblem::ColumnOutOfRange},
                       {"1,2\n3,4\n", "0", ImportProblem::ColumnOutOfRange},
                       {"1,2\n3,4\n", "outcome", ImportProblem::ColumnNameNoHeader}}) {
    const ImportParse parse = Parse(c.text, c.column);
    EXPECT_EQ(parse.problem, c.problem) << c.text << " / " << c.column;
    EXPECT_TRUE(parse.rows.empty());
  }
}

TEST(ParsePermanenceImport, ATableWithoutResultsProposesNoColumn) {
  const ImportParse parse = Parse("Datum;Betrag\n24.04.2019;100,50\n25.04.2019;80\n");
  EXPECT_EQ(parse.format, ImportFormat::Table);
  EXPECT_EQ(parse.proposedColumn, -1);
  EXPECT_EQ(parse.column, -1);
  EXPECT_EQ(parse.columns.size(), 2u);
  EXPECT_TRUE(parse.rows.empty());
}

TEST(ParsePermanenceImport, AQuoteLeftOpenRefusesTheTable) {
  // Read on, the quote would take the rows below into one cell.
  const ImportParse parse = Parse("a,outcome\nx,5\n\"y,7\nz,8\nw,9\nv,1\nu,2\n");
  EXPECT_EQ(parse.problem, ImportProblem::OpenQuote);
  EXPECT_EQ(parse.problemLine, 3);
  EXPECT_TRUE(parse.rows.empty());
}

TEST(ProposeImportColumn, RanksMostlyResultsThenNameThenVarietyThenShare) {
  auto column = [](int values, int results, int distinct, bool name, bool counter = false) {
    ImportColumn c;
    c.values = values;
    c.results = results;
    c.distinctNumbers = distinct;
    c.nameSuggestsResults = name;
    c.runningCount = counter;
    return c;
  };
  struct Case {
    const char* name;
    std::vector<ImportColumn> columns;
    int proposed;
  };
  const std::vector<Case> cases = {
      {"nothing qualifies", {column(10, 5, 5, false), column(10, 0, 0, true)}, -1},
      {"a named column with some results when none is mostly results",
       {column(10, 5, 5, false), column(10, 2, 2, true)},
       1},
      {"mostly results beats the name", {column(10, 3, 3, true), column(10, 6, 6, false)}, 1},
      {"the name beats variety", {column(10, 10, 30, false), column(10, 10, 5, true)}, 1},
      {"variety beats share", {column(10, 10, 1, false), column(10, 7, 7, false)}, 1},
      {"share decides among equals", {column(10, 8, 5, false), column(10, 9, 5, false)}, 1},
      {"the leftmost of equals", {column(10, 9, 5, true), column(10, 9, 5, true)}, 0},
      {"never a running count", {column(10, 10, 10, true, true), column(10, 6, 3, false)}, 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ProposeImportColumn(c.columns), c.proposed) << c.name;
}

TEST(SplitImportRows, HandChangesGoWithTheCoupsBeforeThemAndDoNotCount) {
  ImportParse parse = Parse("-,1,2,--,3,4,---,----,5,6,7,HW");
  ASSERT_EQ(parse.rows, (Rows{HC, 1, 2, HC, 3, 4, HC, HC, 5, 6, 7, HC}));

  const std::vector<ImportPart> parts = SplitImportRows(parse, 3);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(ImportPartLines(parse, parts[0]), (std::vector<std::string>{"-", "1", "2", "--", "3"}));
  // The remainder "7", "HW" is too short for a file of its own.
  EXPECT_EQ(ImportPartLines(parse, parts[1]),
            (std::vector<std::string>{"4", "---", "----", "5", "6", "7", "HW"}));
  EXPECT_EQ(parts[1].coups, 4);

  for (int whole : {0, 7, 1000}) {
    const std::vector<ImportPart> one = SplitImportRows(parse, whole);
    ASSERT_EQ(one.size(), 1u) << whole;
    EXPECT_EQ(ImportFileLines(parse, one[0]),
              (std::vector<std::string>{"-", "1", "2", "--", "3", "4", "---", "----", "5", "6", "7",
                                        "HW"}));
  }
}

// Every file an import writes goes whole into the main window's table through "In Tabelle
// übertragen": at least five lines (a short remainder joins the file before it, a short file
// gets information lines), and never a first line the transfer takes for information.
TEST(SplitImportRows, EveryFileTransfersWholeInTheMainWindow) {
  struct Case {
    const char* name;
    std::string text;
    int coupsPerFile;
    std::vector<std::vector<std::string>> files;
  };
  const std::vector<Case> cases = {
      {"a remainder of three coups joins the file before it",
       "1,2,3,4,5,6,7,8",
       5,
       {{"1", "2", "3", "4", "5", "6", "7", "8"}}},
      {"a remainder of five lines stays a file of its own",
       "1,2,3,4,5,6,7,8,9,---,10",
       5,
       {{"1", "2", "3", "4", "5"}, {"6", "7", "8", "9", "---", "10"}}},
      {"a remainder of four lines with its hand change joins the file before it",
       "1,2,3,4,5,6,7,---,8",
       5,
       {{"1", "2", "3", "4", "5", "6", "7", "---", "8"}}},
      {"a short permanence gets information lines",
       "17,4",
       0,
       {{"Importierte Permanenz", "Coups: 2", "Handwechsel: 0", "17", "4"}}},
      {"files of fewer than five coups get information lines",
       "1,2,HW,3,4,5,6,7,8,9,10,11",
       3,
       {{"Importierte Permanenz", "1", "2", "HW", "3"},
        {"Importierte Permanenz", "Coups: 3", "4", "5", "6"},
        {"7", "8", "9", "10", "11"}}},
      {"a single coup gets four information lines",
       "9",
       0,
       {{"Importierte Permanenz", "Coups: 1", "Handwechsel: 0", "Zeilen: 1", "9"}}},
      {"a long first marker becomes the list's first short one",
       "----,1,2,3,4",
       0,
       {{"-", "1", "2", "3", "4"}}},
      {"a short first marker stays as it was", "HW,1,2,3,4", 0, {{"HW", "1", "2", "3", "4"}}},
      {"only the first row's marker changes", "---,----,1,2,3", 0, {{"-", "----", "1", "2", "3"}}},
      {"a long first marker under information lines becomes a short one too",
       "----,1,2",
       0,
       {{"Importierte Permanenz", "Coups: 2", "-", "1", "2"}}},
  };
  for (const Case& c : cases) {
    const ImportParse parse = Parse(c.text);
    std::vector<std::vector<std::string>> files;
    Rows transferred;
    for (const ImportPart& part : SplitImportRows(parse, c.coupsPerFile)) {
      files.push_back(ImportFileLines(parse, part));
      for (const CoupEntry& entry : TransferEntries(std::span(files.back()), Defaults))
        transferred.push_back(static_cast<uint8_t>(entry.code));
    }
    EXPECT_EQ(files, c.files) << c.name;
    EXPECT_EQ(transferred, parse.rows) << c.name;
  }
}

TEST(ParsePermanenceImport, AFirstHandChangeIsWrittenWithAMarkerTheTransferTakes) {
  struct Case {
    std::vector<std::string> markers;
    std::string firstLine;
  };
  for (const Case& c : {Case{{"----", "HW", "-"}, "HW"},
                        Case{{"----", " -", "+++"}, "50"}, // " -" never equals a trimmed line
                        Case{{"----"}, "50"}}) {
    const ImportParse parse = Parse("----,1,2,3,4,----,5", {}, c.markers);
    ASSERT_EQ(parse.handChangeTexts, (std::vector<std::string>{c.firstLine, "----"}));
    const std::vector<std::string> lines = ImportFileLines(parse, SplitImportRows(parse, 0)[0]);
    Rows transferred;
    for (const CoupEntry& entry : TransferEntries(std::span(lines), c.markers))
      transferred.push_back(static_cast<uint8_t>(entry.code));
    EXPECT_EQ(transferred, parse.rows) << c.firstLine;
    EXPECT_EQ(PermanenceCoups(lines.front(), c.markers), Rows{HC}) << c.firstLine;
    // The preview shows what the file held.
    EXPECT_EQ(parse.preview.front().text, "----");
  }
}

TEST(ParsePermanenceImport, ReportsProgressAndStopsWhenCancelled) {
  std::string list;
  for (int i = 0; i < 200'000; ++i)
    list += std::to_string(i % 37) + (i % 10 == 9 ? "\r\n" : ",");
  std::string table = "Nr,Zahl\n";
  for (int i = 0; i < 100'000; ++i)
    table += std::to_string(i + 1) + "," + std::to_string(i % 37) + "\n";
  for (const std::string& input : {list, table}) {
    std::vector<std::pair<int64_t, int64_t>> calls;
    const ImportParse whole =
        ParsePermanenceImport(input, {Defaults, {}}, [&](int64_t d, int64_t t) {
          calls.emplace_back(d, t);
          return true;
        });
    EXPECT_FALSE(whole.cancelled);
    EXPECT_GT(whole.coups, 0);
    ASSERT_GE(calls.size(), 2u);
    for (size_t i = 0; i < calls.size(); ++i) {
      EXPECT_LE(calls[i].first, calls[i].second);
      if (i > 0) {
        EXPECT_GE(calls[i].first, calls[i - 1].first);
      }
    }
    int count = 0;
    const ImportParse stopped =
        ParsePermanenceImport(input, {Defaults, {}}, [&](int64_t, int64_t) { return ++count < 2; });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_TRUE(stopped.rows.empty());
    EXPECT_EQ(stopped.coups, 0);
  }
}

TEST(ShortenedImportText, CutsCharactersNotBytes) {
  const std::string ellipsis = "\xE2\x80\xA6";
  auto repeated = [](std::string_view piece, size_t times) {
    std::string text;
    for (size_t i = 0; i < times; ++i)
      text += piece;
    return text;
  };
  EXPECT_EQ(ShortenedImportText("NO OUTCOME"), "NO OUTCOME");
  EXPECT_EQ(ShortenedImportText(repeated("x", 120)),
            repeated("x", ImportShownCharacters) + ellipsis);
  const std::string umlauts = repeated("\xC3\xA4", ImportShownCharacters);
  EXPECT_EQ(ShortenedImportText(umlauts), umlauts);
  EXPECT_EQ(ShortenedImportText(umlauts + "\xC3\xA4"), umlauts + ellipsis);
}

} // namespace
} // namespace kw
