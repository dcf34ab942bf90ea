// probe.exe: a small console program that the end-to-end harness runs under
// Wine, next to the application under test, to report facts about its
// windows as JSON on stdout.
//
//   probe.exe tree CLASSNAME                     one top-level window and its children
//   probe.exe text CLASSNAME CONTROL_ID OUTFILE  a control's whole text, raw ANSI bytes
//   probe.exe windows                            all visible top-level windows
//   probe.exe scroll CLASSNAME CONTROL_ID        scroll and selection state of an edit box
//   probe.exe clip INFILE                        put a file's bytes on the clipboard as text
//
// Exit code 0 on success; 1 with {"error": ...} when a window or control is
// missing or a message could not be delivered; 2 for a usage error.
//
// Build: i686-w64-mingw32-g++-win32 -static -O2 -Wall -Wextra -o probe.exe probe.cpp -luser32 -lgdi32

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

// Milliseconds to wait for a reply from the window's thread.
const UINT kShortTimeout = 5000;
const UINT kLongTimeout = 60000;
// Longest child text reported by the "windows" command.
const size_t kListTextLimit = 4096;

// ---------------------------------------------------------------- JSON output

void AppendString(std::string &out, const char *s, size_t n) {
  static const char hex[] = "0123456789abcdef";
  out += '"';
  for (size_t i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '"') {
      out += "\\\"";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c < 0x20 || c >= 0x7f) {
      // Bytes are Latin-1 code points; anything outside printable ASCII is
      // written as \u00XX so the output stays 7-bit clean.
      out += "\\u00";
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

void AppendString(std::string &out, const std::string &s) {
  AppendString(out, s.data(), s.size());
}

void AppendNumber(std::string &out, long long v) {
  char buf[32];
  snprintf(buf, sizeof buf, "%lld", v);
  out += buf;
}

void AppendKey(std::string &out, const char *key) {
  AppendString(out, key, strlen(key));
  out += ':';
}

void AppendField(std::string &out, const char *key, long long v, bool comma = true) {
  AppendKey(out, key);
  AppendNumber(out, v);
  if (comma) out += ',';
}

void AppendField(std::string &out, const char *key, const std::string &v, bool comma = true) {
  AppendKey(out, key);
  AppendString(out, v);
  if (comma) out += ',';
}

void AppendArray4(std::string &out, const char *key, long a, long b, long c, long d,
                  bool comma = true) {
  AppendKey(out, key);
  out += '[';
  AppendNumber(out, a);
  out += ',';
  AppendNumber(out, b);
  out += ',';
  AppendNumber(out, c);
  out += ',';
  AppendNumber(out, d);
  out += ']';
  if (comma) out += ',';
}

void Emit(const std::string &json) {
  std::string line = json + "\n";
  fwrite(line.data(), 1, line.size(), stdout);
  fflush(stdout);
}

int Fail(const std::string &message) {
  std::string out = "{";
  AppendField(out, "error", message, false);
  out += '}';
  Emit(out);
  return 1;
}

// ------------------------------------------------------------ window helpers

long long HandleValue(HWND h) {
  return static_cast<long long>(reinterpret_cast<ULONG_PTR>(h));
}

std::string ClassOf(HWND h) {
  char buf[256];
  int n = GetClassNameA(h, buf, sizeof buf);
  return std::string(buf, static_cast<size_t>(n > 0 ? n : 0));
}

std::string CaptionOf(HWND h) {
  // GetWindowTextA reads a top-level window's caption without waiting for
  // its thread, so a busy application cannot block the probe here.
  int len = GetWindowTextLengthA(h);
  if (len <= 0) return std::string();
  std::vector<char> buf(static_cast<size_t>(len) + 2);
  int n = GetWindowTextA(h, &buf[0], len + 1);
  return std::string(&buf[0], static_cast<size_t>(n > 0 ? n : 0));
}

// Sends WM_GETTEXTLENGTH / WM_GETTEXT (ANSI). Returns false if the window's
// thread did not answer in time. limit == 0 means no limit.
bool ControlText(HWND h, std::string &text, size_t limit, UINT timeout) {
  text.clear();
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutA(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, timeout, &len))
    return false;
  // The length may be an overestimate (it is allowed to be); leave room for
  // the terminating zero and a little slack.
  size_t cap = static_cast<size_t>(len) + 16;
  if (limit != 0 && cap > limit + 1) cap = limit + 1;
  std::vector<char> buf(cap, '\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutA(h, WM_GETTEXT, static_cast<WPARAM>(cap),
                           reinterpret_cast<LPARAM>(&buf[0]), SMTO_ABORTIFHUNG, timeout, &got))
    return false;
  size_t n = static_cast<size_t>(got);
  if (n > cap - 1) n = cap - 1;
  text.assign(&buf[0], n);
  return true;
}

