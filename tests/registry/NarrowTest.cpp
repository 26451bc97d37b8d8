#include <VxRegistry/Registry.h>
#include <VxRegistry/Win32Registry.h>

#include "registry/src/ScopedKey.h"

#include "RawRegistry.h"
#include "RegistryCall.h"
#include "ScratchKey.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using VxRegistry::ScopedKey;

constexpr REGSAM View32 = KEY_WOW64_32KEY;
using Narrow = std::vector<std::string>;

std::string U8(const std::wstring& text)
{
    std::string out(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                                 nullptr, 0, nullptr, nullptr)),
                    '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), static_cast<int>(out.size()),
                        nullptr, nullptr);
    return out;
}

class NarrowFace : public ScratchKeyTest {
protected:
    void SetUp() override
    {
        ScratchKeyTest::SetUp();
        registry.SetAccessFlags(View32);
        scratch = U8(Scratch());
    }

    Win32Registry registry;
    std::string scratch;
};

// Everything goes through the abstract interface, as UTF-8 code would use it.
TEST_F(NarrowFace, NonAsciiNamesAndDataRoundTrip)
{
    const std::wstring keyName = L"Schl\u00FCssel \u4E2D";
    const std::wstring valueName = L"Wert \u00E9";
    const std::wstring text = L"Daten \U0001F632";
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(keyName)));
    Registry& face = registry;
    const std::string key = scratch + "\\" + U8(keyName);

    EXPECT_TRUE(face.WriteString(key, U8(valueName), U8(text)));
    EXPECT_EQ(raw::String(text), raw::GetValue(View32, Scratch(keyName), valueName)) << "stored as UTF-16";
    std::string back;
    EXPECT_TRUE(face.ReadString(key, U8(valueName), back));
    EXPECT_EQ(U8(text), back);
    std::wstring wideBack;
    EXPECT_TRUE(face.ReadString(key, U8(valueName), wideBack));
    EXPECT_EQ(text, wideBack);

    EXPECT_TRUE(face.WriteMultiString(key, "m", {U8(L"\u00FCber"), "plain"}));
    Narrow list;
    EXPECT_TRUE(face.ReadMultiString(key, "m", list));
    EXPECT_EQ((Narrow{U8(L"\u00FCber"), "plain"}), list);

    std::uint32_t number = 0;
    EXPECT_TRUE(face.WriteDword(key, "d", 42));
    EXPECT_TRUE(face.ReadDword(key, "d", number));
    EXPECT_EQ(42u, number);

    Narrow names;
    EXPECT_EQ(1, face.EnumSubKeys(scratch, names));
    EXPECT_EQ(Narrow{U8(keyName)}, names);
    EXPECT_EQ(3, face.GetValueCount(key));
    EXPECT_EQ(1, face.GetSubKeyCount(scratch));
    EXPECT_EQ(key, face.GetSubKeyPath(scratch, 0));

    EXPECT_TRUE(face.CopyKey(key, scratch + "\\copy"));
    EXPECT_EQ(raw::Snapshot(View32, Scratch(keyName)), raw::Snapshot(View32, Scratch(L"copy")));
    EXPECT_TRUE(face.DeleteKeyTree(scratch, U8(keyName)));
    EXPECT_FALSE(raw::KeyExists(View32, Scratch(keyName)));
}

