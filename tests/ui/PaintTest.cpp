// Controls painted into memory DCs and judged by their pixels.

#include <VxUI/Button.h>
#include <VxUI/Font.h>
#include <VxUI/TextBlock.h>

#include "Canvas.h"
#include "Host.h"
#include "SystemColours.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Accent = 0x993300;
constexpr COLORREF HoverFill = 0xD96C00;
constexpr COLORREF HoverText = 0x00FF00;
constexpr int Width = 120;
constexpr int Height = 30;

class ButtonPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        child = host.Child(L"BUTTON", L"OK", BS_PUSHBUTTON, Width, Height);
        ASSERT_NE(nullptr, child);
        button.Attach(child);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        button.SetColors(Accent, HoverFill, HoverText);
    }
    void TearDown() override
    {
        DestroyWindow(child);
        DeleteObject(font);
    }

    void PaintInto(Canvas& canvas)
    {
        RECT rect = canvas.Rect();
        button.Paint(canvas.Dc(), rect);
    }

    // The designed look unless a test turns high contrast on, whatever the machine's setting.
    SystemColours colours{false};
    Host host;
    HWND child = nullptr;
    VxUI::Button button;
    HFONT font = CreateCrispFont(14);
};

TEST_F(ButtonPaint, ColourTable)
{
    // An unframed look has its fill for a frame; high contrast ("contrast") ignores hovering.
    const auto sys = SystemColours::Of;
    const struct {
        const char* what;
        bool highContrast;
        bool enabled;
        bool filled;
        bool hovered;
        COLORREF fill;
        COLORREF caption;
        COLORREF frame;
    } rows[] = {
        {"disabled filled", false, false, true, false, 0xF0F0F0, 0xACACAC, 0xF0F0F0},
        {"disabled filled hovered", false, false, true, true, 0xF0F0F0, 0xACACAC, 0xF0F0F0},
        {"disabled outline hovered", false, false, false, true, 0xF0F0F0, 0xACACAC, 0xF0F0F0},
        {"filled", false, true, true, false, Accent, White, Accent},
        {"filled hovered", false, true, true, true, HoverFill, HoverText, HoverFill},
        {"outline", false, true, false, false, White, Accent, Accent},
        {"outline hovered", false, true, false, true, 0xF8F8F8, Accent, Accent},
        {"contrast, disabled", true, false, true, false, sys(COLOR_WINDOW), sys(COLOR_GRAYTEXT), sys(COLOR_GRAYTEXT)},
        {"contrast, filled", true, true, true, true, sys(COLOR_HIGHLIGHT), sys(COLOR_HIGHLIGHTTEXT), sys(COLOR_HIGHLIGHT)},
        {"contrast, outline", true, true, false, true, sys(COLOR_BTNFACE), sys(COLOR_BTNTEXT), sys(COLOR_WINDOWTEXT)},
    };
    for (const auto& row : rows) {
        SystemColours::highContrast = row.highContrast;
        const COLORREF background = row.highContrast ? sys(COLOR_WINDOW) : White;
        EnableWindow(child, row.enabled);
        button.SetFilled(row.filled);
        button.state = row.hovered ? button.hoverBit : 0;
        Canvas canvas(Width, Height);
        PaintInto(canvas);
        EXPECT_EQ(row.fill, canvas.Pixel(6, Height / 2)) << row.what << ": fill";
        EXPECT_GT(canvas.Count(row.caption, RECT{10, 2, Width - 10, Height - 2}), 10) << row.what << ": caption";
        EXPECT_EQ(row.frame, canvas.Pixel(0, Height / 2)) << row.what << ": left edge";
        EXPECT_EQ(row.frame, canvas.Pixel(1, Height / 2)) << row.what << ": second column";
        EXPECT_EQ(row.frame, canvas.Pixel(Width / 2, Height - 2)) << row.what << ": second row from the bottom";
        EXPECT_EQ(row.fill, canvas.Pixel(2, Height / 2)) << row.what << ": the frame is two pixels wide";
        EXPECT_EQ(background, canvas.Pixel(0, 0)) << row.what << ": corner keeps the background";
        EXPECT_EQ(background, canvas.Pixel(Width - 1, Height - 1)) << row.what << ": corner keeps the background";
    }
}

