#include "ui/DesktopPlatform.h"

#include <QDesktopServices>
#include <QUrl>

namespace kw {
namespace {

UpdatePlatform* replacement = nullptr;

} // namespace

bool DesktopPlatform::openWithDesktop(const QUrl& url) { return QDesktopServices::openUrl(url); }

UpdatePlatform& DesktopPlatform::current() {
  static DesktopPlatform desktop;
  return replacement ? *replacement : desktop;
}

void DesktopPlatform::use(UpdatePlatform* platform) { replacement = platform; }

} // namespace kw
