// F1 in every window opens the help at that window's own page.
#include "support/WindowTestHarness.h"
#include "ui/Application.h"
#include "ui/FAnalyse1.h"
#include "ui/FAnalyse3.h"
#include "ui/FChart1.h"
#include "ui/FChart2.h"
#include "ui/FDelta.h"
#include "ui/FHaupt.h"
#include "ui/FHeatMap.h"
#include "ui/FImport.h"
#include "ui/FOpSektoren.h"
#include "ui/FOptionen.h"
#include "ui/FSpeichern1.h"
#include "ui/FStart.h"
#include "ui/FZufall.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/HelpWindow.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QXmlStreamReader>
#include <QtTest>

using namespace kw;
using namespace kw::test;

namespace {

QWidget* openWindow(WindowTestHarness& h, const QString& name) {
  Application& app = h.app();
  // A picture of the system test, as "Verlauf..." opens it.
  if (name == QLatin1String("FChart2")) {
    auto* chart = new FChart2(app.fAnalyse3());
    chart->ShowRunningNet(std::vector<int64_t>{120, -45, 30});
    return chart;
  }
  // The heat map of a search, as "Heatmap..." opens it.
  if (name == QLatin1String("FHeatMap")) {
    auto* map = new FHeatMap(app.fHaupt());
    map->ShowHeatMap({.title = QStringLiteral("Netto-Ergebnis"),
                      .rowName = QStringLiteral("vorlauf"),
                      .columnName = QStringLiteral("angriffe"),
                      .rowLabels = {QStringLiteral("2"), QStringLiteral("3")},
                      .columnLabels = {QStringLiteral("1")},
                      .values = {120.0, -45.0},
                      .texts = {QStringLiteral("120 €"), QStringLiteral("-45 €")},
                      .unit = QStringLiteral(" €")});
    return map;
  }
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

  // The program's topics and the help project's keyword ids are one list: a page without
  // a topic cannot be opened from the program, a topic without a page opens the note that
  // there is none.
  void theTopicsAreTheHelpProjectsKeywords() {
    QFile project(QStringLiteral(KESSELWERK_HELP_PROJECT));
    QVERIFY(project.open(QIODevice::ReadOnly));
    QSet<int> keywords;
    QXmlStreamReader xml(&project);
    while (!xml.atEnd())
      if (xml.readNext() == QXmlStreamReader::StartElement &&
          xml.name() == QLatin1String("keyword"))
        keywords.insert(xml.attributes().value(QLatin1String("id")).toInt());
    QVERIFY(!xml.hasError());
    QSet<int> topics;
    for (help::Topic topic : help::AllTopics)
      topics.insert(topic);
    QCOMPARE(topics.size(), static_cast<qsizetype>(std::size(help::AllTopics)));
    QCOMPARE(keywords, topics);
  }

  void f1OpensTheWindowsPage_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("context");
    const std::pair<const char*, int> windows[] = {{"FStart", help::Tools},
                                                   {"FHaupt", help::Zentrale},
                                                   {"FAnalyse1", help::SeriesLengths},
                                                   {"FAnalyse3", help::SystemTest},
                                                   {"FOpSektoren", help::Sectors},
                                                   {"FChart1", help::FrequencyChart},
                                                   {"FChart2", help::SystemTestPictures},
                                                   {"FZufall", help::Tools},
                                                   {"FDelta", help::Delta},
                                                   {"FOptionen", help::Settings},
                                                   {"FSpeichern1", help::Tools},
                                                   {"FKal", help::Calendar},
                                                   {"FUpdate", help::Tools},
                                                   {"FInfo", help::Info},
                                                   {"FSignifikanz", help::Significance},
                                                   {"FSysteme", help::Systems},
                                                   {"FImport", help::Import},
                                                   {"FSuche", help::ParameterSearch},
                                                   {"FHeatMap", help::ParameterSearch}};
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
