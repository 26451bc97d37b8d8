#include "TextConversions.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

using Wide = std::vector<std::wstring>;

TEST(TextConversions, Utf8ToWide)
{
    const struct {
        const char* what;
        std::string in;
        std::wstring out;
    } rows[] = {
        {"empty", "", L""},
        {"ascii", "LogLevel", L"LogLevel"},
        {"two-byte sequence", "\xC3\xA9", L"\u00E9"},
        {"three-byte sequence", "\xE4\xB8\xAD", L"\u4E2D"},
        {"four-byte sequence becomes a surrogate pair", "\xF0\x9F\x98\xB2", std::wstring{wchar_t(0xD83D), wchar_t(0xDE32)}},
        {"byte 0xFF", "\xFF", L""},
        {"valid text around 0xFF", "ab\xFF" "cd", L""},
        {"truncated sequence", "a\xC3", L""},
        {"overlong encoding", "\xC0\xAF", L""},
        {"embedded NUL kept", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.out, Utf8ToWide(row.in)) << row.what;
    }
}

TEST(TextConversions, WideToUtf8AndRoundTrip)
{
    const std::wstring samples[] = {
        L"", L"plain", L"\u00FCber \u4E2D\u6587", std::wstring{L'x', wchar_t(0xD83D), wchar_t(0xDE32), L'y'},
    };
    for (const auto& text : samples) {
        EXPECT_EQ(text, Utf8ToWide(WideToUtf8(text)));
    }
    EXPECT_EQ("\xF0\x9F\x98\xB2", WideToUtf8(std::wstring{wchar_t(0xD83D), wchar_t(0xDE32)})) << "outside the BMP";
    EXPECT_EQ("\xC3\xA9", WideToUtf8(L"\u00E9"));
}

TEST(TextConversions, OtherCodePages)
{
    EXPECT_EQ(L"\u00E9", ToWide("\xE9", 1252));
    EXPECT_EQ("\xE9", ToNarrow(L"\u00E9", 1252));
    EXPECT_EQ(L"", ToWide("\xE9", CP_UTF8)) << "the code page decides what is valid";
}

TEST(TextConversions, ListsConvertElementByElement)
{
    const std::vector<std::string> narrow{"a", "\xFF", "\xC3\xA9"};
    const Wide wide = Utf8ListToWide(narrow);
    EXPECT_EQ((Wide{L"a", L"", L"\u00E9"}), wide) << "the invalid element becomes empty in its place";
    EXPECT_EQ((std::vector<std::string>{"a", "", "\xC3\xA9"}), WideListToUtf8(wide));
    EXPECT_TRUE(Utf8ListToWide({}).empty());
}

TEST(TextConversions, SplitMultiString)
{
    const struct {
        const char* what;
        std::wstring data;
        Wide list;
    } rows[] = {
        {"two strings", std::wstring(L"ab\0c\0\0", 6), {L"ab", L"c"}},
        {"no final NUL drops the tail", std::wstring(L"a\0b", 3), {L"a"}},
        {"leading NUL gives nothing", std::wstring(L"\0a\0", 3), {}},
        {"empty string ends the list", std::wstring(L"a\0\0b\0\0", 6), {L"a"}},
        {"nothing", L"", {}},
        {"single NUL pair", std::wstring(L"\0\0", 2), {}},
        {"unterminated only", L"abc", {}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.list, SplitMultiString(row.data.data(), row.data.size())) << row.what;
    }
}

TEST(TextConversions, JoinMultiString)
{
    std::wstring out;
    EXPECT_TRUE(JoinMultiString({}, out));
    EXPECT_EQ(std::wstring(L"\0\0", 2), out) << "an empty list is two NULs";

    out.clear();
    EXPECT_TRUE(JoinMultiString({L"a", L"bc"}, out));
    EXPECT_EQ(std::wstring(L"a\0bc\0\0", 6), out) << "L + n + 1 characters";

    out.clear();
    EXPECT_FALSE(JoinMultiString({L"a", L"", L"b"}, out));
    EXPECT_EQ(L"", out) << "an empty element empties the output";
}

TEST(TextConversions, StartsWith)
{
    const struct {
        std::wstring text;
        std::wstring prefix;
        bool ignoreCase;
        bool result;
    } rows[] = {
        {L"anything", L"", false, true},
        {L"", L"", false, true},
        {L"", L"a", false, false},
        {L"A\\B", L"a\\", false, false},
        {L"A\\B", L"a\\", true, true},
        {L"A\\B", L"A\\", false, true},
        {L"ab", L"abc", false, false},
        {L"SOFTWARE\\x", L"SOFTWARE\\x", false, true},
        {L"LogLevel", L"LOGL", true, true},
        {L"LogLevel", L"LOGL", false, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.result, StartsWith(row.text, row.prefix, row.ignoreCase))
            << "prefix of length " << row.prefix.size() << ", ignore case " << row.ignoreCase;
    }
}

}  // namespace
