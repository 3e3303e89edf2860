#pragma once

// Whether the texts of a shown window fit the places they are drawn in: every visible
// label, button, group box title, tab, read-only field, heading section and grid cell is
// measured with the font it is drawn in and compared with its rectangle.
#include <QList>
#include <QString>

class QWidget;

namespace kw::test {

struct ClippedText {
  QString where; // "FHaupt/GTrans heading 3", "FAnalyse3/GZus[2,1]"
  QString text;
  int needed = 0;    // pixels (width, or height for wrapped text)
  int available = 0; // pixels
};

// A place whose text may be cut short on purpose, with the reason; `where` is matched as
// the start of a ClippedText's `where`.
struct DeliberateElision {
  const char* where;
  const char* reason;
};

// Every text of the shown window (and its visible children) that does not fit its place.
QList<ClippedText> ClippedTexts(QWidget* window);

// The clipped texts that are not on the allow-list, one per line, for a test's message.
QString DescribeClipped(const QList<ClippedText>& clipped, const QList<DeliberateElision>& allowed);

// A grid whose viewport does not end on a row boundary shows a half row at the bottom:
// the height of that half row in pixels, 0 when the view ends on whole rows.
int HalfRowAtBottom(QWidget* itemView);

} // namespace kw::test
