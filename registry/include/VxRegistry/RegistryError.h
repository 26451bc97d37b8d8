#pragma once

#include <cstdint>

// The registry layer's one result code. Code 4 is never produced.
enum class RegistryError : std::uint32_t {
    None = 0,
    NotFound = 1,
    WrongType = 2,
    Failed = 3,
    AccessDenied = 5,
    InvalidArgument = 6,
};
