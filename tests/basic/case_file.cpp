#include "tests/basic/case_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

const char* const kHeaders[] = {"case", "direct", "input", "output", "errors", "exit", "setup", "file"};

// "#word rest" when word is a header; false for content.
bool Header(const std::string& line, std::string& word, std::string& rest) {
  if (line.empty() || line[0] != '#') return false;
  const size_t space = line.find(' ');
  word = line.substr(1, space == std::string::npos ? std::string::npos : space - 1);
  rest = space == std::string::npos ? std::string() : line.substr(space + 1);
  return std::find(std::begin(kHeaders), std::end(kHeaders), word) != std::end(kHeaders);
}

// A section's lines joined, each ending in `end`, except after a last line "#noeol".
std::string Join(const std::vector<std::string>& lines, const std::string& end) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i + 1 == lines.size() && lines[i] == "#noeol") {
      if (out.size() >= end.size()) out.resize(out.size() - end.size());
      break;
    }
    out += lines[i] + end;
  }
  return out;
}

}  // namespace

std::vector<BasicCase> ReadCaseFiles(const std::string& dir, std::vector<std::string>& problems) {
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.path().extension() == ".cases") paths.push_back(entry.path().string());
  std::sort(paths.begin(), paths.end());

  std::vector<BasicCase> cases;
  for (const std::string& path : paths) {
    std::ifstream in(path, std::ios::binary);
    const std::string fileName = std::filesystem::path(path).filename().string();
    std::string line, section, argument;
    std::vector<std::string> body;
    BasicCase* current = nullptr;
    auto close = [&]() {
      if (!current) return;
      if (section == "case") current->program = Join(body, "\n");
      if (section == "input") current->input = Join(body, "\n");
      if (section == "output") current->hasOutput = true, current->output = Join(body, "\n");
      if (section == "errors") current->hasErrors = true, current->errors = Join(body, "\n");
      if (section == "setup") current->setup[argument] = Join(body, "\r\n");
      if (section == "file") current->files[argument] = Join(body, "\r\n");
      body.clear();
    };
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::string word, rest;
      if (!Header(line, word, rest)) {
        if (!current) {
          if (!line.empty()) problems.push_back(fileName + ": text before the first #case: " + line);
          continue;
        }
        body.push_back(line);
        continue;
      }
      close();
      section = word;
      argument = rest;
      if (word == "case") {
        cases.push_back(BasicCase{});
        current = &cases.back();
        current->file = fileName;
        current->name = rest;
      } else if (!current) {
        problems.push_back(fileName + ": #" + word + " before the first #case");
      } else if (word == "direct") {
        current->direct = true;
      } else if (word == "exit") {
        current->exitCode = std::atoi(rest.c_str());
      }
    }
    close();
  }
  return cases;
}
