#pragma once

#include <optional>
#include <string>

namespace kw {

// After the installer has been started, a small script removes the running program: it
// keeps deleting the program file until the program has ended, removes the program folder
// when it is empty and finally deletes itself. On Windows it is a batch file for the
// command interpreter, elsewhere a POSIX sh script doing the same steps.
enum class RemovalScriptKind { WindowsBatch, PosixShell };

#ifdef _WIN32
inline constexpr RemovalScriptKind NativeRemovalScriptKind = RemovalScriptKind::WindowsBatch;
#else
inline constexpr RemovalScriptKind NativeRemovalScriptKind = RemovalScriptKind::PosixShell;
#endif

struct RemovalScriptPaths {
  std::string programFile;   // the running program, full path
  std::string programFolder; // its folder
  std::string tempFolder;    // where the script lives and runs, off the program folder
  std::string scriptFile;    // the script itself, full path
};

// The script's path for a fresh unique temporary file name: the same name with the
// extension ".bat" (Windows) or ".sh".
std::string RemovalScriptPathFor(const std::string& uniqueTempFile, RemovalScriptKind kind);

// The batch file's five lines, each ended by CR LF, every path in double quotes:
//   :Label1 / del "E" / if Exist "E" goto Label1 / rmdir "D" / del "B"
// A '%' is doubled so that the interpreter takes it literally (start the batch with
// delayed expansion off). Nothing is returned for a path that cannot be quoted: one
// holding a double quote, a line break or a NUL, none of which a Windows path can hold.
std::optional<std::string> RemovalBatchContent(const RemovalScriptPaths& paths);

// The same steps as an sh script (LF line ends), every path single-quoted so that blanks,
// quotes, '$' or backquotes cannot break out. It first changes into the temporary folder,
// waits a second between failed attempts and gives up after ten minutes instead of
// spinning for ever. Nothing is returned for a path holding a NUL.
std::optional<std::string> RemovalShellScript(const RemovalScriptPaths& paths);

std::optional<std::string> RemovalScriptContent(const RemovalScriptPaths& paths,
                                                RemovalScriptKind kind);

} // namespace kw
