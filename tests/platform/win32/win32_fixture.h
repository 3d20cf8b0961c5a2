// What the tests of the Win32 backend need around real windows: a record
// of what a dialog procedure received, message boxes answered by a hook,
// debug lines caught in-process, and running the message loop.
#pragma once

#include "platform/platform.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace win32_test {

// Delivers every message waiting for this thread (posted messages and the
// input the tests send), as the program's message loop would.
void pump();

// One message a dialog procedure received.
struct Seen {
  unsigned message = 0;
  unsigned id = 0;           // WM_COMMAND: the control id; WM_NOTIFY: wParam
  unsigned code = 0;         // notification or scroll code
  int position = 0;          // scroll position, or UDN_DELTAPOS's old position
  int delta = 0;             // UDN_DELTAPOS
  std::string text;          // the notifying control's text then
  int selection = -1;        // a combo box's selection then
  std::intptr_t lParam = 0;
};

// A dialog procedure that records what it receives in `seen()`; at
// WM_INITDIALOG it keeps the init parameter in `initParam()`.
std::intptr_t recordingProc(platform::Window dialog, unsigned message, std::uintptr_t wParam,
                            std::intptr_t lParam);
std::vector<Seen>& seen();
std::intptr_t& initParam();
// What a recorded EN_UPDATE with this text makes the procedure write into
// the same edit ("" = nothing).
void rewriteOnUpdate(const std::string& when, const std::string& to);
// Whether the procedure handles WM_CLOSE itself.
void handleClose(bool handle);

// The notifications of one code, as the texts the control had then.
std::vector<std::string> textsOf(unsigned code);

// Message boxes: each one shown is recorded and answered at once with the
// next queued answer (IDOK when none is queued).
struct BoxSeen {
  std::string text;
  std::string caption;
  HWND owner = nullptr;
};
class MessageBoxAnswers {
public:
  MessageBoxAnswers();
  ~MessageBoxAnswers();
  MessageBoxAnswers(const MessageBoxAnswers&) = delete;
  MessageBoxAnswers& operator=(const MessageBoxAnswers&) = delete;
  void queue(int answer);
  const std::vector<BoxSeen>& boxes() const;
};

// Debug lines written by OutputDebugStringA while the object lives, caught
// in this process as the debugger would see them.
class DebugLines {
public:
  DebugLines();
  ~DebugLines();
  DebugLines(const DebugLines&) = delete;
  DebugLines& operator=(const DebugLines&) = delete;
  std::vector<std::string> lines() const;
};

// Every test starts without windows of its own and leaves none behind.
class Win32Test : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // Destroyed at the end of the test.
  platform::Window keep(platform::Window w);
  // A top-level window as a host would create it (outer rectangle given).
  platform::Window hostWindow(const char* title, platform::Rect outer);

private:
  std::vector<platform::Window> windows_;
};

// The rectangle of a control in its dialog's client pixels.
platform::Rect clientRectOf(platform::Window control);

} // namespace win32_test
