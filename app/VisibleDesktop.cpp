#include "VisibleDesktop.h"

#include <windows.h>

bool HasVisibleDesktop()
{
    USEROBJECTFLAGS flags{};
    DWORD needed = 0;
    if (!GetUserObjectInformationW(GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof(flags), &needed) ||
        (flags.dwFlags & WSF_VISIBLE) == 0) {
        return false;
    }
    DWORD session = 0;
    return ProcessIdToSessionId(GetCurrentProcessId(), &session) && session != 0;
}
