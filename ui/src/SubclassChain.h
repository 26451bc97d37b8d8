#pragma once

#include <windows.h>

#include <commctrl.h>

namespace VxUI {

// The subclass chain of comctl32, which is loaded on first use and not imported: an import would
// load it at start-up, and with it the DLLs it loads while it initialises, before wWinMain can
// keep DLL loading to the system folder. The module stays loaded for the process.
struct SubclassChain {
    decltype(&SetWindowSubclass) set = nullptr;
    decltype(&GetWindowSubclass) get = nullptr;
    decltype(&RemoveWindowSubclass) remove = nullptr;
    decltype(&DefSubclassProc) next = nullptr;

    // Loads the module on the first call; every function is null when it or one of them is missing.
    static const SubclassChain& Get();
};

}  // namespace VxUI
