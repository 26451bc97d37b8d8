#pragma once

#include <windows.h>

// Orders whole runs of the tool on the machine: silent runs from two deployments, or a deployment
// and an engineer's dialog, each read, decide and write while holding it, so no run sees or leaves
// the other's half-written state. Held from a successful construction to destruction.
class RunLock {
public:
    // In the Global namespace, one for the machine whatever session runs the tool. Any local user
    // can make an object of this name first: runs then wait or are refused and fail with nothing
    // changed, never mixed.
    static const wchar_t Name[];

    // Waits up to `timeout` milliseconds. A lock whose holder ended without releasing it is held
    // all the same: the registry state it left is what the next run decides on.
    explicit RunLock(DWORD timeout);
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    bool Held() const { return held; }

private:
    HANDLE mutex = nullptr;
    bool held = false;
};
