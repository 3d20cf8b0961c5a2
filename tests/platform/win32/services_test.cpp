// Message boxes, debug output, windows and status bars, timers and the
// message loop, events, palettes and drawing, and the file-open dialog,
// each through the Win32 backend and seen the way a user or debugger sees it.
#include "support/scratch_folder.h"
#include "win32_fixture.h"

#include <commctrl.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace platform;
using namespace win32_test;

namespace {

class ServicesTest : public Win32Test {};

TEST_F(ServicesTest, MessageBoxesShowTheirTextAndReturnTheAnswer) {
  const Window owner = hostWindow("Host", {0, 0, 400, 300});
  MessageBoxAnswers answers;
  answers.queue(IDCANCEL);
  EXPECT_EQ(messageBox(owner, "Could not set Brightness: 31", "ERROR", MB_OKCANCEL | MB_ICONERROR), IDCANCEL);
  EXPECT_EQ(messageBox(nullptr, "Unable to display.", "VARCAM - Good", MB_OK), IDOK);
  ASSERT_EQ(answers.boxes().size(), 2u);
  EXPECT_EQ(answers.boxes()[0].text, "Could not set Brightness: 31");
  EXPECT_EQ(answers.boxes()[0].caption, "ERROR");
  EXPECT_EQ(answers.boxes()[0].owner, owner);
  EXPECT_EQ(answers.boxes()[1].caption, "VARCAM - Good");
}

TEST_F(ServicesTest, DebugLinesReachTheDebuggerInOrderFromAnyThread) {
  DebugLines debug;
  debugOutput("ACQControl: message: 21, 0, 0\n");
  std::thread other([] { debugOutput("VARBASE EXPOSURE: from the streaming thread"); });
  other.join();
  debugOutput(nullptr);
  EXPECT_EQ(debug.lines(), (std::vector<std::string>{"ACQControl: message: 21, 0, 0\n",
                                                     "VARBASE EXPOSURE: from the streaming thread", ""}));
}

TEST_F(ServicesTest, WindowsMoveShowEnableAndCarryText) {
  const Window w = hostWindow("Preview", {10, 20, 330, 260});
  Rect r{};
  ASSERT_TRUE(getWindowRect(w, &r));
  EXPECT_EQ(r, (Rect{10, 20, 330, 260}));
  EXPECT_TRUE(moveWindow(w, 50, 60, 328, 274, true));
  ASSERT_TRUE(getWindowRect(w, &r));
  EXPECT_EQ(r, (Rect{50, 60, 378, 334}));
  EXPECT_TRUE(setWindowPos(w, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
  ASSERT_TRUE(getWindowRect(w, &r));
  EXPECT_EQ(r, (Rect{50, 60, 250, 160}));
  Rect client{};
  ASSERT_TRUE(getClientRect(w, &client));
  EXPECT_EQ(client.left, 0);
  EXPECT_LT(client.right, 200);  // less the frame

  EXPECT_TRUE(showWindow(w, SW_HIDE));  // it was visible
  EXPECT_FALSE(isWindowVisible(w));
  EXPECT_FALSE(showWindow(w, SW_SHOWNOACTIVATE));
  EXPECT_TRUE(isWindowVisible(w));
  EXPECT_FALSE(enableWindow(w, false));  // it was enabled
  EXPECT_FALSE(isWindowEnabled(w));
  EXPECT_TRUE(enableWindow(w, true));

  EXPECT_TRUE(setWindowText(w, "VARNEX Preview"));
  char text[8];
  EXPECT_EQ(getWindowText(w, text, sizeof text), 7);  // cut to the buffer
  EXPECT_STREQ(text, "VARNEX ");
  EXPECT_EQ(getWindowText(w, nullptr, 8), 0);

  EXPECT_TRUE(destroyWindow(w));
  EXPECT_FALSE(isWindow(w));
  EXPECT_FALSE(getWindowRect(w, &r));
}

TEST_F(ServicesTest, StatusBarKeepsItsPartsAndTexts) {
  const Window w = hostWindow("Preview", {0, 0, 328, 274});
  const Window bar = createStatusBar(w, 1);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetParent(bar), w);
  EXPECT_EQ(dialogControlId(bar), 1);
  const int edges[] = {100, 200, -1};
  EXPECT_TRUE(statusBarSetParts(bar, 3, edges));
  EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 0, 0), 3);
  EXPECT_TRUE(statusBarSetText(bar, 2, "  Display: 29.97 fps"));
  char text[64] = "";
  SendMessageA(bar, SB_GETTEXTA, 2, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "  Display: 29.97 fps");
  EXPECT_FALSE(statusBarSetText(bar, 3, "no such part"));
  EXPECT_FALSE(statusBarSetParts(bar, 0, edges));
  EXPECT_FALSE(statusBarSetText(w, 0, "not a status bar"));
  EXPECT_EQ(createStatusBar(nullptr, 1), nullptr);
}

