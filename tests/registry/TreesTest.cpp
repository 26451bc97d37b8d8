#include <VxRegistry/Win32Registry.h>

#include "registry/src/ScopedKey.h"

#include "ImportHook.h"
#include "RawRegistry.h"
#include "RegistryCall.h"
#include "ScratchKey.h"

#include <winternl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

extern "C" NTSTATUS NTAPI NtRenameKey(HANDLE key, PUNICODE_STRING name);

namespace {

using VxRegistry::ScopedKey;

constexpr REGSAM View32 = KEY_WOW64_32KEY;
using Wide = std::vector<std::wstring>;

// Stands in for another program that removes a listed key just before the tree walk opens it.
LONG(WINAPI* realOpenKey)(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY) = nullptr;
std::wstring vanishing;
bool vanishesAfterOpen = false;

LONG WINAPI OpenAroundRemoval(HKEY parent, LPCWSTR name, DWORD options, REGSAM mask, PHKEY key)
{
    const std::wstring path = vanishing;
    const bool ours = !path.empty() && path.ends_with(L"\\" + std::wstring(name));
    if (ours) {
        vanishing.clear();
    }
    if (ours && !vanishesAfterOpen) {
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), View32, 0);
    }
    const LONG status = realOpenKey(parent, name, options, mask, key);
    if (ours && vanishesAfterOpen) {
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), View32, 0);
    }
    return status;
}

// Stands in for the owner of a copy's source, who renames it while the copy runs: once the copy
// has read the source's name, and, when it toggles, again each time a key inside it was named.
NTSTATUS(NTAPI* realQueryKey)(HANDLE, int, void*, ULONG, ULONG*) = nullptr;
HKEY renamedSource = nullptr;
bool sourceNamed = false;
bool togglesName = false;

NTSTATUS RenameSource(const wchar_t* name)
{
    UNICODE_STRING counted;
    RtlInitUnicodeString(&counted, name);
    return NtRenameKey(renamedSource, &counted);
}

NTSTATUS NTAPI QueryAroundRename(HANDLE key, int informationClass, void* information, ULONG length, ULONG* size)
{
    const NTSTATUS status = realQueryKey(key, informationClass, information, length, size);
    const auto* named = static_cast<const ULONG*>(information);
    const std::wstring name(reinterpret_cast<const wchar_t*>(named + 1), status == 0 ? named[0] / sizeof(wchar_t) : 0);
    if (!sourceNamed || (togglesName && name.find(L"\\source\\") != std::wstring::npos)) {
        RenameSource(L"renamed");
    } else if (togglesName && name.find(L"\\renamed\\") != std::wstring::npos) {
        RenameSource(L"source");
    }
    sourceNamed = true;
    return status;
}

class Trees : public ScratchKeyTest {
protected:
    void SetUp() override
    {
        ScratchKeyTest::SetUp();
        registry.SetAccessFlags(View32);
    }

    template <typename Result>
    std::pair<Result, RegistryError> Call(const std::function<Result(RegistryError*)>& operation)
    {
        return CallChecked<Result>(registry, operation);
    }

    static Wide Sorted(Wide names)
    {
        std::sort(names.begin(), names.end());
        return names;
    }

    Win32Registry registry;
};

TEST_F(Trees, EnumeratesSubKeysAndValueNames)
{
    for (const wchar_t* name : {L"b", L"a", L"c"}) {
        ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"k\\") + name));
    }
    ASSERT_TRUE(raw::SetDword(View32, Scratch(L"k"), L"x", 1));
    ASSERT_TRUE(raw::SetDword(View32, Scratch(L"k"), L"", 2));
    ASSERT_TRUE(raw::SetDword(View32, Scratch(L"k"), std::wstring(300, L'v'), 3));

    Wide names{L"stale"};
    const auto [count, error] = Call<std::int32_t>([&](RegistryError* e) { return registry.EnumSubKeys(Scratch(L"k"), names, e); });
    EXPECT_EQ(3, count);
    EXPECT_EQ(RegistryError::None, error);
    EXPECT_EQ((Wide{L"a", L"b", L"c"}), Sorted(names)) << "the list is replaced";

    const auto snapshot = raw::Snapshot(View32, Scratch(L"k"));
    ASSERT_TRUE(snapshot.has_value());
    const auto [values, valueError] = Call<std::int32_t>([&](RegistryError* e) { return registry.EnumValueNames(Scratch(L"k"), names, e); });
    EXPECT_EQ(3, values);
    EXPECT_EQ(RegistryError::None, valueError);
    EXPECT_EQ((Wide{L"", std::wstring(300, L'v'), L"x"}), Sorted(names)) << "default value and long names included";
}

