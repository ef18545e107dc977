// Writes small uncompressed 24-bit BMP files for tests (the writer the tools use).
#pragma once

#include "tools/bmp_file.h"
