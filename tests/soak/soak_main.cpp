// The window soak: the real application, started as the program starts it (its own data
// folder, offscreen), driven by a long random sequence of user actions over every window it
// shows, reproducibly from a seed. After every step the invariants are checked; a model that
// breaks the item-model rules, a sanitizer finding, a crash or a step that never ends stops
// the run. Every step is written to the step log first, so the last lines name the way there.
//
// kesselwerk_soak [--sekunden N] [--seed S] [--schritte N] [--protokoll DATEI]
//
// Controls are found by type and object name, so a new window takes part without an edit
// here: its buttons, menu and toolbar actions, edits, grids, sliders, lists, tabs and drop
// targets are used as soon as it is open.
#include "core/RouletteTables.h"
#include "support/RecordingPlatform.h"
#include "support/TestFiles.h"
#include "support/WindowTestHarness.h"
#include "ui/Application.h"
#include "ui/DesktopPlatform.h"
#include "ui/Dialogs.h"
#include "ui/FHaupt.h"
#include "ui/FOpSektoren.h"
#include "ui/FStart.h"
#include "ui/ResultGridModel.h"
#include "workspace/Workspace.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>
#include <set>
#include <thread>

namespace kw::soak {
namespace {

// What the soak never does: end the program, start an outside program, reach the network.
const std::set<QString> Forbidden = {
    QStringLiteral("miBeenden"),
    QStringLiteral("miRechner"),
    QStringLiteral("tbRechner"),
    QStringLiteral("miUpdate"),
    QStringLiteral("tbUpdate"),
    QStringLiteral("miHilfeUpdate"),
    // The folder lists would lead out of the soak's folders into the whole file system.
    QStringLiteral("DLB1"),
    QStringLiteral("DriveComboBox1"),
};
// Windows the soak leaves alone: the update check reaches the network.
const std::set<QString> ForbiddenWindows = {QStringLiteral("FUpdate")};
// Closing these ends the program.
const std::set<QString> EndingWindows = {QStringLiteral("FHaupt")};

using Random = std::mt19937_64;

int Pick(Random& random, int count) {
  return count <= 0 ? 0 : static_cast<int>(random() % static_cast<uint64_t>(count));
}

template <class T> T* PickFrom(Random& random, const QList<T*>& list) {
  return list.isEmpty() ? nullptr : list.at(Pick(random, static_cast<int>(list.size())));
}

// The step log: every step written and flushed before it is done, the last ones also kept
// for the report of a failure.
class StepLog {
public:
  explicit StepLog(const QString& path) {
    if (!path.isEmpty())
      file_ = std::fopen(path.toLocal8Bit().constData(), "w");
  }
  ~StepLog() {
    if (file_)
      std::fclose(file_);
  }
  void write(const QString& line) {
    recent_.push_back(line);
    if (recent_.size() > 40)
      recent_.pop_front();
    if (file_) {
      std::fputs(line.toUtf8().constData(), file_);
      std::fputc('\n', file_);
      std::fflush(file_);
    }
  }
  void printRecent() const {
    std::fputs("Die letzten Schritte:\n", stderr);
    for (const QString& line : recent_)
      std::fprintf(stderr, "  %s\n", line.toUtf8().constData());
  }

private:
  std::FILE* file_ = nullptr;
  std::deque<QString> recent_;
};

// The dialogs answered at random from the soak's generator: message boxes with any of their
// buttons, file dialogs with files of the soak's folder (real and broken) or cancelled.
class RandomDialogs : public Dialogs {
public:
  RandomDialogs(Random& random, QString filesDir, QString saveDir)
      : random_(random), filesDir_(std::move(filesDir)), saveDir_(std::move(saveDir)) {}

  int messages = 0;

