#pragma once

#include "shell/outside/com/IUnknown.h"

namespace orv {

inline const IID IID_IClassFactory{"{00000001-0000-0000-C000-000000000046}"};

class IClassFactory : public IUnknown {
 public:
  virtual HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) = 0;
  virtual HRESULT LockServer(bool lock) = 0;

 protected:
  ~IClassFactory() = default;
};

}  // namespace orv
