#include "ui/WorkbookExportDialog.h"

#include "ui/Dialogs.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QLabel>
#include <QWidget>

namespace kw {

void ExportWorkbook(QWidget* parent, const std::function<WorkbookSheet()>& buildSheet) {
  Dialogs& dialogs = Dialogs::instance();
  Dialogs::FileRequest request;
  request.title = QStringLiteral("Excel-Export");
  request.filter = QStringLiteral("Excel-Datei (*.xlsx)");
  request.defaultSuffix = QStringLiteral("xlsx");
  const QString path = dialogs.saveFile(parent, request);
  if (path.isEmpty())
    return;
  if (!ExcelInstalled()) {
    dialogs.information(parent, QString::fromUtf8(NoSpreadsheetMessage));
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const std::string error = WriteWorkbook(buildSheet(), path.toStdString());
  QApplication::restoreOverrideCursor();
  if (!error.empty())
    dialogs.error(parent, QString::fromStdString(error));
}

std::vector<std::vector<std::string>> GridTexts(const QAbstractItemModel& model) {
  const int rows = model.rowCount();
  const int columns = model.columnCount();
  std::vector<std::vector<std::string>> grid;
  grid.reserve(static_cast<size_t>(rows) + 1);
  std::vector<std::string> heading;
  for (int c = 0; c < columns; ++c)
    heading.push_back(
        model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toStdString());
  grid.push_back(std::move(heading));
  for (int r = 0; r < rows; ++r) {
    std::vector<std::string> row;
    row.reserve(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c)
      row.push_back(model.index(r, c).data(Qt::DisplayRole).toString().toStdString());
    grid.push_back(std::move(row));
  }
  return grid;
}

std::string ShownText(const QWidget* window, const QString& name) {
  const auto* label = window ? window->findChild<QLabel*>(name) : nullptr;
  return label ? label->text().toStdString() : std::string();
}

} // namespace kw
