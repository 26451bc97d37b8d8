#include "TextConversions.h"

#include <windows.h>

#include <cwctype>

std::wstring ToWide(const std::string& text, unsigned codePage)
{
    std::wstring result;
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(),
                                           static_cast<int>(text.size()), nullptr, 0);
    if (length == 0) {
        return result;
    }
    result.resize(static_cast<std::size_t>(length));
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                            result.data(), length) == 0) {
        result.clear();
    }
    return result;
}

std::string ToNarrow(const std::wstring& text, unsigned codePage)
{
    std::string result;
    const int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                           0, nullptr, nullptr);
    if (length == 0) {
        return result;
    }
    result.resize(static_cast<std::size_t>(length));
    if (WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), length,
                            nullptr, nullptr) == 0) {
        result.clear();
    }
    return result;
}

std::wstring Utf8ToWide(const std::string& text)
{
    return ToWide(text, CP_UTF8);
}

std::string WideToUtf8(const std::wstring& text)
{
    return ToNarrow(text, CP_UTF8);
}

std::vector<std::wstring> Utf8ListToWide(const std::vector<std::string>& list)
{
    std::vector<std::wstring> result;
    result.reserve(list.size());
    for (const std::string& text : list) {
        result.push_back(Utf8ToWide(text));
    }
    return result;
}

std::vector<std::string> WideListToUtf8(const std::vector<std::wstring>& list)
{
    std::vector<std::string> result;
    result.reserve(list.size());
    for (const std::wstring& text : list) {
        result.push_back(WideToUtf8(text));
    }
    return result;
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
            break;
        }
        list.emplace_back(characters + start, i - start);
        start = i + 1;
    }
    return list;
}

bool JoinMultiString(const std::vector<std::wstring>& list, std::wstring& out)
{
    for (const std::wstring& text : list) {
        if (text.empty()) {
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
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const wchar_t a = ignoreCase ? static_cast<wchar_t>(std::towlower(static_cast<wint_t>(text[i]))) : text[i];
        const wchar_t b = ignoreCase ? static_cast<wchar_t>(std::towlower(static_cast<wint_t>(prefix[i]))) : prefix[i];
        if (a != b) {
            return false;
        }
    }
    return true;
}
