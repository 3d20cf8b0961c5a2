// Top-level and child windows, activation, placement, status bars and the
// wait cursor.
#include "state.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace platform::headless::detail {
namespace {

// Handles of windows created here are addresses inside this reserved block,
// which is never touched: they can't collide with any value a host passes
// in (a foreign handle), and a handle of a destroyed window stays invalid
// instead of becoming foreign.
constexpr std::size_t kHandleSpace = std::size_t{1} << 22;
alignas(64) char handleSpace[kHandleSpace];

bool isOwnHandle(Window w) {
  const auto value = reinterpret_cast<std::uintptr_t>(w);
  const auto base = reinterpret_cast<std::uintptr_t>(&handleSpace[0]);
  return value >= base && value < base + kHandleSpace;
}

struct WindowRegistry {
  std::unordered_map<Window, std::unique_ptr<WindowData>> windows;
  std::unordered_set<Window> destroyedForeign;
  std::vector<WindowOperation> operations;
  Window active = nullptr;
  std::uint64_t nextSequence = 1;
  std::size_t nextHandle = 1;
  bool waitCursor = false;
  std::vector<bool> waitCursorCalls;
};

WindowRegistry& registry() {
  static WindowRegistry* instance = new WindowRegistry;
  return *instance;
}

Window allocateHandleLocked() {
  WindowRegistry& r = registry();
  for (;;) {
    if (r.nextHandle >= kHandleSpace) r.nextHandle = 1;
    Window w = reinterpret_cast<Window>(&handleSpace[r.nextHandle++]);
    if (r.windows.find(w) == r.windows.end()) return w;
  }
}

int width(const Rect& r) { return r.right - r.left; }
int height(const Rect& r) { return r.bottom - r.top; }

Rect clientRectOf(const WindowData& w) {
  if (w.child) return Rect{0, 0, std::max(0, width(w.rect)), std::max(0, height(w.rect))};
  return Rect{0, 0, std::max(0, width(w.rect) - kFrameWidth),
              std::max(0, height(w.rect) - kFrameHeight)};
}

// Screen position of a window's client origin.
void clientOrigin(const WindowData& w, int* x, int* y);

Rect screenRectOf(const WindowData& w) {
  if (!w.child) return w.rect;
  const WindowData* parent = peekWindowLocked(w.owner);
  int x = 0;
  int y = 0;
  if (parent != nullptr) clientOrigin(*parent, &x, &y);
  return Rect{w.rect.left + x, w.rect.top + y, w.rect.right + x, w.rect.bottom + y};
}

void clientOrigin(const WindowData& w, int* x, int* y) {
  const Rect screen = screenRectOf(w);
  *x = screen.left + (w.child ? 0 : kFrameLeft);
  *y = screen.top + (w.child ? 0 : kFrameTop);
}

bool isStatusBar(const WindowData& w) { return w.className == kStatusBarClass; }

// A status bar always covers the full width of its parent's client area,
// kStatusBarHeight high, at its foot.
void dockStatusBarsLocked(const WindowData& parent) {
  const Rect client = clientRectOf(parent);
  for (Window c : parent.children) {
    WindowData* child = peekWindowLocked(c);
    if (child == nullptr || !isStatusBar(*child)) continue;
    child->rect = Rect{0, client.bottom - kStatusBarHeight, client.right, client.bottom};
  }
}

void resizeLocked(WindowData& w, int x, int y, int cx, int cy, bool move, bool size) {
  Rect r = w.rect;
  if (move) {
    r.right = x + width(r);
    r.bottom = y + height(r);
    r.left = x;
    r.top = y;
  }
  if (size) {
    r.right = r.left + std::max(0, cx);
    r.bottom = r.top + std::max(0, cy);
  }
  w.rect = r;
  if (isStatusBar(w)) {
    if (const WindowData* parent = peekWindowLocked(w.owner)) dockStatusBarsLocked(*parent);
  }
  dockStatusBarsLocked(w);
}

// Activation passes to the owner when the active window is hidden or goes.
void deactivateLocked(const WindowData& w) {
  WindowRegistry& r = registry();
  if (r.active != w.handle) return;
  const WindowData* owner = peekWindowLocked(w.owner);
  r.active = (owner != nullptr && !owner->child) ? owner->handle : nullptr;
}

void removeLocked(Window w) {
  WindowRegistry& r = registry();
  auto it = r.windows.find(w);
  if (it == r.windows.end()) return;
  const std::vector<Window> children = it->second->children;
  for (Window c : children) removeLocked(c);
  it = r.windows.find(w);
  if (it == r.windows.end()) return;
  WindowData& data = *it->second;
  deactivateLocked(data);
  if (r.active == w) r.active = nullptr;
  if (data.child) {
    if (WindowData* parent = peekWindowLocked(data.owner)) {
      auto& siblings = parent->children;
      siblings.erase(std::remove(siblings.begin(), siblings.end(), w), siblings.end());
    }
  }
  if (data.foreign) r.destroyedForeign.insert(w);
  killWindowTimersLocked(w);
  dropPostedLocked(w);
  r.windows.erase(it);
}


} // namespace

