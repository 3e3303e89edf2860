#include "ui/Icons.h"

#include <QHash>

namespace kw {

QIcon AppIcon(const QString& name) {
  static const QHash<QString, QString> themeNames = {
      {QStringLiteral("close"), QStringLiteral("window-close")},
      {QStringLiteral("open"), QStringLiteral("document-open")},
      {QStringLiteral("save"), QStringLiteral("document-save")},
      {QStringLiteral("calendar"), QStringLiteral("x-office-calendar")},
      {QStringLiteral("calculator"), QStringLiteral("accessories-calculator")},
      {QStringLiteral("help"), QStringLiteral("help-contents")},
      {QStringLiteral("settings"), QStringLiteral("preferences-system")},
      {QStringLiteral("update"), QStringLiteral("system-software-update")},
      {QStringLiteral("trash"), QStringLiteral("edit-delete")},
  };
  const QIcon bundled(QStringLiteral(":/icons/%1.svg").arg(name));
  const QString theme = themeNames.value(name);
  return theme.isEmpty() ? bundled : QIcon::fromTheme(theme, bundled);
}

} // namespace kw
