#pragma once

// What window tests do to windows and files, written once for all of them: click a button,
// type on the main window's number pad, read a grid cell, write test files.
#include "support/TestFiles.h"
#include "support/WindowTestHarness.h"

#include <QAbstractButton>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtTest>

#include <initializer_list>

class QTableView;

namespace kw::test {

// Clicks the button of that name inside the window; a missing button fails the test.
template <class T = QAbstractButton> void click(QWidget* window, const QString& name) {
  auto* button = Find<T>(window, name);
  QVERIFY2(button, qPrintable(name));
  QTest::mouseClick(button, Qt::LeftButton);
}

// Clicks the number pad buttons `num<code>` of the main window in turn (a number 0..36, or
// the code of a pad key such as 50 for the hand change).
void clickPad(QWidget* main, std::initializer_list<int> codes);

// The text of a cell of a grid whose heading is the view's column header: grid row 0 is the
// heading, grid row r >= 1 is model row r - 1.
QString cell(QTableView* grid, int row, int column);

// Writes a file (creating its folders) with the lines ended by CR LF, as permanence files
// are; a failed write fails the test.
void writeLines(const QString& path, const QStringList& lines);
// Writes a file with exactly these bytes; a failed write fails the test.
void writeFile(const QString& path, const QByteArray& bytes);

} // namespace kw::test
