#include "ui/InputHook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTableView>

#include <cstdio>
#include <unistd.h>

namespace kw {
namespace {

void say(const QString& line) {
  std::fputs(line.toUtf8().constData(), stdout);
  std::fputc('\n', stdout);
}

QAbstractButton* findButton(const QString& name) {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible())
      continue;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>(name))
      if (button->isEnabled())
        return button;
  }
  return nullptr;
}

void click(const QString& name) {
  if (QAbstractButton* button = findButton(name))
    button->click();
  else
    say(QStringLiteral("nicht gefunden: ") + name);
}

void printTable() {
  QTableView* grid = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->objectName() == QLatin1String("FHaupt"))
      grid = window->findChild<QTableView*>(QStringLiteral("GNum"));
  if (!grid)
    return;
  const QAbstractItemModel* model = grid->model();
  for (int row = 0; row < model->rowCount(); ++row) {
    QStringList cells{QStringLiteral("Zeile")};
    for (int column = 0; column < model->columnCount(); ++column)
      cells << model->index(row, column).data().toString();
    if (cells.mid(1).join(QString()).isEmpty())
      continue;
    say(cells.join(QLatin1Char('\t')));
  }
  say(QStringLiteral("oben %1").arg(grid->rowAt(0)));
}

void answerMessage() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box) {
    say(QStringLiteral("keine"));
    return;
  }
  say(box->text());
  if (QAbstractButton* button = box->defaultButton())
    button->click();
  else
    box->accept();
}

void closeWindow(const QString& name) {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->objectName() == name && window->isVisible()) {
      window->close();
      return;
    }
  say(QStringLiteral("nicht gefunden: ") + name);
}

void perform(const QString& line) {
  if (line.startsWith(QLatin1String("klick ")))
    click(line.mid(6).trimmed());
  else if (line.startsWith(QLatin1String("schliessen ")))
    closeWindow(line.mid(11).trimmed());
  else if (line == QLatin1String("tabelle"))
    printTable();
  else if (line == QLatin1String("meldung"))
    answerMessage();
  else
    say(QStringLiteral("unbekannt: ") + line);
  say(QStringLiteral("fertig"));
  std::fflush(stdout);
}

} // namespace

void InstallInputHookFromEnvironment() {
  if (qEnvironmentVariableIsEmpty("KESSELWERK_TEST_INPUT"))
    return;
  auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, qApp);
  auto* pending = new QByteArray;
  QObject::connect(qApp, &QObject::destroyed, [pending] { delete pending; });
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, pending] {
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
      notifier->setEnabled(false);
      return;
    }
    pending->append(buffer, n);
    for (qsizetype end; (end = pending->indexOf('\n')) >= 0;) {
      const QString line = QString::fromUtf8(pending->left(end)).trimmed();
      pending->remove(0, end + 1);
      // Performed from the event loop, so a message box opened by a click does not hold up
      // the reading of the next line.
      QMetaObject::invokeMethod(
          qApp, [line] { perform(line); }, Qt::QueuedConnection);
    }
  });
}

} // namespace kw
