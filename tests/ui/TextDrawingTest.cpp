#include <VxUI/TextDrawing.h>

#include "Canvas.h"

#include <gtest/gtest.h>

namespace {

TEST(TextDrawing, StyleToDrawTextFormat)
{
    const struct {
        const char* what;
        DWORD style;
        UINT format;
    } rows[] = {
        {"left", SS_LEFT, 0},
        {"center", SS_CENTER, DT_CENTER},
        {"right", SS_RIGHT, DT_RIGHT},
        {"simple", SS_SIMPLE, DT_SINGLELINE},
        {"left, no word wrap", SS_LEFTNOWORDWRAP, DT_SINGLELINE},
        {"icon type", SS_ICON, 0},
        {"owner draw type", SS_OWNERDRAW, 0},
        {"center image", SS_LEFT | SS_CENTERIMAGE, DT_VCENTER},
        {"end ellipsis", 0x4000, DT_END_ELLIPSIS},
        {"path ellipsis", 0x8000, DT_PATH_ELLIPSIS},
        {"word ellipsis", 0xC000, DT_END_ELLIPSIS | DT_PATH_ELLIPSIS},
        {"title of the dialog", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER | SS_CENTERIMAGE, DT_CENTER | DT_VCENTER},
        {"no word wrap, centred vertically", SS_LEFTNOWORDWRAP | SS_CENTERIMAGE, DT_SINGLELINE | DT_VCENTER},
        {"window bits are ignored", WS_CHILD | WS_VISIBLE | WS_BORDER, 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.format, VxUI::StyleToDrawTextFormat(row.style)) << row.what;
    }
}

TEST(TextDrawing, NormalizeTextFormat)
{
    const struct {
        const char* what;
        UINT in;
        UINT out;
    } rows[] = {
        {"multi-line gets wrapping bits", 0, 0x82810},
        {"single line only gets no-prefix", DT_SINGLELINE, DT_SINGLELINE | DT_NOPREFIX},
        {"alignment kept", DT_CENTER | DT_VCENTER, DT_CENTER | DT_VCENTER | 0x82810},
        {"removed bits, multi-line", DT_TABSTOP | DT_NOCLIP | DT_EXTERNALLEADING | DT_CALCRECT | DT_INTERNAL |
                                         DT_MODIFYSTRING | DT_PREFIXONLY, 0x82810},
        {"removed bits, single line", DT_SINGLELINE | DT_CALCRECT | DT_NOCLIP, DT_SINGLELINE | DT_NOPREFIX},
        {"ellipsis kept", DT_SINGLELINE | DT_END_ELLIPSIS, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX},
        {"everything", 0xFFFFFFFFu, 0xFFDEE87Fu},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.out, VxUI::NormalizeTextFormat(row.in)) << row.what;
    }
}

constexpr COLORREF Ink = RGB(200, 0, 0);

class Drawing : public ::testing::Test {
protected:
    void TearDown() override { DeleteObject(font); }
    HFONT font = CreateCrispFont(14);
};

TEST_F(Drawing, MultiLineBlockIsPlacedVertically)
{
    const std::wstring text = L"First line\nSecond line";
    Canvas probe(200, 100);
    RECT extent{0, 0, 200, 0};
    VxUI::MeasureText(probe.Dc(), &extent, text, font, 0);
    const LONG used = extent.bottom - extent.top;
    ASSERT_GT(used, 20) << "two lines";
    ASSERT_LT(used, 100);

    const struct {
        const char* what;
        UINT format;
        LONG top;
    } rows[] = {
        {"top", 0, 0},
        {"centred", DT_VCENTER, (100 - used) / 2},
        {"bottom", DT_BOTTOM, 100 - used},
    };
    for (const auto& row : rows) {
        Canvas canvas(200, 100);
        VxUI::DrawTextBlock(canvas.Dc(), canvas.Rect(), text, font, Ink, row.format);
        const RECT ink = canvas.Bounds(Ink);
        EXPECT_GE(ink.top, row.top) << row.what;
        EXPECT_LE(ink.bottom, row.top + used) << row.what;
        EXPECT_LT(ink.top, row.top + used / 4) << row.what << ": the block starts at its place";
    }
}

TEST_F(Drawing, TallTextStartsAtTopAndIsClipped)
{
    const std::wstring text = L"1\n2\n3\n4\n5\n6\n7\n8\n9\n10";
    Canvas canvas(200, 60);
    RECT area{0, 10, 200, 40};
    VxUI::DrawTextBlock(canvas.Dc(), area, text, font, Ink, DT_VCENTER);
    const RECT ink = canvas.Bounds(Ink);
    EXPECT_GE(ink.top, 10) << "starts at the top even when centred";
    EXPECT_LT(ink.top, 15);
    EXPECT_LE(ink.bottom, 40) << "clipped at the bottom";
}

TEST_F(Drawing, SingleLineCentredHorizontally)
{
    Canvas canvas(200, 40);
    VxUI::DrawTextBlock(canvas.Dc(), canvas.Rect(), L"Middle", font, Ink, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    const RECT ink = canvas.Bounds(Ink);
    ASSERT_GT(ink.right, 0);
    // Glyph side bearings make the ink a little narrower than the advance width.
    EXPECT_NEAR(ink.left, 200 - ink.right, 4) << "equal margins";
}

TEST_F(Drawing, AmpersandIsDrawnLiterally)
{
    Canvas with(200, 40);
    Canvas without(200, 40);
    VxUI::DrawTextBlock(with.Dc(), with.Rect(), L"A&&B", font, Ink, DT_SINGLELINE);
    VxUI::DrawTextBlock(without.Dc(), without.Rect(), L"A&B", font, Ink, DT_SINGLELINE);
    EXPECT_GT(with.Bounds(Ink).right, without.Bounds(Ink).right) << "two ampersands are wider than one";
    Canvas single(200, 40);
    VxUI::DrawTextBlock(single.Dc(), single.Rect(), L"AB", font, Ink, DT_SINGLELINE);
    EXPECT_GT(without.Bounds(Ink).right, single.Bounds(Ink).right) << "the ampersand is drawn, not a prefix";
}

TEST_F(Drawing, EmptyTextTouchesNothing)
{
    Canvas canvas(50, 20);
    SetBkMode(canvas.Dc(), OPAQUE);
    SetTextColor(canvas.Dc(), RGB(1, 2, 3));
    const HGDIOBJ before = GetCurrentObject(canvas.Dc(), OBJ_FONT);
    VxUI::DrawTextBlock(canvas.Dc(), canvas.Rect(), L"", font, Ink, 0);
    EXPECT_EQ(OPAQUE, GetBkMode(canvas.Dc()));
    EXPECT_EQ(RGB(1, 2, 3), GetTextColor(canvas.Dc()));
    EXPECT_EQ(before, GetCurrentObject(canvas.Dc(), OBJ_FONT));
    EXPECT_EQ(50 * 20, canvas.Count(RGB(255, 255, 255)));
}

TEST_F(Drawing, DrawingRestoresFontAndLeavesColours)
{
    Canvas canvas(100, 30);
    const HGDIOBJ before = GetCurrentObject(canvas.Dc(), OBJ_FONT);
    VxUI::DrawTextBlock(canvas.Dc(), canvas.Rect(), L"x", font, Ink, DT_SINGLELINE);
    EXPECT_EQ(before, GetCurrentObject(canvas.Dc(), OBJ_FONT));
    EXPECT_EQ(TRANSPARENT, GetBkMode(canvas.Dc()));
    EXPECT_EQ(Ink, GetTextColor(canvas.Dc()));
}

}  // namespace
