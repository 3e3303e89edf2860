// kesselwerk-cli systemtest
#include "CliArgs.h"
#include "Commands.h"

namespace kw::cli {

int RunSystemtest(int, char**) {
  return Fail(
      ExitUsage,
      "kesselwerk-cli: der Befehl \"systemtest\" ist in dieser Version noch nicht verfügbar");
}

} // namespace kw::cli
