// Dialogs: edit notifications, modal runs with scripts, modeless dialogs,
// controls and the user's actions.
#include "platform_fixture.h"

#include <string>
#include <vector>

using namespace platform;
using namespace platform::headless;

namespace {

struct Received {
  Window dialog = nullptr;
  unsigned message = 0;
  unsigned id = 0;    // loWord(wParam)
  unsigned code = 0;  // hiWord(wParam)
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  std::string text;   // the notifying edit's text when the message arrived
};

// What the test procedures saw, and how they behave; reset by each test.
struct ProcState {
  std::vector<Received> log;
  bool endOnOk = true;
  bool endOnCancel = true;
  bool handleClose = false;
  int chosen = 0;
  std::intptr_t closeResult = 0;
};
ProcState* state = nullptr;

constexpr int kCombo = 1109;
constexpr int kEditPvw = 1059;
constexpr int kEditAcq = 1060;
constexpr int kStatic = 1054;

std::string textOf(Window dialog, int id) {
  char buffer[64];
  getDlgItemText(dialog, id, buffer, sizeof buffer);
  return buffer;
}

void log(Window dialog, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  Received r{dialog, message, loWord(wParam), hiWord(wParam), wParam, lParam, {}};
  if (message == WM_COMMAND) r.text = textOf(dialog, static_cast<int>(loWord(wParam)));
  state->log.push_back(r);
}

// A camera-choice dialog: lists two cameras, OK chooses the selected one
// (1-based), Cancel chooses -1.
std::intptr_t choiceProc(Window dialog, unsigned message, std::uintptr_t wParam,
                         std::intptr_t lParam) {
  log(dialog, message, wParam, lParam);
  if (message == WM_INITDIALOG) {
    comboAddString(dialog, kCombo, "1001");
    comboAddString(dialog, kCombo, "1002");
    comboSetCurSel(dialog, kCombo, 0);
    return 1;
  }
  if (message == WM_CLOSE && state->handleClose) {
    endDialog(dialog, 77);
    return 1;
  }
  if (message == WM_COMMAND && loWord(wParam) == IDOK && state->endOnOk) {
    state->chosen = comboGetCurSel(dialog, kCombo) + 1;
    endDialog(dialog, IDOK);
    return 1;
  }
  if (message == WM_COMMAND && loWord(wParam) == IDCANCEL && state->endOnCancel) {
    state->chosen = -1;
    endDialog(dialog, IDCANCEL);
    return 1;
  }
  return 0;
}

const ControlTemplate kChoiceControls[] = {
    {kStatic, ControlKind::Static, "Please select the camera", {10, 10, 200, 24}},
    {kCombo, ControlKind::ComboBox, "", {10, 30, 200, 120}},
    {IDOK, ControlKind::Button, "OK", {10, 60, 80, 84}},
    {IDCANCEL, ControlKind::Button, "Cancel", {100, 60, 170, 84}},
};
const DialogTemplate kChoice{106, "Camera Choice...", {100, 100, 330, 220}, kChoiceControls, 4};

class DialogTest : public PlatformTest {
protected:
  void SetUp() override {
    PlatformTest::SetUp();
    state = &procState_;
  }
  void TearDown() override {
    PlatformTest::TearDown();
    state = nullptr;
  }
  std::vector<unsigned> messages() const {
    std::vector<unsigned> m;
    for (const auto& r : procState_.log) m.push_back(r.message);
    return m;
  }
  ProcState procState_;
};

TEST_F(DialogTest, ModalScriptSelectsAnItemAndPressesOk) {
  const Window host = createHostWindow("Host", {0, 0, 800, 600});
  Window seen = nullptr;
  Window firstControl = nullptr;
  bool ownerEnabledDuringRun = true;
  setDialogScript(106, [&](Window dialog) {
    seen = dialog;
    firstControl = dialogItem(dialog, kStatic);
    ownerEnabledDuringRun = isWindowEnabled(host);
    EXPECT_TRUE(isWindowVisible(dialog));
    EXPECT_EQ(activeWindow(), dialog);
    selectComboItem(dialog, kCombo, 1);
    clickButton(dialog, IDOK);
  });
  EXPECT_EQ(dialogBox(kChoice, host, choiceProc, 1234), IDOK);
  EXPECT_EQ(procState_.chosen, 2);
  EXPECT_FALSE(ownerEnabledDuringRun);
  EXPECT_TRUE(isWindowEnabled(host));
  EXPECT_EQ(activeWindow(), host);
  EXPECT_FALSE(isWindow(seen));

  // WM_INITDIALOG first (first control, init parameter), WM_DESTROY once at the end.
  ASSERT_GE(procState_.log.size(), 4u);
  const Received& init = procState_.log.front();
  EXPECT_EQ(init.message, WM_INITDIALOG);
  EXPECT_EQ(init.lParam, 1234);
  ASSERT_NE(firstControl, nullptr);
  EXPECT_EQ(init.wParam, reinterpret_cast<std::uintptr_t>(firstControl));
  EXPECT_EQ(messages(),
            (std::vector<unsigned>{WM_INITDIALOG, WM_COMMAND, WM_COMMAND, WM_COMMAND, WM_DESTROY}));
  EXPECT_EQ(procState_.log[1].code, CBN_SELENDOK);
  EXPECT_EQ(procState_.log[2].code, CBN_SELCHANGE);
  EXPECT_EQ(procState_.log[3].id, static_cast<unsigned>(IDOK));

  const auto shown = dialogsShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].templateId, 106);
  EXPECT_TRUE(shown[0].modal);
  EXPECT_TRUE(shown[0].ended);
  EXPECT_EQ(shown[0].result, IDOK);
  EXPECT_EQ(shown[0].owner, host);
}

