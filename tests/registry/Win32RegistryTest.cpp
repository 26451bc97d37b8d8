#include <VxRegistry/Win32Registry.h>

#include "registry/src/ScopedKey.h"

#include "HandleCount.h"
#include "ImportHook.h"
#include "RawRegistry.h"
#include "RegistryCall.h"
#include "ScratchKey.h"
#include "System.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using VxRegistry::ScopedKey;

constexpr REGSAM View32 = KEY_WOW64_32KEY;
constexpr REGSAM View64 = KEY_WOW64_64KEY;
constexpr std::uint32_t SentinelDword = 0xA5A5A5A5u;

std::vector<BYTE> Bytes(std::initializer_list<int> values)
{
    std::vector<BYTE> bytes;
    for (int v : values) {
        bytes.push_back(static_cast<BYTE>(v));
    }
    return bytes;
}

// Records every call of the operations that others are built on, then does the real work.
class SpyRegistry : public Win32Registry {
public:
    std::vector<std::pair<std::wstring, std::wstring>> createSubKeyCalls;
    std::vector<std::pair<std::wstring, std::wstring>> deleteSubKeyCalls;
    std::vector<std::wstring> keyExistsCalls;
    std::vector<std::wstring> createKeyCalls;

    bool CreateSubKey(const std::wstring& parent, const std::wstring& name, RegistryError* error = nullptr) override
    {
        createSubKeyCalls.emplace_back(parent, name);
        return Win32Registry::CreateSubKey(parent, name, error);
    }
    bool DeleteSubKey(const std::wstring& parent, const std::wstring& name, RegistryError* error = nullptr) override
    {
        deleteSubKeyCalls.emplace_back(parent, name);
        return Win32Registry::DeleteSubKey(parent, name, error);
    }
    bool KeyExists(const std::wstring& path, RegistryError* error = nullptr) override
    {
        keyExistsCalls.push_back(path);
        return Win32Registry::KeyExists(path, error);
    }
    bool CreateKey(const std::wstring& path, RegistryError* error = nullptr) override
    {
        createKeyCalls.push_back(path);
        return Win32Registry::CreateKey(path, error);
    }
};

class Win32RegistryTest : public ScratchKeyTest {
protected:
    void SetUp() override
    {
        ScratchKeyTest::SetUp();
        registry.SetAccessFlags(View32);
    }

    // Runs one operation with a sentinel in the caller's error variable and checks that the
    // variable and the object's last-error field received the same code.
    template <typename Result>
    std::pair<Result, RegistryError> Call(const std::function<Result(RegistryError*)>& operation)
    {
        return CallChecked<Result>(registry, operation);
    }

    std::pair<bool, RegistryError> Check(const std::function<bool(RegistryError*)>& operation)
    {
        return Call<bool>(operation);
    }

    SpyRegistry registry;
};

// A fresh registry object has root HKEY_LOCAL_MACHINE, no view flags and no error recorded.
TEST_F(Win32RegistryTest, NewObjectStartsAtLocalMachineWithNoError)
{
    Win32Registry fresh;
    EXPECT_EQ(RegistryError::None, fresh.GetLastErrorCode());
    // Without view flags a 64-bit process sees the 64-bit view and a 32-bit one the 32-bit view.
    const REGSAM nativeView = sizeof(void*) == 8 ? View64 : View32;
    ASSERT_TRUE(raw::CreateKey(nativeView, Scratch(L"native")));
    EXPECT_TRUE(fresh.KeyExists(Scratch(L"native"))) << "default root should be HKEY_LOCAL_MACHINE";
}

TEST(Win32RegistryMapping, PlatformResultsMapToLayerCodes)
{
    const struct {
        LONG platform;
        RegistryError expected;
    } rows[] = {
        {ERROR_SUCCESS, RegistryError::None},
        {ERROR_FILE_NOT_FOUND, RegistryError::NotFound},
        {ERROR_PATH_NOT_FOUND, RegistryError::NotFound},
        {ERROR_ACCESS_DENIED, RegistryError::AccessDenied},
        {ERROR_INVALID_PARAMETER, RegistryError::InvalidArgument},
        {ERROR_MORE_DATA, RegistryError::Failed},
        {ERROR_CHILD_MUST_BE_VOLATILE, RegistryError::Failed},
        {ERROR_INVALID_FUNCTION, RegistryError::Failed},
        {4, RegistryError::Failed},
        {ERROR_INVALID_HANDLE, RegistryError::Failed},
        {ERROR_BAD_PATHNAME, RegistryError::Failed},
        {-1, RegistryError::Failed},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.expected, Win32Registry::MapPlatformError(row.platform)) << "platform result " << row.platform;
    }
}

