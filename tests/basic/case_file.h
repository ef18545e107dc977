// The case files of the BASIC runner: many small programs to a file, each with what it must print.
#pragma once

#include <map>
#include <string>
#include <vector>

struct BasicCase {
  std::string file;   // the .cases file's name
  std::string name;
  std::string program;
  bool direct = false;
  std::string input;
  bool hasOutput = false;
  std::string output;
  bool hasErrors = false;
  std::string errors;
  int exitCode = 0;
  std::map<std::string, std::string> setup;  // files made before the run
  std::map<std::string, std::string> files;  // files that must hold this after it
};

// Every case of every *.cases file in `dir`, in file and case order. Malformed headers are reported
// through `problems`.
std::vector<BasicCase> ReadCaseFiles(const std::string& dir, std::vector<std::string>& problems);
