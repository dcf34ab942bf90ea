// The main window, Vantrel_GUI, on the plain Win32 API (ANSI entry points,
// so the same exe runs on Windows 98 and on NT). One window procedure hands
// each message it handles to one small On... handler; the commands behind
// the five clickable controls are the only way into the engine.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "engine/Vantrel.h"
#include "engine/Vantrel_Keys.h"
#include "gui/Vantrel_ids.h"
#include "gui/window_logic.h"
#include "platform/platform.h"

namespace Vantrel_GUI {
namespace {

const char kClassName[] = "Vantrel_GUI";
const wchar_t kCaption[] = L"Morvel Vantrel";

HINSTANCE g_instance = nullptr;
HWND g_window = nullptr;
WNDPROC g_static_proc = nullptr;  // the system's own procedure for statics
HWND g_focus = nullptr;           // the control to give the focus back to on reactivation
int g_dpi = 0;                    // the layout's scale, fixed before the window is made
KeyRules g_keys;

std::string Ansi(const std::wstring& text) { return sys::ToAnsi(text); }

HWND Control(HWND window, int id) { return ::GetDlgItem(window, id); }

// --- The report box -----------------------------------------------------
// Its text goes through the box's own messages, which is all that
// GetWindowText and SetWindowText would do for it.

int TextLength(HWND box) { return static_cast<int>(::SendMessageA(box, WM_GETTEXTLENGTH, 0, 0)); }

std::wstring ReadOutput(HWND window) {
    HWND output = Control(window, IDC_OUTPUT);
    const int length = TextLength(output);
    if (length <= 0) return std::wstring();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int read = static_cast<int>(
        ::SendMessageA(output, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(&text[0])));
    text.resize(static_cast<std::size_t>(read > 0 ? read : 0));
    return sys::FromAnsi(text);
}

void WriteOutput(HWND window, const std::wstring& text) {
    ::SendMessageA(Control(window, IDC_OUTPUT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Ansi(text).c_str()));
}

// What Ctrl+End does in the report box, done by the box itself: the caret
// after the last character and the end of the report in view. Nothing goes
// through the system's input, so no other program in front receives it and
// no key held down (Shift) turns it into a selection.
void ShowEndOfReport(HWND window) {
    HWND output = Control(window, IDC_OUTPUT);
    // A length in bytes is never less than in characters: the box stops at its end.
    const WPARAM end = static_cast<WPARAM>(TextLength(output));
    ::SendMessageA(output, EM_SETSEL, end, static_cast<LPARAM>(end));
    ::SendMessageA(output, EM_SCROLLCARET, 0, 0);
}

// --- Saving ---------------------------------------------------------------

std::wstring SystemMessage(DWORD error) {
    char* text = nullptr;
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length && text ? std::string(text, length) : std::string();
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
        message.pop_back();
    }
    if (message.empty()) message = "Error " + std::to_string(error) + ".";
    return sys::FromAnsi(message);
}

// Creates or replaces the file and writes it whole; 0 or the error. A file
// that could not be written whole is removed rather than left half done.
DWORD WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ::GetLastError();
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    DWORD error = ok && written == bytes.size() ? 0 : ::GetLastError();
    if (!ok && error == 0) error = ERROR_WRITE_FAULT;
    if (ok && written != bytes.size()) error = ERROR_HANDLE_DISK_FULL;
    if (!::CloseHandle(file) && error == 0) error = ::GetLastError();
    if (error != 0) ::DeleteFileA(path.c_str());
    return error;
}

// The whole path the system makes of a drive-relative one at this moment,
// from the current directory of its drive: the drive, every folder and the
// name. Where the system cannot say, the path as it is.
std::wstring WholePath(const std::wstring& path) {
    char whole[MAX_PATH];
    const DWORD length = ::GetFullPathNameA(Ansi(path).c_str(), MAX_PATH, whole, nullptr);
    if (length == 0 || length >= MAX_PATH) return path;  // none, or longer than a Windows 95 path can be
    return sys::FromAnsi(std::string(whole, length));
}

