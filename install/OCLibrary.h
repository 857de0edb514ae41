// OCLibrary: owner of one module loaded at run time, for the system and
// DirectX libraries that the installer must not import at load time (it has
// to start where they are missing).
#pragma once
#include <windows.h>
#include "base/Sys.h"

class OCLibrary {
public:
    explicit OCLibrary(const char* name) : m_module(sys::LoadModule(name)) {}
    virtual ~OCLibrary() { Free(); }
    OCLibrary(const OCLibrary&) = delete;            // a copy would free the module twice
    OCLibrary& operator=(const OCLibrary&) = delete;

    bool IsLoaded() const { return m_module != NULL; }
    HMODULE Get() const { return m_module; }
    void Free() {
        if (m_module) FreeLibrary(m_module);
        m_module = NULL;
    }
    // The export `name` (or MAKEINTRESOURCEA(ordinal)) as a function of type
    // Fn; NULL when the module or the export is missing.
    template <class Fn>
    Fn Export(const char* name) const {
        if (!m_module) return NULL;
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m_module, name)));
    }

private:
    HMODULE m_module;  // NULL when not loaded
};
