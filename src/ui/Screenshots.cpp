#include "ui/Screenshots.h"

#include "files/HandChangeMarkers.h"
#include "files/PermanenceImport.h"
#include "ui/Application.h"
#include "ui/DesktopPlatform.h"
#include "ui/Dialogs.h"
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
#include "ui/FSignifikanz.h"
#include "ui/FSpeichern1.h"
#include "ui/FStart.h"
#include "ui/FSuche.h"
#include "ui/FSysteme.h"
#include "ui/FUpdate.h"
#include "ui/FZufall.h"
#include "ui/FileSelector.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/HelpWindow.h"
#include "ui/LuaEditor.h"
#include "ui/MemoEdit.h"
#include "ui/ResultTabs.h"
#include "ui/WindowChrome.h"
#include "ui/frFrAnalyse2.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kw {
namespace {

void settle(int milliseconds = 150) {
  for (int i = 0; i < milliseconds / 10; ++i) {
    QApplication::processEvents();
    QThread::msleep(10);
  }
}

bool save(QWidget* window, const QString& folder, const QString& name) {
  settle();
  const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
  const bool ok = window->grab().save(path);
  std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
  return ok;
}

bool shoot(QWidget* window, const QString& folder, const QString& name) {
  window->show();
  window->raise();
  const bool ok = save(window, folder, name);
  window->hide();
  return ok;
}

// A short permanence as a user would type it: numbers, a hand change, more numbers.
void typeSamplePermanence(FHaupt* main) {
  for (int code : {4, 0, 32, 15, 50, 19, 21, 2, 25, 17, 34, 6, 27, 13, 36, 50, 11, 30, 8, 23})
    if (auto* b = main->findChild<QPushButton*>(QStringLiteral("num%1").arg(code)))
      b->click();
}

// Sample permanences "Tisch01.prm" ... in `folder`: file f holds coupsOf(f) numbers drawn
// by a small linear congruential generator from `seed`, so every run shows the same figures.
bool writeSamplePermanences(const QString& folder, int files, uint32_t seed,
                            const std::function<int(int)>& coupsOf) {
  uint32_t state = seed;
  for (int f = 1; f <= files; ++f) {
    QFile file(folder + QStringLiteral("/Tisch%1.prm").arg(f, 2, 10, QLatin1Char('0')));
    if (!file.open(QIODevice::WriteOnly))
      return false;
    for (int c = 0; c < coupsOf(f); ++c) {
      state = state * 134775813u + 1u;
      file.write(QByteArray::number((state >> 16) % 37) + "\r\n");
    }
  }
  return true;
}

// The series-length window after a run over a few sample permanences.
bool shootSeriesLengthRun(FAnalyse1* window, const QString& folder) {
  QTemporaryDir samples;
  if (!writeSamplePermanences(samples.path(), 12, 12345, [](int f) { return 20 * f; }))
    return false;
  window->fileSelector()->setDirectory(samples.path());
  window->fileSelector()->fileList()->selectAll();
  window->BAnalyseClick();
  bool ok = shoot(window, folder, QStringLiteral("FAnalyse1-Ergebnis"));
  // Scrolled to the last chances: the file names stay in view on the left.
  window->show();
  if (auto* grid = window->findChild<QTableView*>(QStringLiteral("g1")))
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
  ok &= shoot(window, folder, QStringLiteral("FAnalyse1-rechts"));
  return ok;
}

// The wide grids of the system test scrolled to their right ends: "Nr." and the stake
// table's first column stay in view.
bool shootSystemTestScrolledRight(FAnalyse3* window, const QString& folder) {
  window->show();
  for (QTableView* grid : window->findChildren<QTableView*>()) {
    if (grid->objectName().endsWith(QLatin1String("Fest")))
      continue;
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
  }
  return shoot(window, folder, QStringLiteral("FAnalyse3-rechts"));
}

// The open-file dialog of the main window, in German whatever the desktop's language.
bool shootOpenFileDialog(QWidget* parent, const QString& folder) {
  QTemporaryDir samples;
  for (const char* name : {"Spielbank Wiesbaden Tisch 1.prm", "Tisch02.prm", "Tisch03.prm"}) {
    QFile file(samples.filePath(QLatin1String(name)));
    if (file.open(QIODevice::WriteOnly))
      file.write("17\r\n4\r\n");
  }
  bool ok = false;
  QTimer::singleShot(400, [&ok, &folder] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog)
      return;
    ok = save(dialog, folder, QStringLiteral("Dateidialog-Oeffnen"));
    if (auto* fileDialog = qobject_cast<QDialog*>(dialog))
      fileDialog->reject();
  });
  Dialogs::FileRequest request;
  request.title = QStringLiteral("Datei öffnen");
  request.filter = QStringLiteral("Permanenz-Format (*.prm);;Alle Dateien (*.*)");
  request.startDir = samples.path();
  request.multiple = true;
  QtDialogs().openFiles(parent, request);
  return ok;
}

