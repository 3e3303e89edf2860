#include "ui/FileSelector.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QStorageInfo>
#include <QVBoxLayout>

namespace kw {

const std::vector<std::pair<QString, QString>>& PermanenceFileFilters() {
  static const std::vector<std::pair<QString, QString>> filters = {
      {QStringLiteral("Permanenz-Dateien (*.prm)"), QStringLiteral("*.prm")},
      {QStringLiteral("Text-Dateien (*.txt)"), QStringLiteral("*.txt")},
      {QStringLiteral("Alle Dateien (*.*)"), QStringLiteral("*")}};
  return filters;
}
namespace {

constexpr int PathRole = Qt::UserRole + 1;

// The mounted volumes, the root volume first (drive letters on Windows).
QStringList volumeRoots() {
  QStringList roots;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
    if (volume.isValid() && volume.isReady())
      roots << QDir::cleanPath(volume.rootPath());
  roots.removeDuplicates();
  std::stable_sort(roots.begin(), roots.end(), [](const QString& a, const QString& b) {
    return a.size() < b.size() || (a.size() == b.size() && a < b);
  });
  return roots;
}

QString volumeOf(const QString& path) { return QDir::cleanPath(QStorageInfo(path).rootPath()); }

QLabel* caption(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setContentsMargins(0, 4, 0, 0);
  return label;
}

} // namespace

FileSelector::FileSelector(std::vector<std::pair<QString, QString>> filters, int initialFilter,
                           QWidget* parent)
    : QWidget(parent), filters_(std::move(filters)) {
  setObjectName(QStringLiteral("FileSelector"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);

  auto* intro =
      new QLabel(QStringLiteral("Wählen Sie eine oder mehrere Permanenz-Dateien aus"), this);
  intro->setWordWrap(true);
  layout->addWidget(intro);

  layout->addWidget(caption(QStringLiteral("Laufwerk:"), this));
  drives_ = new QComboBox(this);
  drives_->setObjectName(QStringLiteral("DriveComboBox1"));
  layout->addWidget(drives_);

  layout->addWidget(caption(QStringLiteral("Verzeichnis:"), this));
  folders_ = new QListWidget(this);
  folders_->setObjectName(QStringLiteral("DLB1"));
  layout->addWidget(folders_, 2);

  layout->addWidget(caption(QStringLiteral("Dateifilter:"), this));
  filter_ = new QComboBox(this);
  filter_->setObjectName(QStringLiteral("Filter1"));
  for (const auto& [name, mask] : filters_)
    filter_->addItem(name, mask);
  layout->addWidget(filter_);

  filesLabel_ = caption(QStringLiteral("Dateien:"), this);
  filesLabel_->setObjectName(QStringLiteral("Label4"));
  layout->addWidget(filesLabel_);
  files_ = new QListWidget(this);
  files_->setObjectName(QStringLiteral("File1"));
  files_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  layout->addWidget(files_, 3);

  fillDrives();
  filter_->setCurrentIndex(initialFilter);

  connect(drives_, &QComboBox::activated, this,
          [this](int index) { setDirectory(drives_->itemData(index).toString()); });
  connect(folders_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { setDirectory(item->data(PathRole).toString()); });
  connect(filter_, &QComboBox::currentIndexChanged, this, [this] { fillFiles(); });
  connect(files_, &QListWidget::itemSelectionChanged, this, [this] {
    updateFilesLabel();
    emit selectionChanged();
  });
  connect(files_, &QListWidget::itemDoubleClicked, this, [this] { emit fileDoubleClicked(); });
  setDirectory(QDir::homePath());
}

void FileSelector::fillDrives() {
  drives_->clear();
  for (const QString& root : volumeRoots())
    drives_->addItem(QDir::toNativeSeparators(root), root);
}

void FileSelector::setDirectory(const QString& path) {
  const QFileInfo info(path);
  directory_ = QDir::cleanPath(info.isDir() ? info.absoluteFilePath() : QDir::homePath());
  const int drive = drives_->findData(volumeOf(directory_));
  if (drive >= 0)
    drives_->setCurrentIndex(drive);
  fillFolders();
  fillFiles();
}

void FileSelector::setFilter(int index) { filter_->setCurrentIndex(index); }

// The path from the volume root down to the current folder, then its subfolders indented
// one step further.
void FileSelector::fillFolders() {
  folders_->clear();
  const QString root = volumeOf(directory_);
  QStringList chain;
  for (QDir dir(directory_);;) {
    chain.prepend(dir.absolutePath());
    if (QDir::cleanPath(dir.absolutePath()) == root || !dir.cdUp())
      break;
  }
  int depth = 0;
  for (const QString& folder : chain) {
    const QString name = depth == 0 ? QDir::toNativeSeparators(folder) : QDir(folder).dirName();
    auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, folders_);
    item->setData(PathRole, folder);
    ++depth;
  }
  folders_->setCurrentRow(folders_->count() - 1);
  const QStringList subfolders = QDir(directory_)
                                     .entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
  for (const QString& sub : subfolders) {
    auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + sub, folders_);
    item->setData(PathRole, QDir(directory_).filePath(sub));
  }
}

void FileSelector::fillFiles() {
  files_->clear();
  const int index = filter_->currentIndex();
  const QString mask = index >= 0 ? filter_->itemData(index).toString() : QStringLiteral("*");
  const QStringList names =
      QDir(directory_)
          .entryList({mask}, QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
  files_->addItems(names);
  updateFilesLabel();
}

QStringList FileSelector::selectedFiles() const {
  QStringList paths;
  for (int row = 0; row < files_->count(); ++row)
    if (files_->item(row)->isSelected())
      paths << QDir(directory_).filePath(files_->item(row)->text());
  return paths;
}

int FileSelector::fileCount() const { return files_->count(); }

void FileSelector::setSelectionCounted(bool counted) {
  selectionCounted_ = counted;
  updateFilesLabel();
}

void FileSelector::updateFilesLabel() {
  const int selected = selectionCounted_ ? static_cast<int>(files_->selectedItems().size()) : 0;
  filesLabel_->setText(selected > 0 ? QStringLiteral("Dateien[%1]:").arg(selected)
                                    : QStringLiteral("Dateien:"));
}

} // namespace kw
