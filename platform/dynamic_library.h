// Loading shared libraries by name at run time, in place of LoadLibrary/GetProcAddress/FreeLibrary.
#pragma once

#include <string>

namespace platform {

// Opaque module handle; nullptr means not loaded.
using ModuleHandle = void*;

// dlopen with the normal search (RUNPATH, LD_LIBRARY_PATH, system paths). nullptr on failure;
// LastLibraryError() then says why.
ModuleHandle LoadLibrary(const std::string& name);

// Address of an exported symbol, nullptr when the module is null or lacks it.
void* GetProcAddress(ModuleHandle module, const char* name);

// Releases a module (the loader counts loads, so each LoadLibrary needs its own FreeLibrary);
// false for a null handle or when dlclose fails.
bool FreeLibrary(ModuleHandle module);

// Why the calling thread's most recent loader call failed; "" when that call succeeded or
// none was made. Each thread keeps its own text.
std::string LastLibraryError();

}  // namespace platform
