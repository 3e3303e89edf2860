#pragma once

namespace kw::cli {

// One function per command; each parses its own options from argv (see CliArgs.h) and
// returns the exit status.
int RunChancen(int argc, char** argv);
int RunSerien(int argc, char** argv);
int RunSystemtest(int argc, char** argv);
int RunSektoren(int argc, char** argv);
int RunZufall(int argc, char** argv);
int RunDelta(int argc, char** argv);
int RunStatistik(int argc, char** argv);
int RunImport(int argc, char** argv);
int RunSystemCommand(int argc, char** argv); // "system": a user's own system
int RunSuche(int argc, char** argv);         // the parameter search

} // namespace kw::cli
