#pragma once

#include "systems/SystemRun.h"

#include <QMainWindow>
#include <QString>

#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QTabWidget;
class QTableView;

namespace kw {

class FChart2;
struct FilePermanences;
class FileSelector;
class LuaEditor;
class ReportTableModel;
class WindowChrome;

// The folder of the user's systems in the data folder, and the examples shipped with the
// program (resource names, e.g. "Martingale auf Rouge.lua").
QString SystemsDir();
QStringList ShippedSystems();
// The text of a shipped example.
QByteArray ShippedSystemText(const QString& fileName);
// Copies the shipped examples into SystemsDir() when that folder does not exist yet; a
// user's own files are never overwritten. The German message of a failure, or empty.
QString ProvideSystemsDir();

// "Eigene Systeme": users write their own betting systems as Lua scripts and test them over
// permanence files like the built-in system test, with risk figures, a random comparison,
// the pictures and the workbook.
class FSysteme : public QMainWindow {
  Q_OBJECT
public:
  explicit FSysteme(QWidget* parent = nullptr);

  WindowChrome* chrome() const { return chrome_; }
  LuaEditor* editor() const { return editor_; }
  FileSelector* fileSelector() const { return fileSelector_; }
  QComboBox* CBBeispiel() const { return cbBeispiel_; }
  QTableView* GZus() const { return gZus_; }
  QTabWidget* PCErgebnis() const { return pcErgebnis_; }
  QTabWidget* PCProtokolle() const { return pcProtokolle_; }
  QPlainTextEdit* MAusgabe() const { return mAusgabe_; }
  // The parameter field of that name, or null.
  QLineEdit* parameterField(const QString& name) const;
  // The file the editor shows; empty for a script not saved yet.
  const QString& scriptPath() const { return scriptPath_; }
  // The last run that completed; absent before.
  const std::optional<SystemRunResult>& lastRun() const { return lastRun_; }

  // Script files: "Neu", "Öffnen...", "Speichern", "Speichern unter..."; each asks first
  // when the editor holds unsaved changes.
  void BNeuClick();
  void BOeffnenClick();
  bool BSpeichernClick();
  bool BSpeichernUnterClick();
  // Puts the chosen example into the editor: the user's copy in SystemsDir() if there is
  // one, else the shipped text.
  void BBeispielClick(); // "&Laden"
  bool OpenScript(const QString& path);

  void BPruefenClick(); // "&Prüfen": loads the script and plays it on 370 random coups
  void BStartenClick(); // "&Starten"
  void BExcelClick();   // "&Excel-Export..."
  void BVerlaufClick();
  void BHistogrammClick();
  void BKapitalClick(); // "&Kapitalverlauf..." of the protocol shown

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void FormCreate();
  QWidget* buildScriptArea(QWidget* parent);
  QWidget* buildSettings(QWidget* parent);
  QWidget* buildResults(QWidget* parent);
  QWidget* buildRiskTab(QWidget* parent);

  // Whether the editor's text may be replaced: nothing unsaved, or the user saved it or
  // chose to discard it.
  bool mayDiscardScript();
  void setScript(const QString& text, const QString& path, const QString& fileName);
  bool writeScript(const QString& path);
  void showScriptName();
  SystemScript currentScript() const;

  // The script's parameters as fields, values typed for the same names kept.
  void rebuildParameters(const std::vector<ScriptParameter>& declared);
  // The settings the fields give for a script that declares `info`; nothing (after its
  // message) when a field is not a number.
  std::optional<SystemSettings> readSettings(const ScriptInfo& info);
  std::optional<uint64_t> readSeed();
  bool readComparison(std::optional<RandomComparisonRequest>& request, uint64_t seed);
  // Shows a script error and puts the cursor on the line it names.
  void showScriptError(const std::string& message);

  void showRun(const FilePermanences& read);
  void showRisk();
  void showComparison();
  void fillProtocol(int index);

  WindowChrome* chrome_ = nullptr;
  LuaEditor* editor_ = nullptr;
  QLabel* lSkript_ = nullptr;
  QComboBox* cbBeispiel_ = nullptr;
  QGroupBox* gbParameter_ = nullptr;
  QFormLayout* parameterForm_ = nullptr;
  std::vector<std::pair<std::string, QLineEdit*>> parameterFields_;
  QSpinBox* seStueck_ = nullptr;
  QSpinBox* seKapital_ = nullptr;
  QSpinBox* sePlus_ = nullptr;
  QSpinBox* seMinus_ = nullptr;
  QCheckBox* cbZufall_ = nullptr;
  QLineEdit* eReplikate_ = nullptr;
  QLineEdit* eSeed_ = nullptr;
  QLabel* lPruefung_ = nullptr;
  FileSelector* fileSelector_ = nullptr;
  QTabWidget* pcErgebnis_ = nullptr;
  QTabWidget* pcProtokolle_ = nullptr;
  QPlainTextEdit* mAusgabe_ = nullptr;
  ReportTableModel* summary_ = nullptr;
  QTableView* gZus_ = nullptr;
  FChart2* verlauf_ = nullptr;
  FChart2* histogramm_ = nullptr;
  FChart2* kapital_ = nullptr;

  QString scriptPath_;
  QString scriptFileName_ = QStringLiteral("Neues System.lua");

  // What the last run played with, so a protocol tab replays its permanence when shown.
  std::optional<SystemRunResult> lastRun_;
  SystemScript lastScript_;
  std::string lastSystemName_;
  SystemSettings lastSettings_;
  uint64_t lastSeed_ = 1;
  std::vector<std::vector<uint8_t>> lastData_;
  std::vector<std::string> lastNames_;
  std::vector<std::string> lastPrinted_;
};

} // namespace kw
