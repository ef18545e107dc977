// Writes small uncompressed 24-bit BMP files for tests, from COLORREF pixels (rows top-down).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// True when the file was written. The file stores its rows bottom-up, as most BMP files do.
bool WriteBmp24(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels);
// Writes raw bytes to a file; true when all of them were written.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
