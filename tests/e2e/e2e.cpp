// End-to-end tests of the shipped exe under Wine: start the real program,
// drive it with real input (SendInput), read its windows through Win32 and
// the registry directly, and compare whole results.
//   e2e.exe CASE    runs one case; the exit code is the number of failures
#include <windows.h>
// after windows.h, which it needs
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/Vantrel_ids.h"
#include "tests/support/plans.h"

namespace {

int g_failures = 0;
struct Abort {};  // a wait that timed out ends the case

void Fail(int line, const std::string& what) { std::printf("e2e.cpp:%d: %s\n", line, what.c_str()), ++g_failures; }

std::string Show(const std::string& text) { return "\"" + text + "\""; }
std::string Pair(long x, long y) { return std::to_string(x) + "," + std::to_string(y); }
template <typename T>
std::string Show(T value) {
    return std::to_string((long long)value);
}
template <typename A, typename B>
void CheckEq(int line, const char* what, const A& want, const B& got) {
    if (!(want == got)) Fail(line, std::string(what) + "\n  want " + Show(want) + "\n  got  " + Show(got));
}
void Wait(int line, const char* what, const std::function<bool()>& ready) {
    for (const DWORD start = GetTickCount(); !ready(); Sleep(50))
        if (GetTickCount() - start > 30000) Fail(line, std::string("timed out waiting for ") + what), throw Abort();
}
#define CHECK(cond) ((cond) ? void() : Fail(__LINE__, "failed: " #cond))
#define CHECK_EQ(want, got) CheckEq(__LINE__, #got, (want), (got))
#define WAIT(cond) Wait(__LINE__, #cond, [&] { return bool(cond); })

const plans::Oracle& Oracle() { return plans::TheOracle(); }
const plans::Plan& Find(const std::string& code, const std::string& family) {
    for (const plans::Plan& plan : Oracle().plans)
        if (plan.code == code && plan.family == family) return plan;
    throw std::runtime_error("no plan " + code + " " + family);
}

std::string Report(const plans::Plan& plan, bool ok) {
    std::string report;
    for (const plans::Step& step : plan.steps)
        if (!step.label.empty())
            report += (ok ? "++ " : "!! ") + step.label + (ok ? "" : " - Failed to delete the (sub) key!") + "\r\n";
    return report;
}

// --- The registry ------------------------------------------------------------

std::string Lower(std::string text) { return CharLowerBuffA(&text[0], DWORD(text.size())), text; }
std::string KeyOf(const plans::Step& step) { return step.value ? step.path : step.path + "\\" + step.name; }

// Every key ("path") and value ("path|name=type:data") below HKLM, names
// without regard to case, as the registry compares them.
using Snapshot = std::set<std::string>;

void Walk(HKEY key, const std::string& path, Snapshot& out) {
    out.insert(Lower(path));
    char name[16384];
    std::string data(1 << 16, '\0');
    for (DWORD i = 0, size, type, length = sizeof name;; ++i, length = sizeof name) {
        size = DWORD(data.size());
        const LONG rc = RegEnumValueA(key, i, name, &length, nullptr, &type, (BYTE*)&data[0], &size);
        if (rc == ERROR_MORE_DATA)
            data.resize(size), --i;
        else if (rc != ERROR_SUCCESS)
            break;  // Perflib\009 never says "no more": stop at any error
        // Wine's display driver rewrites DriverDateData whenever a desktop starts.
        else if (std::strcmp(name, "DriverDateData") != 0)
            out.insert(Lower(path) + "|" + Lower(name) + "=" + std::to_string(type) + ":" + data.substr(0, size));
    }
    HKEY sub = nullptr;
    for (DWORD i = 0, length = sizeof name; !RegEnumKeyExA(key, i, name, &length, 0, 0, 0, 0);
         length = sizeof name, ++i) {
        const std::string child = path.empty() ? name : path + "\\" + name;
        if (Lower(child) == "system\\currentcontrolset") continue;  // Wine's link to ControlSet001
        if (!RegOpenKeyExA(key, name, 0, KEY_READ, &sub)) Walk(sub, child, out), RegCloseKey(sub);
    }
}

Snapshot Registry() {
    Snapshot all;
    return Walk(HKEY_LOCAL_MACHINE, "", all), all;
}

// The snapshot less what the steps delete: keys with all below them, values.
Snapshot Without(Snapshot all, const std::vector<plans::Step>& steps) {
    for (const plans::Step& step : steps) {
        const std::string key = Lower(KeyOf(step)), value = key + "|" + Lower(step.name) + "=";
        for (auto it = all.begin(); it != all.end();) {
            const bool below = *it == key || it->rfind(key + "\\", 0) == 0 || it->rfind(key + "|", 0) == 0;
            it = (step.value ? it->rfind(value, 0) == 0 : below) ? all.erase(it) : std::next(it);
        }
    }
    return all;
}

void CheckRegistry(int line, const Snapshot& want, const Snapshot& got) {
    if (want == got) return;
    Fail(line, "the registry differs");
    for (const std::string& entry : want)
        if (!got.count(entry)) std::printf("  missing %s\n", entry.substr(0, entry.find('=')).c_str());
    for (const std::string& entry : got)
        if (!want.count(entry)) std::printf("  extra   %s\n", entry.substr(0, entry.find('=')).c_str());
}

void Install(const std::vector<plans::Step>& steps) {
    HKEY key = nullptr;
    for (const plans::Step& step : steps) {
        CHECK_EQ(0L, RegCreateKeyA(HKEY_LOCAL_MACHINE, KeyOf(step).c_str(), &key));
        if (step.value) RegSetValueExA(key, step.name.c_str(), 0, REG_SZ, (const BYTE*)"1", 2);
        RegCloseKey(key);
    }
}

// The Windows version the tool is told; this program keeps the prefix's own.
void RunAs(const std::string& version) {
    HKEY key = nullptr;
    RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Morvel_Vantrel_Only6+7.exe", &key);
    RegSetValueExA(key, "Version", 0, REG_SZ, (const BYTE*)version.c_str(), DWORD(version.size() + 1));
    RegCloseKey(key);
}

// --- Input, windows and files ------------------------------------------------

void Key(WORD vk, DWORD flags = 0, WORD unicode = 0) {
    INPUT in = {INPUT_KEYBOARD, {}};
    in.ki.wVk = vk, in.ki.wScan = unicode, in.ki.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}
void Press(WORD vk) { Key(vk), Key(vk, KEYEVENTF_KEYUP); }
void Type(const std::wstring& text) {
    for (wchar_t c : text) Key(0, KEYEVENTF_UNICODE, c), Key(0, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP, c);
}
void Mouse(POINT at, DWORD button) {
    INPUT in = {INPUT_MOUSE, {}};
    in.mi.dx = at.x * 65536 / GetSystemMetrics(SM_CXSCREEN) + 1;
    in.mi.dy = at.y * 65536 / GetSystemMetrics(SM_CYSCREEN) + 1;
    in.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | button;
    SendInput(1, &in, sizeof in);
}
void Click(POINT at, int times = 1) {
    while (times--) Mouse(at, MOUSEEVENTF_LEFTDOWN), Mouse(at, MOUSEEVENTF_LEFTUP);
}

RECT Rect(HWND window) {
    RECT r = {};
    return GetWindowRect(window, &r), r;
}
bool Same(RECT a, RECT b) { return EqualRect(&a, &b); }
void Click(HWND window, int times = 1) {
    const RECT r = Rect(window);
    Click(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, times);
}
std::string Text(HWND window) {
    std::string text(size_t(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    return text.resize(size_t(SendMessageA(window, WM_GETTEXT, text.size(), (LPARAM)&text[0]))), text;
}
HWND Box() { return FindWindowA("#32770", "Morvel Vantrel"); }
std::string BoxText(HWND box) { return Text(GetDlgItem(box, 0xFFFF)); }

int Processes(const char* exe) {
    int count = 0;
    HANDLE all = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {sizeof entry, 0, 0, 0, 0, 0, 0, 0, 0, {}};
    for (BOOL more = Process32First(all, &entry); more; more = Process32Next(all, &entry))
        count += lstrcmpiA(entry.szExeFile, exe) == 0;
    return CloseHandle(all), count;
}

std::vector<std::string> Logs() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("C:\\Vantrel *.log", &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    return FindClose(search), names;
}

// The log names of `seconds` seconds from `from` on.
std::vector<std::string> LogNames(SYSTEMTIME from, int seconds) {
    std::vector<std::string> names;
    ULARGE_INTEGER t;
    SystemTimeToFileTime(&from, reinterpret_cast<FILETIME*>(&t));
    for (char name[64]; seconds--; t.QuadPart += 10000000, names.push_back(name)) {
        FileTimeToSystemTime(reinterpret_cast<FILETIME*>(&t), &from);
        std::snprintf(name, sizeof name, "Vantrel %02d-%02d-%02d %02d-%02d-%02d.log", from.wDay, from.wMonth,
                      from.wYear % 100, from.wHour, from.wMinute, from.wSecond);
    }
    return names;
}

std::string ReadFile(const std::string& path) {
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    for (int c; file && (c = std::fgetc(file)) != EOF;) bytes += char(c);
    if (file) std::fclose(file);
    return bytes;
}

PROCESS_INFORMATION Start(const char* program, std::string command, WORD show = SW_SHOWNORMAL) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup, startup.dwFlags = STARTF_USESHOWWINDOW, startup.wShowWindow = show;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, &command[0], 0, 0, FALSE, 0, 0, "C:\\", &startup, &process)) Fail(__LINE__, command);
    return process;
}