// The system test window after a run over sample permanences with a random comparison, and
// its three pictures.
bool shootSystemTestRun(FAnalyse3* window, const QString& folder) {
  QTemporaryDir samples;
  if (!writeSamplePermanences(samples.path(), 30, 4711, [](int) { return 370; }))
    return false;
  window->fileSelector()->setDirectory(samples.path());
  window->fileSelector()->fileList()->selectAll();
  window->CBZufall()->setChecked(true);
  window->ESeed()->setText(QStringLiteral("1"));
  window->BAnalyseClick();
  window->CBZufall()->setChecked(false);
  window->ESeed()->clear();
  bool ok = shoot(window, folder, QStringLiteral("FAnalyse3-Ergebnis"));
  window->show();
  window->BVerlaufClick();
  ok &= save(window->verlaufChart(), folder, QStringLiteral("FChart2-Verlauf"));
  window->verlaufChart()->close();
  window->BHistogrammClick();
  ok &= save(window->histogrammChart(), folder, QStringLiteral("FChart2-Histogramm"));
  window->histogrammChart()->close();
  frFrAnalyse2* frame = window->resultFrame(window->PC1()->currentIndex());
  frame->BKapitalClick();
  ok &= save(frame->kapitalChart(), folder, QStringLiteral("FChart2-Kapital"));
  frame->kapitalChart()->close();
  window->hide();
  return ok;
}

// The update window after a check that found a newer version, its installer downloaded
// and the news page shown. A small server on 127.0.0.1 answers, so nothing leaves the
// machine; the platform reports a connection and opens nothing.
bool shootUpdateCheck(Application& app, const QString& folder) {
  class ScreenshotPlatform : public SystemPlatform {
  public:
    bool isOnline() override { return true; }
    bool openWithDesktop(const QUrl&) override { return false; }
  } platform;
  QByteArray version(24, '\0');
  version[8] = 7;
  version.replace(9, 7, "1.3.2.0");
  const QHash<QByteArray, QByteArray> bodies = {
      {"/downloads/verinfos.kw", version},
      {"/downloads/kwupdate.exe", QByteArray("MZ") + QByteArray(2000, '\0')},
      {"/KW/aktuell.html",
       QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><h3>Version 1.3.2.0</h3>"
                      "<p>Die Serienlängen-Analyse liest große Verzeichnisse schneller, der "
                      "Systemtest zeigt die Summen übersichtlicher.</p><p><a "
                      "href=\"https://www.kesselwerk.de/KW/archiv.html\">Ältere "
                      "Neuigkeiten</a></p></body></html>")
           .toUtf8()}};
  QTcpServer server;
  if (!server.listen(QHostAddress::LocalHost, 0))
    return false;
  QObject::connect(&server, &QTcpServer::newConnection, &server, [&server, &bodies] {
    while (QTcpSocket* socket = server.nextPendingConnection()) {
      QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, &bodies] {
        const QByteArray request = socket->readAll();
        const QByteArray body = bodies.value(request.split(' ').value(1));
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
                      "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
      });
    }
  });
  qputenv("KESSELWERK_UPDATE_URL",
          QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()).toLatin1());
  DesktopPlatform::use(&platform);
  auto* window = qobject_cast<FUpdate*>(app.OpenOnDemand(QStringLiteral("FUpdate")));
  window->BProofClick();
  window->BDownClick();
  window->BAktuellClick();
  const bool ok = save(window, folder, QStringLiteral("FUpdate-Pruefung"));
  window->close();
  settle();
  DesktopPlatform::use(nullptr);
  qunsetenv("KESSELWERK_UPDATE_URL");
  return ok;
}

