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
constexpr uint64_t kSampleStride = 5;
#else
constexpr uint64_t kSampleStride = 1;
#endif
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr int kBoundMs = 120000;
#else
constexpr int kBoundMs = 30000;
#endif
constexpr int kParallelRuns = 2;

class AllocationFailures : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    directory_ = new std::string(std::filesystem::temp_directory_path() /
                                 ("allocation-failures-" + std::to_string(getpid())));
    std::filesystem::remove_all(*directory_);
    std::filesystem::create_directories(*directory_);
    std::filesystem::copy_file(std::string(TILEPAINT_SOURCE_DIR) + "/assets/TILE_TEST.bmp",
                               *directory_ + "/TILE_TEST.bmp");
    clean_ = new RunResult(RunPoints(SupportAllocation::kHeap, {0}, *directory_, 1, kBoundMs).front());
  }
  static void TearDownTestSuite() {
    std::filesystem::remove_all(*directory_);
    delete directory_;
    delete clean_;
  }

  // Runs every point of `kind` that the run without failures reaches (a sample under TSan), then
  // the points beyond it for as long as a run still reaches them; checks each end and prints what
  // each failure led to.
  static void Walk(SupportAllocation kind, const char* name) {
    std::string why;
    ASSERT_EQ(Judge(*clean_, *clean_, &why), Ending::kCompleted) << "without a failure: " << why << "\n" << clean_->output;
    const uint64_t total = kind == SupportAllocation::kHeap ? clean_->heapAllocations : clean_->gdiObjectsMade;
    ASSERT_GT(total, 0u);
    std::vector<uint64_t> points;
    for (uint64_t n = 1; n <= total; n += kSampleStride) points.push_back(n);
    std::vector<RunResult> runs = RunPoints(kind, points, *directory_, kParallelRuns, kBoundMs);
    // A run may make a few more allocations than the run without failures (the two threads interleave
    // differently): walk on until a point is no longer reached.
    for (uint64_t n = total + 1; kSampleStride == 1; ++n) {
      runs.push_back(RunPoints(kind, {n}, *directory_, 1, kBoundMs).front());
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
    for (const RunResult& run : runs) {
      const Ending ending = Judge(run, *clean_, &why);
      EXPECT_NE(ending, Ending::kUndocumented)
          << name << " failure " << run.n << " (" << run.failedWhat << ", " << PhaseName(run.failedPhase) << "): " << why
          << "\n--- its output:\n" << run.output.substr(run.output.size() > 4000 ? run.output.size() - 4000 : 0);
      if (!run.failed) {
        // Not reached: the run is the run without failures.
        EXPECT_EQ(ending, Ending::kCompleted);
        EXPECT_EQ(run.pictureHash, clean_->pictureHash) << name << " point " << run.n << " not reached, yet the picture differs";
        continue;
      }
      ++reached;
      Group& group = groups[Key{run.failedWhat, run.failedPhase, run.failedOnMainThread, ending}];
      if (group.runs++ == 0) group.first = run.n;
      if (ending == Ending::kCompleted && run.pictureHash == clean_->pictureHash) ++group.unchangedPictures;
    }
    EXPECT_GE(static_cast<uint64_t>(reached) * kSampleStride, total) << "points that no run reached";

    std::printf("%s allocations of the demonstration: %llu without failures; %zu runs, %d reaching their point%s\n",
                name, static_cast<unsigned long long>(total), runs.size(), reached,
                kSampleStride > 1 ? " (a sample)" : "");
    for (const auto& [key, group] : groups) {
      const auto& [what, phase, mainThread, ending] = key;
      std::printf("  %-22s %-15s %-16s -> %-32s %4d runs from #%llu", what.c_str(), PhaseName(phase).c_str(),
                  mainThread ? "main thread" : "window's thread", EndingName(ending), group.runs,
                  static_cast<unsigned long long>(group.first));
      if (ending == Ending::kCompleted) std::printf(", %d with the picture unchanged", group.unchangedPictures);
      std::printf("\n");
    }
  }

  static std::string* directory_;
  static RunResult* clean_;
};

std::string* AllocationFailures::directory_ = nullptr;
RunResult* AllocationFailures::clean_ = nullptr;

TEST_F(AllocationFailures, EveryHeapAllocationThatFailsEndsTheDemonstrationInADocumentedWay) {
  Walk(SupportAllocation::kHeap, "heap");
}

TEST_F(AllocationFailures, EveryGdiObjectThatCannotBeMadeEndsTheDemonstrationInADocumentedWay) {
  Walk(SupportAllocation::kGdiObject, "GDI object");
}

}  // namespace
