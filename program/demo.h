// The tile-paint demonstration: set-up, the script, and its teardown.
#pragma once

void RunDemo();
void DemoTeardown();
