// The log of Host* calls, the armed faults and the last diagnostic.
#pragma once

#include "hostimaging/host_imaging_control.h"

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace hostimg::detail {

class CallJournal {
 public:
  static CallJournal& instance();

  // Whether the next call of `function` is to fail; consumes one armed fault.
  bool takeFault(const char* function);
  void record(const char* function, std::vector<std::string> args, std::int64_t result,
              bool injected);
  bool logging();

  bool armFault(const std::string& function, int count);
  void clearFaults();
  std::vector<CallRecord> log();
  void clearLog();
  void setLogging(bool on);
  void setLastError(std::string message);
  std::string lastError();
  void reset();

 private:
  static constexpr std::size_t kLogLimit = 100000;

  std::mutex mutex_;
  std::deque<CallRecord> log_;
  std::uint64_t nextSequence_ = 1;
  bool logging_ = true;
  std::map<std::string, int, std::less<>> faults_;
  std::string lastError_;
};

}  // namespace hostimg::detail
