#pragma once

#include "ui/frFrAnalyse2.h"

#include <QAbstractListModel>
#include <QPointer>
#include <QWidget>

#include <vector>

class QListView;
class QStackedWidget;

namespace kw {

// The captions of the result tabs, one row per tab; every tab keeps what its page needs and
// the page itself once it was made.
class ResultTabModel : public QAbstractListModel {
  Q_OBJECT
public:
  struct Tab {
    QString caption;
    int number = 0; // counts the tabs made since the window was created
    ResultPage::Record record;
    QPointer<ResultPage> page;
  };

  using QAbstractListModel::QAbstractListModel;

  void append(std::vector<Tab> tabs);
  Tab& tab(int row) { return tabs_[static_cast<size_t>(row)]; }
  const Tab& tab(int row) const { return tabs_[static_cast<size_t>(row)]; }

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

private:
  std::vector<Tab> tabs_;
};

// The page control `PC1` of the result tabs. Its tab strip is a list over the tab model,
// and a tab's page `TabG<k>` (with its frame `frG<k>`) is made when the tab is first shown
// or asked for, so a run over thousands of permanences adds thousands of tabs cheaply.
class ResultTabs : public QWidget {
  Q_OBJECT
public:
  explicit ResultTabs(QWidget* parent = nullptr);

  int count() const;
  int currentIndex() const { return current_; }
  void setCurrentIndex(int index);
  QString tabText(int index) const;
  // The page of a tab, made when first asked for; null for an index out of range.
  ResultPage* page(int index);

  // Adds tabs after the existing ones; the current tab stays.
  void append(std::vector<ResultTabModel::Tab> tabs);

signals:
  void currentChanged(int index);

private:
  ResultTabModel* model_;
  QListView* strip_;
  QStackedWidget* pages_;
  int current_ = -1;
};

} // namespace kw