// --- The tool ------------------------------------------------------------------

struct App {
    PROCESS_INFORMATION process;
    HWND window = nullptr;

    explicit App(WORD show = SW_SHOWNORMAL) : process(Start(VANTREL_EXE, "\"" VANTREL_EXE "\"", show)) {
        WAIT((window = FindWindowA("Vantrel_GUI", "Morvel Vantrel")) && Focus() == Item(IDC_NX6));
    }
    ~App() {
        if (!Ended()) TerminateProcess(process.hProcess, 1), WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hThread), CloseHandle(process.hProcess);
    }
    HWND Item(int id) const { return GetDlgItem(window, id); }
    HWND Focus() const {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(process.dwThreadId, &info), info.hwndFocus;
    }
    std::string Report() const { return Text(Item(IDC_OUTPUT)); }
    LRESULT Caret() const { return SendMessageA(Item(IDC_OUTPUT), EM_GETSEL, 0, 0); }  // start | end << 16
    bool Ended() const { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }
};

HWND Confirmation() {
    HWND box = nullptr;
    WAIT(box = Box());
    CHECK_EQ(std::string("Are you sure?|OK|Cancel"),
             BoxText(box) + "|" + Text(GetDlgItem(box, IDOK)) + "|" + Text(GetDlgItem(box, IDCANCEL)));
    return box;
}
void Answer(int button) {
    Click(GetDlgItem(Confirmation(), button));
    WAIT(!Box());
}

