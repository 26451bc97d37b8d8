#include "LogLevelPolicy.h"

#include "ImportHook.h"
#include "ProductKey.h"
#include "RunLock.h"
#include "Wait.h"
#include "RawRegistry.h"
#include "System.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <optional>
#include <string>
#include <thread>

namespace {

using namespace product;

using raw::String;

raw::Value None() { return raw::Value{REG_NONE, {}}; }

bool Put(REGSAM view, const std::wstring& key, const std::wstring& name, const raw::Value& value)
{
    return raw::SetValue(view, key, name, value.type, value.data);
}

// What "SOFTWARE\Orvane" holds: the Logging key's values, whether ZKF has other content, and
// the Logging key's subkeys.
struct Tree {
    bool logging = true;
    std::map<std::wstring, raw::Value> values;
    bool loggingSubKey = false;

    raw::KeySnapshot Snapshot() const
    {
        raw::KeySnapshot logs;
        logs.values = values;
        if (loggingSubKey) {
            logs.subKeys[L"Sub"] = raw::KeySnapshot{};
        }
        raw::KeySnapshot product;
        if (logging) {
            product.subKeys[L"Logging"] = logs;
        }
        raw::KeySnapshot vendor;
        vendor.subKeys[L"ZKF"] = product;
        return vendor;
    }

    void Create() const
    {
        ASSERT_TRUE(raw::CreateKey(View32, Product));
        if (!logging) {
            return;
        }
        ASSERT_TRUE(raw::CreateKey(View32, Logging));
        for (const auto& [name, value] : values) {
            ASSERT_TRUE(Put(View32, Logging, name, value));
        }
        if (loggingSubKey) {
            ASSERT_TRUE(raw::CreateKey(View32, Logging + L"\\Sub"));
        }
    }
};

// The product key lives at a fixed place, so each test starts and ends without it. On 64-bit
// Windows the 64-bit view holds a decoy of its own that no operation may touch.
class LogLevelPolicyTest : public ProductKeyTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(Clean());
        if (!sys::Is64BitWindows()) {
            return;
        }
        ASSERT_TRUE(raw::CreateKey(View64, Logging));
        ASSERT_TRUE(raw::SetDword(View64, Logging, L"LogLevel", 1));
        ASSERT_TRUE(raw::SetDword(View64, Logging, L"LogMaxSizeKB", 1));
        decoy = raw::Snapshot(View64, Vendor);
        ASSERT_TRUE(decoy.has_value());
    }

    void TearDown() override
    {
        if (!saved) {
            return;
        }
        if (sys::Is64BitWindows()) {
            EXPECT_EQ(decoy, raw::Snapshot(View64, Vendor)) << "the 64-bit view was changed";
        }
        Clean();
    }

    // Between the rows of a table: the product's key goes, the decoy stays.
    static void Reset() { ASSERT_TRUE(raw::DeleteTree(View32, Vendor)); }

    std::optional<raw::KeySnapshot> decoy;
};

const raw::Value Full = raw::Dword(5);
const raw::Value FullSize = raw::Dword(5000);
const raw::Value Normal = raw::Dword(4);
const raw::Value NormalSize = raw::Dword(100);

