// End-to-end tests of the shipped exe under Wine: start the real program,
// drive it with real X input (xdotool), read its windows through Win32 and
// the registry directly, and compare whole results.
//   e2e.exe CASE [ARGS]   runs one case; the exit code is the number of failures
#include <windows.h>
// after windows.h, which it needs
#include <tlhelp32.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "gui/Vantrel_ids.h"
#include "tests/support/test_registry.h"

namespace {

using Args = std::vector<std::string>;  // the case's name, then its arguments
int g_failures = 0;
using Abort = std::pair<int, std::string>;  // a failure's line and text: ends the case at once
// The tool's folder: its current directory, on drive C: but not its root.
#define FOLDER "C:\\Tools\\"

// Each failure numbered as it comes.
void Fail(int line, const std::string& what) { std::printf("e2e.cpp:%d: %s (%d)\n", line, what.c_str(), ++g_failures); }

std::string Pair(long x, long y) { return std::to_string(x) + "," + std::to_string(y); }
void CheckEq(int line, const char* what, const std::string& want, const std::string& got) {
    if (want != got) Fail(line, std::string(what) + "\n  want \"" + want + "\"\n  got  \"" + got + "\"");
}
// The limit is generous: where the kernel cannot run 32-bit programs, Wine
// runs under emulation, several times slower, and two cases share the CPUs.
void Wait(int line, const char* what, const std::function<bool()>& ready) {
    for (const DWORD start = GetTickCount(); !ready(); Sleep(50))
        if (GetTickCount() - start > 90000) throw Abort{line, std::string("timed out waiting for ") + what};
}
#define CHECK(cond)         ((cond) ? void() : Fail(__LINE__, "failed: " #cond))
#define CHECK_EQ(want, got) CheckEq(__LINE__, #got, (want), (got))
#define WAIT(cond)          Wait(__LINE__, #cond, [&] { return bool(cond); })

const plans::Plan& Find(const std::string& code, const std::string& family) {
    for (const plans::Plan& plan : plans::TheOracle().plans)
        if (plan.code == code && plan.family == family) return plan;
    throw std::runtime_error("no plan " + code + " " + family);
}

std::string Report(const plans::Plan& plan, bool ok) {
    return plans::Report(plan, [ok](const plans::Step&) { return ok; });
}

// --- The registry ------------------------------------------------------------

std::string Lower(std::string text) { return CharLowerA(&text[0]); }

// The whole of HKLM: every key and every value's name (all the tool can
// change is whether they exist), without regard to case, as the registry
// compares names.
using Snapshot = testreg::State;
Snapshot Registry() {
    Snapshot all;
    for (const std::string& line : testreg::Walk({""})) all.insert(Lower(line));
    return all;
}

void CheckRegistry(int line, const Snapshot& want, const Snapshot& got) {
    for (const std::string& entry : want)
        if (!got.count(entry)) Fail(line, "registry lacks " + entry);
    for (const std::string& entry : got)
        if (!want.count(entry)) Fail(line, "registry has " + entry);
}

// --- Input, windows and files ------------------------------------------------

// In the tool's folder; the caller closes the process handle.
PROCESS_INFORMATION Start(const char* program, std::string command, WORD show = SW_SHOWNORMAL) {
    STARTUPINFOA startup = {sizeof startup, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, STARTF_USESHOWWINDOW, show, 0, 0, 0, 0, 0};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, &command[0], 0, 0, FALSE, 0, 0, FOLDER, &startup, &process)) Fail(__LINE__, command);
    CloseHandle(process.hThread);
    return process;
}

// Input comes from the X server, as a user's does: xdotool, run by the shell
// that Wine starts as the Unix program it is. Input sent through Wine can
// overtake the X server's or be undone by it. Wine cannot wait for a Unix
// program, so the shell leaves a mark when xdotool is done.
void X(const std::string& actions) {
    static int calls = 0;
    const std::string done =
        "/tmp/vantrel-xdotool-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++calls);
    const PROCESS_INFORMATION shell = Start("Z:\\bin\\sh", "sh -c \"xdotool " + actions + " && touch " + done + "\"");
    CloseHandle(shell.hProcess);
    WAIT(DeleteFileA(("Z:" + done).c_str()));
}

