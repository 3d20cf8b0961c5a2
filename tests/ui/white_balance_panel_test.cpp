// The White Balance panel: three channel gains, each a preview/acquire pair
// with its lock, and the camera's one-shot white balance read back. The
// simulated camera's colour gains run 0.25..7.999 (shown as 0.25..7.99).
#include "ui/panel_controls.h"
#include "ui/panel_ids.h"
#include "ui_fixture.h"

using vx::Section;

namespace {

constexpr int kGlobalWhiteBalance = 1090;
constexpr int kSpotWhiteBalance = 1067;
constexpr int kInitialize = 2;

class WhiteBalancePanelTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    // The one-shot's four waits pass in virtual time.
    hl::useVirtualTime(true);
  }
  void TearDown() override {
    UiTest::TearDown();
    hl::useVirtualTime(false);
  }
  platform::Window openPanel() {
    if (options.optionsWindow == nullptr) openWindow();
    platform::Window panel = toggle(Section::WhiteBalance);
    vxtest::clearRecords();
    return panel;
  }
  static std::string text(platform::Window panel, int id) { return hl::controlInfo(panel, id).text; }
  // The colour gain writes, as (property, value) in the order they were made.
  static std::vector<std::pair<std::string, std::string>> gainWrites() {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& entry : calls("VarcamSetProperty")) {
      const int property = std::stoi(entry.args.at(0));
      if (property >= PropGainRed && property <= PropGainGreen2) out.emplace_back(entry.args[0], entry.args[1]);
    }
    return out;
  }
  void setGains(float value, std::int32_t locked) {
    for (vx::PropertyPair* pair : {&state.redGain, &state.greenGain, &state.blueGain}) {
      pair->preview = pair->acquire = value;
      pair->locked = locked;
    }
  }
};

TEST_F(WhiteBalancePanelTest, GreenGoesToBothGreenSitesInOrder) {
  setGains(1.0f, 0);
  platform::Window panel = openPanel();
  hl::typeText(panel, vx::kWhiteBalanceGreenPreview, "1.50");
  const auto writes = gainWrites();
  ASSERT_GE(writes.size(), 2u);
  EXPECT_EQ(writes[writes.size() - 2], (std::pair<std::string, std::string>{"43", "1.5"}));
  EXPECT_EQ(writes.back(), (std::pair<std::string, std::string>{"44", "1.5"}));
  EXPECT_EQ(state.greenGain.preview, 1.5f);
  EXPECT_TRUE(logged("PIXORA QUORVEL DRIVER: Green gain2 has been changed in camera."));
  EXPECT_TRUE(logged("Value green gain 2: 1"));
}

TEST_F(WhiteBalancePanelTest, OutOfRangePreviewPullsIntoRangeAcquisitionDoesNot) {
  setGains(1.0f, 0);
  state.redGain.preview = 2.1f;
  state.redGain.acquire = 5.0f;
  platform::Window panel = openPanel();
  hl::typeText(panel, vx::kWhiteBalanceRedPreview, "9");
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "Gain values needs to be between 0.250000 and 7.990000.");
  EXPECT_EQ(hl::messageBoxes()[0].owner, panel);
  EXPECT_EQ(text(panel, vx::kWhiteBalanceRedPreview), "2.10");

  // The range narrows below the acquisition gain: a value typed out of range
  // brings back 5.00 as it is, shown once without asking again.
  hl::clearMessageBoxes();
  state.redGain.userMax = 4.0f;
  hl::typeText(panel, vx::kWhiteBalanceRedAcquire, "9");
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "Gain values needs to be between 0.250000 and 4.000000.");
  EXPECT_EQ(text(panel, vx::kWhiteBalanceRedAcquire), "5.00");
  EXPECT_EQ(state.redGain.acquire, 5.0f);
}

TEST_F(WhiteBalancePanelTest, GlobalWhiteBalanceReadsTheGainsBackIntoLockedPairs) {
  setGains(3.0f, 1);
  platform::Window panel = openPanel();
  hl::clickButton(panel, kGlobalWhiteBalance);
  EXPECT_EQ(calls("VarcamOneShotAutoWhiteBalance").size(), 4u);
  EXPECT_NE(state.redGain.preview, 3.0f) << "the camera balanced the red gain";
  for (const vx::PropertyPair* pair : {&state.redGain, &state.greenGain, &state.blueGain})
    EXPECT_EQ(pair->acquire, pair->preview);
  char red[16];
  std::snprintf(red, sizeof red, "%.2f", static_cast<double>(state.redGain.preview));
  EXPECT_EQ(text(panel, vx::kWhiteBalanceRedPreview), red);
  EXPECT_EQ(text(panel, vx::kWhiteBalanceRedAcquire), red);
  EXPECT_FLOAT_EQ(*vzsim::propertyValue(1, PropGainRed), state.redGain.preview);

  // Cancel: the camera gets the gains from before the opening.
  vzsim::clearJournal();
  hl::clickButton(panel, vx::kPanelCancel);
  EXPECT_EQ(gainWrites(), (std::vector<std::pair<std::string, std::string>>{
                              {"41", "3"}, {"43", "3"}, {"44", "3"}, {"42", "3"}}));
  EXPECT_EQ(state.redGain.acquire, 3.0f);
  EXPECT_FALSE(platform::isWindow(panel));
}

TEST_F(WhiteBalancePanelTest, GreenIsReadBackOnlyWhenAvailable) {
  setGains(1.0f, 0);
  state.model.greenGainAvailable = 0;
  platform::Window panel = openPanel();
  hl::clickButton(panel, kGlobalWhiteBalance);
  for (const auto& entry : calls("VarcamGetProperty")) EXPECT_NE(entry.args.at(0), "43");
  EXPECT_EQ(calls("VarcamGetProperty").size(), 2u);
}

TEST_F(WhiteBalancePanelTest, InitializeSpotWhiteBalanceAndTheCloseBox) {
  setGains(2.0f, 0);
  platform::Window panel = openPanel();
  hl::clickButton(panel, kInitialize);
  for (int id : {vx::kWhiteBalanceRedPreview, vx::kWhiteBalanceRedAcquire, vx::kWhiteBalanceGreenPreview,
                 vx::kWhiteBalanceGreenAcquire, vx::kWhiteBalanceBluePreview, vx::kWhiteBalanceBlueAcquire})
    EXPECT_EQ(text(panel, id), "1.00") << id;
  EXPECT_EQ(gainWrites().back(), (std::pair<std::string, std::string>{"42", "1"}));

  // Spot WB is hidden and disabled; a click that reaches it only says so.
  EXPECT_FALSE(hl::controlInfo(panel, kSpotWhiteBalance).visible);
  platform::sendMessage(panel, platform::WM_COMMAND, platform::makeWParam(kSpotWhiteBalance, platform::BN_CLICKED),
                        reinterpret_cast<std::intptr_t>(platform::dialogItem(panel, kSpotWhiteBalance)));
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "Spot White Balance not implemented yet.");
  EXPECT_EQ(hl::messageBoxes()[0].caption, "VARNEX DRIVER");

  hl::typeText(panel, vx::kWhiteBalanceBluePreview, "3");
  hl::closeDialog(panel);
  EXPECT_FALSE(platform::isWindow(panel));
  EXPECT_EQ(state.blueGain.preview, 3.0f);
  EXPECT_EQ(caption(Section::WhiteBalance), "White Balance >>");
}

} // namespace
