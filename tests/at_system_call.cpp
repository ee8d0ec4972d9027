#include "at_system_call.h"

#include <fiu-control.h>
#include <fiu.h>

namespace {

int callsBeforeStep = 0;
std::function<void()> stepAtCall;

int countCall(const char*, int*, void**, unsigned*)
{
    if (--callsBeforeStep == 0)
        stepAtCall();
    return 0;  // the call itself does not fail
}

}  // namespace

bool runBeforeSystemCall(int count, std::function<void()> step)
{
    callsBeforeStep = count;
    stepAtCall = std::move(step);
    return fiu_init(0) == 0 && fiu_enable_external("posix/*", 1, nullptr, 0, countCall) == 0;
}

bool stopWatchingSystemCalls()
{
    fiu_disable("posix/*");
    return callsBeforeStep > 0;
}
