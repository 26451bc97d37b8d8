#pragma once

#include <cstdint>

// Whether an option takes a value.
enum OptionKind : std::int32_t {
    ValueRequired = 0,
    ValueOptional = 1,
    NoValue = 2,
};