TEST_F(ButtonPaint, DefaultsWithoutSetColors)
{
    VxUI::Button plain;
    const HWND other = host.Child(L"BUTTON", L"OK", BS_PUSHBUTTON, Width, Height);
    plain.Attach(other);
    SendMessageW(other, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    Canvas canvas(Width, Height);
    RECT rect = canvas.Rect();
    plain.Paint(canvas.Dc(), rect);
    EXPECT_EQ(RGB(0, 0, 0), canvas.Pixel(6, Height / 2));
    EXPECT_GT(canvas.Count(White, RECT{10, 2, Width - 10, Height - 2}), 10);
    plain.state = plain.hoverBit;
    plain.Paint(canvas.Dc(), rect);
    EXPECT_EQ(0x777777u, canvas.Pixel(6, Height / 2));
    DestroyWindow(other);
}

// The tests run at 96 dpi and again with the screen set to 144 dpi.
struct Geometry {
    int dpi;
    int corner;
    int inset;
};

std::optional<Geometry> ExpectedGeometry()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    for (const Geometry& row : {Geometry{96, 5, 3}, Geometry{144, 8, 4}}) {
        if (row.dpi == dpi) {
            return row;
        }
    }
    return std::nullopt;
}

TEST_F(ButtonPaint, CornerEllipseFollowsResolution)
{
    const auto geometry = ExpectedGeometry();
    if (!geometry) {
        GTEST_SKIP() << "no expectations for this resolution";
    }
    Canvas canvas(Width, Height);
    PaintInto(canvas);
    const HRGN shape = CreateRoundRectRgn(0, 0, Width, Height, geometry->corner, geometry->corner);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const COLORREF expected = PtInRegion(shape, x, y) ? Accent : White;
            EXPECT_EQ(expected, canvas.Pixel(x, y)) << "pixel " << x << "," << y << " at " << geometry->dpi << " dpi";
        }
    }
    DeleteObject(shape);
}

TEST_F(ButtonPaint, FocusRectangleInsetFollowsResolution)
{
    const auto geometry = ExpectedGeometry();
    if (!geometry) {
        GTEST_SKIP() << "no expectations for this resolution";
    }
    const int inset = geometry->inset;

    SetWindowTextW(child, L"");
    Canvas plain(Width, Height);
    PaintInto(plain);
    button.state = button.focusBit;
    Canvas focused(Width, Height);
    PaintInto(focused);

    const RECT changed = focused.Differences(plain);
    EXPECT_EQ(inset, changed.left) << geometry->dpi << " dpi";
    EXPECT_EQ(inset, changed.top) << geometry->dpi << " dpi";
    // The rectangle ends inset + 1 from the right and bottom; DrawFocusRect stops one short of that.
    EXPECT_EQ(Width - inset - 1, changed.right) << geometry->dpi << " dpi";
    EXPECT_EQ(Height - inset - 1, changed.bottom) << geometry->dpi << " dpi";
}

TEST_F(ButtonPaint, CaptionCentredOrEllipsised)
{
    button.SetFilled(false);
    // Inside the frame and clear of its rounded corners, accent pixels are the caption's.
    Canvas centred(Width, Height);
    PaintInto(centred);
    const RECT caption = centred.Bounds(Accent, RECT{3, 6, Width - 3, Height - 6});
    ASSERT_GT(caption.right, caption.left);
    EXPECT_NEAR(caption.left, Width - caption.right, 4) << "centred";

    // Filled, clear of the rounded corners, white pixels are the caption's.
    button.SetFilled(true);
    SetWindowTextW(child, L"A caption far too long for this button");
    Canvas ellipsised(Width, Height);
    PaintInto(ellipsised);
    const RECT body{0, 6, Width - 1, Height - 6};
    const RECT ink = ellipsised.Bounds(White, body);
    EXPECT_LT(ink.left, 6) << "a caption wider than the button starts at its left edge";
    const RECT last = ellipsised.Bounds(White, RECT{ink.right - 1, body.top, ink.right, body.bottom});
    EXPECT_GT(last.top, (ink.top + ink.bottom) / 2)
        << "and ends in an ellipsis: the last column's ink is a dot on the baseline, from row " << last.top
        << " (caption rows " << ink.top << " to " << ink.bottom << ")";
}