RECT Rect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}
// The actions that move the pointer onto a place, or a window's middle.
std::string At(int x, int y) { return "mousemove " + std::to_string(x) + " " + std::to_string(y) + " "; }
std::string At(HWND window) {
    const RECT r = Rect(window);
    return At((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}
void Click(HWND window) { X(At(window) + "click 1"); }

std::string Text(HWND window) {
    std::string text(size_t(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    text.resize(size_t(SendMessageA(window, WM_GETTEXT, text.size(), (LPARAM)&text[0])));
    return text;
}
// In front, for the keys: Wine does not always activate a program it starts.
void Front(HWND window) { WAIT(GetForegroundWindow() == window || (SetForegroundWindow(window) && false)); }
// The tool's message box once it is shown: the system finds it by its title
// before it has placed the box and its buttons, and shows it after that.
HWND Box() {
    HWND box = FindWindowA("#32770", "Morvel Vantrel");
    return IsWindowVisible(box) ? box : nullptr;
}
std::string BoxText(HWND box) { return Text(GetDlgItem(box, 0xFFFF)); }

int Processes(const char* exe) {
    int count = 0;
    HANDLE all = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {sizeof entry, 0, 0, 0, 0, 0, 0, 0, 0, {}};
    for (BOOL more = Process32First(all, &entry); more; more = Process32Next(all, &entry))
        count += lstrcmpiA(entry.szExeFile, exe) == 0;
    CloseHandle(all);
    return count;
}

std::vector<std::string> Logs() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(FOLDER "Vantrel *.log", &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    FindClose(search);
    return names;
}

// The log names of `seconds` seconds from `from` on.
std::vector<std::string> LogNames(SYSTEMTIME from, int seconds) {
    std::vector<std::string> names;
    ULARGE_INTEGER t;
    SystemTimeToFileTime(&from, reinterpret_cast<FILETIME*>(&t));
    for (char name[64]; seconds--; t.QuadPart += 10000000) {
        FileTimeToSystemTime(reinterpret_cast<FILETIME*>(&t), &from);
        std::snprintf(name, sizeof name, "Vantrel %02d-%02d-%02d %02d-%02d-%02d.log", from.wDay, from.wMonth,
                      from.wYear % 100, from.wHour, from.wMinute, from.wSecond);
        names.push_back(name);
    }
    return names;
}

// --- The tool ------------------------------------------------------------------

struct App {
    PROCESS_INFORMATION process;
    HWND window = nullptr;

    explicit App(WORD show = SW_SHOWNORMAL) : process(Start(VANTREL_EXE, "\"" VANTREL_EXE "\"", show)) {
        WAIT((window = FindWindowA("Vantrel_GUI", "Morvel Vantrel")) && Focus() == Item(IDC_NX6));
        Front(window);
    }
    ~App() {
        TerminateProcess(process.hProcess, 1);  // fails, harmlessly, once it has ended
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hProcess);
    }
    HWND Item(int id) const { return GetDlgItem(window, id); }
    HWND Focus() const {
        GUITHREADINFO info = {sizeof info, 0, 0, 0, 0, 0, 0, 0, {}};
        GetGUIThreadInfo(process.dwThreadId, &info);
        return info.hwndFocus;
    }
    std::string Report() const { return Text(Item(IDC_OUTPUT)); }
    bool Ended() const { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }
};

// The confirmation, in front as a user's click or key needs it: Wine lets a
// click on a box behind another program's window only activate the box.
HWND Confirmation() {
    HWND box = nullptr;
    WAIT(box = Box());
    Front(box);
    CHECK_EQ(std::string("Are you sure?|OK|Cancel"),
             BoxText(box) + "|" + Text(GetDlgItem(box, IDOK)) + "|" + Text(GetDlgItem(box, IDCANCEL)));
    return box;
}
void Answer(int button) {
    Click(GetDlgItem(Confirmation(), button));
    WAIT(!Box());
}

// --- Cases ---------------------------------------------------------------------

// Both products on each version, among look-alikes and the other generation's
// entries outside the vendor key: the report in place of what the box held,
// the caret at its end, and the whole registry afterwards. A version without
// a plan empties the box and touches nothing.
void Versions(const Args& args) {
    for (const std::string& version : Args(args.begin() + 1, args.end())) {
        const bool nt = version == "winxp" || version == "win2k" || version == "nt40";
        const bool served = nt || version == "win98" || version == "winme";
        // The Windows version the tool is told; this program keeps the prefix's own.
        RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Morvel_Vantrel_Only6+7.exe", "Version", REG_SZ,
                        version.c_str(), DWORD(version.size() + 1));
        for (const std::string code : {"NX6", "NX7"}) {
            const plans::Plan& plan = Find(code, nt || !served ? "NT" : "9x");
            testreg::Add(plan.steps);
            testreg::Add(plans::TheOracle().neighbours);
            for (const plans::Step& step : Find(code == "NX6" ? "NX7" : "NX6", plan.family).steps)
                if (testreg::Line(step).rfind("SOFTWARE\\K+LUMO", 0) != 0) testreg::Add(step);
            App app;
            X("key Tab Tab type earlier");  // into the report box
            WAIT(app.Report() == "earlier");
            const Snapshot before = Registry();
            Click(app.Item(code == "NX6" ? IDC_NX6 : IDC_NX7));
            Answer(IDOK);
            const std::string done = served ? Report(plan, true) : "";
            WAIT(app.Report() == done);
            const LRESULT caret = SendMessageA(app.Item(IDC_OUTPUT), EM_GETSEL, 0, 0);  // start | end << 16
            CHECK(app.Focus() == app.Item(IDC_OUTPUT) && caret == MAKELRESULT(done.size(), done.size()));
            // Less what the plan deletes: its keys with all below them, its values.
            std::vector<std::string> gone;
            for (const plans::Step& step : plan.steps) gone.push_back(Lower(testreg::Line(step)));
            CheckRegistry(__LINE__, served ? testreg::Without(before, gone) : before, Registry());
        }
    }
}

// The keyboard, the pictures and the two ways out.
void Window(const Args&) {
    testreg::Add(Find("NX6", "NT").steps);
    App app;
    // Space asks on the first button; Esc in the box is Cancel, which changes
    // nothing and gives the focus back.
    const Snapshot before = Registry();
    X("key space");
    Confirmation();
    X("key Escape");
    WAIT(!Box() && app.Focus() == app.Item(IDC_NX6));
    CheckRegistry(__LINE__, before, Registry());
    // Tab runs through NX6, NX7, output, exit and round; Shift+Tab goes back.
    // Esc presses nothing, as the Tab behind it shows.
    const std::pair<const char*, int> steps[] = {{"Tab", IDC_NX7},        {"Tab", IDC_OUTPUT},
                                                 {"Tab", IDC_EXIT},       {"Tab", IDC_NX6},
                                                 {"shift+Tab", IDC_EXIT}, {"Tab Escape Tab", IDC_NX7}};
    for (const auto& [keys, id] : steps) {
        X(std::string("key ") + keys);
        WAIT(app.Focus() == app.Item(id));
    }
    CHECK(!Box());
    // Enter presses the focused button only.
    X("key Return");
    Answer(IDCANCEL);
    // In the report box Enter starts a new line and Esc does nothing.
    X("key Tab a Return Escape b");
    WAIT(app.Report() == "a\r\nb");
    // A press on a picture released beside it clicks nothing, and the banner
    // reacts to nothing: the click on NX7 behind them shows they have had
    // their turn (clicks keep their order).
    for (int id : {IDC_REP_CLEAR, IDC_REPORT}) {
        const RECT r = Rect(app.Item(id));
        X(At(r.left + 8, r.top + 8) + "mousedown 1 " + At(r.left + 80, r.top + 80) + "mouseup 1");
    }
    X(At(app.Item(IDC_BANNER)) + "click 1 " + At(app.Item(IDC_NX7)) + "click 1");
    Confirmation();
    CHECK(app.Report() == "a\r\nb" && Logs().empty() && !Processes("notepad.exe"));
    Answer(IDCANCEL);
    Click(app.Item(IDC_REP_CLEAR));
    WAIT(app.Report().empty());
    Click(app.Item(IDC_EXIT));
    WAIT(app.Ended());

    App closed;
    const RECT frame = Rect(closed.window);
    X(At(frame.right - 14, frame.top + 12) + "click 1");  // the close box, at the caption's right end
    WAIT(closed.Ended());
    App maximised(SW_SHOWMAXIMIZED);  // a shortcut set to "Maximized" gets the fixed window
    WAIT(!IsZoomed(maximised.window) && Rect(maximised.window).left == frame.left &&
         Rect(maximised.window).bottom == frame.bottom);
}

// The log file's name and bytes in the tool's folder, Notepad, and saves
// that cannot be done, each named by its whole path.
void Saving(const Args&) {
    App app;
    // An empty report saves nothing: the click behind it shows it has had its
    // turn (clicks keep their order; keys come another way).
    X(At(app.Item(IDC_REPORT)) + "click 1 " + At(app.Item(IDC_OUTPUT)) + "click 1");
    WAIT(app.Focus() == app.Item(IDC_OUTPUT));
    CHECK(Logs().empty() && !Processes("notepad.exe"));
    X("type typed");  // plain keys: one that xdotool must map in first does not always reach Wine
    WAIT(app.Report() == "typed");

    // A double click saves once and opens one Notepad on the file; the click
    // on NX7 behind it shows both have had their turn. Notepad opens where
    // it covers nothing of the tool.
    for (const char* name : {"iWindowPosX", "iWindowPosY", "iWindowPosDX", "iWindowPosDY"}) {
        const DWORD value = name[11] ? 200 : 0;  // at 0,0, 200 x 200
        RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Notepad", name, REG_DWORD, &value, sizeof value);
    }
    SYSTEMTIME start;
    GetLocalTime(&start);
    X(At(app.Item(IDC_REPORT)) + "click --repeat 2 1 " + At(app.Item(IDC_NX7)) + "click 1");
    WAIT(Box() && FindWindowA("Notepad", nullptr));
    CHECK(Processes("notepad.exe") == 1);
    // Notepad takes the front when its window is ready: let it, before the
    // box is brought back in front of it.
    Front(FindWindowA("Notepad", nullptr));
    Answer(IDCANCEL);
    std::vector<std::string> logs = Logs(), names = LogNames(start, 5);
    CHECK(logs.size() == 1 && std::count(names.begin(), names.end(), logs[0]) == 1);
    CHECK_EQ(
        "typed\r\n",
        std::string(std::istreambuf_iterator<char>(std::ifstream(FOLDER + logs.at(0), std::ios::binary).rdbuf()), {}));
    CHECK_EQ(logs[0] + " - Notepad", Text(FindWindowA("Notepad", nullptr)));
    PostMessageA(FindWindowA("Notepad", nullptr), WM_CLOSE, 0, 0);
    WAIT(!Processes("notepad.exe") && DeleteFileA((FOLDER + logs[0]).c_str()));

    // Notepad missing: the log is saved, and the program says Notepad is not.
    MoveFileA("C:\\windows\\notepad.exe", "C:\\windows\\notepad.away");
    SetForegroundWindow(app.window);
    Click(app.Item(IDC_REPORT));
    HWND box = nullptr;
    WAIT((box = Box()) && (logs = Logs()).size() == 1);
    CHECK_EQ("The report was saved to " FOLDER + logs[0] + ", but Notepad could not be started.\r\n\r\nFile not found.",
             BoxText(box));
    Click(GetDlgItem(box, IDOK));
    MoveFileA("C:\\windows\\notepad.away", "C:\\windows\\notepad.exe");
    DeleteFileA((FOLDER + logs[0]).c_str());

    // A folder in the way of the file: the program says so, naming the file
    // the clock gave, keeps the report and starts nothing.
    GetLocalTime(&start);
    names = LogNames(start, 60);
    for (const std::string& name : names) CreateDirectoryA((FOLDER + name).c_str(), nullptr);
    WAIT(!Box());
    Click(app.Item(IDC_REPORT));
    WAIT(box = Box());
    std::string named;
    for (const std::string& name : names) named = BoxText(box).find(name) == std::string::npos ? named : name;
    CHECK_EQ("The report could not be saved to " FOLDER + named + ".\r\n\r\nAccess denied.", BoxText(box));
    Click(GetDlgItem(box, IDOK));
    WAIT(!Box());
    CHECK(app.Report() == "typed" && !app.Ended() && !Processes("notepad.exe"));
}

// After a cleaning the caret goes to the report's end inside the box: no
// keystroke reaches a program that came to the front meanwhile, and a key
// held down changes nothing.
void Keystrokes(const Args&) {
    const plans::Plan& plan = Find("NX7", "NT");
    testreg::Add(plan.steps);
    App app;
    Click(app.Item(IDC_NX7));
    HWND box = Confirmation(), notepad = nullptr;
    std::ofstream("C:\\note.txt", std::ios::binary) << "first line\r\nsecond line";
    PROCESS_INFORMATION other = Start(nullptr, "notepad.exe C:\\note.txt");
    WAIT(notepad = FindWindowA("Notepad", nullptr));
    Front(notepad);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    WAIT(app.Report() == Report(plan, true));
    HWND edit = FindWindowExA(notepad, nullptr, "Edit", nullptr);
    Sleep(1000);  // time enough for any keystroke to arrive
    CHECK(SendMessageA(edit, EM_GETSEL, 0, 0) == 0 && Text(edit) == "first line\r\nsecond line");
    TerminateProcess(other.hProcess, 0);
    CloseHandle(other.hProcess);

    SetForegroundWindow(app.window);
    Click(app.Item(IDC_NX7));
    X(At(GetDlgItem(Confirmation(), IDOK)) + "keydown shift click 1");
    WAIT(app.Report() == Report(plan, false));
    X("keyup shift type x");  // a selection would be replaced
    WAIT(app.Report() == Report(plan, false) + "x");
}

// What the window shows, and where it opens on this screen and scale: at its
// given place where it fits, else moved the least onto the screen, its client
// area whole.
void Layout(const Args&) {
    App app;
    HDC screen = GetDC(nullptr);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    RECT client = {}, frame = Rect(app.window);
    POINT corner = {0, 0};
    GetClientRect(app.window, &client);
    ClientToScreen(app.window, &corner);
    // A fixed frame with a close box only. Each control: class, caption and
    // its kind (a push button, not a default one; a multi-line edit; a bitmap),
    // then left, top, width and height in the client area at 96 and at 120 dpi;
    // the pictures keep their own size.
    const LONG frame_styles = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    CHECK((GetWindowLongA(app.window, GWL_STYLE) & frame_styles) == (WS_CAPTION | WS_SYSMENU));
    const std::tuple<int, std::string, std::array<int, 8>> controls[] = {
        {IDC_NX6, "Button|Nimbrax 6|0", {16, 56, 89, 25, 20, 70, 111, 31}},
        {IDC_NX7, "Button|Nimbrax 7|0", {16, 88, 89, 25, 20, 110, 111, 31}},
        {IDC_OUTPUT, "Edit||4", {120, 56, 537, 169, 150, 70, 671, 211}},
        {IDC_EXIT, "Button|Exit|0", {16, 200, 89, 25, 20, 250, 111, 31}},
        {IDC_REPORT, "Static||14", {120, 24, 24, 24, 150, 30, 24, 24}},
        {IDC_REP_CLEAR, "Static||14", {152, 24, 24, 24, 190, 30, 24, 24}},
        {IDC_BANNER, "Static||14", {168, 0, 497, 57, 210, 0, 497, 57}},
    };
    CHECK_EQ(dpi == 120 ? Pair(834, 294) : Pair(667, 235), Pair(client.right, client.bottom));
    for (const auto& [id, kind, at] : controls) {
        char window_class[32] = {};
        GetClassNameA(app.Item(id), window_class, sizeof window_class);
        const LONG style = GetWindowLongA(app.Item(id), GWL_STYLE);
        CHECK_EQ(kind, std::string(window_class) + "|" + Text(app.Item(id)) + "|" + std::to_string(style & 0xF));
        const RECT r = Rect(app.Item(id));
        const int got[4] = {r.left - corner.x, r.top - corner.y, r.right - r.left, r.bottom - r.top};
        CHECK(std::equal(got, got + 4, at.begin() + (dpi == 120 ? 4 : 0)));
        // The buttons and pictures that take clicks must be on the screen.
        if (id != IDC_OUTPUT && id != IDC_BANNER)
            CHECK(r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height);
    }
    // Long lines wrap in the report box, which scrolls up and down only.
    const LONG scrolls = WS_VSCROLL | ES_MULTILINE | WS_HSCROLL | ES_AUTOHSCROLL;
    CHECK((GetWindowLongA(app.Item(IDC_OUTPUT), GWL_STYLE) & scrolls) == (WS_VSCROLL | ES_MULTILINE));
    const int given_x = (3780 * dpi + 720) / 1440, given_y = (4890 * dpi + 720) / 1440;
    if (width == 1024 && dpi == 96) {  // it fits: at its given place
        CHECK_EQ(Pair(given_x, given_y), Pair(corner.x, corner.y));
    } else if (width < 667) {  // wider than the screen: at its left edge, and up just enough
        CHECK_EQ(Pair(0, height), Pair(frame.left, frame.bottom));
    } else {  // moved left just enough
        CHECK_EQ(Pair(width, given_y), Pair(frame.right, corner.y));
    }
}

}  // namespace

int main(int argc, char** argv) {
    const Args args(argv + 1, argv + argc);
    const std::map<std::string, void (*)(const Args&)> cases = {
        {"versions", Versions}, {"window", Window}, {"saving", Saving}, {"keystrokes", Keystrokes}, {"layout", Layout}};
    const auto run = cases.find(args.empty() ? "" : args[0]);
    CreateDirectoryA(FOLDER, nullptr);
    try {
        if (run == cases.end()) throw Abort{__LINE__, "usage: e2e versions VERSION... | CASE"};
        run->second(args);
    } catch (const Abort& abort) {
        Fail(abort.first, abort.second);
    }
    std::printf("%d failed checks\n", g_failures);
    return g_failures;
}