// Starts Notepad without waiting for it; 0 or the error. The system's own
// Notepad: the Windows folder's, else the System folder's (a trimmed
// system; a Terminal Server, which gives an older program a Windows folder
// of the user's own), never one from the current folder or a search path.
DWORD StartNotepad(const std::wstring& command_line) {
    DWORD error = ERROR_FILE_NOT_FOUND;
    for (UINT(WINAPI * folder_of)(LPSTR, UINT) : {::GetWindowsDirectoryA, ::GetSystemDirectoryA}) {
        char folder[MAX_PATH + 1] = {};
        const UINT length = folder_of(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) continue;
        const std::string program = Ansi(NotepadProgram(sys::FromAnsi(folder)));
        std::string command = Ansi(command_line);  // CreateProcess may write into it
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION process = {};
        if (::CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process)) {
            ::CloseHandle(process.hThread);
            ::CloseHandle(process.hProcess);
            return 0;
        }
        error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return error;
    }
    return error;
}

void ShowFailure(HWND window, const std::wstring& message) {
    ::MessageBoxA(window, Ansi(message).c_str(), Ansi(kCaption).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

// --- Commands ------------------------------------------------------------

void CleanCommand(HWND window, const wchar_t* product_code) {
    if (::MessageBoxA(window, "Are you sure?", Ansi(kCaption).c_str(), MB_OKCANCEL) != IDOK) return;
    WriteOutput(window, Vantrel_Keys::CleanProduct(product_code, Vantrel::GetOSName()));
    ::SetFocus(Control(window, IDC_OUTPUT));
    ShowEndOfReport(window);
}

void ClearCommand(HWND window) { WriteOutput(window, std::wstring()); }

void SaveCommand(HWND window) {
    if (ReadOutput(window).empty()) return;
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    const std::wstring name = LogFileName({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
    const std::wstring path = LogFilePath(name);
    // The folder as the system finds it for this very path, just before it
    // writes there.
    const std::wstring shown = WholePath(path);
    if (DWORD error = WriteWholeFile(Ansi(path), LogFileBytes(ReadOutput(window)))) {
        ShowFailure(window, SaveFailedMessage(shown, SystemMessage(error)));
        return;
    }
    if (DWORD error = StartNotepad(NotepadCommandLine(name))) {
        ShowFailure(window, NotepadFailedMessage(shown, SystemMessage(error)));
    }
}

// --- Window ----------------------------------------------------------------

int Px(int twips) { return TwipsToPixels(twips, g_dpi); }

// Windows reports the same scale across and down for a display.
int DisplayDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

// A fixed single border: a caption with its close box, no sizing frame,
// no minimise or maximise box.
const DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

// The whole window around a client area of the given size, relative to the
// client area's corner.
RECT WindowFrame(int width, int height) {
    RECT frame = {0, 0, width, height};
    ::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    return frame;
}
RECT WindowFrame() { return WindowFrame(Px(kClientWidthTwips), Px(kClientHeightTwips)); }

// A picture button is clicked like a push button: pressed and released over
// it. The system's static reports a click as soon as the mouse goes down, so
// the press and the release are taken here and the click is sent on release.
LRESULT CALLBACK PictureButtonProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        ::SetCapture(control);
        return 0;
    case WM_LBUTTONDBLCLK:  // the second press of a double click: the first one has clicked already
        return 0;
    case WM_LBUTTONUP:
        if (::GetCapture() == control) {
            ::ReleaseCapture();
            RECT area;
            ::GetClientRect(control, &area);
            const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (::PtInRect(&area, at)) {
                ::SendMessageA(::GetParent(control), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), STN_CLICKED),
                               reinterpret_cast<LPARAM>(control));
            }
        }
        return 0;
    default:
        return ::CallWindowProcA(g_static_proc, control, message, wParam, lParam);
    }
}

