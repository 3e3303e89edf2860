#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace kw::test {

// A file of the real recorded permanences beside the repository (never copied into it).
QString SharedDataFile(const QString& name);

// The coups of a recorded real permanence (numbers separated by anything else), in order,
// with `handChange` after every `handChangeEvery`-th coup (none when 0).
std::vector<uint8_t> RecordedCoups(const QString& name, int handChangeEvery = 0,
                                   uint8_t handChange = 50);

// Writes bytes to a file, creating folders; returns false on failure.
bool WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);

// The first worksheet of a workbook as a real spreadsheet reader (openpyxl) sees it:
// {"cells": {"A1": {"v", "fill", "align"}}, "widths", "sheets", "max_row", "max_col"};
// an empty object when it cannot be read.
QJsonObject ReadWorkbook(const QString& path, int sheet = 0);

// What one run of the built kesselwerk-cli gave; exit code -1 when it did not end in time.
struct CliRun {
  int exitCode = -1;
  QByteArray out;
  QString err;
};

// Runs `kesselwerk-cli COMMAND --data-dir DATADIR ARGS...` from the build's program folder.
CliRun RunCli(const QString& command, const QString& dataDir, const QStringList& args,
              int timeoutMs = 120000);

} // namespace kw::test
