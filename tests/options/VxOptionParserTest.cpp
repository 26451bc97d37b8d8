#include <VxOptions/VxOptionParser.h>

#include "options/src/CommandLineSplitter.h"
#include "options/src/OptionParserCreationHook.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace {

using Words = std::vector<std::wstring>;

// gtest prints wide strings as escapes; these keep failure messages readable.
std::string Show(const std::wstring& text)
{
    std::string out = "\"";
    for (const wchar_t c : text) {
        const auto u = static_cast<std::uint32_t>(c);
        if (u >= 0x20 && u < 0x7F) {
            out += static_cast<char>(u);
        } else {
            char buffer[16];
            std::snprintf(buffer, sizeof(buffer), "\\u{%X}", u);
            out += buffer;
        }
    }
    return out + "\"";
}

std::string Show(const Words& words)
{
    std::string out = "{";
    for (const auto& w : words) {
        out += " " + Show(w);
    }
    return out + " }";
}

// The astonished face, U+1F632: two UTF-16 code units, one 32-bit wide character.
std::wstring Astonished()
{
    if (sizeof(wchar_t) == 2) {
        return std::wstring{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE32)};
    }
    return std::wstring(1, static_cast<wchar_t>(0x1F632));
}

TEST(CommandLineSplitter, SplitsOnSpacesAndQuotes)
{
    const struct {
        const wchar_t* line;
        bool balanced;
        Words words;
    } rows[] = {
        {L"prog /normal", true, {L"prog", L"/normal"}},
        {L"  a   b  ", true, {L"a", L"b"}},
        {L"", true, {}},
        {L"    ", true, {}},
        {L"\"C:\\Program Files\\tool.exe\" /full", true, {L"C:\\Program Files\\tool.exe", L"/full"}},
        {L"C:\\Program Files\\tool.exe /full", true, {L"C:\\Program", L"Files\\tool.exe", L"/full"}},
        {L"a \"\" b", true, {L"a", L"", L"b"}},
        {L"\"\"", true, {L""}},
        {L"\"a\"\"b\"", true, {L"a\"b"}},
        {L"\"\"\"\"", true, {L"\""}},
        {L"x\"y z\"w", true, {L"xy zw"}},
        {L"\"/normal\"", true, {L"/normal"}},
        {L"a\tb", true, {L"a\tb"}},
        {L"/normal\t/full", true, {L"/normal\t/full"}},
        {L"a\\\"b c\"", true, {L"a\\b c"}},
        {L"a\\\\ b\\", true, {L"a\\\\", L"b\\"}},
        {L"a \" b\" c", true, {L"a", L" b", L"c"}},
        {L"\"a\" \"b\"", true, {L"a", L"b"}},
        {L"\"abc", false, {}},
        {L"a \"b\" \"c", false, {L"a", L"b"}},
        {L"\"a\"\"", false, {}},
    };
    for (const auto& row : rows) {
        Words words;
        EXPECT_EQ(row.balanced, VxOptions::SplitCommandLine(row.line, words)) << Show(row.line);
        if (row.balanced) {
            EXPECT_EQ(row.words, words) << Show(row.line) << " gave " << Show(words);
        }
    }
}

// The two options of the tool itself, as its entry point registers them.
class ToolOptions : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parser.AddOption(NoValue, L"normal", 0));
        ASSERT_TRUE(parser.AddOption(NoValue, L"full", 0));
    }

    VxOptionParser parser;
};