HWND CreateControl(HWND window, const ControlRow& row, HFONT font) {
    const char* window_class = "BUTTON";
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    DWORD ex_style = 0;
    HANDLE picture = nullptr;
    switch (row.kind) {
    case ControlKind::CommandButton:
        style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
    case ControlKind::ReportBox:
        // No horizontal scrolling, so long lines wrap at the box's width.
        window_class = "EDIT";
        style |= WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
        ex_style = WS_EX_CLIENTEDGE;
        break;
    case ControlKind::PictureButton:
    case ControlKind::Picture:
        // A static never takes the focus; SS_NOTIFY makes it report clicks.
        window_class = "STATIC";
        style |= SS_BITMAP | (row.kind == ControlKind::PictureButton ? SS_NOTIFY : 0);
        picture = ::LoadImageA(g_instance, MAKEINTRESOURCEA(row.bitmap), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
        break;
    }
    HWND control = ::CreateWindowExA(ex_style, window_class, Ansi(row.caption).c_str(), style, Px(row.left),
                                     Px(row.top), Px(row.width), Px(row.height), window,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), g_instance, nullptr);
    if (!control) return nullptr;
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // A picture keeps its natural size whatever the scale; the static
    // sizes itself to the bitmap it is given.
    if (picture) ::SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
    if (row.kind == ControlKind::ReportBox) ::SendMessageA(control, EM_LIMITTEXT, 0, 0);
    if (row.kind == ControlKind::PictureButton) {
        g_static_proc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PictureButtonProc)));
    }
    return control;
}

BOOL OnCreate(HWND window, LPCREATESTRUCT) {
    HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    for (const ControlRow& row : kControls) {
        if (!CreateControl(window, row, font)) return FALSE;
    }
    g_focus = Control(window, IDC_NX6);
    return TRUE;
}

void OnCommand(HWND window, int id, HWND, UINT code) {
    switch (id) {
    case IDC_NX6:
        if (code == BN_CLICKED) CleanCommand(window, L"NX6");
        break;
    case IDC_NX7:
        if (code == BN_CLICKED) CleanCommand(window, L"NX7");
        break;
    case IDC_EXIT:
        if (code == BN_CLICKED) ::DestroyWindow(window);
        break;
    case IDC_REPORT:
        if (code == STN_CLICKED) SaveCommand(window);
        break;
    case IDC_REP_CLEAR:
        if (code == STN_CLICKED) ClearCommand(window);
        break;
    default:
        break;
    }
}

// The focus goes back to the control that had it when the window is
// activated again (after the confirmation box, or switching back to it).
// Keys held while it was away are not its own.
void OnActivate(HWND window, UINT state, HWND, BOOL minimized) {
    if (state == WA_INACTIVE) {
        g_keys.Forget();
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(window, focus)) g_focus = focus;
    } else if (!minimized && g_focus) {
        ::SetFocus(g_focus);
    }
}

// The system keeps a window within the screen plus its frame; on a small
// screen that would cut off part of the fixed client area.
void OnGetMinMaxInfo(HWND, LPMINMAXINFO limits) {
    const RECT frame = WindowFrame();
    limits->ptMaxTrackSize.x = std::max<LONG>(limits->ptMaxTrackSize.x, frame.right - frame.left);
    limits->ptMaxTrackSize.y = std::max<LONG>(limits->ptMaxTrackSize.y, frame.bottom - frame.top);
}

void OnDestroy(HWND) {
    g_window = nullptr;
    ::PostQuitMessage(0);
}

// HANDLE_MSG expects the parameters to be called wParam and lParam.
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        HANDLE_MSG(window, WM_CREATE, OnCreate);
        HANDLE_MSG(window, WM_COMMAND, OnCommand);
        HANDLE_MSG(window, WM_ACTIVATE, OnActivate);
        HANDLE_MSG(window, WM_GETMINMAXINFO, OnGetMinMaxInfo);
        HANDLE_MSG(window, WM_DESTROY, OnDestroy);
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

