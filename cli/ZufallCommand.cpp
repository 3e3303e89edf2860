// kesselwerk-cli zufall
#include "CliArgs.h"
#include "Commands.h"

namespace kw::cli {

int RunZufall(int, char**) {
  return Fail(ExitUsage,
              "kesselwerk-cli: der Befehl \"zufall\" ist in dieser Version noch nicht verfügbar");
}

} // namespace kw::cli
