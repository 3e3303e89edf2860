// The workbooks are read back with a real spreadsheet reader (openpyxl).
#include "systemtest/WorkbookExport.h"
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

  const std::string noFolder =
      WriteWorkbook(SummaryWorkbook({}, grid(2, 8)), dir.filePath("fehlt/x.xlsx").toStdString());
  EXPECT_NE(noFolder.find("fehlt/x.xlsx"), std::string::npos);
  EXPECT_NE(noFolder.find("konnte nicht gespeichert werden"), std::string::npos);
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
