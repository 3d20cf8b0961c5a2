// The properties a host sets and reads by name (`get`, `set` and the
// options steps' `set`).
#pragma once

namespace host {

inline constexpr const char* kPropertyNames[] = {"exposure", "gain", "gamma", "brightness", "red", "green", "blue"};

} // namespace host