TEST_F(ToolOptions, CommandLines)
{
    const struct {
        const wchar_t* line;
        bool result;
        bool normal;
        bool full;
        const wchar_t* error;
        Words arguments;
    } rows[] = {
        {L"tool.exe", true, false, false, L"", {}},
        {L"tool.exe /normal", true, true, false, L"", {}},
        {L"tool.exe --FULL", true, false, true, L"", {}},
        {L"tool.exe /Full", true, false, true, L"", {}},
        {L"tool.exe --normal /full", true, true, true, L"", {}},
        {L"tool.exe normal", true, false, false, L"", {L"normal"}},
        {L"tool.exe foo /full", true, false, true, L"", {L"foo"}},
        {L"tool.exe /full foo", true, false, true, L"", {L"foo"}},
        {L"\"C:\\Program Files\\tool.exe\" /full", true, false, true, L"", {}},
        {L"C:\\Program Files\\tool.exe /full", true, false, true, L"", {L"Files\\tool.exe"}},
        {L"tool.exe \"/normal\"", true, true, false, L"", {}},
        {L"tool.exe \"\" /full", true, false, true, L"", {L""}},
        {L"tool.exe /normal=", true, true, false, L"", {}},
        {L"tool.exe -normal", false, false, false, L"Unknown option: -normal", {}},
        {L"tool.exe -n", false, false, false, L"Unknown option: -n", {}},
        {L"tool.exe --", false, false, false, L"Unknown option: --", {}},
        {L"tool.exe /normal=1", false, false, false, L"Option 'normal' has no value", {}},
        {L"tool.exe /NORMAL --Normal", false, true, false, L"Option 'normal' specified twice", {}},
        {L"tool.exe /full /full", false, false, true, L"Option 'full' specified twice", {}},
        {L"tool.exe /full /x", false, false, true, L"Unknown option: /x", {}},
        {L"tool.exe a /x b", false, false, false, L"Unknown option: /x", {L"a"}},
        {L"tool.exe /normal\t/full", false, false, false, L"Unknown option: /normal\t/full", {}},
        {L"tool.exe --full=1", false, false, false, L"Unknown option: --full=1", {}},
        {L"tool.exe /full \"", false, false, false, L"Mismatching quotes", {}},
        {L"tool.exe /", false, false, false, L"", {}},
        {L"tool.exe -", false, false, false, L"", {}},
        {L"", false, false, false, L"", {}},
        {L"   ", false, false, false, L"", {}},
    };
    for (const auto& row : rows) {
        parser.Reset();
        ASSERT_TRUE(parser.AddOption(NoValue, L"normal", 0));
        ASSERT_TRUE(parser.AddOption(NoValue, L"full", 0));
        EXPECT_EQ(row.result, parser.ParseCommandLine(row.line)) << Show(row.line);
        EXPECT_EQ(row.normal, parser.IsSet(L"normal")) << Show(row.line);
        EXPECT_EQ(row.full, parser.IsSet(L"full")) << Show(row.line);
        EXPECT_EQ(std::wstring(row.error), parser.GetError()) << Show(row.line) << " gave " << Show(parser.GetError());
        EXPECT_EQ(row.arguments, parser.GetArguments()) << Show(row.line) << " gave " << Show(parser.GetArguments());
    }
}

TEST_F(ToolOptions, NullCommandLineFailsWithoutMessage)
{
    EXPECT_FALSE(parser.ParseCommandLine(nullptr));
    EXPECT_EQ(L"", parser.GetError());
    EXPECT_TRUE(parser.ParseCommandLine(L"tool.exe")) << "the failure must not mark the parser parsed";
}

TEST_F(ToolOptions, FailedParseKeepsItsPartialEffects)
{
    EXPECT_FALSE(parser.ParseCommandLine(L"tool.exe a /normal b /x c"));
    EXPECT_EQ(L"Unknown option: /x", parser.GetError());
    EXPECT_TRUE(parser.IsSet(L"normal")) << "set before the failure";
    EXPECT_EQ((Words{L"a", L"b"}), parser.GetArguments());

    // The next parse continues from there.
    EXPECT_FALSE(parser.ParseCommandLine(L"tool.exe /normal"));
    EXPECT_EQ(L"Option 'normal' specified twice", parser.GetError());
    EXPECT_TRUE(parser.ParseCommandLine(L"tool.exe d /full"));
    EXPECT_EQ((Words{L"a", L"b", L"d"}), parser.GetArguments());
    EXPECT_EQ(L"Option 'normal' specified twice", parser.GetError()) << "success keeps the old message";
}

TEST_F(ToolOptions, SecondParseIsRefused)
{
    ASSERT_TRUE(parser.ParseCommandLine(L"tool.exe /normal"));
    EXPECT_FALSE(parser.ParseCommandLine(L"tool.exe /full"));
    EXPECT_EQ(L"Already parsed", parser.GetError());
    EXPECT_FALSE(parser.IsSet(L"full"));
    // Unbalanced quotes are found before the parser's state is looked at.
    EXPECT_FALSE(parser.ParseCommandLine(L"tool.exe \"/full"));
    EXPECT_EQ(L"Mismatching quotes", parser.GetError());
    EXPECT_FALSE(parser.Parse({}));
    EXPECT_EQ(L"Already parsed", parser.GetError());
}

