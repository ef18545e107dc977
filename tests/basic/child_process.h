// Runs a program as a child process with given standard input, collecting what it writes.
#pragma once

#include <string>
#include <vector>

struct ChildResult {
  std::string out, err;
  int exitCode = -1;  // when it exited
  int signal = 0;     // when a signal ended it
  bool timedOut = false;
};

// Runs argv[0] with the arguments in `dir`, environment `env` added to the current one, feeding
// `input` on standard input; killed after `timeoutMs`.
ChildResult RunChild(const std::vector<std::string>& argv, const std::string& dir,
                     const std::vector<std::string>& env, const std::string& input, int timeoutMs);

// A fresh empty folder for one run.
std::string ScratchFolder(const std::string& label);