WindowData* peekWindowLocked(Window w) {
  if (w == nullptr) return nullptr;
  auto& windows = registry().windows;
  auto it = windows.find(w);
  return it == windows.end() ? nullptr : it->second.get();
}

WindowData* findWindowLocked(Window w) {
  if (w == nullptr) return nullptr;
  if (WindowData* existing = peekWindowLocked(w)) return existing;
  WindowRegistry& r = registry();
  if (isOwnHandle(w) || r.destroyedForeign.count(w) != 0) return nullptr;
  auto data = std::make_unique<WindowData>();
  data->handle = w;
  data->sequence = r.nextSequence++;
  data->foreign = true;
  data->visible = true;
  data->rect = kForeignWindowRect;
  WindowData* result = data.get();
  r.windows.emplace(w, std::move(data));
  return result;
}

WindowData& createWindowLocked(const std::string& className, const std::string& text, Rect rect,
                               Window owner, bool child) {
  WindowRegistry& r = registry();
  auto data = std::make_unique<WindowData>();
  data->handle = allocateHandleLocked();
  data->sequence = r.nextSequence++;
  data->child = child;
  data->owner = owner;
  data->className = className;
  data->text = text;
  data->rect = rect;
  WindowData& result = *data;
  r.windows.emplace(result.handle, std::move(data));
  if (child) {
    if (WindowData* parent = peekWindowLocked(owner)) parent->children.push_back(result.handle);
  }
  return result;
}

WindowData* childByIdLocked(const WindowData& parent, int id) {
  for (Window c : parent.children) {
    WindowData* child = peekWindowLocked(c);
    if (child != nullptr && child->controlId == id) return child;
  }
  return nullptr;
}

void recordOperationLocked(Window w, std::string operation) {
  registry().operations.push_back(WindowOperation{w, std::move(operation)});
}

std::vector<Window> topLevelWindowsLocked() {
  std::vector<const WindowData*> list;
  for (const auto& [handle, data] : registry().windows) {
    if (!data->child) list.push_back(data.get());
  }
  std::sort(list.begin(), list.end(),
            [](const WindowData* a, const WindowData* b) { return a->sequence < b->sequence; });
  std::vector<Window> result;
  result.reserve(list.size());
  for (const WindowData* w : list) result.push_back(w->handle);
  return result;
}

void activateLocked(Window w) {
  if (w == nullptr) {
    registry().active = nullptr;
    return;
  }
  const WindowData* data = peekWindowLocked(w);
  if (data != nullptr && !data->child) registry().active = w;
}

Window activeWindowLocked() { return registry().active; }

bool destroyWindowTree(Window w) {
  std::vector<Window> owned;
  {
    Lock lock(stateMutex());
    if (findWindowLocked(w) == nullptr) return false;
    for (Window top : topLevelWindowsLocked()) {
      const WindowData* t = peekWindowLocked(top);
      if (t != nullptr && t->owner == w && top != w) owned.push_back(top);
    }
  }
  for (Window o : owned) destroyWindowTree(o);

  bool sendDestroy = false;
  {
    Lock lock(stateMutex());
    WindowData* data = peekWindowLocked(w);
    if (data == nullptr) return true;  // destroyed by an owned window's handler
    data->visible = false;
    if (data->dialog && !data->dialog->destroySent) {
      data->dialog->destroySent = true;
      sendDestroy = true;
    }
  }
  // The window and its controls still exist while WM_DESTROY is handled.
  if (sendDestroy) callProcedure(w, WM_DESTROY, 0, 0);
  {
    Lock lock(stateMutex());
    removeLocked(w);
  }
  stateChanged().notify_all();  // timers may have gone
  return true;
}

void resetWindowsLocked() {
  WindowRegistry& r = registry();
  r.windows.clear();
  r.destroyedForeign.clear();
  r.operations.clear();
  r.active = nullptr;
  r.waitCursor = false;
  r.waitCursorCalls.clear();
  // Handles keep counting up, so that a handle kept from before the reset
  // does not name a new window.
}

} // namespace platform::headless::detail