// Each code of the layer reached through a real registry failure.
TEST_F(Win32RegistryTest, RealFailuresReportTheirCodes)
{
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"locked")));
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"volatile"), REG_OPTION_VOLATILE));
    raw::AccessDenial denial(View32, Scratch(L"locked"), READ_CONTROL);
    ASSERT_TRUE(denial.Applied());
    const std::wstring tooLong(300, L'x');

    const struct {
        const char* what;
        std::function<bool(RegistryError*)> operation;
        RegistryError expected;
    } rows[] = {
        {"missing key", [&](RegistryError* e) { return registry.KeyExists(Scratch(L"missing"), e); }, RegistryError::NotFound},
        {"missing parent", [&](RegistryError* e) { return registry.KeyExists(Scratch(L"missing\\child"), e); }, RegistryError::NotFound},
        {"denied key", [&](RegistryError* e) { return registry.KeyExists(Scratch(L"locked"), e); }, RegistryError::AccessDenied},
        {"over-long name (platform 87)", [&](RegistryError* e) { return registry.KeyExists(Scratch(tooLong), e); }, RegistryError::InvalidArgument},
        {"non-volatile child of volatile key (platform 1021)", [&](RegistryError* e) { return registry.CreateSubKey(Scratch(L"volatile"), L"child", e); }, RegistryError::Failed},
    };
    for (const auto& row : rows) {
        const auto [result, error] = Check(row.operation);
        EXPECT_FALSE(result) << row.what;
        EXPECT_EQ(row.expected, error) << row.what;
    }
}

TEST_F(Win32RegistryTest, LastErrorFollowsEachOperation)
{
    EXPECT_FALSE(registry.KeyExists(Scratch(L"missing")));
    EXPECT_EQ(RegistryError::NotFound, registry.GetLastErrorCode()) << "after a failure";
    EXPECT_TRUE(registry.KeyExists(Scratch()));
    EXPECT_EQ(RegistryError::None, registry.GetLastErrorCode()) << "after a success";
    EXPECT_FALSE(registry.DeleteKey(L"SOFTWARE"));
    EXPECT_EQ(RegistryError::InvalidArgument, registry.GetLastErrorCode()) << "after a rejected argument";
    // The setters leave the field alone.
    registry.SetAccessFlags(View32);
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(RegistryError::InvalidArgument, registry.GetLastErrorCode());
}

TEST_F(Win32RegistryTest, RootKeyResolvesEveryPath)
{
    registry.SetRootKey(HKEY_CURRENT_USER);
    const auto [result, error] = Check([&](RegistryError* e) { return registry.KeyExists(Scratch(), e); });
    EXPECT_FALSE(result) << "the scratch key lives under HKEY_LOCAL_MACHINE only";
    EXPECT_EQ(RegistryError::NotFound, error);
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(registry.KeyExists(Scratch()));
}

TEST_F(Win32RegistryTest, KeyExistsOpensRootForEmptyPath)
{
    const auto [result, error] = Check([&](RegistryError* e) { return registry.KeyExists(L"", e); });
    EXPECT_TRUE(result);
    EXPECT_EQ(RegistryError::None, error);
}

TEST_F(Win32RegistryTest, SubKeyExistsTestsParentBackslashName)
{
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"child")));
    EXPECT_TRUE(registry.SubKeyExists(Scratch(), L"child"));
    ASSERT_EQ(1u, registry.keyExistsCalls.size()) << "SubKeyExists should go through KeyExists";
    EXPECT_EQ(Scratch(L"child"), registry.keyExistsCalls[0]);

    const auto [missing, error] = Check([&](RegistryError* e) { return registry.SubKeyExists(Scratch(), L"other", e); });
    EXPECT_FALSE(missing);
    EXPECT_EQ(RegistryError::NotFound, error);

    // An empty name would leave parent plus a backslash, a path with an empty component.
    registry.keyExistsCalls.clear();
    const auto [empty, emptyError] = Check([&](RegistryError* e) { return registry.SubKeyExists(Scratch(), L"", e); });
    EXPECT_TRUE(registry.keyExistsCalls.empty());
    EXPECT_FALSE(empty);
    EXPECT_EQ(RegistryError::InvalidArgument, emptyError);
}

TEST_F(Win32RegistryTest, CreateSubKeyCreatesAndAcceptsExistingKey)
{
    for (int round = 0; round < 2; ++round) {
        const auto [result, error] = Check([&](RegistryError* e) { return registry.CreateSubKey(Scratch(), L"new", e); });
        EXPECT_TRUE(result) << "round " << round;
        EXPECT_EQ(RegistryError::None, error) << "round " << round;
        EXPECT_TRUE(raw::KeyExists(View32, Scratch(L"new"))) << "round " << round;
    }
}

TEST_F(Win32RegistryTest, CreateSubKeyRejectsEmptyName)
{
    const auto before = raw::Snapshot(View32, Scratch());
    const auto [result, error] = Check([&](RegistryError* e) { return registry.CreateSubKey(Scratch(), L"", e); });
    EXPECT_FALSE(result);
    EXPECT_EQ(RegistryError::InvalidArgument, error);
    EXPECT_EQ(before, raw::Snapshot(View32, Scratch())) << "nothing may be created";
}

TEST_F(Win32RegistryTest, CreateKeyCreatesEachLevelTopDown)
{
    const std::wstring path = Scratch(L"a\\b\\c");
    const auto [result, error] = Check([&](RegistryError* e) { return registry.CreateKey(path, e); });
    EXPECT_TRUE(result);
    EXPECT_EQ(RegistryError::None, error);
    EXPECT_TRUE(raw::KeyExists(View32, path));

    // One platform call per level below the first component, top down.
    std::vector<std::pair<std::wstring, std::wstring>> expected;
    std::wstring parent = L"SOFTWARE";
    std::wstring rest = path.substr(parent.size() + 1);
    while (!rest.empty()) {
        const auto cut = rest.find(L'\\');
        const std::wstring leaf = rest.substr(0, cut);
        expected.emplace_back(parent, leaf);
        parent += L"\\" + leaf;
        rest = cut == std::wstring::npos ? L"" : rest.substr(cut + 1);
    }
    EXPECT_EQ(expected, registry.createSubKeyCalls);
}