TEST_F(Trees, EnumerationEdgeCases)
{
    Wide names{L"stale"};
    const auto [none, noneError] = Call<std::int32_t>([&](RegistryError* e) { return registry.EnumSubKeys(Scratch(), names, e); });
    EXPECT_EQ(0, none);
    EXPECT_EQ(RegistryError::None, noneError);
    EXPECT_TRUE(names.empty()) << "no subkeys: an empty list";

    names = {L"kept"};
    const auto [missing, missingError] = Call<std::int32_t>([&](RegistryError* e) { return registry.EnumSubKeys(Scratch(L"missing"), names, e); });
    EXPECT_EQ(0, missing);
    EXPECT_EQ(RegistryError::NotFound, missingError);
    EXPECT_EQ(Wide{L"kept"}, names) << "a failed open leaves the list";
    EXPECT_EQ(0, registry.EnumValueNames(Scratch(L"missing"), names));
    EXPECT_EQ(Wide{L"kept"}, names);

}

// Key names of 255 characters and value names of 16,383, the registry's longest, and names that
// hold a NUL, beside the sibling that their part before the NUL names.
TEST_F(Trees, NamesAreListedCopiedAndDeletedWhole)
{
    const std::wstring keyName(255, L'n');
    const std::wstring valueName(16383, L'v');
    const std::wstring withNul(L"a\0b", 3);
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"long\\a")));
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"long\\") + withNul));
    ASSERT_TRUE(raw::SetDword(View32, Scratch(L"long\\") + withNul, L"w", 2));
    ASSERT_TRUE(raw::SetDword(View32, Scratch(L"long"), L"a", 1));
    ASSERT_TRUE(raw::SetDword(View32, Scratch(L"long"), withNul, 2));
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"long\\") + keyName));
    ASSERT_TRUE(raw::SetDword(View32, Scratch(L"long\\") + keyName, valueName, 1));
    Wide names{L"stale"};
    const auto [keys, keysError] = Call<std::int32_t>([&](RegistryError* e) { return registry.EnumSubKeys(Scratch(L"long"), names, e); });
    EXPECT_EQ(3, keys);
    EXPECT_EQ(RegistryError::None, keysError);
    EXPECT_EQ((Wide{L"a", withNul, keyName}), Sorted(names));
    const auto [values, valuesError] = Call<std::int32_t>([&](RegistryError* e) { return registry.EnumValueNames(Scratch(L"long\\") + keyName, names, e); });
    EXPECT_EQ(1, values);
    EXPECT_EQ(RegistryError::None, valuesError);
    EXPECT_EQ(Wide{valueName}, names);

    const auto [copied, copyError] = Call<bool>([&](RegistryError* e) { return registry.CopyKey(Scratch(L"long"), Scratch(L"copy"), e); });
    EXPECT_TRUE(copied);
    EXPECT_EQ(RegistryError::None, copyError);
    const auto source = raw::Snapshot(View32, Scratch(L"long"));
    ASSERT_TRUE(source.has_value());
    EXPECT_EQ(source, raw::Snapshot(View32, Scratch(L"copy")));
    for (const wchar_t* tree : {L"long", L"copy"}) {
        const auto [deleted, deleteError] = Call<bool>([&](RegistryError* e) { return registry.DeleteKeyTree(Scratch(), tree, e); });
        EXPECT_TRUE(deleted);
        EXPECT_EQ(RegistryError::None, deleteError);
        EXPECT_FALSE(raw::KeyExists(View32, Scratch(tree)));
    }
}