TEST_F(LogLevelPolicyTest, DecisionTable)
{
    const raw::Value rotate = raw::Dword(3);
    const raw::Value other = String(L"kept");
    const struct {
        const char* what;
        std::optional<Tree> before;  // nullopt: no "SOFTWARE\Orvane" at all
        bool full;
        bool result;
        std::optional<Tree> after;
    } rows[] = {
        {"full on a machine without the key", std::nullopt, true, true,
         Tree{true, {{L"LogMaxSizeKB", FullSize}, {L"LogLevel", Full}}}},
        {"full keeps LogRotateCount and other values", Tree{true, {{L"LogRotateCount", rotate}, {L"Other", other}, {L"LogLevel", Normal}}}, true, true,
         Tree{true, {{L"LogRotateCount", rotate}, {L"Other", other}, {L"LogMaxSizeKB", FullSize}, {L"LogLevel", Full}}}},
        {"full replaces a string LogLevel", Tree{true, {{L"LogLevel", String(L"verbose")}}}, true, true,
         Tree{true, {{L"LogMaxSizeKB", FullSize}, {L"LogLevel", Full}}}},
        {"full beside a subkey", Tree{true, {}, true}, true, true,
         Tree{true, {{L"LogMaxSizeKB", FullSize}, {L"LogLevel", Full}}, true}},
        {"normal with LogRotateCount writes explicit values", Tree{true, {{L"LogRotateCount", rotate}, {L"LogMaxSizeKB", FullSize}, {L"LogLevel", Full}}}, false, true,
         Tree{true, {{L"LogRotateCount", rotate}, {L"LogMaxSizeKB", NormalSize}, {L"LogLevel", Normal}}}},
        {"normal with LogRotateCount of another type writes too", Tree{true, {{L"LogRotateCount", String(L"3")}}}, false, true,
         Tree{true, {{L"LogRotateCount", String(L"3")}, {L"LogMaxSizeKB", NormalSize}, {L"LogLevel", Normal}}}},
        {"normal after full removes the values and the key", Tree{true, {{L"LogMaxSizeKB", FullSize}, {L"LogLevel", Full}, {L"Other", other}}}, false, true,
         Tree{false, {}}},
        {"normal treats a REG_NONE LogRotateCount as absent", Tree{true, {{L"LogRotateCount", None()}, {L"LogLevel", Full}}}, false, true,
         Tree{false, {}}},
        {"normal without the key changes nothing", std::nullopt, false, true, std::nullopt},
        {"normal without the Logging key changes nothing", Tree{false, {}}, false, true, Tree{false, {}}},
        {"normal without LogLevel still removes the key", Tree{true, {{L"LogMaxSizeKB", FullSize}}}, false, false,
         Tree{false, {}}},
        {"normal on an empty key fails yet removes it", Tree{true, {}}, false, false, Tree{false, {}}},
        {"normal leaves a key with a subkey", Tree{true, {{L"LogMaxSizeKB", FullSize}, {L"LogLevel", Full}, {L"Other", other}}, true}, false, true,
         Tree{true, {{L"Other", other}}, true}},
        {"normal without LogLevel beside a subkey", Tree{true, {{L"Other", other}}, true}, false, false,
         Tree{true, {{L"Other", other}}, true}},
    };
    for (const auto& row : rows) {
        Reset();
        if (row.before) {
            row.before->Create();
        }
        EXPECT_EQ(row.result, ApplyLogLevel(row.full)) << row.what;
        const auto after = raw::Snapshot(View32, Vendor);
        if (row.after) {
            EXPECT_EQ(row.after->Snapshot(), after) << row.what;
        } else {
            EXPECT_EQ(std::nullopt, after) << row.what;
        }
    }
}

TEST_F(LogLevelPolicyTest, FullThenNormalRoundTrip)
{
    EXPECT_TRUE(ApplyLogLevel(true));
    EXPECT_TRUE(IsFullLogging());
    EXPECT_TRUE(ApplyLogLevel(false));
    EXPECT_FALSE(IsFullLogging());
    EXPECT_FALSE(raw::KeyExists(View32, Logging)) << "normal without LogRotateCount removes the key";
    EXPECT_TRUE(raw::KeyExists(View32, Product)) << "only the Logging key goes";
}

TEST_F(LogLevelPolicyTest, IsFullLoggingReadsLevelAboveFour)
{
    const struct {
        const char* what;
        std::optional<raw::Value> level;  // nullopt: the key without a LogLevel value
        bool full;
    } rows[] = {
        {"0", raw::Dword(0), false},
        {"4", raw::Dword(4), false},
        {"5", raw::Dword(5), true},
        {"largest value", raw::Dword(0xFFFFFFFFu), true},
        {"missing value", std::nullopt, false},
        // Bytes that fit are delivered even when the type is refused.
        {"four-byte binary 5", raw::Value{REG_BINARY, {5, 0, 0, 0}}, true},
        {"string \"9\" reads as its four bytes", String(L"9"), true},
        {"string too long to fit", String(L"verbose"), false},
        {"empty REG_NONE", None(), false},
    };
    for (const auto& row : rows) {
        Reset();
        ASSERT_TRUE(raw::CreateKey(View32, Logging));
        if (row.level) {
            ASSERT_TRUE(Put(View32, Logging, L"LogLevel", *row.level));
        }
        EXPECT_EQ(row.full, IsFullLogging()) << row.what;
    }
}

TEST_F(LogLevelPolicyTest, IsFullLoggingWithoutKeyIsNormal)
{
    EXPECT_FALSE(IsFullLogging());
    EXPECT_EQ(std::nullopt, raw::Snapshot(View32, Vendor)) << "reading must create nothing";
}

