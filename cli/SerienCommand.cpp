// kesselwerk-cli serien
#include "CliArgs.h"
#include "Commands.h"

namespace kw::cli {

int RunSerien(int, char**) {
  return Fail(ExitUsage,
              "kesselwerk-cli: der Befehl \"serien\" ist in dieser Version noch nicht verfügbar");
}

} // namespace kw::cli
