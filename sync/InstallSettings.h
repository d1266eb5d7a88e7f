#pragma once
// The installation's settings: how to reach the local database, the access-code prefix
// and the overlap of the synchronisation windows. Kept in a small "key=value" file
// ("vantrelo.ini" beside the executable unless another is named); a missing file or key
// gives the defaults below.
#include <string>
#include <string_view>

namespace vantrelo {

// Encryption of the cloud link: never; whenever the server offers it; always; always, with
// the server's certificate chain and host name checked.
enum class TCloudTls { Off, Prefer, Require, Verify };

struct TInstallSettings {
    std::u16string LocalServer = u"localhost";
    int LocalPort = 3050;
    std::u16string LocalDatabase = DefaultLocalDatabase();
    std::u16string LocalUser = u"sysdba";
    std::u16string LocalPassword = u"masterkey";
    std::u16string AccessPrefix = u"357";  // the three digits in front of HHMM
    int OverlapMinutes = 5;                // each change window starts this long before the stored time
    TCloudTls CloudTls = TCloudTls::Prefer;
    std::u16string CloudCaFile;            // certificates that verify the cloud server (tls=verify)
    int CloudReadTimeout = 60;             // seconds a cloud reply may take before the run gives up
    int LogRetentionDays = 30;             // log files older than this are removed

    static std::u16string DefaultLocalDatabase();
    static std::u16string DefaultPath();   // vantrelo.ini in the executable's folder
};

enum class TSettingsFile {
    MayBeAbsent,  // the file beside the executable: without it the defaults serve
    Named,        // named by the operator: it must be there
};

// Reads the file. An absent file gives the defaults where it may be absent; otherwise, and
// for a file that is there but cannot be read, raises Exception naming the file.
// Raises EConvertError naming the key for a value it cannot take (not a whole number, a
// negative overlap, an access-code prefix that is not three digits), or for a line that is
// not key=value. Everything after "=" is the value, ';' included: comments take lines of
// their own.
TInstallSettings LoadInstallSettings(std::u16string_view path, TSettingsFile file = TSettingsFile::MayBeAbsent);
TInstallSettings ParseInstallSettings(std::string_view text);

} // namespace vantrelo