  void error(QWidget*, const QString&) override { ++messages; }
  void information(QWidget*, const QString&, int, int) override { ++messages; }
  Answer confirm(QWidget*, const QString&, int buttons, int) override {
    ++messages;
    QList<Answer> answers;
    if (buttons & YesButton)
      answers << Answer::Yes;
    if (buttons & NoButton)
      answers << Answer::No;
    if (buttons & CancelButton)
      answers << Answer::Cancel;
    if (buttons & OkButton)
      answers << Answer::Ok;
    if (answers.isEmpty())
      return Answer::Cancel;
    return answers.at(Pick(random_, static_cast<int>(answers.size())));
  }
  QStringList openFiles(QWidget*, const FileRequest& request) override {
    if (Pick(random_, 5) == 0)
      return {};
    QStringList masks;
    static const QRegularExpression mask(QStringLiteral("\\*\\.[^ ;)]+"));
    for (auto it = mask.globalMatch(request.filter); it.hasNext();)
      masks << it.next().captured();
    if (masks.isEmpty() || masks.contains(QStringLiteral("*.*")) || Pick(random_, 10) == 0)
      masks = {QStringLiteral("*")};
    const QStringList candidates = QDir(filesDir_).entryList(masks, QDir::Files, QDir::Name);
    if (candidates.isEmpty())
      return {};
    QStringList chosen;
    const int count = request.multiple ? 1 + Pick(random_, 4) : 1;
    for (int i = 0; i < count; ++i)
      chosen << filesDir_ + QLatin1Char('/') +
                    candidates.at(Pick(random_, static_cast<int>(candidates.size())));
    return chosen;
  }
  QString saveFile(QWidget*, const FileRequest& request) override {
    switch (Pick(random_, 5)) {
    case 0:
      return {};
    case 1: // a folder that does not exist
      return saveDir_ + QStringLiteral("/fehlt/datei.") + request.defaultSuffix;
    default: {
      QString name = request.fileName.isEmpty() ? QStringLiteral("Soak") : request.fileName;
      name = QFileInfo(name).fileName();
      if (!request.defaultSuffix.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += QLatin1Char('.') + request.defaultSuffix;
      return saveDir_ + QLatin1Char('/') + QString::number(Pick(random_, 3)) + name;
    }
    }
  }

private:
  Random& random_;
  QString filesDir_;
  QString saveDir_;
};

// Permanence files as users have them, and broken ones.
void WriteFiles(const QString& dir) {
  QDir().mkpath(dir);
  auto write = [&](const QString& name, const QByteArray& bytes) {
    QFile file(dir + QLatin1Char('/') + name);
    if (file.open(QIODevice::WriteOnly))
      file.write(bytes);
  };
  std::mt19937 numbers(7);
  for (int f = 0; f < 4; ++f) {
    QByteArray text = "Spielbank Test\r\nTisch " + QByteArray::number(f) + "\r\n";
    for (int i = 0; i < 370 * (f + 1); ++i)
      text += (i % 61 == 60 ? QByteArray("----") : QByteArray::number(numbers() % 37)) + "\r\n";
    write(QStringLiteral("Tisch%1.prm").arg(f), text);
  }
  for (const char* name :
       {"spielbank-wiesbaden_t1_190424.txt", "spielbank-wiesbaden_t2_190424.txt"})
    if (QFile real(test::SharedDataFile(QString::fromLatin1(name))); real.open(QIODevice::ReadOnly))
      write(QString::fromLatin1(name).replace(".txt", ".prm"), real.readAll());
  write(QStringLiteral("leer.prm"), {});
  write(QStringLiteral("binaer.prm"), QByteArray("\x00\xff\xfe\x01\x02", 5).repeated(200));
  write(QStringLiteral("utf16.prm"), QByteArray("\xff\xfe"
                                                "1\0\r\0\n\0"
                                                "2\0",
                                                10));
  write(QStringLiteral("langezeile.prm"), QByteArray(200000, '7'));
  write(QStringLiteral("wenig.prm"), "1\r\n2\r\n");
  write(QStringLiteral("unsinn.prm"), "a\r\n-5\r\n99\r\n00\r\n\r\n\r\n36\r\n");
  write(QStringLiteral("Staffel.set"), "1\r\n1\r\n2\r\n3\r\n5\r\n");
  write(QStringLiteral("kaputt.set"), "x\r\n-1\r\n99999999999999999999\r\n");
  write(QStringLiteral("Muster.sekt"), "7\r\n0\r\n32\r\n15\r\n");
  write(QStringLiteral("kaputt.sekt"), QByteArray(3000, '\n'));
  QDir().mkpath(dir + QStringLiteral("/ordner.prm"));
}

QString NameOf(const QObject* object) {
  const QString name = object->objectName();
  return name.isEmpty() ? QString::fromLatin1(object->metaObject()->className()) : name;
}

template <class T> QList<T*> Usable(QWidget* window) {
  QList<T*> usable;
  for (T* widget : window->findChildren<T*>())
    if (widget->isVisible() && widget->isEnabled() && !Forbidden.count(widget->objectName()))
      usable << widget;
  return usable;
}

class Soak : public QObject {
public:
  Soak(Application& app, Random& random, RandomDialogs& dialogs, StepLog& log, qint64 seconds,
       qint64 stepLimit)
      : app_(app), random_(random), dialogs_(dialogs), log_(log), seconds_(seconds),
        stepLimit_(stepLimit) {
    clock_.start();
    QTimer::singleShot(0, this, &Soak::tick);
  }

