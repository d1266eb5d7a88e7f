#include "platform/DynamicLibrary.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "platform/CodePage.h"

namespace vantrelo {

TDynamicLibrary::~TDynamicLibrary() { Unload(); }

#ifdef _WIN32

bool TDynamicLibrary::Load(const std::u16string& fileName) {
    Unload();
    // With a path, the library's dependencies are looked for beside it first.
    HMODULE module = ::LoadLibraryExW(reinterpret_cast<LPCWSTR>(fileName.c_str()), nullptr,
                                      LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) {
        wchar_t buffer[512] = {};
        DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                   ::GetLastError(), 0, buffer, 512, nullptr);
        FLastError.assign(reinterpret_cast<const char16_t*>(buffer), n);
        return false;
    }
    FHandle = module;
    FFileName = fileName;
    FLastError.clear();
    return true;
}

void TDynamicLibrary::Unload() noexcept {
    if (FHandle) ::FreeLibrary(static_cast<HMODULE>(FHandle));
    FHandle = nullptr;
    FFileName.clear();
}

void* TDynamicLibrary::Symbol(const char* name) const noexcept {
    if (!FHandle) return nullptr;
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(FHandle), name));
}

#else

bool TDynamicLibrary::Load(const std::u16string& fileName) {
    Unload();
    std::string path = UnicodeToUtf8(fileName);
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        FLastError = why ? Utf8ToUnicode(why) : std::u16string();
        return false;
    }
    FHandle = handle;
    FFileName = fileName;
    FLastError.clear();
    return true;
}

void TDynamicLibrary::Unload() noexcept {
    if (FHandle) ::dlclose(FHandle);
    FHandle = nullptr;
    FFileName.clear();
}

void* TDynamicLibrary::Symbol(const char* name) const noexcept {
    if (!FHandle) return nullptr;
    return ::dlsym(FHandle, name);
}

#endif

} // namespace vantrelo
