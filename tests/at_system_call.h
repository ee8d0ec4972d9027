#pragma once

#include <functional>

// Runs `step` just before the `count`-th system call from now on that
// libfiu's preloaded posix wrappers see among `calls` (as libfiu names them:
// "posix/io/sync/fsync", or "posix/*" for every one), and lets every call go
// ahead. False when libfiu could not be set so. The wrappers must be preloaded.
bool runBeforeSystemCall(int count, std::function<void()> step, const char* calls = "posix/*");

// Makes the `count`-th of those calls fail with `error` instead.
bool failSystemCall(int count, const char* calls, int error);

// Forgets the step or the failure. True when the chosen call never came.
bool stopWatchingSystemCalls();
