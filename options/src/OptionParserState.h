#pragma once

#include <VxOptions/OptionKind.h>

#include <cstdint>
#include <string>
#include <vector>

namespace VxOptions {

struct OptionEntry {
    std::wstring name;
    // One UTF-16 code unit; 0 means none.
    std::uint16_t shortName = 0;
    OptionKind kind = NoValue;
    bool seen = false;
    std::wstring value;
};

struct OptionParserState {
    std::vector<std::wstring> arguments;
    std::wstring error;
    std::vector<OptionEntry> options;
    bool parsed = false;
};

}  // namespace VxOptions
