#include "tests/common/thread_state.h"

#if defined(__linux__)
#include <dirent.h>
#include <sys/syscall.h>

#include <fstream>
#include <sstream>

namespace {

// The first word of /proc/<pid>/task/<tid>/syscall: the system call number, or "running".
std::string SystemCall(pid_t pid, const std::string& tid, bool* idle) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/task/" + tid + "/syscall");
  std::string line;
  std::getline(file, line);
  // "number arg1 ... arg6 sp pc" while the thread is blocked in a system call.
  std::istringstream fields(line);
  long number = -1;
  unsigned long long arg[6] = {};
  fields >> number >> std::hex;
  for (auto& a : arg) fields >> a;
  *idle = false;
  if (fields) {
    switch (number) {
      case SYS_futex: {
        const unsigned long long op = arg[1] & 0x7F;  // without the private and clock flags
        *idle = (op == 0 /* FUTEX_WAIT */ || op == 9 /* FUTEX_WAIT_BITSET */) && arg[3] == 0;
        break;
      }
      case SYS_poll: *idle = static_cast<int>(arg[2]) == -1; break;
      case SYS_ppoll: *idle = arg[2] == 0; break;
      case SYS_pause:
      case SYS_read: *idle = true; break;
      default: break;
    }
  }
  return line.empty() ? "gone" : line.substr(0, line.find(' '));
}

}  // namespace

bool ThreadWaitsWithoutDeadline(pid_t pid, pid_t tid) {
  bool idle = false;
  SystemCall(pid, std::to_string(tid), &idle);
  return idle;
}

std::string ThreadsNotIdle(pid_t pid) {
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  DIR* dir = opendir(tasks.c_str());
  if (!dir) return "no such process";
  std::string busy;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    bool idle = false;
    const std::string call = SystemCall(pid, entry->d_name, &idle);
    if (!idle) busy += (busy.empty() ? "" : ", ") + std::string(entry->d_name) + ":" + call;
  }
  closedir(dir);
  return busy;
}

#endif
