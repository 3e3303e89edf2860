#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kw::cli {

// Exit statuses of every command.
inline constexpr int ExitOk = 0;
inline constexpr int ExitRefused = 1; // the analysis refused the input
inline constexpr int ExitUsage = 2;   // usage error or a file that cannot be read

// A command line after the command word: options (anywhere, before or after the files)
// and the files in their order. The common options are taken out here.
struct CliArgs {
  std::string command;
  std::vector<std::string> files;
  std::map<std::string, std::string> options; // "--vorlauf" -> "6"; flags map to ""
  // Every value given, in order, also of an option given more than once ("--param").
  std::vector<std::pair<std::string, std::string>> given;
  bool json = false;
  int jobs = 0;      // 0: all cores
  std::string error; // set when the line cannot be understood

  bool has(const std::string& option) const { return options.count(option) != 0; }
  std::optional<std::string> value(const std::string& option) const;
  std::vector<std::string> values(const std::string& option) const;
  // The option as an integer within [min, max]; sets error and returns nullopt when it is
  // not one.
  std::optional<long long> integer(const std::string& option, long long min, long long max);
};

// Parses argv[1..]: the command word, then options and files. `valueOptions` are the
// command's options that take a value; `flagOptions` those that do not.
CliArgs ParseArgs(int argc, char** argv, const std::vector<std::string>& valueOptions,
                  const std::vector<std::string>& flagOptions);

// Writes a message to standard error as one line (a "\r" of the window's text becomes a
// blank) and returns the exit status.
int Fail(int status, const std::string& message);

} // namespace kw::cli
