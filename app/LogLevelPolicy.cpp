#include "LogLevelPolicy.h"

#include "RunLock.h"

#include <VxRegistry/Win32Registry.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

const wchar_t LoggingKey[] = L"SOFTWARE\\Orvane\\ZKF\\Logging";
const wchar_t LogLevelValue[] = L"LogLevel";
const wchar_t LogMaxSizeValue[] = L"LogMaxSizeKB";
const wchar_t LogRotateCountValue[] = L"LogRotateCount";

constexpr std::uint32_t NormalLevel = 4;
constexpr std::uint32_t FullLevel = 5;
constexpr std::uint32_t NormalMaxSizeKB = 100;
constexpr std::uint32_t FullMaxSizeKB = 5000;

// Long enough for another run's whole apply on a loaded machine, short against a deployment's
// own time-out.
constexpr DWORD LockTimeout = 30000;

// The product's components are 32-bit and read the 32-bit view, whatever this process is.
void UseProductView(Win32Registry& registry)
{
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    registry.SetAccessFlags(KEY_WOW64_32KEY);
}

// Missing, or in a missing key; a value that could not be read is not known to be absent.
bool IsAbsent(Win32Registry& registry, const wchar_t* name)
{
    RegistryError error = RegistryError::None;
    return registry.GetValueType(LoggingKey, name, &error) == REG_NONE && error == RegistryError::NotFound;
}

// Type and data from one query: a REG_NONE holding the same four bytes is not the value.
bool Holds(Win32Registry& registry, const wchar_t* name, std::uint32_t expected)
{
    std::vector<std::uint8_t> data;
    std::uint32_t type = REG_NONE;
    return registry.ReadValue(LoggingKey, name, data, type) && type == REG_DWORD && data.size() == sizeof(expected) &&
           std::memcmp(data.data(), &expected, sizeof(expected)) == 0;
}

bool Write(Win32Registry& registry, bool full)
{
    const std::uint32_t size = full ? FullMaxSizeKB : NormalMaxSizeKB;
    const std::uint32_t level = full ? FullLevel : NormalLevel;
    registry.CreateKey(LoggingKey);
    registry.WriteDword(LoggingKey, LogMaxSizeValue, size);
    return registry.WriteDword(LoggingKey, LogLevelValue, level) && Holds(registry, LogMaxSizeValue, size) &&
           Holds(registry, LogLevelValue, level);
}

bool Remove(Win32Registry& registry)
{
    bool result = true;
    if (registry.KeyExists(LoggingKey)) {
        registry.DeleteValue(LoggingKey, LogMaxSizeValue);
        result = registry.DeleteValue(LoggingKey, LogLevelValue);
        registry.DeleteKey(LoggingKey);
    }
    return result && IsAbsent(registry, LogMaxSizeValue) && IsAbsent(registry, LogLevelValue);
}

}  // namespace

bool ApplyLogLevel(bool full)
{
    return ApplyLogLevel(full, LockTimeout);
}

bool ApplyLogLevel(bool full, DWORD lockTimeout)
{
    const RunLock lock(lockTimeout);
    if (!lock.Held()) {
        return false;
    }
    Win32Registry registry;
    UseProductView(registry);
    if (full) {
        return Write(registry, true);
    }

    // A site that configured rotation keeps explicit normal values; otherwise normal means "no
    // logging settings at all". Only a LogRotateCount known to be absent (a stored REG_NONE
    // counts as absent) may cost the key: one that could not be read decides nothing.
    RegistryError error = RegistryError::None;
    const std::uint32_t rotateType = registry.GetValueType(LoggingKey, LogRotateCountValue, &error);
    if (rotateType != REG_NONE) {
        return Write(registry, false);
    }
    if (error != RegistryError::None && error != RegistryError::NotFound) {
        return false;
    }
    return Remove(registry);
}

bool IsFullLogging()
{
    Win32Registry registry;
    UseProductView(registry);

    std::uint32_t level = 0;
    registry.ReadDword(LoggingKey, LogLevelValue, level);
    return level > NormalLevel;
}
