#include "ui/Dialogs.h"

#include "ui/Help.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace kw {
namespace {

std::unique_ptr<Dialogs>& current() {
  static std::unique_ptr<Dialogs> dialogs = std::make_unique<QtDialogs>();
  return dialogs;
}

QString displayText(QString text) { return text.replace(QLatin1Char('\r'), QLatin1Char('\n')); }

// Shows a message box whose Help button opens the help at the given context without
// closing the box; returns the button the user closed it with.
QMessageBox::StandardButton runMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                          const QString& text, int buttons, int helpContext) {
  QMessageBox box(icon, QStringLiteral("Kesselwerk"), displayText(text), QMessageBox::NoButton,
                  parent);
  if (buttons & Dialogs::YesButton)
    box.addButton(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
  if (buttons & Dialogs::NoButton)
    box.addButton(QMessageBox::No)->setText(QStringLiteral("&Nein"));
  if (buttons & Dialogs::OkButton)
    box.addButton(QMessageBox::Ok)->setText(QStringLiteral("OK"));
  if (buttons & Dialogs::CancelButton)
    box.addButton(QMessageBox::Cancel)->setText(QStringLiteral("Abbrechen"));
  if (buttons & Dialogs::HelpButton) {
    QPushButton* help = box.addButton(QStringLiteral("&Hilfe"), QMessageBox::HelpRole);
    help->disconnect();
    QObject::connect(help, &QPushButton::clicked, &box,
                     [helpContext] { Help::instance().showContext(helpContext); });
  }
  box.exec();
  return box.standardButton(box.clickedButton());
}

} // namespace

Dialogs& Dialogs::instance() { return *current(); }

void Dialogs::install(std::unique_ptr<Dialogs> dialogs) { current() = std::move(dialogs); }

void QtDialogs::error(QWidget* parent, const QString& text) {
  runMessageBox(parent, QMessageBox::Critical, text, OkButton, 0);
}

void QtDialogs::information(QWidget* parent, const QString& text, int buttons, int helpContext) {
  runMessageBox(parent, QMessageBox::Information, text, buttons, helpContext);
}

Dialogs::Answer QtDialogs::confirm(QWidget* parent, const QString& text, int buttons,
                                   int helpContext) {
  switch (runMessageBox(parent, QMessageBox::Question, text, buttons, helpContext)) {
  case QMessageBox::Yes:
    return Answer::Yes;
  case QMessageBox::No:
    return Answer::No;
  case QMessageBox::Ok:
    return Answer::Ok;
  default:
    return Answer::Cancel;
  }
}

QStringList QtDialogs::openFiles(QWidget* parent, const FileRequest& request) {
  QFileDialog dialog(parent, request.title, request.startDir, request.filter);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(request.defaultSuffix);
  if (!request.fileName.isEmpty())
    dialog.selectFile(request.fileName);
  if (dialog.exec() != QDialog::Accepted)
    return {};
  return dialog.selectedFiles();
}

QString QtDialogs::saveFile(QWidget* parent, const FileRequest& request) {
  QFileDialog dialog(parent, request.title, request.startDir, request.filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
  dialog.setDefaultSuffix(request.defaultSuffix);
  if (!request.fileName.isEmpty())
    dialog.selectFile(request.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return {};
  return dialog.selectedFiles().first();
}

} // namespace kw
