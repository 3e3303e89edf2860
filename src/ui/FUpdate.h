#pragma once

#include "tools/Updater.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTextBrowser;
class QUrl;

namespace kw {

// The update window: the check's panels and buttons over the Updater, which does the
// transfers, the version comparison and the installation (through DesktopPlatform::
// current()). Created on demand and destroyed when closed, so every opening starts
// afresh; closing it while a transfer waits ends the transfer without a message.
class FUpdate : public QWidget {
  Q_OBJECT
public:
  explicit FUpdate(QWidget* parent = nullptr);

  void BProofClick();   // "Update-Prüfung starten"
  void BDownClick();    // "Download starten"
  void BSetupClick();   // "Installation starten"
  void BAktuellClick(); // "Neuigkeiten aufrufen"

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  class Waiting;

  void FormCreate();
  QWidget* buildTopBar();
  QWidget* buildCheckGroup();
  QWidget* buildNewsGroup();
  void reportFailedCheck(const VersionCheck& check);
  void showVersions(const VersionCheck& check);
  void web1AnchorClicked(const QUrl& link);

  Updater updater_;
  int waiting_ = 0;                 // handlers waiting for a transfer
  bool closedWhileWaiting_ = false; // their results are no longer shown
  bool deleteWhenDone_ = false;     // the close asked for the window's end

  QPushButton* bSave_ = nullptr;
  QWidget* pProof_ = nullptr;
  QWidget* pVersAnzeige_ = nullptr;
  QLabel* pAkt_ = nullptr;
  QLabel* pOnl_ = nullptr;
  QWidget* pBlau_ = nullptr;
  QWidget* pLos_ = nullptr;
  QWidget* pDown_ = nullptr;
  QWidget* pInst_ = nullptr;
  QTextBrowser* web1_ = nullptr;
};

} // namespace kw