// A child that someone else removes between the listing and its deletion, before or after it is
// opened, is gone, as wanted.
TEST_F(Trees, DeleteKeyTreeRemovesTheWholeTree)
{
    for (bool afterOpen : {false, true}) {
        vanishesAfterOpen = afterOpen;
        ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"t\\a\\b\\c")));
        ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"t\\d")));
        ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"t\\a\\gone")));
        ASSERT_TRUE(raw::SetDword(View32, Scratch(L"t\\a\\b"), L"v", 1));
        ASSERT_TRUE(raw::SetDword(View32, Scratch(L"t"), L"v", 1));
        ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"keep")));
        ImportHook hook("RegOpenKeyExW", reinterpret_cast<void*>(&OpenAroundRemoval));
        realOpenKey = reinterpret_cast<decltype(realOpenKey)>(hook.Original());
        ASSERT_NE(nullptr, realOpenKey);
        vanishing = Scratch(L"t\\a\\gone");
        const auto [result, error] = Call<bool>([&](RegistryError* e) { return registry.DeleteKeyTree(Scratch(), L"t", e); });
        EXPECT_TRUE(vanishing.empty()) << "the stand-in never ran; after open: " << afterOpen;
        EXPECT_TRUE(result) << "after open: " << afterOpen;
        EXPECT_EQ(RegistryError::None, error) << "after open: " << afterOpen;
        EXPECT_FALSE(raw::KeyExists(View32, Scratch(L"t")));
        EXPECT_TRUE(raw::KeyExists(View32, Scratch(L"keep")));
    }
}

// A link on the destination's path that leads inside the source once it is renamed: the renamed
// source is recognised; and when every check of a level sees the other name, the copy still only
// makes one copy of the keys the source held.
TEST_F(Trees, CopyKeyNeverNestsInASourceRenamedMeanwhile)
{
    for (bool toggles : {false, true}) {
        ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"source\\child")));
        ASSERT_TRUE(raw::SetDword(View32, Scratch(L"source"), L"v", 1));
        ScopedKey source;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, Scratch(L"source").c_str(), 0,
                                               KEY_ALL_ACCESS | View32, source.Receive()));
        renamedSource = source.Get();
        ASSERT_EQ(0, RenameSource(L"renamed"));
        const raw::Link moved(View32, Scratch(L"moved"), Scratch(L"renamed\\child"));
        ASSERT_TRUE(moved.Made());
        ASSERT_EQ(0, RenameSource(L"source"));
        const auto before = raw::Snapshot(View32, Scratch(L"source"));
        ASSERT_TRUE(before.has_value());
        auto expected = before;
        if (toggles) {
            expected->subKeys[L"child"].subKeys[L"copy"] = *before;
        }
        {
            ImportHook hook("NtQueryKey", reinterpret_cast<void*>(&QueryAroundRename));
            realQueryKey = reinterpret_cast<decltype(realQueryKey)>(hook.Original());
            ASSERT_NE(nullptr, realQueryKey);
            sourceNamed = false;
            togglesName = toggles;
            const auto [result, error] = Call<bool>([&](RegistryError* e) { return registry.CopyKey(Scratch(L"source"), Scratch(L"moved\\copy"), e); });
            EXPECT_EQ(toggles, result) << "toggles: " << toggles;
            EXPECT_EQ(toggles ? RegistryError::None : RegistryError::InvalidArgument, error) << "toggles: " << toggles;
        }
        RenameSource(L"source");
        EXPECT_EQ(expected, raw::Snapshot(View32, Scratch(L"source"))) << "toggles: " << toggles;
        ASSERT_TRUE(raw::DeleteTree(View32, Scratch(L"source")));
    }
}

TEST_F(Trees, DeleteKeyTreeFailures)
{
    const auto before = raw::Snapshot(View32, Scratch());
    const auto [empty, emptyError] = Call<bool>([&](RegistryError* e) { return registry.DeleteKeyTree(Scratch(), L"", e); });
    EXPECT_FALSE(empty);
    EXPECT_EQ(RegistryError::InvalidArgument, emptyError);
    EXPECT_TRUE(raw::KeyExists(View32, Scratch()));
    const auto [missing, missingError] = Call<bool>([&](RegistryError* e) { return registry.DeleteKeyTree(Scratch(), L"missing", e); });
    EXPECT_FALSE(missing);
    EXPECT_EQ(RegistryError::NotFound, missingError);
    EXPECT_EQ(before, raw::Snapshot(View32, Scratch()));

    // A key whose subkeys cannot be listed is not deleted, even when it has none: the listing's
    // failure is the one reported.
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"unlisted")));
    raw::AccessDenial denial(View32, Scratch(L"unlisted"), KEY_ENUMERATE_SUB_KEYS);
    ASSERT_TRUE(denial.Applied());
    const auto [unlisted, unlistedError] = Call<bool>([&](RegistryError* e) { return registry.DeleteKeyTree(Scratch(), L"unlisted", e); });
    EXPECT_FALSE(unlisted);
    EXPECT_EQ(RegistryError::AccessDenied, unlistedError);
    EXPECT_TRUE(raw::KeyExists(View32, Scratch(L"unlisted")));
}