// The platform cuts a path longer than 32,766 characters (under Wine the cut one opens the key its
// first 32,766 characters name), and the registry holds no tree deeper than 512 levels.
TEST_F(Win32RegistryTest, PathsThePlatformCannotTakeAreRefusedUpFront)
{
    std::wstring longest = Scratch();
    while (longest.size() + 256 <= 32766) {
        longest += L"\\" + std::wstring(255, L'n');
    }
    longest += L"\\" + std::wstring(32766 - longest.size() - 1, L'n');
    ASSERT_EQ(32766u, longest.size());
    ASSERT_TRUE(raw::CreateKey(View32, longest));
    const std::wstring deepest = Scratch() + [] {
        std::wstring levels;
        for (int i = 0; i < 509; ++i) {
            levels += L"\\d";
        }
        return levels;
    }();
    std::wstring sixtyThousandLevels = Scratch();
    for (int i = 0; i < 60000; ++i) {
        sixtyThousandLevels += L"\\a";
    }
    const auto before = raw::Snapshot(View32, Scratch());

    const struct {
        const char* what;
        std::function<bool(RegistryError*)> operation;
        bool result;
        RegistryError error;
    } rows[] = {
        {"32,766 characters", [&](RegistryError* e) { return registry.KeyExists(longest, e); }, true, RegistryError::None},
        {"32,767 characters", [&](RegistryError* e) { return registry.KeyExists(longest + L"x", e); }, false, RegistryError::InvalidArgument},
        {"512 levels reach the platform", [&](RegistryError* e) { return registry.KeyExists(deepest, e); }, false, RegistryError::NotFound},
        {"513 levels", [&](RegistryError* e) { return registry.KeyExists(deepest + L"\\d", e); }, false, RegistryError::InvalidArgument},
        {"create 32,767 characters", [&](RegistryError* e) { return registry.CreateKey(longest + L"x", e); }, false, RegistryError::InvalidArgument},
        {"create 513 levels", [&](RegistryError* e) { return registry.CreateKey(deepest + L"\\d", e); }, false, RegistryError::InvalidArgument},
        {"create 60,000 levels", [&](RegistryError* e) { return registry.CreateKey(sixtyThousandLevels, e); }, false, RegistryError::InvalidArgument},
        {"delete 32,767 characters", [&](RegistryError* e) { return registry.DeleteKey(longest + L"x", e); }, false, RegistryError::InvalidArgument},
        {"write below 513 levels", [&](RegistryError* e) { return registry.WriteDword(deepest + L"\\d", L"v", 1, e); }, false, RegistryError::InvalidArgument},
    };
    for (const auto& row : rows) {
        const auto [result, error] = Check(row.operation);
        EXPECT_EQ(row.result, result) << row.what;
        EXPECT_EQ(row.error, error) << row.what;
    }
    EXPECT_TRUE(registry.createSubKeyCalls.empty()) << "nothing may be created, not even the first levels";
    EXPECT_EQ(before, raw::Snapshot(View32, Scratch()));
}

// The first level below a predefined root is the platform's own: opened, never created.
TEST_F(Win32RegistryTest, CreateKeyNeverCreatesAFirstLevelOfAPredefinedRoot)
{
    // Named for this process, so that a key a fault made is this test's own to remove.
    const std::wstring missing = L"NoSuchTopLevelKey-" + std::to_wstring(GetCurrentProcessId());
    const struct {
        std::wstring path;
        bool result;
        RegistryError error;
    } rows[] = {
        {L"SOFTWARE", true, RegistryError::None},
        {L"", true, RegistryError::None},
        {missing, false, RegistryError::NotFound},
        {missing + L"\\below", false, RegistryError::NotFound},
    };
    for (const auto& row : rows) {
        registry.createSubKeyCalls.clear();
        EXPECT_FALSE(registry.KeyExists(Scratch(L"missing")));  // leaves NotFound behind
        const auto [result, error] = Check([&](RegistryError* e) { return registry.CreateKey(row.path, e); });
        EXPECT_EQ(row.result, result) << "path '" << std::string(row.path.begin(), row.path.end()) << "'";
        EXPECT_EQ(row.error, error);
        EXPECT_TRUE(registry.createSubKeyCalls.empty());
    }
    for (REGSAM view : {View32, View64}) {
        EXPECT_FALSE(raw::KeyExists(view, missing));
        EXPECT_TRUE(raw::DeleteTree(view, missing));
    }
}

TEST_F(Win32RegistryTest, CreateKeyWithTrailingBackslashCreatesNothing)
{
    const auto [result, error] = Check([&](RegistryError* e) { return registry.CreateKey(Scratch(L"a\\b\\"), e); });
    EXPECT_FALSE(result);
    EXPECT_EQ(RegistryError::InvalidArgument, error);
    EXPECT_FALSE(raw::KeyExists(View32, Scratch(L"a")));
}

