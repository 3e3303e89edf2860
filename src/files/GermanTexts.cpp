#include "files/GermanTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <clocale>

namespace kw {
namespace {

// System messages in German where such a locale is generated; the other categories (number
// formats of the C library) stay as they are.
void preferGermanSystemMessages() {
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
    if (std::setlocale(LC_MESSAGES, name))
      return;
}

} // namespace

bool InstallGermanTexts(QCoreApplication& application) {
  preferGermanSystemMessages();
  auto* translator = new QTranslator(&application);
  const bool loaded =
      translator->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  if (!loaded) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

} // namespace kw