// Through the real path (WM_PAINT, its DC and the blit), read back from the screen. Focus drawn
// on and off the screen must leave exactly what a paint in that state draws, also where the
// caption crosses the focus rectangle. This program has no manifest: user32's own button is below.
TEST_F(ButtonPaint, ScreenShowsThePaintAsFocusAndTheSpaceBarComeAndGo)
{
    button.SetFilled(false);
    SetWindowTextW(child, L"A caption far too long for this button");
    ShowWindow(host.window, SW_SHOWNA);
    UpdateWindow(host.window);
    Canvas screen(Width, Height);
    const auto expectPaintOnScreen = [&](const char* when) {
        Canvas painted(Width, Height);
        PaintInto(painted);
        screen.CopyWindow(child);
        const RECT differ = screen.Differences(painted);
        EXPECT_EQ(0, differ.right - differ.left) << when << ": the screen differs from x " << differ.left
                                                 << ", y " << differ.top << " to x " << differ.right << ", y "
                                                 << differ.bottom;
    };

    expectPaintOnScreen("shown");
    EXPECT_EQ(Accent, screen.Pixel(0, Height / 2)) << "frame";
    EXPECT_EQ(White, screen.Pixel(Width / 2, 3)) << "fill";
    EXPECT_EQ(White, screen.Pixel(0, 0)) << "background";
    EXPECT_GT(screen.Count(Accent, RECT{3, 6, Width - 3, Height - 6}), 10) << "caption";
    for (const UINT message : {UINT{WM_PRINTCLIENT}, UINT{WM_PRINT}}) {
        Canvas printed(Width, Height);
        SendMessageW(child, message, reinterpret_cast<WPARAM>(printed.Dc()), PRF_CLIENT);
        screen.CopyWindow(child);
        EXPECT_EQ(0, printed.Differences(screen).right) << "printed by message 0x" << std::hex << message;
    }

    // The native button draws its new caption and its enabled face itself.
    SetWindowTextW(child, L"Another caption, also too long");
    expectPaintOnScreen("caption set");
    EnableWindow(child, FALSE);
    expectPaintOnScreen("disabled");
    EnableWindow(child, TRUE);
    expectPaintOnScreen("enabled");
    SendMessageW(child, WM_SETFOCUS, 0, 0);
    ASSERT_TRUE(button.state & button.focusBit);
    expectPaintOnScreen("focus drawn on the screen");
    InvalidateRect(child, nullptr, FALSE);
    UpdateWindow(child);
    expectPaintOnScreen("repainted with focus");
    // The native button draws its pushed face itself when the space bar goes down and up.
    SendMessageW(child, WM_KEYDOWN, VK_SPACE, 0);
    expectPaintOnScreen("space bar pressed");
    SendMessageW(child, WM_KEYUP, VK_SPACE, 0);
    expectPaintOnScreen("space bar released");
    SendMessageW(child, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(child, WM_KILLFOCUS, 0, 0);
    expectPaintOnScreen("focus taken off the screen with the space bar down");
}

// A black icon on the outline look's white fill, found by its black pixels.
TEST_F(ButtonPaint, IconSitsLeftOfTheCaption)
{
    BYTE andMask[32 * 32 / 8] = {};
    BYTE xorMask[32 * 32 / 8] = {};
    button.SetIcon(CreateIcon(GetModuleHandleW(nullptr), 32, 32, 1, 1, andMask, xorMask));
    ASSERT_NE(nullptr, button.icon);
    button.SetFilled(false);
    constexpr int wide = 200;
    SetWindowPos(child, nullptr, 0, 0, wide, Height, SWP_NOMOVE | SWP_NOZORDER);

    TEXTMETRICW metrics{};
    {
        Canvas probe(1, 1);
        const HGDIOBJ previous = SelectObject(probe.Dc(), font);
        GetTextMetricsW(probe.Dc(), &metrics);
        SelectObject(probe.Dc(), previous);
    }
    const int size = metrics.tmAscent;
    const int gap = size / 4;
    ASSERT_GT(size, 4);

    const struct {
        const char* what;
        const wchar_t* caption;
        bool captionMoved;
    } rows[] = {
        {"short caption: icon g pixels left of it", L"OK", false},
        {"long caption: icon at g, caption after it", L"A caption that fills the whole button", true},
    };
    for (const auto& row : rows) {
        SetWindowTextW(child, row.caption);
        Canvas canvas(wide, Height);
        RECT rect = canvas.Rect();
        button.Paint(canvas.Dc(), rect);
        const RECT icon = canvas.Bounds(RGB(0, 0, 0));
        EXPECT_EQ(size, icon.right - icon.left) << row.what << ": icon width is the ascent";
        EXPECT_EQ(size, icon.bottom - icon.top) << row.what;
        EXPECT_EQ((Height - size) / 2, icon.top) << row.what;
        int captionLeft = wide;
        for (int y = 3; y < Height - 3; ++y) {
            for (int x = 3; x < wide - 3; ++x) {
                if (canvas.Pixel(x, y) == Accent && x < captionLeft) {
                    captionLeft = x;
                }
            }
        }
        if (row.captionMoved) {
            EXPECT_EQ(gap, icon.left) << row.what;
            EXPECT_GE(captionLeft, 2 * gap + size) << row.what;
        } else {
            EXPECT_GT(icon.left, gap) << row.what;
            // The caption's ink starts at or just after its advance start, g pixels right of the icon.
            EXPECT_GE(captionLeft - icon.right, gap) << row.what;
            EXPECT_LE(captionLeft - icon.right, gap + 3) << row.what;
        }
    }
}

TEST(TextBlockPaint, ColourDisabledGreyAndEmpty)
{
    Host host;
    const HWND child = host.Child(L"STATIC", L"Some text", SS_LEFT, Width, Height);
    VxUI::TextBlock text;
    text.Attach(child);
    const HFONT font = CreateCrispFont(14);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    text.SetColor(Accent);

    Canvas enabled(Width, Height);
    RECT rect = enabled.Rect();
    text.Paint(enabled.Dc(), rect);
    EXPECT_GT(enabled.Count(Accent), 10);
    EXPECT_EQ(0, enabled.Count(0xACACAC));

    EnableWindow(child, FALSE);
    Canvas disabled(Width, Height);
    text.Paint(disabled.Dc(), rect);
    EXPECT_GT(disabled.Count(0xACACAC), 10);
    EXPECT_EQ(0, disabled.Count(Accent));

    {
        SystemColours system{true};
        Canvas contrast(Width, Height);
        text.Paint(contrast.Dc(), rect);
        EXPECT_GT(contrast.Count(SystemColours::Of(COLOR_GRAYTEXT)), 10) << "high contrast, disabled";
        EnableWindow(child, TRUE);
        text.Paint(contrast.Dc(), rect);
        EXPECT_GT(contrast.Count(SystemColours::Of(COLOR_WINDOWTEXT)), 10) << "high contrast";
        EXPECT_EQ(0, contrast.Count(Accent)) << "the text's own colour gives way";
        EXPECT_GT(contrast.Count(SystemColours::Of(COLOR_WINDOW)), Width * Height / 2) << "system background";
    }

    EnableWindow(child, TRUE);
    SetWindowTextW(child, L"");
    Canvas empty(Width, Height);
    FillRect(empty.Dc(), &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    text.Paint(empty.Dc(), rect);
    EXPECT_EQ(Width * Height, empty.Count(White)) << "only the background";

    DestroyWindow(child);
    DeleteObject(font);
}

TEST(TextBlockPaint, FollowsTheStaticStyle)
{
    Host host;
    const HFONT font = CreateCrispFont(14);
    const struct {
        const char* what;
        DWORD style;
        bool centredHorizontally;
        bool centredVertically;
    } rows[] = {
        {"left", SS_LEFT, false, false},
        {"centre", SS_CENTER, true, false},
        {"centre, centre image", SS_CENTER | SS_CENTERIMAGE, true, true},
        {"no word wrap, centre image", SS_LEFTNOWORDWRAP | SS_CENTERIMAGE, false, true},
    };
    for (const auto& row : rows) {
        const HWND child = host.Child(L"STATIC", L"Text", row.style, 200, 60);
        VxUI::TextBlock text;
        text.Attach(child);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        Canvas canvas(200, 60);
        RECT rect = canvas.Rect();
        text.Paint(canvas.Dc(), rect);
        const RECT ink = canvas.Bounds(RGB(0, 0, 0));
        ASSERT_GT(ink.right, 0) << row.what;
        if (row.centredHorizontally) {
            EXPECT_NEAR(ink.left, 200 - ink.right, 4) << row.what;
        } else {
            EXPECT_LT(ink.left, 5) << row.what;
        }
        if (row.centredVertically) {
            EXPECT_NEAR(ink.top, 60 - ink.bottom, 6) << row.what;
        } else {
            EXPECT_LT(ink.top, 8) << row.what;
        }
        DestroyWindow(child);
    }
    DeleteObject(font);
}

}  // namespace