// Below a root the caller opened, every level is the caller's, the first one included.
TEST_F(Win32RegistryTest, EmptyParentIsTheRoot)
{
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"existing")));
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"single")));
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"doomed\\child")));
    ScopedKey root;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, Scratch().c_str(), 0, KEY_ALL_ACCESS | View32,
                                           root.Receive()));
    Win32Registry owned;
    owned.SetRootKey(root.Get());
    // HKEY_LOCAL_MACHINE as a 64-bit program may spell it, zero-extended from 32 bits.
    Win32Registry widened;
    widened.SetRootKey(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002u)));
    Win32Registry classes;
    classes.SetRootKey(HKEY_CLASSES_ROOT);
    const struct {
        const char* what;
        Win32Registry& object;
        std::function<bool(RegistryError*)> operation;
        bool result;
        RegistryError error;
    } rows[] = {
        {"SubKeyExists", owned, [&](RegistryError* e) { return owned.SubKeyExists(L"", L"existing", e); }, true, RegistryError::None},
        {"CreateSubKey", owned, [&](RegistryError* e) { return owned.CreateSubKey(L"", L"made", e); }, true, RegistryError::None},
        {"CreateKey, first level", owned, [&](RegistryError* e) { return owned.CreateKey(L"fresh", e); }, true, RegistryError::None},
        {"CreateKey, two levels", owned, [&](RegistryError* e) { return owned.CreateKey(L"new\\below", e); }, true, RegistryError::None},
        {"DeleteKey, first level", owned, [&](RegistryError* e) { return owned.DeleteKey(L"single", e); }, true, RegistryError::None},
        {"DeleteKeyTree", owned, [&](RegistryError* e) { return owned.DeleteKeyTree(L"", L"doomed", e); }, true, RegistryError::None},
        {"a value name is no path", owned, [&](RegistryError* e) { return owned.WriteDword(L"", L"\\odd\\\\", 1, e); }, true, RegistryError::None},
        {"predefined root: DeleteSubKey", registry, [&](RegistryError* e) { return registry.DeleteSubKey(L"", L"NoSuchTopLevelKey", e); }, false, RegistryError::InvalidArgument},
        {"predefined root: DeleteKeyTree", registry, [&](RegistryError* e) { return registry.DeleteKeyTree(L"", L"NoSuchTopLevelKey", e); }, false, RegistryError::InvalidArgument},
        {"predefined root in 32 bits: DeleteKeyTree", widened, [&](RegistryError* e) { return widened.DeleteKeyTree(L"", L"NoSuchTopLevelKey", e); }, false, RegistryError::InvalidArgument},
        {"merged root: DeleteKeyTree", classes, [&](RegistryError* e) { return classes.DeleteKeyTree(L"NoSuchTopLevelKey", L"below", e); }, false, RegistryError::InvalidArgument},
        {"merged root: CopyKey", classes, [&](RegistryError* e) { return classes.CopyKey(L"NoSuchTopLevelKey", L"NoSuchCopy", e); }, false, RegistryError::InvalidArgument},
    };
    for (const auto& row : rows) {
        const auto [result, error] = CallChecked<bool>(row.object, row.operation);
        EXPECT_EQ(row.result, result) << row.what;
        EXPECT_EQ(row.error, error) << row.what;
    }
    raw::KeySnapshot expected;
    for (const wchar_t* name : {L"existing", L"made", L"fresh"}) {
        expected.subKeys[name] = raw::KeySnapshot{};
    }
    expected.subKeys[L"new"].subKeys[L"below"] = raw::KeySnapshot{};
    expected.values[L"\\odd\\\\"] = raw::Dword(1);
    EXPECT_EQ(expected, raw::Snapshot(View32, Scratch()));
    EXPECT_EQ("existing", owned.GetSubKeyPath("", 0)) << "no separator before the name";
}

TEST_F(Win32RegistryTest, CreateKeyOfExistingKeyChangesNothing)
{
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"a\\b")));
    ASSERT_TRUE(raw::SetDword(View32, Scratch(L"a\\b"), L"v", 7));
    const auto before = raw::Snapshot(View32, Scratch());
    EXPECT_TRUE(registry.CreateKey(Scratch(L"a\\b")));
    EXPECT_EQ(before, raw::Snapshot(View32, Scratch()));
}

TEST_F(Win32RegistryTest, CreateKeyStopsAtFirstFailedLevel)
{
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"volatile"), REG_OPTION_VOLATILE));
    const auto [result, error] = Check([&](RegistryError* e) { return registry.CreateKey(Scratch(L"volatile\\a\\b"), e); });
    EXPECT_FALSE(result);
    EXPECT_EQ(RegistryError::Failed, error);
    ASSERT_FALSE(registry.createSubKeyCalls.empty());
    EXPECT_EQ(std::make_pair(Scratch(L"volatile"), std::wstring(L"a")), registry.createSubKeyCalls.back())
        << "no level below the failed one may be tried";
    EXPECT_FALSE(raw::KeyExists(View32, Scratch(L"volatile\\a")));
}

TEST_F(Win32RegistryTest, DeleteKeyRejectsPathsWithoutLeaf)
{
    for (const std::wstring& path : std::vector<std::wstring>{L"SOFTWARE", L"", Scratch() + L"\\"}) {
        const auto [result, error] = Check([&](RegistryError* e) { return registry.DeleteKey(path, e); });
        EXPECT_FALSE(result) << "path '" << std::string(path.begin(), path.end()) << "'";
        EXPECT_EQ(RegistryError::InvalidArgument, error);
    }
    EXPECT_TRUE(raw::KeyExists(View32, Scratch()));
}