// --- Cases ---------------------------------------------------------------------

// Both products on each version of a family, among look-alikes and the other
// generation's entries outside the vendor key: the report, the caret at its
// end, and the whole registry afterwards.
void Plans(const std::vector<std::string>& versions, const std::string& family) {
    for (const std::string& version : versions) {
        RunAs(version);
        for (const std::string code : {"NX6", "NX7"}) {
            const plans::Plan& plan = Find(code, family);
            Install(plan.steps), Install(Oracle().neighbours);
            for (const plans::Step& step : Find(code == "NX6" ? "NX7" : "NX6", family).steps)
                if (KeyOf(step).rfind("SOFTWARE\\K+LUMO", 0) != 0) Install({step});
            App app;
            const Snapshot before = Registry();
            Click(app.Item(code == "NX6" ? IDC_NX6 : IDC_NX7));
            Answer(IDOK);
            const std::string done = Report(plan, true);
            WAIT(app.Report() == done);
            CHECK(app.Focus() == app.Item(IDC_OUTPUT));
            CHECK_EQ(Pair(long(done.size()), long(done.size())), Pair(LOWORD(app.Caret()), HIWORD(app.Caret())));
            CheckRegistry(__LINE__, Without(before, plan.steps), Registry());
        }
    }
}

// A version without a plan empties the report and touches nothing.
void NoPlan() {
    for (const char* version : {"win95", "win2003", "win10"}) {
        RunAs(version);
        Install(Find("NX6", "NT").steps), Install(Find("NX7", "9x").steps);
        App app;
        Click(app.Item(IDC_OUTPUT)), Type(L"earlier");
        WAIT(app.Report() == "earlier");
        const Snapshot before = Registry();
        Click(app.Item(IDC_NX7));
        Answer(IDOK);
        WAIT(app.Report().empty());
        CheckRegistry(__LINE__, before, Registry());
    }
}

