// The start-up and the C++ runtime pieces the exe provides itself, so that
// neither MinGW's start-up code nor the library's exception-throwing
// versions, and with them the whole exception runtime, come into the
// program (it is built without exceptions).
//
// Memory comes from the system's C library. When it runs out, nothing can
// be done sensibly: the program says so and ends. The string code's other
// hooks mark programming errors and end the program plainly.
#include <windows.h>

#include <cstddef>
#include <cstdlib>

namespace {

[[noreturn]] void OutOfMemory() {
    ::MessageBoxA(nullptr, "Morvel Vantrel ran out of memory and has to close.", "Morvel Vantrel",
                  MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ::ExitProcess(3);
}

void* Allocate(std::size_t size) {
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    OutOfMemory();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

// Called by the standard headers where they would throw.
namespace std {
void __throw_bad_alloc() { OutOfMemory(); }
void __throw_bad_array_new_length() { OutOfMemory(); }
void __throw_length_error(const char*) { OutOfMemory(); }  // a string longer than memory can hold
void __throw_logic_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
}  // namespace std

// The entry point. The system's C library (msvcrt.dll) sets itself up when
// it is loaded, and the program has no threads and takes no command line, so
// MinGW's start-up code would only add weight: this builds the static
// objects, passes WinMain what MinGW's would and ends the process with
// WinMain's result. A static object with a destructor does not link (there
// is no atexit here); ending the process frees everything anyway.
extern "C" void __set_app_type(int);
extern "C" void (*__CTOR_LIST__[])();  // the linker's list: -1, the constructors, 0

extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup() {
    __set_app_type(2);  // a window program: the C library reports its failures in a message box
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
