#pragma once

#include <QByteArray>
#include <QString>

namespace kw::test {

// A file of the real recorded permanences beside the repository (never copied into it).
QString SharedDataFile(const QString& name);

// Writes bytes to a file, creating folders; returns false on failure.
bool WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);

} // namespace kw::test
