#include <gtest/gtest.h>

#include "dataaccess/SqlParser.h"
#include "platform/CodePage.h"

namespace vantrelo {
namespace {

struct TCase {
    const char16_t* Sql;
    const char16_t* Text;                 // what the provider receives
    std::vector<std::u16string> Names;    // one per occurrence
};

TSqlDialect MySqlLike() {
    TSqlDialect d;
    d.StringQuotes = u"'\"";
    d.BackslashEscapes = true;
    d.IdentifierQuote = d.IdentifierQuoteClose = u'`';
    d.HashLineComments = true;
    return d;
}

TSqlDialect InterBaseLike() {
    TSqlDialect d;
    d.ParamStopWords = {u"BEGIN", u"ALTER", u"CREATE", u"DECLARE", u"DROP", u"GRANT", u"REVOKE"};
    return d;
}

void Check(const TCase& c, const TSqlDialect& dialect) {
    TParsedSql p = ParseSql(c.Sql, dialect);
    EXPECT_EQ(UnicodeToUtf8(p.Text), UnicodeToUtf8(c.Text)) << UnicodeToUtf8(c.Sql);
    ASSERT_EQ(p.Params.size(), c.Names.size()) << UnicodeToUtf8(c.Sql);
    for (std::size_t i = 0; i < c.Names.size(); ++i) {
        EXPECT_EQ(UnicodeToUtf8(p.Params[i].Name), UnicodeToUtf8(c.Names[i]));
        EXPECT_EQ(p.Text[p.Params[i].Position], u'?');
    }
}

TEST(SqlParser, FindsParametersOutsideLiteralsAndComments) {
    const TCase cases[] = {
        {u"select * from t", u"select * from t", {}},
        {u"select * from t where a=:a and b = :B", u"select * from t where a=? and b = ?", {u"a", u"B"}},
        {u"where x = ':a' and y=:b", u"where x = ':a' and y=?", {u"b"}},
        {u"where x = 'it''s :a' and y=:b", u"where x = 'it''s :a' and y=?", {u"b"}},
        {u"select 1 -- :a\nfrom t where c=:c", u"select 1 -- :a\nfrom t where c=?", {u"c"}},
        {u"select /* :a */ :b", u"select /* :a */ ?", {u"b"}},
        {u"select a::int, :p", u"select a::int, ?", {u"p"}},
        {u"values (:x, :X, :x)", u"values (?, ?, ?)", {u"x", u"X", u"x"}},
        {u"select :1abc, :\"Quoted Name\"", u"select ?, ?", {u"1abc", u"Quoted Name"}},
        {u"select a : b", u"select a : b", {}},
        {u"select :", u"select :", {}},
    };
    for (const auto& c : cases) Check(c, InterBaseLike());
}

TEST(SqlParser, FollowsTheProviderDialect) {
    // Double quotes are strings and backslashes escape in the MySQL-like dialect.
    Check({u"where a = \":x\" and b = 'q\\':y' and c=:c", u"where a = \":x\" and b = 'q\\':y' and c=?", {u"c"}},
          MySqlLike());
    Check({u"select `:x`, :`odd name` # :h\n, :z", u"select `:x`, ? # :h\n, ?", {u"odd name", u"z"}}, MySqlLike());
    // In the InterBase-like dialect double quotes quote identifiers, and ':' inside a PSQL body
    // after a DDL word is no parameter.
    Check({u"create procedure p as begin x = :y; end", u"create procedure p as begin x = :y; end", {}},
          InterBaseLike());
    Check({u"update t set a=:a where \":b\" = 1", u"update t set a=? where \":b\" = 1", {u"a"}}, InterBaseLike());
}

TEST(SqlParser, RecordsTheStatementKindFromTheFirstKeyword) {
    struct {
        const char16_t* Sql;
        TStatementKind Kind;
    } cases[] = {{u" /* c */ SELECT 1", skSelect}, {u" insert into t values (:a)", skInsert},
                 {u"Update t set a=1", skUpdate},   {u"delete from t", skDelete},
                 {u"execute procedure p", skUnknown}, {u"", skUnknown}};
    for (const auto& c : cases) EXPECT_EQ(ParseSql(c.Sql, InterBaseLike()).Kind, c.Kind) << UnicodeToUtf8(c.Sql);
}

} // namespace
} // namespace vantrelo
