#include "tools/ProgramFormat.h"

#include <algorithm>
#include <array>

namespace kw {
namespace {

using Magic = std::array<uint8_t, 4>;

bool startsWith(std::span<const uint8_t> head, std::span<const uint8_t> magic) {
  return head.size() >= magic.size() && std::equal(magic.begin(), magic.end(), head.begin());
}

// Thin Mach-O files of either word size and byte order, and universal ("fat") ones.
constexpr std::array<Magic, 7> MachOMagics = {{
    {0xFE, 0xED, 0xFA, 0xCE},
    {0xCE, 0xFA, 0xED, 0xFE},
    {0xFE, 0xED, 0xFA, 0xCF},
    {0xCF, 0xFA, 0xED, 0xFE},
    {0xCA, 0xFE, 0xBA, 0xBE},
    {0xBE, 0xBA, 0xFE, 0xCA},
    {0xCA, 0xFE, 0xBA, 0xBF},
}};

constexpr Magic ElfMagic = {0x7F, 'E', 'L', 'F'};
constexpr std::array<uint8_t, 2> WindowsExeMagic = {'M', 'Z'};
constexpr std::array<uint8_t, 2> ScriptMagic = {'#', '!'};

} // namespace

ProgramFormat DetectProgramFormat(std::span<const uint8_t> head) {
  if (startsWith(head, ElfMagic))
    return ProgramFormat::Elf;
  for (const Magic& magic : MachOMagics)
    if (startsWith(head, magic))
      return ProgramFormat::MachO;
  if (startsWith(head, WindowsExeMagic))
    return ProgramFormat::WindowsExe;
  if (startsWith(head, ScriptMagic))
    return ProgramFormat::Script;
  return ProgramFormat::Unknown;
}

bool RunsOnThisSystem(ProgramFormat format) {
  if (format == ProgramFormat::Unknown)
    return false;
  if (format == ProgramFormat::Script)
    return NativeProgramFormat != ProgramFormat::WindowsExe;
  return format == NativeProgramFormat;
}

} // namespace kw
