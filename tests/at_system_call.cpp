#include "at_system_call.h"

#include <fiu-control.h>
#include <fiu.h>

#include <string>

namespace {

std::string watchedCalls;
int callsBeforeStep = 0;
std::function<void()> stepAtCall;

int countCall(const char*, int*, void**, unsigned*)
{
    if (--callsBeforeStep != 0)
        return 0;
    if (!stepAtCall)
        return 1;  // this call fails
    stepAtCall();
    return 0;
}

bool watch(int count, std::function<void()> step, const char* calls, int error)
{
    watchedCalls = calls;
    callsBeforeStep = count;
    stepAtCall = std::move(step);
    void* const failure = reinterpret_cast<void*>(static_cast<long>(error));  // the posix wrappers' errno
    return fiu_init(0) == 0 && fiu_enable_external(calls, 1, failure, 0, countCall) == 0;
}

}  // namespace

bool runBeforeSystemCall(int count, std::function<void()> step, const char* calls)
{
    return watch(count, std::move(step), calls, 0);
}

bool failSystemCall(int count, const char* calls, int error)
{
    return watch(count, nullptr, calls, error);
}

bool stopWatchingSystemCalls()
{
    fiu_disable(watchedCalls.c_str());
    return callsBeforeStep > 0;
}
