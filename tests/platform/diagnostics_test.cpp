// Debug output, message boxes and the file-open dialog.
#include "platform_fixture.h"

#include <cstring>
#include <thread>
#include <vector>

using namespace platform;
using namespace platform::headless;

namespace {

class DiagnosticsTest : public PlatformTest {};

TEST_F(DiagnosticsTest, EachDebugCallIsOneLineWithoutItsFinalBreak) {
  debugOutput("ACQControl: message: 1, 2, 3\n");
  debugOutput("crlf\r\n");
  debugOutput("two breaks\n\n");
  debugOutput("none");
  debugOutput("");
  debugOutput(nullptr);
  EXPECT_EQ(debugLines(), (std::vector<std::string>{"ACQControl: message: 1, 2, 3", "crlf",
                                                    "two breaks\n", "none", ""}));
  clearDebugLines();
  EXPECT_TRUE(debugLines().empty());
}

TEST_F(DiagnosticsTest, DebugEchoRunsOnTheWritingThreadAndMayWriteAgain) {
  std::vector<std::pair<std::thread::id, std::string>> echoed;
  setDebugEcho([&](const std::string& line) {
    echoed.emplace_back(std::this_thread::get_id(), line);
    if (line == "outer") debugOutput("inner");  // re-entering the platform is fine
  });
  std::thread::id writer;
  std::thread t([&] {
    writer = std::this_thread::get_id();
    debugOutput("outer\n");
  });
  t.join();
  ASSERT_EQ(echoed.size(), 2u);
  EXPECT_EQ(echoed[0].first, writer);
  EXPECT_EQ(echoed[1].second, "inner");
  setDebugEcho(nullptr);
  debugOutput("quiet");
  EXPECT_EQ(echoed.size(), 2u);
}

TEST_F(DiagnosticsTest, ManyThreadsWriteWithoutLosingLines) {
  std::vector<std::thread> writers;
  for (int i = 0; i < 4; ++i) {
    writers.emplace_back([] {
      for (int j = 0; j < 250; ++j) debugOutput("frame\n");
    });
  }
  for (auto& w : writers) w.join();
  EXPECT_EQ(debugLines().size(), 1000u);
}

TEST_F(DiagnosticsTest, MessageBoxesTakeQueuedAnswersThenTheDefault) {
  const Window owner = reinterpret_cast<Window>(0x5000);
  queueMessageBoxAnswer(IDNO);
  queueMessageBoxAnswer(IDCANCEL);
  EXPECT_EQ(messageBox(owner, "first", "Q", MB_YESNO), IDNO);
  EXPECT_EQ(messageBox(owner, "second", "Q", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(messageBox(nullptr, "third", nullptr, MB_OK | MB_ICONERROR), IDOK);
  setDefaultMessageBoxAnswer(IDRETRY);
  EXPECT_EQ(messageBox(nullptr, "fourth", "ERROR", MB_OK), IDRETRY);

  const auto boxes = messageBoxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0].owner, owner);
  EXPECT_EQ(boxes[0].text, "first");
  EXPECT_EQ(boxes[0].type, MB_YESNO);
  EXPECT_EQ(boxes[0].answer, IDNO);
  EXPECT_EQ(boxes[2].caption, "Error");  // Win32's caption when none is given
  EXPECT_EQ(boxes[2].type, MB_OK | MB_ICONERROR);
  clearMessageBoxes();
  EXPECT_TRUE(messageBoxes().empty());
}

TEST_F(DiagnosticsTest, ObserverSeesTheBoxBeforeItIsAnsweredAndMayAnswerIt) {
  std::vector<std::string> seen;
  setMessageBoxObserver([&](const MessageBoxRecord& box) {
    seen.push_back(box.caption + ": " + box.text);
    EXPECT_EQ(box.answer, 0);
    queueMessageBoxAnswer(IDYES);
  });
  EXPECT_EQ(messageBox(nullptr, "Camera Model Validation?", "Camera Model Validation", MB_YESNO),
            IDYES);
  EXPECT_EQ(seen, std::vector<std::string>{"Camera Model Validation: Camera Model Validation?"});
  EXPECT_EQ(messageBoxes().at(0).answer, IDYES);
}

TEST_F(DiagnosticsTest, OpenFileDialogAnswersFromItsQueueAndRecordsRequests) {
  OpenFileRequest request;
  request.owner = reinterpret_cast<Window>(0x6000);
  request.filter = "Bitmaps (*.bmp)\0*.bmp\0All files\0*.*\0\0";
  request.title = "Overlay bitmap";
  request.defaultExtension = "bmp";
  request.flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;

  queueOpenFileAnswer(std::string("/data/overlay.bmp"));
  queueOpenFileAnswer(std::nullopt);
  queueOpenFileAnswer(std::string("/a/long/path.bmp"));
  char path[260];
  ASSERT_TRUE(getOpenFileName(request, path, sizeof path));
  EXPECT_STREQ(path, "/data/overlay.bmp");
  EXPECT_FALSE(getOpenFileName(request, path, sizeof path));
  char small[8];
  ASSERT_TRUE(getOpenFileName(request, small, sizeof small));
  EXPECT_STREQ(small, "/a/long");
  EXPECT_FALSE(getOpenFileName(request, path, sizeof path));  // empty queue: Cancel

  const auto requests = openFileRequests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0].owner, request.owner);
  EXPECT_EQ(requests[0].filter, "Bitmaps (*.bmp)|*.bmp|All files|*.*");
  EXPECT_EQ(requests[0].title, "Overlay bitmap");
  EXPECT_EQ(requests[0].defaultExtension, "bmp");
  EXPECT_EQ(requests[0].initialDirectory, "");
  EXPECT_EQ(requests[0].flags, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
}

} // namespace
