// The floors for scripts/bench.sh: a Windows GUI program that starts and ends, nothing else; built
// with IMPORT_AS_THE_TOOL it imports the system DLLs the tool imports, which the loader then loads
// and starts before wWinMain, as it does for the tool.

#include <windows.h>
#include <winternl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
#ifdef IMPORT_AS_THE_TOOL
    static volatile bool never = false;
    if (never) {
        RegCloseKey(nullptr);
        GetStockObject(WHITE_BRUSH);
        GetSysColor(COLOR_WINDOW);
        RtlNtStatusToDosError(0);
    }
#endif
    return 0;
}
