#include "Visibility.h"

#include <windows.h>

namespace {

bool StationVisible()
{
    USEROBJECTFLAGS flags{};
    DWORD needed = 0;
    return GetUserObjectInformationW(GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof(flags), &needed) &&
           (flags.dwFlags & WSF_VISIBLE) != 0;
}

bool OutsideSessionZero()
{
    DWORD session = 0;
    return ProcessIdToSessionId(GetCurrentProcessId(), &session) && session != 0;
}

// The first ShowWindow of a process takes the show state its starter gave, whatever it asks for.
bool StartedHidden()
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 && startup.wShowWindow == SW_HIDE;
}

}  // namespace

bool DialogCanBeSeen()
{
    return StationVisible() && OutsideSessionZero() && !StartedHidden();
}