bool IsEditClass(const std::string &cls) {
  return _stricmp(cls.c_str(), "Edit") == 0 || _strnicmp(cls.c_str(), "RichEdit", 8) == 0;
}

// The first visible top-level window of the class in z-order, or NULL.
HWND FindTop(const char *cls) {
  HWND h = NULL;
  while ((h = FindWindowExA(NULL, h, cls, NULL)) != NULL) {
    if (IsWindowVisible(h)) return h;
  }
  return NULL;
}

struct ChildSearch {
  int id;
  HWND found;
};

BOOL CALLBACK FindChildProc(HWND h, LPARAM lp) {
  ChildSearch *s = reinterpret_cast<ChildSearch *>(lp);
  if (GetDlgCtrlID(h) == s->id) {
    s->found = h;
    return FALSE;
  }
  return TRUE;
}

HWND FindControl(HWND top, int id) {
  HWND h = GetDlgItem(top, id);
  if (h) return h;
  ChildSearch s = {id, NULL};
  EnumChildWindows(top, FindChildProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

bool ParseId(const char *s, int &id) {
  char *end = NULL;
  long v = strtol(s, &end, 0);
  if (end == s || *end != '\0') return false;
  id = static_cast<int>(v);
  return true;
}

// Finds window and control for the commands that take CLASSNAME CONTROL_ID.
int Locate(const char *cls, const char *idText, HWND &top, HWND &ctl) {
  int id = 0;
  if (!ParseId(idText, id)) return Fail(std::string("bad control id: ") + idText);
  top = FindTop(cls);
  if (!top) return Fail(std::string("no visible top-level window of class ") + cls);
  ctl = FindControl(top, id);
  if (!ctl) return Fail(std::string("no control with id ") + idText);
  return 0;
}

// ------------------------------------------------------------------ commands

int CmdTree(const char *cls) {
  HWND top = FindTop(cls);
  if (!top) return Fail(std::string("no visible top-level window of class ") + cls);

  DWORD pid = 0;
  DWORD tid = GetWindowThreadProcessId(top, &pid);

  RECT wr;
  GetWindowRect(top, &wr);
  RECT cr;
  GetClientRect(top, &cr);
  POINT origin = {0, 0};
  ClientToScreen(top, &origin);

  long long focusId = 0;
  HWND focusHwnd = NULL;
  HWND activeHwnd = NULL;
  GUITHREADINFO gti;
  ZeroMemory(&gti, sizeof gti);
  gti.cbSize = sizeof gti;
  if (GetGUIThreadInfo(tid, &gti)) activeHwnd = gti.hwndActive;
  if (gti.hwndFocus) {
    focusHwnd = gti.hwndFocus;
    if (gti.hwndFocus == top)
      focusId = -1;
    else
      focusId = GetDlgCtrlID(gti.hwndFocus);
  }

  std::string out = "{";
  AppendField(out, "hwnd", HandleValue(top));
  AppendField(out, "class", ClassOf(top));
  AppendField(out, "caption", CaptionOf(top));
  AppendField(out, "pid", pid);
  AppendArray4(out, "window", wr.left, wr.top, wr.right, wr.bottom);
  AppendArray4(out, "client", origin.x, origin.y, cr.right - cr.left, cr.bottom - cr.top);
  AppendField(out, "style", static_cast<DWORD>(GetWindowLongA(top, GWL_STYLE)));
  AppendField(out, "exstyle", static_cast<DWORD>(GetWindowLongA(top, GWL_EXSTYLE)));
  AppendField(out, "focus_id", focusId);
  AppendField(out, "focus_hwnd", HandleValue(focusHwnd));
  AppendKey(out, "foreground");
  out += GetForegroundWindow() == top ? "true," : "false,";
  AppendKey(out, "active");
  out += activeHwnd == top ? "true," : "false,";
  AppendKey(out, "children");
  out += '[';
  bool first = true;
  for (HWND c = GetWindow(top, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!first) out += ',';
    first = false;
    std::string cc = ClassOf(c);
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(NULL, top, reinterpret_cast<POINT *>(&r), 2);
    out += '{';
    AppendField(out, "hwnd", HandleValue(c));
    AppendField(out, "id", GetDlgCtrlID(c));
    AppendField(out, "class", cc);
    if (!IsEditClass(cc)) {
      std::string text;
      if (!ControlText(c, text, 0, kShortTimeout))
        return Fail("window did not answer WM_GETTEXT");
      AppendField(out, "text", text);
    }
    AppendArray4(out, "rect", r.left, r.top, r.right - r.left, r.bottom - r.top);
    AppendField(out, "style", static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE)));
    AppendField(out, "exstyle", static_cast<DWORD>(GetWindowLongA(c, GWL_EXSTYLE)));
    AppendKey(out, "visible");
    out += IsWindowVisible(c) ? "true" : "false";
    out += '}';
  }
  out += "]}";
  Emit(out);
  return 0;
}