TEST_F(ToolOptions, ResetForgetsEverything)
{
    EXPECT_FALSE(parser.ParseCommandLine(L"tool.exe a /normal /y"));
    parser.Reset();
    EXPECT_EQ(L"", parser.GetError());
    EXPECT_TRUE(parser.GetArguments().empty());
    EXPECT_FALSE(parser.IsSet(L"normal"));
    EXPECT_FALSE(parser.ParseCommandLine(L"tool.exe /normal")) << "options must be registered again";
    EXPECT_EQ(L"Unknown option: /normal", parser.GetError());
    parser.Reset();
    ASSERT_TRUE(parser.AddOption(NoValue, L"normal", 0));
    EXPECT_TRUE(parser.ParseCommandLine(L"tool.exe /normal"));
    EXPECT_TRUE(parser.IsSet(L"normal"));
}

class ValueOptions : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parser.AddOption(ValueRequired, L"level", L'l'));
        ASSERT_TRUE(parser.AddOption(ValueOptional, L"mode", L'm'));
        ASSERT_TRUE(parser.AddOption(NoValue, L"n", 0));
        ASSERT_TRUE(parser.AddOption(NoValue, L"verbose", L'n'));
    }

    VxOptionParser parser;
};

TEST_F(ValueOptions, FormsAndValues)
{
    const struct {
        Words words;
        bool result;
        const wchar_t* error;
        const wchar_t* level;
        const wchar_t* mode;
        Words arguments;
    } rows[] = {
        {{L"--level", L"5"}, true, L"", L"5", L"", {}},
        {{L"-l", L"5"}, true, L"", L"5", L"", {}},
        {{L"/level=5"}, true, L"", L"5", L"", {}},
        {{L"/l=5"}, true, L"", L"5", L"", {}},
        {{L"/LEVEL=a=b"}, true, L"", L"a=b", L"", {}},
        {{L"/level=-5"}, true, L"", L"-5", L"", {}},
        {{L"--level", L""}, true, L"", L"", L"", {}},
        {{L"--level"}, false, L"Option 'level' requires a value", L"", L"", {}},
        {{L"--level", L"/x"}, false, L"Option 'level' requires a value", L"", L"", {}},
        {{L"--level", L"-5"}, false, L"Option 'level' requires a value", L"", L"", {}},
        {{L"/level", L"5"}, false, L"Option 'level' requires a value", L"", L"", {}},
        {{L"/level="}, false, L"Option 'level' requires a value", L"", L"", {}},
        {{L"--level=5"}, false, L"Unknown option: --level=5", L"", L"", {}},
        {{L"-L", L"5"}, false, L"Unknown option: -L", L"", L"", {}},
        {{L"--mode"}, true, L"", L"", L"", {}},
        {{L"--mode", L"fast"}, true, L"", L"", L"fast", {}},
        {{L"-m", L"fast", L"slow"}, true, L"", L"", L"fast", {L"slow"}},
        {{L"/mode", L"fast"}, true, L"", L"", L"fast", {}},
        {{L"/mode=", L"fast"}, true, L"", L"", L"fast", {}},
        {{L"/mode=fast", L"slow"}, true, L"", L"", L"fast", {L"slow"}},
        {{L"--mode", L"--level", L"3"}, true, L"", L"3", L"", {}},
        {{L"/=x"}, false, L"Unknown option: /=x", L"", L"", {}},
    };
    for (const auto& row : rows) {
        parser.Reset();
        SetUp();
        const std::string what = Show(row.words);
        EXPECT_EQ(row.result, parser.Parse(row.words)) << what;
        EXPECT_EQ(std::wstring(row.error), parser.GetError()) << what << " gave " << Show(parser.GetError());
        EXPECT_EQ(std::wstring(row.level), parser.GetValue(L"level")) << what;
        EXPECT_EQ(std::wstring(row.mode), parser.GetValue(L"mode")) << what;
        EXPECT_EQ(row.arguments, parser.GetArguments()) << what;
    }
}

TEST_F(ValueOptions, NulCharacterIsNoShortName)
{
    // The options without a short name store 0, which no character of a word may match.
    for (const std::wstring& word : {std::wstring(L"-\0", 2), std::wstring(L"/\0", 2)}) {
        parser.Reset();
        SetUp();
        EXPECT_FALSE(parser.Parse({word}));
        EXPECT_EQ(L"Unknown option: " + word, parser.GetError());
    }
}