TEST_F(DialogTest, ModalCancelAndCloseBoxBothCancel) {
  setDialogScript(106, [](Window dialog) { clickButton(dialog, IDCANCEL); });
  EXPECT_EQ(dialogBox(kChoice, nullptr, choiceProc, 0), IDCANCEL);
  EXPECT_EQ(procState_.chosen, -1);

  // The close box: the procedure leaves WM_CLOSE to the default handling,
  // which presses Cancel.
  procState_ = {};
  setDialogScript(106, [](Window dialog) { closeDialog(dialog); });
  EXPECT_EQ(dialogBox(kChoice, nullptr, choiceProc, 0), IDCANCEL);
  EXPECT_EQ(procState_.chosen, -1);
  EXPECT_EQ(messages(),
            (std::vector<unsigned>{WM_INITDIALOG, WM_CLOSE, WM_COMMAND, WM_DESTROY}));
  EXPECT_EQ(procState_.log[2].id, static_cast<unsigned>(IDCANCEL));
  EXPECT_EQ(procState_.log[2].code, BN_CLICKED);
}

TEST_F(DialogTest, ModalWithoutScriptPressesOk) {
  EXPECT_EQ(dialogBox(kChoice, nullptr, choiceProc, 0), IDOK);
  EXPECT_EQ(procState_.chosen, 1);  // item 0, selected at initialisation
  EXPECT_EQ(messages(), (std::vector<unsigned>{WM_INITDIALOG, WM_COMMAND, WM_DESTROY}));
  EXPECT_EQ(procState_.log[1].wParam, makeWParam(IDOK, BN_CLICKED));
}

TEST_F(DialogTest, ModalThatWillNotEndFallsBackToCloseThenMinusOne) {
  procState_.endOnOk = false;
  procState_.endOnCancel = false;
  EXPECT_EQ(dialogBox(kChoice, nullptr, choiceProc, 0), -1);
  EXPECT_EQ(messages(), (std::vector<unsigned>{WM_INITDIALOG, WM_COMMAND, WM_CLOSE, WM_COMMAND,
                                               WM_DESTROY}));
  EXPECT_EQ(procState_.log[1].id, static_cast<unsigned>(IDOK));
  EXPECT_EQ(procState_.log[3].id, static_cast<unsigned>(IDCANCEL));

  procState_ = {};
  procState_.endOnOk = false;
  procState_.handleClose = true;
  EXPECT_EQ(dialogBox(kChoice, nullptr, choiceProc, 0), 77);
}

