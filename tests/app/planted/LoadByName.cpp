// Loads uxtheme.dll by its bare name, through the default search order that starts in the
// program's own folder, as any program without a restricted search order would.

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return LoadLibraryW(L"uxtheme.dll") != nullptr ? 0 : 1;
}
