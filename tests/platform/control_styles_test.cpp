// Control styles and the finer points of Win32 dialogs that panels rely on:
// number-only and read-only edits, drop-down lists versus typed combos,
// up-down arrows, radio groups by group start, the close box's default
// handling and the id of a notifying control.
#include "platform_fixture.h"

#include <string>
#include <vector>

using namespace platform;
using namespace platform::headless;

namespace {

struct Seen {
  unsigned message = 0;
  unsigned id = 0;
  unsigned code = 0;
  int position = 0;      // scroll position (high word) or UDN_DELTAPOS's old position
  int delta = 0;         // UDN_DELTAPOS
  std::string text;      // the control's text when a WM_COMMAND arrived
  int selection = -1;    // a combo's selection then
  std::string item;      // the selected item read with comboGetLBText then
  int idOfSender = 0;    // dialogControlId(lParam)
};

struct Recorder {
  std::vector<Seen> seen;
  bool handleClose = false;
  int deltaOverride = 0;           // nonzero: UDN_DELTAPOS changes the delta to this
  std::string rewriteAt;           // EN_UPDATE with this text rewrites the edit...
  std::string rewriteTo;           // ...to this
};
Recorder* recorder = nullptr;

std::string textOf(Window dialog, int id) {
  char buffer[64];
  getDlgItemText(dialog, id, buffer, sizeof buffer);
  return buffer;
}

std::intptr_t recordingProc(Window dialog, unsigned message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
  Seen s;
  s.message = message;
  if (message == WM_COMMAND) {
    s.id = loWord(wParam);
    s.code = hiWord(wParam);
    const auto control = reinterpret_cast<Window>(lParam);
    s.idOfSender = dialogControlId(control);
    s.text = textOf(dialog, static_cast<int>(s.id));
    s.selection = comboGetCurSel(dialog, static_cast<int>(s.id));
    char item[64] = "";
    if (comboGetLBText(dialog, static_cast<int>(s.id), s.selection, item, sizeof item) >= 0) s.item = item;
    if (s.code == EN_UPDATE && !recorder->rewriteAt.empty() && s.text == recorder->rewriteAt) {
      recorder->seen.push_back(s);  // before the nested notifications
      setDlgItemText(dialog, static_cast<int>(s.id), recorder->rewriteTo.c_str());
      return 0;
    }
  } else if (message == WM_VSCROLL || message == WM_HSCROLL) {
    s.code = loWord(wParam);
    s.position = static_cast<int>(hiWord(wParam));
    s.idOfSender = dialogControlId(reinterpret_cast<Window>(lParam));
  } else if (message == WM_NOTIFY) {
    auto* notify = reinterpret_cast<UpDownNotify*>(lParam);
    s.id = static_cast<unsigned>(wParam);
    s.code = notify->header.code;
    s.idOfSender = dialogControlId(notify->header.from);
    s.position = notify->position;
    s.delta = notify->delta;
    if (recorder->deltaOverride != 0) notify->delta = recorder->deltaOverride;
  } else if (message == WM_CLOSE && recorder->handleClose) {
    recorder->seen.push_back(s);
    return 1;
  }
  if (message != WM_INITDIALOG) recorder->seen.push_back(s);
  return 0;
}

constexpr int kNumber = 1059;
constexpr int kReadOnly = 1102;
constexpr int kPlain = 1060;
constexpr int kList = 1064;
constexpr int kTyped = 1009;
constexpr int kSpin = 1061;
constexpr int kSideways = 1062;
constexpr int kInitialize = IDCANCEL;  // id 2, as on the numeric panels

const ControlTemplate kControls[] = {
    {kNumber, ControlKind::Edit, "", {}, true, true, ES_NUMBER},
    {kReadOnly, ControlKind::Edit, "", {}, true, true, ES_READONLY},
    {kPlain, ControlKind::Edit, "", {}},
    {kList, ControlKind::ComboBox, "", {}, true, true, CBS_DROPDOWNLIST},
    {kTyped, ControlKind::ComboBox, "", {}, true, true, CBS_DROPDOWN},
    {kSpin, ControlKind::UpDown, "", {}},
    {kSideways, ControlKind::UpDown, "", {}, true, true, UDS_HORZ},
    {kInitialize, ControlKind::Button, "Initialize", {}},
};
const DialogTemplate kPanel{103, "Panel", {0, 0, 300, 300}, kControls, std::size(kControls)};

class ControlStyleTest : public PlatformTest {
protected:
  void SetUp() override {
    PlatformTest::SetUp();
    recorder = &rec_;
    panel_ = createDialog(kPanel, nullptr, recordingProc, 0);
    for (int id : {kList, kTyped}) {
      comboAddString(panel_, id, "10.00");
      comboAddString(panel_, id, "20.00");
    }
  }
  void TearDown() override {
    PlatformTest::TearDown();
    recorder = nullptr;
  }
  std::vector<std::string> updates(unsigned code) const {
    std::vector<std::string> texts;
    for (const Seen& s : rec_.seen) {
      if (s.message == WM_COMMAND && s.code == code) texts.push_back(s.text);
    }
    return texts;
  }
  Recorder rec_;
  Window panel_ = nullptr;
};

TEST_F(ControlStyleTest, NumberOnlyEditRefusesTypedNonDigitsButNotTheProgram) {
  typeText(panel_, kNumber, "-1.5");
  EXPECT_EQ(textOf(panel_, kNumber), "15");
  // One update per accepted keystroke, the refused ones leave no trace.
  EXPECT_EQ(updates(EN_UPDATE), (std::vector<std::string>{"1", "15"}));
  EXPECT_EQ(updates(EN_CHANGE), (std::vector<std::string>{"1", "15"}));

  rec_.seen.clear();
  typeText(panel_, kNumber, "-.");  // nothing accepted: the old text stays
  EXPECT_EQ(textOf(panel_, kNumber), "15");
  EXPECT_TRUE(updates(EN_UPDATE).empty());

  rec_.seen.clear();
  EXPECT_TRUE(setDlgItemText(panel_, kNumber, "-2.50"));
  EXPECT_EQ(textOf(panel_, kNumber), "-2.50");
  EXPECT_EQ(updates(EN_UPDATE), (std::vector<std::string>{"-2.50"}));

  rec_.seen.clear();
  typeText(panel_, kNumber, "");  // deleting is allowed
  EXPECT_EQ(textOf(panel_, kNumber), "");
  EXPECT_EQ(updates(EN_UPDATE), (std::vector<std::string>{""}));
}

TEST_F(ControlStyleTest, ReadOnlyEditTakesTheFocusAndTheProgramsTextOnly) {
  setDlgItemText(panel_, kReadOnly, "Model 16");
  rec_.seen.clear();
  typeText(panel_, kReadOnly, "17");
  EXPECT_EQ(textOf(panel_, kReadOnly), "Model 16");
  ASSERT_EQ(rec_.seen.size(), 1u);
  EXPECT_EQ(rec_.seen[0].code, EN_SETFOCUS);
  EXPECT_EQ(controlInfo(panel_, kReadOnly).style, ES_READONLY);
}

TEST_F(ControlStyleTest, KeystrokesAfterAProgramRewriteGoToTheStartOfTheText) {
  // A handler that puts a fallback into the edit while the user is still
  // typing: the caret is at the start then, so the last key lands there.
  rec_.rewriteAt = "12";
  rec_.rewriteTo = "-80";
  typeText(panel_, kPlain, "123");
  EXPECT_EQ(textOf(panel_, kPlain), "3-80");
  EXPECT_EQ(updates(EN_UPDATE), (std::vector<std::string>{"1", "12", "-80", "3-80"}));
}

TEST_F(ControlStyleTest, DropDownListShowsItsSelectionAndRefusesText) {
  EXPECT_FALSE(setDlgItemText(panel_, kList, "30.00"));
  EXPECT_EQ(textOf(panel_, kList), "");
  typeComboText(panel_, kList, "30.00");
  EXPECT_TRUE(rec_.seen.empty());

  selectComboItem(panel_, kList, 1);
  ASSERT_EQ(rec_.seen.size(), 2u);
  EXPECT_EQ(rec_.seen[0].code, CBN_SELENDOK);
  EXPECT_EQ(rec_.seen[1].code, CBN_SELCHANGE);
  for (const Seen& s : rec_.seen) {
    EXPECT_EQ(s.text, "20.00");
    EXPECT_EQ(s.selection, 1);
  }
}

TEST_F(ControlStyleTest, TypedComboKeepsItsEditApartFromTheList) {
  comboSetCurSel(panel_, kTyped, 0);
  selectComboItem(panel_, kTyped, 1);
  // During the notifications the edit still shows the old item; the new
  // one is read from the list.
  ASSERT_EQ(rec_.seen.size(), 2u);
  EXPECT_EQ(rec_.seen[1].code, CBN_SELCHANGE);
  EXPECT_EQ(rec_.seen[1].text, "10.00");
  EXPECT_EQ(rec_.seen[1].item, "20.00");
  EXPECT_EQ(textOf(panel_, kTyped), "20.00");

  // The program's text leaves the selection alone and notifies nothing;
  // the user's typing notifies once per keystroke and selects no item.
  rec_.seen.clear();
  EXPECT_TRUE(setDlgItemText(panel_, kTyped, "29.97"));
  EXPECT_TRUE(rec_.seen.empty());
  EXPECT_EQ(comboGetCurSel(panel_, kTyped), 1);
  typeComboText(panel_, kTyped, "15");
  EXPECT_EQ(updates(CBN_EDITUPDATE), (std::vector<std::string>{"1", "15"}));
  EXPECT_EQ(updates(CBN_EDITCHANGE), (std::vector<std::string>{"1", "15"}));
  EXPECT_EQ(comboGetCurSel(panel_, kTyped), -1);
}

TEST_F(ControlStyleTest, ComboItemTextIsCutToTheBufferAndMissingItemsFail) {
  char small[3] = {'x', 'x', 'x'};
  EXPECT_EQ(comboGetLBText(panel_, kList, 0, small, sizeof small), 2);
  EXPECT_STREQ(small, "10");
  EXPECT_EQ(comboGetLBText(panel_, kList, 2, small, sizeof small), -1);
  EXPECT_EQ(comboGetLBText(panel_, kList, -1, small, sizeof small), -1);
  EXPECT_EQ(comboGetLBText(panel_, kNumber, 0, small, sizeof small), -1);  // not a combo
}

TEST_F(ControlStyleTest, UpDownArrowsStepOnceWithinTheDefaultReversedRange) {
  // At 0, the end of the range 100..0 that the up arrow heads for, the up
  // arrow moves nothing but still notifies; the down arrow raises it.
  pressUpDown(panel_, kSpin, UpDownArrow::Up);
  pressUpDown(panel_, kSpin, UpDownArrow::Down);
  pressUpDown(panel_, kSpin, UpDownArrow::Down);
  pressUpDown(panel_, kSpin, UpDownArrow::Up);
  EXPECT_EQ(upDownGetPos(panel_, kSpin), 1);

  std::vector<std::vector<int>> got;
  for (const Seen& s : rec_.seen) {
    EXPECT_EQ(s.idOfSender, kSpin);
    if (s.message == WM_NOTIFY) {
      EXPECT_EQ(s.code, UDN_DELTAPOS);
      got.push_back({-1, s.position, s.delta});
    } else {
      EXPECT_EQ(s.message, WM_VSCROLL);
      got.push_back({static_cast<int>(s.code), s.position});
    }
  }
  const int pos = static_cast<int>(SB_THUMBPOSITION);
  const int end = static_cast<int>(SB_ENDSCROLL);
  EXPECT_EQ(got, (std::vector<std::vector<int>>{
                     {-1, 0, -1}, {pos, 0}, {end, 0},
                     {-1, 0, 1}, {pos, 1}, {end, 1},
                     {-1, 1, 1}, {pos, 2}, {end, 2},
                     {-1, 2, -1}, {pos, 1}, {end, 1}}));
}

TEST_F(ControlStyleTest, UpDownHonoursItsRangeOrientationAndTheProceduresDelta) {
  upDownSetRange(panel_, kSpin, -2, 2);
  upDownSetPos(panel_, kSpin, 1);
  pressUpDown(panel_, kSpin, UpDownArrow::Up);
  pressUpDown(panel_, kSpin, UpDownArrow::Up);  // at the maximum: stays
  EXPECT_EQ(upDownGetPos(panel_, kSpin), 2);
  EXPECT_EQ(rec_.seen.back().position, 2);

  rec_.seen.clear();
  pressUpDown(panel_, kSideways, UpDownArrow::Down);
  ASSERT_EQ(rec_.seen.size(), 3u);
  EXPECT_EQ(rec_.seen[1].message, WM_HSCROLL);
  EXPECT_EQ(rec_.seen[1].position, 1);

  rec_.deltaOverride = -3;  // the procedure may change the step
  pressUpDown(panel_, kSpin, UpDownArrow::Down);
  EXPECT_EQ(upDownGetPos(panel_, kSpin), -1);
}

TEST_F(ControlStyleTest, CloseBoxPostsAPressOfIdTwoWhateverItIs) {
  // The program's WM_CLOSE: the press waits in the queue for the loop.
  sendMessage(panel_, WM_CLOSE, 0, 0);
  ASSERT_EQ(rec_.seen.size(), 1u);
  Message posted;
  ASSERT_TRUE(peekMessage(&posted, true));
  EXPECT_EQ(posted.window, panel_);
  EXPECT_EQ(posted.message, WM_COMMAND);
  EXPECT_EQ(posted.wParam, makeWParam(IDCANCEL, BN_CLICKED));
  EXPECT_EQ(posted.lParam, reinterpret_cast<std::intptr_t>(dialogItem(panel_, kInitialize)));
  dispatchMessage(posted);
  ASSERT_EQ(rec_.seen.size(), 2u);
  EXPECT_EQ(rec_.seen[1].id, static_cast<unsigned>(kInitialize));
  EXPECT_EQ(rec_.seen[1].idOfSender, kInitialize);

  // The user's close box: delivered before the action returns.
  rec_.seen.clear();
  closeDialog(panel_);
  ASSERT_EQ(rec_.seen.size(), 2u);
  EXPECT_EQ(rec_.seen[1].id, static_cast<unsigned>(kInitialize));
  EXPECT_FALSE(peekMessage(&posted, false));

  // A procedure that handles WM_CLOSE gets no press; a disabled id 2 none either.
  rec_.seen.clear();
  rec_.handleClose = true;
  closeDialog(panel_);
  rec_.handleClose = false;
  enableWindow(dialogItem(panel_, kInitialize), false);
  closeDialog(panel_);
  EXPECT_EQ(rec_.seen.size(), 2u);
  EXPECT_FALSE(peekMessage(&posted, false));

  // What is posted to a dialog that goes away is never delivered.
  enableWindow(dialogItem(panel_, kInitialize), true);
  sendMessage(panel_, WM_CLOSE, 0, 0);
  destroyWindow(panel_);
  EXPECT_FALSE(peekMessage(&posted, false));
}

// Radio groups run from a WS_GROUP control to the next one, across other
// controls; hidden and disabled radio buttons keep their state.
TEST(RadioGroupTest, GroupsRunFromOneGroupStartToTheNext) {
  reset();
  const ControlTemplate controls[] = {
      {1, ControlKind::RadioButton, "a", {}, true, true, WS_GROUP},
      {2, ControlKind::CheckBox, "box", {}},
      {3, ControlKind::RadioButton, "b", {}},
      {4, ControlKind::RadioButton, "hidden", {}, false, true},
      {5, ControlKind::RadioButton, "disabled", {}, true, false},
      {6, ControlKind::Static, "label", {}, true, true, WS_GROUP},
      {7, ControlKind::RadioButton, "next group", {}},
  };
  const DialogTemplate t{120, "Radios", {0, 0, 200, 200}, controls, std::size(controls)};
  const Window d = createDialog(t, nullptr, nullptr, 0);
  for (int id : {1, 4, 5, 7}) checkDlgButton(d, id, BST_CHECKED);
  clickButton(d, 3);
  EXPECT_EQ(isDlgButtonChecked(d, 1), BST_UNCHECKED);
  EXPECT_EQ(isDlgButtonChecked(d, 3), BST_CHECKED);
  EXPECT_EQ(isDlgButtonChecked(d, 4), BST_CHECKED);
  EXPECT_EQ(isDlgButtonChecked(d, 5), BST_CHECKED);
  EXPECT_EQ(isDlgButtonChecked(d, 7), BST_CHECKED);

  // Without any group start the whole dialog is one group.
  const ControlTemplate ungrouped[] = {
      {1, ControlKind::RadioButton, "a", {}},
      {2, ControlKind::Edit, "", {}},
      {3, ControlKind::RadioButton, "b", {}},
  };
  const DialogTemplate u{121, "Radios", {0, 0, 200, 200}, ungrouped, std::size(ungrouped)};
  const Window e = createDialog(u, nullptr, nullptr, 0);
  clickButton(e, 1);
  clickButton(e, 3);
  EXPECT_EQ(isDlgButtonChecked(e, 1), BST_UNCHECKED);
  EXPECT_EQ(isDlgButtonChecked(e, 3), BST_CHECKED);
  reset();
}

TEST(DialogControlIdTest, ControlsHaveTheirIdsOtherWindowsNone) {
  reset();
  const Window d = createDialog(kPanel, nullptr, nullptr, 0);
  EXPECT_EQ(dialogControlId(dialogItem(d, kSpin)), kSpin);
  EXPECT_EQ(dialogControlId(d), 0);
  EXPECT_EQ(dialogControlId(nullptr), 0);
  reset();
}

} // namespace