std::vector<std::uintptr_t> ticks;
void recordTick(Window, unsigned message, std::uintptr_t id, std::uint32_t) {
  if (message == WM_TIMER) ticks.push_back(id);
}

TEST_F(ServicesTest, WindowlessTimersKeepTheirIdsThroughTheLoop) {
  ticks.clear();
  ASSERT_EQ(setTimer(nullptr, 4112, 10, recordTick), 4112u);
  Message m;
  const DWORD start = GetTickCount();
  while (ticks.size() < 2 && GetTickCount() - start < 5000) {
    if (peekMessage(&m, true)) {
      if (m.message == WM_TIMER) {
        EXPECT_EQ(m.wParam, 4112u);
      }
      dispatchMessage(m);
    } else {
      waitMessage();
    }
  }
  EXPECT_EQ(ticks, (std::vector<std::uintptr_t>{4112, 4112}));
  EXPECT_TRUE(killTimer(nullptr, 4112));
  EXPECT_FALSE(killTimer(nullptr, 4112));
  const std::uintptr_t chosen = setTimer(nullptr, 0, 10, recordTick);
  EXPECT_NE(chosen, 0u);
  EXPECT_TRUE(killTimer(nullptr, chosen));
}

TEST_F(ServicesTest, WindowTimersReachTheDialogProcedure) {
  const DialogTemplate t{9, "Options", {0, 0, 126, 103}, nullptr, 0};
  const Window d = keep(createDialog(t, nullptr, recordingProc, 0));
  ASSERT_EQ(setTimer(d, 7, 10, nullptr), 7u);
  Message m;
  const DWORD start = GetTickCount();
  bool got = false;
  while (!got && GetTickCount() - start < 5000) {
    if (!peekMessage(&m, true)) {
      waitMessage();
      continue;
    }
    dispatchMessage(m);
    for (const Seen& s : seen()) got = got || (s.message == WM_TIMER && s.id == 7);
  }
  EXPECT_TRUE(got);
  EXPECT_TRUE(killTimer(d, 7));
  EXPECT_EQ(setTimer(reinterpret_cast<Window>(std::uintptr_t{0x1234}), 1, 10, nullptr), 0u);
}

TEST_F(ServicesTest, EventsWakeWaitersAcrossThreads) {
  const EventHandle manual = createEvent(true, false);
  const EventHandle automatic = createEvent(false, true);
  ASSERT_NE(manual, nullptr);
  EXPECT_EQ(waitForSingleObject(manual, 0), WAIT_TIMEOUT);
  EXPECT_EQ(waitForSingleObject(automatic, 0), WAIT_OBJECT_0);
  EXPECT_EQ(waitForSingleObject(automatic, 0), WAIT_TIMEOUT);  // reset by the wait
  std::thread setter([manual] {
    sleep(20);
    setEvent(manual);
  });
  EXPECT_EQ(waitForSingleObject(manual, INFINITE_WAIT), WAIT_OBJECT_0);
  setter.join();
  EXPECT_EQ(waitForSingleObject(manual, 0), WAIT_OBJECT_0);  // stays set
  EXPECT_TRUE(resetEvent(manual));
  EXPECT_EQ(waitForSingleObject(manual, 10), WAIT_TIMEOUT);
  EXPECT_TRUE(closeEvent(manual));
  EXPECT_TRUE(closeEvent(automatic));
  EXPECT_EQ(waitForSingleObject(nullptr, 0), WAIT_FAILED);
}