int CmdText(const char *cls, const char *idText, const char *path) {
  HWND top = NULL, ctl = NULL;
  if (int rc = Locate(cls, idText, top, ctl)) return rc;
  std::string text;
  if (!ControlText(ctl, text, 0, kLongTimeout)) return Fail("window did not answer WM_GETTEXT");
  HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (f == INVALID_HANDLE_VALUE) return Fail(std::string("cannot create ") + path);
  size_t done = 0;
  while (done < text.size()) {
    DWORD wrote = 0;
    DWORD chunk = static_cast<DWORD>(text.size() - done);
    if (!WriteFile(f, text.data() + done, chunk, &wrote, NULL) || wrote == 0) {
      CloseHandle(f);
      return Fail(std::string("cannot write ") + path);
    }
    done += wrote;
  }
  CloseHandle(f);
  std::string out = "{";
  AppendField(out, "file", std::string(path));
  AppendField(out, "length", static_cast<long long>(text.size()), false);
  out += '}';
  Emit(out);
  return 0;
}

struct WindowList {
  std::string json;
  bool first;
};

BOOL CALLBACK ListProc(HWND h, LPARAM lp) {
  WindowList *list = reinterpret_cast<WindowList *>(lp);
  if (!IsWindowVisible(h)) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  RECT r;
  GetWindowRect(h, &r);
  std::string &out = list->json;
  if (!list->first) out += ',';
  list->first = false;
  out += '{';
  AppendField(out, "hwnd", HandleValue(h));
  AppendField(out, "class", ClassOf(h));
  AppendField(out, "caption", CaptionOf(h));
  AppendField(out, "pid", pid);
  AppendArray4(out, "rect", r.left, r.top, r.right, r.bottom);
  AppendKey(out, "foreground");
  out += GetForegroundWindow() == h ? "true," : "false,";
  AppendKey(out, "texts");
  out += '[';
  bool firstChild = true;
  for (HWND c = GetWindow(h, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT)) {
    std::string text;
    // A window whose thread is busy just reports empty texts here.
    ControlText(c, text, kListTextLimit, kShortTimeout);
    if (!firstChild) out += ',';
    firstChild = false;
    AppendString(out, text);
  }
  out += "]}";
  return TRUE;
}