FocusKind KindOf(HWND focus) {
    switch (::GetDlgCtrlID(focus)) {
    case IDC_NX6:
    case IDC_NX7:
    case IDC_EXIT:
        return FocusKind::CommandButton;
    case IDC_OUTPUT:
        return FocusKind::ReportBox;
    default:
        return FocusKind::Other;
    }
}

// The window's own keyboard rules, applied before a key reaches a control.
// The dialog manager is not used: it would keep Tab inside the multi-line
// report box, turn Esc there into closing the window, and click a button on
// every key-down of Enter, repeats included.
bool HandleKey(const MSG& message) {
    HWND window = g_window;
    if ((message.message != WM_KEYDOWN && message.message != WM_KEYUP) || !window) return false;
    if (message.hwnd != window && !::IsChild(window, message.hwnd)) return false;
    HWND focus = ::GetFocus();
    const bool down = message.message == WM_KEYDOWN;
    const bool repeat = down && (message.lParam & (1L << 30)) != 0;  // the key was down already
    const bool shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
    const KeyAction action = g_keys.Route({static_cast<unsigned>(message.wParam), down, repeat, shift, KindOf(focus)});
    switch (action) {
    case KeyAction::Default:
        return false;
    case KeyAction::FocusNext:
    case KeyAction::FocusPrevious: {
        HWND from = focus && ::IsChild(window, focus) ? focus : nullptr;
        if (HWND next = ::GetNextDlgTabItem(window, from, action == KeyAction::FocusPrevious)) ::SetFocus(next);
        ::SendMessageA(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        return true;
    }
    case KeyAction::PressFocused:
    case KeyAction::ReleaseFocused:  // a push button clicks as Space comes up, if Space took it down
        ::SendMessageA(focus, action == KeyAction::PressFocused ? WM_KEYDOWN : WM_KEYUP, VK_SPACE, 0);
        return true;
    case KeyAction::Swallow:
        return true;
    }
    return false;
}

bool CreateMainWindow(int show) {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = g_instance;
    window_class.hIcon = ::LoadIconA(g_instance, MAKEINTRESOURCEA(IDI_VANTREL));
    window_class.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_CAPTIONTEXT + 1));
    window_class.lpszClassName = kClassName;
    if (!::RegisterClassA(&window_class)) return false;

    // The client area's corner stands at the given place, the frame around
    // it, unless that would leave part of the window off the work area (the
    // screen less the task bar). On Large Fonts the layout grows with the
    // display's scale only as far as the whole window fits there.
    RECT work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const RECT edges = WindowFrame(0, 0);
    g_dpi = LayoutDpi(DisplayDpi(), edges.right - edges.left, edges.bottom - edges.top, work.right - work.left,
                      work.bottom - work.top);
    const RECT frame = WindowFrame();
    const int left = Px(kClientLeftTwips) + frame.left;
    const int top = Px(kClientTopTwips) + frame.top;
    const ScreenRect place =
        PlaceInWorkArea({left, top, left + frame.right - frame.left, top + frame.bottom - frame.top},
                        {work.left, work.top, work.right, work.bottom});
    HWND window =
        ::CreateWindowExA(0, kClassName, Ansi(kCaption).c_str(), kWindowStyle, place.left, place.top,
                          place.right - place.left, place.bottom - place.top, nullptr, nullptr, g_instance, nullptr);
    if (!window) return false;
    g_window = window;
    // The layout is fixed: a launcher asking for a maximised window gets the
    // window at its own size and place.
    ::ShowWindow(window, show);
    if (::IsZoomed(window)) ::ShowWindow(window, SW_RESTORE);
    ::UpdateWindow(window);
    ::SetFocus(Control(window, IDC_NX6));
    return true;
}

}  // namespace
}  // namespace Vantrel_GUI

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    Vantrel_GUI::g_instance = instance;
    if (!Vantrel_GUI::CreateMainWindow(show)) {
        ::MessageBoxA(nullptr, "The window could not be created.", "Morvel Vantrel", MB_OK | MB_ICONERROR);
        return 1;
    }
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (Vantrel_GUI::HandleKey(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
