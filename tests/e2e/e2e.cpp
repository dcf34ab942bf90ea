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
#define CHECK_EQ(want, got) CheckEq(__LINE__, #got, (want), (got))
#define WAIT(cond)          Wait(__LINE__, #cond, [&] { return bool(cond); })

const plans::Plan& Find(const std::string& code, const std::string& family) {
    for (const plans::Plan& plan : plans::TheOracle().plans)
        if (plan.code == code && plan.family == family) return plan;
    throw std::runtime_error("no plan " + code + " " + family);
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
    if (want != got) Fail(line, "registry differs:" + testreg::Difference(want, got));
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
// program, so the shell leaves a mark when xdotool is done, in the folder
// Wine starts it in: the tool's folder in the case's own fresh prefix, where
// no other case and no other run can make or take it.
void X(const std::string& actions) {
    static int calls = 0;
    const std::string mark = "xdotool-done-" + std::to_string(++calls);
    const PROCESS_INFORMATION shell = Start("Z:\\bin\\sh", "sh -c \"xdotool " + actions + " && touch " + mark + "\"");
    CloseHandle(shell.hProcess);
    WAIT(DeleteFileA((FOLDER + mark).c_str()));
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

// What a save has left: logs in the tool's folder, and Notepads running.
std::string Saved() {
    return std::to_string(Logs().size()) + " logs|" + std::to_string(Processes("notepad.exe")) + " Notepads";
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
// entries outside the vendor key, from the keyboard with Enter held each
// time until the display repeats it (after 0.66 s): the product button asks
// once, on release, and the answer OK adds nothing to the report. The report
// in place of what the box held, the caret at its end, and the whole
// registry afterwards. A version without a plan empties the box and touches
// nothing.
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
            X(code == "NX6" ? "key Tab Tab" : "key Tab Tab Tab");
            WAIT(app.Report() == "earlier" && app.Focus() == app.Item(code == "NX6" ? IDC_NX6 : IDC_NX7));
            const Snapshot before = Registry();
            X("keydown Return sleep 2 keyup Return");
            WAIT(Box() || app.Report() != "earlier");
            CheckRegistry(__LINE__, before, Registry());
            Confirmation();
            X("keydown Return sleep 2 keyup Return");
            WAIT(!Box() && app.Report() != "earlier");
            Sleep(1000);  // time enough for any repeat to arrive
            const std::string done = served ? plans::Report(plan, [](const plans::Step&) { return true; }) : "";
            CHECK_EQ(done, app.Report());
            // The report box has the keys, its caret after the last character.
            const LRESULT caret = SendMessageA(app.Item(IDC_OUTPUT), EM_GETSEL, 0, 0);  // start | end << 16
            CHECK_EQ(std::to_string(IDC_OUTPUT) + ": " + Pair(long(done.size()), long(done.size())),
                     std::to_string(GetDlgCtrlID(app.Focus())) + ": " + Pair(LOWORD(caret), HIWORD(caret)));
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
    CHECK_EQ("a\r\nb|0 logs|0 Notepads", app.Report() + "|" + Saved());
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
    CHECK_EQ("0 logs|0 Notepads", Saved());
    X("type typed");  // plain keys: one that xdotool must map in first does not always reach Wine
    WAIT(app.Report() == "typed");

    // A double click saves once and opens one Notepad on the file, the System
    // folder's where the Windows folder has none; the click on NX7 after it
    // shows both have had their turn. Notepad opens where it covers nothing
    // of the tool.
    MoveFileA("C:\\windows\\notepad.exe", "C:\\windows\\notepad.away");
    for (const char* name : {"iWindowPosX", "iWindowPosY", "iWindowPosDX", "iWindowPosDY"}) {
        const DWORD value = name[11] ? 200 : 0;  // at 0,0, 200 x 200
        RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Notepad", name, REG_DWORD, &value, sizeof value);
    }
    SYSTEMTIME start;
    GetLocalTime(&start);
    X(At(app.Item(IDC_REPORT)) + "click --repeat 2 1");
    WAIT(FindWindowA("Notepad", nullptr));
    // Notepad takes the front when its window is ready: let it, before the
    // tool is brought back in front of it (a click that reaches a window
    // behind another program's only activates it).
    Front(FindWindowA("Notepad", nullptr));
    Front(app.window);
    Click(app.Item(IDC_NX7));
    Answer(IDCANCEL);
    CHECK_EQ("1 logs|1 Notepads", Saved());
    std::vector<std::string> logs = Logs(), names = LogNames(start, 5);
    CHECK_EQ(logs.at(0), std::count(names.begin(), names.end(), logs[0]) ? logs[0] : "no name of 5 s from " + names[0]);
    CHECK_EQ(
        "typed\r\n",
        std::string(std::istreambuf_iterator<char>(std::ifstream(FOLDER + logs.at(0), std::ios::binary).rdbuf()), {}));
    CHECK_EQ(logs[0] + " - Notepad", Text(FindWindowA("Notepad", nullptr)));
    PostMessageA(FindWindowA("Notepad", nullptr), WM_CLOSE, 0, 0);
    WAIT(!Processes("notepad.exe") && DeleteFileA((FOLDER + logs[0]).c_str()));

    // Notepad in neither folder: the log is saved, and the program says
    // Notepad is not.
    MoveFileA("C:\\windows\\system32\\notepad.exe", "C:\\windows\\system32\\notepad.away");
    SetForegroundWindow(app.window);
    Click(app.Item(IDC_REPORT));
    HWND box = nullptr;
    WAIT((box = Box()) && (logs = Logs()).size() == 1);
    CHECK_EQ("The report was saved to " FOLDER + logs[0] + ", but Notepad could not be started.\r\n\r\nFile not found.",
             BoxText(box));
    Click(GetDlgItem(box, IDOK));
    MoveFileA("C:\\windows\\system32\\notepad.away", "C:\\windows\\system32\\notepad.exe");
    MoveFileA("C:\\windows\\notepad.away", "C:\\windows\\notepad.exe");  // for "starts nothing" below
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
    CHECK_EQ("typed|0 logs|0 Notepads|running", app.Report() + "|" + Saved() + (app.Ended() ? "|ended" : "|running"));
}

// What the window shows, and where it opens on this screen and scale: at its
// given place where it fits, else moved the least onto the screen, its client
// area whole; on Large Fonts as large as the screen takes.
void Layout(const Args&) {
    App app;
    HDC screen = GetDC(nullptr);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    RECT client = {};
    const RECT frame = Rect(app.window);
    POINT corner = {0, 0};
    GetClientRect(app.window, &client);
    ClientToScreen(app.window, &corner);
    // A fixed frame with a close box only. Each control: class, caption and
    // its kind (a push button, not a default one; a multi-line edit; a bitmap),
    // then left, top, width and height in the client area at 96 and at 120 dpi;
    // the pictures keep their own size.
    const LONG frame_styles = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    CHECK_EQ(std::to_string(WS_CAPTION | WS_SYSMENU),
             std::to_string(GetWindowLongA(app.window, GWL_STYLE) & frame_styles));
    const std::tuple<int, std::string, std::array<int, 8>> controls[] = {
        {IDC_NX6, "Button|Nimbrax 6|0", {16, 56, 89, 25, 20, 70, 111, 31}},
        {IDC_NX7, "Button|Nimbrax 7|0", {16, 88, 89, 25, 20, 110, 111, 31}},
        {IDC_OUTPUT, "Edit||4", {120, 56, 537, 169, 150, 70, 671, 211}},
        {IDC_EXIT, "Button|Exit|0", {16, 200, 89, 25, 20, 250, 111, 31}},
        {IDC_REPORT, "Static||14", {120, 24, 24, 24, 150, 30, 24, 24}},
        {IDC_REP_CLEAR, "Static||14", {152, 24, 24, 24, 190, 30, 24, 24}},
        {IDC_BANNER, "Static||14", {168, 0, 497, 57, 210, 0, 497, 57}},
    };
    // At the display's scale, one of the table's two columns; Large Fonts on
    // a screen too small for them smaller (no column).
    const int column = dpi == 96 ? 0 : width >= 1024 ? 4 : -1;
    if (column >= 0) CHECK_EQ(column ? Pair(834, 294) : Pair(667, 235), Pair(client.right, client.bottom));
    for (const auto& [id, kind, at] : controls) {
        char window_class[32] = {};
        GetClassNameA(app.Item(id), window_class, sizeof window_class);
        const LONG style = GetWindowLongA(app.Item(id), GWL_STYLE);
        CHECK_EQ(kind, std::string(window_class) + "|" + Text(app.Item(id)) + "|" + std::to_string(style & 0xF));
        const RECT r = Rect(app.Item(id));
        const int* want = at.data() + std::max(column, 0);
        if (column >= 0)
            CHECK_EQ(Pair(want[0], want[1]) + " " + Pair(want[2], want[3]),
                     Pair(r.left - corner.x, r.top - corner.y) + " " + Pair(r.right - r.left, r.bottom - r.top));
    }
    // Long lines wrap in the report box, which scrolls up and down only.
    const LONG scrolls = WS_VSCROLL | ES_MULTILINE | WS_HSCROLL | ES_AUTOHSCROLL;
    CHECK_EQ(std::to_string(WS_VSCROLL | ES_MULTILINE),
             std::to_string(GetWindowLongA(app.Item(IDC_OUTPUT), GWL_STYLE) & scrolls));
    // Wholly on every screen wider than the window at 96 dpi.
    const std::string place = Pair(frame.left, frame.top) + " to " + Pair(frame.right, frame.bottom);
    const bool on_screen = frame.left >= 0 && frame.top >= 0 && frame.right <= width && frame.bottom <= height;
    if (width > 667) CHECK_EQ("on the screen", on_screen ? "on the screen" : place);
    if (width == 1024 && dpi == 96) {  // it fits: at its given place, 3780 and 4890 twips
        CHECK_EQ(Pair(252, 326), Pair(corner.x, corner.y));
    } else if (width < 667) {  // wider than the screen: at its left edge, and up just enough
        CHECK_EQ(Pair(0, height), Pair(frame.left, frame.bottom));
    } else if (column >= 0) {  // moved left just enough
        CHECK_EQ(Pair(width, (4890 * dpi + 720) / 1440), Pair(frame.right, corner.y));
    } else {  // as wide as fits: a dpi more would add 7 pixels
        CHECK_EQ("as wide as fits", frame.right - frame.left > width - 7 ? "as wide as fits" : place);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const Args args(argv + 1, argv + argc);
    const std::map<std::string, void (*)(const Args&)> cases = {
        {"versions", Versions}, {"window", Window}, {"saving", Saving}, {"layout", Layout}};
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
