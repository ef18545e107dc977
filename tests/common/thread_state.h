// Whether threads are idle the way an event-driven program should be: blocked in the kernel with no
// deadline (a futex wait without a time-out, poll without one, a blocking read, pause), so that only
// an event wakes them. Read from /proc, so Linux only.
#pragma once

#include <sys/types.h>

#include <string>

// Whether thread `tid` of process `pid` is so blocked right now.
bool ThreadWaitsWithoutDeadline(pid_t pid, pid_t tid);

// The threads of the process that are not, each as "tid:system call number" ("tid:running" for one
// on a processor); empty when the whole process is idle.
std::string ThreadsNotIdle(pid_t pid);

// The threads of the process that wait with a time-out (a timed futex wait or poll, a sleep), each as
// "tid:system call number"; empty when there are none or the process is gone.
std::string ThreadsWaitingWithDeadline(pid_t pid);
