// The control interface: call log, fault injection and reset.
#include "hostlib/host_imaging.h"
#include "hostimaging/host_imaging_control.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Control : public ::testing::Test {
 protected:
  void SetUp() override { hostimg::reset(); }
  void TearDown() override {
    hostimg::setCallLogging(true);
    hostimg::reset();
  }
  hostimg_test::ScratchDir dir;
};

std::vector<std::string> functions(const std::vector<hostimg::CallRecord>& log) {
  std::vector<std::string> names;
  for (const auto& record : log) names.push_back(record.function);
  return names;
}

TEST_F(Control, LogKeepsCallsInOrderWithArgumentsAndResults) {
  const std::int32_t id = HostImageCreate(3, 2, 1, 0);
  const HostAccess access = HostImageLock(id, HostAccessWrite, 0);
  HostImageLine(access, 0);
  HostImageLine(access, 2);  // out of range
  HostImageUnlock(access);
  HostImageAttribute(id, HostAttributeFinished, 1, 0, nullptr);
  HostFileDescriptor d{HOST_TIF_FORMAT_MODULE, 3, 2, 1, 8, 1};
  const std::string path = dir.file("a.TIF");
  HostFileCreate(&d, path.c_str(), 1);
  HostFileClose(&d);
  HostImageRelease(id);

  const auto log = hostimg::callLog();
  ASSERT_EQ(functions(log), (std::vector<std::string>{
                                "HostImageCreate", "HostImageLock", "HostImageLine", "HostImageLine",
                                "HostImageUnlock", "HostImageAttribute", "HostFileCreate",
                                "HostFileClose", "HostImageRelease"}));
  for (std::size_t i = 1; i < log.size(); ++i) EXPECT_EQ(log[i].sequence, log[i - 1].sequence + 1);
  EXPECT_EQ(log[0].args, (std::vector<std::string>{"3", "2", "1", "0"}));
  EXPECT_EQ(log[0].result, id);
  EXPECT_EQ(log[1].args, (std::vector<std::string>{std::to_string(id), "2", "0"}));
  EXPECT_EQ(log[1].result, access);
  EXPECT_EQ(log[2].result, 1);
  EXPECT_EQ(log[3].args, (std::vector<std::string>{std::to_string(access), "2"}));
  EXPECT_EQ(log[3].result, 0);
  EXPECT_EQ(log[5].args, (std::vector<std::string>{std::to_string(id), "24", "1", "0", "null"}));
  EXPECT_EQ(log[6].args, (std::vector<std::string>{"{IFFTIF32.DLL,3,2,1,8,1}", path, "1"}));
  EXPECT_EQ(log[7].result, hostimg::FileRowsMissing);

  hostimg::clearCallLog();
  hostimg::setCallLogging(false);
  HostImageRelease(id);
  EXPECT_TRUE(hostimg::callLog().empty());
}

