#pragma once

#include <windows.h>

#include <string>

namespace VxUI {

// DrawTextW format for the alignment and ellipsis bits of a static control's style.
UINT StyleToDrawTextFormat(DWORD style);

// The format as both text functions use it: ampersands always literal, multi-line text wrapped
// like an edit control, and none of the bits that would change the call's meaning.
UINT NormalizeTextFormat(UINT format);

// Sets the rectangle to the extent of the text drawn with the font and format.
void MeasureText(HDC dc, RECT* rectangle, const std::wstring& text, HFONT font, UINT format);

// Draws the text in the colour, transparently; multi-line text is placed vertically as a block.
void DrawTextBlock(HDC dc, RECT rectangle, const std::wstring& text, HFONT font, COLORREF colour,
                   UINT format);

}  // namespace VxUI