// The whole screen, where windows over each other show how they stack.
bool saveScreen(const QString& folder, const QString& name) {
  settle();
  const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
  const bool ok = QGuiApplication::primaryScreen()->grabWindow(0).save(path);
  std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
  return ok;
}

// The stake table with a stake being typed into a new column, the cell editor still open.
bool shootStakeEditor(FAnalyse3* window, const QString& folder) {
  window->show();
  QTableWidget* grid = window->GSaetze();
  grid->setCurrentCell(1, 13);
  grid->setFocus();
  grid->editItem(grid->item(1, 13));
  if (auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(grid->model()->index(1, 13))))
    editor->setText(QStringLiteral("12"));
  const bool ok = save(window, folder, QStringLiteral("FAnalyse3-Staffelung"));
  window->BTrashClick(); // commits and closes the editor
  window->hide();
  return ok;
}

// The settings window, modal, with the help opened from it by F1 on top.
bool shootHelpOverSettings(Application& app, const QString& folder) {
  bool ok = false;
  QTimer::singleShot(300, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog)
      return;
    Help::instance().showContext(help::Settings);
    settle(500);
    ok = saveScreen(folder, QStringLiteral("Hilfe-ueber-FOptionen"));
    if (Help::instance().window())
      Help::instance().window()->close();
    settle();
    dialog->close();
  });
  app.open(Command::Optionen);
  return ok;
}

// A file name for the export without the file dialog.
class ExportTarget : public QtDialogs {
public:
  explicit ExportTarget(QString path) : path_(std::move(path)) {}
  QString saveFile(QWidget*, const FileRequest&) override { return path_; }

private:
  QString path_;
};

// The progress of a long protocol export, shot while it runs.
bool shootExportProgress(const QString& folder) {
  QTemporaryDir target;
  Dialogs::install(std::make_unique<ExportTarget>(target.filePath(QStringLiteral("lang.xlsx"))));
  frFrAnalyse2 frame(0, {}, std::vector<ProtocolRow>(400000, ProtocolRow{"1", "17", "5", "", ""}));
  frame.resize(385, 400);
  frame.show();
  bool ok = false;
  QTimer::singleShot(400, [&] {
    if (auto* progress = frame.findChild<QProgressDialog*>(QStringLiteral("ExportProgress")))
      ok = save(progress, folder, QStringLiteral("Export-Fortschritt"));
  });
  frame.Button2Click();
  Dialogs::install(std::make_unique<QtDialogs>());
  return ok;
}

// The parameter search: empty, then after a search of Vorlauf x Angriffe over sample
// permanences with its reality check, sorted by Netto-Ergebnis, and its heat map.
bool shootSearch(Application& app, const QString& folder) {
  auto* window = qobject_cast<FSuche*>(app.OpenOnDemand(QStringLiteral("FSuche")));
  bool ok = save(window, folder, QStringLiteral("FSuche"));
  QTemporaryDir samples;
  if (!writeSamplePermanences(samples.path(), 40, 1999, [](int) { return 370; }))
    return false;
  window->fileSelector()->setDirectory(samples.path());
  window->fileSelector()->fileList()->selectAll();
  window->findChild<QLineEdit*>(QStringLiteral("ESeed"))->setText(QStringLiteral("7"));
  window->BStartClick();
  window->GErgebnis()->sortByColumn(3, Qt::DescendingOrder);
  ok &= save(window, folder, QStringLiteral("FSuche-Ergebnis"));
  window->BHeatmapClick();
  if (window->heatMap()) {
    ok &= save(window->heatMap(), folder, QStringLiteral("FHeatMap"));
    window->heatMap()->close();
  }
  window->close();
  return ok;
}

