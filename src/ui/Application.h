#pragma once

#include "ui/WindowChrome.h"

#include <QPointer>
#include <QString>

#include <memory>

class QLockFile;
class QWidget;

namespace kw {

class FStart;
class FHaupt;
class FOptionen;
class FSpeichern1;
class FOpSektoren;
class FChart1;
class FAnalyse1;
class FAnalyse3;
class FZufall;
class FDelta;
class TableJournal;
class Workspace;

// Owns the workspace (what the windows share) and the windows created at start-up, in their
// order, and opens every window of the application: start-up windows are shown (the settings
// and the save dialog modally), the calendar, the update check, the info window and the
// significance window are created on demand. Where one window makes another act (the chart after
// "Diagramm", the sector window placed over the main window, the start window fading the main
// window in), the application connects the two; windows never reach into each other.
class Application {
public:
  Application();
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  static Application& instance();
  static bool exists();

  // Creates the start-up windows in their fixed order (the start window aside).
  void CreateWindows();
  // The whole start-up sequence: start window, the windows, "Weiter" enabled, the main
  // window shown fully transparent until the start window fades it in.
  void Start();

  // Rebuilds the table the journal in the data folder recorded and records every change
  // from now on. Says once what was restored, after the start window has gone. A second
  // program on the same data folder leaves the journal to the first one and says so.
  void RestoreTable();
  TableJournal* tableJournal() const { return journal_.get(); }

  void open(Command command);
  void startCalculator(QWidget* parent);

  // True when a window of that name is open (searched from the last to the first).
  static bool FormExists(const QString& name);
  // Restores the open window of that name or creates it; then shows it in front.
  QWidget* OpenOnDemand(const QString& name);

  Workspace& workspace() const { return *workspace_; }

  FStart* fStart() const;
  FHaupt* fHaupt() const { return fHaupt_; }
  FOptionen* fOptionen() const { return fOptionen_; }
  FSpeichern1* fSpeichern1() const { return fSpeichern1_; }
  FOpSektoren* fOpSektoren() const { return fOpSektoren_; }
  FChart1* fChart1() const { return fChart1_; }
  FAnalyse1* fAnalyse1() const { return fAnalyse1_; }
  FAnalyse3* fAnalyse3() const { return fAnalyse3_; }
  FZufall* fZufall() const { return fZufall_; }
  FDelta* fDelta() const { return fDelta_; }

private:
  QWidget* createOnDemand(const QString& name);
  void showStartupWindow(QWidget* window, bool modal);
  void connectWindows();
  // Shows the message when the start window has gone (at once when there is none).
  void sayAfterStartWindow(const QString& text, bool isError);

  std::unique_ptr<Workspace> workspace_;
  std::unique_ptr<QLockFile> journalLock_;
  std::unique_ptr<TableJournal> journal_;
  QPointer<FStart> fStart_;
  FHaupt* fHaupt_ = nullptr;
  FOptionen* fOptionen_ = nullptr;
  FSpeichern1* fSpeichern1_ = nullptr;
  FOpSektoren* fOpSektoren_ = nullptr;
  FChart1* fChart1_ = nullptr;
  FAnalyse1* fAnalyse1_ = nullptr;
  FAnalyse3* fAnalyse3_ = nullptr;
  FZufall* fZufall_ = nullptr;
  FDelta* fDelta_ = nullptr;
  bool zufallPlaced_ = false;
};

} // namespace kw