TEST_F(Win32RegistryTest, DeleteKeyRemovesKeyWithItsValues)
{
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"doomed")));
    ASSERT_TRUE(raw::SetDword(View32, Scratch(L"doomed"), L"v", 1));
    ASSERT_TRUE(raw::SetString(View32, Scratch(L"doomed"), L"", L"default"));
    const auto [result, error] = Check([&](RegistryError* e) { return registry.DeleteKey(Scratch(L"doomed"), e); });
    EXPECT_TRUE(result);
    EXPECT_EQ(RegistryError::None, error);
    EXPECT_FALSE(raw::KeyExists(View32, Scratch(L"doomed")));
    const std::vector<std::pair<std::wstring, std::wstring>> expected{{Scratch(), L"doomed"}};
    EXPECT_EQ(expected, registry.deleteSubKeyCalls) << "DeleteKey should go through DeleteSubKey";
}

TEST_F(Win32RegistryTest, DeleteKeyRefusesKeyWithSubkeys)
{
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"parent\\child")));
    ASSERT_TRUE(raw::SetDword(View32, Scratch(L"parent"), L"v", 1));
    const auto before = raw::Snapshot(View32, Scratch());
    const auto [result, error] = Check([&](RegistryError* e) { return registry.DeleteKey(Scratch(L"parent"), e); });
    EXPECT_FALSE(result);
    EXPECT_EQ(RegistryError::AccessDenied, error) << "the platform refuses with error 5";
    EXPECT_EQ(before, raw::Snapshot(View32, Scratch()));
}

TEST_F(Win32RegistryTest, DeleteKeyOfMissingKeyOrParentIsNotFound)
{
    for (const std::wstring& leaf : std::vector<std::wstring>{L"missing", L"missing\\child"}) {
        const auto [result, error] = Check([&](RegistryError* e) { return registry.DeleteKey(Scratch(leaf), e); });
        EXPECT_FALSE(result);
        EXPECT_EQ(RegistryError::NotFound, error);
    }
}

TEST_F(Win32RegistryTest, DeleteSubKeyRejectsEmptyName)
{
    const auto [result, error] = Check([&](RegistryError* e) { return registry.DeleteSubKey(Scratch(), L"", e); });
    EXPECT_FALSE(result);
    EXPECT_EQ(RegistryError::InvalidArgument, error);
    EXPECT_TRUE(raw::KeyExists(View32, Scratch()));
}

TEST_F(Win32RegistryTest, GetValueTypeReportsStoredType)
{
    const std::wstring key = Scratch();
    ASSERT_TRUE(raw::SetDword(View32, key, L"dword", 3));
    ASSERT_TRUE(raw::SetString(View32, key, L"string", L"text"));
    ASSERT_TRUE(raw::SetValue(View32, key, L"none", REG_NONE, Bytes({1, 2})));
    ASSERT_TRUE(raw::SetValue(View32, key, L"qword", REG_QWORD, Bytes({1, 0, 0, 0, 0, 0, 0, 0})));
    ASSERT_TRUE(raw::SetDword(View32, key, L"", 9));

    const struct {
        std::wstring key;
        std::wstring name;
        std::uint32_t type;
        RegistryError error;
    } rows[] = {
        {key, L"dword", REG_DWORD, RegistryError::None},
        {key, L"string", REG_SZ, RegistryError::None},
        {key, L"qword", REG_QWORD, RegistryError::None},
        {key, L"", REG_DWORD, RegistryError::None},
        {key, L"none", REG_NONE, RegistryError::None},
        {key, L"missing", REG_NONE, RegistryError::NotFound},
        {Scratch(L"missing"), L"LogRotateCount", REG_NONE, RegistryError::NotFound},
    };
    for (const auto& row : rows) {
        const auto [type, error] = Call<std::uint32_t>([&](RegistryError* e) { return registry.GetValueType(row.key, row.name, e); });
        const std::string name(row.name.begin(), row.name.end());
        EXPECT_EQ(row.type, type) << "value '" << name << "'";
        EXPECT_EQ(row.error, error) << "value '" << name << "'";
    }
}

TEST_F(Win32RegistryTest, ReadDwordJudgesTypeBeforeResult)
{
    const std::wstring key = Scratch();
    const struct {
        const char* what;
        DWORD type;
        std::vector<BYTE> data;
        bool result;
        RegistryError error;
        std::uint32_t value;
    } rows[] = {
        {"dword", REG_DWORD, Bytes({0x78, 0x56, 0x34, 0x12}), true, RegistryError::None, 0x12345678u},
        {"largest dword", REG_DWORD, Bytes({0xFF, 0xFF, 0xFF, 0xFF}), true, RegistryError::None, 0xFFFFFFFFu},
        {"two-byte dword is no number and leaves the variable", REG_DWORD, Bytes({0x34, 0x12}), false, RegistryError::WrongType, SentinelDword},
        {"empty dword", REG_DWORD, {}, false, RegistryError::WrongType, SentinelDword},
        {"eight-byte dword", REG_DWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8}), false, RegistryError::WrongType, SentinelDword},
        {"four-byte none", REG_NONE, Bytes({9, 0, 0, 0}), true, RegistryError::None, 9u},
        {"empty none", REG_NONE, {}, true, RegistryError::None, SentinelDword},
        {"eight-byte none", REG_NONE, Bytes({1, 2, 3, 4, 5, 6, 7, 8}), false, RegistryError::Failed, SentinelDword},
        {"four-byte binary is delivered yet refused", REG_BINARY, Bytes({1, 2, 3, 4}), false, RegistryError::WrongType, 0x04030201u},
        {"qword", REG_QWORD, Bytes({1, 0, 0, 0, 0, 0, 0, 0}), false, RegistryError::WrongType, SentinelDword},
        {"big-endian dword", REG_DWORD_BIG_ENDIAN, Bytes({0, 0, 0, 5}), false, RegistryError::WrongType, 0x05000000u},
        {"string", REG_SZ, raw::String(L"hello").data, false, RegistryError::WrongType, SentinelDword},
        {"one-character string fits", REG_SZ, raw::String(L"a").data, false, RegistryError::WrongType, 0x00000061u},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(raw::SetValue(View32, key, L"v", row.type, row.data)) << row.what;
        std::uint32_t value = SentinelDword;
        const auto [result, error] = Check([&](RegistryError* e) { return registry.ReadDword(key, L"v", value, e); });
        EXPECT_EQ(row.result, result) << row.what;
        EXPECT_EQ(row.error, error) << row.what;
        EXPECT_EQ(row.value, value) << row.what;
    }
}

