// Every allocation failure survived: the demonstration, set-up and script, runs once for every heap
// allocation and once for every GDI object it makes, with that one allocation failing, each run in a
// process of its own; each ends in a way docs/architecture.md gives, with nothing leaked.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>

#include "tests/faults/fault_walk.h"

namespace {

#if defined(__SANITIZE_THREAD__)
// Under ThreadSanitizer a run takes several times longer: every kSampleStride-th point is run.
constexpr uint64_t kSampleStride = 3;
#else
constexpr uint64_t kSampleStride = 1;
#endif
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr int kBoundMs = 120000;
#else
constexpr int kBoundMs = 30000;
#endif
constexpr int kParallelRuns = 2;

// The picture the demonstration loads as TILE_TEST.bmp (the loader goes by the file's contents):
// the shipped BMP, and a GIF and a JPEG, whose loading reads the file into global memory.
struct Picture {
  const char* name;
  const char* source;  // inside the repository
  bool global;         // loading it allocates global memory
};
const Picture kPictures[] = {
    {"ShippedBmp", "assets/TILE_TEST.bmp", false},
    {"Gif", "fuzz/corpus/ole_gif/plain.gif", true},
    {"Jpeg", "fuzz/corpus/ole_jpeg/baseline.jpg", true},
};

// A folder with the picture, and the run of the demonstration there without any failure.
struct Stage {
  std::string directory;
  RunResult clean;
};

class AllocationFailures : public testing::TestWithParam<std::tuple<Picture, SupportAllocation, SupportFailing>> {
 protected:
  static const Stage& StageFor(const Picture& picture) {
    static std::map<std::string, Stage>* stages = new std::map<std::string, Stage>;
    auto found = stages->find(picture.name);
    if (found != stages->end()) return found->second;
    Stage& stage = (*stages)[picture.name];
    stage.directory = std::filesystem::temp_directory_path() /
                      ("allocation-failures-" + std::to_string(getpid()) + "-" + picture.name);
    std::filesystem::remove_all(stage.directory);
    std::filesystem::create_directories(stage.directory);
    std::filesystem::copy_file(std::string(TILEPAINT_SOURCE_DIR) + "/" + picture.source,
                               stage.directory + "/TILE_TEST.bmp");
    stage.clean =
        RunPoints(SupportAllocation::kHeap, SupportFailing::kThatOne, {0}, stage.directory, 1, kBoundMs).front();
    return stage;
  }

