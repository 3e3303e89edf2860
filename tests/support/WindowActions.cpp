#include "support/WindowActions.h"

#include "support/TestFiles.h"

#include <QPushButton>
#include <QTableView>

namespace kw::test {

void clickPad(QWidget* main, std::initializer_list<int> codes) {
  for (int code : codes)
    click<QPushButton>(main, QStringLiteral("num%1").arg(code));
}

QString cell(QTableView* grid, int row, int column) {
  const QAbstractItemModel* model = grid->model();
  return row == 0 ? model->headerData(column, Qt::Horizontal).toString()
                  : model->index(row - 1, column).data().toString();
}

void writeLines(const QString& path, const QStringList& lines) {
  writeFile(path, (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QVERIFY2(WriteBytes(path, bytes), qPrintable(path));
}

} // namespace kw::test
