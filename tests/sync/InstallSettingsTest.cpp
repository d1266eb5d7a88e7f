// The installation's settings file: what it accepts, what it refuses, and the README's example.
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "sync/InstallSettings.h"

namespace vantrelo::test {
namespace {

std::string Describe(const TInstallSettings& s) {
    return "server=" + UnicodeToUtf8(s.LocalServer) + " port=" + std::to_string(s.LocalPort) +
           " database=" + UnicodeToUtf8(s.LocalDatabase) + " user=" + UnicodeToUtf8(s.LocalUser) +
           " password=" + UnicodeToUtf8(s.LocalPassword) + " access_prefix=" + UnicodeToUtf8(s.AccessPrefix) +
           " overlap_minutes=" + std::to_string(s.OverlapMinutes);
}

TEST(InstallSettings, AcceptsWhatItCanUse) {
    struct {
        const char* Text;
        TInstallSettings Expected;
    } cases[] = {
        {"", {}},
        {"; a comment\n# another\n\n[other]\nkey=1\n[local]\nunknown=x\n", {}},
        // After "=" everything is the value: a password may hold ';' and '#'.
        {"[local]\r\nserver = db.loja \r\nport=3051\r\npassword=a;b # c\r\nuser=SYSDBA\r\n",
         [] {
             TInstallSettings s;
             s.LocalServer = u"db.loja";
             s.LocalPort = 3051;
             s.LocalPassword = u"a;b # c";
             s.LocalUser = u"SYSDBA";
             return s;
         }()},
        {"[SYNC]\nAccess_Prefix=042\noverlap_minutes=0\n",
         [] {
             TInstallSettings s;
             s.AccessPrefix = u"042";
             s.OverlapMinutes = 0;
             return s;
         }()},
        {"[local]\ndatabase=/srv/Preços/LOJA.FDB\n",
         [] {
             TInstallSettings s;
             s.LocalDatabase = u"/srv/Preços/LOJA.FDB";
             return s;
         }()},
    };
    for (const auto& c : cases) EXPECT_EQ(Describe(ParseInstallSettings(c.Text)), Describe(c.Expected)) << c.Text;
}

TEST(InstallSettings, RefusesWhatItCannotUseNamingTheSetting) {
    struct {
        const char* Text;
        const char* Message;
    } cases[] = {
        {"[local]\nport=3050x\n", "Setting local.port must be a whole number: 3050x"},
        // An inline comment stays part of the value.
        {"[sync]\noverlap_minutes=5     ; each run\n", "Setting sync.overlap_minutes must be a whole number: 5     ; each run"},
        {"[sync]\naccess_prefix=357 ; the three digits\n", "Setting sync.access_prefix must be three digits: 357 ; the three digits"},
        {"[sync]\naccess_prefix=35\n", "Setting sync.access_prefix must be three digits: 35"},
        {"[sync]\noverlap_minutes=-5\n", "Setting sync.overlap_minutes must not be negative: -5"},
        {"[local]\njust words\n", "Settings line is not key=value: just words"},
    };
    for (const auto& c : cases) {
        try {
            ParseInstallSettings(c.Text);
            ADD_FAILURE() << "accepted: " << c.Text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(UnicodeToUtf8(e.Message()), c.Message);
        }
    }
}

// The example a newcomer copies into vantrelo.ini, exactly as the README shows it.
TEST(InstallSettings, TheReadmesExampleParses) {
    std::ifstream in(std::string(VANTRELO_SOURCE_DIR) + "/README.md", std::ios::binary);
    std::stringstream readme;
    readme << in.rdbuf();
    std::string text = readme.str();
    std::size_t section = text.find("### Pointing the program at a real shop");
    ASSERT_NE(section, std::string::npos);
    std::size_t start = text.find("```ini\n", section);
    ASSERT_NE(start, std::string::npos);
    start += 7;
    std::size_t end = text.find("```", start);
    ASSERT_NE(end, std::string::npos);
    TInstallSettings s = ParseInstallSettings(text.substr(start, end - start));
    EXPECT_EQ(Describe(s), "server=localhost port=3050 database=C:\\Quarvel\\BD_Dados\\BD_QUARVEL.FDB user=sysdba "
                           "password=masterkey access_prefix=357 overlap_minutes=5");
}

TEST(InstallSettings, AFileNamedOrPresentMustBeReadable) {
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("vantrelo-settings-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    std::u16string missing = Utf8ToUnicode((folder / "missing.ini").string());
    std::u16string present = Utf8ToUnicode((folder / "vantrelo.ini").string());
    std::u16string unreadable = Utf8ToUnicode(folder.string());  // a folder: there, and not a file to read
    std::ofstream(folder / "vantrelo.ini") << "[local]\nport=3051\n";

    auto message = [](std::u16string_view path, TSettingsFile file) {
        try {
            LoadInstallSettings(path, file);
        } catch (const Exception& e) {
            return UnicodeToUtf8(e.Message());
        }
        return std::string("no error");
    };
    EXPECT_EQ(Describe(LoadInstallSettings(missing)), Describe({}));  // beside the executable: may be absent
    EXPECT_EQ(message(missing, TSettingsFile::Named), "Settings file \"" + UnicodeToUtf8(missing) + "\" does not exist");
    for (TSettingsFile file : {TSettingsFile::MayBeAbsent, TSettingsFile::Named}) {
        EXPECT_EQ(LoadInstallSettings(present, file).LocalPort, 3051);
        EXPECT_EQ(message(unreadable, file), "Settings file \"" + UnicodeToUtf8(unreadable) + "\" cannot be read");
    }
    fs::remove_all(folder);
}

} // namespace
} // namespace vantrelo::test
