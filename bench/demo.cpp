// The demonstration's set-up and script, without its two one-second pauses, on the headless display,
// with the default picture, beside a memcpy of one page. Each iteration tears the tile image and the
// pages down again.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <string>

#include "bench/yardstick.h"
#include "console/console_state.h"
#include "program/demo.h"
#include "program/program_main.h"
#include "support/display.h"

namespace {

void StartOnce() {
  static const bool started = [] {
    SupportUseHeadlessDisplay(1024, 768);
    // TILE_TEST.bmp is looked up in the current directory.
    const std::string source = __FILE__;
    const std::string assets = source.substr(0, source.rfind("/bench/")) + "/assets";
    if (chdir(assets.c_str()) != 0) return false;
    ProgramStartup();
    return true;
  }();
  (void)started;
}

void BM_DemoSetUpAndScript(benchmark::State& state) {
  StartOnce();
  for (auto _ : state) {
    DemoSetUp();
    DemoRunScript(kDemoLastStep, false);
    state.PauseTiming();
    DemoTeardown();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DemoSetUpAndScript)->Unit(benchmark::kMillisecond);

BENCHMARK(Memcpy)->Arg(kPageBytes);

}  // namespace
