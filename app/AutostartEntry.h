#pragma once
// Starting the program with the system, machine-wide: the Run key of HKEY_LOCAL_MACHINE
// on Windows, a system-wide XDG autostart entry elsewhere. No toolkit here.
#include <memory>
#include <string>

namespace vantrelo {

// The name the entry is registered under.
inline constexpr char16_t AutostartName[] = u"Sinc Quarvel";

class TAutostartEntry {
public:
    virtual ~TAutostartEntry() = default;
    // Registers (or overwrites) the entry `name` that starts `program`. Raises Exception
    // "Failed to set data for '<name>'" when it cannot be written, typically for lack of
    // administrator rights.
    virtual void Register(const std::u16string& name, const std::u16string& program) = 0;
};

#ifdef _WIN32
// The string value under HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run.
class TRunKeyAutostart : public TAutostartEntry {
public:
    void Register(const std::u16string& name, const std::u16string& program) override;
};
#endif

// A "<folder>/<file>.desktop" entry; the folder must exist already (it is not created).
class TXdgAutostart : public TAutostartEntry {
public:
    explicit TXdgAutostart(std::u16string folder = u"/etc/xdg/autostart");
    void Register(const std::u16string& name, const std::u16string& program) override;
    // The file name an entry gets: lower case, blanks as '-'.
    static std::u16string FileName(const std::u16string& name);
    // The entry's text.
    static std::string DesktopEntry(const std::u16string& name, const std::u16string& program);

private:
    std::u16string FFolder;
};

// The machine-wide entry of this platform.
std::unique_ptr<TAutostartEntry> MakeSystemAutostart();

} // namespace vantrelo
