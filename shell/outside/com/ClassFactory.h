#pragma once

#include <new>

#include "shell/outside/com/ComObject.h"
#include "shell/outside/com/IClassFactory.h"

namespace orv {

// Hands out new objects of one component class.
template <class Component>
class ClassFactory final : public ComObject<IClassFactory> {
 public:
  HRESULT QueryInterface(const IID& iid, void** object) override {
    return Answer(iid, object, {{IID_IClassFactory, static_cast<IClassFactory*>(this)}});
  }
  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* component = new (std::nothrow) Component();
    if (!component) return E_OUTOFMEMORY;
    HRESULT result = component->QueryInterface(iid, object);
    component->Release();  // the interface handed out holds the only reference now
    return result;
  }
  HRESULT LockServer(bool lock) override {
    ComModule::Lock(lock);
    return S_OK;
  }
};

}  // namespace orv
