// F1 in every window opens the help at that window's own page.
#include "support/WindowTestHarness.h"
#include "ui/Application.h"
#include "ui/FAnalyse1.h"
#include "ui/FAnalyse3.h"
#include "ui/FChart1.h"
#include "ui/FDelta.h"
#include "ui/FHaupt.h"
#include "ui/FImport.h"
#include "ui/FOpSektoren.h"
#include "ui/FOptionen.h"
#include "ui/FSpeichern1.h"
#include "ui/FStart.h"
#include "ui/FZufall.h"
#include "ui/Help.h"
#include "ui/HelpWindow.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

using namespace kw;
using namespace kw::test;

namespace {

QWidget* openWindow(WindowTestHarness& h, const QString& name) {
  Application& app = h.app();
  if (name == QLatin1String("FStart")) {
    app.Start();
    return app.fStart();
  }
  if (name == QLatin1String("FImport")) {
    const QString list = h.dataDir() + QStringLiteral("liste.txt");
    QFile file(list);
    const QByteArray bytes = "17,4,32,0,15\r\n";
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
      return nullptr;
    file.close();
    std::vector<ImportAnalysis> analyses = {AnalysePermanenceImport(list, {})};
    return new FImport(app.workspace(), std::move(analyses), app.fHaupt());
  }
  const QList<QWidget*> startup = {app.fHaupt(),      app.fAnalyse1(), app.fAnalyse3(),
                                   app.fOpSektoren(), app.fChart1(),   app.fZufall(),
                                   app.fDelta(),      app.fOptionen(), app.fSpeichern1()};
  for (QWidget* w : startup)
    if (w->objectName() == name)
      return w;
  return app.OpenOnDemand(name);
}

// The control that has the keyboard focus when the window is shown, or the window.
QWidget* focusInside(QWidget* window) {
  QWidget* focus = QApplication::focusWidget();
  return focus && window->isAncestorOf(focus) ? focus : window;
}

} // namespace

class HelpKeysTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    PrepareApplication();
    QVERIFY2(QFileInfo::exists(Help::CollectionFile()), "the help collection is not found");
  }

  void f1OpensTheWindowsPage_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("context");
    const std::pair<const char*, int> windows[] = {
        {"FStart", 2000},      {"FHaupt", 1050},      {"FAnalyse1", 1100}, {"FAnalyse3", 1080},
        {"FOpSektoren", 1090}, {"FChart1", 1110},     {"FZufall", 2000},   {"FDelta", 1140},
        {"FOptionen", 1120},   {"FSpeichern1", 2000}, {"FKal", 1009},      {"FUpdate", 2000},
        {"FInfo", 1011},       {"FImport", 1170}};
    for (auto [window, context] : windows)
      QTest::addRow("%s", window) << QString::fromLatin1(window) << context;
  }

  void f1OpensTheWindowsPage() {
    QFETCH(QString, window);
    QFETCH(int, context);
    WindowTestHarness h(window != QLatin1String("FStart"));
    QWidget* w = openWindow(h, window);
    QVERIFY(w);
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));

    QTest::keyClick(focusInside(w), Qt::Key_F1);

    HelpWindow* help = Help::instance().window();
    QVERIFY2(help && help->isVisible(), "F1 did not open the help");
    QCOMPARE(help->currentContext(), context);
    // A page of the collection, not the note that the part has no page.
    QVERIFY2(help->currentPage().toString().endsWith(QLatin1String(".html")),
             qPrintable(help->currentPage().toString()));
    help->close();
    w->close();
  }

  // The program ends with the help still open and its search index perhaps still being
  // written: the window goes with the application, so no indexing thread outlives it and
  // runs on while the process takes the database driver down.
  void theOpenHelpEndsWithTheApplication() {
    {
      WindowTestHarness h;
      Help::instance().showSearch();
      QVERIFY(Help::instance().window());
    }
    QVERIFY(!Help::instance().window());
  }
};

QTEST_MAIN(HelpKeysTest)
#include "test_help_keys.moc"