namespace platform {

using namespace headless::detail;

Window activeWindow() {
  Lock lock(stateMutex());
  return activeWindowLocked();
}

bool isWindow(Window w) {
  Lock lock(stateMutex());
  return findWindowLocked(w) != nullptr;
}

bool showWindow(Window w, int command) {
  Lock lock(stateMutex());
  WindowData* data = findWindowLocked(w);
  if (data == nullptr) return false;
  recordOperationLocked(w, "showWindow " + std::to_string(command));
  const bool wasVisible = data->visible;
  switch (command) {
    case SW_HIDE:
      data->visible = false;
      deactivateLocked(*data);
      break;
    case SW_SHOWNOACTIVATE:
    case 6:  // SW_MINIMIZE
    case 7:  // SW_SHOWMINNOACTIVE
    case 8:  // SW_SHOWNA
      data->visible = true;
      break;
    default:  // SW_SHOW, SW_SHOWNORMAL, SW_RESTORE, ... show and activate
      data->visible = true;
      if (!data->child) registry().active = w;
      break;
  }
  return wasVisible;
}

bool setWindowPos(Window w, Window insertAfter, int x, int y, int width, int height,
                  unsigned flags) {
  static_cast<void>(insertAfter);  // z-order is not modelled
  Lock lock(stateMutex());
  WindowData* data = findWindowLocked(w);
  if (data == nullptr) return false;
  recordOperationLocked(w, format("setWindowPos %d %d %d %d flags=0x%x", x, y, width, height,
                                  flags));
  resizeLocked(*data, x, y, width, height, (flags & SWP_NOMOVE) == 0, (flags & SWP_NOSIZE) == 0);
  if ((flags & SWP_NOACTIVATE) == 0 && !data->child && data->visible) registry().active = w;
  return true;
}

bool moveWindow(Window w, int x, int y, int width, int height, bool repaint) {
  Lock lock(stateMutex());
  WindowData* data = findWindowLocked(w);
  if (data == nullptr) return false;
  recordOperationLocked(w, format("moveWindow %d %d %d %d repaint=%u", x, y, width, height,
                                  repaint ? 1u : 0u));
  resizeLocked(*data, x, y, width, height, true, true);
  return true;
}

bool getWindowRect(Window w, Rect* rect) {
  Lock lock(stateMutex());
  const WindowData* data = findWindowLocked(w);
  if (data == nullptr || rect == nullptr) return false;
  *rect = screenRectOf(*data);
  return true;
}

bool getClientRect(Window w, Rect* rect) {
  Lock lock(stateMutex());
  const WindowData* data = findWindowLocked(w);
  if (data == nullptr || rect == nullptr) return false;
  *rect = clientRectOf(*data);
  return true;
}

bool destroyWindow(Window w) {
  {
    Lock lock(stateMutex());
    if (findWindowLocked(w) == nullptr) return false;
    recordOperationLocked(w, "destroyWindow");
  }
  return destroyWindowTree(w);
}

bool setWindowText(Window w, const char* text) {
  bool isControl = false;
  {
    Lock lock(stateMutex());
    WindowData* data = findWindowLocked(w);
    if (data == nullptr) return false;
    recordOperationLocked(w, std::string("setWindowText ") + (text != nullptr ? text : ""));
    isControl = data->control.has_value();
    if (!isControl) data->text = text != nullptr ? text : "";
  }
  // A control's text goes through the same path as setDlgItemText, so that
  // an edit notifies its dialog.
  if (isControl) return setControlText(w, text);
  return true;
}

int getWindowText(Window w, char* buffer, int size) {
  Lock lock(stateMutex());
  const WindowData* data = findWindowLocked(w);
  if (buffer == nullptr || size <= 0) return 0;
  if (data == nullptr) {
    buffer[0] = '\0';
    return 0;
  }
  return static_cast<int>(copyTerminated(data->text, buffer, static_cast<std::size_t>(size)));
}

bool enableWindow(Window w, bool enable) {
  Lock lock(stateMutex());
  WindowData* data = findWindowLocked(w);
  if (data == nullptr) return false;
  recordOperationLocked(w, std::string("enableWindow ") + (enable ? "1" : "0"));
  const bool wasDisabled = !data->enabled;
  data->enabled = enable;
  return wasDisabled;  // as EnableWindow: nonzero when it was disabled before
}

bool isWindowEnabled(Window w) {
  Lock lock(stateMutex());
  const WindowData* data = findWindowLocked(w);
  return data != nullptr && data->enabled;
}

bool isWindowVisible(Window w) {
  Lock lock(stateMutex());
  const WindowData* data = findWindowLocked(w);
  // Visible only when the window and every parent above it are.
  while (data != nullptr) {
    if (!data->visible) return false;
    if (!data->child) return true;
    data = peekWindowLocked(data->owner);
  }
  return false;
}

std::intptr_t setWindowUserData(Window w, std::intptr_t value) {
  Lock lock(stateMutex());
  WindowData* data = findWindowLocked(w);
  if (data == nullptr) return 0;
  const std::intptr_t previous = data->userData;
  data->userData = value;
  return previous;
}

std::intptr_t windowUserData(Window w) {
  Lock lock(stateMutex());
  const WindowData* data = findWindowLocked(w);
  return data != nullptr ? data->userData : 0;
}

Window createStatusBar(Window parent, int id) {
  Lock lock(stateMutex());
  WindowData* p = findWindowLocked(parent);
  if (p == nullptr) return nullptr;
  recordOperationLocked(parent, "createStatusBar " + std::to_string(id));
  WindowData& bar = createWindowLocked(kStatusBarClass, "", Rect{}, parent, true);
  bar.visible = true;
  bar.controlId = id;
  bar.statusParts = {-1};  // one part reaching the right edge
  bar.statusTexts = {""};
  // `p` stays valid: creating a window does not move existing ones.
  dockStatusBarsLocked(*p);
  return bar.handle;
}

bool statusBarSetParts(Window statusBar, int count, const int* rightEdges) {
  Lock lock(stateMutex());
  WindowData* bar = peekWindowLocked(statusBar);
  if (bar == nullptr || !isStatusBar(*bar)) return false;
  if (count < 1 || count > 256 || rightEdges == nullptr) return false;
  const auto n = static_cast<std::size_t>(count);
  bar->statusParts.assign(rightEdges, rightEdges + n);
  bar->statusTexts.resize(n);
  return true;
}

bool statusBarSetText(Window statusBar, int part, const char* text) {
  Lock lock(stateMutex());
  WindowData* bar = peekWindowLocked(statusBar);
  if (bar == nullptr || !isStatusBar(*bar)) return false;
  if (part < 0 || static_cast<std::size_t>(part) >= bar->statusTexts.size()) return false;
  bar->statusTexts[static_cast<std::size_t>(part)] = text != nullptr ? text : "";
  return true;
}

bool setWaitCursor(bool wait) {
  Lock lock(stateMutex());
  WindowRegistry& r = registry();
  const bool previous = r.waitCursor;
  r.waitCursor = wait;
  r.waitCursorCalls.push_back(wait);
  return previous;
}

} // namespace platform

