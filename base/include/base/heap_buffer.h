// Owning, uninitialised heap buffer whose allocation failure is a result, not
// an exception: the driver reports "Failed to allocate memory ..." and goes
// on. Frame-sized buffers are not zero-filled because every byte is written
// before it is read.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace vx {

template <class T>
class HeapBuffer {
 public:
  HeapBuffer() = default;
  HeapBuffer(HeapBuffer&&) noexcept = default;
  HeapBuffer& operator=(HeapBuffer&&) noexcept = default;
  HeapBuffer(const HeapBuffer&) = delete;
  HeapBuffer& operator=(const HeapBuffer&) = delete;

  // Replaces the contents with `count` uninitialised elements. Returns false
  // (and holds nothing) when the memory can't be had.
  bool allocate(std::size_t count) noexcept {
    release();
    if (count == 0) return false;
    data_.reset(new (std::nothrow) T[count]);
    if (!data_) return false;
    size_ = count;
    return true;
  }

  // Like allocate, but keeps the storage when it already holds `count`
  // elements, so that repeated frames of one size allocate nothing. The
  // contents are unspecified either way.
  bool resize(std::size_t count) noexcept {
    if (count != 0 && count == size_) return true;
    return allocate(count);
  }

  void release() noexcept {
    data_.reset();
    size_ = 0;
  }

  T* data() noexcept { return data_.get(); }
  const T* data() const noexcept { return data_.get(); }
  std::size_t size() const noexcept { return size_; }
  bool empty() const noexcept { return size_ == 0; }
  explicit operator bool() const noexcept { return size_ != 0; }
  T& operator[](std::size_t i) noexcept { return data_[i]; }
  const T& operator[](std::size_t i) const noexcept { return data_[i]; }

 private:
  std::unique_ptr<T[]> data_;
  std::size_t size_ = 0;
};

} // namespace vx