TEST_F(LogLevelPolicyTest, IsFullLoggingReadsOnly32BitView)
{
    if (!sys::Is64BitWindows()) {
        GTEST_SKIP() << "32-bit Windows has one registry view";
    }
    ASSERT_TRUE(raw::SetDword(View64, Logging, L"LogLevel", 5));
    decoy = raw::Snapshot(View64, Vendor);
    EXPECT_FALSE(IsFullLogging());
}

// Stand in for RegSetValueExW and RegDeleteValueW, refusing one value name as no key security can.
const wchar_t* refusedValue = nullptr;
void* setValue = nullptr;
void* deleteValue = nullptr;
bool Refused(const wchar_t* name) { return name != nullptr && refusedValue != nullptr && std::wstring(name) == refusedValue; }
LONG WINAPI RefuseSet(HKEY key, const wchar_t* name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    return Refused(name) ? ERROR_ACCESS_DENIED
                         : reinterpret_cast<decltype(&RegSetValueExW)>(setValue)(key, name, reserved, type, data, size);
}
LONG WINAPI RefuseDelete(HKEY key, const wchar_t* name)
{
    return Refused(name) ? ERROR_ACCESS_DENIED : reinterpret_cast<decltype(&RegDeleteValueW)>(deleteValue)(key, name);
}

// A run that could not bring the key into the requested state fails; what it could not change,
// or could not learn, stays as it was.
TEST_F(LogLevelPolicyTest, RefusedChangesFail)
{
    const raw::Value rotate = raw::Dword(3);
    const raw::Value other = String(L"kept");
    const struct {
        const char* what;
        Tree before;
        bool full;
        DWORD denied;                 // rights denied on the Logging key
        const wchar_t* refused;       // one value's writes and deletions refused
        std::optional<Tree> after;    // nullopt: as before
    } rows[] = {
        {"full", Tree{true, {{L"LogRotateCount", rotate}, {L"LogLevel", Normal}, {L"LogMaxSizeKB", NormalSize}, {L"Other", other}}, true}, true, KEY_SET_VALUE | DELETE, nullptr, std::nullopt},
        {"normal, write branch", Tree{true, {{L"LogRotateCount", rotate}, {L"LogLevel", Full}, {L"LogMaxSizeKB", FullSize}, {L"Other", other}}, true}, false, KEY_SET_VALUE | DELETE, nullptr, std::nullopt},
        {"normal, remove branch", Tree{true, {{L"LogLevel", Full}, {L"LogMaxSizeKB", FullSize}, {L"Other", other}}}, false, KEY_SET_VALUE | DELETE, nullptr, std::nullopt},
        {"normal with LogRotateCount unreadable", Tree{true, {{L"LogRotateCount", rotate}, {L"LogLevel", Full}, {L"LogMaxSizeKB", FullSize}}}, false, KEY_QUERY_VALUE, nullptr, std::nullopt},
        {"full whose values cannot be read back", Tree{true, {{L"LogLevel", Normal}}}, true, KEY_QUERY_VALUE, nullptr, Tree{true, {{L"LogLevel", Full}, {L"LogMaxSizeKB", FullSize}}}},
        {"full with LogMaxSizeKB refused", Tree{true, {{L"LogLevel", Normal}, {L"LogMaxSizeKB", NormalSize}}}, true, 0, L"LogMaxSizeKB", Tree{true, {{L"LogLevel", Full}, {L"LogMaxSizeKB", NormalSize}}}},
        {"full with LogMaxSizeKB refused beside its bytes as REG_NONE", Tree{true, {{L"LogMaxSizeKB", raw::Value{REG_NONE, FullSize.data}}}}, true, 0, L"LogMaxSizeKB", Tree{true, {{L"LogLevel", Full}, {L"LogMaxSizeKB", raw::Value{REG_NONE, FullSize.data}}}}},
        {"normal with LogMaxSizeKB refused beside a subkey", Tree{true, {{L"LogLevel", Full}, {L"LogMaxSizeKB", FullSize}}, true}, false, 0, L"LogMaxSizeKB", Tree{true, {{L"LogMaxSizeKB", FullSize}}, true}},
    };
    for (const auto& row : rows) {
        Reset();
        row.before.Create();
        const auto before = raw::Snapshot(View32, Vendor);
        {
            raw::AccessDenial denial(View32, Logging, row.denied);
            ASSERT_TRUE(denial.Applied()) << row.what;
            refusedValue = row.refused;
            ImportHook setHook("RegSetValueExW", reinterpret_cast<void*>(&RefuseSet));
            ImportHook deleteHook("RegDeleteValueW", reinterpret_cast<void*>(&RefuseDelete));
            setValue = setHook.Original();
            deleteValue = deleteHook.Original();
            EXPECT_FALSE(ApplyLogLevel(row.full)) << row.what;
        }
        EXPECT_EQ(row.after ? row.after->Snapshot() : before, raw::Snapshot(View32, Vendor)) << row.what;
    }
}

