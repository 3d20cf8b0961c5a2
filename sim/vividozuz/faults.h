// Injected failures of SDK functions and the per-thread last error.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace vzsim {

// Whether `name` is one of the SDK functions a fault can be set on.
bool isFaultableFunction(std::string_view name);

class FaultTable {
public:
  // `skip` calls that match pass before the `count` failures begin.
  bool add(const std::string& function, int count, std::uint32_t errorCode, int property,
           int skip = 0);
  void clear();
  // When a fault matches this call, uses it up and returns true with its
  // error code. `property` is -1 for functions without a property argument.
  bool take(std::string_view function, int property, std::uint32_t& errorCode);

private:
  struct Fault {
    std::string function;
    int remaining;
    std::uint32_t errorCode;
    int property;
    int skip;
  };
  std::mutex mutex_;
  std::vector<Fault> faults_;
};

void setLastError(std::uint32_t code);
std::uint32_t lastError();

} // namespace vzsim