// The significance window over a longer permanence with a hand change every 400 coups, each
// of its tabs, and the sector window's grid coloured by the deviations of the same table.
bool shootSignificance(Application& app, const QString& folder) {
  std::vector<std::string> lines;
  uint32_t state = 2024;
  for (int c = 1; c <= 3700; ++c) {
    state = state * 134775813u + 1u;
    lines.push_back(std::to_string((state >> 16) % 37));
    if (c % 400 == 0)
      lines.emplace_back("HW");
  }
  app.workspace().TransferLines(lines);
  auto* window = qobject_cast<FSignifikanz*>(app.OpenOnDemand(QStringLiteral("FSignifikanz")));
  auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("PCSignifikanz"));
  const char* names[] = {"FSignifikanz", "FSignifikanz-Nummern", "FSignifikanz-Chancen",
                         "FSignifikanz-Wurfweiten", "FSignifikanz-Abschnitte"};
  bool ok = true;
  for (int i = 0; i < tabs->count(); ++i) {
    tabs->setCurrentIndex(i);
    ok &= save(window, folder, QLatin1String(names[i]));
  }
  window->close();

  FOpSektoren* sectors = app.fOpSektoren();
  sectors->ToolButton2Click();
  sectors->BitBtn1Click();
  sectors->findChild<QCheckBox*>(QStringLiteral("cbAbweichung"))->setChecked(true);
  ok &= shoot(sectors, folder, QStringLiteral("FOpSektoren-Abweichung"));
  return ok;
}

// The import dialog over the real permanences when KESSELWERK_SHARED_DIR names the folder that
// holds them (scripts/screenshots.sh sets it), else over two small samples of the same shapes.
bool shootImport(Application& app, const QString& folder) {
  QTemporaryDir samples;
  QString list = samples.filePath(QStringLiteral("spielbank-tisch1.txt"));
  QString table = samples.filePath(QStringLiteral("spins.csv"));
  const QString shared = qEnvironmentVariable("KESSELWERK_SHARED_DIR");
  if (!shared.isEmpty()) {
    list = shared + QStringLiteral("/data/real/spielbank-wiesbaden_t1_190424.txt");
    table = shared + QStringLiteral("/data/real/mmassom96_Computer_Vision_Utilities_spins.csv");
  } else {
    QFile listFile(list);
    QFile tableFile(table);
    if (!listFile.open(QIODevice::WriteOnly) || !tableFile.open(QIODevice::WriteOnly))
      return false;
    listFile.write("12,13,16,18,0,12\r\n4,33,26,26,11\r\n28,18,4,30,3,30,28,33,16,35,16\r\n");
    tableFile.write("Filename,Resolution,outcome\nA.MP4,960p,33\nB.MP4,960p,00\n"
                    "C.MP4,960p,NO OUTCOME\nD.MP4,960p,7\n");
  }
  const ImportRequest request{HandChangeList(), {}};
  std::vector<ImportAnalysis> both;
  bool ok = true;
  for (const auto& [path, name] : {std::pair{list, "FImport-Liste"}, {table, "FImport-Tabelle"}}) {
    ImportAnalysis analysis = AnalysePermanenceImport(path, request);
    if (!analysis.ok()) {
      std::fprintf(stderr, "%s\n", qPrintable(analysis.error));
      ok = false;
      continue;
    }
    both.push_back(analysis);
    FImport dialog(app.workspace(), {analysis}, app.fHaupt());
    if (both.size() == 2) {
      dialog.findChild<QRadioButton*>(QStringLiteral("rbDateien"))->setChecked(true);
      dialog.findChild<QCheckBox*>(QStringLiteral("cbTeilen"))->setChecked(true);
      dialog.findChild<QSpinBox*>(QStringLiteral("seCoups"))->setValue(37);
    }
    ok &= shoot(&dialog, folder, QLatin1String(name));
  }
  if (both.size() == 2) {
    FImport dialog(app.workspace(), std::move(both), app.fHaupt());
    dialog.findChild<QRadioButton*>(QStringLiteral("rbDateien"))->setChecked(true);
    ok &= shoot(&dialog, folder, QStringLiteral("FImport-Mehrere"));
  }
  return ok;
}

// The own systems' window with an example, after a run over sample permanences with a
// random comparison: the summary, the risk tab, a protocol and the output of print.
bool shootSystems(Application& app, const QString& folder) {
  QTemporaryDir samples;
  if (!writeSamplePermanences(samples.path(), 20, 815, [](int) { return 370; }))
    return false;
  auto* window = qobject_cast<FSysteme*>(app.OpenOnDemand(QStringLiteral("FSysteme")));
  window->CBBeispiel()->setCurrentIndex(
      window->CBBeispiel()->findText(QStringLiteral("Dutzend-Nachsetzer")));
  window->BBeispielClick();
  window->fileSelector()->setDirectory(samples.path());
  window->fileSelector()->fileList()->selectAll();
  window->findChild<QCheckBox*>(QStringLiteral("CBZufall"))->setChecked(true);
  window->findChild<QLineEdit*>(QStringLiteral("EReplikate"))->setText(QStringLiteral("200"));
  window->BPruefenClick();
  window->BStartenClick();
  bool ok = save(window, folder, QStringLiteral("FSysteme"));
  const char* names[] = {"FSysteme-Risiko", "FSysteme-Protokoll", "FSysteme-Ausgabe"};
  for (int i = 1; i < window->PCErgebnis()->count(); ++i) {
    window->PCErgebnis()->setCurrentIndex(i);
    ok &= save(window, folder, QLatin1String(names[i - 1]));
  }
  window->editor()->document()->setModified(false);
  window->close();
  return ok;
}

} // namespace

