#pragma once
// Loading a shared library at run time and finding its entry points by name
// (LoadLibraryExW/GetProcAddress on Windows, dlopen/dlsym elsewhere).
#include <string>

namespace vantrelo {

class TDynamicLibrary {
public:
    TDynamicLibrary() = default;
    ~TDynamicLibrary();
    TDynamicLibrary(const TDynamicLibrary&) = delete;
    TDynamicLibrary& operator=(const TDynamicLibrary&) = delete;

    // Loads the file (a bare name is searched for the platform's way; on Windows a path
    // makes the library's own folder part of the search for its dependencies). Returns
    // false when it cannot be loaded; LastError() then says why. Unloads a previous file.
    bool Load(const std::u16string& fileName);
    void Unload() noexcept;
    bool IsLoaded() const noexcept { return FHandle != nullptr; }
    const std::u16string& FileName() const noexcept { return FFileName; }
    // The OS's text for the last failed Load, for diagnostics.
    const std::u16string& LastError() const noexcept { return FLastError; }

    // The address of an exported symbol, or null when the library lacks it.
    void* Symbol(const char* name) const noexcept;

private:
    void* FHandle = nullptr;
    std::u16string FFileName;
    std::u16string FLastError;
};

} // namespace vantrelo
