#include "tests/common/thread_state.h"

#if defined(__linux__)
#include <dirent.h>
#include <sys/syscall.h>

#include <fstream>
#include <sstream>

namespace {

enum class Blocked { kNo, kWithoutDeadline, kWithDeadline };

// How a thread blocked in `number` waits, from the call's arguments. Architectures without the old
// calls (aarch64 has no poll and no pause, only ppoll and rt_sigsuspend) simply never make them.
Blocked Classify(long number, const unsigned long long (&arg)[6]) {
  switch (number) {
    case SYS_futex: {
      const unsigned long long op = arg[1] & 0x7F;  // without the private and clock flags
      if (op != 0 /* FUTEX_WAIT */ && op != 9 /* FUTEX_WAIT_BITSET */) return Blocked::kNo;
      return arg[3] == 0 ? Blocked::kWithoutDeadline : Blocked::kWithDeadline;
    }
#ifdef SYS_poll
    case SYS_poll: return static_cast<int>(arg[2]) < 0 ? Blocked::kWithoutDeadline : Blocked::kWithDeadline;
#endif
    case SYS_ppoll: return arg[2] == 0 ? Blocked::kWithoutDeadline : Blocked::kWithDeadline;
#ifdef SYS_pause
    case SYS_pause:
#endif
    case SYS_rt_sigsuspend:
    case SYS_read: return Blocked::kWithoutDeadline;
    case SYS_nanosleep:
    case SYS_clock_nanosleep: return Blocked::kWithDeadline;
    default: return Blocked::kNo;
  }
}

// The first word of /proc/<pid>/task/<tid>/syscall (the system call number, or "running"), and how
// the thread is blocked.
std::string SystemCall(pid_t pid, const std::string& tid, Blocked* blocked) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/task/" + tid + "/syscall");
  std::string line;
  std::getline(file, line);
  // "number arg1 ... arg6 sp pc" while the thread is blocked in a system call.
  std::istringstream fields(line);
  long number = -1;
  unsigned long long arg[6] = {};
  fields >> number >> std::hex;
  for (auto& a : arg) fields >> a;
  *blocked = fields ? Classify(number, arg) : Blocked::kNo;
  return line.empty() ? "gone" : line.substr(0, line.find(' '));
}

// The threads of the process for which `select` holds, each as "tid:call".
template <typename Select>
std::string ThreadsWhere(pid_t pid, Select select) {
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  DIR* dir = opendir(tasks.c_str());
  if (!dir) return "no such process";
  std::string chosen;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    Blocked blocked;
    const std::string call = SystemCall(pid, entry->d_name, &blocked);
    if (select(blocked)) chosen += (chosen.empty() ? "" : ", ") + std::string(entry->d_name) + ":" + call;
  }
  closedir(dir);
  return chosen;
}

}  // namespace

bool ThreadWaitsWithoutDeadline(pid_t pid, pid_t tid) {
  Blocked blocked;
  SystemCall(pid, std::to_string(tid), &blocked);
  return blocked == Blocked::kWithoutDeadline;
}

std::string ThreadsNotIdle(pid_t pid) {
  return ThreadsWhere(pid, [](Blocked b) { return b != Blocked::kWithoutDeadline; });
}

std::string ThreadsWaitingWithDeadline(pid_t pid) {
  const std::string found = ThreadsWhere(pid, [](Blocked b) { return b == Blocked::kWithDeadline; });
  return found == "no such process" ? "" : found;
}

#endif
