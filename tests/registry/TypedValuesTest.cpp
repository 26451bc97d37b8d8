#include <VxRegistry/Win32Registry.h>

#include "ImportHook.h"
#include "RawRegistry.h"
#include "RegistryCall.h"
#include "ScratchKey.h"

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr REGSAM View32 = KEY_WOW64_32KEY;
using Bytes = std::vector<std::uint8_t>;
using Wide = std::vector<std::wstring>;

Bytes WideData(const std::wstring& characters)
{
    const auto* p = reinterpret_cast<const std::uint8_t*>(characters.data());
    return Bytes(p, p + characters.size() * sizeof(wchar_t));
}

class TypedValues : public ScratchKeyTest {
protected:
    void SetUp() override
    {
        ScratchKeyTest::SetUp();
        registry.SetAccessFlags(View32);
    }

    bool Put(const std::wstring& name, DWORD type, const Bytes& data)
    {
        return raw::SetValue(View32, Scratch(), name, type, std::vector<BYTE>(data.begin(), data.end()));
    }

    std::optional<raw::Value> Stored(const std::wstring& name) { return raw::GetValue(View32, Scratch(), name); }

    std::pair<bool, RegistryError> Check(const std::function<bool(RegistryError*)>& operation)
    {
        return CallChecked<bool>(registry, operation);
    }

    Win32Registry registry;
};

TEST_F(TypedValues, QwordRoundTripAndTypeTest)
{
    for (std::uint64_t number : {std::uint64_t{0}, std::uint64_t{0x0123456789ABCDEF}, ~std::uint64_t{0}}) {
        EXPECT_TRUE(registry.WriteQword(Scratch(), L"q", number));
        const auto stored = Stored(L"q");
        ASSERT_TRUE(stored.has_value());
        EXPECT_EQ(static_cast<DWORD>(REG_QWORD), stored->type);
        EXPECT_EQ(8u, stored->data.size());
        std::uint64_t back = 0;
        EXPECT_TRUE(registry.ReadQword(Scratch(), L"q", back));
        EXPECT_EQ(number, back);
    }
    ASSERT_TRUE(raw::SetDword(View32, Scratch(), L"d", 7));
    std::uint64_t value = 0xA5A5A5A5A5A5A5A5u;
    const auto [result, error] = Check([&](RegistryError* e) { return registry.ReadQword(Scratch(), L"d", value, e); });
    EXPECT_FALSE(result);
    EXPECT_EQ(RegistryError::WrongType, error) << "a DWORD is not a QWORD";
    const auto [missing, missingError] = Check([&](RegistryError* e) { return registry.ReadQword(Scratch(), L"none", value, e); });
    EXPECT_FALSE(missing);
    EXPECT_EQ(RegistryError::NotFound, missingError);
    ASSERT_TRUE(Put(L"short", REG_QWORD, {1, 2, 3, 4}));
    value = 0xA5A5A5A5A5A5A5A5u;
    const auto [shortQword, shortError] = Check([&](RegistryError* e) { return registry.ReadQword(Scratch(), L"short", value, e); });
    EXPECT_FALSE(shortQword);
    EXPECT_EQ(RegistryError::WrongType, shortError) << "a four-byte REG_QWORD is no number";
    EXPECT_EQ(0xA5A5A5A5A5A5A5A5u, value) << "the variable is left";
}

