#pragma once

// The processor time this process has used so far, in seconds, all its threads together.
// std::clock() is not that everywhere: on Windows it counts wall-clock time.
double processCpuSeconds();