  qint64 steps() const { return steps_; }
  const std::set<QString>& visited() const { return visited_; }
  std::atomic<qint64> lastProgress{0};

private:
  // One step. The next one is asked for first: a step that opens a modal window waits in the
  // window's own event loop, and the steps go on inside it (a timer never fires again while its
  // own handler runs, so each step is a fresh single shot).
  void tick() {
    lastProgress = clock_.elapsed();
    if (finished_)
      return;
    QTimer::singleShot(0, this, &Soak::tick);
    if (clock_.elapsed() >= seconds_ * 1000 || (stepLimit_ >= 0 && steps_ >= stepLimit_)) {
      finish();
      return;
    }
    // What the last step set off through the event loop is checked too.
    check();
    ++steps_;
    act();
    check();
  }

  // Unwinds the modal windows the soak is inside of, then ends the main loop.
  void finish() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      log_.write(QStringLiteral("Ende: schließe %1").arg(NameOf(modal)));
      if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
      else
        modal->close();
      return;
    }
    finished_ = true;
    QApplication::exit(0);
  }

  QList<QWidget*> windows() const {
    QList<QWidget*> list;
    if (QWidget* modal = QApplication::activeModalWidget()) {
      list << modal;
      return list;
    }
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && !qobject_cast<QMenu*>(w) && !ForbiddenWindows.count(w->objectName()) &&
          !w->objectName().isEmpty())
        list << w;
    std::sort(list.begin(), list.end(),
              [](QWidget* a, QWidget* b) { return a->objectName() < b->objectName(); });
    return list;
  }

  void step(QWidget* window, const QString& what) {
    log_.write(QStringLiteral("%1 %2: %3").arg(steps_).arg(NameOf(window), what));
  }

