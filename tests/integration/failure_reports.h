// What the driver tells the user when one SDK call fails, by the place the
// call is made from. A function called from several places may be reported
// at some and only logged (or ignored) at others; the place is recognised
// by the property the call is about, by the calls just before and after it
// in a session where nothing fails, and by the step of the scripted session.
#pragma once

#include "vividozuz/sim_control.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sweep {

struct CallSite {
  const vzsim::JournalEntry& call;
  const vzsim::JournalEntry* previous;  // null at the start
  const vzsim::JournalEntry* next;      // null at the end
  std::string step;
};

struct ExpectedReport {
  bool box = false;     // false: nothing is shown
  std::string text;     // the box's text; "%d" stands for the SDK's error code
  std::string place;    // what the call was doing, for the test's messages
};

// The report the driver owes for a failure of `site.call`.
ExpectedReport expectedReport(const CallSite& site);

// The box text with the error code in place of "%d".
std::string withCode(const std::string& text, std::uint32_t code);

} // namespace sweep
