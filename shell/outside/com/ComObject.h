#pragma once

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "shell/outside/com/ComModule.h"
#include "shell/outside/com/IUnknown.h"

namespace orv {

// Reference counting and module accounting for a class whose primary interface is `Interface`.
// The class lists the interfaces it answers to, each with its identifier.
template <class Interface>
class ComObject : public Interface {
 public:
  ComObject() { ComModule::ObjectCreated(); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  std::uint32_t AddRef() override { return ++references_; }
  std::uint32_t Release() override {
    std::uint32_t left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~ComObject() { ComModule::ObjectDestroyed(); }

  struct Offered {
    const IID& iid;
    void* pointer;  // this object, cast to the interface `iid` names
  };

  HRESULT Answer(const IID& iid, void** object, std::initializer_list<Offered> interfaces) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown) *object = static_cast<IUnknown*>(this);
    for (const auto& offered : interfaces)
      if (iid == offered.iid) *object = offered.pointer;
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }

 private:
  std::atomic<std::uint32_t> references_{1};
};

}  // namespace orv
