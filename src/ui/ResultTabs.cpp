#include "ui/ResultTabs.h"

#include <QItemSelectionModel>
#include <QListView>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace kw {
namespace {

constexpr int TabWidth = 76;
constexpr int StripHeight = 24;

} // namespace

void ResultTabModel::append(std::vector<Tab> tabs) {
  if (tabs.empty())
    return;
  const int first = static_cast<int>(tabs_.size());
  beginInsertRows({}, first, first + static_cast<int>(tabs.size()) - 1);
  std::move(tabs.begin(), tabs.end(), std::back_inserter(tabs_));
  endInsertRows();
}

int ResultTabModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(tabs_.size());
}

QVariant ResultTabModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid())
    return {};
  switch (role) {
  case Qt::DisplayRole:
  case Qt::ToolTipRole:
    return tab(index.row()).caption;
  case Qt::SizeHintRole:
    return QSize(TabWidth, StripHeight - 4);
  case Qt::TextAlignmentRole:
    return QVariant::fromValue(Qt::AlignCenter);
  default:
    return {};
  }
}

ResultTabs::ResultTabs(QWidget* parent)
    : QWidget(parent), model_(new ResultTabModel(this)), strip_(new QListView(this)),
      pages_(new QStackedWidget(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  strip_->setObjectName(QStringLiteral("PC1Tabs"));
  strip_->setModel(model_);
  strip_->setFlow(QListView::LeftToRight);
  strip_->setWrapping(false);
  strip_->setUniformItemSizes(true);
  strip_->setTextElideMode(Qt::ElideRight);
  strip_->setSelectionMode(QAbstractItemView::SingleSelection);
  strip_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  strip_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  strip_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  strip_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  strip_->setFixedHeight(StripHeight + 14);
  strip_->setStyleSheet(QStringLiteral(
      "QListView { background: palette(window); border: none; }"
      "QListView::item { border: 1px solid palette(mid); border-bottom: none; margin-right: 1px; }"
      "QListView::item:selected { background: palette(base); color: palette(text); "
      "font-weight: bold; }"));
  layout->addWidget(strip_);
  pages_->setFrameShape(QFrame::StyledPanel);
  layout->addWidget(pages_, 1);
  connect(strip_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& index) {
            if (index.isValid())
              setCurrentIndex(index.row());
          });
}

int ResultTabs::count() const { return model_->rowCount(); }

QString ResultTabs::tabText(int index) const {
  return index >= 0 && index < count() ? model_->tab(index).caption : QString();
}

ResultPage* ResultTabs::page(int index) {
  if (index < 0 || index >= count())
    return nullptr;
  ResultTabModel::Tab& tab = model_->tab(index);
  if (!tab.page) {
    tab.page = new ResultPage(tab.number, tab.record, pages_);
    tab.page->setWindowTitle(tab.caption); // the permanence's name, for the export
    pages_->addWidget(tab.page);
  }
  return tab.page;
}

void ResultTabs::setCurrentIndex(int index) {
  if (index < 0 || index >= count() || index == current_)
    return;
  current_ = index;
  const QModelIndex row = model_->index(index);
  strip_->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
  strip_->scrollTo(row);
  ResultPage* shown = page(index);
  shown->frame();
  pages_->setCurrentWidget(shown);
  emit currentChanged(index);
}

void ResultTabs::append(std::vector<ResultTabModel::Tab> tabs) { model_->append(std::move(tabs)); }

} // namespace kw