  static void TearDownTestSuite() {
    for (const Picture& picture : kPictures)
      std::filesystem::remove_all(std::filesystem::temp_directory_path() /
                                  ("allocation-failures-" + std::to_string(getpid()) + "-" + picture.name));
  }
};

// Runs every point of the kind that the run without failures reaches (a sample under TSan), then
// the points beyond it for as long as a run still reaches them; checks each end and prints what
// each failure led to. A point fails alone, or with every later allocation of its kind (memory has
// run out).
TEST_P(AllocationFailures, EveryFailurePointEndsTheDemonstrationInADocumentedWay) {
  const auto& [picture, kind, failing] = GetParam();
  const char* name = kind == SupportAllocation::kHeap ? "heap" : "GDI object";
  const Stage& stage = StageFor(picture);
  const RunResult& clean = stage.clean;
  std::string why;
  ASSERT_EQ(Judge(clean, clean, &why), Ending::kCompleted) << "without a failure: " << why << "\n" << clean.output;
  const uint64_t total = kind == SupportAllocation::kHeap ? clean.heapAllocations : clean.gdiObjectsMade;
  ASSERT_GT(total, 0u);
  std::vector<uint64_t> points;
  for (uint64_t n = 1; n <= total; n += kSampleStride) points.push_back(n);
  std::vector<RunResult> runs = RunPoints(kind, failing, points, stage.directory, kParallelRuns, kBoundMs);
  // A run may make a few more allocations than the run without failures (the two threads interleave
  // differently): walk on until a point is no longer reached.
  for (uint64_t n = total + 1; kSampleStride == 1; ++n) {
    runs.push_back(RunPoints(kind, failing, {n}, stage.directory, 1, kBoundMs).front());
    if (!runs.back().failed) break;
  }

  // (what failed, where, on which thread, how the run ended) -> runs, first point, unchanged pictures
  using Key = std::tuple<std::string, int32_t, bool, Ending>;
  struct Group {
    int runs = 0;
    uint64_t first = 0;
    int unchangedPictures = 0;
  };
  std::map<Key, Group> groups;
  int reached = 0;
  int unreached = 0;  // among the points the run without failures reaches
  bool globalMemoryFailed = false;
  for (const RunResult& run : runs) {
    const Ending ending = Judge(run, clean, &why);
    EXPECT_NE(ending, Ending::kUndocumented)
        << name << " failure " << run.n << " (" << run.failedWhat << ", " << PhaseName(run.failedPhase) << "): " << why
        << "\n--- its output:\n" << run.output.substr(run.output.size() > 4000 ? run.output.size() - 4000 : 0);
    if (!run.failed) {
      if (run.n <= total) ++unreached;
      // Not reached: the run is the run without failures.
      EXPECT_EQ(ending, Ending::kCompleted);
      EXPECT_EQ(run.pictureHash, clean.pictureHash)
          << name << " point " << run.n << " not reached, yet the picture differs";
      continue;
    }
    ++reached;
    globalMemoryFailed = globalMemoryFailed || run.failedWhat.rfind("Global", 0) == 0;
    Group& group = groups[Key{run.failedWhat, run.failedPhase, run.failedOnMainThread, ending}];
    if (group.runs++ == 0) group.first = run.n;
    if (ending == Ending::kCompleted && run.pictureHash == clean.pictureHash) ++group.unchangedPictures;
  }
  // The two threads may interleave so that a run makes an allocation or two fewer, no more.
  EXPECT_LE(unreached, 2) << "points that their run did not reach";
  if (kind == SupportAllocation::kHeap && kSampleStride == 1) {
    EXPECT_EQ(globalMemoryFailed, picture.global) << "global memory among the failure points";
  }

  std::printf("%s, %s allocations%s: %llu without failures; %zu runs, %d reaching their point%s\n", picture.name, name,
              failing == SupportFailing::kThatOne ? "" : ", each with every later one",
              static_cast<unsigned long long>(total), runs.size(), reached, kSampleStride > 1 ? " (a sample)" : "");
  for (const auto& [key, group] : groups) {
    const auto& [what, phase, mainThread, ending] = key;
    std::printf("  %-22s %-15s %-16s -> %-32s %4d runs from #%llu", what.c_str(), PhaseName(phase).c_str(),
                mainThread ? "main thread" : "window's thread", EndingName(ending), group.runs,
                static_cast<unsigned long long>(group.first));
    if (ending == Ending::kCompleted) std::printf(", %d with the picture unchanged", group.unchangedPictures);
    std::printf("\n");
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryPictureAndKind, AllocationFailures,
    testing::Combine(testing::ValuesIn(kPictures),
                     testing::Values(SupportAllocation::kHeap, SupportAllocation::kGdiObject),
                     testing::Values(SupportFailing::kThatOne, SupportFailing::kThatOneAndLater)),
    [](const testing::TestParamInfo<AllocationFailures::ParamType>& info) {
      return std::string(std::get<0>(info.param).name) +
             (std::get<1>(info.param) == SupportAllocation::kHeap ? "HeapAllocation" : "GdiObject") +
             (std::get<2>(info.param) == SupportFailing::kThatOne ? "Alone" : "AndEveryLaterOne");
    });

}  // namespace

#if defined(__SANITIZE_THREAD__)
// Every run ends its process, and ThreadSanitizer pauses a second at each end for threads that might
// still report: most of the suite's time. The runs' races are reported while they run.
extern "C" const char* __tsan_default_options() { return "atexit_sleep_ms=0"; }
#endif
