#pragma once

#include <QAbstractListModel>
#include <QWidget>

#include <string>
#include <vector>

class QLineEdit;
class QListView;

namespace kw {

class Workspace;

// The generated lines of L1, kept as plain strings so that lists of a million lines stay
// quick to append and to show.
class RandomListModel : public QAbstractListModel {
  Q_OBJECT
public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  const std::vector<std::string>& lines() const { return lines_; }
  void append(std::vector<std::string> block);
  void clear();

private:
  std::vector<std::string> lines_;
};

// The random number generator: appends blocks of drawn numbers to its list, saves the
// list as a permanence file or hands it to the main window's text box (through the
// workspace). Closing only hides it, so the list lives for the whole run.
class FZufall : public QWidget {
  Q_OBJECT
public:
  explicit FZufall(Workspace& workspace, QWidget* parent = nullptr);

  const std::vector<std::string>& lines() const { return model_->lines(); }

  void BDelClick();    // "Liste leeren"
  void Button3Click(); // "Zahlen &generieren"
  void Button4Click(); // "Anzahl als Vorgabe speichern"
  void Button5Click(); // "Speichern..."
  void Button6Click(); // "Transfer ins Hauptfenster"

private:
  void FormCreate();

  Workspace& workspace_;
  RandomListModel* model_ = nullptr;
  QListView* l1_ = nullptr;
  QLineEdit* edit1_ = nullptr;
};

} // namespace kw
