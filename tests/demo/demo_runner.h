// Running the demonstration for tests: the snapshot tool in a directory of the test's own, with or
// without the default picture, and the reading of what it wrote.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tools/png_file.h"

// A fresh directory for one test, removed afterwards; with `withPicture`, TILE_TEST.bmp is copied in.
class DemoDirectory {
 public:
  explicit DemoDirectory(bool withPicture);
  ~DemoDirectory();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::string SourcePath(const std::string& relative);  // inside the repository
std::string BinaryPath(const std::string& name);      // a program of this build

// Runs `tilepaint-snapshot --after-step step` in `directory` and reads the PNG it wrote. Fails the
// test (and returns an empty image) when the tool fails.
PixelImage SnapshotAfterStep(const DemoDirectory& directory, int step);

// The 8 x 8 tile the demonstration cuts: the top-left corner of the window after set-up.
PixelImage TileOf(const PixelImage& afterSetUp);