TEST_F(DialogTest, ModalWithoutControlsOrProcedure) {
  const DialogTemplate empty{5, "Empty", {0, 0, 100, 100}, nullptr, 0};
  EXPECT_EQ(dialogBox(empty, nullptr, nullptr, 0), -1);
  const DialogTemplate broken{6, "Broken", {0, 0, 100, 100}, nullptr, 3};
  EXPECT_EQ(dialogBox(broken, nullptr, choiceProc, 0), -1);
  EXPECT_EQ(createDialog(broken, nullptr, choiceProc, 0), nullptr);
}

// ---- edits ---------------------------------------------------------------

// A numeric panel's edit handling: EN_UPDATE of the preview edit checks the
// range, writes a fallback into the same edit (re-entrantly) and copies the
// value into the acquisition edit.
std::intptr_t panelProc(Window dialog, unsigned message, std::uintptr_t wParam,
                        std::intptr_t lParam) {
  log(dialog, message, wParam, lParam);
  if (message == WM_COMMAND && hiWord(wParam) == EN_UPDATE && loWord(wParam) == kEditPvw) {
    const int value = std::stoi(textOf(dialog, kEditPvw));
    if (value > 100) {
      setDlgItemText(dialog, kEditPvw, "-80");
    } else {
      setDlgItemText(dialog, kEditAcq, textOf(dialog, kEditPvw).c_str());
    }
  }
  return 0;
}

const ControlTemplate kPanelControls[] = {
    {1056, ControlKind::Trackbar, "", {10, 10, 200, 30}},
    {1058, ControlKind::CheckBox, "Lock", {10, 40, 100, 60}},
    {kEditPvw, ControlKind::Edit, "", {10, 70, 80, 90}},
    {kEditAcq, ControlKind::Edit, "", {100, 70, 170, 90}},
    {1061, ControlKind::UpDown, "", {80, 70, 95, 90}},
    {kStatic, ControlKind::Static, "Pvw", {10, 100, 50, 120}},
};
const DialogTemplate kPanel{103, "Brightness", {300, 200, 520, 400}, kPanelControls, 6};

TEST_F(DialogTest, WritingAnEditNotifiesBeforeTheCallReturns) {
  const Window panel = createDialog(kPanel, nullptr, panelProc, 0);
  procState_.log.clear();
  EXPECT_TRUE(setDlgItemText(panel, kEditPvw, "50"));
  // Both edits were notified, the nested write in between, and every
  // notification saw the new text already.
  ASSERT_EQ(procState_.log.size(), 4u);
  const std::vector<std::pair<unsigned, unsigned>> expected = {
      {kEditPvw, EN_UPDATE}, {kEditAcq, EN_UPDATE}, {kEditAcq, EN_CHANGE}, {kEditPvw, EN_CHANGE}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(procState_.log[i].id, expected[i].first) << i;
    EXPECT_EQ(procState_.log[i].code, expected[i].second) << i;
    EXPECT_EQ(procState_.log[i].text, "50") << i;
    EXPECT_EQ(procState_.log[i].lParam,
              reinterpret_cast<std::intptr_t>(dialogItem(panel, static_cast<int>(expected[i].first))));
  }
  EXPECT_EQ(textOf(panel, kEditAcq), "50");
}

TEST_F(DialogTest, HandlerRewritingTheSameEditRunsTheHandlingAgain) {
  const Window panel = createDialog(kPanel, nullptr, panelProc, 0);
  procState_.log.clear();
  setDlgItemText(panel, kEditPvw, "120");
  EXPECT_EQ(textOf(panel, kEditPvw), "-80");
  EXPECT_EQ(textOf(panel, kEditAcq), "-80");
  ASSERT_GE(procState_.log.size(), 2u);
  EXPECT_EQ(procState_.log[0].text, "120");  // the first EN_UPDATE saw the typed value
  EXPECT_EQ(procState_.log[1].code, EN_UPDATE);
  EXPECT_EQ(procState_.log[1].text, "-80");  // the nested one the fallback
}

