#include "ThreadYield.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sched.h>
#endif

namespace VxOptions {

void YieldToOtherThread()
{
#ifdef _WIN32
    SwitchToThread();
#else
    sched_yield();
#endif
}

}  // namespace VxOptions
