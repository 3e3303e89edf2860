#pragma once

namespace kw {

inline constexpr const char* ProductName = "Kesselwerk";
inline constexpr const char* ProductVersion = KESSELWERK_VERSION;

} // namespace kw
