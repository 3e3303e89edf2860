#pragma once

#include "tools/UpdatePlatform.h"

namespace kw {

// The updater's platform in the running program: the system's process start, program
// check and immediate end, and the desktop's opener (QDesktopServices: the browser for
// links, the Windows shell for programs).
class DesktopPlatform final : public SystemPlatform {
public:
  bool openWithDesktop(const QUrl& url) override;

  // The platform the update window uses: the desktop's, unless a test put its own in place.
  static UpdatePlatform& current();
  // Puts a platform in place (not owned; it must outlive its use), or with nullptr the
  // desktop's again.
  static void use(UpdatePlatform* platform);
};

} // namespace kw
