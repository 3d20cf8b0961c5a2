// Windows: foreign host windows, geometry, activation and status bars.
#include "platform_fixture.h"

#include <string>
#include <vector>

using namespace platform;
using namespace platform::headless;

namespace {

class WindowTest : public PlatformTest {};

Window fakeHandle(std::uintptr_t value) { return reinterpret_cast<Window>(value); }

std::vector<std::string> operationsOn(Window w) {
  std::vector<std::string> result;
  for (const auto& op : windowOperations()) {
    if (op.window == w) result.push_back(op.operation);
  }
  return result;
}

TEST_F(WindowTest, ForeignWindowsAreAcceptedModelledAndRecorded) {
  const Window host = fakeHandle(0x10040);
  EXPECT_EQ(windowInfo(host).exists, false);  // not used yet
  EXPECT_TRUE(isWindow(host));
  WindowInfo info = windowInfo(host);
  EXPECT_TRUE(info.exists);
  EXPECT_TRUE(info.foreign);
  EXPECT_TRUE(info.visible);
  EXPECT_EQ(info.windowRect, kForeignWindowRect);

  EXPECT_TRUE(setWindowPos(host, nullptr, 10, 20, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE));
  EXPECT_TRUE(setWindowPos(host, nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
  EXPECT_TRUE(setWindowPos(host, nullptr, 0, 0, 328, 274, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
  Rect r;
  ASSERT_TRUE(getWindowRect(host, &r));
  EXPECT_EQ(r, (Rect{50, 60, 378, 334}));
  ASSERT_TRUE(getClientRect(host, &r));
  EXPECT_EQ(r, (Rect{0, 0, 320, 240}));
  EXPECT_TRUE(showWindow(host, SW_HIDE));  // it was visible
  EXPECT_FALSE(isWindowVisible(host));
  EXPECT_TRUE(setWindowText(host, "Live"));
  EXPECT_TRUE(destroyWindow(host));
  EXPECT_FALSE(isWindow(host));  // gone for good, not modelled again

  EXPECT_EQ(operationsOn(host),
            (std::vector<std::string>{"setWindowPos 10 20 300 200 flags=0x14",
                                      "setWindowPos 50 60 0 0 flags=0x5",
                                      "setWindowPos 0 0 328 274 flags=0x16", "showWindow 0",
                                      "setWindowText Live", "destroyWindow"}));
  EXPECT_FALSE(isWindow(nullptr));
}

TEST_F(WindowTest, ActivationFollowsShowingAndPlacement) {
  const Window host = createHostWindow("Pixora", {0, 0, 1024, 768});
  EXPECT_EQ(activeWindow(), host);
  const Window other = fakeHandle(0x20080);
  showWindow(other, SW_SHOWNOACTIVATE);
  EXPECT_EQ(activeWindow(), host);
  setWindowPos(other, nullptr, 0, 0, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(activeWindow(), host);
  setWindowPos(other, nullptr, 0, 0, 10, 10, SWP_NOZORDER);
  EXPECT_EQ(activeWindow(), other);
  setActiveWindow(host);
  EXPECT_EQ(activeWindow(), host);

  const DialogTemplate t{9, "More Options...", {0, 0, 126, 103}, nullptr, 0};
  const Window options = createDialog(t, host, nullptr, 0);
  showWindow(options, SW_SHOW);
  EXPECT_EQ(activeWindow(), options);
  showWindow(options, SW_HIDE);
  EXPECT_EQ(activeWindow(), host);  // back to the owner
}

TEST_F(WindowTest, TopLevelFrameAndControlPositions) {
  const ControlTemplate controls[] = {{1048, ControlKind::Button, "Mirror >>", {3, 5, 117, 26}},
                                      {8, ControlKind::Button, "Close", {25, 53, 89, 74}}};
  const DialogTemplate t{9, "More Options...", {600, 162, 726, 265}, controls, 2};
  const Window d = createDialog(t, nullptr, nullptr, 0);
  Rect r;
  ASSERT_TRUE(getClientRect(d, &r));
  EXPECT_EQ(r, (Rect{0, 0, 118, 69}));
  const Window button = dialogItem(d, 1048);
  ASSERT_TRUE(getWindowRect(button, &r));
  EXPECT_EQ(r, (Rect{607, 197, 721, 218}));  // client origin (604, 192)
  ASSERT_TRUE(getClientRect(button, &r));
  EXPECT_EQ(r, (Rect{0, 0, 114, 21}));

  // Children move with their dialog and are placed in its client pixels.
  moveWindow(d, 0, 0, 126, 103, true);
  setWindowPos(button, nullptr, 3, 29, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_TRUE(getWindowRect(button, &r));
  EXPECT_EQ(r, (Rect{7, 59, 121, 80}));
  EXPECT_EQ(controlInfo(d, 1048).rect, (Rect{3, 29, 117, 50}));

  // A child is visible only when its dialog is.
  EXPECT_FALSE(isWindowVisible(button));
  showWindow(d, SW_SHOWNOACTIVATE);
  EXPECT_TRUE(isWindowVisible(button));
  showWindow(button, SW_HIDE);
  EXPECT_FALSE(isWindowVisible(button));
  EXPECT_FALSE(controlInfo(d, 1048).visible);

  EXPECT_FALSE(enableWindow(button, false));  // was enabled
  EXPECT_FALSE(isWindowEnabled(button));
  EXPECT_TRUE(enableWindow(button, true));  // was disabled
  EXPECT_EQ(operationsOn(button).back(), "enableWindow 1");
}

TEST_F(WindowTest, StatusBarDocksAtTheFootAndKeepsPartsAndTexts) {
  const Window preview = fakeHandle(0x30000);
  setWindowPos(preview, nullptr, 0, 0, 328, 274, SWP_NOZORDER);  // client 320 x 240
  const Window bar = createStatusBar(preview, 200);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(statusBarOf(preview), bar);
  WindowInfo info = windowInfo(bar);
  EXPECT_EQ(info.className, "msctls_statusbar32");
  EXPECT_EQ(info.owner, preview);
  EXPECT_EQ(info.controlId, 200);
  Rect r;
  ASSERT_TRUE(getClientRect(bar, &r));
  EXPECT_EQ(r, (Rect{0, 0, 320, 20}));
  ASSERT_TRUE(getWindowRect(bar, &r));
  EXPECT_EQ(r, (Rect{4, 250, 324, 270}));

  const int edges[] = {100, 200, -1};
  EXPECT_TRUE(statusBarSetParts(bar, 3, edges));
  EXPECT_TRUE(statusBarSetText(bar, 0, "  Capturing..."));
  EXPECT_TRUE(statusBarSetText(bar, 2, "15.0 fps"));
  EXPECT_FALSE(statusBarSetText(bar, 3, "no such part"));
  EXPECT_FALSE(statusBarSetParts(bar, 0, edges));
  EXPECT_FALSE(statusBarSetText(preview, 0, "not a status bar"));
  info = windowInfo(bar);
  EXPECT_EQ(info.statusParts, (std::vector<int>{100, 200, -1}));
  EXPECT_EQ(info.statusTexts, (std::vector<std::string>{"  Capturing...", "", "15.0 fps"}));

  // Resizing the parent docks the bar again.
  moveWindow(preview, 0, 0, 648, 514, true);
  ASSERT_TRUE(getWindowRect(bar, &r));
  EXPECT_EQ(r, (Rect{4, 490, 644, 510}));

  EXPECT_EQ(operationsOn(preview).back(), "moveWindow 0 0 648 514 repaint=1");
  EXPECT_EQ(operationsOn(preview)[1], "createStatusBar 200");

  destroyWindow(preview);
  EXPECT_FALSE(isWindow(bar));
}

TEST_F(WindowTest, ResetForgetsEverything) {
  const Window host = createHostWindow("Host", {0, 0, 100, 100});
  showWindow(host, SW_SHOW);
  setWaitCursor(true);
  reset();
  EXPECT_FALSE(isWindow(host));
  EXPECT_EQ(activeWindow(), nullptr);
  EXPECT_TRUE(windowOperations().empty());
  EXPECT_FALSE(waitCursorShown());
  EXPECT_TRUE(isWindow(fakeHandle(0x40000)));
}

TEST_F(WindowTest, WaitCursorReportsItsPreviousState) {
  EXPECT_FALSE(setWaitCursor(true));
  EXPECT_TRUE(setWaitCursor(true));
  EXPECT_TRUE(setWaitCursor(false));
  EXPECT_FALSE(waitCursorShown());
  EXPECT_EQ(waitCursorCalls(), (std::vector<bool>{true, true, false}));
}

} // namespace
