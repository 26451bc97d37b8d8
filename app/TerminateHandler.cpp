#include <windows.h>

#include <exception>

// libstdc++'s default terminate handler writes the exception's demangled type to standard error,
// which this GUI program does not have, and then aborts; it alone links the demangler and the
// printf family (about 70 KB). Defined here, it takes the library's place: a run that has to
// terminate ends at once, silently, with the failure exit code.
namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    TerminateProcess(GetCurrentProcess(), 1);
}

}  // namespace __gnu_cxx
