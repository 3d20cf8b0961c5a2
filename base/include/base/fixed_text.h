// Text held in a fixed-size field (paths of 260 characters, names of 60),
// as hosts and files see it. Assigning text that does not fit is refused
// and leaves the old value, so a long path is never cut into the name of
// another file.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace vx {

template <std::size_t N>
class FixedText {
 public:
  static constexpr std::size_t capacity = N - 1;  // characters, without terminator

  FixedText() { text_[0] = '\0'; }

  // Copies `source` with its terminator. Returns false (and keeps the old
  // value) for a null pointer or a text longer than `capacity`.
  bool assign(const char* source) {
    if (source == nullptr) return false;
    const std::size_t length = ::strnlen(source, N);
    if (length > capacity) return false;
    std::memcpy(text_.data(), source, length);
    text_[length] = '\0';
    return true;
  }
  bool assign(std::string_view source) {
    if (source.size() > capacity) return false;
    std::memcpy(text_.data(), source.data(), source.size());
    text_[source.size()] = '\0';
    return true;
  }
  void clear() { text_[0] = '\0'; }

  const char* c_str() const { return text_.data(); }
  char* data() { return text_.data(); }
  std::size_t length() const { return ::strnlen(text_.data(), N); }
  bool empty() const { return text_[0] == '\0'; }
  std::string_view view() const { return {text_.data(), length()}; }

 private:
  std::array<char, N> text_{};
};

// Copies `source` into `destination` of `size` bytes when it fits (with its
// terminator). Returns false and writes nothing otherwise.
inline bool copyIfFits(char* destination, std::size_t size, const char* source) {
  if (destination == nullptr || source == nullptr || size == 0) return false;
  const std::size_t length = ::strnlen(source, size);
  if (length >= size) return false;
  std::memcpy(destination, source, length + 1);
  return true;
}

} // namespace vx
