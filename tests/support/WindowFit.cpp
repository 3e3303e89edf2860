#include "support/WindowFit.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTableView>
#include <QTextDocument>
#include <QToolButton>

#include <algorithm>

namespace kw::test {
namespace {

constexpr int Unbounded = 1 << 20;

// The names from the window down to the widget, the unnamed and the toolkit's own left out.
QString PathOf(const QWidget* widget, const QWidget* window) {
  QStringList names;
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    const QString name = w->objectName();
    if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
      names.prepend(name);
    if (w == window)
      break;
  }
  return names.join(QLatin1Char('/'));
}

// The text as drawn: a mnemonic's "&" is not shown, "&&" shows one "&".
QString Shown(QString text) {
  text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
  text.remove(QLatin1Char('&'));
  text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
  return text;
}

// Width and height of plain text without wrapping, line breaks honoured. A single line is
// as high as its ink: the room a font keeps below the baseline for letters without a
// descender may be cut without cutting the text.
QSize PlainExtent(const QFontMetrics& metrics, const QString& text) {
  const QSize extent =
      metrics.boundingRect(QRect(0, 0, Unbounded, Unbounded), Qt::AlignLeft | Qt::AlignTop, text)
          .size();
  if (text.contains(QLatin1Char('\n')))
    return extent;
  return {extent.width(), metrics.tightBoundingRect(text).height()};
}

// A widget the user can see: shown and not scrolled or covered out of sight entirely.
bool Seen(const QWidget* widget) {
  return widget->isVisible() && !widget->visibleRegion().isEmpty();
}

class Walker {
public:
  explicit Walker(QWidget* window) : window_(window) {}

  QList<ClippedText> walk() {
    for (QWidget* widget : window_->findChildren<QWidget*>()) {
      if (widget->window() != window_ || !Seen(widget))
        continue;
      if (auto* label = qobject_cast<QLabel*>(widget))
        label_(label);
      else if (auto* button = qobject_cast<QPushButton*>(widget))
        pushButton(button);
      else if (auto* box = qobject_cast<QCheckBox*>(widget))
        checkable(box, QStyle::SE_CheckBoxContents);
      else if (auto* radio = qobject_cast<QRadioButton*>(widget))
        checkable(radio, QStyle::SE_RadioButtonContents);
      else if (auto* tool = qobject_cast<QToolButton*>(widget))
        toolButton(tool);
      else if (auto* group = qobject_cast<QGroupBox*>(widget))
        groupBox(group);
      else if (auto* tabs = qobject_cast<QTabBar*>(widget))
        tabBar(tabs);
      else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        lineEdit(edit);
      else if (auto* combo = qobject_cast<QComboBox*>(widget))
        comboBox(combo);
      else if (auto* header = qobject_cast<QHeaderView*>(widget))
        headerView(header);
      else if (auto* view = qobject_cast<QAbstractItemView*>(widget))
        itemView(view);
    }
    return found_;
  }

private:
  void report(const QWidget* widget, const QString& detail, const QString& text, int needed,
              int available) {
    if (needed <= available)
      return;
    QString where = PathOf(widget, window_);
    if (!detail.isEmpty())
      where += detail;
    found_.append({where, text, needed, available});
  }

