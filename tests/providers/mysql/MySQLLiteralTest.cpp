// Parameter values written into statement text as SQL literals, and the statement built
// from its segments.
#include <gtest/gtest.h>

#include <string>

#include "dataaccess/DatabaseError.h"
#include "dataaccess/SqlParser.h"
#include "platform/DateTime.h"
#include "platform/FormatSettings.h"
#include "providers/mysql/MySQLCommand.h"
#include "providers/mysql/MySQLConnection.h"
#include "providers/mysql/MySQLDbProvider.h"

using namespace std::string_literals;

namespace vantrelo::test {
namespace {

std::string Literal(TFieldType type, const TVariant& value, TMySqlLiteralStyle style = {}) {
    std::string sql;
    AppendValueToSQL(sql, type, value, style);
    EXPECT_LE(sql.size(), LiteralSizeBound(type, value, style));
    return sql;
}

TDateTime Hours(double h) { return TDateTime(h / 24.0); }

TEST(TMySqlLiteral, EveryKindOfValue) {
    TBytes photo = {'a', 0x00, 0x27, 0x5C, 0x0A, 0x0D, 0x1A, 0x22, 'z'};
    struct TCase {
        TFieldType type;
        TVariant value;
        std::string literal;
    } cases[] = {
        {ftInteger, TVariant(), "NULL"},
        {ftBlob, TVariant(), "NULL"},
        {ftDateTime, TVariant(), "NULL"},
        {ftInteger, TVariant(std::int32_t(-42)), "-42"},
        {ftLargeint, TVariant(std::int64_t(-9000000000)), "-9000000000"},
        {ftSmallint, TVariant(std::int32_t(7)), "7"},
        {ftBoolean, TVariant(true), "1"},
        {ftBoolean, TVariant(false), "0"},
        {ftFloat, TVariant(1234.5), "1234.5"},
        {ftFloat, TVariant(-0.1), "-0.1"},
        {ftFloat, TVariant(1e20), "1e+20"},
        {ftFloat, TVariant(1.0 / 3.0), "0.333333333333333"},
        {ftCurrency, TVariant(12.3456789), "12.3457"},
        {ftCurrency, TVariant(10.0), "10"},
        {ftString, TVariant(AnsiString("O'Brien\\")), "'O\\'Brien\\\\'"},
        {ftString, TVariant(AnsiString("A\xE7\xE3o")), "'A\xE7\xE3o'"},
        {ftWideString, TVariant(u"Ação"), "'A\xE7\xE3o'"},
        {ftMemo, TVariant(u"two\nlines"), "'two\\nlines'"},
        {ftString, TVariant(std::int32_t(5)), "'5'"},
        {ftVarBytes, TVariant(photo), "'a\\0\\'\\\\\\n\\r\\Z\\\"z'"},
        {ftUnknown, TVariant(photo), "'a\\0\\'\\\\\\n\\r\\Z\\\"z'"},
        {ftBlob, TVariant(AnsiString("\xFF\x00"s)), "'\xFF\\0'"},
        {ftDate, TVariant(EncodeDate(2024, 2, 29)), "'2024-02-29'"},
        {ftDate, TVariant(EncodeDateTime(2024, 2, 29, 23, 0, 0, 0)), "'2024-02-29'"},
        {ftDateTime, TVariant(EncodeDateTime(2024, 5, 1, 13, 45, 10, 250)), "'2024-05-01 13:45:10.250'"},
        {ftDateTime, TVariant(EncodeDateTime(2024, 5, 1, 13, 45, 10, 0)), "'2024-05-01 13:45:10'"},
        {ftDateTime, TVariant(EncodeDateTime(1850, 6, 15, 10, 0, 0, 0)), "'1850-06-15 10:00:00'"},
        {ftTimeStamp, TVariant(EncodeDateTime(2000, 1, 1, 0, 0, 0, 1)), "'2000-01-01 00:00:00.001'"},
        {ftTime, TVariant(Hours(26 + 3 / 60.0 + 4 / 3600.0)), "'26:03:04'"},
        {ftTime, TVariant(Hours(5)), "'5:00:00'"},
        {ftTime, TVariant(Hours(-1.5)), "'-1:30:00'"},
        {ftTime, TVariant(TDateTime((3723.5) / 86400.0)), "'1:02:03.500'"},
        {ftDate, TVariant(MySqlZeroDateMarker()), "'0000-00-00 00:00:00'"},
        {ftDateTime, TVariant(MySqlZeroDateMarker()), "'0000-00-00 00:00:00'"},
        {ftTime, TVariant(MySqlZeroDateMarker()), "'0000-00-00 00:00:00'"},
    };
    for (const auto& c : cases) EXPECT_EQ(Literal(c.type, c.value), c.literal) << c.literal;
}

TEST(TMySqlLiteral, ZeroDateMarkerIsTheFirstDayOfYear100) {
    EXPECT_EQ(MySqlZeroDateMarker(), EncodeDate(100, 1, 1));
}

TEST(TMySqlLiteral, DecimalPointWhateverTheRegionalSeparator) {
    TFormatSettings saved = FormatSettings();
    FormatSettings().DecimalSeparator = u',';
    EXPECT_EQ(Literal(ftFloat, TVariant(1234.5)), "1234.5");
    EXPECT_EQ(Literal(ftCurrency, TVariant(0.25)), "0.25");
    FormatSettings() = saved;
}

TEST(TMySqlLiteral, WithoutBackslashesOnlyQuotesAreDoubled) {
    TMySqlLiteralStyle plain{false, false};
    EXPECT_EQ(Literal(ftString, TVariant(AnsiString("it's a \\ and \n")), plain), "'it''s a \\ and \n'");
    EXPECT_EQ(Literal(ftBlob, TVariant(TBytes{0x27, 0x27}), plain), "''''''");
}

TEST(TMySqlLiteral, Utf8SessionsGetUtf8Text) {
    TMySqlLiteralStyle utf8{true, true};
    EXPECT_EQ(Literal(ftWideString, TVariant(u"Ação"), utf8), "'A\xC3\xA7\xC3\xA3o'");
    EXPECT_EQ(Literal(ftString, TVariant(AnsiString("\xE7")), utf8), "'\xC3\xA7'");
    EXPECT_EQ(Literal(ftBlob, TVariant(TBytes{0xE7}), utf8), "'\xE7'");  // bytes stay bytes
}

// ---- statements ----

struct TStatementFixture : ::testing::Test {
    TMySQLConnection connection;
    TMySQLCommand command{connection};

