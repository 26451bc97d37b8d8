// Uses each layer once, through its public header only, built without UNICODE and with the
// platform headers' defaults.
#include <VxOptions/VxOptionParser.h>
#include <VxRegistry/Win32Registry.h>
#include <VxUI/Button.h>

#include <cstdio>
#include <string>

namespace {

int failures = 0;

void Check(const char* what, unsigned long expected, unsigned long actual)
{
    if (expected != actual) {
        ++failures;
    }
    std::printf("%s: %s: expected 0x%lx, got 0x%lx\n", expected == actual ? "ok" : "FAIL", what, expected,
                actual);
}

void ValueInScratchKey()
{
    Win32Registry registry;
    registry.SetRootKey(HKEY_CURRENT_USER);
    const std::wstring key = L"Software\\LayersConsumer-" + std::to_wstring(GetCurrentProcessId());
    Check("scratch key created", true, registry.CreateKey(key));
    std::uint32_t value = 0xDEADBEEF;
    Check("DWORD written", true, registry.WriteDword(key, L"Answer", 42));
    Check("DWORD read", true, registry.ReadDword(key, L"Answer", value));
    Check("DWORD read back", 42, value);
    Check("scratch key removed", true, registry.DeleteKey(key));
}

void ParsedCommandLine()
{
    VxOptionParser parser;
    parser.AddOption(ValueRequired, L"level", L'l');
    Check("command line parsed", true, parser.ParseCommandLine(L"consumer.exe /level=5 word"));
    Check("option value", 5, static_cast<unsigned long>(parser.GetIntValue(L"level")));
    Check("plain words", 1, static_cast<unsigned long>(parser.GetArguments().size()));
}

void PaintedButton()
{
    const HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 120, 40, nullptr, nullptr,
                                        nullptr, nullptr);
    const HWND child = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE, 0, 0, 120, 40, parent,
                                       nullptr, nullptr, nullptr);
    const COLORREF accent = 0x00B06020;
    {
        VxUI::Button button;
        button.SetColors(accent, 0x00FFFFFF, 0x00000000);
        button.Attach(child);
        const HDC screen = GetDC(nullptr);
        const HDC dc = CreateCompatibleDC(screen);
        const HBITMAP bitmap = CreateCompatibleBitmap(screen, 120, 40);
        ReleaseDC(nullptr, screen);
        const HGDIOBJ previous = SelectObject(dc, bitmap);
        RECT rectangle{0, 0, 120, 40};
        button.Paint(dc, rectangle);
        // Left of the caption, inside the rounded corners: the fill of an enabled, bound button.
        Check("button filled with its accent", accent, GetPixel(dc, 8, 20));
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    DestroyWindow(parent);
}

}  // namespace

int main()
{
    ValueInScratchKey();
    ParsedCommandLine();
    PaintedButton();
    std::printf("%d failures\n", failures);
    return failures == 0 ? 0 : 1;
}