TEST_F(TypedValues, ReadStringHandlesTerminators)
{
    const struct {
        const char* what;
        DWORD type;
        Bytes data;
        bool result;
        RegistryError error;
        std::wstring value;
    } rows[] = {
        {"with terminator", REG_SZ, WideData(std::wstring(L"abc\0", 4)), true, RegistryError::None, L"abc"},
        {"without terminator", REG_SZ, WideData(L"abc"), true, RegistryError::None, L"abc"},
        {"two terminators keep one", REG_SZ, WideData(std::wstring(L"abc\0\0", 5)), true, RegistryError::None,
         std::wstring(L"abc\0", 4)},
        {"odd trailing byte dropped", REG_SZ, Bytes{'a', 0, 'b', 0, 'c'}, true, RegistryError::None, L"ab"},
        {"empty value", REG_SZ, Bytes{}, true, RegistryError::None, L""},
        {"expand string unexpanded", REG_EXPAND_SZ, WideData(std::wstring(L"%TEMP%\\x\0", 9)), true,
         RegistryError::None, L"%TEMP%\\x"},
        {"long value", REG_SZ, WideData(std::wstring(5000, L'z') + L'\0'), true, RegistryError::None,
         std::wstring(5000, L'z')},
        {"dword", REG_DWORD, Bytes{1, 0, 0, 0}, false, RegistryError::WrongType, L""},
        {"multi-string", REG_MULTI_SZ, WideData(std::wstring(L"a\0\0", 3)), false, RegistryError::WrongType, L""},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(Put(L"s", row.type, row.data)) << row.what;
        std::wstring value = L"sentinel";
        const auto [result, error] = Check([&](RegistryError* e) { return registry.ReadString(Scratch(), L"s", value, e); });
        EXPECT_EQ(row.result, result) << row.what;
        EXPECT_EQ(row.error, error) << row.what;
        EXPECT_EQ(row.value, value) << row.what;
    }
}

TEST_F(TypedValues, ReadStringFailuresAndTheOutput)
{
    std::wstring value = L"sentinel";
    const auto [missingKey, keyError] = Check([&](RegistryError* e) { return registry.ReadString(Scratch(L"missing"), L"s", value, e); });
    EXPECT_FALSE(missingKey);
    EXPECT_EQ(RegistryError::NotFound, keyError);
    EXPECT_EQ(L"sentinel", value) << "a failed open leaves the output";
    const auto [missingValue, valueError] = Check([&](RegistryError* e) { return registry.ReadString(Scratch(), L"s", value, e); });
    EXPECT_FALSE(missingValue);
    EXPECT_EQ(RegistryError::NotFound, valueError);
    EXPECT_EQ(L"", value) << "a later failure empties it";
}

TEST_F(TypedValues, WriteStringStoresTheTerminator)
{
    EXPECT_TRUE(registry.WriteString(Scratch(), L"s", L"abc"));
    EXPECT_EQ((raw::Value{REG_SZ, {'a', 0, 'b', 0, 'c', 0, 0, 0}}), Stored(L"s")) << "8 bytes";
    EXPECT_TRUE(registry.WriteString(Scratch(), L"e", L""));
    EXPECT_EQ((raw::Value{REG_SZ, {0, 0}}), Stored(L"e"));
    EXPECT_TRUE(registry.WriteString(Scratch(), L"n", std::wstring(L"a\0b", 3)));
    EXPECT_EQ((raw::Value{REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0}}), Stored(L"n")) << "embedded NULs are written";
    std::wstring back;
    EXPECT_TRUE(registry.ReadString(Scratch(), L"s", back));
    EXPECT_EQ(L"abc", back);
    const auto [result, error] = Check([&](RegistryError* e) { return registry.WriteString(Scratch(L"missing"), L"s", L"x", e); });
    EXPECT_FALSE(result);
    EXPECT_EQ(RegistryError::NotFound, error);
    EXPECT_FALSE(raw::KeyExists(View32, Scratch(L"missing")));
}

TEST_F(TypedValues, WriteMultiString)
{
    const struct {
        const char* what;
        Wide list;
        bool result;
        RegistryError error;
        std::optional<raw::Value> stored;
    } rows[] = {
        {"empty list", {}, true, RegistryError::None, raw::Value{REG_MULTI_SZ, {0, 0, 0, 0}}},
        {"a and b", {L"a", L"b"}, true, RegistryError::None, raw::Value{REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}}},
        {"an empty string", {L"a", L""}, false, RegistryError::InvalidArgument, std::nullopt},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(raw::DeleteTree(View32, Scratch()));
        ASSERT_TRUE(raw::CreateKey(View32, Scratch()));
        const auto [result, error] = Check([&](RegistryError* e) { return registry.WriteMultiString(Scratch(), L"m", row.list, e); });
        EXPECT_EQ(row.result, result) << row.what;
        EXPECT_EQ(row.error, error) << row.what;
        EXPECT_EQ(row.stored, Stored(L"m")) << row.what;
    }
}

