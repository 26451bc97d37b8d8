#include "LogLevelPolicy.h"

#include <VxRegistry/Win32Registry.h>

#include <cstdint>

namespace {

const wchar_t LoggingKey[] = L"SOFTWARE\\Orvane\\ZKF\\Logging";
const wchar_t LogLevelValue[] = L"LogLevel";
const wchar_t LogMaxSizeValue[] = L"LogMaxSizeKB";
const wchar_t LogRotateCountValue[] = L"LogRotateCount";

constexpr std::uint32_t NormalLevel = 4;
constexpr std::uint32_t FullLevel = 5;
constexpr std::uint32_t NormalMaxSizeKB = 100;
constexpr std::uint32_t FullMaxSizeKB = 5000;

// The product's components are 32-bit and read the 32-bit view, whatever this process is.
void UseProductView(Win32Registry& registry)
{
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    registry.SetAccessFlags(KEY_WOW64_32KEY);
}

}  // namespace

bool ApplyLogLevel(bool full)
{
    Win32Registry registry;
    UseProductView(registry);

    // A site that configured rotation keeps explicit normal values; otherwise normal means "no
    // logging settings at all".
    const bool write = full || registry.GetValueType(LoggingKey, LogRotateCountValue) != REG_NONE;
    if (write) {
        registry.CreateKey(LoggingKey);
        registry.WriteDword(LoggingKey, LogMaxSizeValue, full ? FullMaxSizeKB : NormalMaxSizeKB);
        return registry.WriteDword(LoggingKey, LogLevelValue, full ? FullLevel : NormalLevel);
    }

    if (!registry.KeyExists(LoggingKey)) {
        return true;
    }
    registry.DeleteValue(LoggingKey, LogMaxSizeValue);
    const bool result = registry.DeleteValue(LoggingKey, LogLevelValue);
    registry.DeleteKey(LoggingKey);
    return result;
}

bool IsFullLogging()
{
    Win32Registry registry;
    UseProductView(registry);

    std::uint32_t level = 0;
    registry.ReadDword(LoggingKey, LogLevelValue, level);
    return level > NormalLevel;
}
