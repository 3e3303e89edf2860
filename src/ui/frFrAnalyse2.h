#pragma once

#include "systemtest/SystemTest.h"

#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QTableView;

namespace kw {

class FChart2;
class ProtocolModel;

// The result frame of one tested permanence: its figures in bold centred labels and its
// protocol grid `GNum`.
class frFrAnalyse2 : public QWidget {
  Q_OBJECT
public:
  struct Figures {
    PermanenceOutcome outcome;
    int64_t startkapital = 0;
  };

  frFrAnalyse2(size_t permanenceIndex, const Figures& figures, std::vector<ProtocolRow> protocol,
               QWidget* parent = nullptr);

  // The permanence's position in the selection of its run.
  size_t permanenceIndex() const { return permanenceIndex_; }
  QTableView* GNum() const { return gNum_; }
  ProtocolModel* protocol() const { return model_; }

  // The export of this permanence's protocol (built separately).
  void Button2Click(); // "Excel- E&xport"

  // The capital after every coup (the start capital first) and the run's limits, for the
  // picture "Kapitalverlauf"; its button waits for them.
  struct CapitalCourse {
    std::vector<int64_t> capital;
    int64_t startkapital = 0;
    int64_t gewinnziel = 0;
    int64_t verlustgrenze = 0;
  };
  void SetCapitalCourse(CapitalCourse course);
  void BKapitalClick(); // "&Kapitalverlauf..."
  FChart2* kapitalChart() const { return kapitalChart_; }

private:
  QWidget* buildFigures(const Figures& figures);

  size_t permanenceIndex_;
  CapitalCourse course_;
  QPushButton* bKapital_ = nullptr;
  FChart2* kapitalChart_ = nullptr;
  ProtocolModel* model_ = nullptr;
  QTableView* gNum_ = nullptr;
};

} // namespace kw

namespace kw {

// A result tab page `TabG<k>`. It keeps what its frame `frG<k>` needs (the permanence's
// entries, the run's parameters and the outcome) and builds the frame the first time the
// page is shown or asked for, replaying the permanence for the protocol: a run over
// thousands of files stays light.
class ResultPage : public QWidget {
  Q_OBJECT
public:
  struct Record {
    std::vector<uint8_t> entries;
    std::shared_ptr<const SystemTestParams> params;
    size_t permanenceIndex = 0;
    PermanenceOutcome outcome;
  };

  ResultPage(int number, Record record, QWidget* parent = nullptr);

  int number() const { return number_; }
  const Record& record() const { return record_; }
  bool hasFrame() const { return frame_ != nullptr; }
  // The page's frame, built when first needed.
  frFrAnalyse2* frame();

private:
  int number_;
  Record record_;
  frFrAnalyse2* frame_ = nullptr;
};

} // namespace kw