// With the root at the scratch key, an argument that became empty would name the scratch key or
// its default value, and a name cut at a NUL another key or value there.
TEST_F(NarrowFace, InvalidInputIsRefusedAndTouchesNothing)
{
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"sub")));
    ASSERT_TRUE(raw::SetString(View32, Scratch(), L"", L"default"));
    ASSERT_TRUE(raw::SetDword(View32, Scratch(), L"x", 1));
    ScopedKey root;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, Scratch().c_str(), 0, KEY_ALL_ACCESS | View32,
                                           root.Receive()));
    registry.SetRootKey(root.Get());
    const std::string bad = "\xFF\xFE";
    const std::string nul("x\0y", 3);
    const std::wstring wideNul(L"x\0y", 3);
    const struct {
        const char* what;
        std::function<bool(RegistryError*)> operation;
    } rows[] = {
        {"KeyExists, invalid path", [&](RegistryError* e) { return registry.KeyExists(bad, e); }},
        {"CreateSubKey, invalid parent", [&](RegistryError* e) { return registry.CreateSubKey(bad, "new", e); }},
        {"CreateSubKey, name with NUL", [&](RegistryError* e) { return registry.CreateSubKey("sub", std::string("\0x", 2), e); }},
        {"CreateSubKey wide, name with NUL", [&](RegistryError* e) { return registry.CreateSubKey(L"sub", std::wstring(L"\0x", 2), e); }},
        {"CreateKey, invalid path", [&](RegistryError* e) { return registry.CreateKey("new\\" + bad, e); }},
        {"CreateKey wide, path with NUL", [&](RegistryError* e) { return registry.CreateKey(L"sub\\new" + wideNul, e); }},
        {"DeleteSubKey, invalid parent", [&](RegistryError* e) { return registry.DeleteSubKey(bad, "sub", e); }},
        {"DeleteSubKey wide, name with NUL", [&](RegistryError* e) { return registry.DeleteSubKey(L"", L"sub" + wideNul, e); }},
        {"DeleteKey, invalid path", [&](RegistryError* e) { return registry.DeleteKey(bad + "\\sub", e); }},
        {"DeleteKey wide, path with NUL", [&](RegistryError* e) { return registry.DeleteKey(L"\\sub" + wideNul, e); }},
        {"DeleteKeyTree, invalid parent", [&](RegistryError* e) { return registry.DeleteKeyTree(bad, "sub", e); }},
        {"DeleteKeyTree wide, name with NUL", [&](RegistryError* e) { return registry.DeleteKeyTree(L"", L"sub" + wideNul, e); }},
        {"DeleteValue, invalid name", [&](RegistryError* e) { return registry.DeleteValue("", "\xFFx", e); }},
        {"DeleteValue wide, name with NUL", [&](RegistryError* e) { return registry.DeleteValue(L"", std::wstring(L"\0x", 2), e); }},
        {"WriteDword, invalid key", [&](RegistryError* e) { return registry.WriteDword(bad, "x", 2, e); }},
        {"WriteDword wide, name with NUL", [&](RegistryError* e) { return registry.WriteDword(L"", wideNul, 2, e); }},
        {"WriteQword, invalid name", [&](RegistryError* e) { return registry.WriteQword("", bad, 2, e); }},
        {"WriteBinary, invalid key", [&](RegistryError* e) { return registry.WriteBinary(bad, "x", {2}, e); }},
        {"WriteString, invalid data", [&](RegistryError* e) { return registry.WriteString("", "x", "bad \xFF", e); }},
        {"WriteString wide key, invalid data", [&](RegistryError* e) { return registry.WriteString(L"", L"x", std::string("bad \xFF"), e); }},
        {"WriteString with wide data, invalid name", [&](RegistryError* e) { return registry.WriteString("", bad, std::wstring(L"text"), e); }},
        {"WriteString wide, name with NUL", [&](RegistryError* e) { return registry.WriteString(L"", wideNul, std::wstring(L"text"), e); }},
        {"WriteMultiString, invalid element", [&](RegistryError* e) { return registry.WriteMultiString("", "m", {"ok", bad}, e); }},
        {"WriteMultiString, element with NUL", [&](RegistryError* e) { return registry.WriteMultiString("", "m", {"ok", nul}, e); }},
        {"WriteMultiString wide, element with NUL", [&](RegistryError* e) { return registry.WriteMultiString(L"", L"m", {wideNul}, e); }},
        {"CopyKey, invalid source", [&](RegistryError* e) { return registry.CopyKey(bad, "copy", e); }},
        {"CopyKey wide, destination with NUL", [&](RegistryError* e) { return registry.CopyKey(L"sub", L"copy\\" + wideNul, e); }},
        {"CopyValue, invalid source name", [&](RegistryError* e) { return registry.CopyValue("sub", bad, "sub", "copy", e); }},
        {"CopyValue wide, destination name with NUL", [&](RegistryError* e) { return registry.CopyValue(L"", L"x", L"sub", wideNul, e); }},
        {"KeyExists wide, leading separator", [&](RegistryError* e) { return registry.KeyExists(L"\\sub", e); }},
        {"KeyExists wide, trailing separator", [&](RegistryError* e) { return registry.KeyExists(L"sub\\", e); }},
        {"SubKeyExists wide, empty name", [&](RegistryError* e) { return registry.SubKeyExists(L"sub", L"", e); }},
        {"CreateSubKey wide, doubled separator", [&](RegistryError* e) { return registry.CreateSubKey(L"sub\\", L"new", e); }},
        {"CreateKey wide, doubled separator", [&](RegistryError* e) { return registry.CreateKey(L"sub\\new\\\\deeper", e); }},
        {"DeleteKey wide, leading separator", [&](RegistryError* e) { return registry.DeleteKey(L"\\sub", e); }},
        {"DeleteKeyTree wide, trailing separator", [&](RegistryError* e) { return registry.DeleteKeyTree(L"", L"sub\\", e); }},
        {"WriteDword wide, trailing separator", [&](RegistryError* e) { return registry.WriteDword(L"sub\\", L"x", 2, e); }},
        {"CopyValue wide, trailing separator", [&](RegistryError* e) { return registry.CopyValue(L"", L"x", L"sub\\", L"x", e); }},
        {"CopyKey, source with trailing separator", [&](RegistryError* e) { return registry.CopyKey("sub\\", "dst", e); }},
        {"CopyKey wide, doubled separator", [&](RegistryError* e) { return registry.CopyKey(L"sub", L"dst\\new\\\\copy", e); }},
    };
    const auto before = raw::Snapshot(View32, Scratch());
    ASSERT_TRUE(before.has_value());
    for (const auto& row : rows) {
        const auto [result, error] = CallChecked<bool>(registry, row.operation);
        EXPECT_FALSE(result) << row.what;
        EXPECT_EQ(RegistryError::InvalidArgument, error) << row.what;
        EXPECT_EQ(before, raw::Snapshot(View32, Scratch())) << row.what;
    }
}

