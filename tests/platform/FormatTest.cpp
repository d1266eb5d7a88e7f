#include <gtest/gtest.h>

#include <string>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/Format.h"

using namespace vantrelo;

namespace {

TEST(Format, Conversions) {
    const std::u16string longName(100, u'h');
    struct Case { std::u16string expected, actual; };
    const Case cases[] = {
        {u"Socket Error Code: 10061($274D)", Format(u"Socket Error Code: %d($%X)", {10061, 10061})},
        {u"ff FF 255", Format(u"%x %X %u", {255, 255, 255u})},
        {u"FFFFFFFF 4294967295", Format(u"%X %u", {-1, -1})},
        {u"FFFFFFFFFFFFFFFF", Format(u"%X", {-1LL})},
        {u"-9223372036854775808", Format(u"%d", {std::int64_t(INT64_MIN)})},
        {u"Unknown MySQL Server Host '" + longName.substr(0, 64) + u"' (11001)",
         Format(u"Unknown MySQL Server Host '%-.64s' (11001)", {longName})},
        {u"[ab   ][   ab][ab]", Format(u"[%-5s][%5s][%1s]", {u"ab", u"ab", u"ab"})},
        {u"[  -42][-42  ][-0042][00042][-0042]",
         Format(u"[%5d][%-5d][%.4d][%05d][%05d]", {-42, -42, -42, 42, -42})},
        {u"100% done", Format(u"%d%% done", {100})},
        {u"b a b", Format(u"%1:s %0:s %s", {u"a", u"b"})},
        {u"[   7][ab]", Format(u"[%*d][%.*s]", {4, 7, 2, u"abc"})},
        {u"Não: ç", Format(u"Não: %s", {u"ç"})},
        {u"no args", Format(u"no args", {})},
    };
    for (const Case& c : cases) EXPECT_EQ(UnicodeToUtf8(c.actual), UnicodeToUtf8(c.expected));
}

TEST(Format, BadFormatOrArgumentRaisesConvertError) {
    struct Case { std::u16string format; std::initializer_list<TFormatArg> args; };
    const Case cases[] = {
        {u"%d", {u"text"}}, {u"%s", {5}}, {u"%s %s", {u"one"}}, {u"abc %", {}},
        {u"%q", {1}}, {u"%5", {1}}, {u"%3:s", {u"a"}},
    };
    for (const Case& c : cases) {
        try {
            Format(c.format, c.args);
            ADD_FAILURE() << UnicodeToUtf8(c.format);
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), u"Format '" + c.format + u"' invalid or incompatible with argument");
        }
    }
}

} // namespace