TEST_F(TypedValues, ReadMultiString)
{
    const struct {
        const char* what;
        DWORD type;
        Bytes data;
        bool result;
        RegistryError error;
        Wide list;
    } rows[] = {
        {"two strings", REG_MULTI_SZ, WideData(std::wstring(L"ab\0c\0\0", 6)), true, RegistryError::None, {L"ab", L"c"}},
        // The odd byte keeps the platform from counting a NUL that follows the data in memory.
        {"keeps an unterminated last string", REG_MULTI_SZ, Bytes{'a', 0, 0, 0, 'b', 0, 'x'}, true, RegistryError::None, {L"a", L"b"}},
        {"stops at an empty string", REG_MULTI_SZ, WideData(std::wstring(L"a\0\0b\0\0", 6)), true, RegistryError::None, {L"a"}},
        {"zero bytes keep the list", REG_MULTI_SZ, Bytes{}, true, RegistryError::None, {L"old"}},
        {"wrong type keeps the list", REG_SZ, WideData(std::wstring(L"x\0", 2)), false, RegistryError::WrongType, {L"old"}},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(Put(L"m", row.type, row.data)) << row.what;
        Wide list{L"old"};
        const auto [result, error] = Check([&](RegistryError* e) { return registry.ReadMultiString(Scratch(), L"m", list, e); });
        EXPECT_EQ(row.result, result) << row.what;
        EXPECT_EQ(row.error, error) << row.what;
        EXPECT_EQ(row.list, list) << row.what;
    }
    Wide list{L"old"};
    EXPECT_FALSE(registry.ReadMultiString(Scratch(), L"missing", list));
    EXPECT_EQ(Wide{L"old"}, list);
    EXPECT_TRUE(registry.WriteMultiString(Scratch(), L"rt", {L"\u00FCber", L"x y"}));
    EXPECT_TRUE(registry.ReadMultiString(Scratch(), L"rt", list));
    EXPECT_EQ((Wide{L"\u00FCber", L"x y"}), list);
}

TEST_F(TypedValues, BinaryValues)
{
    const Bytes data{0, 1, 2, 0xFF};
    EXPECT_TRUE(registry.WriteBinary(Scratch(), L"b", data));
    EXPECT_EQ((raw::Value{REG_BINARY, {0, 1, 2, 0xFF}}), Stored(L"b"));
    Bytes back{9, 9, 9, 9, 9, 9};
    EXPECT_TRUE(registry.ReadBinary(Scratch(), L"b", back));
    EXPECT_EQ(data, back);

    EXPECT_TRUE(registry.WriteBinary(Scratch(), L"empty", {}));
    EXPECT_TRUE(registry.ReadBinary(Scratch(), L"empty", back));
    EXPECT_TRUE(back.empty()) << "an empty value gives an empty buffer";

    ASSERT_TRUE(raw::SetDword(View32, Scratch(), L"d", 1));
    back = {7};
    const auto [result, error] = Check([&](RegistryError* e) { return registry.ReadBinary(Scratch(), L"d", back, e); });
    EXPECT_FALSE(result);
    EXPECT_EQ(RegistryError::WrongType, error);
    EXPECT_EQ(Bytes{7}, back) << "a refused type leaves the buffer";
}

