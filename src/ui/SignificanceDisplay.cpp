#include "ui/SignificanceDisplay.h"

#include "statistics/Verdict.h"
#include "ui/WindowParts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

#include <array>
#include <cmath>

namespace kw {

QString DecimalText(double value, int decimals) {
  static const QLocale german = [] {
    QLocale locale(QLocale::German, QLocale::Germany);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
  }();
  const double scale = std::pow(10.0, decimals);
  double rounded = std::round(value * scale) / scale;
  if (rounded == 0)
    rounded = 0; // no "-0,00"
  return german.toString(rounded, 'f', decimals);
}

QString DecimalText(std::optional<double> value, int decimals) {
  return value ? DecimalText(*value, decimals) : QStringLiteral("–");
}

QString ChiSquareText(const ChiSquareTest& test) {
  if (!test.chi2)
    return {};
  return QStringLiteral("χ² = %1 (%2 Freiheitsgrade)")
      .arg(DecimalText(*test.chi2))
      .arg(test.degreesOfFreedom);
}

QString VerdictCell(std::optional<double> p, bool valid) {
  const QString verdict = FromUtf8(VerdictText(p));
  return p && !valid ? verdict + QStringLiteral(" *") : verdict;
}

QString ChiSquareVerdict(const ChiSquareTest& test) {
  const QString verdict = VerdictCell(test.p, test.valid);
  return test.chi2 ? ChiSquareText(test) + QStringLiteral(": ") + verdict : verdict;
}

QString SmallExpectedFootnote() { return QStringLiteral("* ") + FromUtf8(SmallExpectedCountNote); }

namespace {

// From far below the expectation to far above it.
constexpr std::array<QRgb, ResidualSteps> StepColours = {0x6BAED6, 0xA9CFE8, 0xD9E9F5, 0xFFFFFF,
                                                         0xFBDCCB, 0xF4A582, 0xE8705E};
constexpr std::array<const char*, ResidualSteps> StepRanges = {
    "unter −3", "−3 bis −2", "−2 bis −1", "−1 bis +1", "+1 bis +2", "+2 bis +3", "über +3"};

} // namespace

// The bounds ±1, ±2 and ±3 belong to the step nearer the middle.
int ResidualStep(double residual) {
  if (!std::isfinite(residual))
    return ResidualSteps / 2;
  const double size = std::abs(residual);
  const int away = size <= 1 ? 0 : size <= 2 ? 1 : size <= 3 ? 2 : 3;
  return ResidualSteps / 2 + (residual < 0 ? -away : away);
}

QColor ResidualStepColour(int step) { return QColor(StepColours[static_cast<size_t>(step)]); }

QWidget* ResidualLegend(const QString& name, QWidget* parent, Qt::Orientation orientation) {
  auto* legend = new QWidget(parent);
  legend->setObjectName(name);
  QBoxLayout* row = orientation == Qt::Horizontal
                        ? static_cast<QBoxLayout*>(new QHBoxLayout(legend))
                        : new QVBoxLayout(legend);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  auto* caption = new QLabel(QStringLiteral("Residuum:"), legend);
  caption->setObjectName(name + QStringLiteral("Titel"));
  caption->setToolTip(QStringLiteral("(beobachtet − erwartet) / √erwartet"));
  row->addWidget(caption);
  for (int step = 0; step < ResidualSteps; ++step) {
    auto* label = new QLabel(QString::fromUtf8(StepRanges[static_cast<size_t>(step)]), legend);
    label->setObjectName(name + QString::number(step + 1));
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(
        QStringLiteral("background: %1; color: black; border: 1px solid #909090; padding: 1px 3px;")
            .arg(ResidualStepColour(step).name()));
    QFont font = label->font();
    font.setPointSize(8);
    label->setFont(font);
    row->addWidget(label);
  }
  row->addStretch(1);
  return legend;
}

} // namespace kw