TEST_F(Win32RegistryTest, ReadDwordLeavesVariableAloneWhenMissing)
{
    for (const std::wstring& key : {Scratch(), Scratch(L"missing")}) {
        std::uint32_t value = SentinelDword;
        const auto [result, error] = Check([&](RegistryError* e) { return registry.ReadDword(key, L"LogLevel", value, e); });
        EXPECT_FALSE(result);
        EXPECT_EQ(RegistryError::NotFound, error);
        EXPECT_EQ(SentinelDword, value);
    }
}

TEST_F(Win32RegistryTest, WriteDwordRoundTripsAndReplacesOtherTypes)
{
    ASSERT_TRUE(raw::SetString(View32, Scratch(), L"v", L"a string"));
    for (std::uint32_t number : {0u, 4u, 5000u, 0xFFFFFFFFu}) {
        const auto [result, error] = Check([&](RegistryError* e) { return registry.WriteDword(Scratch(), L"v", number, e); });
        EXPECT_TRUE(result);
        EXPECT_EQ(RegistryError::None, error);
        const auto stored = raw::GetValue(View32, Scratch(), L"v");
        ASSERT_TRUE(stored.has_value());
        EXPECT_EQ(raw::Dword(number), *stored) << "stored as a 4-byte REG_DWORD";
        std::uint32_t back = 0;
        EXPECT_TRUE(registry.ReadDword(Scratch(), L"v", back));
        EXPECT_EQ(number, back);
    }
}

TEST_F(Win32RegistryTest, WriteDwordToDefaultValue)
{
    EXPECT_TRUE(registry.WriteDword(Scratch(), L"", 42));
    const auto stored = raw::GetValue(View32, Scratch(), L"");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(raw::Dword(42), *stored);
}

TEST_F(Win32RegistryTest, WriteDwordNeverCreatesKey)
{
    const auto [result, error] = Check([&](RegistryError* e) { return registry.WriteDword(Scratch(L"missing"), L"v", 1, e); });
    EXPECT_FALSE(result);
    EXPECT_EQ(RegistryError::NotFound, error);
    EXPECT_FALSE(raw::KeyExists(View32, Scratch(L"missing")));
}

TEST_F(Win32RegistryTest, DeleteValueRemovesOneValue)
{
    ASSERT_TRUE(raw::SetDword(View32, Scratch(), L"v", 1));
    ASSERT_TRUE(raw::SetDword(View32, Scratch(), L"keep", 2));
    const auto [result, error] = Check([&](RegistryError* e) { return registry.DeleteValue(Scratch(), L"v", e); });
    EXPECT_TRUE(result);
    EXPECT_EQ(RegistryError::None, error);
    EXPECT_EQ(0u, registry.GetValueType(Scratch(), L"v"));
    EXPECT_EQ(raw::Dword(2), raw::GetValue(View32, Scratch(), L"keep"));
}

TEST_F(Win32RegistryTest, DeleteValueOfMissingValueOrKeyIsNotFound)
{
    for (const std::wstring& key : {Scratch(), Scratch(L"missing")}) {
        const auto [result, error] = Check([&](RegistryError* e) { return registry.DeleteValue(key, L"v", e); });
        EXPECT_FALSE(result);
        EXPECT_EQ(RegistryError::NotFound, error);
    }
}

