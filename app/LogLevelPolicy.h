#pragma once

#include <windows.h>

// Brings the product's logging key into the state for full (true) or normal (false) logging,
// holding the machine-wide RunLock throughout. Returns true only when the key was read back in
// that state; false when the lock could not be had within 30 s, when LogRotateCount could not be
// read, or when a write or deletion left the key otherwise. Nothing is rolled back.
bool ApplyLogLevel(bool full);
// The same with the lock's wait given in milliseconds.
bool ApplyLogLevel(bool full, DWORD lockTimeout);

// True when the stored LogLevel is above 4; a missing or unreadable value reads as normal.
bool IsFullLogging();
