#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QWidget;

namespace kw {

// Every message box and file dialog of the application goes through this service, so
// window tests can answer them and read their exact texts. In message texts "\r" is a
// line break, as in the application's message catalogue.
class Dialogs {
public:
  enum class Answer { Ok, Yes, No, Cancel };
  enum Button { YesButton = 1, NoButton = 2, CancelButton = 4, HelpButton = 8, OkButton = 16 };

  struct FileRequest {
    QString title;
    QString filter;        // "Beschreibung (*.prm);;Alle Dateien (*.*)"
    QString defaultSuffix; // without dot
    QString startDir;
    QString fileName;             // proposed name (save)
    bool multiple = false;        // open: several files
    bool confirmOverwrite = true; // save: ask before replacing an existing file
  };

  virtual ~Dialogs() = default;

  virtual void error(QWidget* parent, const QString& text) = 0;
  virtual void information(QWidget* parent, const QString& text, int buttons = OkButton,
                           int helpContext = 0) = 0;
  virtual Answer confirm(QWidget* parent, const QString& text, int buttons,
                         int helpContext = 0) = 0;
  // The chosen files in the order the dialog gives them; empty when cancelled.
  virtual QStringList openFiles(QWidget* parent, const FileRequest& request) = 0;
  // The chosen file name; empty when cancelled.
  virtual QString saveFile(QWidget* parent, const FileRequest& request) = 0;

  // The service in use; the Qt implementation unless a test installed another.
  static Dialogs& instance();
  static void install(std::unique_ptr<Dialogs> dialogs);
};

// The real dialogs: QMessageBox and QFileDialog.
class QtDialogs : public Dialogs {
public:
  void error(QWidget* parent, const QString& text) override;
  void information(QWidget* parent, const QString& text, int buttons, int helpContext) override;
  Answer confirm(QWidget* parent, const QString& text, int buttons, int helpContext) override;
  QStringList openFiles(QWidget* parent, const FileRequest& request) override;
  QString saveFile(QWidget* parent, const FileRequest& request) override;
};

} // namespace kw