TEST_F(ValueOptions, OptionalWithoutValueIsSetButHasNoValue)
{
    ASSERT_TRUE(parser.Parse({L"--mode"}));
    EXPECT_TRUE(parser.IsSet(L"mode"));
    EXPECT_FALSE(parser.HasValue(L"mode"));
    EXPECT_FALSE(parser.IsSet(L"level"));
}

TEST_F(ValueOptions, SlashStoresValuePartBeforeRefusing)
{
    EXPECT_FALSE(parser.Parse({L"/verbose=yes"}));
    EXPECT_EQ(L"Option 'verbose' has no value", parser.GetError());
    EXPECT_EQ(L"yes", parser.GetValue(L"verbose"));
    EXPECT_TRUE(parser.HasValue(L"verbose")) << "HasValue does not look at seen";
    EXPECT_FALSE(parser.IsSet(L"verbose"));
}

TEST_F(ValueOptions, ShortNamesMatchExactlyAndSlashTriesThemFirst)
{
    // "n" is the short name of verbose and also the long name of another option.
    ASSERT_TRUE(parser.Parse({L"/n"}));
    EXPECT_TRUE(parser.IsSet(L"verbose"));
    EXPECT_FALSE(parser.IsSet(L"n"));

    parser.Reset();
    SetUp();
    ASSERT_TRUE(parser.Parse({L"/N"})) << "no short name N, so the long name n matches";
    EXPECT_TRUE(parser.IsSet(L"n"));
    EXPECT_FALSE(parser.IsSet(L"verbose"));

    parser.Reset();
    SetUp();
    ASSERT_TRUE(parser.Parse({L"-n", L"--N"}));
    EXPECT_TRUE(parser.IsSet(L"verbose"));
    EXPECT_TRUE(parser.IsSet(L"n"));
}

TEST_F(ValueOptions, GetIntValueFollowsTheRuntime)
{
    const struct {
        const wchar_t* value;
        std::int32_t number;
    } rows[] = {
        {L"5", 5},
        {L"12abc", 12},
        {L"  -42", -42},
        {L"+7", 7},
        {L"\t 3", 3},
        {L"abc", 0},
        {L"", 0},
        {L"2147483647", 2147483647},
        {L"2147483648", 2147483647},
        {L"99999999999999999999999", 2147483647},
        {L"-2147483648", INT32_MIN},
        {L"-2147483649", INT32_MIN},
    };
    for (const auto& row : rows) {
        parser.Reset();
        SetUp();
        // The slash form, since a value such as -42 would be read as an option word.
        const std::wstring value = row.value;
        ASSERT_TRUE(value.empty() || parser.Parse({L"/level=" + value})) << Show(value);
        EXPECT_EQ(row.number, parser.GetIntValue(L"level")) << Show(row.value);
    }
    EXPECT_EQ(0, parser.GetIntValue(L"unregistered"));
}

TEST(VxOptionParserRegistration, AddOptionRefusesDuplicates)
{
    VxOptionParser parser;
    EXPECT_TRUE(parser.AddOption(NoValue, L"normal", 0));
    EXPECT_TRUE(parser.AddOption(NoValue, L"full", 0)) << "several options may have no short name";
    EXPECT_FALSE(parser.AddOption(ValueRequired, L"NORMAL", 0)) << "long names ignore letter case";
    EXPECT_TRUE(parser.AddOption(NoValue, L"quiet", L'q'));
    EXPECT_FALSE(parser.AddOption(NoValue, L"quick", L'q'));
    EXPECT_TRUE(parser.AddOption(NoValue, L"Quick", L'Q')) << "short names keep their case";
    EXPECT_TRUE(parser.AddOption(NoValue, L"zip", 0));
    EXPECT_FALSE(parser.AddOption(NoValue, L"ZIP", 0)) << "Z folds like every other letter";
    // The refused registrations left no entry behind.
    EXPECT_TRUE(parser.Parse({L"/normal", L"-Q"}));
    EXPECT_TRUE(parser.IsSet(L"quick"));
    EXPECT_FALSE(parser.HasValue(L"normal")) << "a refused ValueRequired entry would not accept /normal";
}

