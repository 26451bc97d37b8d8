#pragma once

// Whether a dialog this process shows can be seen by anyone: not in a window station that is not
// visible (a service's), not in session 0, which has had no interactive desktop since Windows
// Vista, and not when whoever started the process asked for its first window to be hidden. What
// cannot be found out counts as not visible.
bool DialogCanBeSeen();
