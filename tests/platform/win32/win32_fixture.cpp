#include "win32_fixture.h"

#include <commctrl.h>

#include <mutex>

namespace win32_test {
namespace {

struct Recorder {
  std::vector<Seen> seen;
  std::intptr_t initParam = 0;
  std::string rewriteWhen;
  std::string rewriteTo;
  bool handleClose = false;
};
Recorder& recorder() {
  static Recorder r;
  return r;
}

std::string textOf(HWND w) {
  char buffer[256] = "";
  GetWindowTextA(w, buffer, sizeof buffer);
  return buffer;
}

} // namespace

void pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) != 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

std::vector<Seen>& seen() { return recorder().seen; }
std::intptr_t& initParam() { return recorder().initParam; }
void rewriteOnUpdate(const std::string& when, const std::string& to) {
  recorder().rewriteWhen = when;
  recorder().rewriteTo = to;
}
void handleClose(bool handle) { recorder().handleClose = handle; }

std::vector<std::string> textsOf(unsigned code) {
  std::vector<std::string> texts;
  for (const Seen& s : seen()) {
    if (s.message == WM_COMMAND && s.code == code) texts.push_back(s.text);
  }
  return texts;
}

std::intptr_t recordingProc(platform::Window, unsigned message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
  Recorder& r = recorder();
  Seen s;
  s.message = message;
  s.lParam = lParam;
  switch (message) {
    case WM_INITDIALOG:
      r.initParam = lParam;
      r.seen.push_back(s);
      return TRUE;
    case WM_COMMAND: {
      s.id = LOWORD(wParam);
      s.code = HIWORD(wParam);
      HWND control = reinterpret_cast<HWND>(lParam);
      s.text = control != nullptr ? textOf(control) : "";
      s.selection = control != nullptr ? static_cast<int>(SendMessageA(control, CB_GETCURSEL, 0, 0)) : -1;
      r.seen.push_back(s);
      if (s.code == EN_UPDATE && !r.rewriteWhen.empty() && s.text == r.rewriteWhen) {
        SetWindowTextA(control, r.rewriteTo.c_str());
      }
      return 0;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
      s.code = LOWORD(wParam);
      s.position = static_cast<short>(HIWORD(wParam));
      r.seen.push_back(s);
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code != UDN_DELTAPOS) return 0;
      const auto* updown = reinterpret_cast<const NMUPDOWN*>(lParam);
      s.id = static_cast<unsigned>(wParam);
      s.code = header->code;
      s.position = updown->iPos;
      s.delta = updown->iDelta;
      r.seen.push_back(s);
      return 0;
    }
    case WM_CLOSE:
      r.seen.push_back(s);
      return r.handleClose ? 1 : 0;
    case WM_TIMER:
      s.id = static_cast<unsigned>(wParam);
      r.seen.push_back(s);
      return 0;
    default:
      return 0;
  }
}

namespace {

struct BoxState {
  HHOOK hook = nullptr;
  std::vector<int> answers;
  std::vector<BoxSeen> boxes;
};
BoxState& boxState() {
  static BoxState state;
  return state;
}

// A message box is a dialog with a static of id 0xFFFF holding its text.
LRESULT CALLBACK answerBoxes(int code, WPARAM wParam, LPARAM lParam) {
  BoxState& state = boxState();
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char className[16] = "";
    GetClassNameA(box, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && GetDlgItem(box, 0xFFFF) != nullptr) {
      char text[512] = "";
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
      state.boxes.push_back(BoxSeen{text, textOf(box), GetWindow(box, GW_OWNER)});
      int answer = IDOK;
      if (!state.answers.empty()) {
        answer = state.answers.front();
        state.answers.erase(state.answers.begin());
      }
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    }
  }
  return CallNextHookEx(state.hook, code, wParam, lParam);
}

} // namespace

MessageBoxAnswers::MessageBoxAnswers() {
  boxState() = BoxState{};
  boxState().hook = SetWindowsHookExA(WH_CBT, answerBoxes, nullptr, GetCurrentThreadId());
}
MessageBoxAnswers::~MessageBoxAnswers() {
  UnhookWindowsHookEx(boxState().hook);
  boxState().hook = nullptr;
}
void MessageBoxAnswers::queue(int answer) { boxState().answers.push_back(answer); }
const std::vector<BoxSeen>& MessageBoxAnswers::boxes() const { return boxState().boxes; }

namespace {

struct DebugState {
  std::mutex mutex;
  std::vector<std::string> lines;
  PVOID handler = nullptr;
};
DebugState& debugState() {
  static DebugState state;
  return state;
}

// OutputDebugStringA raises DBG_PRINTEXCEPTION_C with the text's length
// (terminator included) and address; the search goes on to the system's own
// handler, which lets the program continue.
LONG CALLBACK catchDebugLine(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
    const auto length = static_cast<std::size_t>(record->ExceptionInformation[0]);
    const auto* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    std::string line(text, length > 0 ? length - 1 : 0);
    DebugState& state = debugState();
    std::lock_guard lock(state.mutex);
    state.lines.push_back(std::move(line));
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

DebugLines::DebugLines() {
  DebugState& state = debugState();
  {
    std::lock_guard lock(state.mutex);
    state.lines.clear();
  }
  state.handler = AddVectoredExceptionHandler(1, catchDebugLine);
}
DebugLines::~DebugLines() { RemoveVectoredExceptionHandler(debugState().handler); }
std::vector<std::string> DebugLines::lines() const {
  DebugState& state = debugState();
  std::lock_guard lock(state.mutex);
  return state.lines;
}

void Win32Test::SetUp() {
  seen().clear();
  initParam() = 0;
  rewriteOnUpdate("", "");
  handleClose(false);
  pump();
}

void Win32Test::TearDown() {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    if (IsWindow(*it)) DestroyWindow(*it);
  }
  pump();
}

platform::Window Win32Test::keep(platform::Window w) {
  windows_.push_back(w);
  return w;
}

platform::Window Win32Test::hostWindow(const char* title, platform::Rect outer) {
  HWND w = CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, outer.left, outer.top,
                           outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, nullptr, nullptr);
  return keep(w);
}

platform::Rect clientRectOf(platform::Window control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return platform::Rect{r.left, r.top, r.right, r.bottom};
}

} // namespace win32_test