// A name or text holding an unpaired surrogate has no UTF-8 form that names it.
TEST_F(NarrowFace, UnrepresentableTextFailsTheNarrowRead)
{
    const std::wstring lone{L'a', wchar_t(0xD800), L'b'};
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"k\\") + lone));
    ASSERT_TRUE(raw::SetString(View32, Scratch(L"k"), lone, L"text"));
    ASSERT_TRUE(raw::SetString(View32, Scratch(), L"s", lone));
    ASSERT_TRUE(raw::SetValue(View32, Scratch(), L"m", REG_MULTI_SZ, {'a', 0, 0, 0xD8, 0, 0, 0, 0}));
    const std::string key = scratch + "\\k";
    Narrow names{"kept"};
    std::string text = "sentinel";
    Narrow list{"old"};
    const struct {
        const char* what;
        std::function<bool(RegistryError*)> operation;
    } rows[] = {
        {"EnumSubKeys", [&](RegistryError* e) { return registry.EnumSubKeys(key, names, e) != 0; }},
        {"EnumValueNames", [&](RegistryError* e) { return registry.EnumValueNames(key, names, e) != 0; }},
        {"GetSubKeyPath", [&](RegistryError* e) { return !registry.GetSubKeyPath(key, 0, e).empty(); }},
        {"ReadString", [&](RegistryError* e) { return registry.ReadString(scratch, "s", text, e); }},
        {"ReadString, wide key", [&](RegistryError* e) { return registry.ReadString(Scratch(), L"s", text, e); }},
        {"ReadMultiString", [&](RegistryError* e) { return registry.ReadMultiString(scratch, "m", list, e); }},
    };
    for (const auto& row : rows) {
        const auto [result, error] = CallChecked<bool>(registry, row.operation);
        EXPECT_FALSE(result) << row.what;
        EXPECT_EQ(RegistryError::Failed, error) << row.what;
    }
    EXPECT_EQ(Narrow{"kept"}, names) << "a failed listing leaves the caller's list";
    EXPECT_EQ(1, registry.GetSubKeyCount(key)) << "a count converts no name";
    EXPECT_EQ(1, registry.GetValueCount(key));
    EXPECT_EQ(RegistryError::None, registry.GetLastErrorCode());
    EXPECT_EQ("", text) << "a failed narrow read empties the string";
    EXPECT_TRUE(list.empty()) << "a failed narrow read empties the list";
}

