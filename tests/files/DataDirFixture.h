#pragma once

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kw::test {

// A fresh, empty data folder (KESSELWERK_DATA_DIR) for every test.
class DataDirTest : public ::testing::Test {
protected:
  void SetUp() override { qputenv("KESSELWERK_DATA_DIR", dir_.path().toLocal8Bit()); }
  void TearDown() override { qunsetenv("KESSELWERK_DATA_DIR"); }

  QString dataFile(const QString& name) const { return dir_.filePath(name); }

  QTemporaryDir dir_;
};

} // namespace kw::test
