#include <VxUI/TextDrawing.h>

namespace VxUI {

namespace {

constexpr DWORD SsEndEllipsis = 0x4000;
constexpr DWORD SsPathEllipsis = 0x8000;
constexpr UINT MultiLineBits = DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL | DT_NOFULLWIDTHCHARBREAK;
constexpr UINT RemovedBits = DT_TABSTOP | DT_NOCLIP | DT_EXTERNALLEADING | DT_CALCRECT | DT_INTERNAL |
                             DT_MODIFYSTRING | DT_PREFIXONLY;

int Length(const std::wstring& text)
{
    return static_cast<int>(text.size());
}

}  // namespace

UINT StyleToDrawTextFormat(DWORD style)
{
    UINT format = 0;
    if (style & SS_CENTERIMAGE) {
        format |= DT_VCENTER;
    }
    if (style & SsEndEllipsis) {
        format |= DT_END_ELLIPSIS;
    }
    if (style & SsPathEllipsis) {
        format |= DT_PATH_ELLIPSIS;
    }
    switch (style & SS_TYPEMASK) {
    case SS_CENTER:
        format |= DT_CENTER;
        break;
    case SS_RIGHT:
        format |= DT_RIGHT;
        break;
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
        format |= DT_SINGLELINE;
        break;
    default:
        break;
    }
    return format;
}

UINT NormalizeTextFormat(UINT format)
{
    format |= (format & DT_SINGLELINE) ? UINT{DT_NOPREFIX} : MultiLineBits;
    return format & ~RemovedBits;
}

void MeasureText(HDC dc, RECT* rectangle, const std::wstring& text, HFONT font, UINT format)
{
    const UINT measure = NormalizeTextFormat(format) | DT_CALCRECT;
    const HGDIOBJ previous = SelectObject(dc, font);
    DrawTextW(dc, text.c_str(), Length(text), rectangle, measure);
    SelectObject(dc, previous);
}

void DrawTextBlock(HDC dc, RECT rectangle, const std::wstring& text, HFONT font, COLORREF colour,
                   UINT format)
{
    if (text.empty()) {
        return;
    }
    format = NormalizeTextFormat(format);
    const HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);

    // DrawTextW places only single lines vertically; a block of lines is placed here.
    if (!(format & DT_SINGLELINE)) {
        RECT measured = rectangle;
        DrawTextW(dc, text.c_str(), Length(text), &measured, format | DT_CALCRECT);
        const LONG available = rectangle.bottom - rectangle.top;
        const LONG height = measured.bottom - measured.top;
        const LONG used = height < available ? height : available;
        if (format & DT_VCENTER) {
            rectangle.top += (available - used) / 2;
            rectangle.bottom = rectangle.top + used;
        } else if (format & DT_BOTTOM) {
            rectangle.top = rectangle.bottom - used;
        } else {
            rectangle.bottom = rectangle.top + used;
        }
    }
    DrawTextW(dc, text.c_str(), Length(text), &rectangle, format);
    SelectObject(dc, previous);
}

}  // namespace VxUI
