#pragma once

#include <functional>

// Runs `step` just before the `count`-th system call from now on that
// libfiu's preloaded posix wrappers see, and lets every call go ahead. False
// when libfiu could not be set so. The wrappers must be preloaded.
bool runBeforeSystemCall(int count, std::function<void()> step);

// Forgets the step. True when the chosen call never came.
bool stopWatchingSystemCalls();
