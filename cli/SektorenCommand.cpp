// kesselwerk-cli sektoren
#include "CliArgs.h"
#include "Commands.h"

namespace kw::cli {

int RunSektoren(int, char**) {
  return Fail(ExitUsage,
              "kesselwerk-cli: der Befehl \"sektoren\" ist in dieser Version noch nicht verfügbar");
}

} // namespace kw::cli