// A link is a small key of its own, one REG_LINK value and no subkeys: the tree operations delete
// it or refuse it, and never reach its target.
TEST_F(Trees, LinksAreNeverFollowed)
{
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"target\\child")));
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"target\\new")));
    const raw::Link dangling(View32, Scratch(L"dangling"), Scratch(L"target\\new"));
    ASSERT_TRUE(dangling.Made());
    ASSERT_TRUE(raw::DeleteTree(View32, Scratch(L"target\\new")));
    ASSERT_TRUE(raw::SetDword(View32, Scratch(L"target"), L"v", 1));
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"doomed")));
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"src\\sub")));
    ASSERT_TRUE(raw::SetDword(View32, Scratch(L"src\\sub"), L"w", 2));
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"dst")));
    const raw::Link links[] = {{View32, Scratch(L"doomed\\lnk"), Scratch(L"target")},
                               {View32, Scratch(L"lnk"), Scratch(L"target")},
                               {View32, Scratch(L"src\\sub\\back"), Scratch(L"src")},
                               {View32, Scratch(L"dst\\sub"), Scratch(L"target")},
                               {View32, Scratch(L"dstlnk"), Scratch(L"target")},
                               {View32, Scratch(L"into"), Scratch(L"target")},
                               {View32, Scratch(L"tochild"), Scratch(L"target\\child")}};
    for (const raw::Link& link : links) {
        ASSERT_TRUE(link.Made());
    }
    const auto target = raw::Snapshot(View32, Scratch(L"target"));
    ASSERT_TRUE(target.has_value());
    const struct {
        const char* what;
        std::function<bool(RegistryError*)> operation;
        bool result;
        RegistryError error;
        const wchar_t* gone;
    } rows[] = {
        {"deleting a tree that holds a link", [&](RegistryError* e) { return registry.DeleteKeyTree(Scratch(), L"doomed", e); }, true, RegistryError::None, L"doomed"},
        {"deleting a link", [&](RegistryError* e) { return registry.DeleteKeyTree(Scratch(), L"lnk", e); }, true, RegistryError::None, L"lnk"},
        {"deleting a link by its path", [&](RegistryError* e) { return registry.DeleteKey(Scratch(L"tochild"), e); }, true, RegistryError::None, L"tochild"},
        {"copying a tree that links back to itself", [&](RegistryError* e) { return registry.CopyKey(Scratch(L"src"), Scratch(L"copy"), e); }, false, RegistryError::InvalidArgument, nullptr},
        {"copying into a tree that holds a link", [&](RegistryError* e) { return registry.CopyKey(Scratch(L"src"), Scratch(L"dst"), e); }, false, RegistryError::InvalidArgument, nullptr},
        {"copying onto a link", [&](RegistryError* e) { return registry.CopyKey(Scratch(L"src"), Scratch(L"dstlnk"), e); }, false, RegistryError::InvalidArgument, nullptr},
        {"copying a link", [&](RegistryError* e) { return registry.CopyKey(Scratch(L"dstlnk"), Scratch(L"fromlnk"), e); }, false, RegistryError::InvalidArgument, L"fromlnk"},
        {"copying into itself through a link on the way", [&](RegistryError* e) { return registry.CopyKey(Scratch(L"target"), Scratch(L"into\\copy"), e); }, false, RegistryError::InvalidArgument, nullptr},
        {"copying into itself through a link to a level not made yet", [&](RegistryError* e) { return registry.CopyKey(Scratch(L"target"), Scratch(L"dangling\\copy"), e); }, false, RegistryError::InvalidArgument, nullptr},
    };
    for (const auto& row : rows) {
        const auto [result, error] = Call<bool>(row.operation);
        EXPECT_EQ(row.result, result) << row.what;
        EXPECT_EQ(row.error, error) << row.what;
        EXPECT_EQ(target, raw::Snapshot(View32, Scratch(L"target"))) << row.what << ": the link's target changed";
        if (row.gone != nullptr) {
            EXPECT_FALSE(raw::KeyExists(View32, Scratch(row.gone))) << row.what;
        }
    }
    raw::KeySnapshot copied;
    copied.subKeys[L"sub"].values[L"w"] = raw::Dword(2);
    EXPECT_EQ(copied, raw::Snapshot(View32, Scratch(L"copy"))) << "refused at the link, what came before it copied";
}