// Another run, on a thread of its own (the lock is a mutex, re-entrant for its owner). The handle
// outlives the thread, so that ending without releasing abandons the lock.
struct OtherRun {
    enum class Ending { Not, Releases, Abandons };

    ~OtherRun()
    {
        End(Ending::Releases);
        CloseHandle(mutex);
    }
    void End(Ending how)
    {
        ending = how;
        if (how != Ending::Not && thread.joinable()) {
            thread.join();
        }
    }

    HANDLE mutex = CreateMutexW(nullptr, FALSE, RunLock::Name);
    std::atomic<bool> taken{false};
    std::atomic<Ending> ending{Ending::Not};
    std::thread thread{[this] {
        taken = WaitForSingleObject(mutex, wait::Timeout) == WAIT_OBJECT_0;
        wait::Until([this] { return ending != Ending::Not; });
        if (ending == Ending::Releases) {
            ReleaseMutex(mutex);
        }
    }};
};

// Notes when the thread applying a level starts to wait for the lock.
thread_local bool applying = false;
std::atomic<bool> applyWaits{false};
void* waitForObject = nullptr;
DWORD WINAPI NoteApplyWaits(HANDLE handle, DWORD milliseconds)
{
    if (applying) {
        applyWaits = true;
    }
    return reinterpret_cast<decltype(&WaitForSingleObject)>(waitForObject)(handle, milliseconds);
}

TEST_F(LogLevelPolicyTest, WaitsForTheLockAnotherRunHolds)
{
    ImportHook hook("WaitForSingleObject", reinterpret_cast<void*>(&NoteApplyWaits));
    waitForObject = hook.Original();
    using Ending = OtherRun::Ending;
    const struct {
        const char* what;
        Ending before;  // how the other run ends before the apply starts
        Ending during;  // and once the apply waits
        DWORD timeout;
        bool result;
    } rows[] = {
        {"applies once the other run releases the lock", Ending::Not, Ending::Releases, wait::Timeout, true},
        {"fails with nothing changed when its wait runs out", Ending::Not, Ending::Not, 100, false},
        {"takes a lock abandoned by its holder", Ending::Abandons, Ending::Not, 100, true},
    };
    for (const auto& row : rows) {
        Reset();
        applyWaits = false;
        OtherRun other;
        ASSERT_TRUE(wait::Until([&] { return other.taken.load(); })) << row.what;
        other.End(row.before);
        bool result = !row.result;
        std::thread apply([&] {
            applying = true;
            result = ApplyLogLevel(true, row.timeout);
        });
        EXPECT_TRUE(wait::Until([] { return applyWaits.load(); })) << row.what << ": the apply never waited";
        if (row.before == Ending::Not) {
            EXPECT_EQ(std::nullopt, raw::Snapshot(View32, Vendor)) << row.what << ": written under another run";
        }
        other.End(row.during);
        apply.join();
        EXPECT_EQ(row.result, result) << row.what;
        EXPECT_EQ(row.result, raw::Snapshot(View32, Vendor).has_value()) << row.what << ": what the run wrote";
    }
}

TEST_F(LogLevelPolicyTest, FullFailsWhenTheKeyCannotBeCreated)
{
    // A volatile vendor key cannot get a non-volatile child.
    ASSERT_TRUE(raw::CreateKey(View32, Vendor, REG_OPTION_VOLATILE));
    ASSERT_TRUE(raw::SetDword(View32, Vendor, L"Unrelated", 7));
    const auto before = raw::Snapshot(View32, Vendor);
    EXPECT_FALSE(ApplyLogLevel(true));
    EXPECT_EQ(before, raw::Snapshot(View32, Vendor));
}

}  // namespace
