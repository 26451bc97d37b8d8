#include "registry/src/TextConversions.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

using namespace VxRegistry;
using Wide = std::vector<std::wstring>;

const std::wstring LoneSurrogate{L'a', wchar_t(0xD800), L'b'};

TEST(TextConversions, Utf8ToWide)
{
    const struct {
        const char* what;
        std::string in;
        bool result;
        std::wstring out;
    } rows[] = {
        {"empty", "", true, L""},
        {"ascii", "LogLevel", true, L"LogLevel"},
        {"two-byte sequence", "\xC3\xA9", true, L"\u00E9"},
        {"three-byte sequence", "\xE4\xB8\xAD", true, L"\u4E2D"},
        {"four-byte sequence becomes a surrogate pair", "\xF0\x9F\x98\xB2", true, std::wstring{wchar_t(0xD83D), wchar_t(0xDE32)}},
        {"byte 0xFF", "\xFF", false, L""},
        {"valid text around 0xFF", "ab\xFF" "cd", false, L""},
        {"truncated sequence", "a\xC3", false, L""},
        {"overlong encoding", "\xC0\xAF", false, L""},
        {"encoded surrogate", "\xED\xA0\x80", false, L""},
        {"embedded NUL kept", std::string("a\0b", 3), true, std::wstring(L"a\0b", 3)},
    };
    for (const auto& row : rows) {
        std::wstring out = L"sentinel";
        EXPECT_EQ(row.result, Utf8ToWide(row.in, out)) << row.what;
        EXPECT_EQ(row.out, out) << row.what;
    }
}

TEST(TextConversions, WideToUtf8AndRoundTrip)
{
    const std::wstring samples[] = {
        L"", L"plain", L"\u00FCber \u4E2D\u6587", std::wstring{L'x', wchar_t(0xD83D), wchar_t(0xDE32), L'y'},
    };
    for (const auto& text : samples) {
        std::string narrow;
        std::wstring back;
        EXPECT_TRUE(WideToUtf8(text, narrow));
        EXPECT_TRUE(Utf8ToWide(narrow, back));
        EXPECT_EQ(text, back);
    }
    const struct {
        const char* what;
        std::wstring in;
        bool result;
        std::string out;
    } rows[] = {
        {"outside the BMP", std::wstring{wchar_t(0xD83D), wchar_t(0xDE32)}, true, "\xF0\x9F\x98\xB2"},
        {"two-byte sequence", L"\u00E9", true, "\xC3\xA9"},
        {"unpaired high surrogate", LoneSurrogate, false, ""},
        {"unpaired low surrogate", std::wstring{wchar_t(0xDE32), L'x'}, false, ""},
    };
    for (const auto& row : rows) {
        std::string out = "sentinel";
        EXPECT_EQ(row.result, WideToUtf8(row.in, out)) << row.what;
        EXPECT_EQ(row.out, out) << row.what;
    }
}

TEST(TextConversions, OtherCodePages)
{
    std::wstring wide;
    std::string narrow;
    EXPECT_TRUE(ToWide("\xE9", 1252, wide));
    EXPECT_EQ(L"\u00E9", wide);
    EXPECT_TRUE(ToNarrow(L"\u00E9", 1252, narrow));
    EXPECT_EQ("\xE9", narrow);
    EXPECT_FALSE(ToWide("\xE9", CP_UTF8, wide)) << "the code page decides what is valid";
    EXPECT_FALSE(ToNarrow(L"\u4E2D", 1252, narrow)) << "a character the code page lacks is not replaced";
    EXPECT_EQ("", narrow);
    EXPECT_FALSE(ToNarrow(L"\u0100", 1252, narrow)) << "nor given a look-alike (A for A with macron)";
    EXPECT_EQ("", narrow);
}

TEST(TextConversions, ListsConvertElementByElement)
{
    std::vector<std::wstring> wide{L"sentinel"};
    EXPECT_FALSE(Utf8ListToWide({"a", "\xFF", "\xC3\xA9"}, wide));
    EXPECT_TRUE(wide.empty()) << "one invalid element fails the whole list";
    EXPECT_TRUE(Utf8ListToWide({"a", "", "\xC3\xA9"}, wide));
    EXPECT_EQ((Wide{L"a", L"", L"\u00E9"}), wide);
    std::vector<std::string> narrow{"sentinel"};
    EXPECT_TRUE(WideListToUtf8(wide, narrow));
    EXPECT_EQ((std::vector<std::string>{"a", "", "\xC3\xA9"}), narrow);
    EXPECT_FALSE(WideListToUtf8({L"a", LoneSurrogate}, narrow));
    EXPECT_TRUE(narrow.empty());
    EXPECT_TRUE(Utf8ListToWide({}, wide));
    EXPECT_TRUE(wide.empty());
}

TEST(TextConversions, SplitMultiString)
{
    const struct {
        const char* what;
        std::wstring data;
        Wide list;
    } rows[] = {
        {"two strings", std::wstring(L"ab\0c\0\0", 6), {L"ab", L"c"}},
        {"no final NUL keeps the tail", std::wstring(L"a\0b", 3), {L"a", L"b"}},
        {"leading NUL gives nothing", std::wstring(L"\0a\0", 3), {}},
        {"empty string ends the list", std::wstring(L"a\0\0b\0\0", 6), {L"a"}},
        {"nothing", L"", {}},
        {"single NUL pair", std::wstring(L"\0\0", 2), {}},
        {"unterminated only", L"abc", {L"abc"}},
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

    for (const std::wstring& bad : {std::wstring(), std::wstring(L"b\0c", 3)}) {
        out.clear();
        EXPECT_FALSE(JoinMultiString({L"a", bad, L"d"}, out)) << "element of length " << bad.size();
        EXPECT_EQ(L"", out) << "an empty element, or one holding a NUL, empties the output";
    }
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
        {L"\u00E4\\B", L"\u00C4\\", true, true},
        {L"\u00E4\\B", L"\u00C4\\", false, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.result, StartsWith(row.text, row.prefix, row.ignoreCase))
            << "prefix of length " << row.prefix.size() << ", ignore case " << row.ignoreCase;
    }
}

}  // namespace
