#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

namespace kw::test {

// A file of the real recorded permanences beside the repository (never copied into it).
QString SharedDataFile(const QString& name);

// Writes bytes to a file, creating folders; returns false on failure.
bool WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);

// The first worksheet of a workbook as a real spreadsheet reader (openpyxl) sees it:
// {"cells": {"A1": {"v", "fill", "align"}}, "widths", "sheets", "max_row", "max_col"};
// an empty object when it cannot be read.
QJsonObject ReadWorkbook(const QString& path, int sheet = 0);

} // namespace kw::test
