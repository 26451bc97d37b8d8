#pragma once

// Whether a window this process shows can be seen by anyone: false in a window station that is
// not visible (a service's) and in session 0, which has had no interactive desktop since Windows
// Vista. What cannot be found out counts as not visible.
bool HasVisibleDesktop();
