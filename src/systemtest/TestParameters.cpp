#include "systemtest/TestParameters.h"

#include <algorithm>
#include <charconv>

namespace kw {
namespace {

constexpr std::string_view StakesMissingMessage =
    "Bitte tragen Sie in die Tabelle rechts oben so viele Stücke ein, wie Sie Angriffe "
    "vorgesehen haben. \r\rIch breche ab.";
constexpr std::string_view MinusCorrectedMessage =
    "Der Schwellenwert für das höchst zulässige Tages-Minus darf nicht höher sein als Ihr "
    "Startkapital.\r\rEs wurde eine Korrektur vorgenommen.";
constexpr int64_t HundredSteps = 100;

std::string_view trimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

} // namespace

std::string_view MinusCorrectionMessage() { return MinusCorrectedMessage; }

int ClampSliderPosition(int sliderIndex, int position) {
  const SliderRange& slider = SystemTestSliders.at(static_cast<size_t>(sliderIndex));
  return std::clamp(position, slider.minimum, slider.maximum);
}

std::optional<int> ParseWholeNumber(std::string_view text) {
  text = trimBlanks(text);
  if (text.size() > 1 && text.front() == '+' && text[1] != '-')
    text.remove_prefix(1);
  if (text.empty())
    return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  return value;
}

TestParametersReading ReadTestParameters(const SliderPositions& sliders,
                                         std::span<const std::string> stakeCells) {
  TestParametersReading reading;
  SystemTestParams params;
  params.angriffe = sliders.track2;
  params.vorlauf = sliders.track1;
  params.stueckgroesse = sliders.track5;

  // Every attack coup needs a piece count of at least 1; the columns after A do not matter.
  for (int k = 0; k < params.angriffe; ++k) {
    const auto pieces = static_cast<size_t>(k) < stakeCells.size()
                            ? ParseWholeNumber(stakeCells[static_cast<size_t>(k)])
                            : std::nullopt;
    if (!pieces || *pieces < 1) {
      reading.errorMessage = StakesMissingMessage;
      return reading;
    }
    params.stakes.push_back(int64_t{*pieces} * params.stueckgroesse);
  }

  params.startkapital = sliders.track6 * HundredSteps;
  params.gewinnziel = sliders.track3 * HundredSteps + params.startkapital;

  // The loss limit never lies below zero: a minus threshold above the start capital is
  // pulled back to it, and the window's Track4 follows.
  int64_t minus = sliders.track4 * HundredSteps;
  if (minus > params.startkapital) {
    reading.informationMessage = MinusCorrectedMessage;
    reading.track4Position = sliders.track6;
    minus = sliders.track6 * HundredSteps;
  }
  params.verlustgrenze = params.startkapital - minus;
  reading.params = std::move(params);
  return reading;
}

} // namespace kw
