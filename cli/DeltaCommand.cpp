// kesselwerk-cli delta
#include "CliArgs.h"
#include "Commands.h"

namespace kw::cli {

int RunDelta(int, char**) {
  return Fail(ExitUsage,
              "kesselwerk-cli: der Befehl \"delta\" ist in dieser Version noch nicht verfügbar");
}

} // namespace kw::cli