    std::vector<TDbParam> Parse(std::u16string_view sql) {
        TParsedSql parsed = ParseSql(sql, TMySQLDbProvider().GetSqlDialect());
        command.SetSQL(parsed);
        std::vector<TDbParam> params;
        for (const auto& p : parsed.Params) {
            TDbParam param(p.Name);
            for (const auto& q : params)
                if (q.Name() == p.Name) param.ShareWith(q);
            params.push_back(std::move(param));
        }
        return params;
    }
};

TEST_F(TStatementFixture, EveryOccurrenceIsRenderedInItsPlace) {
    auto params = Parse(u"INSERT INTO produtos (prod_codigo, prod_nome) VALUES (:cod, :nome) "
                        u"ON DUPLICATE KEY UPDATE prod_nome = :nome, obs = ':nome'");
    params[0].SetAsInteger(17);
    params[1].SetAsAnsiString(AnsiString("P\xE3o d'\xE1gua"));
    EXPECT_EQ(command.BuildStatement(params),
              "INSERT INTO produtos (prod_codigo, prod_nome) VALUES (17, 'P\xE3o d\\'\xE1gua') "
              "ON DUPLICATE KEY UPDATE prod_nome = 'P\xE3o d\\'\xE1gua', obs = ':nome'");
}

TEST_F(TStatementFixture, TextWithoutParametersIsSentAsItIs) {
    auto params = Parse(u"select *  from produtos  where  data_alteracao  between :DI  and current_timestamp");
    params[0].SetAsDateTime(EncodeDateTime(2024, 1, 2, 3, 4, 5, 0));
    EXPECT_EQ(command.BuildStatement(params),
              "select *  from produtos  where  data_alteracao  between '2024-01-02 03:04:05'  and current_timestamp");
    command.SetSQL(u"SELECT 'a?b'");
    EXPECT_EQ(command.BuildStatement({}), "SELECT 'a?b'");
}

TEST_F(TStatementFixture, ParameterCountMustMatchTheOccurrences) {
    auto params = Parse(u"SELECT :a, :b");
    params.pop_back();
    try {
        command.BuildStatement(params);
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), u"Incorrect parameter count. Expected: 2; Actual: 1");
    }
}

TEST(TMySqlDialect, QuoteNameOnlyWhereNeeded) {
    TMySQLDbProvider provider;
    EXPECT_EQ(provider.QuoteName(u"produtos"), u"produtos");
    EXPECT_EQ(provider.QuoteName(u"prod nome"), u"`prod nome`");
    EXPECT_EQ(provider.QuoteName(u"order"), u"`order`");
    EXPECT_EQ(provider.QuoteName(u"1st"), u"`1st`");
    EXPECT_EQ(provider.QuoteName(u"a`b"), u"`a``b`");
    EXPECT_EQ(provider.QuoteName(u"produtos", true), u"`produtos`");
}

TEST(TMySqlDialect, ParametersHideInNeitherStringsNorComments) {
    const TSqlDialect& d = TMySQLDbProvider().GetSqlDialect();
    TParsedSql p = ParseSql(u"SELECT ':a', \":b\", `:c`, 'it\\':s' # :d\n, :e -- :f\n/* :g */", d);
    ASSERT_EQ(p.Params.size(), 1u);
    EXPECT_EQ(p.Params[0].Name, u"e");
}

} // namespace
} // namespace vantrelo::test