TEST(VxOptionParserRegistration, CaseFoldingIsAsciiOnly)
{
    VxOptionParser parser;
    const std::wstring lower = L"stra\u00DFe-\u00E9t\u00E9";
    const std::wstring upper = L"STRA\u00DFE-\u00C9T\u00C9";
    ASSERT_TRUE(parser.AddOption(NoValue, lower, 0));
    EXPECT_TRUE(parser.AddOption(NoValue, upper, 0)) << "\u00E9 and \u00C9 are different names";
    EXPECT_TRUE(parser.Parse({L"--STRA\u00DFE-\u00E9T\u00E9"}));
    EXPECT_TRUE(parser.IsSet(lower));
    EXPECT_FALSE(parser.IsSet(upper));
}

TEST(VxOptionParserMessages, RegisteredNonAsciiNameFillsTheMessage)
{
    const std::wstring name = L"ni\u00F1o" + Astonished() + L"\u4E2D";
    VxOptionParser parser;
    ASSERT_TRUE(parser.AddOption(NoValue, name, 0));
    ASSERT_TRUE(parser.AddOption(ValueRequired, L"\u00FCber", 0));
    const struct {
        Words words;
        std::wstring error;
    } rows[] = {
        {{L"--" + name, L"/NI\u00F1O" + Astonished() + L"\u4E2D"}, L"Option '" + name + L"' specified twice"},
        {{L"/" + name + L"=1"}, L"Option '" + name + L"' has no value"},
        {{L"--\u00FCber"}, L"Option '\u00FCber' requires a value"},
        {{L"/\u00C4" + Astonished()}, L"Unknown option: /\u00C4" + Astonished()},
    };
    for (const auto& row : rows) {
        VxOptionParser fresh;
        ASSERT_TRUE(fresh.AddOption(NoValue, name, 0));
        ASSERT_TRUE(fresh.AddOption(ValueRequired, L"\u00FCber", 0));
        EXPECT_FALSE(fresh.Parse(row.words)) << Show(row.words);
        EXPECT_EQ(row.error, fresh.GetError()) << Show(row.words) << " gave " << Show(fresh.GetError());
    }
}

// "Unknown option: " is 16 code units, so a word of 1007 units makes the longest message kept.
TEST(VxOptionParserMessages, MessageOver1023CodeUnitsIsDropped)
{
    std::wstring pairs;
    for (int i = 0; i < 503; ++i) {
        pairs += Astonished();
    }
    // A surrogate pair counts as two code units, also where a wide character holds it whole.
    const struct {
        const char* what;
        std::wstring word;
        bool kept;
    } rows[] = {
        {"1023 units", L"/" + std::wstring(1006, L'x'), true},
        {"1024 units", L"/" + std::wstring(1007, L'x'), false},
        {"1023 units with surrogate pairs", L"/" + pairs, true},
        {"1025 units with surrogate pairs", L"/xx" + pairs, false},
    };
    for (const auto& row : rows) {
        VxOptionParser parser;
        EXPECT_FALSE(parser.Parse({L"/first"}));
        EXPECT_FALSE(parser.Parse({row.word})) << row.what;
        const std::wstring expected = row.kept ? L"Unknown option: " + row.word : L"Unknown option: /first";
        EXPECT_EQ(expected, parser.GetError()) << row.what;
    }
}

TEST(VxOptionParserInput, ParseArgumentsSkipsTheProgramAndRefusesNulls)
{
    const wchar_t* argv[] = {L"tool.exe", L"/normal", L"plain", L""};
    VxOptionParser parser;
    ASSERT_TRUE(parser.AddOption(NoValue, L"normal", 0));
    EXPECT_FALSE(parser.ParseArguments(0, argv));
    const wchar_t* withNull[] = {L"tool.exe", L"/normal", nullptr};
    EXPECT_FALSE(parser.ParseArguments(2, nullptr));
    EXPECT_FALSE(parser.ParseArguments(3, withNull));
    EXPECT_FALSE(parser.IsSet(L"normal")) << "a null entry is refused before any word is parsed";
    EXPECT_EQ(L"", parser.GetError());
    EXPECT_TRUE(parser.ParseArguments(4, argv));
    EXPECT_TRUE(parser.IsSet(L"normal"));
    EXPECT_EQ((Words{L"plain", L""}), parser.GetArguments());

    VxOptionParser single;
    EXPECT_TRUE(single.ParseArguments(1, argv)) << "only the program: an empty, successful parse";
    EXPECT_FALSE(single.ParseArguments(1, argv));
    EXPECT_EQ(L"Already parsed", single.GetError());
}

