// varnex-panel-pictures: shows the shipped driver's options window and each
// of its panels in turn, with the Win32 backend's real dialogs, so that a
// script can photograph them (scripts/panel-pictures.sh).
//
// It loads the driver DLL next to itself by path, as a host does, opens it
// against the simulated camera, gives it a host window and opens the options
// window. Every button of that window whose caption ends in " >>" is a
// section: its panel is opened, shown, and closed again, hidden buttons
// included, so that every panel the window knows is photographed.
//
// Protocol on the standard streams, one line each: for every picture the
// program writes "picture <name> <left> <top> <right> <bottom>" (the
// window's rectangle on the desktop: the options window, then each panel) and
// waits for any line on its input before it goes on. Exit status 0 when
// every picture was offered, 1 otherwise (with the reason on stderr).
#include "driver/acq_api.h"
#include "driver/acq_control.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace {

// The dialogs are drawn by their message loop: run it for a while.
void pumpMessages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(20);
  }
}

BOOL CALLBACK collectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

// This thread's visible top-level windows.
std::set<HWND> visibleWindows() {
  std::vector<HWND> all;
  EnumThreadWindows(GetCurrentThreadId(), collectWindow, reinterpret_cast<LPARAM>(&all));
  std::set<HWND> shown;
  for (HWND window : all)
    if (IsWindowVisible(window)) shown.insert(window);
  return shown;
}

// The one visible window in `after` that is not in `before`, or null.
HWND newWindow(const std::set<HWND>& before, const std::set<HWND>& after) {
  for (HWND window : after)
    if (before.count(window) == 0) return window;
  return nullptr;
}

std::string windowText(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

struct Section {
  int id;
  std::string name;  // the caption without " >>", as a file name
};

std::string fileName(const std::string& caption) {
  std::string name;
  for (char c : caption) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalnum(u)) {
      name += static_cast<char>(std::tolower(u));
    } else if (!name.empty() && name.back() != '-') {
      name += '-';
    }
  }
  while (!name.empty() && name.back() == '-') name.pop_back();
  return name;
}

// The options window's section buttons, in the window's child order.
std::vector<Section> sections(HWND options) {
  std::vector<HWND> children;
  EnumChildWindows(options, collectWindow, reinterpret_cast<LPARAM>(&children));
  std::vector<Section> found;
  const std::string mark = " >>";
  for (HWND child : children) {
    char kind[32] = {};
    GetClassNameA(child, kind, sizeof kind);
    const std::string caption = windowText(child);
    if (lstrcmpiA(kind, "Button") != 0 || caption.size() <= mark.size() ||
        caption.compare(caption.size() - mark.size(), mark.size(), mark) != 0)
      continue;
    found.push_back({GetDlgCtrlID(child), fileName(caption.substr(0, caption.size() - mark.size()))});
  }
  return found;
}

// Offers one picture of the windows' joint rectangle and waits for the go.
bool offerPicture(const std::string& name, std::initializer_list<HWND> windows) {
  RECT all{};
  bool first = true;
  for (HWND window : windows) {
    RECT r{};
    if (window == nullptr || !GetWindowRect(window, &r)) continue;
    if (first) {
      all = r;
      first = false;
    } else {
      UnionRect(&all, &all, &r);
    }
  }
  std::printf("picture %s %ld %ld %ld %ld\n", name.c_str(), all.left, all.top, all.right, all.bottom);
  std::fflush(stdout);
  std::string answer;
  return static_cast<bool>(std::getline(std::cin, answer));
}

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

int fail(const std::string& reason) {
  std::fprintf(stderr, "varnex-panel-pictures: %s\n", reason.c_str());
  return 1;
}

template <class Function>
Function exported(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

} // namespace

int main() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path(self);
  path = path.substr(0, path.find_last_of("\\/") + 1) + "varnexacq.dll";
  HMODULE library = LoadLibraryA(path.c_str());
  if (library == nullptr) return fail("cannot load " + path);
  const auto open = exported<decltype(&AcqOpen)>(library, "AcqOpen");
  const auto close = exported<decltype(&AcqClose)>(library, "AcqClose");
  const auto control = exported<decltype(&AcqControl)>(library, "AcqControl");
  if (open == nullptr || close == nullptr || control == nullptr) return fail("the driver lacks an export");

  WNDCLASSA hostClass{};
  hostClass.lpfnWndProc = hostWindowProc;
  hostClass.hInstance = GetModuleHandleA(nullptr);
  hostClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  hostClass.lpszClassName = "VarnexPicturesHost";
  RegisterClassA(&hostClass);
  HWND host = CreateWindowExA(0, hostClass.lpszClassName, "Pixora", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 240, 200,
                              nullptr, nullptr, hostClass.hInstance, nullptr);
  if (host == nullptr) return fail("cannot create the host window");
  SetForegroundWindow(host);
  pumpMessages(200);

  if (open() != 0) return fail("AcqOpen failed");
  int status = 0;
  control(ACQCMD_HOST_WINDOW, 0, host);
  const std::set<HWND> before = visibleWindows();
  control(ACQCMD_OPTIONS_WINDOW, 0, nullptr);
  pumpMessages(400);
  HWND options = newWindow(before, visibleWindows());
  if (options == nullptr) {
    status = fail("the options window did not open");
  } else if (!offerPicture("options-window", {options})) {
    status = fail("no answer on the input");
  } else {
    for (const Section& section : sections(options)) {
      const std::set<HWND> closed = visibleWindows();
      SendMessageA(options, WM_COMMAND, MAKEWPARAM(section.id, BN_CLICKED), 0);
      pumpMessages(400);
      HWND panel = newWindow(closed, visibleWindows());
      if (panel == nullptr) {
        status = fail("the panel of " + section.name + " did not open");
        continue;
      }
      if (!offerPicture(section.name, {panel})) {
        status = fail("no answer on the input");
        break;
      }
      SendMessageA(options, WM_COMMAND, MAKEWPARAM(section.id, BN_CLICKED), 0);
      pumpMessages(200);
    }
  }
  close();
  DestroyWindow(host);
  FreeLibrary(library);
  return status;
}
