#include "sync/InstallSettings.h"

#include <filesystem>
#include <system_error>

#include "dataaccess/TextUtils.h"
#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/FormatSettings.h"

namespace vantrelo {

std::u16string TInstallSettings::DefaultLocalDatabase() {
#ifdef _WIN32
    return u"C:\\Quarvel\\BD_Dados\\BD_QUARVEL.FDB";
#else
    return u"/var/lib/quarvel/BD_Dados/BD_QUARVEL.FDB";
#endif
}

std::u16string TInstallSettings::DefaultPath() {
    std::u16string exe = ExecutablePath();
    std::size_t slash = exe.find_last_of(u"/\\");
    return (slash == std::u16string::npos ? std::u16string() : exe.substr(0, slash + 1)) + u"vantrelo.ini";
}

TInstallSettings ParseInstallSettings(std::string_view text) {
    TInstallSettings s;
    std::u16string section;
    std::u16string all = Utf8ToUnicode(text);
    std::size_t start = 0;
    while (start < all.size()) {
        std::size_t end = all.find(u'\n', start);
        if (end == std::u16string::npos) end = all.size();
        std::u16string line = Trim(std::u16string_view(all).substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == u';' || line[0] == u'#') continue;
        if (line.front() == u'[' && line.back() == u']') {
            section = Trim(std::u16string_view(line).substr(1, line.size() - 2));
            continue;
        }
        std::size_t eq = line.find(u'=');
        if (eq == std::u16string::npos) throw EConvertError(u"Settings line is not key=value: " + line);
        std::u16string key = section + u"." + Trim(std::u16string_view(line).substr(0, eq));
        std::u16string value = Trim(std::u16string_view(line).substr(eq + 1));
        auto number = [&](int& target) {
            try {
                target = StrToInt(value);
            } catch (const EConvertError&) {
                throw EConvertError(u"Setting " + key + u" must be a whole number: " + value);
            }
        };
        if (SameText(key, u"local.server")) s.LocalServer = value;
        else if (SameText(key, u"local.port")) number(s.LocalPort);
        else if (SameText(key, u"local.database")) s.LocalDatabase = value;
        else if (SameText(key, u"local.user")) s.LocalUser = value;
        else if (SameText(key, u"local.password")) s.LocalPassword = value;
        else if (SameText(key, u"sync.access_prefix")) {
            // Followed by HHMM it must make the seven digits the operator types.
            if (value.size() != 3 || value.find_first_not_of(u"0123456789") != std::u16string::npos)
                throw EConvertError(u"Setting " + key + u" must be three digits: " + value);
            s.AccessPrefix = value;
        } else if (SameText(key, u"sync.overlap_minutes")) {
            number(s.OverlapMinutes);
            // A negative one would start the window after the stored time.
            if (s.OverlapMinutes < 0) throw EConvertError(u"Setting " + key + u" must not be negative: " + value);
        }
        // Unknown keys are left for newer versions.
    }
    return s;
}

TInstallSettings LoadInstallSettings(std::u16string_view path, TSettingsFile file) {
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        // A file named on purpose, or one that is there, is never silently replaced by the
        // defaults: they could point at another shop's database.
        std::error_code error;
        bool present = std::filesystem::exists(std::filesystem::path(std::u16string(path)), error) || error;
        if (!present && file == TSettingsFile::MayBeAbsent) return {};
        throw Exception(u"Settings file \"" + std::u16string(path) + (present ? u"\" cannot be read" : u"\" does not exist"));
    }
    return ParseInstallSettings(bytes);
}

} // namespace vantrelo
