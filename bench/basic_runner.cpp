// The BASIC runner against its yardsticks, each a whole process with standard output to /dev/null:
// loop.bas (2,000,000 turns of double arithmetic) against the same loop in C++ with volatile
// variables, and print.bas (100,000 PRINT lines) against writing them with fwrite.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace {

void RunProcess(benchmark::State& state, std::vector<const char*> argv) {
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  for (auto _ : state) {
    pid_t pid;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char**>(argv.data()), environ) != 0) {
      state.SkipWithError("cannot start the program");
      break;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("the program failed");
      break;
    }
  }
  posix_spawn_file_actions_destroy(&actions);
}

void LoopTilebasic(benchmark::State& state) {
  RunProcess(state, {TILEBASIC_PROGRAM, "--headless", BASIC_BENCH_DIR "/loop.bas"});
}
void LoopCppVolatile(benchmark::State& state) { RunProcess(state, {LOOP_YARDSTICK}); }
void PrintTilebasic(benchmark::State& state) {
  RunProcess(state, {TILEBASIC_PROGRAM, "--headless", BASIC_BENCH_DIR "/print.bas"});
}
void PrintFwrite(benchmark::State& state) { RunProcess(state, {PRINT_YARDSTICK}); }

BENCHMARK(LoopTilebasic)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LoopCppVolatile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PrintTilebasic)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PrintFwrite)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
