// The application shell as a user meets it: start-up, the number pad and the table, the
// menus and toolbars of every window, on-demand windows, help and the calculator.
#include "support/WindowActions.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/FAnalyse1.h"
#include "ui/FAnalyse3.h"
#include "ui/FChart1.h"
#include "ui/FHaupt.h"
#include "ui/FOpSektoren.h"
#include "ui/FStart.h"
#include "ui/Help.h"
#include "ui/HelpWindow.h"
#include "ui/WindowChrome.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QDialog>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QHelpContentModel>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

using namespace kw;
using namespace kw::test;

namespace {

QWidget* startupWindow(Application& app, const QString& name) {
  const QList<QWidget*> windows = {app.fHaupt(), app.fAnalyse1(), app.fAnalyse3(),
                                   app.fOpSektoren(), app.fChart1()};
  for (QWidget* w : windows)
    if (w->objectName() == name)
      return w;
  return nullptr;
}

// Closes whatever a menu entry may have opened, so the next case starts clean.
void closeEverythingBut(Application& app, QWidget* keep) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != keep && w->isVisible())
      w->close();
  if (Help::instance().window())
    Help::instance().window()->close();
  QApplication::processEvents();
  (void)app;
}

// Answers a modal window by recording its name and closing it.
QString runAndCatchModal(const std::function<void()>& action) {
  QString shown;
  QTimer::singleShot(0, [&shown] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      shown = modal->objectName();
      modal->close();
    }
  });
  action();
  return shown;
}

} // namespace

class ShellTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { PrepareApplication(); }

  void startWindowFadesInTheMainWindow() {
    WindowTestHarness h(false);
    h.app().Start();
    QPointer<FStart> start = h.app().fStart();
    QVERIFY(start && start->isVisible());
    QCOMPARE(start->windowTitle(), QStringLiteral("Kesselwerk 1.3.1.0"));
    QCOMPARE(Find<QLabel>(start, QStringLiteral("LVersion"))->text(), QStringLiteral("1.3.1.0"));
    QCOMPARE(h.app().fHaupt()->windowOpacity(), 0.0);
    // Not shown before "Weiter": without a compositor a transparent window would show.
    QVERIFY(!h.app().fHaupt()->isVisible());
    QCOMPARE(h.app().fHaupt()->windowTitle(), QStringLiteral("Kesselwerk 1.3.1.0  - Zentrale"));

    auto* weiter = Find<QPushButton>(start, QStringLiteral("BWeiter"));
    QVERIFY(weiter->isEnabled());
    QTest::mouseClick(weiter, Qt::LeftButton);
    QTRY_VERIFY(start.isNull());
    QCOMPARE(h.app().fHaupt()->windowOpacity(), 1.0);
    QVERIFY(h.app().fHaupt()->isVisible());
  }

  void padEntriesAppearInTheirColourColumns() {
    WindowTestHarness h;
    FHaupt* main = h.app().fHaupt();
    auto* grid = Find<QTableView>(main, QStringLiteral("GNum"));
    clickPad(main, {4, 0, 50, 32});
    const QStringList expected[] = {{"1", "4", "", ""},
                                    {"2", "", "0", ""},
                                    {"HW", "---", "-", "---"},
                                    {"3", "", "", "32"}}; // "-": the list's first marker
    for (int row = 1; row <= 4; ++row)
      for (int column = 0; column < 4; ++column)
        QCOMPARE(cell(grid, row, column), expected[row - 1][column]);
    QCOMPARE(main->table().CoupCount(), 3);
    QCOMPARE(main->table().HandChangeCount(), 1);
    QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Coup"));
  }

  void deletingAndGrowingTheTable() {
    WindowTestHarness h;
    FHaupt* main = h.app().fHaupt();
    auto* grid = Find<QTableView>(main, QStringLiteral("GNum"));
    clickPad(main, {60}); // "Letzte löschen" on an empty table
    QCOMPARE(grid->model()->rowCount(), 29);
    for (int i = 0; i < 30; ++i)
      clickPad(main, {i % 37});
    QCOMPARE(grid->model()->rowCount(), 30);
    QCOMPARE(cell(grid, 30, 0), QStringLiteral("30"));
    QCOMPARE(grid->rowAt(0), 30 - 24); // the newest entries are shown at the bottom
    clickPad(main, {60}); // "Letzte löschen": the grid shows the last row gone at once
    QCOMPARE(grid->verticalHeader()->count(), 29); // the view's rows, not the model's
    QCOMPARE(cell(grid, 29, 0), QStringLiteral("29"));
    clickPad(main, {29});

    QTest::mouseClick(Find<QPushButton>(main, QStringLiteral("BDel2")), Qt::LeftButton);
    QCOMPARE(main->table().UsedRows(), 0);
    QCOMPARE(grid->model()->rowCount(), 30); // the grid keeps its rows
    QCOMPARE(grid->rowAt(0), 0);
    QCOMPARE(cell(grid, 1, 0), QString());

    clickPad(main, {7, 61}); // "Alle löschen" leaves 24 grid rows (23 below the heading)
    QCOMPARE(grid->model()->rowCount(), 23);
  }

  // The sector window comes up centred on the main window the first time, then stays where
  // the user put it.
  void sectorWindowOpensOverTheMainWindowOnce() {
    WindowTestHarness h;
    FHaupt* main = h.app().fHaupt();
    main->move(120, 40);
    main->show();
    FOpSektoren* sectors = h.app().fOpSektoren();
    h.app().open(Command::Sektoren);
    QVERIFY(
        (sectors->frameGeometry().center() - main->frameGeometry().center()).manhattanLength() <=
        2);
    sectors->hide();
    sectors->move(0, 0);
    h.app().open(Command::Sektoren);
    QCOMPARE(sectors->pos(), QPoint(0, 0));
    sectors->hide();
    main->hide();
  }

  void calendarIsOneWindowUntilClosed() {
    WindowTestHarness h;
    QWidget* first = h.app().OpenOnDemand(QStringLiteral("FKal"));
    QVERIFY(Application::FormExists(QStringLiteral("FKal")));
    QCOMPARE(first->findChild<QCalendarWidget*>(QStringLiteral("MC1"))->selectedDate(),
             QDate::currentDate());
    first->showMinimized();
    QCOMPARE(h.app().OpenOnDemand(QStringLiteral("FKal")), first);
    QVERIFY(!first->isMinimized());

    QPointer<QWidget> closed = first;
    QTest::mouseClick(Find<QPushButton>(first, QStringLiteral("BitBtn8")), Qt::LeftButton);
    QVERIFY(!Application::FormExists(QStringLiteral("FKal")));
    QTRY_VERIFY(closed.isNull());
    QWidget* second = h.app().OpenOnDemand(QStringLiteral("FKal"));
    QVERIFY(second);
    second->close();
  }

  // A date being typed into the calendar when it closes is cancelled, so its input frame
  // goes too (left open, the calendar never freed what the input holds).
  void closingTheCalendarCancelsADateBeingTyped() {
    WindowTestHarness h;
    QWidget* window = h.app().OpenOnDemand(QStringLiteral("FKal"));
    auto* calendar = window->findChild<QCalendarWidget*>(QStringLiteral("MC1"));
    auto* view =
        calendar->findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview"));
    QVERIFY(view);
    const auto openDateInputs = [calendar] {
      int open = 0;
      for (QFrame* frame : calendar->findChildren<QFrame*>(Qt::FindDirectChildrenOnly))
        open += frame->frameShape() == QFrame::Box && frame->isVisible();
      return open;
    };
    QCOMPARE(openDateInputs(), 0);
    QTest::keyClick(view, Qt::Key_1);
    QCOMPARE(openDateInputs(), 1);
    QPointer<QWidget> closed = window;
    window->close();
    QCOMPARE(openDateInputs(), 0);
    QTRY_VERIFY(closed.isNull());

    // Still typing when the program ends (the window is freed without closing).
    window = h.app().OpenOnDemand(QStringLiteral("FKal"));
    view = window->findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview"));
    QTest::keyClick(view, Qt::Key_2);
  }

  void menusAndToolbarsOpenWhatTheySay_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("effect");
    struct Row {
      const char* window;
      const char* control;
      const char* effect;
    };
    // The entries every window shares.
    const Row common[] = {
        {"miKalender", "", "ondemand:FKal"},
        {"tbKalender", "", "ondemand:FKal"},
        {"miZufall", "", "show:FZufall"},
        {"tbZufall", "", "show:FZufall"},
        {"miDelta", "", "show:FDelta"},
        {"tbDelta", "", "show:FDelta"},
        {"miUpdate", "", "ondemand:FUpdate"},
        {"tbUpdate", "", "ondemand:FUpdate"},
        {"miHilfeUpdate", "", "ondemand:FUpdate"},
        {"miEinstellungen", "", "modal:FOptionen"},
        {"tbEinstellungen", "", "modal:FOptionen"},
        {"miHilfeInhalt", "", "help:1010"},
        {"miHilfeSuchen", "", "helpsearch"},
        {"miInfo", "", "ondemand:FInfo"},
        {"miRechner", "", "calculator"},
        {"tbRechner", "", "calculator"},
        {"miBeenden", "", "closed"},
    };
    const std::pair<const char*, int> windows[] = {{"FHaupt", 1050},
                                                   {"FAnalyse1", 1100},
                                                   {"FAnalyse3", 1080},
                                                   {"FOpSektoren", 1090},
                                                   {"FChart1", 1110}};
    for (auto [window, context] : windows) {
      for (const Row& r : common)
        QTest::addRow("%s %s", window, r.window) << window << r.window << r.effect;
      const QString help = QStringLiteral("help:%1").arg(context);
      QTest::addRow("%s miHilfeProgrammteil", window) << window << "miHilfeProgrammteil" << help;
    }
    const Row specific[] = {
        {"FHaupt", "tbSchliessen", "closed"},
        {"FHaupt", "Button1", "help:1050"},
        {"FHaupt", "miSpeichernUnter", "modal:FSpeichern1"},
        {"FHaupt", "tbSpeichern", "modal:FSpeichern1"},
        {"FHaupt", "miSektoren", "show:FOpSektoren"},
        {"FHaupt", "tbSektoren", "show:FOpSektoren"},
        {"FHaupt", "miSerien", "show:FAnalyse1"},
        {"FHaupt", "tbSerien", "show:FAnalyse1"},
        {"FHaupt", "miSystemtest", "show:FAnalyse3"},
        {"FHaupt", "tbSystemtest", "show:FAnalyse3"},
        {"FHaupt", "miSignifikanz", "show:FSignifikanz"},
        {"FAnalyse1", "tbHilfe", "help:1100"},
        {"FAnalyse1", "miOeffnen", "absent"},
        {"FAnalyse1", "tbOeffnen", "absent"},
        {"FAnalyse1", "miSektoren", "absent"},
        {"FAnalyse1", "miSerien", "show:FAnalyse1"},
        {"FAnalyse1", "miSystemtest", "show:FAnalyse3"},
        {"FAnalyse1", "tbSerien", "hidden"},
        {"FAnalyse1", "tbSektoren", "show:FOpSektoren"},
        {"FAnalyse3", "Button4", "help:1080"},
        {"FAnalyse3", "Button6", "disabled"},
        {"FAnalyse3", "miSerien", "show:FAnalyse1"},
        {"FAnalyse3", "miSektoren", "absent"},
        {"FAnalyse3", "miSystemtest", "absent"},
        {"FAnalyse3", "tbSektoren", "show:FOpSektoren"},
        {"FAnalyse3", "tbSchliessen", "closed"},
        {"FOpSektoren", "tbHilfe", "help:1090"},
        {"FOpSektoren", "tbSektoren", "hidden"},
        {"FOpSektoren", "miSektoren", "absent"},
        {"FOpSektoren", "miSerien", "show:FAnalyse1"},
        {"FOpSektoren", "miSystemtest", "show:FAnalyse3"},
        {"FOpSektoren", "tbSystemtest", "show:FAnalyse3"},
        {"FChart1", "tbHilfe", "help:1110"},
        {"FChart1", "miOeffnen", "absent"},
        {"FChart1", "miSerien", "show:FAnalyse1"},
        {"FChart1", "tbSerien", "show:FAnalyse1"},
        {"FChart1", "tbSektoren", "show:FOpSektoren"},
        {"FChart1", "miSystemtest", "show:FAnalyse3"},
        {"FChart1", "tbSchliessen", "closed"},
    };
    for (const Row& r : specific)
      QTest::addRow("%s %s", r.window, r.control) << r.window << r.control << r.effect;
  }

  void menusAndToolbarsOpenWhatTheySay() {
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QString, effect);

    // A calculator that leaves a mark when started, found first on the PATH.
    QTemporaryDir bin;
    const QString mark = bin.filePath(QStringLiteral("started"));
    QFile fake(bin.filePath(QStringLiteral("gnome-calculator")));
    QVERIFY(fake.open(QIODevice::WriteOnly));
    fake.write(QStringLiteral("#!/bin/sh\ntouch '%1'\n").arg(mark).toUtf8());
    fake.close();
    fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit() + ":" + oldPath);

    WindowTestHarness h;
    QWidget* host = startupWindow(h.app(), window);
    QVERIFY(host);
    host->show();
    auto* action = host->findChild<QAction*>(control);
    auto* button = host->findChild<QToolButton*>(control);

    if (effect == QLatin1String("absent")) {
      QVERIFY(!action && (!button || !button->isVisibleTo(host)));
    } else if (effect == QLatin1String("hidden")) {
      QVERIFY(button && !button->isVisibleTo(host) && !button->isEnabled());
    } else if (effect == QLatin1String("disabled")) {
      QVERIFY(button && button->isVisibleTo(host) && !button->isEnabled());
    } else {
      QVERIFY2(action || button, qPrintable(control));
      auto activate = [&] {
        if (action)
          action->trigger();
        else
          QTest::mouseClick(button, Qt::LeftButton);
      };
      if (effect.startsWith(QLatin1String("modal:"))) {
        QCOMPARE(runAndCatchModal(activate), effect.mid(6));
      } else {
        activate();
        if (effect.startsWith(QLatin1String("show:"))) {
          QWidget* shown = nullptr;
          for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == effect.mid(5))
              shown = w;
          QVERIFY(shown && shown->isVisible());
        } else if (effect.startsWith(QLatin1String("ondemand:"))) {
          QVERIFY(Application::FormExists(effect.mid(9)));
        } else if (effect.startsWith(QLatin1String("help:"))) {
          QVERIFY(Help::instance().window() && Help::instance().window()->isVisible());
          QCOMPARE(Help::instance().window()->currentContext(), effect.mid(5).toInt());
          QVERIFY(!Help::instance().window()->currentPage().isEmpty());
        } else if (effect == QLatin1String("helpsearch")) {
          QVERIFY(Help::instance().window()->searchShown());
        } else if (effect == QLatin1String("calculator")) {
          QTRY_VERIFY(QFile::exists(mark));
        } else if (effect == QLatin1String("closed")) {
          QVERIFY(!host->isVisible());
        } else {
          QFAIL(qPrintable(QStringLiteral("unknown effect ") + effect));
        }
      }
    }
    QVERIFY(h.dialogs().calls.isEmpty());
    closeEverythingBut(h.app(), nullptr);
    qputenv("PATH", oldPath);
  }

  void everyHelpContextHasItsPage_data() {
    QTest::addColumn<int>("context");
    for (int context : {1010, 1050, 110, 1100, 1110, 1090, 100, 1080, 1070, 1120, 1140, 165, 2000,
                        1009, 1011, 1160})
      QTest::addRow("%d", context) << context;
  }

  void everyHelpContextHasItsPage() {
    QFETCH(int, context);
    Help::instance().showContext(context);
    HelpWindow* help = Help::instance().window();
    QVERIFY(help);
    QVERIFY2(help->currentPage().toString().endsWith(QLatin1String(".html")),
             qPrintable(help->currentPage().toString()));
    help->close();
  }

  // One click on an entry of the contents opens its page.
  void helpContentsOpenAPageOnOneClick() {
    Help::instance().showContext(1050);
    HelpWindow* help = Help::instance().window();
    QVERIFY(help);
    auto* contents = help->findChild<QTreeView*>(QStringLiteral("HelpContents"));
    QVERIFY(contents);
    QTRY_VERIFY(contents->model()->rowCount() > 0);
    contents->expandAll();
    const QUrl before = help->currentPage();
    // The first entry in view whose page is not the one shown.
    auto* model = qobject_cast<QHelpContentModel*>(contents->model());
    QVERIFY(model);
    QModelIndex target;
    for (QModelIndex index = model->index(0, 0); index.isValid() && !target.isValid();
         index = contents->indexBelow(index))
      if (model->contentItemAt(index)->url() != before &&
          contents->viewport()->rect().contains(contents->visualRect(index).center()))
        target = index;
    QVERIFY(target.isValid());
    QTest::mouseClick(contents->viewport(), Qt::LeftButton, Qt::NoModifier,
                      contents->visualRect(target).center());
    QTRY_COMPARE(help->currentPage(), model->contentItemAt(target)->url());
    help->close();
  }

  // Help asked for while a modal dialog is up comes on top of it, takes clicks and keys, and
  // closes back to the dialog.
  void helpFromAModalDialogIsUsableAndClosable_data() {
    QTest::addColumn<QString>("source");
    QTest::newRow("settings help button") << "FOptionen BHilfe";
    QTest::newRow("settings F1") << "FOptionen F1";
    QTest::newRow("settings F1, help already open") << "FOptionen F1 open";
    QTest::newRow("save dialog F1") << "FSpeichern1 F1";
    QTest::newRow("message box Hilfe") << "message box";
  }

  void helpFromAModalDialogIsUsableAndClosable() {
    QFETCH(QString, source);
    WindowTestHarness h;
    h.app().fHaupt()->show();
    if (source.endsWith(QLatin1String("open")))
      Help::instance().showContext(1050); // beside the windows, before the dialog opens
    bool helpShown = false, tookClick = false, closedByEscape = false, backToDialog = false;
    QString dialogName;
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (!dialog)
        return;
      dialogName = dialog->objectName();
      dialog->activateWindow();
      if (QTest::qWaitForWindowActive(dialog)) {
        if (source.contains(QLatin1String("F1")))
          QTest::keyClick(dialog, Qt::Key_F1);
        else if (source.endsWith(QLatin1String("BHilfe")))
          QTest::mouseClick(Find<QPushButton>(dialog, QStringLiteral("BHilfe")), Qt::LeftButton);
        else if (auto* box = qobject_cast<QMessageBox*>(dialog))
          for (QAbstractButton* button : box->buttons())
            if (box->buttonRole(button) == QMessageBox::HelpRole)
              button->click();
      }
      QPointer<HelpWindow> help = Help::instance().window();
      helpShown = help && help->isVisible() && QTest::qWaitForWindowActive(help);
      if (helpShown) {
        // A click on the "Suche" tab and Escape, as the window system delivers them.
        auto* tabs = Find<QTabWidget>(help, QStringLiteral("HelpTabs"));
        tabs->setCurrentIndex(0);
        const QPoint tab = tabs->tabBar()->mapTo(help, tabs->tabBar()->tabRect(1).center());
        QTest::mouseClick(help->windowHandle(), Qt::LeftButton, {}, tab);
        tookClick = help->searchShown();
        QTest::keyClick(help->windowHandle(), Qt::Key_Escape);
        closedByEscape = QTest::qWaitFor([&] { return !help->isVisible(); });
        backToDialog = QApplication::activeModalWidget() == dialog &&
                       QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog; });
      }
      if (help)
        help->close();
      dialog->close();
    });
    if (source.startsWith(QLatin1String("FOptionen"))) {
      h.app().open(Command::Optionen);
    } else if (source.startsWith(QLatin1String("FSpeichern1"))) {
      h.app().open(Command::Save);
    } else {
      QtDialogs().confirm(h.app().fHaupt(),
                          QStringLiteral("Soll der Bezeichner X gelöscht werden?"),
                          Dialogs::YesButton | Dialogs::NoButton | Dialogs::HelpButton, 110);
    }
    if (!source.startsWith(QLatin1String("message")))
      QCOMPARE(dialogName, source.section(QLatin1Char(' '), 0, 0));
    QVERIFY(helpShown);
    QVERIFY(tookClick);
    QVERIFY(closedByEscape);
    QVERIFY(backToDialog);
    QVERIFY(!QApplication::activeModalWidget());
    closeEverythingBut(h.app(), nullptr);
  }

  void missingCalculatorIsReported() {
    const QByteArray oldPath = qgetenv("PATH");
    QTemporaryDir empty;
    qputenv("PATH", empty.path().toLocal8Bit());
    WindowTestHarness h;
    h.app().fHaupt()->chrome()->trigger(Command::Rechner);
    qputenv("PATH", oldPath);
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(h.dialogs().calls[0].kind, QStringLiteral("error"));
    QVERIFY(h.dialogs().calls[0].text.startsWith(
        QStringLiteral("Es wurde kein Taschenrechner gefunden.")));
  }
};

QTEST_MAIN(ShellTest)
#include "test_shell.moc"
