// Qt's own texts are German whatever the system's language: the file dialogs, the
// standard buttons and the edit fields' context menus of the real dialogs.
#include "files/GermanTexts.h"
#include "support/WindowTestHarness.h"
#include "ui/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace kw;

namespace {

QStringList texts(QWidget* dialog) {
  QStringList found;
  for (const QLabel* label : dialog->findChildren<QLabel*>())
    found << label->text();
  for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
    found << button->text();
  return found;
}

// Runs `inspect` on the modal dialog that `open` brings up, then closes that dialog.
template <class Open> QStringList textsOfModalDialog(Open open) {
  QStringList found;
  QTimer::singleShot(0, [&found] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog)
      return;
    found = texts(dialog);
    if (auto* box = qobject_cast<QMessageBox*>(dialog))
      box->done(QMessageBox::Cancel);
    else if (auto* fileDialog = qobject_cast<QDialog*>(dialog))
      fileDialog->reject();
  });
  open();
  return found;
}

} // namespace

class GermanTextsTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() {
    // An English desktop: the program's choice must not depend on the system's language.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY2(InstallGermanTexts(*QCoreApplication::instance()),
             "Qt's German catalogue is missing (scripts/install-deps.sh installs it)");
  }

  void fileDialogsSpeakGerman_data() {
    QTest::addColumn<bool>("save");
    QTest::newRow("open") << false;
    QTest::newRow("save") << true;
  }
  void fileDialogsSpeakGerman() {
    QFETCH(bool, save);
    QTemporaryDir dir;
    QtDialogs dialogs;
    Dialogs::FileRequest request;
    request.title = QStringLiteral("Datei(en) öffnen");
    request.filter = QStringLiteral("Permanenzen (*.prm)");
    request.startDir = dir.path();
    const QStringList shown = textsOfModalDialog([&] {
      if (save)
        dialogs.saveFile(nullptr, request);
      else
        dialogs.openFiles(nullptr, request);
    });
    for (const char* expected : {"Suchen in:", "Datei&name:", "Dateien des Typs:", "Abbrechen"})
      QVERIFY2(shown.contains(QString::fromUtf8(expected)), qPrintable(shown.join(" | ")));
  }

  void messageBoxButtonsSpeakGerman() {
    QtDialogs dialogs;
    const QStringList shown = textsOfModalDialog([&] {
      dialogs.confirm(nullptr, QStringLiteral("Wirklich?"),
                      Dialogs::YesButton | Dialogs::NoButton | Dialogs::CancelButton, 0);
    });
    for (const char* expected : {"&Ja", "&Nein", "Abbrechen"})
      QVERIFY2(shown.contains(QString::fromUtf8(expected)), qPrintable(shown.join(" | ")));
  }

  void editFieldContextMenuSpeaksGerman() {
    QLineEdit edit(QStringLiteral("17"));
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList entries;
    for (const QAction* action : menu->actions())
      entries << action->text().section(QLatin1Char('\t'), 0, 0);
    QVERIFY2(entries.contains(QStringLiteral("&Kopieren")), qPrintable(entries.join(" | ")));
    QVERIFY2(entries.contains(QStringLiteral("Alles auswählen")), qPrintable(entries.join(" | ")));
  }
};

QTEST_MAIN(GermanTextsTest)
#include "test_german_texts.moc"
