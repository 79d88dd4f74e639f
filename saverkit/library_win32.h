// An optional system library, loaded by name and released with the object; its entry points are
// looked up, so a Windows without the library or the function still runs the program.
#pragma once

#include "app/win32_api.h"

namespace nimbrel {

class Library {
  public:
    explicit Library(const char* name);
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library();

    // Null when the library or the function is missing.
    template <class F> F entry(const char* name) const {
        return module_ ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)))
                       : nullptr;
    }

  private:
    HMODULE module_ = nullptr;
};

} // namespace nimbrel