// Each operation asks for exactly the rights of its access mask: denying one right on the key
// makes precisely the operations whose mask holds it fail with AccessDenied.
TEST_F(Win32RegistryTest, OperationsAskForTheirAccessMasks)
{
    enum Op { Exists, SubExists, Type, Read, Write, DeleteVal, CreateSub, DeleteSub, OpCount };
    const char* opNames[OpCount] = {"KeyExists", "SubKeyExists", "GetValueType", "ReadDword",
                                    "WriteDword", "DeleteValue", "CreateSubKey", "DeleteSubKey"};
    const std::wstring target = Scratch(L"target");
    const std::function<bool(RegistryError*)> ops[OpCount] = {
        [&](RegistryError* e) { return registry.KeyExists(target, e); },
        [&](RegistryError* e) { return registry.SubKeyExists(Scratch(), L"target", e); },
        [&](RegistryError* e) { return registry.GetValueType(target, L"v", e) == REG_DWORD; },
        [&](RegistryError* e) { std::uint32_t v = 0; return registry.ReadDword(target, L"v", v, e); },
        [&](RegistryError* e) { return registry.WriteDword(target, L"v", 2, e); },
        [&](RegistryError* e) { return registry.DeleteValue(target, L"v", e); },
        [&](RegistryError* e) { return registry.CreateSubKey(Scratch(), L"target", e); },
        [&](RegistryError* e) { return registry.DeleteSubKey(target, L"child", e); },
    };
    // Which operations a denial of each right must refuse.
    const struct {
        const char* right;
        DWORD mask;
        std::vector<Op> refused;
    } rows[] = {
        {"READ_CONTROL", READ_CONTROL, {Exists, SubExists, Type, Read, DeleteSub}},
        {"KEY_QUERY_VALUE", KEY_QUERY_VALUE, {Type, Read, DeleteSub}},
        {"KEY_ENUMERATE_SUB_KEYS", KEY_ENUMERATE_SUB_KEYS, {Type, Read, DeleteSub}},
        {"KEY_NOTIFY", KEY_NOTIFY, {Type, Read, DeleteSub}},
        {"KEY_SET_VALUE", KEY_SET_VALUE, {Write, DeleteVal}},
        {"KEY_CREATE_SUB_KEY", KEY_CREATE_SUB_KEY, {CreateSub}},
    };
    for (const auto& row : rows) {
        for (int op = 0; op < OpCount; ++op) {
            ASSERT_TRUE(raw::DeleteTree(View32, target));
            ASSERT_TRUE(raw::CreateKey(View32, target + L"\\child"));
            ASSERT_TRUE(raw::SetDword(View32, target, L"v", 1));
            bool denied = false;
            for (Op refused : row.refused) {
                denied = denied || refused == op;
            }
            raw::AccessDenial denial(View32, target, row.mask);
            ASSERT_TRUE(denial.Applied()) << row.right;
            const auto [result, error] = Check(ops[op]);
            EXPECT_EQ(!denied, result) << opNames[op] << " with " << row.right << " denied";
            EXPECT_EQ(denied ? RegistryError::AccessDenied : RegistryError::None, error)
                << opNames[op] << " with " << row.right << " denied";
        }
    }
}

// With a view flag stored, every open and create lands in that view and only there.
TEST_F(Win32RegistryTest, ViewFlagSelectsRegistryView)
{
    if (!sys::Is64BitWindows()) {
        GTEST_SKIP() << "32-bit Windows has one registry view";
    }
    const std::wstring scratchBelowSoftware = Scratch().substr(std::wstring(L"SOFTWARE\\").size());
    const struct {
        const char* view;
        REGSAM flag;
        REGSAM other;
    } views[] = {{"32-bit", View32, View64}, {"64-bit", View64, View32}};

    for (const auto& v : views) {
        registry.SetAccessFlags(v.flag);
        ASSERT_TRUE(raw::DeleteTree(View32, Scratch(L"x")));
        ASSERT_TRUE(raw::DeleteTree(View64, Scratch(L"x")));

        EXPECT_TRUE(registry.CreateKey(Scratch(L"x\\y"))) << v.view;
        EXPECT_TRUE(raw::KeyExists(v.flag, Scratch(L"x\\y"))) << v.view;
        EXPECT_FALSE(raw::KeyExists(v.other, Scratch(L"x"))) << v.view;

        EXPECT_TRUE(registry.WriteDword(Scratch(L"x"), L"v", 5)) << v.view;
        EXPECT_EQ(raw::Dword(5), raw::GetValue(v.flag, Scratch(L"x"), L"v")) << v.view;

        // The same key in the other view, with a value of its own, is never touched or read.
        ASSERT_TRUE(raw::CreateKey(v.other, Scratch(L"x\\y")));
        ASSERT_TRUE(raw::SetDword(v.other, Scratch(L"x"), L"v", 6));
        ASSERT_TRUE(raw::SetDword(v.other, Scratch(L"x"), L"w", 7));
        std::uint32_t read = 0;
        EXPECT_TRUE(registry.ReadDword(Scratch(L"x"), L"v", read)) << v.view;
        EXPECT_EQ(5u, read) << v.view;
        EXPECT_EQ(0u, registry.GetValueType(Scratch(L"x"), L"w")) << v.view;
        EXPECT_TRUE(registry.DeleteValue(Scratch(L"x"), L"v")) << v.view;
        EXPECT_TRUE(registry.DeleteKey(Scratch(L"x\\y"))) << v.view;
        EXPECT_TRUE(registry.CreateSubKey(Scratch(L"x"), L"z")) << v.view;
        EXPECT_TRUE(registry.SubKeyExists(Scratch(L"x"), L"z")) << v.view;
        EXPECT_TRUE(registry.DeleteSubKey(Scratch(L"x"), L"z")) << v.view;
        EXPECT_FALSE(raw::KeyExists(v.flag, Scratch(L"x\\y"))) << v.view;
        EXPECT_EQ(std::nullopt, raw::GetValue(v.flag, Scratch(L"x"), L"v")) << v.view;

        raw::KeySnapshot untouched;
        untouched.values[L"v"] = raw::Dword(6);
        untouched.values[L"w"] = raw::Dword(7);
        untouched.subKeys[L"y"] = raw::KeySnapshot{};
        EXPECT_EQ(untouched, raw::Snapshot(v.other, Scratch(L"x"))) << v.view << ": the other view changed";
    }

    // The 32-bit view is the 64-bit view's Wow6432Node.
    registry.SetAccessFlags(View32);
    ASSERT_TRUE(registry.CreateKey(Scratch(L"seen")));
    ASSERT_TRUE(registry.WriteDword(Scratch(L"seen"), L"v", 32));
    EXPECT_EQ(raw::Dword(32), raw::GetValue(View64, L"SOFTWARE\\Wow6432Node\\" + scratchBelowSoftware + L"\\seen", L"v"));
    EXPECT_FALSE(raw::KeyExists(View64, Scratch(L"seen")));
}

