#pragma once

// Helpers shared by the fuzz targets: the input as a file on disk for the readers that take a
// path, and a check that stops the run with a message when a reader breaks its own promise.

#include <QByteArray>
#include <QByteArrayView>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace kw::fuzz {

inline QByteArrayView Bytes(const uint8_t* data, size_t size) {
  return QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A file of this process in the temporary folder, rewritten for every input.
inline QString WriteInputFile(const uint8_t* data, size_t size, const char* name) {
  static const QString folder = [] {
    const QString path =
        QDir::tempPath() +
        QStringLiteral("/kesselwerk-fuzz-%1").arg(QCoreApplication::applicationPid());
    QDir().mkpath(path);
    return path;
  }();
  const QString path = folder + QLatin1Char('/') + QLatin1String(name);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) !=
          static_cast<qint64>(size)) {
    std::fprintf(stderr, "cannot write the fuzz input to %s\n", qPrintable(path));
    std::abort();
  }
  return path;
}

// A broken promise of a reader is a finding like a crash.
inline void Expect(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
  }
}

} // namespace kw::fuzz
