#pragma once

#include <utility>
#include <vector>

// Points this program's imports of one platform function at a stand-in while the object lives,
// so that a test can watch, or disturb between two calls, what the code under test asks of the
// platform. The code under test is linked into the program, so its calls go through these slots.
class ImportHook {
public:
    ImportHook(const char* function, void* standIn);
    ~ImportHook();
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    // The function the slots held before; null when the program imports no such function.
    void* Original() const { return original; }

private:
    std::vector<std::pair<void**, void*>> patched;
    void* original = nullptr;
};