TEST_F(Control, InjectedFaultsFailTheNextCallsWithoutSideEffects) {
  EXPECT_FALSE(hostimg::failNext("HostImageRelease", 1)) << "cannot fail";
  EXPECT_FALSE(hostimg::failNext("NoSuchFunction", 1));
  EXPECT_FALSE(hostimg::failNext("HostImageCreate", 0));

  ASSERT_TRUE(hostimg::failNext("HostImageCreate", 2));
  EXPECT_EQ(HostImageCreate(2, 2, 1, 0), hostimg::ErrorInjected);
  EXPECT_EQ(HostImageCreate(2, 2, 1, 0), hostimg::ErrorInjected);
  EXPECT_EQ(hostimg::liveImages(), 0u);
  const std::int32_t id = HostImageCreate(2, 2, 1, 0);
  ASSERT_GT(id, 0);

  hostimg::failNext("HostImageLock");
  EXPECT_EQ(HostImageLock(id, HostAccessWrite, 0), 0);
  EXPECT_EQ(hostimg::liveLocks(), 0u);
  const HostAccess access = HostImageLock(id, HostAccessRead, 0);
  hostimg::failNext("HostImageLine");
  EXPECT_EQ(HostImageLine(access, 0), nullptr);
  EXPECT_NE(HostImageLine(access, 0), nullptr);
  hostimg::failNext("HostImageConvert");
  EXPECT_EQ(HostImageConvert(access, 1, 0), hostimg::ErrorInjected);
  HostImageUnlock(access);
  EXPECT_EQ(hostimg::liveImages(), 1u);

  std::uint32_t value = 7;
  hostimg::failNext("HostImageAttribute");
  EXPECT_EQ(HostImageAttribute(id, HostAttributeSize, 0, 0, &value), hostimg::ErrorInjected);
  EXPECT_EQ(value, 7u);
  hostimg::failNext("HostImageAttribute");
  EXPECT_LT(HostImageAttribute(id, HostAttributeFinished, 1, 0, nullptr), 0);
  EXPECT_FALSE(hostimg::imageInfo(id).finishedSet);

  const std::string tif = dir.file("img.TIF");
  ASSERT_TRUE(hostimg::saveTiff(id, tif));
  hostimg::failNext("HostImageLoadFile");
  EXPECT_EQ(HostImageLoadFile(tif.c_str(), HOST_TIF_FORMAT_MODULE, 0), hostimg::ErrorInjected);
  EXPECT_GT(HostImageLoadFile(tif.c_str(), HOST_TIF_FORMAT_MODULE, 0), 0);

  const auto log = hostimg::callLog();
  EXPECT_TRUE(log.front().injected);
  EXPECT_FALSE(log.back().injected);
}

TEST_F(Control, InjectedFileFaultsAndCloseStillClosing) {
  HostFileDescriptor d{HOST_TIF_FORMAT_MODULE, 2, 1, 1, 8, 1};
  const std::uint8_t row[2] = {1, 2};
  hostimg::failNext("HostFileCreate");
  EXPECT_EQ(HostFileCreate(&d, dir.file("a.TIF").c_str(), 1), hostimg::FileInjected);
  EXPECT_EQ(hostimg::openFiles(), 0u);

  ASSERT_EQ(HostFileCreate(&d, dir.file("a.TIF").c_str(), 1), 0);
  hostimg::failNext("HostFileWriteLines");
  EXPECT_EQ(HostFileWriteLines(&d, row, 1), hostimg::FileInjected);
  EXPECT_EQ(HostFileWriteLines(&d, row, 1), 0) << "the failed write wrote no row";
  hostimg::failNext("HostFileClose");
  EXPECT_EQ(HostFileClose(&d), hostimg::FileInjected);
  EXPECT_EQ(hostimg::openFiles(), 0u);
  EXPECT_EQ(hostimg_test::readTiff(dir.file("a.TIF")).bytes, (std::vector<std::uint8_t>{1, 2}));

  hostimg::failNext("HostFileCreate", 3);
  hostimg::clearFaults();
  EXPECT_EQ(HostFileCreate(&d, dir.file("b.TIF").c_str(), 1), 0);
  HostFileClose(&d);
}

TEST_F(Control, ResetDropsImagesLocksFilesLogAndFaultsButNeverReusesIds) {
  const std::int32_t id = HostImageCreate(2, 2, 1, 0);
  const HostAccess access = HostImageLock(id, HostAccessWrite, 0);
  HostFileDescriptor d{HOST_TIF_FORMAT_MODULE, 2, 2, 1, 8, 1};
  ASSERT_EQ(HostFileCreate(&d, dir.file("open.TIF").c_str(), 1), 0);
  hostimg::failNext("HostImageCreate");

  hostimg::reset();
  EXPECT_EQ(hostimg::liveImages(), 0u);
  EXPECT_EQ(hostimg::liveLocks(), 0u);
  EXPECT_EQ(hostimg::openFiles(), 0u);
  EXPECT_TRUE(hostimg::callLog().empty());
  EXPECT_EQ(HostImageLine(access, 0), nullptr);
  const std::int32_t next = HostImageCreate(2, 2, 1, 0);
  EXPECT_GT(next, id) << "fault cleared and id not reused";
  EXPECT_NE(HostImageLock(next, HostAccessRead, 0), access);
  EXPECT_EQ(HostFileWriteLines(&d, std::vector<std::uint8_t>(2).data(), 1), hostimg::FileNotOpen);
}

}  // namespace
