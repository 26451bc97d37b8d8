#include "ThreadYield.h"

#ifdef _WIN32
#include <windows.h>

void YieldToOtherThread()
{
    SwitchToThread();
}
#else
#include <sched.h>

void YieldToOtherThread()
{
    sched_yield();
}
#endif
