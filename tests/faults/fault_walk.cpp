#include "tests/faults/fault_walk.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <new>
#include <sstream>

#include "program/program_main.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Running {
  size_t index = 0;
  pid_t pid = -1;
  int pidfd = -1;
  RunRecord* record = nullptr;
  std::string outputPath;
  Clock::time_point deadline;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

Running Start(SupportAllocation kind, SupportFailing failing, uint64_t n, size_t index, const std::string& directory,
              int boundMs) {
  Running run;
  run.index = index;
  void* shared = mmap(nullptr, sizeof(RunRecord), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (shared == MAP_FAILED) return run;
  run.record = new (shared) RunRecord;
  run.outputPath = directory + "/run-" + (kind == SupportAllocation::kHeap ? "heap-" : "gdi-") +
                   (failing == SupportFailing::kThatOne ? "" : "on-") + std::to_string(n) + ".txt";
  std::fflush(stdout);
  std::fflush(stderr);
  run.pid = fork();
  if (run.pid == 0) {
    const int out = open(run.outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || chdir(directory.c_str()) != 0) _exit(125);
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
    close(out);
    RunDemoUnderFault(kind, n, failing, run.record);
  }
  if (run.pid > 0) run.pidfd = static_cast<int>(syscall(SYS_pidfd_open, run.pid, 0));
  run.deadline = Clock::now() + std::chrono::milliseconds(boundMs);
  return run;
}

void Finish(Running& run, RunResult& result) {
  const RunRecord& record = *run.record;
  result.failed = record.failed != 0;
  result.failedPhase = record.failedPhase;
  result.failedOnMainThread = record.failedOnMainThread != 0;
  result.failedWhat = record.failedWhat;
  result.finished = record.finished != 0;
  result.idle = record.idle != 0;
  result.heapAllocations = record.heapAllocations;
  result.gdiObjectsMade = record.gdiObjectsMade;
  result.liveGdiObjects = record.liveGdiObjects;
  result.liveStrings = record.liveStrings;
  result.leaks = record.leaks != 0;
  result.pictureHash = record.pictureHash;
  result.output = ReadFile(run.outputPath);
  std::remove(run.outputPath.c_str());
  if (run.pidfd >= 0) close(run.pidfd);
  munmap(run.record, sizeof(RunRecord));
}

}  // namespace

std::vector<RunResult> RunPoints(SupportAllocation kind, SupportFailing failing, const std::vector<uint64_t>& points,
                                 const std::string& directory, int parallel, int boundMs) {
  std::vector<RunResult> results(points.size());
  std::vector<Running> running;
  size_t next = 0;
  while (next < points.size() || !running.empty()) {
    while (next < points.size() && static_cast<int>(running.size()) < parallel) {
      results[next].kind = kind;
      results[next].n = points[next];
      Running run = Start(kind, failing, points[next], next, directory, boundMs);
      if (run.pid <= 0 || run.pidfd < 0) {
        results[next].started = false;
        if (run.pid > 0) {
          kill(run.pid, SIGKILL);
          waitpid(run.pid, nullptr, 0);
        }
        if (run.record != nullptr) munmap(run.record, sizeof(RunRecord));
      } else {
        running.push_back(run);
      }
      ++next;
    }
    if (running.empty()) continue;
    // Wait for the first run to end, or for the nearest deadline.
    std::vector<pollfd> fds;
    Clock::time_point nearest = running.front().deadline;
    for (const Running& run : running) {
      fds.push_back({run.pidfd, POLLIN, 0});
      if (run.deadline < nearest) nearest = run.deadline;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(nearest - Clock::now()).count();
    poll(fds.data(), fds.size(), static_cast<int>(left > 0 ? left : 0));
    for (size_t i = running.size(); i-- > 0;) {
      Running& run = running[i];
      RunResult& result = results[run.index];
      const bool ended = (fds[i].revents & POLLIN) != 0;
      if (!ended && Clock::now() < run.deadline) continue;
      if (!ended) {
        result.hung = true;
        kill(run.pid, SIGKILL);
      }
      waitpid(run.pid, &result.status, 0);
      Finish(run, result);
      running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  return results;
}

const char* EndingName(Ending ending) {
  switch (ending) {
    case Ending::kCompleted: return "completed, closed with code 0";
    case Ending::kRuntimeHeapExhausted: return "runtime heap exhausted, code 3";
    case Ending::kConsoleCannotStart: return "console cannot start, code 1";
    case Ending::kUndocumented: return "UNDOCUMENTED";
  }
  return "?";
}

std::string PhaseName(int32_t phase) {
  if (phase == kPhaseStartUp) return "start-up";
  if (phase == kPhaseSetUp) return "set-up";
  if (phase >= kPhaseScriptStep && phase < kPhaseChecks)
    return "script step " + std::to_string(phase - kPhaseScriptStep + 1);
  if (phase == kPhaseChecks) return "after the script";
  return "not reached";
}

Ending Judge(const RunResult& run, const RunResult& clean, std::string* why) {
  auto undocumented = [why](const std::string& reason) {
    *why = reason;
    return Ending::kUndocumented;
  };
  if (!run.started) return undocumented("no process could be started for the run");
  if (run.hung) return undocumented("no end within the bound (a hang)");
  for (const char* report : {"Sanitizer", "runtime error:"})
    if (run.output.find(report) != std::string::npos) return undocumented(std::string("a report of ") + report);
  if (WIFSIGNALED(run.status)) return undocumented("killed by signal " + std::to_string(WTERMSIG(run.status)));
  if (!WIFEXITED(run.status)) return undocumented("no exit status");
  const int code = WEXITSTATUS(run.status);
  if (code == 3 && run.output.find("runtime: cannot allocate") != std::string::npos)
    return Ending::kRuntimeHeapExhausted;
  if (code == 1 && run.output.find("BASIC PROMPT: cannot create") != std::string::npos)
    return Ending::kConsoleCannotStart;
  if (code != 0) return undocumented("exit code " + std::to_string(code));
  if (!run.finished) return undocumented("code 0 before the demonstration ended");
  if (!run.idle) return undocumented("the window's thread never went idle");
  if (run.liveStrings != kStringSlots)
    return undocumented(std::to_string(run.liveStrings) + " strings live where the slots are " +
                        std::to_string(kStringSlots));
  if (run.liveGdiObjects > clean.liveGdiObjects)
    return undocumented(std::to_string(run.liveGdiObjects) + " GDI objects live, " +
                        std::to_string(clean.liveGdiObjects) + " without the failure");
  if (run.leaks) return undocumented("LeakSanitizer found lost blocks");
  return Ending::kCompleted;
}