TEST_F(Trees, CopyKeyMergesIntoDestination)
{
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"src\\sub\\deep")));
    ASSERT_TRUE(raw::SetDword(View32, Scratch(L"src"), L"same", 1));
    ASSERT_TRUE(raw::SetString(View32, Scratch(L"src\\sub"), L"s", L"text"));
    ASSERT_TRUE(raw::SetValue(View32, Scratch(L"src\\sub\\deep"), L"b", REG_BINARY, {1, 2}));
    ASSERT_TRUE(raw::SetValue(View32, Scratch(L"src\\sub"), L"unterminated", REG_SZ, std::vector<BYTE>(600002, 'x')));
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"dst\\own")));
    ASSERT_TRUE(raw::SetDword(View32, Scratch(L"dst"), L"same", 99));
    ASSERT_TRUE(raw::SetDword(View32, Scratch(L"dst"), L"extra", 7));

    const auto [result, error] = Call<bool>([&](RegistryError* e) { return registry.CopyKey(Scratch(L"src"), Scratch(L"dst"), e); });
    EXPECT_TRUE(result);
    EXPECT_EQ(RegistryError::None, error);
    auto expected = raw::Snapshot(View32, Scratch(L"src"));
    ASSERT_TRUE(expected.has_value());
    expected->values[L"extra"] = raw::Dword(7);
    expected->subKeys[L"own"] = raw::KeySnapshot{};
    EXPECT_EQ(expected, raw::Snapshot(View32, Scratch(L"dst"))) << "merged: own extras kept, same names replaced";

    EXPECT_TRUE(registry.CopyKey(Scratch(L"src"), Scratch(L"new\\level")));
    EXPECT_EQ(raw::Snapshot(View32, Scratch(L"src")), raw::Snapshot(View32, Scratch(L"new\\level"))) << "created as needed";
}

TEST_F(Trees, CopyKeyRefusals)
{
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"A\\x")));
    ASSERT_TRUE(raw::SetDword(View32, Scratch(L"A"), L"v", 1));
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"to")));
    ASSERT_TRUE(raw::SetValue(View32, Scratch(L"A\\x"), L"none", REG_NONE, {}));
    const std::wstring scratchUpper = Scratch();
    const struct {
        const char* what;
        std::wstring source;
        std::wstring destination;
        RegistryError error;
    } rows[] = {
        {"into itself", Scratch(L"A"), Scratch(L"A\\B"), RegistryError::InvalidArgument},
        {"into itself in another case, beyond ASCII", Scratch(L"\u00C4"), Scratch(L"\u00E4\\B"), RegistryError::InvalidArgument},
        {"empty source", L"", Scratch(L"to"), RegistryError::InvalidArgument},
        {"empty destination", Scratch(L"A"), L"", RegistryError::InvalidArgument},
        {"missing source", Scratch(L"missing"), Scratch(L"to\\m"), RegistryError::NotFound},
    };
    for (const auto& row : rows) {
        const auto before = raw::Snapshot(View32, Scratch());
        const auto [result, error] = Call<bool>([&](RegistryError* e) { return registry.CopyKey(row.source, row.destination, e); });
        EXPECT_FALSE(result) << row.what;
        EXPECT_EQ(row.error, error) << row.what;
        if (row.error == RegistryError::InvalidArgument) {
            EXPECT_EQ(before, raw::Snapshot(View32, Scratch())) << row.what << ": nothing created";
        }
    }
    // A REG_NONE value fails the copy where it stands; what was copied before stays.
    const auto [result, error] = Call<bool>([&](RegistryError* e) { return registry.CopyKey(Scratch(L"A"), Scratch(L"to\\copy"), e); });
    EXPECT_FALSE(result);
    EXPECT_EQ(RegistryError::WrongType, error);
    EXPECT_EQ(raw::Dword(1), raw::GetValue(View32, Scratch(L"to\\copy"), L"v")) << "values come before subkeys";
    EXPECT_TRUE(raw::KeyExists(View32, Scratch(L"to\\copy\\x")));
}

}  // namespace
