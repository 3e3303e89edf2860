// kesselwerk-cli chancen
#include "CliArgs.h"
#include "Commands.h"

namespace kw::cli {

int RunChancen(int, char**) {
  return Fail(ExitUsage,
              "kesselwerk-cli: der Befehl \"chancen\" ist in dieser Version noch nicht verfügbar");
}

} // namespace kw::cli
