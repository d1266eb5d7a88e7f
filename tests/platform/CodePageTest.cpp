#include <gtest/gtest.h>

#include <string>

#include "platform/CodePage.h"
#include "platform/Exception.h"

using namespace vantrelo;

namespace {

std::string Hex(std::string_view bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) out += {digits[c >> 4], digits[c & 15], ' '};
    return out;
}

TEST(CodePage, AnsiCodePageIs1252OnTheTestMachine) {
    EXPECT_EQ(GetACP(), 1252u);
}

TEST(CodePage, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::u16string text = AnsiToUnicode(all);
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(UnicodeToAnsi(text).Bytes(), all);
    EXPECT_EQ(AnsiToUtf8(Utf8ToAnsi(AnsiToUtf8(AnsiString(all)))), AnsiToUtf8(AnsiString(all)));
}

TEST(CodePage, KnownCharacters) {
    struct Case { unsigned byte; char16_t unit; };
    const Case cases[] = {
        {0x41, u'A'}, {0x80, u'€'}, {0x8A, u'Š'}, {0x9F, u'Ÿ'}, {0xA0, 0x00A0},
        {0xC7, u'Ç'}, {0xE3, u'ã'}, {0xFF, u'ÿ'},
        // undefined in 1252: the C1 control of the same number, as Windows maps them
        {0x81, 0x0081}, {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x9D, 0x009D},
    };
    for (const Case& c : cases) {
        const std::string byte(1, static_cast<char>(c.byte));
        EXPECT_EQ(AnsiToUnicode(byte), std::u16string(1, c.unit)) << std::hex << c.byte;
        EXPECT_EQ(UnicodeToAnsi(std::u16string(1, c.unit)).Bytes(), byte) << std::hex << c.byte;
    }
}

TEST(CodePage, CharacterOutsideTheCodePageBecomesQuestionMark) {
    struct Case { std::u16string text; std::string ansi; };
    const Case cases[] = {
        {u"Ā", "?"},
        {u"a中b", "a?b"},
        {u"x\U0001F600y", "x?y"},                       // one character, one '?'
        {std::u16string(u"a") + char16_t(0xD800) + u"b", "a?b"},  // lone high surrogate
        {std::u16string(u"a") + char16_t(0xDC00), "a?"},          // lone low surrogate
        {std::u16string(u"a") + char16_t(0xD800), "a?"},          // cut at the end
        {u"São Paulo – 10€", "S\xE3o Paulo \x96 10\x80"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(UnicodeToAnsi(c.text).Bytes()), Hex(c.ansi)) << UnicodeToUtf8(c.text);
}

TEST(CodePage, LongMixedTextKeepsItsOrder) {
    std::u16string text;
    for (int i = 0; i < 1000; ++i) text += u"Preço ação 中 ";
    const AnsiString ansi = UnicodeToAnsi(text);
    std::u16string expected;
    for (int i = 0; i < 1000; ++i) expected += u"Preço ação ? ";
    EXPECT_EQ(AnsiToUnicode(ansi), expected);
}

TEST(Utf8, WellFormedRoundTrips) {
    const std::u16string text = u"A\u00E7\u20AC\U0001F600\uFFFF\U0010FFFF";
    const std::string utf8 = "A\xC3\xA7\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBF\xF4\x8F\xBF\xBF";
    EXPECT_EQ(Hex(UnicodeToUtf8(text)), Hex(utf8));
    EXPECT_EQ(Utf8ToUnicode(utf8), text);
}

TEST(Utf8, MalformedInputGivesReplacementCharacters) {
    struct Case { std::string bytes; std::u16string text; };
    const Case cases[] = {
        {"a\x80z", u"a\uFFFDz"},                       // stray continuation
        {"a\xC3", u"a\uFFFD"},                         // cut short at the end
        {"a\xE2\x82z", u"a\uFFFDz"},                   // cut short inside: one replacement
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                 // overlong '/'
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},       // overlong three-byte
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},       // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
        {"\xFF\xFEx", u"\uFFFD\uFFFDx"},
        {"\xF0\x9F\x98", u"\uFFFD"},
    };
    for (const Case& c : cases) EXPECT_EQ(Utf8ToUnicode(c.bytes), c.text) << Hex(c.bytes);
    EXPECT_EQ(Hex(UnicodeToUtf8(std::u16string(1, char16_t(0xDC00)))), Hex("\xEF\xBF\xBD"));
}

TEST(Utf8, AnsiBridge) {
    EXPECT_EQ(Hex(Utf8ToAnsi("Jo\xC3\xA3o \xE4\xB8\xAD").Bytes()), Hex("Jo\xE3o ?"));
    EXPECT_EQ(Hex(AnsiToUtf8(AnsiString("\x80 \xE9"))), Hex("\xE2\x82\xAC \xC3\xA9"));
}

TEST(Exception, WhatIsTheMessageInUtf8) {
    const Exception e(u"Não foi possível");
    EXPECT_STREQ(e.what(), "N\xC3\xA3o foi poss\xC3\xADvel");
    EXPECT_EQ(e.Message(), u"Não foi possível");
}

} // namespace
