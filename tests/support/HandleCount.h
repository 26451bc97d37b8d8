#pragma once

// Number of handles this process holds, as the kernel's handle table lists them; -1 when the
// platform cannot tell.
int OpenHandleCount();
