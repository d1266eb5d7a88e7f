// The shell's pure rules: the synchronisation period and the autostart entry's text.
#include <gtest/gtest.h>

#include "app/AutostartEntry.h"
#include "app/frmPrincipal.h"

namespace vantrelo {
namespace {

TEST(SyncPeriod, TwoToElevenMinutesAreHonouredEverythingElseIsOneMinute) {
    const struct { int TempoSincro, Minutes; } cases[] = {
        {2, 2}, {4, 4}, {10, 10}, {11, 11}, {1, 1}, {12, 1}, {0, 1}, {-3, 1}, {1000, 1},
    };
    for (auto c : cases) EXPECT_EQ(TfrmPrincipal::SyncPeriod(c.TempoSincro, 60000), c.Minutes * 60000) << c.TempoSincro;
    EXPECT_EQ(TfrmPrincipal::SyncPeriod(3, 10), 30) << "the minute's length is the tests' to choose";
}

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

} // namespace
} // namespace vantrelo