// What the window shows, the keyboard, the pictures and the two ways out.
void Window() {
    Install(Find("NX6", "NT").steps);
    App app;
    CHECK_EQ(LONG(WS_CAPTION | WS_SYSMENU),
             GetWindowLongA(app.window, GWL_STYLE) &
                 LONG(WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    const struct {
        int id;
        const char *window_class, *text;
        LONG on, off;
    } controls[] = {
        {IDC_NX6, "Button", "Nimbrax 6", WS_TABSTOP, BS_DEFPUSHBUTTON},
        {IDC_NX7, "Button", "Nimbrax 7", WS_TABSTOP, BS_DEFPUSHBUTTON},
        {IDC_OUTPUT, "Edit", "", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE, WS_HSCROLL | ES_AUTOHSCROLL},
        {IDC_EXIT, "Button", "Exit", WS_TABSTOP, BS_DEFPUSHBUTTON},
        {IDC_REPORT, "Static", "", SS_NOTIFY, WS_TABSTOP},
        {IDC_REP_CLEAR, "Static", "", SS_NOTIFY, WS_TABSTOP},
        {IDC_BANNER, "Static", "", 0, WS_TABSTOP | SS_NOTIFY},
    };
    for (const auto& c : controls) {
        char window_class[32] = {};
        GetClassNameA(app.Item(c.id), window_class, sizeof window_class);
        CHECK_EQ(std::string(c.window_class) + "|" + c.text, std::string(window_class) + "|" + Text(app.Item(c.id)));
        CHECK_EQ(c.on, GetWindowLongA(app.Item(c.id), GWL_STYLE) & (c.on | c.off));
    }
    // Space asks on the first button; Esc in the box is Cancel, which changes
    // nothing and gives the focus back.
    const Snapshot before = Registry();
    Press(VK_SPACE), Confirmation(), Press(VK_ESCAPE);
    WAIT(!Box() && app.Focus() == app.Item(IDC_NX6));
    CheckRegistry(__LINE__, before, Registry());
    // Tab runs through NX6, NX7, output, exit and round; Shift+Tab goes back.
    for (int id : {IDC_NX7, IDC_OUTPUT, IDC_EXIT, IDC_NX6}) {
        Press(VK_TAB);
        WAIT(app.Focus() == app.Item(id));
    }
    Key(VK_SHIFT), Press(VK_TAB), Key(VK_SHIFT, KEYEVENTF_KEYUP);
    WAIT(app.Focus() == app.Item(IDC_EXIT));
    // Esc presses nothing, as the Tab behind it shows; Enter presses the
    // focused button only.
    Press(VK_TAB), Press(VK_ESCAPE), Press(VK_TAB);
    WAIT(app.Focus() == app.Item(IDC_NX7));
    CHECK(!Box());
    Press(VK_RETURN), Answer(IDCANCEL);
    // In the report box Enter starts a new line and Esc does nothing.
    Press(VK_TAB), Type(L"a"), Press(VK_RETURN), Press(VK_ESCAPE), Type(L"b");
    WAIT(app.Report() == "a\r\nb");
    // A press on a picture released beside it clicks nothing, and the banner
    // reacts to nothing: the Tab behind them shows they have had their turn.
    for (int id : {IDC_REP_CLEAR, IDC_REPORT}) {
        const RECT r = Rect(app.Item(id));
        Mouse(POINT{r.left + 8, r.top + 8}, MOUSEEVENTF_LEFTDOWN),
            Mouse(POINT{r.left + 80, r.top + 80}, MOUSEEVENTF_LEFTUP);
    }
    Click(app.Item(IDC_BANNER)), Press(VK_TAB);
    WAIT(app.Focus() == app.Item(IDC_EXIT));
    CHECK(app.Report() == "a\r\nb" && !Box() && Logs().empty() && !Processes("notepad.exe"));
    Click(app.Item(IDC_REP_CLEAR));
    WAIT(app.Report().empty());
    Click(app.Item(IDC_EXIT));
    WAIT(app.Ended());

    App closed;
    const RECT frame = Rect(closed.window);
    Click(POINT{frame.right - 14, frame.top + 12});  // the close box, at the caption's right end
    WAIT(closed.Ended());
    App maximised(SW_SHOWMAXIMIZED);  // a shortcut set to "Maximized" gets the fixed window
    WAIT(!IsZoomed(maximised.window) && Same(frame, Rect(maximised.window)));
}

// The log file's name and bytes, Notepad, and saves that cannot be done.
void Saving() {
    App app;
    Click(app.Item(IDC_REPORT));  // an empty report saves nothing
    Click(app.Item(IDC_OUTPUT)), Type(L"caf\u00e9 \u20ac \u4e2d");
    const std::string text = "caf\xe9 \x80 ?";  // in the code page, "?" for what it lacks
    WAIT(app.Report() == text);
    CHECK(Logs().empty() && !Processes("notepad.exe"));

    // A double click saves once and opens one Notepad on the file; the Tab
    // is queued behind the clicks, ahead of Notepad's window.
    SYSTEMTIME start;
    GetLocalTime(&start);
    Click(app.Item(IDC_REPORT), 2), Press(VK_TAB);
    WAIT(app.Focus() == app.Item(IDC_EXIT) && FindWindowA("Notepad", nullptr));
    std::vector<std::string> logs = Logs(), names = LogNames(start, 5);
    CHECK_EQ(1, Processes("notepad.exe"));
    CHECK(logs.size() == 1 && std::count(names.begin(), names.end(), logs[0]) == 1);
    CHECK_EQ(text + "\r\n", ReadFile("C:\\" + logs.at(0)));
    CHECK_EQ(logs[0] + " - Notepad", Text(FindWindowA("Notepad", nullptr)));
    PostMessageA(FindWindowA("Notepad", nullptr), WM_CLOSE, 0, 0);
    WAIT(!Processes("notepad.exe") && DeleteFileA(("C:\\" + logs[0]).c_str()));

    // Notepad missing: the log is saved, and the program says Notepad is not.
    MoveFileA("C:\\windows\\notepad.exe", "C:\\windows\\notepad.away");
    SetForegroundWindow(app.window), Click(app.Item(IDC_REPORT));
    HWND box = nullptr;
    WAIT((box = Box()) && (logs = Logs()).size() == 1);
    CHECK_EQ("The report was saved to C:" + logs[0] + ", but Notepad could not be started.",
             BoxText(box).substr(0, BoxText(box).find('\r')));
    CHECK_EQ(text + "\r\n", ReadFile("C:\\" + logs[0]));
    Click(GetDlgItem(box, IDOK));
    MoveFileA("C:\\windows\\notepad.away", "C:\\windows\\notepad.exe");
    DeleteFileA(("C:\\" + logs[0]).c_str());

    // A folder in the way of the file: the program says so, keeps the report
    // and starts nothing.
    GetLocalTime(&start);
    for (const std::string& name : LogNames(start, 60)) CreateDirectoryA(("C:\\" + name).c_str(), nullptr);
    WAIT(!Box());
    Click(app.Item(IDC_REPORT));
    WAIT(box = Box());
    CHECK_EQ(std::string("The report could not be saved to C:Vantrel "), BoxText(box).substr(0, 43));
    Click(GetDlgItem(box, IDOK));
    WAIT(!Box());
    CHECK(app.Report() == text && !app.Ended() && !Processes("notepad.exe"));
}

// After a cleaning the caret goes to the report's end inside the box: no
// keystroke reaches a program that came to the front meanwhile, and a key
// held down changes nothing.
void Keystrokes() {
    const plans::Plan& plan = Find("NX7", "NT");
    Install(plan.steps);
    App app;
    Click(app.Item(IDC_NX7));
    HWND box = Confirmation(), notepad = nullptr;
    FILE* file = std::fopen("C:\\note.txt", "wb");
    std::fputs("first line\r\nsecond line", file), std::fclose(file);
    PROCESS_INFORMATION other = Start(nullptr, "notepad.exe C:\\note.txt");
    WAIT((notepad = FindWindowA("Notepad", nullptr)) && GetForegroundWindow() == notepad);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    WAIT(app.Report() == Report(plan, true));
    Type(L"x");  // lands where Notepad's caret stands: still at the start
    WAIT(Text(FindWindowExA(notepad, nullptr, "Edit", nullptr)) == "xfirst line\r\nsecond line");
    TerminateProcess(other.hProcess, 0), CloseHandle(other.hThread), CloseHandle(other.hProcess);

    SetForegroundWindow(app.window), Click(app.Item(IDC_NX7));
    Key(VK_SHIFT), Click(GetDlgItem(Confirmation(), IDOK));
    WAIT(app.Report() == Report(plan, false));
    Key(VK_SHIFT, KEYEVENTF_KEYUP), Type(L"x");  // a selection would be replaced
    WAIT(app.Report() == Report(plan, false) + "x");
}

// Where the window opens on this screen and scale: at its given place where
// it fits, else moved the least onto the screen, its client area whole.
void Place() {
    App app;
    HDC screen = GetDC(nullptr);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    RECT client = {}, frame = Rect(app.window);
    POINT corner = {0, 0};
    GetClientRect(app.window, &client), ClientToScreen(app.window, &corner);
    // Left, top, width and height in the client area at each scale; the
    // pictures keep their own size.
    const int ids[] = {IDC_NX6, IDC_NX7, IDC_OUTPUT, IDC_EXIT, IDC_REPORT, IDC_REP_CLEAR, IDC_BANNER};
    const int at96[7][4] = {{16, 56, 89, 25},  {16, 88, 89, 25},  {120, 56, 537, 169}, {16, 200, 89, 25},
                            {120, 24, 24, 24}, {152, 24, 24, 24}, {168, 0, 497, 57}};
    const int at120[7][4] = {{20, 70, 111, 31}, {20, 110, 111, 31}, {150, 70, 671, 211}, {20, 250, 111, 31},
                             {150, 30, 24, 24}, {190, 30, 24, 24},  {210, 0, 497, 57}};
    CHECK_EQ(dpi == 120 ? Pair(834, 294) : Pair(667, 235), Pair(client.right, client.bottom));
    for (int i = 0; i < 7; ++i) {
        const RECT r = Rect(app.Item(ids[i]));
        const int got[4] = {r.left - corner.x, r.top - corner.y, r.right - r.left, r.bottom - r.top};
        CHECK(std::equal(got, got + 4, dpi == 120 ? at120[i] : at96[i]));
        // The buttons and pictures that take clicks must be on the screen.
        if (ids[i] != IDC_OUTPUT && ids[i] != IDC_BANNER) CHECK(r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height);
    }
    const int given_x = (3780 * dpi + 720) / 1440, given_y = (4890 * dpi + 720) / 1440;
    if (width == 1024 && dpi == 96) {  // it fits: at its given place
        CHECK_EQ(Pair(given_x, given_y), Pair(corner.x, corner.y));
    } else if (width < 667) {  // wider than the screen: at its left edge, and up just enough
        CHECK_EQ(Pair(0, height), Pair(frame.left, frame.bottom));
    } else {  // moved left just enough
        CHECK_EQ(Pair(width, given_y), Pair(frame.right, corner.y));
    }
}

const struct {
    const char* name;
    std::function<void()> run;
} kCases[] = {
    {"plans_nt",
     [] {
         Plans({"winxp", "win2k", "nt40"}, "NT");
     }},
    {"plans_9x",
     [] {
         Plans({"win98", "winme"}, "9x");
     }},
    {"no_plan", NoPlan},
    {"window", Window},
    {"saving", Saving},
    {"keystrokes", Keystrokes},
    {"place", Place},
};

}  // namespace

int main(int argc, char** argv) {
    for (const auto& c : kCases) {
        if (argc != 2 || std::strcmp(argv[1], c.name) != 0) continue;
        try {
            c.run();
        } catch (const Abort&) {
        }
        return std::printf("%s: %d failed checks\n", c.name, g_failures), g_failures;
    }
    return std::printf("usage: e2e CASE\n"), 2;
}
