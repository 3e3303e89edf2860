#include "core/Version.h"
#include "ui/Application.h"
#include "ui/Icons.h"
#include "ui/Screenshots.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char* argv[]) {
  QApplication qapp(argc, argv);
  QApplication::setApplicationName(QLatin1String(kw::ProductName));
  QApplication::setApplicationVersion(QLatin1String(kw::ProductVersion));
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setWindowIcon(kw::AppIcon(QStringLiteral("kesselwerk")));
  QApplication::setQuitOnLastWindowClosed(false);

  kw::Application app;
  const QStringList args = QApplication::arguments();
  const qsizetype shots = args.indexOf(QStringLiteral("--screenshots"));
  if (shots >= 0 && shots + 1 < args.size())
    return kw::TakeScreenshots(app, args.at(shots + 1));

  app.Start();
  return QApplication::exec();
}
