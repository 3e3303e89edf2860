#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kw {

// The stake progression ("Einsatzstaffelung"): pieces per number on coup 1, 2, ... of an
// attack, held as the texts of the stake table's cells (columns 1..100) and stored in
// `.set` files of one line per stake. The functions here work on texts and lines; reading
// and writing the bytes of a file is the I/O layer's part.

inline constexpr std::array<int, 12> DefaultStakeProgression = {1, 1, 1, 1, 2, 2, 2, 3, 3, 4, 6, 9};

// The 100 cells of a table holding the default progression (columns 13..100 empty).
std::vector<std::string> DefaultStakeCells();

// The lines a stake file gets: cells that are no whole number (empty ones included) are
// skipped, the first whole number of 0 or less ends the list, every other cell gives its
// text verbatim.
std::vector<std::string> CollectStakeLines(std::span<const std::string> cells);

// A stake file's content: every line followed by CR LF, the last one included.
std::string StakeFileText(std::span<const std::string> lines);

// The lines of a decoded stake file, whatever its line ends (CR LF, LF or CR); a line end
// after the last line does not add an empty line.
std::vector<std::string> SplitStakeFileText(std::string_view text);

// The 100 table cells after loading a file: line k goes verbatim into column k, lines
// after the 100th are ignored, the other columns are empty.
std::vector<std::string> StakeCellsFromLines(std::span<const std::string> lines);

// Loading over a table asks first when the cell of column 1 is not empty.
bool LoadNeedsOverwriteQuestion(std::span<const std::string> cells);

// The quick-save slots 1..4: "FixFile1.set" .. "FixFile4.set" in the data folder.
inline constexpr int QuickSaveSlotCount = 4;
std::string QuickSaveFileName(int slot);
// Whether a file name is one of the quick-save names (compared exactly, case included).
bool IsReservedStakeFileName(std::string_view fileName);

enum class StakeSaveTarget { QuickSaveSlot, ChosenFile };

struct StakeSavePlan {
  std::string errorMessage;            // the save is refused; nothing changes
  std::optional<std::string> fileText; // what to write; none: no file is written
  std::string informationMessage;      // why no file was written
  bool becomesCurrentFile = false;     // the file name shows in LFile and is the current file
};

// What saving the table under `fileName` (the file-name part of the path) does.
StakeSavePlan PlanStakeSave(std::string_view fileName, std::span<const std::string> cells,
                            StakeSaveTarget target);

// Messages of the stake area ('\r' is a line break).
std::string StakeFileNotFoundMessage(std::string_view fileName);
std::string ReservedStakeFileNameMessage(std::string_view fileName);
inline constexpr std::string_view OverwriteStakeTableQuestion =
    "Die Satztabelle ist nicht leer. Wenn deren Inhalt überschrieben werden soll, antworten "
    "Sie mit \"Ja\".\r\rAndernfalls breche ich ab.";
inline constexpr std::string_view SaveStakeFileFirstMessage =
    "Bitte speichern Sie zunächst die Satz-Staffelung. Sonst kann ich mir keinen Dateinamen "
    "merken.\r\rBis später.";
inline constexpr std::string_view NothingToSaveMessage =
    "Die Satztabelle enthält keine Stückzahl, die gespeichert werden könnte.\r\rEs wurde "
    "keine Datei geschrieben.";

} // namespace kw
