#include "shell/outside/com/ComponentFactory.h"

#include <dlfcn.h>

#include <fmt/format.h>

#include "shell/outside/base/AppError.h"
#include "shell/outside/com/IClassFactory.h"

namespace orv {

struct ComponentFactory::LoadedLibrary {
  std::filesystem::path path;
  void* handle = nullptr;
  ~LoadedLibrary() {
    if (handle) ::dlclose(handle);
  }
};

namespace {

using GetClassObject = HRESULT (*)(const CLSID*, const IID*, void**);

[[noreturn]] void Fail(HRESULT result, const std::string& text) {
  throw AppError(result, "", text);
}

}  // namespace

ComponentFactory::ComponentFactory(ComRegistry registry) : registry_(std::move(registry)) {}
ComponentFactory::~ComponentFactory() = default;

ComPtr<IUnknown> ComponentFactory::Create(std::string_view prog_id) {
  auto clsid = registry_.ClsidFromProgId(prog_id);
  if (!clsid)
    Fail(REGDB_E_CLASSNOTREG, fmt::format("No component is registered as \"{}\" (in {})", prog_id,
                                          registry_.File().string()));
  auto server = registry_.ServerOf(*clsid);
  if (!server)
    Fail(REGDB_E_CLASSNOTREG,
         fmt::format("The class {} of \"{}\" names no library", clsid->text, prog_id));

  LoadedLibrary* library = nullptr;
  for (const auto& loaded : libraries_)
    if (loaded->path == *server) library = loaded.get();
  if (!library) {
    auto loaded = std::make_unique<LoadedLibrary>();
    loaded->path = *server;
    loaded->handle = ::dlopen(server->c_str(), RTLD_NOW);
    if (!loaded->handle)
      Fail(REGDB_E_CLASSNOTREG,
           fmt::format("Cannot load {} for \"{}\": {}", server->string(), prog_id, ::dlerror()));
    library = loaded.get();
    libraries_.push_back(std::move(loaded));
  }

  auto get_class_object =
      reinterpret_cast<GetClassObject>(::dlsym(library->handle, "DllGetClassObject"));
  if (!get_class_object)
    Fail(REGDB_E_CLASSNOTREG, server->string() + " is not a component library");
  ComPtr<IClassFactory> factory;
  HRESULT result = get_class_object(&*clsid, &IID_IClassFactory, factory.Receive());
  if (result != S_OK)
    Fail(result, fmt::format("{} does not serve the class of \"{}\"", server->string(), prog_id));
  ComPtr<IUnknown> component;
  result = factory->CreateInstance(nullptr, IID_IUnknown, component.Receive());
  if (result != S_OK) Fail(result, fmt::format("Cannot create \"{}\"", prog_id));
  return component;
}

}  // namespace orv
