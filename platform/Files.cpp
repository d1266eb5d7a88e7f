#include "platform/Files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/Format.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vantrelo {

namespace {

namespace fs = std::filesystem;

// Paths travel as UTF-16; POSIX file names are UTF-8 bytes, Windows ones wide.
fs::path NativePath(std::u16string_view path) {
#ifdef _WIN32
    return fs::path(std::wstring(path.begin(), path.end()));
#else
    return fs::path(UnicodeToUtf8(path));
#endif
}

std::u16string FromNativePath(const fs::path& path) {
#ifdef _WIN32
    const std::wstring& text = path.native();
    return std::u16string(text.begin(), text.end());
#else
    return Utf8ToUnicode(path.native());
#endif
}

[[noreturn]] void CannotCreate(std::u16string_view path, int errorCode) {
    throw EFCreateError(Format(u"Cannot create file \"%s\". %s", {path, SysErrorMessage(errorCode)}));
}

} // namespace

std::u16string GetCurrentDir() {
    std::error_code error;
    const fs::path path = fs::current_path(error);
    return error ? std::u16string() : FromNativePath(path);
}

bool DirectoryExists(std::u16string_view path) {
    std::error_code error;
    return !path.empty() && fs::is_directory(NativePath(path), error);
}

bool ForceDirectories(std::u16string_view path) {
    if (path.empty()) return false;
    std::error_code error;
    const fs::path native = NativePath(path);
    fs::create_directories(native, error);
    return fs::is_directory(native, error);
}

bool ReadFileBytes(std::u16string_view path, std::string& bytes) {
    bytes.clear();
#ifdef _WIN32
    const std::wstring name(path.begin(), path.end());
    HANDLE file = ::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[65536];
    DWORD n = 0;
    bool ok = true;
    while ((ok = ::ReadFile(file, buffer, sizeof buffer, &n, nullptr) != 0) && n > 0) bytes.append(buffer, n);
    ::CloseHandle(file);
    if (!ok) bytes.clear();
    return ok;
#else
    const int fd = ::open(UnicodeToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) != 0) {
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            bytes.clear();
            return false;
        }
        bytes.append(buffer, std::size_t(n));
    }
    ::close(fd);
    return true;
#endif
}

void WriteFileBytes(std::u16string_view path, std::string_view bytes) {
#ifdef _WIN32
    const std::wstring name(path.begin(), path.end());
    HANDLE file = ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) CannotCreate(path, static_cast<int>(::GetLastError()));
    std::size_t done = 0;
    DWORD failure = 0;
    while (done < bytes.size() && !failure) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) failure = ::GetLastError();
        done += written;
    }
    if (!::CloseHandle(file) && !failure) failure = ::GetLastError();
    if (failure) CannotCreate(path, static_cast<int>(failure));
#else
    const int fd = ::open(UnicodeToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) CannotCreate(path, errno);
    std::size_t done = 0;
    int failure = 0;
    while (done < bytes.size() && !failure) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n >= 0) done += static_cast<std::size_t>(n);
        else if (errno != EINTR) failure = errno;
    }
    // A full disk may show only at close.
    if (::close(fd) != 0 && !failure && errno != EINTR) failure = errno;
    if (failure) CannotCreate(path, failure);
#endif
}

std::u16string ExecutablePath() {
#ifdef _WIN32
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::u16string();
        if (n < buffer.size()) return std::u16string(buffer.begin(), buffer.begin() + n);
        buffer.resize(buffer.size() * 2);
    }
#else
    std::error_code error;
    const fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? std::u16string() : FromNativePath(path);
#endif
}

} // namespace vantrelo
