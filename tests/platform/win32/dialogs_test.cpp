// Real dialogs built from the template tables, driven by the messages a
// user's input makes, each notification checked against what the headless
// model promises for the same action.
#include "win32_fixture.h"

#include <commctrl.h>

using namespace platform;
using namespace win32_test;

namespace {

constexpr int kNumber = 1059;
constexpr int kReadOnly = 1102;
constexpr int kPlain = 1060;
constexpr int kList = 1064;
constexpr int kTyped = 1009;
constexpr int kSpin = 1061;
constexpr int kSideways = 1062;
constexpr int kBar = 1056;
constexpr int kInitialize = IDCANCEL;  // id 2, as on the numeric panels

const ControlTemplate kControls[] = {
    {kNumber, ControlKind::Edit, "", {10, 10, 80, 30}, true, true, ES_NUMBER},
    {kReadOnly, ControlKind::Edit, "", {10, 40, 80, 60}, true, true, ES_READONLY},
    {kPlain, ControlKind::Edit, "", {10, 70, 80, 90}},
    {kList, ControlKind::ComboBox, "", {100, 10, 200, 30}, true, true, CBS_DROPDOWNLIST},
    {kTyped, ControlKind::ComboBox, "", {100, 40, 200, 60}, true, true, CBS_DROPDOWN},
    {kSpin, ControlKind::UpDown, "", {210, 10, 226, 50}},
    {kSideways, ControlKind::UpDown, "", {210, 60, 250, 76}, true, true, UDS_HORZ},
    {kBar, ControlKind::Trackbar, "", {10, 100, 210, 130}},
    {1054, ControlKind::Static, "Pvw", {10, 140, 60, 160}},
    {kInitialize, ControlKind::Button, "Initialize", {10, 170, 90, 193}},
    {1045, ControlKind::Button, "Close", {100, 170, 180, 193}, false, true},
    {1058, ControlKind::CheckBox, "Lock", {190, 170, 260, 190}, true, false},
    {-1, ControlKind::GroupBox, "Frame", {4, 96, 280, 136}},
};
const DialogTemplate kPanel{103, "Panel", {300, 200, 600, 450}, kControls, std::size(kControls)};

class DialogTest : public Win32Test {
protected:
  void SetUp() override {
    Win32Test::SetUp();
    panel_ = keep(createDialog(kPanel, nullptr, recordingProc, 4321));
    ASSERT_NE(panel_, nullptr);
    for (int id : {kList, kTyped}) {
      comboAddString(panel_, id, "10.00");
      comboAddString(panel_, id, "20.00");
    }
    seen().clear();
  }
  HWND item(int id) const { return GetDlgItem(panel_, id); }
  void type(int id, const char* keys) {
    HWND target = item(id);
    if (id == kTyped) target = GetWindow(target, GW_CHILD);  // the combo's edit
    SetFocus(target);
    SendMessageA(target, EM_SETSEL, 0, -1);
    pump();
    seen().clear();
    for (const char* k = keys; *k != '\0'; ++k) SendMessageA(target, WM_CHAR, static_cast<WPARAM>(*k), 0);
    pump();
  }
  // A click on an up-down control's upper (or left) or lower (or right) half.
  void clickArrow(int id, bool up) {
    HWND spin = item(id);
    RECT r{};
    GetClientRect(spin, &r);
    const bool horizontal = (GetWindowLongA(spin, GWL_STYLE) & UDS_HORZ) != 0;
    const int x = horizontal ? (up ? r.right - 3 : 3) : r.right / 2;
    const int y = horizontal ? r.bottom / 2 : (up ? 3 : r.bottom - 3);
    SendMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(spin, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    pump();
  }
  Window panel_ = nullptr;
};

std::string className(HWND w) {
  char name[64] = "";
  GetClassNameA(w, name, sizeof name);
  return name;
}

TEST_F(DialogTest, TheTemplateBecomesADialogWithItsControlsInPlace) {
  EXPECT_EQ(initParam(), 4321);
  EXPECT_FALSE(isWindowVisible(panel_));  // modeless dialogs start hidden
  Rect outer{};
  ASSERT_TRUE(getWindowRect(panel_, &outer));
  EXPECT_EQ(outer, kPanel.rect);
  char title[32];
  EXPECT_EQ(getWindowText(panel_, title, sizeof title), 5);
  EXPECT_STREQ(title, "Panel");

  for (const ControlTemplate& c : kControls) {
    SCOPED_TRACE(c.id);
    HWND control = c.id == -1 ? GetWindow(GetDlgItem(panel_, 1058), GW_HWNDNEXT) : item(c.id);
    ASSERT_NE(control, nullptr);
    const Rect at = clientRectOf(control);
    EXPECT_EQ(at.left, c.rect.left);
    EXPECT_EQ(at.top, c.rect.top);
    EXPECT_EQ(at.right, c.rect.right);
    if (c.kind != ControlKind::ComboBox) {
      EXPECT_EQ(at.bottom, c.rect.bottom);
    }
    EXPECT_EQ((GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0, c.visible);
    EXPECT_EQ(IsWindowEnabled(control) != 0, c.enabled);
    EXPECT_EQ(dialogControlId(control), c.id);
  }
  EXPECT_EQ(className(item(kNumber)), "Edit");
  EXPECT_EQ(className(item(kList)), "ComboBox");
  EXPECT_EQ(className(item(kSpin)), UPDOWN_CLASSA);
  EXPECT_EQ(className(item(kBar)), TRACKBAR_CLASSA);
  EXPECT_NE(GetWindowLongA(item(kNumber), GWL_STYLE) & ES_NUMBER, 0);
  EXPECT_EQ(GetWindowLongA(item(kList), GWL_STYLE) & CBS_DROPDOWNLIST, static_cast<LONG>(CBS_DROPDOWNLIST));
  EXPECT_EQ(GetWindowLongA(item(kTyped), GWL_STYLE) & CBS_DROPDOWNLIST, static_cast<LONG>(CBS_DROPDOWN));
  char caption[16];
  EXPECT_EQ(getDlgItemText(panel_, 1054, caption, sizeof caption), 3);
  EXPECT_STREQ(caption, "Pvw");
}

TEST_F(DialogTest, NumberOnlyAndReadOnlyEditsTakeKeysAsTheModelSays) {
  type(kNumber, "-1.5");
  char text[16];
  getDlgItemText(panel_, kNumber, text, sizeof text);
  EXPECT_STREQ(text, "15");
  EXPECT_EQ(textsOf(EN_UPDATE), (std::vector<std::string>{"1", "15"}));
  EXPECT_EQ(textsOf(EN_CHANGE), (std::vector<std::string>{"1", "15"}));

  seen().clear();
  EXPECT_TRUE(setDlgItemText(panel_, kNumber, "-2.50"));  // the program writes anything
  EXPECT_EQ(textsOf(EN_UPDATE), (std::vector<std::string>{"-2.50"}));

  setDlgItemText(panel_, kReadOnly, "Model 16");
  type(kReadOnly, "17");
  getDlgItemText(panel_, kReadOnly, text, sizeof text);
  EXPECT_STREQ(text, "Model 16");
  EXPECT_TRUE(textsOf(EN_UPDATE).empty());
}

TEST_F(DialogTest, KeysAfterAProgramRewriteGoToTheStartOfTheText) {
  rewriteOnUpdate("12", "-80");
  type(kPlain, "123");
  char text[16];
  getDlgItemText(panel_, kPlain, text, sizeof text);
  EXPECT_STREQ(text, "3-80");
  EXPECT_EQ(textsOf(EN_UPDATE), (std::vector<std::string>{"1", "12", "-80", "3-80"}));
}

TEST_F(DialogTest, DropDownListAndTypedComboAsTheModelSays) {
  EXPECT_FALSE(setDlgItemText(panel_, kList, "30.00"));
  SetFocus(item(kList));
  pump();
  seen().clear();
  SendMessageA(item(kList), WM_KEYDOWN, VK_DOWN, 0);  // the user picks the first item
  pump();
  ASSERT_EQ(textsOf(CBN_SELCHANGE), (std::vector<std::string>{"10.00"}));
  EXPECT_EQ(textsOf(CBN_SELENDOK), (std::vector<std::string>{"10.00"}));

  comboSetCurSel(panel_, kTyped, 0);
  EXPECT_TRUE(setDlgItemText(panel_, kTyped, "29.97"));  // quietly, the selection stays
  EXPECT_EQ(comboGetCurSel(panel_, kTyped), 0);
  SetFocus(GetWindow(item(kTyped), GW_CHILD));
  pump();
  seen().clear();
  SendMessageA(GetWindow(item(kTyped), GW_CHILD), WM_KEYDOWN, VK_DOWN, 0);
  pump();
  // The edit still shows the old text when the selection change arrives.
  ASSERT_EQ(textsOf(CBN_SELCHANGE), (std::vector<std::string>{"29.97"}));
  char item1[16];
  EXPECT_EQ(comboGetLBText(panel_, kTyped, comboGetCurSel(panel_, kTyped), item1, sizeof item1), 5);
  EXPECT_STREQ(item1, "20.00");

  type(kTyped, "15");
  EXPECT_EQ(textsOf(CBN_EDITUPDATE), (std::vector<std::string>{"1", "15"}));
  EXPECT_EQ(textsOf(CBN_EDITCHANGE), (std::vector<std::string>{"1", "15"}));
  EXPECT_EQ(comboGetCurSel(panel_, kTyped), -1);  // typing leaves no item selected

  char small[3];
  EXPECT_EQ(comboGetLBText(panel_, kList, 0, small, sizeof small), 2);
  EXPECT_STREQ(small, "10");
  EXPECT_EQ(comboGetLBText(panel_, kList, 2, small, sizeof small), -1);
  EXPECT_EQ(comboGetLBText(panel_, kNumber, 0, small, sizeof small), -1);
  EXPECT_EQ(comboAddString(panel_, kNumber, "x"), -1);  // not a combo box
  EXPECT_EQ(comboResetContent(panel_, kTyped), 0);
  EXPECT_EQ(comboGetCount(panel_, kTyped), 0);
}

TEST_F(DialogTest, UpDownClicksStepOnceWithinTheDefaultReversedRange) {
  EXPECT_EQ(upDownGetPos(panel_, kSpin), 0);
  clickArrow(kSpin, true);   // at 0, the end the up arrow heads for: stays
  clickArrow(kSpin, false);
  clickArrow(kSpin, false);
  clickArrow(kSpin, true);
  EXPECT_EQ(upDownGetPos(panel_, kSpin), 1);
  std::vector<std::vector<int>> got;
  for (const Seen& s : seen()) {
    if (s.message == WM_NOTIFY) got.push_back({-1, s.position, s.delta});
    if (s.message == WM_VSCROLL) got.push_back({static_cast<int>(s.code), s.position});
  }
  const int pos = SB_THUMBPOSITION;
  const int end = SB_ENDSCROLL;
  EXPECT_EQ(got, (std::vector<std::vector<int>>{{-1, 0, -1}, {pos, 0}, {end, 0},
                                                {-1, 0, 1},  {pos, 1}, {end, 1},
                                                {-1, 1, 1},  {pos, 2}, {end, 2},
                                                {-1, 2, -1}, {pos, 1}, {end, 1}}));

  seen().clear();
  clickArrow(kSideways, false);
  ASSERT_EQ(seen().size(), 3u);
  EXPECT_EQ(seen()[1].message, static_cast<unsigned>(WM_HSCROLL));
  EXPECT_EQ(seen()[1].position, 1);

  EXPECT_TRUE(upDownSetPos(panel_, kSpin, 50));
  EXPECT_TRUE(upDownSetRange(panel_, kSpin, -2, 2));
  EXPECT_EQ(upDownGetPos(panel_, kSpin), 2);  // a new range pulls the position in
  EXPECT_TRUE(upDownSetPos(panel_, kSpin, 7));
  EXPECT_EQ(upDownGetPos(panel_, kSpin), 2);  // so does a position outside it
  EXPECT_FALSE(upDownSetPos(panel_, kBar, 1));  // a trackbar is no up-down
}

TEST_F(DialogTest, TrackbarsKeepTheirRangeAndPosition) {
  trackbarSetPos(panel_, kBar, 150);
  EXPECT_EQ(trackbarGetPos(panel_, kBar), 100);  // default range 0..100
  EXPECT_TRUE(trackbarSetRange(panel_, kBar, 0, 500));
  EXPECT_TRUE(trackbarSetPos(panel_, kBar, 375));
  EXPECT_EQ(trackbarGetPos(panel_, kBar), 375);
  EXPECT_FALSE(trackbarSetPos(panel_, kSpin, 1));
}

TEST_F(DialogTest, CloseBoxPostsAPressOfIdTwoWhateverItIs) {
  sendMessage(panel_, WM_CLOSE, 0, 0);
  ASSERT_EQ(seen().size(), 1u);  // posted, not yet delivered
  pump();
  ASSERT_EQ(seen().size(), 2u);
  EXPECT_EQ(seen()[1].id, static_cast<unsigned>(kInitialize));
  EXPECT_EQ(seen()[1].code, static_cast<unsigned>(BN_CLICKED));
  EXPECT_EQ(seen()[1].lParam, reinterpret_cast<std::intptr_t>(item(kInitialize)));

  seen().clear();
  handleClose(true);
  sendMessage(panel_, WM_CLOSE, 0, 0);
  pump();
  EXPECT_EQ(seen().size(), 1u);  // handled: no press
}

TEST_F(DialogTest, RadioGroupsRunFromOneGroupStartToTheNext) {
  const ControlTemplate controls[] = {
      {1, ControlKind::RadioButton, "a", {10, 10, 60, 30}, true, true, WS_GROUP},
      {2, ControlKind::CheckBox, "box", {10, 40, 60, 60}},
      {3, ControlKind::RadioButton, "b", {10, 70, 60, 90}},
      {4, ControlKind::RadioButton, "hidden", {10, 100, 60, 120}, false, true},
      {5, ControlKind::RadioButton, "disabled", {10, 130, 60, 150}, true, false},
      {6, ControlKind::Static, "label", {10, 160, 60, 180}, true, true, WS_GROUP},
      {7, ControlKind::RadioButton, "next group", {10, 190, 60, 210}},
  };
  const DialogTemplate t{120, "Radios", {0, 0, 200, 260}, controls, std::size(controls)};
  const Window d = keep(createDialog(t, nullptr, recordingProc, 0));
  for (int id : {1, 4, 5, 7}) checkDlgButton(d, id, BST_CHECKED);
  SendMessageA(GetDlgItem(d, 3), BM_CLICK, 0, 0);
  pump();
  EXPECT_EQ(isDlgButtonChecked(d, 1), BST_UNCHECKED);
  EXPECT_EQ(isDlgButtonChecked(d, 3), BST_CHECKED);
  EXPECT_EQ(isDlgButtonChecked(d, 4), BST_CHECKED);
  EXPECT_EQ(isDlgButtonChecked(d, 5), BST_CHECKED);
  EXPECT_EQ(isDlgButtonChecked(d, 7), BST_CHECKED);
  EXPECT_EQ(textsOf(BN_CLICKED), (std::vector<std::string>{"b"}));

  EXPECT_TRUE(checkRadioButton(d, 1, 7, 7));
  EXPECT_EQ(isDlgButtonChecked(d, 3), BST_UNCHECKED);
  EXPECT_EQ(isDlgButtonChecked(d, 2), BST_UNCHECKED);  // in the id range: set like the others
}

// A modal dialog whose procedure presses its own OK once it is running.
std::intptr_t selfClosingProc(Window dialog, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (message == WM_INITDIALOG) {
    setWindowUserData(dialog, lParam);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return TRUE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
    auto* ownerEnabled = reinterpret_cast<bool*>(windowUserData(dialog));
    *ownerEnabled = IsWindowEnabled(GetWindow(dialog, GW_OWNER)) != 0;
    endDialog(dialog, 77);
    return TRUE;
  }
  return FALSE;
}

TEST_F(DialogTest, ModalDialogRunsUntilEndedWithItsOwnerDisabled) {
  const Window owner = hostWindow("Host", {0, 0, 400, 300});
  bool ownerEnabledDuringRun = true;
  const ControlTemplate controls[] = {{IDOK, ControlKind::Button, "OK", {10, 10, 80, 33}}};
  const DialogTemplate t{106, "Camera Choice...", {100, 100, 330, 220}, controls, 1};
  EXPECT_EQ(dialogBox(t, owner, selfClosingProc, reinterpret_cast<std::intptr_t>(&ownerEnabledDuringRun)), 77);
  EXPECT_FALSE(ownerEnabledDuringRun);
  EXPECT_TRUE(isWindowEnabled(owner));
  // Nothing can end a dialog without a procedure: it is not run.
  EXPECT_EQ(dialogBox(t, owner, nullptr, 0), -1);
  const DialogTemplate broken{6, "Broken", {0, 0, 100, 100}, nullptr, 3};
  EXPECT_EQ(dialogBox(broken, owner, selfClosingProc, 0), -1);
  EXPECT_EQ(createDialog(broken, owner, recordingProc, 0), nullptr);
}

std::intptr_t destroyAtOnceProc(Window dialog, unsigned message, std::uintptr_t, std::intptr_t) {
  if (message == WM_INITDIALOG) destroyWindow(dialog);
  return 0;
}

TEST_F(DialogTest, ADialogThatDestroysItselfWhileStartingIsNotReturned) {
  const ControlTemplate controls[] = {{1045, ControlKind::Button, "Close", {10, 10, 80, 33}}};
  const DialogTemplate t{107, "Mirror", {0, 0, 200, 100}, controls, 1};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(createDialog(t, nullptr, destroyAtOnceProc, 0), nullptr);
}

TEST_F(DialogTest, UserDataStaysWithTheWindow) {
  EXPECT_EQ(windowUserData(panel_), 0);
  EXPECT_EQ(setWindowUserData(panel_, 7), 0);
  EXPECT_EQ(setWindowUserData(panel_, 9), 7);
  EXPECT_EQ(windowUserData(panel_), 9);
  EXPECT_EQ(sendMessage(panel_, WM_COMMAND, MAKEWPARAM(1045, BN_CLICKED), 0), 0);
  EXPECT_TRUE(destroyWindow(panel_));
  EXPECT_EQ(windowUserData(panel_), 0);
  EXPECT_EQ(setWindowUserData(panel_, 5), 0);
}

} // namespace
