#include "ui/WorkbookExportDialog.h"

#include "ui/Dialogs.h"
#include "ui/StoppableProgress.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>

namespace kw {

namespace {

// From this many rows on an export shows its progress and can be cancelled.
constexpr size_t LongExportRows = 20000;
constexpr int ProgressTickMs = 50;

// What the worker writing the workbook and the window share.
struct ExportState {
  std::atomic<size_t> written{0};
  std::atomic<bool> packing{false};
  std::atomic<bool> stop{false};
};

// The progress of a long export.
class ExportProgressDialog : public StoppableProgressDialog {
public:
  ExportProgressDialog(ExportState& state, size_t rows, QWidget* parent)
      : StoppableProgressDialog(state.stop, QStringLiteral("Die Arbeitsmappe wird geschrieben..."),
                                QStringLiteral("Der Export wird abgebrochen..."),
                                static_cast<int>(rows), parent),
        state_(state) {
    setObjectName(QStringLiteral("ExportProgress"));
  }

  // Shows how far the worker got; the packing of the finished file has no steps to show.
  void follow() {
    if (state_.stop)
      return;
    if (state_.packing) {
      setLabelText(QStringLiteral("Die Arbeitsmappe wird gespeichert..."));
      setRange(0, 0);
    } else {
      setValue(static_cast<int>(state_.written.load()));
    }
  }

private:
  ExportState& state_;
};

// Writes on a worker thread while the dialog follows it; `stopped` tells whether the user
// stopped it.
std::string writeWithProgress(WorkbookSheet sheet, const std::string& path, QWidget* parent,
                              bool& stopped) {
  ExportState state;
  ExportProgressDialog dialog(state, WorksheetRows(sheet), parent);
  dialog.show();
  const WorkbookProgress report = [&state](size_t written, size_t inAll) {
    state.written = written;
    if (written == inAll)
      state.packing = true;
    return !state.stop;
  };
  QFutureWatcher<std::string> watcher;
  QEventLoop loop;
  QObject::connect(&watcher, &QFutureWatcher<std::string>::finished, &loop, &QEventLoop::quit);
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, &dialog, [&dialog] { dialog.follow(); });
  tick.start(ProgressTickMs);
  watcher.setFuture(QtConcurrent::run(
      [sheet = std::move(sheet), path, report] { return WriteWorkbook(sheet, path, report); }));
  if (!watcher.isFinished())
    loop.exec();
  watcher.waitForFinished();
  stopped = state.stop;
  return watcher.result();
}

} // namespace

void ExportWorkbook(QWidget* parent, size_t gridRows,
                    const std::function<WorkbookSheet()>& buildSheet) {
  Dialogs& dialogs = Dialogs::instance();
  if (const std::string refusal = RowLimitMessage(gridRows); !refusal.empty()) {
    dialogs.error(parent, QString::fromStdString(refusal));
    return;
  }
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
  bool stopped = false;
  std::string error;
  if (gridRows >= LongExportRows) {
    error = writeWithProgress(buildSheet(), path.toStdString(), parent, stopped);
  } else {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    error = WriteWorkbook(buildSheet(), path.toStdString());
    QApplication::restoreOverrideCursor();
  }
  if (!error.empty() && !stopped)
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
