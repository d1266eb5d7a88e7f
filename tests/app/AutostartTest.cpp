// The autostart entry, without the toolkit: the XDG entry's text and what a write that
// cannot be done reports.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "app/AutostartEntry.h"
#include "platform/Exception.h"

namespace vantrelo {
namespace {

namespace fs = std::filesystem;

TEST(XdgAutostart, EntryQuotesTheProgramAndNamesTheFile) {
    EXPECT_EQ(TXdgAutostart::FileName(u"Sinc Quarvel"), u"sinc-quarvel.desktop");
    EXPECT_EQ(TXdgAutostart::DesktopEntry(u"Sinc Quarvel", u"/opt/vantrelo/bin/vantrelo"),
              "[Desktop Entry]\nType=Application\nName=Sinc Quarvel\nExec=\"/opt/vantrelo/bin/vantrelo\"\n"
              "Terminal=false\nX-GNOME-Autostart-enabled=true\n");
    const struct { const char16_t* Path; const char* Exec; } cases[] = {
        {u"/opt/my shop/vantrelo", "Exec=\"/opt/my shop/vantrelo\"\n"},
        {u"/opt/100%/v", "Exec=\"/opt/100%%/v\"\n"},
        {u"/opt/$x/v", "Exec=\"/opt/\\\\$x/v\"\n"},
        {u"/opt/a\\b", "Exec=\"/opt/a\\\\\\\\b\"\n"},
        {u"/opt/a\nName=evil", "Exec=\"/opt/a Name=evil\"\n"},
    };
    for (auto c : cases) {
        std::string entry = TXdgAutostart::DesktopEntry(u"Sinc Quarvel", c.Path);
        EXPECT_NE(entry.find(c.Exec), std::string::npos) << entry;
    }
}

// A scratch folder of the test's own (other builds may run the same test at the same time).
class XdgAutostartFolder : public ::testing::Test {
protected:
    void SetUp() override {
        FRoot = fs::temp_directory_path() /
                ("vantrelo-autostart-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                 "-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(FRoot);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(FRoot, ignored);
    }

    fs::path FRoot;
};

TEST_F(XdgAutostartFolder, RegisteringTwiceLeavesTheOneEntry) {
    TXdgAutostart autostart(FRoot.u16string());
    autostart.Register(AutostartName, u"/opt/vantrelo/bin/vantrelo");
    autostart.Register(AutostartName, u"/opt/vantrelo/bin/vantrelo");
    std::ifstream in(FRoot / "sinc-quarvel.desktop", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              TXdgAutostart::DesktopEntry(AutostartName, u"/opt/vantrelo/bin/vantrelo"));
    EXPECT_EQ(std::distance(fs::directory_iterator(FRoot), fs::directory_iterator()), 1);
}

// Every way the entry can fail to be written gives the registry layer's text, never the
// file system's. (Tests may run as root, so write permission is not one of the ways.)
TEST_F(XdgAutostartFolder, AnEntryThatCannotBeWrittenFailsToSetData) {
    std::ofstream(FRoot / "a-file") << "not a folder";
    fs::create_directories(FRoot / "taken" / "sinc-quarvel.desktop");
    const struct { const char* Case; fs::path Folder; } cases[] = {
        {"no folder", FRoot / "missing"},
        {"a file where the folder should be", FRoot / "a-file"},
        {"a folder where the entry should be", FRoot / "taken"},
    };
    for (const auto& c : cases) {
        TXdgAutostart autostart(c.Folder.u16string());
        try {
            autostart.Register(AutostartName, u"/opt/vantrelo/bin/vantrelo");
            ADD_FAILURE() << c.Case << ": written";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), u"Failed to set data for 'Sinc Quarvel'") << c.Case;
        }
    }
    EXPECT_FALSE(fs::exists(FRoot / "missing")) << "the folder is not created";
    EXPECT_TRUE(fs::is_directory(FRoot / "taken" / "sinc-quarvel.desktop"));
}

#ifdef _WIN32
// The Run key of the machine: the value is written under the name, as the program's path.
TEST(RunKeyAutostart, WritesTheProgramUnderItsNameInTheRunKey) {
    const wchar_t* runKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::u16string name = u"Sinc Quarvel (teste)";
    const std::u16string program = u"C:\\Quarvel\\Sinc Quarvel\\vantrelo.exe";
    TRunKeyAutostart autostart;
    autostart.Register(name, u"C:\\old.exe");
    autostart.Register(name, program);  // overwrites
    wchar_t stored[MAX_PATH] = {};
    DWORD size = sizeof stored;
    LONG read = ::RegGetValueW(HKEY_LOCAL_MACHINE, runKey, reinterpret_cast<const wchar_t*>(name.c_str()),
                               RRF_RT_REG_SZ, nullptr, stored, &size);
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, runKey, reinterpret_cast<const wchar_t*>(name.c_str()));
    ASSERT_EQ(read, ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(stored)), program);
}
#endif

} // namespace
} // namespace vantrelo
