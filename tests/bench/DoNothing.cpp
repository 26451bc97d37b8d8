// The floor for scripts/bench.sh: a Windows GUI program that starts and ends, nothing else.

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return 0;
}