TEST_F(DialogTest, OtherControlsAndTypingNotifyAsWin32Does) {
  const Window panel = createDialog(kPanel, nullptr, panelProc, 0);
  procState_.log.clear();
  setDlgItemText(panel, kStatic, "Acq");
  EXPECT_TRUE(procState_.log.empty());
  EXPECT_EQ(textOf(panel, kStatic), "Acq");

  typeText(panel, kEditAcq, "7");
  ASSERT_EQ(procState_.log.size(), 3u);
  EXPECT_EQ(procState_.log[0].code, EN_SETFOCUS);
  EXPECT_EQ(procState_.log[1].code, EN_UPDATE);
  EXPECT_EQ(procState_.log[2].code, EN_CHANGE);

  // setWindowText on an edit's handle is the same write.
  procState_.log.clear();
  setWindowText(dialogItem(panel, kEditAcq), "8");
  EXPECT_EQ(procState_.log.size(), 2u);
}

TEST_F(DialogTest, ReadingTextIsCutToTheBuffer) {
  const Window panel = createDialog(kPanel, nullptr, nullptr, 0);
  setDlgItemText(panel, kEditPvw, "abcdef");
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(getDlgItemText(panel, kEditPvw, small, 4), 3);
  EXPECT_STREQ(small, "abc");
  EXPECT_EQ(getDlgItemText(panel, 9999, small, 4), 0);
  EXPECT_STREQ(small, "");
  EXPECT_EQ(getDlgItemText(panel, kEditPvw, small, 0), 0);
}

// ---- buttons -------------------------------------------------------------

// Two groups; the check box lies inside the first one.
const ControlTemplate kRadioControls[] = {
    {10, ControlKind::RadioButton, "a", {}, true, true, WS_GROUP},
    {11, ControlKind::RadioButton, "b", {}},
    {12, ControlKind::RadioButton, "c", {}},
    {20, ControlKind::CheckBox, "check", {}},
    {30, ControlKind::RadioButton, "x", {}, true, true, WS_GROUP},
    {31, ControlKind::RadioButton, "y", {}},
    {40, ControlKind::Button, "disabled", {}, true, false},
    {41, ControlKind::CheckBox, "hidden", {}, false, true},
};
const DialogTemplate kRadios{120, "Radios", {0, 0, 300, 300}, kRadioControls, 8};

TEST_F(DialogTest, RadioButtonsUncheckTheRestOfTheirGroupOnly) {
  const Window d = createDialog(kRadios, nullptr, choiceProc, 0);
  checkDlgButton(d, 10, BST_CHECKED);
  checkDlgButton(d, 30, BST_CHECKED);
  procState_.log.clear();

  clickButton(d, 11);
  EXPECT_EQ(isDlgButtonChecked(d, 10), BST_UNCHECKED);
  EXPECT_EQ(isDlgButtonChecked(d, 11), BST_CHECKED);
  EXPECT_EQ(isDlgButtonChecked(d, 12), BST_UNCHECKED);
  EXPECT_EQ(isDlgButtonChecked(d, 30), BST_CHECKED);  // another group

  clickButton(d, 31);
  EXPECT_EQ(isDlgButtonChecked(d, 30), BST_UNCHECKED);
  EXPECT_EQ(isDlgButtonChecked(d, 31), BST_CHECKED);
  EXPECT_EQ(isDlgButtonChecked(d, 11), BST_CHECKED);

  ASSERT_EQ(procState_.log.size(), 2u);
  EXPECT_EQ(procState_.log[0].wParam, makeWParam(11, BN_CLICKED));
  EXPECT_EQ(procState_.log[0].lParam, reinterpret_cast<std::intptr_t>(dialogItem(d, 11)));
}

