#pragma once

#include "report/WorkbookExport.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

class QAbstractItemModel;
class QWidget;

namespace kw {

// Asks for the workbook's name ("Excel-Export"), then writes the sheet that `buildSheet`
// makes from what the window shows at that moment; a failure is reported with the file's
// name and the reason. A grid of `gridRows` rows (heading row included) that no worksheet
// can hold is refused before anything is asked or written. A long export shows its
// progress and can be cancelled; a cancelled export leaves no file.
void ExportWorkbook(QWidget* parent, size_t gridRows,
                    const std::function<WorkbookSheet()>& buildSheet);

// A grid's texts as the export copies them: the heading row, then every row of the model.
std::vector<std::vector<std::string>> GridTexts(const QAbstractItemModel& model);

// The text of the label (or any widget with a text) of that name inside the window.
std::string ShownText(const QWidget* window, const QString& name);

} // namespace kw
