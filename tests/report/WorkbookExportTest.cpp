// The workbooks are read back with a real spreadsheet reader (openpyxl).
#include "report/WorkbookExport.h"
#include "support/TestFiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Readable failure messages for texts.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }
QT_END_NAMESPACE

namespace kw {
namespace {

const QString NoBreak = QString(QChar(0x00A0));

QJsonObject readBack(const QString& path) {
  const QJsonObject book = test::ReadWorkbook(path);
  EXPECT_FALSE(book.isEmpty()) << "openpyxl could not read " << path.toStdString();
  return book;
}

QJsonObject cell(const QJsonObject& book, const char* ref) {
  return book[QStringLiteral("cells")].toObject()[QLatin1String(ref)].toObject();
}

std::vector<std::vector<std::string>> grid(int rows, int columns) {
  std::vector<std::vector<std::string>> g(static_cast<size_t>(rows));
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c)
      g[static_cast<size_t>(r)].push_back(r < 3 ? "r" + std::to_string(r) + "c" + std::to_string(c)
                                                : std::string());
  return g;
}

TEST(WorkbookExport, SummaryLayout) {
  QTemporaryDir dir;
  std::array<std::string, 16> values;
  for (size_t i = 0; i < values.size(); ++i)
    values[i] = "Wert " + std::to_string(i + 1);
  values[15].clear(); // no stake file
  const std::string path = dir.filePath(QStringLiteral("summe.xlsx")).toStdString();
  ASSERT_EQ(WriteWorkbook(SummaryWorkbook(values, grid(201, 8)), path), "");

  const QJsonObject book = readBack(QString::fromStdString(path));
  EXPECT_EQ(book[QStringLiteral("sheets")].toInt(), 1);
  EXPECT_EQ(cell(book, "A1")[QStringLiteral("v")].toString(), QStringLiteral("Permanenzen"));
  EXPECT_EQ(cell(book, "A2")[QStringLiteral("v")].toString(), QStringLiteral("Wert 1"));
  EXPECT_EQ(cell(book, "A25")[QStringLiteral("v")].toString(), QStringLiteral("Stückgröße"));
  EXPECT_EQ(cell(book, "A31")[QStringLiteral("v")].toString(), QStringLiteral("Satz-Staffelung"));
  EXPECT_EQ(cell(book, "A32")[QStringLiteral("v")].toString(), QStringLiteral("ungespeichert"));
  EXPECT_EQ(cell(book, "A32")[QStringLiteral("fill")].toString().right(6),
            QStringLiteral("DCFFDC"));
  EXPECT_EQ(cell(book, "B32")[QStringLiteral("fill")].toString().right(6),
            QStringLiteral("7B7B7B"));
  EXPECT_TRUE(cell(book, "A33").isEmpty());
  EXPECT_EQ(cell(book, "C1")[QStringLiteral("v")].toString(), NoBreak + QStringLiteral("r0c0"));
  EXPECT_EQ(cell(book, "J3")[QStringLiteral("v")].toString(), NoBreak + QStringLiteral("r2c7"));
  EXPECT_EQ(cell(book, "J201")[QStringLiteral("v")].toString(), NoBreak); // empty rows too
  EXPECT_EQ(book[QStringLiteral("max_row")].toInt(), 201);
  EXPECT_EQ(book[QStringLiteral("max_col")].toInt(), 10);
  EXPECT_EQ(cell(book, "C5")[QStringLiteral("align")].toString(), QStringLiteral("center"));
  EXPECT_EQ(cell(book, "D5")[QStringLiteral("align")].toString(), QStringLiteral("center"));
  EXPECT_EQ(cell(book, "E5")[QStringLiteral("align")].toString(), QStringLiteral("right"));
  EXPECT_EQ(cell(book, "J5")[QStringLiteral("align")].toString(), QStringLiteral("right"));
  const QJsonObject widths = book[QStringLiteral("widths")].toObject();
  EXPECT_NEAR(widths[QStringLiteral("A")].toDouble(), 16, 0.8);
  EXPECT_NEAR(widths[QStringLiteral("B")].toDouble(), 2, 0.8);
  EXPECT_NEAR(widths[QStringLiteral("C")].toDouble(), 6, 0.8);
}

TEST(WorkbookExport, ProtocolStoppedAfterRowFortyExportsFortyOneRows) {
  QTemporaryDir dir;
  const std::string path = dir.filePath(QStringLiteral("protokoll.xlsx")).toStdString();
  const WorkbookSheet sheet =
      ProtocolWorkbook("Tisch 1", {"12", "34", "-56", "789", "1,23 %"},
                       {"1000", "6", "6", "5", "500", "-800", "meine.set"}, grid(41, 5));
  ASSERT_EQ(WriteWorkbook(sheet, path), "");

  const QJsonObject book = readBack(QString::fromStdString(path));
  EXPECT_EQ(cell(book, "A1")[QStringLiteral("v")].toString(), QStringLiteral("Permanenz"));
  EXPECT_EQ(cell(book, "A2")[QStringLiteral("v")].toString(), QStringLiteral("Tisch 1"));
  EXPECT_EQ(cell(book, "A3")[QStringLiteral("v")].toString(), QStringLiteral("Satzsignale"));
  EXPECT_EQ(cell(book, "A8")[QStringLiteral("v")].toString(), QStringLiteral("-56"));
  EXPECT_EQ(cell(book, "A13")[QStringLiteral("v")].toString(), QStringLiteral("Startkapital"));
  EXPECT_EQ(cell(book, "A24")[QStringLiteral("v")].toString(), QStringLiteral("-800"));
  EXPECT_EQ(cell(book, "A26")[QStringLiteral("v")].toString(), QStringLiteral("meine.set"));
  EXPECT_EQ(cell(book, "B26")[QStringLiteral("fill")].toString().right(6),
            QStringLiteral("7B7B7B"));
  EXPECT_TRUE(cell(book, "A27").isEmpty());
  EXPECT_EQ(book[QStringLiteral("max_row")].toInt(), 41);
  EXPECT_EQ(book[QStringLiteral("max_col")].toInt(), 7);
  EXPECT_EQ(cell(book, "G41")[QStringLiteral("v")].toString(), NoBreak);
  EXPECT_EQ(cell(book, "F2")[QStringLiteral("align")].toString(), QStringLiteral("right"));
  EXPECT_TRUE(cell(book, "G2")[QStringLiteral("align")].isNull());
  EXPECT_NEAR(book[QStringLiteral("widths")].toObject()[QStringLiteral("G")].toDouble(), 36, 0.8);
}

TEST(WorkbookExport, FailedWriteNamesTheFileAndKeepsTheOldWorkbook) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("alt.xlsx"));
  QFile old(path);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("the old workbook");
  old.close();

  // A cell longer than a spreadsheet cell may hold makes the writing fail half-way.
  auto tooLong = grid(3, 5);
  tooLong[2][4] = std::string(40000, 'x');
  const std::string error =
      WriteWorkbook(ProtocolWorkbook("p", {}, {}, tooLong), path.toStdString());
  EXPECT_NE(error.find(path.toStdString()), std::string::npos) << error;
  QFile check(path);
  ASSERT_TRUE(check.open(QIODevice::ReadOnly));
  EXPECT_EQ(check.readAll(), QByteArray("the old workbook"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no leftovers

  // The library's reasons are English; the user reads German.
  EXPECT_NE(error.find("länger als die 32.767 Zeichen"), std::string::npos) << error;

  const std::string noFolder =
      WriteWorkbook(SummaryWorkbook({}, grid(2, 8)), dir.filePath("fehlt/x.xlsx").toStdString());
  EXPECT_NE(noFolder.find("fehlt/x.xlsx"), std::string::npos);
  EXPECT_NE(noFolder.find("konnte nicht gespeichert werden"), std::string::npos);
}

// The risk figures follow the summary's values in column A; the comparison gets its own
// sheet with its figures, the verdict and every replica as numbers.
TEST(WorkbookExport, SummaryWithRiskFiguresAndComparisonSheet) {
  QTemporaryDir dir;
  const std::string path = dir.filePath(QStringLiteral("risiko.xlsx")).toStdString();
  WorkbookSheet sheet = SummaryWorkbook({}, grid(201, 8));
  AddRiskFigures(sheet, {"90 €", "2", "Tisch 3 (-45 €)", "955 €", "-6,49 €"});
  RandomComparison comparison;
  comparison.netto = {-30, 15, -120};
  comparison.umsatz = {370, 410, 905};
  std::array<std::string, 13> values;
  for (size_t i = 0; i < values.size(); ++i)
    values[i] = "Wert " + std::to_string(i + 1);
  AddComparisonSheet(sheet, values, "Das Ergebnis liegt im Bereich des Zufalls (Perzentil 62 %)",
                     comparison);
  int reports = 0;
  size_t lastTotal = 0;
  ASSERT_EQ(WriteWorkbook(sheet, path,
                          [&](size_t, size_t total) {
                            ++reports;
                            lastTotal = total;
                            return true;
                          }),
            "");
  EXPECT_GT(reports, 0);
  EXPECT_EQ(lastTotal, 201u + 28u); // 28 rows of captions and values on the second sheet

  const QJsonObject book = readBack(QString::fromStdString(path));
  EXPECT_EQ(book[QStringLiteral("sheets")].toInt(), 2);
  EXPECT_EQ(cell(book, "A33")[QStringLiteral("v")].toString(), QStringLiteral("Größter Rückgang"));
  EXPECT_EQ(cell(book, "A34")[QStringLiteral("v")].toString(), QStringLiteral("90 €"));
  EXPECT_EQ(cell(book, "A37")[QStringLiteral("v")].toString(),
            QStringLiteral("Schlechteste Permanenz"));
  EXPECT_EQ(cell(book, "A42")[QStringLiteral("v")].toString(), QStringLiteral("-6,49 €"));
  EXPECT_EQ(cell(book, "A42")[QStringLiteral("fill")].toString().right(6),
            QStringLiteral("DCFFDC"));
  EXPECT_EQ(cell(book, "B42")[QStringLiteral("fill")].toString().right(6),
            QStringLiteral("7B7B7B"));
  EXPECT_TRUE(cell(book, "A43").isEmpty());

  const QJsonObject second = test::ReadWorkbook(QString::fromStdString(path), 1);
  EXPECT_EQ(second[QStringLiteral("name")].toString(), QStringLiteral("Zufallsvergleich"));
  EXPECT_EQ(cell(second, "A1")[QStringLiteral("v")].toString(), QStringLiteral("Replikate"));
  EXPECT_EQ(cell(second, "A2")[QStringLiteral("v")].toString(), QStringLiteral("Wert 1"));
  EXPECT_EQ(cell(second, "A25")[QStringLiteral("v")].toString(), QStringLiteral("Perzentil"));
  EXPECT_EQ(cell(second, "A27")[QStringLiteral("v")].toString(), QStringLiteral("Urteil"));
  EXPECT_EQ(cell(second, "A28")[QStringLiteral("v")].toString(),
            QStringLiteral("Das Ergebnis liegt im Bereich des Zufalls (Perzentil 62 %)"));
  EXPECT_EQ(cell(second, "C1")[QStringLiteral("v")].toString(), QStringLiteral("Replikat"));
  EXPECT_EQ(cell(second, "D1")[QStringLiteral("v")].toString(), QStringLiteral("Netto-Ergebnis"));
  EXPECT_EQ(cell(second, "C4")[QStringLiteral("v")].toDouble(), 3.0);
  EXPECT_EQ(cell(second, "D4")[QStringLiteral("v")].toDouble(), -120.0);
  EXPECT_EQ(cell(second, "E2")[QStringLiteral("v")].toDouble(), 370.0);
  EXPECT_TRUE(cell(second, "C5").isEmpty());
}

TEST(WorkbookExport, StopDuringTheComparisonSheetLeavesNothing) {
  QTemporaryDir dir;
  WorkbookSheet sheet = SummaryWorkbook({}, grid(201, 8));
  RandomComparison comparison;
  comparison.netto.assign(20000, -5);
  comparison.umsatz.assign(20000, 185);
  AddComparisonSheet(sheet, {}, "", comparison);
  const std::string path = dir.filePath(QStringLiteral("halb.xlsx")).toStdString();
  EXPECT_EQ(WriteWorkbook(sheet, path, [](size_t done, size_t) { return done < 5000; }), "");
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(WorkbookExport, RowLimitMessage) {
  const struct {
    size_t rows;
    std::string expected;
  } cases[] = {
      {1, ""},
      {1048576, ""},
      {1048577, "Die Tabelle hat mit ihrer Überschrift 1.048.577 Zeilen, ein Arbeitsblatt "
                "fasst aber höchstens 1.048.576 Zeilen. Die Arbeitsmappe wird daher nicht "
                "geschrieben.\r\rIch breche ab."},
      {20000001, "Die Tabelle hat mit ihrer Überschrift 20.000.001 Zeilen, ein Arbeitsblatt "
                 "fasst aber höchstens 1.048.576 Zeilen. Die Arbeitsmappe wird daher nicht "
                 "geschrieben.\r\rIch breche ab."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RowLimitMessage(c.rows), c.expected) << c.rows;
}

// A grid one row longer than a worksheet is refused before any file is made; one that just
// fits is written.
TEST(WorkbookExport, GridLongerThanAWorksheetIsRefusedBeforeWriting) {
  QTemporaryDir dir;
  std::vector<std::vector<std::string>> rows(WorksheetRowLimit + 1);
  rows.back() = {"letzte"};
  const QString path = dir.filePath(QStringLiteral("lang.xlsx"));
  EXPECT_EQ(WriteWorkbook(ProtocolWorkbook("lang", {}, {}, rows), path.toStdString()),
            RowLimitMessage(WorksheetRowLimit + 1));
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

  rows.pop_back();
  rows.back() = {"letzte"};
  EXPECT_EQ(WriteWorkbook(ProtocolWorkbook("lang", {}, {}, rows), path.toStdString()), "");
  EXPECT_TRUE(QFile::exists(path));
}

// Number of open file descriptors of this process.
int openFiles() { return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).count()); }

// The progress sees every row; stopping it leaves no file, no temporary file and no open
// buffer, and an old workbook of that name as it was.
TEST(WorkbookExport, ProgressReportsAndStopsTheExport) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("protokoll.xlsx"));
  const WorkbookSheet sheet = ProtocolWorkbook("p", {}, {}, grid(10001, 5));
  std::vector<size_t> reported;
  ASSERT_EQ(WriteWorkbook(sheet, path.toStdString(),
                          [&](size_t written, size_t inAll) {
                            EXPECT_EQ(inAll, size_t{10001});
                            reported.push_back(written);
                            return true;
                          }),
            "");
  EXPECT_EQ(reported, (std::vector<size_t>{0, 4096, 8192, 10001, 10001}));

  const QByteArray written = test::ReadBytes(path);
  const int filesBefore = openFiles();
  size_t calls = 0;
  EXPECT_EQ(WriteWorkbook(sheet, path.toStdString(), [&](size_t, size_t) { return ++calls < 2; }),
            "");
  EXPECT_EQ(calls, size_t{2});
  EXPECT_EQ(test::ReadBytes(path), written);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"protokoll.xlsx"});
  EXPECT_EQ(openFiles(), filesBefore);

  // Stopped at once, or only while the finished file is packed.
  for (size_t stopAt : {size_t{1}, size_t{5}}) {
    const QString fresh = dir.filePath(QStringLiteral("neu.xlsx"));
    size_t asked = 0;
    EXPECT_EQ(
        WriteWorkbook(sheet, fresh.toStdString(), [&](size_t, size_t) { return ++asked < stopAt; }),
        "");
    EXPECT_EQ(asked, stopAt);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"protokoll.xlsx"});
    EXPECT_EQ(openFiles(), filesBefore);
  }
}

