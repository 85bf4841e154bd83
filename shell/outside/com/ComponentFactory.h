#pragma once

#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "shell/outside/com/ComPtr.h"
#include "shell/outside/com/ComRegistry.h"

namespace orv {

// Creates components the way a host does: the ProgID names a class identifier in the registration
// file, which names the shared library serving it; the library is loaded and its class object
// asked for a new instance. Keep the factory alive as long as its components.
class ComponentFactory {
 public:
  explicit ComponentFactory(ComRegistry registry);
  ~ComponentFactory();
  ComponentFactory(const ComponentFactory&) = delete;
  ComponentFactory& operator=(const ComponentFactory&) = delete;

  // A new instance's IUnknown; the caller asks it for the interface it drives. AppError with
  // REGDB_E_CLASSNOTREG for a ProgID nobody registered.
  ComPtr<IUnknown> Create(std::string_view prog_id);

 private:
  struct LoadedLibrary;
  ComRegistry registry_;
  std::vector<std::unique_ptr<LoadedLibrary>> libraries_;
};

}  // namespace orv