TEST_F(DialogTest, CheckBoxesToggleAndUnreachableControlsIgnoreClicks) {
  const Window d = createDialog(kRadios, nullptr, choiceProc, 0);
  procState_.log.clear();
  clickButton(d, 20);
  EXPECT_EQ(isDlgButtonChecked(d, 20), BST_CHECKED);
  clickButton(d, 20);
  EXPECT_EQ(isDlgButtonChecked(d, 20), BST_UNCHECKED);
  EXPECT_EQ(procState_.log.size(), 2u);

  clickButton(d, 40);  // disabled
  clickButton(d, 41);  // hidden
  clickButton(d, 99);  // missing
  EXPECT_EQ(procState_.log.size(), 2u);
  EXPECT_EQ(isDlgButtonChecked(d, 41), BST_UNCHECKED);

  enableWindow(dialogItem(d, 40), true);
  clickButton(d, 40);
  EXPECT_EQ(procState_.log.size(), 3u);
}

TEST_F(DialogTest, CheckRadioButtonSetsTheWholeIdRangeWithoutNotifying) {
  const Window d = createDialog(kRadios, nullptr, choiceProc, 0);
  procState_.log.clear();
  checkDlgButton(d, 20, BST_CHECKED);
  EXPECT_TRUE(checkRadioButton(d, 10, 12, 12));
  EXPECT_EQ(isDlgButtonChecked(d, 12), BST_CHECKED);
  EXPECT_EQ(isDlgButtonChecked(d, 10), BST_UNCHECKED);
  EXPECT_EQ(isDlgButtonChecked(d, 20), BST_CHECKED);  // outside the range
  EXPECT_TRUE(procState_.log.empty());
}

// ---- combo boxes, trackbars, up-downs --------------------------------------

TEST_F(DialogTest, ComboSelectionRules) {
  const Window d = createDialog(kChoice, nullptr, choiceProc, 0);
  procState_.log.clear();
  EXPECT_EQ(comboAddString(d, kCombo, "1003"), 2);
  EXPECT_EQ(comboGetCount(d, kCombo), 3);
  EXPECT_EQ(comboSetCurSel(d, kCombo, 2), 2);
  EXPECT_EQ(textOf(d, kCombo), "1003");
  EXPECT_EQ(comboSetCurSel(d, kCombo, 3), -1);  // out of range clears
  EXPECT_EQ(comboGetCurSel(d, kCombo), -1);
  EXPECT_EQ(comboSetCurSel(d, kCombo, 1), 1);
  EXPECT_EQ(comboSetCurSel(d, kCombo, -1), -1);
  EXPECT_EQ(comboGetCurSel(d, kCombo), -1);
  EXPECT_TRUE(procState_.log.empty());  // program changes do not notify

  selectComboItem(d, kCombo, 1);
  selectComboItem(d, kCombo, 5);  // no such item: nothing happens
  ASSERT_EQ(procState_.log.size(), 2u);
  EXPECT_EQ(procState_.log[0].wParam, makeWParam(kCombo, CBN_SELENDOK));
  EXPECT_EQ(procState_.log[1].wParam, makeWParam(kCombo, CBN_SELCHANGE));
  EXPECT_EQ(comboGetCurSel(d, kCombo), 1);

  EXPECT_EQ(comboResetContent(d, kCombo), 0);
  EXPECT_EQ(comboGetCount(d, kCombo), 0);
  EXPECT_EQ(comboGetCurSel(d, kCombo), -1);
  EXPECT_EQ(comboAddString(d, kStatic, "x"), -1);  // not a combo box
}

