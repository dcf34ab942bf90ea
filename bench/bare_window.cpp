// The yardstick for start-up: the least a Win32 program can be that shows
// one window and waits for input.
#include <windows.h>

namespace {
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wparam, lparam);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = instance;
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    window_class.lpszClassName = "BareWindow";
    if (!::RegisterClassA(&window_class)) return 1;
    HWND window = ::CreateWindowExA(0, "BareWindow", "Bare window", WS_OVERLAPPEDWINDOW, 252, 326, 680, 270, nullptr,
                                    nullptr, instance, nullptr);
    if (!window) return 1;
    ::ShowWindow(window, show);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) ::DispatchMessageA(&message);
    return 0;
}
