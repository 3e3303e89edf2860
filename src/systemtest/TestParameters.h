#pragma once

#include "systemtest/SystemTest.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kw {

// The six sliders of the system test window, Track1..Track6 at index 0..5.
struct SliderRange {
  std::string_view name;
  int minimum;
  int maximum;
  int defaultPosition;
};
inline constexpr std::array<SliderRange, 6> SystemTestSliders = {{
    {"Track1", 2, 24, 6},   // Vorlaufcoups = position
    {"Track2", 1, 100, 6},  // Angriffe = position
    {"Track3", 1, 200, 5},  // plus threshold = position x 100
    {"Track4", 5, 200, 8},  // minus threshold = position x 100
    {"Track5", 1, 100, 5},  // Stückgröße = position
    {"Track6", 5, 200, 10}, // Startkapital = position x 100
}};

// A slider position read from the settings file, moved into the slider's range.
int ClampSliderPosition(int sliderIndex, int position);

struct SliderPositions {
  int track1 = SystemTestSliders[0].defaultPosition;
  int track2 = SystemTestSliders[1].defaultPosition;
  int track3 = SystemTestSliders[2].defaultPosition;
  int track4 = SystemTestSliders[3].defaultPosition;
  int track5 = SystemTestSliders[4].defaultPosition;
  int track6 = SystemTestSliders[5].defaultPosition;
};

// The stake table has one cell per attack coup, columns 1..100.
inline constexpr int StakeTableColumns = 100;

// A cell text as a whole number: optional blanks around an optionally signed run of
// decimal digits that fits in 32 bits; anything else is no number.
std::optional<int> ParseWholeNumber(std::string_view text);

struct TestParametersReading {
  std::optional<SystemTestParams> params; // empty: the run is refused
  std::string errorMessage;               // why it was refused
  std::string informationMessage;         // the minus correction, shown before the run goes on
  std::optional<int> track4Position;      // where Track4 has to move after the correction
};

// The information message when the minus threshold was above the start capital and was
// set to it.
std::string_view MinusCorrectionMessage();

// Derives the run parameters from the slider positions and the stake table's cells
// (stakeCells[k] is column k + 1; missing columns count as empty).
TestParametersReading ReadTestParameters(const SliderPositions& sliders,
                                         std::span<const std::string> stakeCells);

} // namespace kw
