#pragma once

#include "analysis/SeriesLengthSearch.h"

#include <QMainWindow>

#include <array>

class QLabel;
class QSlider;
class QTableView;

namespace kw {

class FileSelector;
class SeriesLengthModel;
class WindowChrome;

// The series-length analysis: for the selected permanence files, the coup at which a series
// of the chosen length first began, for 35 chances.
class FAnalyse1 : public QMainWindow {
  Q_OBJECT
public:
  explicit FAnalyse1(QWidget* parent = nullptr);

  WindowChrome* chrome() const { return chrome_; }
  FileSelector* fileSelector() const { return fileSelector_; }
  SeriesLengthModel* results() const { return model_; }

  void BAnalyseClick(); // "Analyse &starten"
  void Button1Click();  // "Serienlängen speichern"

private:
  void FormCreate();
  QWidget* buildSliders(QWidget* parent);
  QWidget* buildLegend(QWidget* parent);
  SeriesLengths sliderLengths() const;

  WindowChrome* chrome_ = nullptr;
  FileSelector* fileSelector_ = nullptr;
  std::array<QSlider*, 4> sliders_{};
  SeriesLengthModel* model_ = nullptr;
  QTableView* g1_ = nullptr;
};

} // namespace kw