TEST_F(TypedValues, ReadValueOfEveryType)
{
    const struct {
        DWORD type;
        Bytes data;
    } rows[] = {
        {REG_NONE, {}}, {REG_NONE, {1, 2}}, {REG_SZ, WideData(std::wstring(L"s\0", 2))}, {REG_EXPAND_SZ, WideData(std::wstring(L"%x%\0", 4))},
        {REG_BINARY, {1, 2, 3}}, {REG_DWORD, {4, 0, 0, 0}}, {REG_MULTI_SZ, WideData(std::wstring(L"a\0\0", 3))},
        {REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}}, {REG_DWORD_BIG_ENDIAN, {0, 0, 0, 5}},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(Put(L"v", row.type, row.data));
        Bytes data{0xEE};
        std::uint32_t type = 0xBEEF;
        EXPECT_TRUE(registry.ReadValue(Scratch(), L"v", data, type)) << "type " << row.type;
        EXPECT_EQ(row.type, type);
        EXPECT_EQ(row.data, data) << "type " << row.type;
    }
    Bytes data{0xEE};
    std::uint32_t type = 0xBEEF;
    const auto [result, error] = Check([&](RegistryError* e) { return registry.ReadValue(Scratch(), L"missing", data, type, e); });
    EXPECT_FALSE(result);
    EXPECT_EQ(RegistryError::NotFound, error);
    EXPECT_EQ(0xBEEFu, type) << "the type is written only on success";
    EXPECT_EQ(Bytes{0xEE}, data);
}

TEST_F(TypedValues, CopyValue)
{
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"to")));
    const struct {
        DWORD type;
        Bytes data;
    } types[] = {
        {REG_SZ, WideData(std::wstring(L"abc\0", 4))}, {REG_BINARY, {1, 2, 3}}, {REG_DWORD, {4, 0, 0, 0}},
        {REG_MULTI_SZ, WideData(std::wstring(L"a\0b\0\0", 5))}, {REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
        {REG_EXPAND_SZ, WideData(std::wstring(L"%x%\0", 4))}, {REG_BINARY, {}}, {REG_SZ, Bytes(600002, 'x')},
    };
    for (const auto& row : types) {
        ASSERT_TRUE(Put(L"src", row.type, row.data));
        ASSERT_TRUE(raw::SetString(View32, Scratch(L"to"), L"dst", L"replaced whatever its type"));
        EXPECT_TRUE(registry.CopyValue(Scratch(), L"src", Scratch(L"to"), L"dst")) << "type " << row.type;
        EXPECT_EQ((raw::Value{row.type, std::vector<BYTE>(row.data.begin(), row.data.end())}),
                  raw::GetValue(View32, Scratch(L"to"), L"dst"))
            << "type " << row.type;
    }
    EXPECT_TRUE(registry.CopyValue(Scratch(), L"src", Scratch(), L"")) << "value names may be empty";

    ASSERT_TRUE(Put(L"none", REG_NONE, {1}));
    const struct {
        const char* what;
        std::wstring sourceKey;
        std::wstring sourceName;
        std::wstring destinationKey;
        RegistryError error;
    } failures[] = {
        {"REG_NONE source", Scratch(), L"none", Scratch(L"to"), RegistryError::WrongType},
        {"missing destination key", Scratch(), L"src", Scratch(L"missing"), RegistryError::NotFound},
        {"missing source value", Scratch(), L"missing", Scratch(L"to"), RegistryError::NotFound},
        {"missing source key", Scratch(L"missing"), L"src", Scratch(L"to"), RegistryError::NotFound},
        {"empty destination path", Scratch(), L"src", L"", RegistryError::InvalidArgument},
        {"empty source path", L"", L"src", Scratch(L"to"), RegistryError::InvalidArgument},
    };
    for (const auto& row : failures) {
        const auto before = raw::Snapshot(View32, Scratch());
        const auto [result, error] = Check([&](RegistryError* e) {
            return registry.CopyValue(row.sourceKey, row.sourceName, row.destinationKey, L"new", e);
        });
        EXPECT_FALSE(result) << row.what;
        EXPECT_EQ(row.error, error) << row.what;
        EXPECT_EQ(before, raw::Snapshot(View32, Scratch())) << row.what << ": nothing written";
    }
    EXPECT_FALSE(raw::KeyExists(View32, Scratch(L"missing")));
}

