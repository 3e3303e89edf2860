#include "tools/RemovalScript.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace kw {
namespace {

namespace fs = std::filesystem;

TEST(RemovalScript, BatchHasItsFiveQuotedLines) {
  const RemovalScriptPaths paths = {R"(C:\Program Files\Kessel werk\Kesselwerk.exe)",
                                    R"(C:\Program Files\Kessel werk\)", R"(C:\Temp Dir\)",
                                    R"(C:\Temp Dir\uis1A2B.bat)"};
  EXPECT_EQ(RemovalBatchContent(paths),
            ":Label1\r\n"
            "del \"C:\\Program Files\\Kessel werk\\Kesselwerk.exe\"\r\n"
            "if Exist \"C:\\Program Files\\Kessel werk\\Kesselwerk.exe\" goto Label1\r\n"
            "rmdir \"C:\\Program Files\\Kessel werk\\\"\r\n"
            "del \"C:\\Temp Dir\\uis1A2B.bat\"\r\n");
}

TEST(RemovalScript, BatchKeepsPercentSignsLiteralAndRefusesUnquotablePaths) {
  RemovalScriptPaths paths = {R"(C:\100%\%PATH%.exe)", R"(C:\100%\)", R"(C:\T\)",
                              R"(C:\T\u&x.bat)"};
  const auto batch = RemovalBatchContent(paths);
  ASSERT_TRUE(batch.has_value());
  EXPECT_NE(batch->find("del \"C:\\100%%\\%%PATH%%.exe\"\r\n"), std::string::npos);
  EXPECT_NE(batch->find("rmdir \"C:\\100%%\\\"\r\n"), std::string::npos);
  EXPECT_NE(batch->find("del \"C:\\T\\u&x.bat\"\r\n"), std::string::npos);

  const std::vector<std::string> unquotable = {"C:\\a\"b.exe", "C:\\a\r\nb.exe",
                                               std::string("C:\\a\0b", 6)};
  for (const std::string& bad : unquotable) {
    paths.programFile = bad;
    EXPECT_FALSE(RemovalBatchContent(paths).has_value()) << bad;
  }
  paths.programFile = "C:\\a.exe";
  paths.scriptFile = "C:\\T\\\"x.bat";
  EXPECT_FALSE(RemovalBatchContent(paths).has_value());
}

TEST(RemovalScript, ScriptPathTakesTheInterpretersExtension) {
  EXPECT_EQ(RemovalScriptPathFor("/tmp/a b.c/uis123.tmp", RemovalScriptKind::PosixShell),
            "/tmp/a b.c/uis123.sh");
  EXPECT_EQ(RemovalScriptPathFor("/tmp/a.b/uis123", RemovalScriptKind::PosixShell),
            "/tmp/a.b/uis123.sh");
  EXPECT_EQ(RemovalScriptPathFor("/tmp/uis123.tmp", RemovalScriptKind::WindowsBatch),
            "/tmp/uis123.bat");
}

#ifndef _WIN32
// A fresh folder whose own name already holds a blank, quotes and shell characters.
class ShellScriptRun : public ::testing::Test {
protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kw removal 'XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
  }
  void TearDown() override { fs::remove_all(root_); }

  static void touch(const fs::path& file) { std::ofstream(file) << "x"; }

  // Runs the script with /bin/sh directly, no shell in between; returns its exit status.
  static int runSh(const std::string& script) {
    std::string sh = "/bin/sh";
    std::string arg = script;
    char* argv[] = {sh.data(), arg.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ) != 0)
      return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // Every entry below the root, relative to it.
  std::set<std::string> entries() const {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(root_))
      names.insert(fs::relative(entry.path(), root_).string());
    return names;
  }

  RemovalScriptPaths writeScript(const fs::path& programFolder, const fs::path& tempFolder) {
    fs::create_directories(programFolder);
    fs::create_directories(tempFolder);
    const fs::path program = programFolder / "Kessel werk'$(touch INJECTED)`touch BQ`";
    touch(program);
    const RemovalScriptPaths paths = {program.string(), programFolder.string() + "/",
                                      tempFolder.string() + "/",
                                      (tempFolder / "uis 1'2$HOME.sh").string()};
    const auto script = RemovalShellScript(paths);
    EXPECT_TRUE(script.has_value());
    std::ofstream(paths.scriptFile, std::ios::binary) << script.value_or("");
    return paths;
  }

  fs::path root_;
};

TEST_F(ShellScriptRun, RemovesProgramFolderAndItselfWithoutInjection) {
  const fs::path programFolder = root_ / "prog \"dir\" 'q' $HOME ;x";
  const fs::path tempFolder = root_ / "temp 'folder' $(touch INJECTED)";
  const RemovalScriptPaths paths = writeScript(programFolder, tempFolder);

  EXPECT_EQ(runSh(paths.scriptFile), 0);
  EXPECT_FALSE(fs::exists(paths.programFile));
  EXPECT_FALSE(fs::exists(programFolder));
  EXPECT_FALSE(fs::exists(paths.scriptFile));
  // Nothing else was created or removed: the temporary folder stays, empty.
  EXPECT_EQ(entries(), (std::set<std::string>{tempFolder.filename().string()}));
  EXPECT_FALSE(fs::exists("INJECTED"));
  EXPECT_FALSE(fs::exists("BQ"));
}

TEST_F(ShellScriptRun, KeepsAProgramFolderThatHoldsMore) {
  const fs::path programFolder = root_ / "prog dir";
  const RemovalScriptPaths paths = writeScript(programFolder, root_ / "tmp");
  touch(programFolder / "optionen.ini");

  EXPECT_EQ(runSh(paths.scriptFile), 0);
  EXPECT_FALSE(fs::exists(paths.programFile));
  EXPECT_TRUE(fs::exists(programFolder / "optionen.ini"));
  EXPECT_FALSE(fs::exists(paths.scriptFile));
}

#endif

} // namespace
} // namespace kw