std::vector<HKEY> closedKeys;
LONG(WINAPI* realCloseKey)(HKEY) = nullptr;

LONG WINAPI RecordClose(HKEY key)
{
    closedKeys.push_back(key);
    return realCloseKey(key);
}

// Opening the empty path below a predefined root hands back the root itself; Wine ignores a
// RegCloseKey of one, so the holder's own calls are watched.
TEST(ScopedKeyHolder, NeverOwnsOrClosesAPredefinedRoot)
{
    ImportHook hook("RegCloseKey", reinterpret_cast<void*>(&RecordClose));
    realCloseKey = reinterpret_cast<LONG(WINAPI*)(HKEY)>(hook.Original());
    ASSERT_NE(nullptr, realCloseKey);
    closedKeys.clear();
    const HKEY roots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                          HKEY_PERFORMANCE_DATA, HKEY_CURRENT_CONFIG, HKEY_PERFORMANCE_TEXT, HKEY_PERFORMANCE_NLSTEXT};
    for (HKEY root : roots) {
        ScopedKey holder;
        *holder.Receive() = root;
        EXPECT_TRUE(holder.IsOpen()) << "root " << root;
        EXPECT_FALSE(holder.Owns()) << "root " << root;
        holder.Close();
        EXPECT_EQ(nullptr, holder.Get()) << "root " << root;
    }
    EXPECT_EQ(std::vector<HKEY>{}, closedKeys) << "no predefined root may be closed";

    HKEY opened = nullptr;
    {
        ScopedKey holder;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_READ, holder.Receive()));
        opened = holder.Get();
        EXPECT_TRUE(holder.Owns());
    }
    EXPECT_EQ(std::vector<HKEY>{opened}, closedKeys) << "an opened key is closed, once";

    closedKeys.clear();
    Win32Registry registry;
    EXPECT_TRUE(registry.KeyExists(L""));
    for (HKEY key : closedKeys) {
        EXPECT_NE(HKEY_LOCAL_MACHINE, key) << "the layer closed its root";
    }
}

// No operation leaves a key handle open, whichever way it ends.
TEST_F(Win32RegistryTest, EveryPathClosesItsKeys)
{
    ASSERT_TRUE(raw::SetDword(View32, Scratch(), L"v", 1));
    ASSERT_TRUE(raw::SetString(View32, Scratch(), L"s", L"text"));
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"parent\\child")));
    ASSERT_TRUE(raw::CreateKey(View32, Scratch(L"volatile"), REG_OPTION_VOLATILE));
    const std::function<void()> ops[] = {
        [&] { registry.KeyExists(Scratch()); },
        [&] { registry.KeyExists(Scratch(L"missing")); },
        [&] { registry.KeyExists(L""); },
        [&] { registry.SubKeyExists(Scratch(), L"parent"); },
        [&] { registry.CreateSubKey(Scratch(), L"made"); },
        [&] { registry.CreateSubKey(Scratch(L"volatile"), L"fails"); },
        [&] { registry.CreateKey(Scratch(L"deep\\er\\est")); },
        [&] { registry.DeleteKey(Scratch(L"deep\\er\\est")); },
        [&] { registry.DeleteKey(Scratch(L"parent")); },
        [&] { registry.DeleteKey(Scratch(L"missing\\child")); },
        [&] { registry.GetValueType(Scratch(), L"v"); },
        [&] { registry.GetValueType(Scratch(), L"missing"); },
        [&] { std::uint32_t v = 0; registry.ReadDword(Scratch(), L"v", v); },
        [&] { std::uint32_t v = 0; registry.ReadDword(Scratch(), L"s", v); },
        [&] { std::uint32_t v = 0; registry.ReadDword(Scratch(), L"missing", v); },
        [&] { registry.WriteDword(Scratch(), L"w", 1); },
        [&] { registry.WriteDword(Scratch(L"missing"), L"w", 1); },
        [&] { registry.DeleteValue(Scratch(), L"w"); },
        [&] { registry.DeleteValue(Scratch(), L"w"); },
        [&] { registry.CopyKey(Scratch(L"parent"), Scratch(L"copied")); },
        [&] { registry.DeleteKeyTree(Scratch(), L"copied"); },
    };
    const int baseline = OpenHandleCount();
    ASSERT_GT(baseline, 0) << "the platform does not list handles";
    int index = 0;
    for (const auto& op : ops) {
        op();
        EXPECT_EQ(baseline, OpenHandleCount()) << "operation #" << index << " left a handle open";
        ++index;
    }
}

}  // namespace
