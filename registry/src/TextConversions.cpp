#include "TextConversions.h"

#include <windows.h>

namespace VxRegistry {

bool ToWide(const std::string& text, unsigned codePage, std::wstring& out)
{
    out.clear();
    if (text.empty()) {
        return true;
    }
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(),
                                           static_cast<int>(text.size()), nullptr, 0);
    if (length == 0) {
        return false;
    }
    out.resize(static_cast<std::size_t>(length));
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                            out.data(), length) == 0) {
        out.clear();
        return false;
    }
    return true;
}

bool ToNarrow(const std::wstring& text, unsigned codePage, std::string& out)
{
    out.clear();
    if (text.empty()) {
        return true;
    }
    // UTF-8 reports an unpaired surrogate through the flag; other code pages report a character
    // they lack through the default-character flag, which UTF-8 does not accept, once best-fit
    // look-alikes are switched off.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int length = WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr,
                                           0, nullptr, usedDefaultOut);
    if (length == 0 || usedDefault) {
        return false;
    }
    out.resize(static_cast<std::size_t>(length));
    if (WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), out.data(), length,
                            nullptr, usedDefaultOut) == 0 ||
        usedDefault) {
        out.clear();
        return false;
    }
    return true;
}

bool Utf8ToWide(const std::string& text, std::wstring& out)
{
    return ToWide(text, CP_UTF8, out);
}

bool WideToUtf8(const std::wstring& text, std::string& out)
{
    return ToNarrow(text, CP_UTF8, out);
}

namespace {

// Element by element; one element that cannot be converted fails the whole list.
template <typename From, typename To, typename Convert>
bool ConvertList(const std::vector<From>& list, std::vector<To>& out, Convert convert)
{
    out.assign(list.size(), To());
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!convert(list[i], out[i])) {
            out.clear();
            return false;
        }
    }
    return true;
}

}  // namespace

bool Utf8ListToWide(const std::vector<std::string>& list, std::vector<std::wstring>& out)
{
    return ConvertList(list, out, Utf8ToWide);
}

bool WideListToUtf8(const std::vector<std::wstring>& list, std::vector<std::string>& out)
{
    return ConvertList(list, out, WideToUtf8);
}

std::vector<std::wstring> SplitMultiString(const wchar_t* characters, std::size_t count)
{
    std::vector<std::wstring> list;
    std::size_t start = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (characters[i] != L'\0') {
            continue;
        }
        if (i == start) {
            return list;
        }
        list.emplace_back(characters + start, i - start);
        start = i + 1;
    }
    if (start < count) {
        list.emplace_back(characters + start, count - start);
    }
    return list;
}

bool JoinMultiString(const std::vector<std::wstring>& list, std::wstring& out)
{
    for (const std::wstring& text : list) {
        if (text.empty() || text.find(L'\0') != std::wstring::npos) {
            out.clear();
            return false;
        }
        out += text;
        out += L'\0';
    }
    if (out.empty()) {
        out += L'\0';
    }
    out += L'\0';
    return true;
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix, bool ignoreCase)
{
    if (text.size() < prefix.size()) {
        return false;
    }
    const int length = static_cast<int>(prefix.size());
    if (ignoreCase) {
        return CompareStringOrdinal(text.data(), length, prefix.data(), length, TRUE) == CSTR_EQUAL;
    }
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace VxRegistry
