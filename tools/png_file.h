// Reading and writing PNG files for the tools and the tests, on both stacks (tools/png/png_file.cpp,
// through the stb image reader and writer).
#pragma once

#include <string>

#include "tools/pixel_image.h"

// Writes `image` as an 8-bit RGB PNG; false (with a reason) when the file cannot be written.
bool WritePngFile(const std::string& path, const PixelImage& image, std::string* error);

// Reads any PNG, converted to 8-bit RGB (alpha dropped); false (with a reason) when it cannot.
bool ReadPngFile(const std::string& path, PixelImage* image, std::string* error);