TEST_F(NarrowFace, NarrowResultsOnFailure)
{
    std::string text = "sentinel";
    RegistryError error = RegistryError::None;
    EXPECT_FALSE(registry.ReadString(scratch + "\\missing", "s", text, &error));
    EXPECT_EQ(RegistryError::NotFound, error);
    EXPECT_EQ("", text) << "even a failed open empties the narrow result";

    ASSERT_TRUE(raw::SetValue(View32, Scratch(), L"empty", REG_MULTI_SZ, {}));
    Narrow narrowList{"old"};
    EXPECT_TRUE(registry.ReadMultiString(scratch, "empty", narrowList));
    EXPECT_TRUE(narrowList.empty()) << "the narrow list is replaced in every case";
    std::vector<std::wstring> wideList{L"old"};
    EXPECT_TRUE(registry.ReadMultiString(Scratch(), L"empty", wideList));
    EXPECT_EQ(std::vector<std::wstring>{L"old"}, wideList) << "the wide list is left as it was";

    narrowList = {"kept"};
    EXPECT_EQ(0, registry.EnumSubKeys(scratch + "\\missing", narrowList, &error));
    EXPECT_EQ(RegistryError::NotFound, error);
    EXPECT_EQ(Narrow{"kept"}, narrowList);
    EXPECT_EQ(0, registry.GetSubKeyCount(scratch + "\\missing", &error));
    EXPECT_EQ(RegistryError::NotFound, error);
}

TEST_F(NarrowFace, GetSubKeyPathAtAndPastTheEnd)
{
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"only")));
    const struct {
        const char* what;
        std::string key;
        std::uint32_t index;
        std::string path;
        RegistryError error;
    } rows[] = {
        {"index 0", scratch, 0, scratch + "\\only", RegistryError::None},
        {"index equal to the count", scratch, 1, "", RegistryError::InvalidArgument},
        {"far past the end", scratch, 0xFFFFFFFFu, "", RegistryError::InvalidArgument},
        {"missing key", scratch + "\\missing", 0, "", RegistryError::NotFound},
    };
    for (const auto& row : rows) {
        RegistryError error = static_cast<RegistryError>(0xDEADu);
        EXPECT_EQ(row.path, registry.GetSubKeyPath(row.key, row.index, &error)) << row.what;
        EXPECT_EQ(row.error, error) << row.what;
        EXPECT_EQ(row.error, registry.GetLastErrorCode()) << row.what;
    }
}

// The narrow operations reach the wide ones through the virtual table.
class Overriding : public Win32Registry {
public:
    using Win32Registry::EnumSubKeys;
    using Win32Registry::KeyExists;
    bool KeyExists(const std::wstring& path, RegistryError* error = nullptr) override
    {
        seen.push_back(path);
        return Win32Registry::KeyExists(path, error) && path.find(L"hidden") == std::wstring::npos;
    }
    std::int32_t EnumSubKeys(const std::wstring& key, std::vector<std::wstring>& names,
                             RegistryError* error = nullptr) override
    {
        const std::int32_t count = Win32Registry::EnumSubKeys(key, names, error);
        names.push_back(L"extra");
        return count + 1;
    }
    std::vector<std::wstring> seen;
};

TEST_F(NarrowFace, OverridingAWideOperationChangesItsNarrowTwins)
{
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"hidden")));
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"a")));
    Overriding overriding;
    overriding.SetAccessFlags(View32);
    EXPECT_FALSE(overriding.KeyExists(scratch + "\\hidden"));
    EXPECT_FALSE(overriding.SubKeyExists(scratch, "hidden"));
    EXPECT_EQ((std::vector<std::wstring>{Scratch(L"hidden"), Scratch(L"hidden")}), overriding.seen);
    EXPECT_EQ(3, overriding.GetSubKeyCount(scratch)) << "two real subkeys and the override's extra one";
    EXPECT_EQ(scratch + "\\extra", overriding.GetSubKeyPath(scratch, 2));
}

}  // namespace
