#pragma once

#include <utility>

#include "shell/outside/com/IUnknown.h"

namespace orv {

// Owns one reference to a reference-counted object.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr& other) : object_(other.object_) {
    if (object_) object_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  // Takes over a reference the caller already holds (what QueryInterface and CreateInstance hand
  // out).
  static ComPtr Attach(T* object) {
    ComPtr pointer;
    pointer.object_ = object;
    return pointer;
  }

  void Reset() {
    if (object_) std::exchange(object_, nullptr)->Release();
  }
  // The address a creating call writes a new reference into.
  void** Receive() {
    Reset();
    return reinterpret_cast<void**>(&object_);
  }

  template <class U>
  ComPtr<U> As(const IID& iid) const {
    ComPtr<U> other;
    if (object_) object_->QueryInterface(iid, other.Receive());
    return other;
  }

  T* Get() const { return object_; }
  T* operator->() const { return object_; }
  T& operator*() const { return *object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};

}  // namespace orv