  void label_(QLabel* label) {
    if (label->text().isEmpty() || !label->pixmap().isNull())
      return;
    QRect room = label->contentsRect();
    const int margin = label->margin();
    room.adjust(margin, margin, -margin, -margin);
    const QString text = label->text();
    const bool rich = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text));
    QSize needed;
    if (rich) {
      QTextDocument document;
      document.setDefaultFont(label->font());
      document.setDocumentMargin(0);
      document.setHtml(text);
      if (label->wordWrap())
        document.setTextWidth(room.width());
      needed = QSize(qCeil(label->wordWrap() ? document.size().width() : document.idealWidth()),
                     qCeil(document.size().height()));
    } else {
      const QString shown = label->buddy() ? Shown(text) : text;
      const QFontMetrics metrics = label->fontMetrics();
      needed = label->wordWrap()
                   ? metrics
                         .boundingRect(QRect(0, 0, room.width(), Unbounded),
                                       Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, shown)
                         .size()
                   : PlainExtent(metrics, shown);
    }
    report(label, QString(), text, needed.width(), room.width());
    report(label, QStringLiteral(" (height)"), text, needed.height(), room.height());
  }

  void pushButton(QPushButton* button) {
    if (button->text().isEmpty())
      return;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    const QRect room =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    const QSize text = PlainExtent(button->fontMetrics(), Shown(button->text()));
    const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
    report(button, QString(), button->text(), text.width() + icon, room.width());
    report(button, QStringLiteral(" (height)"), button->text(), text.height(), room.height());
  }

  void checkable(QAbstractButton* button, QStyle::SubElement contents) {
    if (button->text().isEmpty())
      return;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect room = button->style()->subElementRect(contents, &option, button);
    const QSize text = PlainExtent(button->fontMetrics(), Shown(button->text()));
    report(button, QString(), button->text(), text.width(), room.width());
  }

  void toolButton(QToolButton* button) {
    if (button->text().isEmpty() || button->toolButtonStyle() == Qt::ToolButtonIconOnly ||
        (button->toolButtonStyle() == Qt::ToolButtonFollowStyle && !button->icon().isNull()))
      return;
    const int icon = button->toolButtonStyle() == Qt::ToolButtonTextBesideIcon
                         ? button->iconSize().width() + 4
                         : 0;
    const int text = PlainExtent(button->fontMetrics(), Shown(button->text())).width();
    report(button, QString(), button->text(), text + icon, button->width() - 4);
  }

  void groupBox(QGroupBox* group) {
    if (group->title().isEmpty())
      return;
    const int text = PlainExtent(group->fontMetrics(), Shown(group->title())).width();
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect label = group->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                       QStyle::SC_GroupBoxLabel, group);
    report(group, QStringLiteral(" title"), group->title(), label.left() + text,
           group->width() - 1);
  }

  void tabBar(QTabBar* tabs) {
    const int space = tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs);
    for (int i = 0; i < tabs->count(); ++i) {
      const int text = PlainExtent(tabs->fontMetrics(), Shown(tabs->tabText(i))).width();
      report(tabs, QStringLiteral(" tab %1").arg(i), tabs->tabText(i), text + space,
             tabs->tabRect(i).width());
    }
  }

  // Only read-only fields: a field being typed in scrolls its text as any editor does.
  void lineEdit(QLineEdit* edit) {
    if (!edit->isReadOnly() || edit->text().isEmpty())
      return;
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth = edit->hasFrame()
                           ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                           : 0;
    QRect room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    room = room.marginsRemoved(edit->textMargins());
    constexpr int HorizontalMargin = 2; // the field's own space either side of its text
    report(edit, QString(), edit->text(), PlainExtent(edit->fontMetrics(), edit->text()).width(),
           room.width() - 2 * HorizontalMargin);
  }

  void comboBox(QComboBox* combo) {
    if (combo->currentText().isEmpty())
      return;
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.currentText = combo->currentText();
    option.frame = combo->hasFrame();
    const QRect room = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, combo);
    report(combo, QString(), combo->currentText(),
           PlainExtent(combo->fontMetrics(), combo->currentText()).width(), room.width());
  }

  void headerView(QHeaderView* header) {
    if (!header->model())
      return;
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int extent = header->orientation() == Qt::Horizontal ? header->viewport()->width()
                                                               : header->viewport()->height();
    for (int section = 0; section < header->count(); ++section) {
      const int size = header->sectionSize(section);
      const int position = header->sectionViewportPosition(section);
      if (header->isSectionHidden(section) || size <= 0 || position + size <= 0 ||
          position >= extent)
        continue;
      const QString text = header->model()->headerData(section, header->orientation()).toString();
      if (text.isEmpty())
        continue;
      QFont font = header->font();
      if (const QVariant role =
              header->model()->headerData(section, header->orientation(), Qt::FontRole);
          role.isValid())
        font = role.value<QFont>();
      const QSize needed = PlainExtent(QFontMetrics(font), text);
      const QString detail = QStringLiteral(" heading %1").arg(section);
      if (header->orientation() == Qt::Horizontal)
        report(header, detail, text, needed.width() + 2 * margin, size);
      else
        report(header, detail, text, needed.width() + 2 * margin, header->width());
    }
  }

  // The rows and columns in view, and each cell's text against its rectangle.
  void itemView(QAbstractItemView* view) {
    QAbstractItemModel* model = view->model();
    if (!model)
      return;
    const QRect viewport = view->viewport()->rect();
    const QModelIndex root = view->rootIndex();
    // The toolkit's own delegate keeps a margin either side and elides what does not fit in
    // between; without elision the text still starts after the left margin. The program's
    // own delegates draw 2 pixels in.
    const bool plainDelegate = view->itemDelegate() && view->itemDelegate()->metaObject() ==
                                                           &QStyledItemDelegate::staticMetaObject;
    const int side = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const int margin =
        plainDelegate ? (view->textElideMode() == Qt::ElideNone ? side : 2 * side) : 3;
    int firstRow = 0;
    int lastRow = model->rowCount(root) - 1;
    int firstColumn = 0;
    int lastColumn = model->columnCount(root) - 1;
    if (auto* table = qobject_cast<QTableView*>(view)) {
      firstRow = std::max(0, table->rowAt(viewport.top()));
      if (const int r = table->rowAt(viewport.bottom()); r >= 0)
        lastRow = r;
      firstColumn = std::max(0, table->columnAt(viewport.left()));
      if (const int c = table->columnAt(viewport.right()); c >= 0)
        lastColumn = c;
    } else if (const QModelIndex top = view->indexAt(viewport.topLeft()); top.isValid()) {
      firstRow = top.row();
      if (const QModelIndex bottom = view->indexAt(QPoint(0, viewport.bottom())); bottom.isValid())
        lastRow = bottom.row();
    }
    for (int row = firstRow; row <= lastRow; ++row)
      for (int column = firstColumn; column <= lastColumn; ++column)
        cell(view, model->index(row, column, root), viewport, margin);
  }

  void cell(QAbstractItemView* view, const QModelIndex& index, const QRect& viewport, int margin) {
    const QRect rect = view->visualRect(index);
    if (!rect.isValid() || !viewport.intersects(rect))
      return;
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty())
      return;
    QFont font = view->font();
    if (const QVariant role = index.data(Qt::FontRole); role.isValid())
      font = role.value<QFont>();
    const QSize needed = PlainExtent(QFontMetrics(font), text);
    const QString detail = QStringLiteral("[%1,%2]").arg(index.row()).arg(index.column());
    report(view, detail, text, needed.width() + margin, rect.width());
    report(view, detail + QStringLiteral(" (height)"), text, needed.height(), rect.height());
  }

  QWidget* window_;
  QList<ClippedText> found_;
};

} // namespace