TEST_F(DialogTest, TrackbarAndUpDownPositionsAndScrollMessages) {
  const Window d = createDialog(kPanel, nullptr, panelProc, 0);
  const ControlInfo bar = controlInfo(d, 1056);
  EXPECT_EQ(bar.rangeMin, 0);
  EXPECT_EQ(bar.rangeMax, 100);
  EXPECT_TRUE(trackbarSetPos(d, 1056, 150));
  EXPECT_EQ(trackbarGetPos(d, 1056), 100);
  EXPECT_TRUE(trackbarSetRange(d, 1056, 0, 50));  // position pulled into the new range
  EXPECT_EQ(trackbarGetPos(d, 1056), 50);
  EXPECT_TRUE(trackbarSetRange(d, 1056, 0, 500));
  EXPECT_TRUE(trackbarSetPos(d, 1056, 375));
  EXPECT_EQ(trackbarGetPos(d, 1056), 375);

  procState_.log.clear();
  moveTrackbar(d, 1056, 420, SB_THUMBTRACK);
  ASSERT_EQ(procState_.log.size(), 1u);
  EXPECT_EQ(procState_.log[0].message, WM_HSCROLL);
  EXPECT_EQ(procState_.log[0].wParam, makeWParam(SB_THUMBTRACK, 420));
  EXPECT_EQ(procState_.log[0].lParam, reinterpret_cast<std::intptr_t>(dialogItem(d, 1056)));
  EXPECT_EQ(trackbarGetPos(d, 1056), 420);

  // Up-downs start with Win32's reversed range 100..0; the program's
  // positions are pulled into it.
  const ControlInfo spin = controlInfo(d, 1061);
  EXPECT_EQ(spin.rangeMin, 100);
  EXPECT_EQ(spin.rangeMax, 0);
  EXPECT_TRUE(upDownSetPos(d, 1061, 250));
  EXPECT_EQ(upDownGetPos(d, 1061), 100);
  EXPECT_TRUE(upDownSetRange(d, 1061, -10, 10));
  EXPECT_EQ(upDownGetPos(d, 1061), 10);
  EXPECT_FALSE(trackbarSetPos(d, 1061, 1));  // an up-down is not a trackbar
}

// ---- modeless dialogs ------------------------------------------------------

int destroyCount = 0;
std::intptr_t selfDestroyingProc(Window dialog, unsigned message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
  log(dialog, message, wParam, lParam);
  if (message == WM_DESTROY) {
    ++destroyCount;
    // Reading controls still works while WM_DESTROY is handled, and a
    // second destroy from inside does not send it again.
    EXPECT_EQ(textOf(dialog, kEditPvw), "keep");
    destroyWindow(dialog);
  }
  if (message == WM_COMMAND && loWord(wParam) == 1045) endDialog(dialog, 5);
  return 0;
}

TEST_F(DialogTest, ModelessDialogLifecycle) {
  destroyCount = 0;
  const Window owner = createHostWindow("Host", {0, 0, 800, 600});
  const ControlTemplate controls[] = {{kEditPvw, ControlKind::Edit, "keep", {}},
                                      {1045, ControlKind::Button, "Close", {}}};
  const DialogTemplate t{107, "Mirror", {10, 10, 200, 150}, controls, 2};
  const Window d = createDialog(t, owner, selfDestroyingProc, 9);
  ASSERT_NE(d, nullptr);
  ASSERT_EQ(procState_.log.size(), 1u);  // WM_INITDIALOG before createDialog returned
  EXPECT_EQ(procState_.log[0].lParam, 9);
  EXPECT_FALSE(isWindowVisible(d));  // created hidden
  EXPECT_EQ(findDialog(107), d);

  showWindow(d, SW_SHOW);
  EXPECT_TRUE(isWindowVisible(d));
  EXPECT_EQ(activeWindow(), d);
  clickButton(d, 1045);  // endDialog on a modeless dialog only hides it
  EXPECT_TRUE(isWindow(d));
  EXPECT_FALSE(isWindowVisible(d));
  EXPECT_TRUE(dialogsShown()[0].ended);
  EXPECT_EQ(dialogsShown()[0].result, 5);

  const Window edit = dialogItem(d, kEditPvw);
  EXPECT_TRUE(destroyWindow(d));
  EXPECT_EQ(destroyCount, 1);
  EXPECT_FALSE(isWindow(d));
  EXPECT_FALSE(isWindow(edit));
  EXPECT_EQ(findDialog(107), nullptr);
  EXPECT_FALSE(destroyWindow(d));
}

