#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kw {

// What kind of program a file holds, told by its first bytes: a downloaded installer is
// only started where the system's loader can run it.
enum class ProgramFormat {
  Unknown,
  WindowsExe, // "MZ": a Windows (or DOS) program
  Elf,        // Linux and most other Unix systems
  MachO,      // macOS, thin or universal
  Script,     // "#!" followed by its interpreter
};

// How many leading bytes DetectProgramFormat looks at (fewer are fine).
inline constexpr size_t ProgramHeadSize = 8;

ProgramFormat DetectProgramFormat(std::span<const uint8_t> head);

// The format of this system's own programs.
#if defined(_WIN32)
inline constexpr ProgramFormat NativeProgramFormat = ProgramFormat::WindowsExe;
#elif defined(__APPLE__)
inline constexpr ProgramFormat NativeProgramFormat = ProgramFormat::MachO;
#else
inline constexpr ProgramFormat NativeProgramFormat = ProgramFormat::Elf;
#endif

// Whether a program of that format can be started on this system: its native format, and
// outside Windows also scripts (which the kernel hands to the interpreter they name).
bool RunsOnThisSystem(ProgramFormat format);

} // namespace kw
