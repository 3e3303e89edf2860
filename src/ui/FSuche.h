#pragma once

#include "search/ParameterSearch.h"

#include <QMainWindow>
#include <QString>

#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSortFilterProxyModel;
class QSpinBox;
class QTableView;
class QTableWidget;

namespace kw {

class FHeatMap;
class FileSelector;
class SearchResultModel;
class WindowChrome;
class Workspace;

// "Parameter-Suche": the built-in system test or a user's script played with every
// combination of the ranges of its parameters over the selected files; a sortable table of
// the combinations with the best and the worst marked, the reality check of the best against
// random permanences, a heat map of the Netto-Ergebnis over two parameters and the workbook.
class FSuche : public QMainWindow {
  Q_OBJECT
public:
  explicit FSuche(Workspace& workspace, QWidget* parent = nullptr);
  ~FSuche() override;

  WindowChrome* chrome() const { return chrome_; }
  FileSelector* fileSelector() const { return fileSelector_; }
  // The parameter rows: name, "Suchen" (checked: a range), "Von / Wert", "Bis", "Schritt".
  QTableWidget* GBereiche() const { return gBereiche_; }
  QTableView* GErgebnis() const { return gErgebnis_; }
  QSortFilterProxyModel* sorted() const { return sorted_; }
  const std::optional<SearchResult>& lastResult() const { return last_; }
  FHeatMap* heatMap() const { return heatMap_; }

  // Uses the script at `path` in place of the built-in system (its parameters become the
  // rows); false, after the message, when it cannot be used.
  bool LoadScript(const QString& path);
  void UseBuiltInSystem();

  void BStartClick();   // "Suche &starten"
  void BSkriptClick();  // "S&kript wählen..."
  void BHeatmapClick(); // "Heat&map..."
  void BExcelClick();   // "E&xcel-Export..."

private:
  void FormCreate();
  QWidget* buildSettings(QWidget* parent);
  QWidget* buildResults(QWidget* parent);
  QWidget* buildRealityCheck(QWidget* parent);
  void addRow(const QString& name, const QString& from, const QString& to, const QString& step,
              bool searchable, bool searched);
  void fillBuiltInRows();
  // The ranges of the checked rows, the values of the others; false after the message.
  bool readRows(std::vector<SearchRange>& ranges, std::vector<ScriptParameter>& fixed);
  void showResult();
  void showRealityCheck();
  QString moneyText(int64_t amount) const;
  QString settingText(const SearchCombination& c) const;

  Workspace& workspace_;
  WindowChrome* chrome_ = nullptr;
  QRadioButton* rbSystemtest_ = nullptr;
  QRadioButton* rbSkript_ = nullptr;
  QLabel* lSkript_ = nullptr;
  QTableWidget* gBereiche_ = nullptr;
  QSpinBox* eStueck_ = nullptr;
  QSpinBox* eKapital_ = nullptr;
  QLineEdit* eStuecke_ = nullptr;
  QLabel* lStaffelung_ = nullptr;
  QCheckBox* cbZufall_ = nullptr;
  QLineEdit* eReplikate_ = nullptr;
  QLineEdit* eSeed_ = nullptr;
  FileSelector* fileSelector_ = nullptr;
  SearchResultModel* model_ = nullptr;
  QSortFilterProxyModel* sorted_ = nullptr;
  QTableView* gErgebnis_ = nullptr;
  QLabel* lBeste_ = nullptr;
  QLabel* lSchlechteste_ = nullptr;
  FHeatMap* heatMap_ = nullptr;

  std::optional<SystemScript> script_;
  std::optional<ScriptInfo> scriptInfo_;
  std::optional<SearchResult> last_;
  QString lastSystem_;
};

} // namespace kw