int TakeScreenshots(Application& app, const QString& folder) {
  QDir().mkpath(folder);
  bool ok = true;
  app.Start();
  ok &= save(app.fStart(), folder, QStringLiteral("FStart"));
  app.fStart()->BWeiterClick();
  settle(300);

  FHaupt* main = app.fHaupt();
  main->findChild<QPushButton*>(QStringLiteral("BSeiteManuell"))->click();
  typeSamplePermanence(main);
  main->findChild<QPushButton*>(QStringLiteral("BAnalyse"))->click();
  ok &= save(main, folder, QStringLiteral("FHaupt"));
  // The file page with a short permanence in M1, two lines of it marked.
  if (main->memo()->isEmpty())
    main->memo()->setPlainText(QStringLiteral("Spielbank Köln\nTisch 3\n17\n4\n0\nHW\n32\n15"));
  main->findChild<QPushButton*>(QStringLiteral("BSeiteDateien"))->click();
  main->memo()->setFocus();
  main->memo()->setCursorPosition({3, 0});
  for (int i = 0; i < 2; ++i) {
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::ShiftModifier);
    QApplication::sendEvent(main->memo(), &down);
  }
  ok &= save(main, folder, QStringLiteral("FHaupt-Dateien"));
  main->findChild<QPushButton*>(QStringLiteral("BSeiteManuell"))->click();
  // The chart of the same permanence ("Diagramm" fills it; it is shot below).
  main->findChild<QPushButton*>(QStringLiteral("BChart1"))->click();

  // The sector window with the palette shown, lists in both states and a filled grid.
  FOpSektoren* sectors = app.fOpSektoren();
  sectors->findChild<QCheckBox*>(QStringLiteral("cbAusblenden"))->setChecked(false);
  sectors->ToolButton2Click();
  sectors->BitBtn1Click();

  const std::pair<QWidget*, const char*> startup[] = {
      {app.fOptionen(), "FOptionen"},     {app.fSpeichern1(), "FSpeichern1"},
      {app.fOpSektoren(), "FOpSektoren"}, {app.fChart1(), "FChart1"},
      {app.fAnalyse1(), "FAnalyse1"},     {app.fAnalyse3(), "FAnalyse3"},
      {app.fZufall(), "FZufall"},         {app.fDelta(), "FDelta"}};
  for (auto [window, name] : startup)
    ok &= shoot(window, folder, QLatin1String(name));
  ok &= shootSeriesLengthRun(app.fAnalyse1(), folder);
  ok &= shootSystemTestRun(app.fAnalyse3(), folder);
  ok &= shootSystemTestScrolledRight(app.fAnalyse3(), folder);
  ok &= shootStakeEditor(app.fAnalyse3(), folder);
  ok &= shootHelpOverSettings(app, folder);
  ok &= shootOpenFileDialog(main, folder);
  ok &= shootExportProgress(folder);
  ok &= shootSignificance(app, folder);
  ok &= shootSearch(app, folder);
  ok &= shootImport(app, folder);
  ok &= shootSystems(app, folder);

  for (const char* name : {"FKal", "FUpdate", "FInfo"}) {
    QWidget* window = app.OpenOnDemand(QLatin1String(name));
    ok &= save(window, folder, QLatin1String(name));
    window->close();
  }
  ok &= shootUpdateCheck(app, folder);

  Help::instance().showContext(help::Zentrale);
  settle(500);
  ok &= save(Help::instance().window(), folder, QStringLiteral("Hilfe"));
  Help::instance().window()->close();
  settle();
  return ok ? 0 : 1;
}

} // namespace kw