  void act() {
    const QList<QWidget*> open = windows();
    QWidget* window = PickFrom(random_, open);
    if (!window)
      return;
    visited_.insert(NameOf(window));
    // Every model of the program is watched, also those made since (a result tab's protocol).
    test::AttachModelTesters(window, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const int roll = Pick(random_, 100);
    if (roll < 30)
      clickButton(window);
    else if (roll < 40)
      triggerAction(window);
    else if (roll < 52)
      typeIntoEdit(window);
    else if (roll < 62)
      useGrid(window);
    else if (roll < 66)
      moveSlider(window);
    else if (roll < 70)
      chooseInCombo(window);
    else if (roll < 78)
      selectInList(window);
    else if (roll < 81)
      switchTab(window);
    else if (roll < 86)
      dragAndDrop(window);
    else if (roll < 91)
      pressKey(window);
    else if (roll < 95)
      openWindow();
    else
      closeWindow(window);
  }

  void clickButton(QWidget* window) {
    QList<QAbstractButton*> buttons = Usable<QAbstractButton>(window);
    // The pad is what users press most: a table grows over the run.
    if (window->objectName() == QLatin1String("FHaupt") && Pick(random_, 2) == 0) {
      QList<QAbstractButton*> pad;
      for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (b->objectName().startsWith(QLatin1String("num")) && b->isEnabled() &&
            (b->objectName() != QLatin1String("num61") || Pick(random_, 20) == 0))
          pad << b;
      buttons = pad;
    }
    QAbstractButton* button = PickFrom(random_, buttons);
    if (!button || endsProgram(window, button))
      return;
    step(window, QStringLiteral("klick %1").arg(NameOf(button)));
    button->click();
  }

  void triggerAction(QWidget* window) {
    QList<QAction*> actions;
    for (QAction* a : window->findChildren<QAction*>())
      if (a->isEnabled() && !a->isSeparator() && !a->menu() && !a->objectName().isEmpty() &&
          !Forbidden.count(a->objectName()) && !endsProgram(window, a))
        actions << a;
    QAction* action = PickFrom(random_, actions);
    if (!action)
      return;
    step(window, QStringLiteral("Menü %1").arg(NameOf(action)));
    action->trigger();
  }

  // The main window's own close entry and button end the program.
  static bool endsProgram(QWidget* window, QObject* control) {
    return EndingWindows.count(window->objectName()) &&
           (control->objectName() == QLatin1String("tbSchliessen") ||
            control->objectName() == QLatin1String("miSchliessen"));
  }

  QString someText() {
    static const QStringList pieces = {QStringLiteral("17"),
                                       QStringLiteral("0"),
                                       QStringLiteral("36"),
                                       QStringLiteral("37"),
                                       QStringLiteral("-5"),
                                       QStringLiteral("----"),
                                       QStringLiteral("HW"),
                                       QStringLiteral("ä"),
                                       QStringLiteral(" "),
                                       QStringLiteral("00"),
                                       QStringLiteral("1,5"),
                                       QStringLiteral("x"),
                                       QStringLiteral("99999999999999999999"),
                                       QStringLiteral("2147483648"),
                                       QStringLiteral("12"),
                                       QStringLiteral("5"),
                                       QStringLiteral("Tisch"),
                                       QStringLiteral("\n")};
    QString text;
    for (int i = 1 + Pick(random_, 4); i > 0; --i)
      text += pieces.at(Pick(random_, static_cast<int>(pieces.size())));
    return text;
  }

  void typeText(QWidget* target, const QString& text) {
    const QStringList parts = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
      if (i > 0)
        QTest::keyClick(target, Qt::Key_Return);
      for (const QChar c : parts[i]) {
        // Qt Test knows keys for ASCII only; other characters come as text with no key.
        if (c.unicode() < 128)
          QTest::keyClick(target, static_cast<char>(c.unicode()));
        else
          QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
      }
    }
  }

