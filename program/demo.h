// The tile-paint demonstration: set-up, the script, and its teardown.
#pragma once

// The script's two variables, the anchor of its boxes.
extern double X;
extern double Y;

// Set-up and then the whole script, with its pauses.
void RunDemo();
// Destroys the tile image and the three pages (their bitmaps included).
void DemoTeardown();

// The parts of RunDemo, for tools that stop the script early: the set-up, and the script's steps 1 to
// `lastStep` (0 runs none, 11 all). Without `sleep` the two one-second pauses are left out.
void DemoSetUp();
void DemoRunScript(int lastStep, bool sleep);
// One step of the script (1 to 11), as DemoRunScript runs it.
void DemoRunStep(int step, bool sleep);

constexpr int kDemoLastStep = 11;