// LibreOffice, where installed, opens the workbook as the grid it is meant to be.
TEST(WorkbookExport, LibreOfficeReadsTheSummaryAsText) {
  const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
  if (office.isEmpty())
    GTEST_SKIP() << "LibreOffice is not installed";
  QTemporaryDir dir;
  std::array<std::string, 16> values;
  values[0] = "1";
  values[15] = "stufen.set";
  const QString path = dir.filePath(QStringLiteral("summe.xlsx"));
  ASSERT_EQ(WriteWorkbook(SummaryWorkbook(values, grid(201, 8)), path.toStdString()), "");

  QProcess convert;
  convert.start(office, {QStringLiteral("-env:UserInstallation=file://") +
                             dir.filePath(QStringLiteral("profil")),
                         QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                         QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"),
                         QStringLiteral("--outdir"), dir.path(), path});
  ASSERT_TRUE(convert.waitForFinished(180000));
  QFile csv(dir.filePath(QStringLiteral("summe.csv")));
  ASSERT_TRUE(csv.open(QIODevice::ReadOnly)) << convert.readAllStandardError().toStdString();
  const QStringList lines = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'));
  ASSERT_GE(lines.size(), 201);
  const QString nbsp = NoBreak;
  EXPECT_EQ(lines[0].trimmed().toStdString(),
            (QStringList{"Permanenzen", ""} +
             QStringList{nbsp + "r0c0", nbsp + "r0c1", nbsp + "r0c2", nbsp + "r0c3", nbsp + "r0c4",
                         nbsp + "r0c5", nbsp + "r0c6", nbsp + "r0c7"})
                .join(QLatin1Char(','))
                .toStdString());
  EXPECT_TRUE(lines[31].startsWith(QStringLiteral("stufen.set,"))) << lines[31].toStdString();
  EXPECT_TRUE(lines[200].startsWith(QStringLiteral(",,") + nbsp)) << lines[200].toStdString();
}

} // namespace
} // namespace kw