int CmdWindows() {
  WindowList list;
  list.json = "[";
  list.first = true;
  EnumWindows(ListProc, reinterpret_cast<LPARAM>(&list));
  list.json += ']';
  Emit(list.json);
  return 0;
}

int CmdScroll(const char *cls, const char *idText) {
  HWND top = NULL, ctl = NULL;
  if (int rc = Locate(cls, idText, top, ctl)) return rc;
  DWORD_PTR first = 0, count = 0, packed = 0;
  DWORD selStart = 0, selEnd = 0;
  if (!SendMessageTimeoutA(ctl, EM_GETFIRSTVISIBLELINE, 0, 0, SMTO_ABORTIFHUNG, kShortTimeout,
                           &first) ||
      !SendMessageTimeoutA(ctl, EM_GETLINECOUNT, 0, 0, SMTO_ABORTIFHUNG, kShortTimeout, &count) ||
      !SendMessageTimeoutA(ctl, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                           reinterpret_cast<LPARAM>(&selEnd), SMTO_ABORTIFHUNG, kShortTimeout,
                           &packed))
    return Fail("window did not answer");
  std::string out = "{";
  AppendField(out, "first_visible_line", static_cast<long long>(first));
  AppendField(out, "line_count", static_cast<long long>(count));
  AppendField(out, "sel_start", selStart);
  AppendField(out, "sel_end", selEnd, false);
  out += '}';
  Emit(out);
  return 0;
}

// What a user would do with a text copied elsewhere: the bytes of a file
// become the clipboard's CF_TEXT, ready to paste.
int CmdClip(const char *path) {
  FILE *file = fopen(path, "rb");
  if (!file) return Fail("cannot read the file");
  std::string bytes;
  char buffer[65536];
  size_t read;
  while ((read = fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, read);
  fclose(file);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
  if (!memory) return Fail("out of memory");
  char *text = static_cast<char *>(GlobalLock(memory));
  memcpy(text, bytes.data(), bytes.size());
  text[bytes.size()] = '\0';
  GlobalUnlock(memory);
  if (!OpenClipboard(NULL)) return Fail("cannot open the clipboard");
  EmptyClipboard();
  const bool ok = SetClipboardData(CF_TEXT, memory) != NULL;
  CloseClipboard();
  if (!ok) return Fail("cannot set the clipboard");
  std::string out = "{";
  AppendField(out, "bytes", static_cast<long long>(bytes.size()), false);
  out += '}';
  Emit(out);
  return 0;
}

// A message posted as another program would, e.g. WM_COMMAND IDOK to a box.
int CmdPost(const char *cls, const char *message, const char *wparam, const char *lparam) {
  HWND top = FindTop(cls);
  if (!top) return Fail(std::string("no visible top-level window of class ") + cls);
  int values[3];
  if (!ParseId(message, values[0]) || !ParseId(wparam, values[1]) || !ParseId(lparam, values[2]))
    return Fail("bad number");
  if (!PostMessageA(top, static_cast<UINT>(values[0]), static_cast<WPARAM>(values[1]), values[2]))
    return Fail("PostMessage failed");
  Emit("{}");
  return 0;
}

int Usage() {
  fputs("usage: probe.exe tree CLASS | text CLASS ID OUTFILE | windows |"
        " scroll CLASS ID | clip INFILE | post CLASS MSG WPARAM LPARAM\n",
        stderr);
  return 2;
}

}  // namespace

int main(int argc, char **argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) return Usage();
  std::string cmd = argv[1];
  if (cmd == "tree" && argc == 3) return CmdTree(argv[2]);
  if (cmd == "text" && argc == 5) return CmdText(argv[2], argv[3], argv[4]);
  if (cmd == "windows" && argc == 2) return CmdWindows();
  if (cmd == "scroll" && argc == 4) return CmdScroll(argv[2], argv[3]);
  if (cmd == "clip" && argc == 3) return CmdClip(argv[2]);
  if (cmd == "post" && argc == 6) return CmdPost(argv[2], argv[3], argv[4], argv[5]);
  return Usage();
}