// The entry operations reach Parse through the virtual table.
class RecordingParser : public VxOptionParser {
public:
    bool Parse(const std::vector<std::wstring>& words) override
    {
        calls.push_back(words);
        return false;
    }
    std::vector<Words> calls;
};

TEST(VxOptionParserInput, EntryOperationsCallParseVirtually)
{
    RecordingParser parser;
    const wchar_t* argv[] = {L"tool.exe", L"x"};
    EXPECT_FALSE(parser.ParseCommandLine(L"tool.exe /a \"b c\""));
    EXPECT_FALSE(parser.ParseArguments(2, argv));
    EXPECT_FALSE(parser.ParseCommandLine(L"tool.exe"));
    const std::vector<Words> expected{{L"/a", L"b c"}, {L"x"}, {}};
    EXPECT_EQ(expected, parser.calls);
}

// Each Instance scenario runs in a process of its own, which starts without an instance, and
// reports what it saw on stderr for the parent to match.
constexpr int CallerCount = 8;
std::atomic<int> creations{0};
std::atomic<int> entered{0};

void CountCreation()
{
    ++creations;
    // Gives the other callers time to find the creation under way.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

void FailFirstCreation()
{
    if (++creations == 1) {
        while (entered.load() < CallerCount) {
            std::this_thread::yield();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        throw std::bad_alloc();
    }
}

// Every caller asks for the instance at once; reports how many creations ran, how many callers
// saw one fail, and whether all the others got one and the same object.
void CallConcurrently(void (*hook)())
{
    VxOptions::Testing::OptionParserCreationHook = hook;
    std::thread([] {
        std::this_thread::sleep_for(std::chrono::seconds(20));
        std::fprintf(stderr, "callers still waiting after 20 s\n");
        std::_Exit(2);
    }).detach();
    std::atomic<bool> go{false};
    std::atomic<int> failures{0};
    std::vector<VxOptionParser*> seen(CallerCount, nullptr);
    std::vector<std::thread> threads;
    for (int i = 0; i < CallerCount; ++i) {
        threads.emplace_back([&, i] {
            while (!go.load()) {
                std::this_thread::yield();
            }
            ++entered;
            try {
                seen[static_cast<std::size_t>(i)] = &VxOptionParser::Instance();
            } catch (const std::bad_alloc&) {
                ++failures;
            }
        });
    }
    go.store(true);
    for (auto& t : threads) {
        t.join();
    }
    VxOptionParser* const instance = &VxOptionParser::Instance();
    int same = 0;
    for (VxOptionParser* p : seen) {
        same += p == instance ? 1 : 0;
    }
    // A fresh instance: no arguments, no message, an empty option table.
    const bool fresh = instance->GetArguments().empty() && instance->GetError().empty() &&
                       instance->AddOption(NoValue, L"normal", 0) &&
                       !VxOptionParser::Instance().AddOption(NoValue, L"normal", 0);
    std::fprintf(stderr, "creations %d, failed callers %d, callers with the instance %d, fresh %s\n",
                 creations.load(), failures.load(), same, fresh ? "yes" : "no");
    std::_Exit(0);
}

TEST(VxOptionParserInstance, ConcurrentFirstCallsCreateOneObject)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(CallConcurrently(CountCreation), ::testing::ExitedWithCode(0),
                "creations 1, failed callers 0, callers with the instance 8, fresh yes");
}

TEST(VxOptionParserInstance, WaitingCallersRetryACreationThatThrew)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(CallConcurrently(FailFirstCreation), ::testing::ExitedWithCode(0),
                "creations 2, failed callers 1, callers with the instance 7, fresh yes");
}

void InstanceAfterExitHandler()
{
    VxOptionParser& parser = VxOptionParser::Instance();
    const bool fresh = parser.AddOption(NoValue, L"normal", 0);
    std::fprintf(stderr, "creations %d, fresh %s\n", creations.load(), fresh ? "yes" : "no");
    std::_Exit(0);
}

void UseInstanceThenExit()
{
    VxOptions::Testing::OptionParserCreationHook = [] { ++creations; };
    // Registered before the instance's own handler, so it runs after that one.
    std::atexit(InstanceAfterExitHandler);
    VxOptionParser::Instance().AddOption(NoValue, L"normal", 0);
    std::exit(0);
}

TEST(VxOptionParserInstance, ACallAfterTheExitHandlerGetsANewInstance)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(UseInstanceThenExit(), ::testing::ExitedWithCode(0), "creations 2, fresh yes");
}

}  // namespace
