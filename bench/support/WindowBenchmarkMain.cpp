// The main of the benchmarks that need windows: a QApplication on the offscreen platform
// (unless another is asked for), set up as the program sets itself up. Benchmarks of plain
// engines bring their own main (BENCHMARK_MAIN), which the linker then prefers.
#include "support/WindowTestHarness.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  kw::test::PrepareApplication();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
