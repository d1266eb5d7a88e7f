#include "app/AutostartEntry.h"

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/Files.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vantrelo {
namespace {

// The registry layer's message when a value cannot be written.
Exception SetDataFailed(const std::u16string& name) { return Exception(u"Failed to set data for '" + name + u"'"); }

// An Exec= argument: quoted, with the characters the desktop entry format reserves
// escaped, and '%' doubled so it is not taken for a field code.
std::string ExecArgument(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        // The file's string escaping doubles every backslash the quoting rule asks for.
        if (c == '\\') quoted += "\\\\\\\\";
        else if (c == '"' || c == '`' || c == '$') quoted += std::string("\\\\") + c;
        else if (c == '%') quoted += "%%";
        else quoted += c;
    }
    return quoted + "\"";
}

// Line breaks would start new keys.
std::string SingleLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

} // namespace

#ifdef _WIN32
void TRunKeyAutostart::Register(const std::u16string& name, const std::u16string& program) {
    HKEY key = nullptr;
    // Opened, never created; when it does not open (no administrator rights) the write fails.
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_ALL_ACCESS,
                      &key) != ERROR_SUCCESS)
        throw SetDataFailed(name);
    LONG written = RegSetValueExW(key, reinterpret_cast<const wchar_t*>(name.c_str()), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(program.c_str()),
                                  DWORD((program.size() + 1) * sizeof(char16_t)));
    RegCloseKey(key);
    if (written != ERROR_SUCCESS) throw SetDataFailed(name);
}
#endif

TXdgAutostart::TXdgAutostart(std::u16string folder) : FFolder(std::move(folder)) {}

std::u16string TXdgAutostart::FileName(const std::u16string& name) {
    std::u16string file;
    for (char16_t c : name) file += c == u' ' ? u'-' : (c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c);
    return file + u".desktop";
}

std::string TXdgAutostart::DesktopEntry(const std::u16string& name, const std::u16string& program) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" + SingleLine(UnicodeToUtf8(name)) + "\n"
           "Exec=" + SingleLine(ExecArgument(UnicodeToUtf8(program))) + "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

void TXdgAutostart::Register(const std::u16string& name, const std::u16string& program) {
    // Whatever keeps the entry from being written (no folder, no rights, a folder in its
    // place), the operator is told what the registry would say.
    try {
        WriteFileBytes(FFolder + u"/" + FileName(name), DesktopEntry(name, program));
    } catch (const Exception&) {
        throw SetDataFailed(name);
    }
}

std::unique_ptr<TAutostartEntry> MakeSystemAutostart() {
#ifdef _WIN32
    return std::make_unique<TRunKeyAutostart>();
#else
    return std::make_unique<TXdgAutostart>();
#endif
}

} // namespace vantrelo
