#pragma once

// Brings the product's logging key into the state for full (true) or normal (false) logging.
// Returns false when the decisive write or deletion failed; nothing is rolled back.
bool ApplyLogLevel(bool full);

// True when the stored LogLevel is above 4; a missing or unreadable value reads as normal.
bool IsFullLogging();