namespace platform::headless {

using namespace detail;

Window createHostWindow(const char* title, Rect outer) {
  Lock lock(stateMutex());
  WindowData& w = createWindowLocked("HostWindow", title != nullptr ? title : "", outer, nullptr,
                                     false);
  w.visible = true;
  registry().active = w.handle;
  return w.handle;
}

void setActiveWindow(Window w) {
  Lock lock(stateMutex());
  if (w == nullptr) {
    registry().active = nullptr;
    return;
  }
  const WindowData* data = findWindowLocked(w);
  if (data != nullptr && !data->child) registry().active = w;
}

WindowInfo windowInfo(Window w) {
  Lock lock(stateMutex());
  WindowInfo info;
  const WindowData* data = peekWindowLocked(w);
  if (data == nullptr) {
    info.foreign = w != nullptr && !isOwnHandle(w);
    return info;
  }
  info.exists = true;
  info.foreign = data->foreign;
  info.visible = data->visible;
  info.enabled = data->enabled;
  info.owner = data->owner;
  info.className = data->className;
  info.text = data->text;
  info.windowRect = screenRectOf(*data);
  info.clientRect = clientRectOf(*data);
  info.controlId = data->controlId;
  info.statusParts = data->statusParts;
  info.statusTexts = data->statusTexts;
  info.children = data->children;
  return info;
}

Window statusBarOf(Window parent) {
  Lock lock(stateMutex());
  const WindowData* p = peekWindowLocked(parent);
  if (p == nullptr) return nullptr;
  for (Window c : p->children) {
    const WindowData* child = peekWindowLocked(c);
    if (child != nullptr && isStatusBar(*child)) return c;
  }
  return nullptr;
}

std::vector<WindowOperation> windowOperations() {
  Lock lock(stateMutex());
  return registry().operations;
}

void clearWindowOperations() {
  Lock lock(stateMutex());
  registry().operations.clear();
}

bool waitCursorShown() {
  Lock lock(stateMutex());
  return registry().waitCursor;
}

std::vector<bool> waitCursorCalls() {
  Lock lock(stateMutex());
  return registry().waitCursorCalls;
}

} // namespace platform::headless
