#include "SubclassChain.h"

namespace VxUI {

namespace {

template <typename Function>
void Find(HMODULE module, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

const SubclassChain& SubclassChain::Get()
{
    static const SubclassChain chain = [] {
        SubclassChain found;
        // From the system folder only, whatever search order the program set: a comctl32.dll planted
        // beside it must not be loaded. Windows 7 without KB2533623 knows no such flag.
        HMODULE module = LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
            module = LoadLibraryW(L"comctl32.dll");
        }
        if (module != nullptr) {
            Find(module, "SetWindowSubclass", found.set);
            Find(module, "GetWindowSubclass", found.get);
            Find(module, "RemoveWindowSubclass", found.remove);
            Find(module, "DefSubclassProc", found.next);
        }
        if (found.set == nullptr || found.get == nullptr || found.remove == nullptr ||
            found.next == nullptr) {
            return SubclassChain{};
        }
        return found;
    }();
    return chain;
}

}  // namespace VxUI
