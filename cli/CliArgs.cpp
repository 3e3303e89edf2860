#include "CliArgs.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace kw::cli {

std::optional<std::string> CliArgs::value(const std::string& option) const {
  auto it = options.find(option);
  if (it == options.end())
    return std::nullopt;
  return it->second;
}

std::optional<long long> CliArgs::integer(const std::string& option, long long min, long long max) {
  const auto text = value(option);
  if (!text)
    return std::nullopt;
  long long number = 0;
  const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), number);
  if (ec != std::errc() || end != text->data() + text->size() || number < min || number > max) {
    error = option + " erwartet eine ganze Zahl von " + std::to_string(min) + " bis " +
            std::to_string(max) + " (angegeben: \"" + *text + "\")";
    return std::nullopt;
  }
  return number;
}

std::vector<std::string> CliArgs::values(const std::string& option) const {
  std::vector<std::string> all;
  for (const auto& [name, text] : given)
    if (name == option)
      all.push_back(text);
  return all;
}

CliArgs ParseArgs(int argc, char** argv, const std::vector<std::string>& valueOptions,
                  const std::vector<std::string>& flagOptions) {
  auto isIn = [](const std::vector<std::string>& list, const std::string& s) {
    return std::find(list.begin(), list.end(), s) != list.end();
  };
  CliArgs args;
  if (argc >= 2)
    args.command = argv[1];
  for (int i = 2; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--json") {
      args.json = true;
    } else if (word == "--data-dir" || word == "--jobs" || isIn(valueOptions, word)) {
      if (i + 1 >= argc) {
        args.error = word + " erwartet einen Wert";
        return args;
      }
      args.options[word] = argv[++i];
      args.given.emplace_back(word, argv[i]);
    } else if (isIn(flagOptions, word)) {
      args.options[word] = "";
    } else if (word.size() > 2 && word.rfind("--", 0) == 0) {
      args.error = "unbekannte Option " + word;
      return args;
    } else {
      args.files.push_back(word);
    }
  }
  if (args.has("--jobs")) {
    const auto jobs = args.integer("--jobs", 1, 1024);
    if (!jobs)
      return args;
    args.jobs = static_cast<int>(*jobs);
  }
  if (const auto dir = args.value("--data-dir"))
    setenv("KESSELWERK_DATA_DIR", dir->c_str(), 1);
  return args;
}

int Fail(int status, const std::string& message) {
  std::string line = message;
  std::replace(line.begin(), line.end(), '\r', ' ');
  std::replace(line.begin(), line.end(), '\n', ' ');
  std::fprintf(stderr, "%s\n", line.c_str());
  return status;
}

} // namespace kw::cli