TEST_F(DialogTest, DestroyingTheOwnerDestroysOwnedDialogs) {
  destroyCount = 0;
  const Window owner = createHostWindow("Host", {0, 0, 800, 600});
  const ControlTemplate controls[] = {{kEditPvw, ControlKind::Edit, "keep", {}}};
  const DialogTemplate t{104, "Info", {10, 10, 200, 150}, controls, 1};
  const Window d = createDialog(t, owner, selfDestroyingProc, 0);
  EXPECT_TRUE(destroyWindow(owner));
  EXPECT_FALSE(isWindow(d));
  EXPECT_EQ(destroyCount, 1);
}

TEST_F(DialogTest, ActivateAppReachesEveryModelessDialogInOrder) {
  const Window a = createDialog(kPanel, nullptr, panelProc, 0);
  const Window b = createDialog(kRadios, nullptr, choiceProc, 0);
  const Window c = createDialog(kChoice, nullptr, choiceProc, 0);
  destroyWindow(b);
  procState_.log.clear();
  activateApp(false, 4321);
  activateApp(true, 99);
  ASSERT_EQ(procState_.log.size(), 4u);
  EXPECT_EQ(procState_.log[0].dialog, a);
  EXPECT_EQ(procState_.log[1].dialog, c);
  EXPECT_EQ(procState_.log[0].message, WM_ACTIVATEAPP);
  EXPECT_EQ(procState_.log[0].wParam, 0u);
  EXPECT_EQ(procState_.log[0].lParam, 4321);
  EXPECT_EQ(procState_.log[2].wParam, 1u);
  EXPECT_EQ(procState_.log[2].lParam, 99);
}

std::intptr_t answerProc(Window, unsigned message, std::uintptr_t wParam, std::intptr_t) {
  return message == WM_COMMAND ? static_cast<std::intptr_t>(wParam) * 2 : 0;
}

TEST_F(DialogTest, SendMessageReturnsTheProcedureResult) {
  const Window d = createDialog(kPanel, nullptr, answerProc, 0);
  EXPECT_EQ(sendMessage(d, WM_COMMAND, 21, 0), 42);
  EXPECT_EQ(sendMessage(d, WM_TIMER, 21, 0), 0);
}

// A procedure that keeps its context (a counter) in the window's user data:
// stored at WM_INITDIALOG, found again for a click and at WM_DESTROY.
std::intptr_t contextProc(Window dialog, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (message == WM_INITDIALOG) {
    setWindowUserData(dialog, lParam);
    return 1;
  }
  auto* counter = reinterpret_cast<int*>(windowUserData(dialog));
  if (counter == nullptr) return 0;
  if (message == WM_COMMAND && loWord(wParam) == 1045) *counter += 1;
  if (message == WM_DESTROY) *counter += 100;
  return 0;
}

TEST_F(DialogTest, UserDataCarriesTheContextFromInitialisationToDestruction) {
  int counter = 0;
  const Window owner = createHostWindow("Host", {0, 0, 800, 600});
  const ControlTemplate controls[] = {{1045, ControlKind::Button, "Close", {}}};
  const DialogTemplate t{107, "Mirror", {10, 10, 200, 150}, controls, 1};
  const Window d = createDialog(t, owner, contextProc, reinterpret_cast<std::intptr_t>(&counter));
  EXPECT_EQ(windowUserData(d), reinterpret_cast<std::intptr_t>(&counter));
  clickButton(d, 1045);
  EXPECT_EQ(counter, 1);
  EXPECT_TRUE(destroyWindow(d));
  EXPECT_EQ(counter, 101);
  // A window that is gone keeps nothing.
  EXPECT_EQ(windowUserData(d), 0);
  EXPECT_EQ(setWindowUserData(d, 5), 0);
}

TEST_F(DialogTest, SettingUserDataReturnsThePreviousValue) {
  const Window host = createHostWindow("Host", {0, 0, 800, 600});
  EXPECT_EQ(windowUserData(host), 0);
  EXPECT_EQ(setWindowUserData(host, 7), 0);
  EXPECT_EQ(setWindowUserData(host, 9), 7);
  EXPECT_EQ(windowUserData(host), 9);
  EXPECT_EQ(windowUserData(nullptr), 0);
}

} // namespace