TEST_F(ServicesTest, GreyPaletteBitmapsDrawPixelExact) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  BITMAPINFO target{};
  target.bmiHeader.biSize = sizeof target.bmiHeader;
  target.bmiHeader.biWidth = 4;
  target.bmiHeader.biHeight = -2;  // top-down, to read back
  target.bmiHeader.biPlanes = 1;
  target.bmiHeader.biBitCount = 32;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &target, DIB_RGB_COLORS, &pixels, nullptr, 0);
  HGDIOBJ previous = SelectObject(dc, bitmap);

  PaletteEntry entries[256];
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<std::uint8_t>(i);
    entries[i] = PaletteEntry{v, v, v, 0};
  }
  const PaletteHandle palette = createPalette(0x300, entries, 256);
  ASSERT_NE(palette, nullptr);
  selectPalette(dc, palette, false);
  realizePalette(dc);
  // An 8-bit bottom-up source with an RGB colour table of greys.
  struct {
    BitmapInfoHeader header;
    RGBQUAD colours[256];
  } source{};
  source.header.width = 4;
  source.header.height = 2;
  source.header.bitCount = 8;
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<BYTE>(i);
    source.colours[i] = RGBQUAD{v, v, v, 0};
  }
  const std::uint8_t rows[8] = {10, 20, 30, 40, 50, 60, 70, 80};  // bottom row first
  EXPECT_EQ(setDIBitsToDevice(dc, 0, 0, 4, 2, 0, 0, 0, 2, rows, &source, DIB_RGB_COLORS), 2);
  GdiFlush();
  const auto* out = static_cast<const std::uint32_t*>(pixels);
  EXPECT_EQ(out[0] & 0xFF, 50u);  // top-left comes from the second (top) source row
  EXPECT_EQ(out[7] & 0xFF, 40u);
  EXPECT_EQ(setDIBitsToDevice(dc, 0, 0, 4, 2, 0, 0, 0, 2, nullptr, &source, DIB_RGB_COLORS), 0);

  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
  EXPECT_TRUE(deletePalette(palette));
  EXPECT_EQ(createPalette(0x300, nullptr, 256), nullptr);
}

// The file-open dialog answered by a hook once it is active: Cancel, or a
// path typed into its file name field and OK.
struct FileDialogAnswer {
  HHOOK hook = nullptr;
  std::string path;  // empty: Cancel
};
FileDialogAnswer* fileAnswer = nullptr;

LRESULT CALLBACK answerFileDialog(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && fileAnswer != nullptr) {
    HWND dialog = reinterpret_cast<HWND>(wParam);
    if (fileAnswer->path.empty()) {
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    } else {
      // The file name field is combo box 1148 (an edit, 1152, in older dialogs).
      if (SetDlgItemTextA(dialog, 1148, fileAnswer->path.c_str()) == 0) {
        SetDlgItemTextA(dialog, 1152, fileAnswer->path.c_str());
      }
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
  }
  return CallNextHookEx(fileAnswer != nullptr ? fileAnswer->hook : nullptr, code, wParam, lParam);
}

TEST_F(ServicesTest, FileOpenDialogGivesTheChosenPathOrCancel) {
  // The dialog makes the folder it opened from the current one.
  const std::filesystem::path previous = std::filesystem::current_path();
  const vxtest::ScratchFolder scratch;
  const std::filesystem::path dir = scratch.path();
  const std::string file = (dir / "overlay.bmp").string();
  std::ofstream(file) << "BM";
  FileDialogAnswer answer;
  fileAnswer = &answer;
  answer.hook = SetWindowsHookExA(WH_CBT, answerFileDialog, nullptr, GetCurrentThreadId());
  const OpenFileRequest request{nullptr, "bitmap files (*.bmp)\0*.bmp\0All files (*.*)\0*.*\0\0",
                                "Open bitmap overlay file", "", dir.string().c_str(),
                                OFN_FILEMUSTEXIST | OFN_HIDEREADONLY};
  char path[260] = "unchanged";
  EXPECT_FALSE(getOpenFileName(request, path, sizeof path));
  answer.path = file;
  ASSERT_TRUE(getOpenFileName(request, path, sizeof path));
  EXPECT_EQ(std::filesystem::path(path), std::filesystem::path(file));
  char small[6];
  ASSERT_TRUE(getOpenFileName(request, small, sizeof small));
  EXPECT_EQ(std::string(small), file.substr(0, 5));  // cut to the buffer, terminated
  UnhookWindowsHookEx(answer.hook);
  fileAnswer = nullptr;
  std::filesystem::current_path(previous);
}

} // namespace