  void typeIntoEdit(QWidget* window) {
    QList<QWidget*> edits;
    for (QWidget* w : Usable<QWidget>(window))
      if ((qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
           qobject_cast<QTextEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w)) &&
          !w->parentWidget()->inherits("QAbstractSpinBox") &&
          !w->parentWidget()->inherits("QComboBox"))
        edits << w;
    QWidget* edit = PickFrom(random_, edits);
    if (!edit)
      return;
    const QString text = someText();
    step(window,
         QStringLiteral("tippe in %1: %2").arg(NameOf(edit), QString(text).replace('\n', "\\n")));
    edit->setFocus();
    if (Pick(random_, 3) == 0)
      QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    typeText(edit, text);
  }

  void useGrid(QWidget* window) {
    QList<QTableView*> grids = Usable<QTableView>(window);
    QTableView* grid = PickFrom(random_, grids);
    if (!grid || !grid->model() || grid->model()->rowCount() == 0 ||
        grid->model()->columnCount() == 0)
      return;
    const int row = Pick(random_, std::min(grid->model()->rowCount(), 200));
    const int column = Pick(random_, grid->model()->columnCount());
    const QModelIndex index = grid->model()->index(row, column);
    const QString text = Pick(random_, 2) ? someText() : QString();
    step(window, QStringLiteral("Gitter %1 Zelle %2/%3 %4")
                     .arg(NameOf(grid))
                     .arg(row)
                     .arg(column)
                     .arg(QString(text).replace('\n', "\\n")));
    grid->setFocus();
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
    if (!text.isEmpty())
      typeText(grid->viewport(), text);
    static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Delete, Qt::Key_Tab,
                                   Qt::Key_Down,   Qt::Key_F2,     Qt::Key_Escape};
    QTest::keyClick(grid->viewport(), keys[Pick(random_, 6)]);
  }

  void moveSlider(QWidget* window) {
    QAbstractSlider* slider = PickFrom(random_, Usable<QAbstractSlider>(window));
    if (!slider || slider->inherits("QScrollBar"))
      return;
    const int value = slider->minimum() + Pick(random_, slider->maximum() - slider->minimum() + 1);
    step(window, QStringLiteral("Schieber %1 auf %2").arg(NameOf(slider)).arg(value));
    slider->setFocus();
    slider->setSliderPosition(value);
    slider->triggerAction(QAbstractSlider::SliderMove);
    QTest::keyClick(slider, Pick(random_, 2) ? Qt::Key_Right : Qt::Key_PageDown);
  }

  void chooseInCombo(QWidget* window) {
    QComboBox* combo = PickFrom(random_, Usable<QComboBox>(window));
    if (!combo || combo->count() == 0)
      return;
    const int index = Pick(random_, combo->count());
    step(window, QStringLiteral("Auswahl %1: %2").arg(NameOf(combo)).arg(index));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  }

  void selectInList(QWidget* window) {
    QList<QAbstractItemView*> lists;
    for (QAbstractItemView* v : Usable<QAbstractItemView>(window))
      if (!qobject_cast<QTableView*>(v) && v->model() && v->model()->rowCount(v->rootIndex()) > 0)
        lists << v;
    QAbstractItemView* list = PickFrom(random_, lists);
    if (!list)
      return;
    const QModelIndex index = list->model()->index(
        Pick(random_, list->model()->rowCount(list->rootIndex())), 0, list->rootIndex());
    const int how = Pick(random_, 4);
    step(window, QStringLiteral("Liste %1 Zeile %2 %3")
                     .arg(NameOf(list))
                     .arg(index.row())
                     .arg(QStringList{"klick", "Strg-klick", "Doppelklick", "Strg-A"}[how]));
    list->setFocus();
    list->scrollTo(index);
    const QPoint at = list->visualRect(index).center();
    if (how == 0)
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    else if (how == 1)
      QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
    else if (how == 2)
      QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    else
      QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
  }

  void switchTab(QWidget* window) {
    QTabBar* tabs = PickFrom(random_, Usable<QTabBar>(window));
    if (!tabs || tabs->count() == 0)
      return;
    const int index = Pick(random_, tabs->count());
    step(window, QStringLiteral("Reiter %1: %2").arg(NameOf(tabs)).arg(index));
    tabs->setCurrentIndex(index);
  }

  // What the source would carry: the sector window's own drag format, otherwise the model's.
  QMimeData* dragData(QWidget* window, QWidget* source, QString& what) {
    if (auto* view = qobject_cast<QAbstractItemView*>(source)) {
      const int rows = view->model()->rowCount(view->rootIndex());
      if (rows == 0)
        return nullptr;
      const QModelIndex index = view->model()->index(Pick(random_, rows), 0, view->rootIndex());
      what = QStringLiteral("%1 Zeile %2").arg(NameOf(view)).arg(index.row());
      if (qobject_cast<FOpSektoren*>(window))
        return FOpSektoren::SectorDragData(view->objectName(), index.row(),
                                           index.data().toString());
      return view->model()->mimeData({index});
    }
    auto* label = qobject_cast<QLabel*>(source);
    if (!label || !qobject_cast<FOpSektoren*>(window))
      return nullptr;
    what = NameOf(label);
    return FOpSektoren::SectorDragData(label->objectName(), -1, label->text());
  }

  void dragAndDrop(QWidget* window) {
    QList<QWidget*> sources, targets;
    for (QWidget* w : Usable<QWidget>(window)) {
      auto* view = qobject_cast<QAbstractItemView*>(w);
      if ((view && view->dragEnabled() && view->model()) ||
          (qobject_cast<QLabel*>(w) && w->cursor().shape() == Qt::OpenHandCursor))
        sources << w;
      if (w->acceptDrops())
        targets << (view ? view->viewport() : w);
    }
    QWidget* source = PickFrom(random_, sources);
    QWidget* target = PickFrom(random_, targets);
    if (!source || !target)
      return;
    QString what;
    std::unique_ptr<QMimeData> data(dragData(window, source, what));
    if (!data)
      return;
    const QPoint at(Pick(random_, std::max(1, target->width())),
                    Pick(random_, std::max(1, target->height())));
    step(window, QStringLiteral("ziehe %1 auf %2")
                     .arg(what, NameOf(target->parentWidget() && qobject_cast<QAbstractItemView*>(
                                                                     target->parentWidget())
                                           ? target->parentWidget()
                                           : target)));
    const Qt::DropActions actions = Qt::MoveAction | Qt::CopyAction;
    QDragEnterEvent enter(at, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
      return;
    QDragMoveEvent move(at, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    if (!move.isAccepted())
      return;
    QDropEvent drop(at, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
  }

  void pressKey(QWidget* window) {
    static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab,  Qt::Key_Space,
                                   Qt::Key_Delete, Qt::Key_Up,     Qt::Key_Down, Qt::Key_PageDown,
                                   Qt::Key_Home,   Qt::Key_End,    Qt::Key_F1,   Qt::Key_Backspace};
    const Qt::Key key = keys[Pick(random_, 12)];
    QWidget* focus = QApplication::focusWidget();
    QWidget* target = focus && focus->window() == window ? focus : window;
    step(window,
         QStringLiteral("Taste %1 an %2").arg(QKeySequence(key).toString(), NameOf(target)));
    QTest::keyClick(target, key);
  }

  void openWindow() {
    static const Command commands[] = {Command::Sektoren, Command::Serien,   Command::Systemtest,
                                       Command::Zufall,   Command::Delta,    Command::Optionen,
                                       Command::Save,     Command::Kalender, Command::Info};
    if (QApplication::activeModalWidget())
      return;
    const int which = Pick(random_, 9);
    log_.write(QStringLiteral("%1 öffne Fenster %2").arg(steps_).arg(which));
    app_.open(commands[which]);
  }

  void closeWindow(QWidget* window) {
    if (EndingWindows.count(window->objectName()))
      return;
    step(window, QStringLiteral("schließe"));
    window->close();
  }

  [[noreturn]] void fail(const QString& what) {
    std::fprintf(stderr, "Soak: Schritt %lld: %s\n", static_cast<long long>(steps_),
                 what.toUtf8().constData());
    log_.printRecent();
    std::fflush(stderr);
    std::abort();
  }

  // The table's counts equal its rows; no count in the main window's result grids is larger
  // than the coups the table has held.
  void check() {
    const PermanenceTable& table = app_.workspace().table();
    const std::vector<uint8_t> values = table.RowValues();
    const auto coups =
        std::count_if(values.begin(), values.end(), [](uint8_t v) { return v <= 36; });
    const auto hands = std::count(values.begin(), values.end(), HandChangeCode);
    if (static_cast<int>(values.size()) != table.UsedRows() || coups != table.CoupCount() ||
        hands != table.HandChangeCount())
      fail(QStringLiteral("Tabelle: %1 Zeilen, %2 Coups und %3 Handwechsel gezählt, %4 Coups und "
                          "%5 Handwechsel gemeldet")
               .arg(values.size())
               .arg(coups)
               .arg(hands)
               .arg(table.CoupCount())
               .arg(table.HandChangeCount()));
    if (table.TopRow() < 1 || table.RowCount() <= table.UsedRows())
      fail(QStringLiteral("Tabelle: Zeilenzahl %1, oberste Zeile %2 bei %3 Zeilen")
               .arg(table.RowCount())
               .arg(table.TopRow())
               .arg(table.UsedRows()));
    mostCoups_ = std::max(mostCoups_, table.CoupCount());
    if (app_.fHaupt())
      checkResultGrids(app_.fHaupt());
  }

  void checkResultGrids(QWidget* window) {
    for (QTableView* grid : window->findChildren<QTableView*>()) {
      auto* model = qobject_cast<ResultGridModel*>(grid->model());
      if (!model)
        continue;
      for (int row = 0; row < model->rowCount(); ++row)
        for (int column = 0; column < model->columnCount(); ++column) {
          bool number = false;
          const qlonglong count = model->index(row, column).data().toString().toLongLong(&number);
          // A series grid's first column numbers its rows (the series lengths).
          const bool rowNumber = column == 0 && count == row + 1;
          if (number && !rowNumber && count > mostCoups_)
            fail(QStringLiteral(
                     "%1 Zeile %2 Spalte %3 zeigt %4, die Tabelle hatte höchstens %5 Coups")
                     .arg(NameOf(grid))
                     .arg(row)
                     .arg(column)
                     .arg(count)
                     .arg(mostCoups_));
        }
    }
  }

  Application& app_;
  Random& random_;
  RandomDialogs& dialogs_;
  StepLog& log_;
  qint64 seconds_;
  qint64 stepLimit_;
  qint64 steps_ = 0;
  int mostCoups_ = 0;
  std::set<QString> visited_;
  QElapsedTimer clock_;
  bool finished_ = false;
};

// A fatal message (a model tester's breach) shows the last steps before it ends the run.
StepLog* fatalLog = nullptr;
QtMessageHandler previousHandler = nullptr;

void ReportFatal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg && fatalLog) {
    std::fprintf(stderr, "Soak: %s\n", message.toUtf8().constData());
    fatalLog->printRecent();
  }
  previousHandler(type, context, message);
}

