#pragma once

#include <VxRegistry/RegistryError.h>

#include <gtest/gtest.h>

#include <utility>

// Runs one registry operation with a sentinel in the caller's error variable and checks that the
// variable and the object's last-error field received the same code.
template <typename Result, typename Registry, typename Operation>
std::pair<Result, RegistryError> CallChecked(Registry& registry, Operation operation)
{
    RegistryError error = static_cast<RegistryError>(0xDEADu);
    const Result result = operation(&error);
    EXPECT_EQ(registry.GetLastErrorCode(), error) << "last-error field and caller's code differ";
    return {result, error};
}