using QueryFunction = LONG(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
QueryFunction realQuery = nullptr;
// Called after each query the layer makes, with the number of that query.
std::function<void(int)> afterQuery;
int queries = 0;

LONG WINAPI QueryThenDisturb(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    const LONG status = realQuery(key, name, reserved, type, data, size);
    if (afterQuery) {
        afterQuery(++queries);
    }
    return status;
}

// The value changes between the layer's queries of it, as another process may change it.
TEST_F(TypedValues, ValueChangingBetweenQueries)
{
    ImportHook hook("RegQueryValueExW", reinterpret_cast<void*>(&QueryThenDisturb));
    realQuery = reinterpret_cast<QueryFunction>(hook.Original());
    ASSERT_NE(nullptr, realQuery);
    const Bytes eight{1, 2, 3, 4, 5, 6, 7, 8};
    const Bytes twelve{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const Bytes sentinel{0xEE};
    const auto once = [&](DWORD type, Bytes data) {
        return [=, this](int query) {
            if (query == 1) {
                Put(L"v", type, data);
            }
        };
    };
    // Grows by one character after each of the first 40 queries.
    const auto growing = [&](DWORD type) {
        return [=, this](int query) {
            if (query <= 40) {
                Put(L"v", type, WideData(std::wstring(static_cast<std::size_t>(query) + 4, L'g') + L'\0' + L'\0'));
            }
        };
    };
    const auto readBinary = [&](Bytes& data, RegistryError* e) { return registry.ReadBinary(Scratch(), L"v", data, e); };
    const auto readValue = [&](Bytes& data, RegistryError* e) {
        std::uint32_t type = 0xBEEF;
        const bool result = registry.ReadValue(Scratch(), L"v", data, type, e);
        EXPECT_EQ(result ? REG_DWORD : 0xBEEFu, type) << "the type that came with the data";
        return result;
    };
    const auto readMulti = [&](Bytes& data, RegistryError* e) {
        Wide list{L"old"};
        const bool result = registry.ReadMultiString(Scratch(), L"v", list, e);
        data = result ? Bytes{static_cast<std::uint8_t>(list.size())} : sentinel;
        EXPECT_EQ(result ? Wide{L"ab"} : Wide{L"old"}, list);
        return result;
    };
    const auto readString = [&](Bytes& data, RegistryError* e) {
        std::wstring text = L"old";
        const bool result = registry.ReadString(Scratch(), L"v", text, e);
        data = WideData(text);
        return result;
    };
    const struct {
        const char* what;
        DWORD type;
        Bytes initial;
        std::function<void(int)> change;
        std::function<bool(Bytes&, RegistryError*)> read;
        bool result;
        RegistryError error;
        Bytes data;
    } rows[] = {
        {"binary shrinks: cut to the size read", REG_BINARY, eight, once(REG_BINARY, {1, 2, 3}), readBinary, true, RegistryError::None, {1, 2, 3}},
        {"binary becomes a dword", REG_BINARY, eight, once(REG_DWORD, {5, 0, 0, 0}), readBinary, false, RegistryError::WrongType, sentinel},
        {"binary grows: read again", REG_BINARY, eight, once(REG_BINARY, twelve), readBinary, true, RegistryError::None, twelve},
        {"binary keeps growing", REG_BINARY, eight, growing(REG_BINARY), readBinary, false, RegistryError::Failed, sentinel},
        {"raw value becomes a dword", REG_BINARY, eight, once(REG_DWORD, {5, 0, 0, 0}), readValue, true, RegistryError::None, {5, 0, 0, 0}},
        {"multi-string shrinks", REG_MULTI_SZ, WideData(std::wstring(L"abcdef\0\0", 8)), once(REG_MULTI_SZ, WideData(std::wstring(L"ab\0\0", 4))), readMulti, true, RegistryError::None, {1}},
        {"multi-string becomes a string", REG_MULTI_SZ, WideData(std::wstring(L"ab\0\0", 4)), once(REG_SZ, WideData(std::wstring(L"xyz\0", 4))), readMulti, false, RegistryError::WrongType, sentinel},
        {"string keeps growing", REG_SZ, WideData(std::wstring(L"abc\0", 4)), growing(REG_SZ), readString, false, RegistryError::Failed, {}},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(Put(L"v", row.type, row.initial)) << row.what;
        Bytes data = sentinel;
        queries = 0;
        afterQuery = row.change;
        const auto [result, error] = Check([&](RegistryError* e) { return row.read(data, e); });
        afterQuery = nullptr;
        EXPECT_EQ(row.result, result) << row.what;
        EXPECT_EQ(row.error, error) << row.what;
        EXPECT_EQ(row.data, data) << row.what;
    }
}

// Each operation asks for its own rights: a denial of one right refuses exactly the operations
// whose mask holds it.
TEST_F(TypedValues, AccessMasks)
{
    const std::wstring key = Scratch(L"k");
    const std::function<bool()> ops[] = {
        [&] { std::uint64_t v = 0; return registry.ReadQword(key, L"q", v); },
        [&] { std::wstring v; return registry.ReadString(key, L"s", v); },
        [&] { Wide v; return registry.ReadMultiString(key, L"m", v); },
        [&] { Bytes v; std::uint32_t t = 0; return registry.ReadValue(key, L"b", v, t); },
        [&] { Bytes v; return registry.ReadBinary(key, L"b", v); },
        [&] { return registry.WriteQword(key, L"q", 1); },
        [&] { return registry.WriteString(key, L"s", L"x"); },
        [&] { return registry.WriteMultiString(key, L"m", {L"x"}); },
        [&] { return registry.WriteBinary(key, L"b", {1}); },
        [&] { return registry.CopyValue(key, L"b", key, L"c"); },
    };
    const char* names[] = {"ReadQword", "ReadString", "ReadMultiString", "ReadValue", "ReadBinary",
                           "WriteQword", "WriteString", "WriteMultiString", "WriteBinary", "CopyValue"};
    const struct {
        const char* right;
        DWORD mask;
        std::vector<int> refused;
    } rows[] = {
        {"KEY_ENUMERATE_SUB_KEYS", KEY_ENUMERATE_SUB_KEYS, {0, 1, 2, 3}},
        {"KEY_QUERY_VALUE", KEY_QUERY_VALUE, {0, 1, 2, 3, 4, 9}},
        {"KEY_SET_VALUE", KEY_SET_VALUE, {5, 6, 7, 8, 9}},
    };
    for (const auto& row : rows) {
        for (int op = 0; op < 10; ++op) {
            ASSERT_TRUE(raw::DeleteTree(View32, key));
            ASSERT_TRUE(raw::CreateKey(View32, key));
            ASSERT_TRUE(raw::SetValue(View32, key, L"q", REG_QWORD, std::vector<BYTE>(8, 1)));
            ASSERT_TRUE(raw::SetString(View32, key, L"s", L"x"));
            ASSERT_TRUE(raw::SetValue(View32, key, L"m", REG_MULTI_SZ, {'x', 0, 0, 0, 0, 0}));
            ASSERT_TRUE(raw::SetValue(View32, key, L"b", REG_BINARY, {1}));
            bool denied = false;
            for (int refused : row.refused) {
                denied = denied || refused == op;
            }
            raw::AccessDenial denial(View32, key, row.mask);
            ASSERT_TRUE(denial.Applied());
            EXPECT_EQ(!denied, ops[op]()) << names[op] << " with " << row.right << " denied";
            EXPECT_EQ(denied ? RegistryError::AccessDenied : RegistryError::None, registry.GetLastErrorCode())
                << names[op] << " with " << row.right << " denied";
        }
    }
}

}  // namespace