QList<ClippedText> ClippedTexts(QWidget* window) { return Walker(window).walk(); }

QString DescribeClipped(const QList<ClippedText>& clipped,
                        const QList<DeliberateElision>& allowed) {
  // One line per control: its first clipped text and how many more it has (a grid may have
  // thousands).
  QStringList lines;
  QString lastControl;
  int more = 0;
  const auto flush = [&lines, &more] {
    if (more > 0)
      lines.last() += QStringLiteral(" (and %1 more)").arg(more);
    more = 0;
  };
  for (const ClippedText& c : clipped) {
    const bool deliberate = std::any_of(allowed.begin(), allowed.end(), [&c](const auto& a) {
      return c.where.startsWith(QLatin1String(a.where));
    });
    if (deliberate)
      continue;
    const QString control = c.where.section(QLatin1Char('['), 0, 0);
    if (control == lastControl) {
      ++more;
      continue;
    }
    flush();
    lastControl = control;
    lines << QStringLiteral("%1 \"%2\": needs %3, has %4")
                 .arg(c.where, c.text)
                 .arg(c.needed)
                 .arg(c.available);
  }
  flush();
  return lines.join(QLatin1Char('\n'));
}

int HalfRowAtBottom(QWidget* itemView) {
  auto* table = qobject_cast<QTableView*>(itemView);
  if (!table || !table->model())
    return 0;
  const int height = table->viewport()->height();
  const int rowHeight = table->verticalHeader()->defaultSectionSize();
  const int rows = table->model()->rowCount();
  if (rowHeight <= 0 || rows * rowHeight <= height)
    return 0; // every row shows, the rest of the grid is empty
  return height % rowHeight;
}

} // namespace kw::test
