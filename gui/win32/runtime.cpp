// The start-up and the C++ runtime pieces the exe provides itself. The exe
// links no C runtime at all: the first Windows 95 has no msvcrt.dll, and
// MinGW's prebuilt libraries are compiled for the Pentium Pro. Memory comes
// from the process heap; the string routines the compiler calls are in
// freestanding.cpp.
//
// When memory runs out nothing can be done sensibly: the program says so
// and ends. The string code's other hooks mark programming errors and end
// the program the same way.
#include <windows.h>

#include <cstddef>

namespace {

[[noreturn]] void Fatal(const char* message) {
    ::MessageBoxA(nullptr, message, "Morvel Vantrel", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ::ExitProcess(3);
}

[[noreturn]] void OutOfMemory() { Fatal("Morvel Vantrel ran out of memory and has to close."); }

[[noreturn]] void InternalError() { Fatal("Morvel Vantrel met an internal error and has to close."); }

void* Allocate(std::size_t size) {
    if (void* memory = ::HeapAlloc(::GetProcessHeap(), 0, size ? size : 1)) return memory;
    OutOfMemory();
}

// Freeing nothing is allowed, as with free().
void Release(void* memory) {
    if (memory) ::HeapFree(::GetProcessHeap(), 0, memory);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* memory) noexcept { Release(memory); }
void operator delete[](void* memory) noexcept { Release(memory); }
void operator delete(void* memory, std::size_t) noexcept { Release(memory); }
void operator delete[](void* memory, std::size_t) noexcept { Release(memory); }

// Called by the standard headers where they would throw.
namespace std {
void __throw_bad_alloc() { OutOfMemory(); }
void __throw_bad_array_new_length() { OutOfMemory(); }
void __throw_length_error(const char*) { OutOfMemory(); }  // a string longer than memory can hold
void __throw_logic_error(const char*) { InternalError(); }
void __throw_out_of_range(const char*) { InternalError(); }
void __throw_out_of_range_fmt(const char*, ...) { InternalError(); }
}  // namespace std

// The entry point. The program has no threads and takes no command line,
// so MinGW's start-up code would only add weight: this builds the static
// objects, passes WinMain what MinGW's would and ends the process with
// WinMain's result. A static object with a destructor does not link (there
// is no atexit here); ending the process frees everything anyway.
extern "C" void (*__CTOR_LIST__[])();  // the linker's list: -1, the constructors, 0

extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup() {
    // The static constructors, last to first as MinGW's start-up runs them:
    // there are none today, but a global object added later must be built.
    std::size_t constructors = 0;
    while (__CTOR_LIST__[constructors + 1]) ++constructors;
    while (constructors) __CTOR_LIST__[constructors--]();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    ::GetStartupInfoA(&startup);
    const int show = startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : SW_SHOWDEFAULT;
    char no_arguments[] = "";
    ::ExitProcess(static_cast<UINT>(::WinMain(::GetModuleHandleA(nullptr), nullptr, no_arguments, show)));
}
