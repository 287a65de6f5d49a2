// Run-time loading of shared libraries over dlopen/dlsym/dlclose, with a per-thread error text.
#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace platform {
namespace {

thread_local std::string lastError;

// dlerror() can be null when the loader kept no text; never leave a failure without a reason.
void Fail(const std::string& fallback) {
  const char* text = dlerror();
  lastError = text != nullptr ? text : fallback;
}

}  // namespace

ModuleHandle LoadLibrary(const std::string& name) {
  // dlopen("") would hand back the main program itself, which no caller means.
  if (name.empty()) {
    lastError = "empty library name";
    return nullptr;
  }
  // RTLD_LOCAL: a loaded library's symbols must not satisfy anyone else's references.
  ModuleHandle module = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    Fail("cannot load " + name);
    // The loader searches the RUNPATH of the object that calls dlopen, which is this shared
    // library, not the program; so look beside the program ($ORIGIN) ourselves.
    std::error_code ignored;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ignored);
    if (name.find('/') != std::string::npos || program.empty()) return nullptr;
    module = dlopen((program.parent_path() / name).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) return nullptr;  // the first reason stays
  }
  lastError.clear();
  return module;
}

void* GetProcAddress(ModuleHandle module, const char* name) {
  if (module == nullptr || name == nullptr) {
    lastError = module == nullptr ? "no module" : "no symbol name";
    return nullptr;
  }
  dlerror();  // clear a stale text so that the one read below belongs to this lookup
  void* address = dlsym(module, name);
  if (address == nullptr) {
    Fail(std::string("symbol not found: ") + name);
    return nullptr;
  }
  lastError.clear();
  return address;
}

bool FreeLibrary(ModuleHandle module) {
  if (module == nullptr) {
    lastError = "no module";
    return false;
  }
  if (dlclose(module) != 0) {
    Fail("cannot unload the module");
    return false;
  }
  lastError.clear();
  return true;
}

std::string LastLibraryError() { return lastError; }

}  // namespace platform
