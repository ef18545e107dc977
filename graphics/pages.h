// The three global pages and the operations that show the graphics layer through them: workPage
// (640 x 400) holds a capture of the back buffer, halfPage (640 x 200) its top half, and showPage
// (640 x 400) that half with every row doubled.
#pragma once

#include <cstdint>

#include "graphics/surface.h"

constexpr int32_t kPageWidth = 640;
constexpr int32_t kPageHeight = 400;
constexpr int32_t kHalfPageHeight = 200;

extern Surface workPage;
extern Surface halfPage;
extern Surface showPage;

// Captures the back buffer's top-left 640 x 400 into workPage.
int32_t CaptureWorkPage();
// Draws workPage on the window at (0, 0), and into the back buffer.
int32_t ShowWorkPage();
// Shows workPage's rows 0..199 on the window with every row doubled (row r on rows 2r and 2r + 1),
// and into the back buffer.
int32_t ShowDoubledPage();
