#include "hostimaging/call_journal.h"

#include <array>
#include <string_view>

namespace hostimg::detail {

namespace {

// The functions that have a way to report failure.
constexpr std::array<std::string_view, 9> kFailable = {
    "HostImageCreate",   "HostImageLock",  "HostImageAttribute",
    "HostImageLine",     "HostImageConvert", "HostImageLoadFile",
    "HostFileCreate",    "HostFileWriteLines", "HostFileClose"};

}  // namespace

CallJournal& CallJournal::instance() {
  static CallJournal journal;
  return journal;
}

bool CallJournal::takeFault(const char* function) {
  std::lock_guard guard(mutex_);
  const auto it = faults_.find(std::string_view(function));
  if (it == faults_.end()) return false;
  if (--it->second == 0) faults_.erase(it);
  return true;
}

void CallJournal::record(const char* function, std::vector<std::string> args,
                         std::int64_t result, bool injected) {
  std::lock_guard guard(mutex_);
  if (!logging_) return;
  if (log_.size() == kLogLimit) log_.pop_front();
  log_.push_back(CallRecord{nextSequence_++, function, std::move(args), result, injected});
}

bool CallJournal::logging() {
  std::lock_guard guard(mutex_);
  return logging_;
}

bool CallJournal::armFault(const std::string& function, int count) {
  if (count < 1) return false;
  bool known = false;
  for (const auto name : kFailable) known = known || name == function;
  if (!known) return false;
  std::lock_guard guard(mutex_);
  faults_[function] += count;
  return true;
}

void CallJournal::clearFaults() {
  std::lock_guard guard(mutex_);
  faults_.clear();
}

std::vector<CallRecord> CallJournal::log() {
  std::lock_guard guard(mutex_);
  return {log_.begin(), log_.end()};
}

void CallJournal::clearLog() {
  std::lock_guard guard(mutex_);
  log_.clear();
}

void CallJournal::setLogging(bool on) {
  std::lock_guard guard(mutex_);
  logging_ = on;
}

void CallJournal::setLastError(std::string message) {
  std::lock_guard guard(mutex_);
  lastError_ = std::move(message);
}

std::string CallJournal::lastError() {
  std::lock_guard guard(mutex_);
  return lastError_;
}

void CallJournal::reset() {
  std::lock_guard guard(mutex_);
  log_.clear();
  faults_.clear();
  lastError_.clear();
}

}  // namespace hostimg::detail