struct Options {
  qint64 seconds = 60;
  quint64 seed = 1;
  qint64 steps = -1;
  QString log;
};

Options ParseOptions(const QStringList& args) {
  Options options;
  for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == QLatin1String("--sekunden"))
      options.seconds = args[i + 1].toLongLong();
    else if (args[i] == QLatin1String("--seed"))
      options.seed = args[i + 1].toULongLong();
    else if (args[i] == QLatin1String("--schritte"))
      options.steps = args[i + 1].toLongLong();
    else if (args[i] == QLatin1String("--protokoll"))
      options.log = args[i + 1];
  }
  return options;
}

} // namespace
} // namespace kw::soak

int main(int argc, char* argv[]) {
  using namespace kw;
  using namespace kw::soak;
  QApplication qapp(argc, argv);
  test::PrepareApplication();
  const Options options = ParseOptions(QApplication::arguments());

  QTemporaryDir dataDir;
  qputenv("KESSELWERK_DATA_DIR", dataDir.path().toLocal8Bit());
  const QString filesDir = dataDir.path() + QStringLiteral("/Permanenzen");
  const QString saveDir = dataDir.path() + QStringLiteral("/Gespeichert");
  WriteFiles(filesDir);
  QDir().mkpath(saveDir);

  Random random(options.seed);
  auto dialogs = std::make_unique<RandomDialogs>(random, filesDir, saveDir);
  RandomDialogs& answers = *dialogs;
  Dialogs::install(std::move(dialogs));
  test::RecordingPlatform platform;
  platform.online = false;
  platform.desktopAccepts = false;
  DesktopPlatform::use(&platform);

  StepLog log(options.log);
  fatalLog = &log;
  previousHandler = qInstallMessageHandler(ReportFatal);
  int exitCode = 0;
  {
    Application app;
    app.Start();
    // Past the start window, as a user clicks "Weiter".
    if (QWidget* weiter =
            app.fStart() ? app.fStart()->findChild<QAbstractButton*>("BWeiter") : nullptr)
      static_cast<QAbstractButton*>(weiter)->click();
    Soak soak(app, random, answers, log, options.seconds, options.steps);

    // A step that does not end within two minutes is a hang: the run fails with its steps.
    std::atomic<bool> done{false};
    std::thread watchdog([&] {
      while (!done) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        static qint64 last = -1;
        static int still = 0;
        const qint64 progress = soak.lastProgress;
        still = progress == last ? still + 1 : 0;
        last = progress;
        if (still > 120) {
          std::fputs("Soak: ein Schritt endet nicht (über 120 s)\n", stderr);
          log.printRecent();
          std::abort();
        }
      }
    });
    exitCode = QApplication::exec();
    done = true;
    watchdog.join();
    std::printf("Soak: Seed %llu, %lld Schritte, %zu Fenster besucht (",
                static_cast<unsigned long long>(options.seed), static_cast<long long>(soak.steps()),
                soak.visited().size());
    bool first = true;
    for (const QString& name : soak.visited()) {
      std::printf("%s%s", first ? "" : ", ", name.toUtf8().constData());
      first = false;
    }
    std::printf("), %d Meldungen beantwortet, Tabelle am Ende %d Coups\n", answers.messages,
                app.workspace().table().CoupCount());
  }
  DesktopPlatform::use(nullptr);
  return exitCode;
}
