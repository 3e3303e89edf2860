#include "tools/RemovalScript.h"

#include <array>
#include <filesystem>
#include <string_view>

namespace kw {
namespace {

bool holdsAny(const std::string& text, std::string_view characters) {
  return text.find_first_of(characters) != std::string::npos;
}

bool anyPathHolds(const RemovalScriptPaths& paths, std::string_view characters) {
  const std::array<const std::string*, 4> all = {&paths.programFile, &paths.programFolder,
                                                 &paths.tempFolder, &paths.scriptFile};
  for (const std::string* path : all)
    if (holdsAny(*path, characters))
      return true;
  return false;
}

// A path in double quotes for the command interpreter; '%' would start a variable there.
std::string batchQuoted(const std::string& path) {
  std::string quoted = "\"";
  for (char c : path) {
    if (c == '%')
      quoted += '%';
    quoted += c;
  }
  return quoted + "\"";
}

// A path in single quotes for sh: nothing is special inside them except the closing
// quote, so an embedded ' closes, adds an escaped quote and reopens.
std::string shellQuoted(const std::string& path) {
  std::string quoted = "'";
  for (char c : path) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

} // namespace

std::string RemovalScriptPathFor(const std::string& uniqueTempFile, RemovalScriptKind kind) {
  std::filesystem::path path(uniqueTempFile);
  path.replace_extension(kind == RemovalScriptKind::WindowsBatch ? ".bat" : ".sh");
  return path.string();
}

std::optional<std::string> RemovalBatchContent(const RemovalScriptPaths& paths) {
  if (anyPathHolds(paths, std::string_view("\"\r\n\0", 4)))
    return std::nullopt;
  const std::string program = batchQuoted(paths.programFile);
  std::string text;
  text += ":Label1\r\n";
  text += "del " + program + "\r\n";
  text += "if Exist " + program + " goto Label1\r\n";
  text += "rmdir " + batchQuoted(paths.programFolder) + "\r\n";
  text += "del " + batchQuoted(paths.scriptFile) + "\r\n";
  return text;
}

std::optional<std::string> RemovalShellScript(const RemovalScriptPaths& paths) {
  if (anyPathHolds(paths, std::string_view("\0", 1)))
    return std::nullopt;
  const std::string program = shellQuoted(paths.programFile);
  std::string text;
  text += "#!/bin/sh\n";
  text += "cd -- " + shellQuoted(paths.tempFolder) + " 2>/dev/null || cd /\n";
  text += "tries=0\n";
  const std::string programExists = "[ -e " + program + " ] || [ -L " + program + " ]";
  text += "while " + programExists + "; do\n";
  text += "  rm -f -- " + program + " 2>/dev/null\n";
  text += "  " + programExists + " || break\n";
  text += "  tries=$((tries + 1))\n";
  text += "  [ \"$tries\" -ge 600 ] && break\n";
  text += "  sleep 1\n";
  text += "done\n";
  text += "rmdir -- " + shellQuoted(paths.programFolder) + " 2>/dev/null\n";
  text += "rm -f -- " + shellQuoted(paths.scriptFile) + "\n";
  return text;
}

std::optional<std::string> RemovalScriptContent(const RemovalScriptPaths& paths,
                                                RemovalScriptKind kind) {
  return kind == RemovalScriptKind::WindowsBatch ? RemovalBatchContent(paths)
                                                 : RemovalShellScript(paths);
}

} // namespace kw
