#include "providers/mysql/MySQLDbProvider.h"

#include <algorithm>
#include <array>

#include "dataaccess/DbProviders.h"
#include "dataaccess/TextUtils.h"
#include "providers/mysql/MySQLConnection.h"
#include "providers/mysql/MySQLOptions.h"

namespace vantrelo {
namespace {

// Reserved words likely to be met as table or column names.
constexpr std::array<std::u16string_view, 44> ReservedWords = {
    u"ADD",   u"ALL",    u"ALTER",  u"AND",    u"AS",     u"ASC",    u"BETWEEN", u"BY",     u"CASE",
    u"CHECK", u"COLUMN", u"CREATE", u"DEFAULT", u"DELETE", u"DESC",  u"DISTINCT", u"DROP",  u"ELSE",
    u"FROM",  u"GROUP",  u"HAVING", u"IN",     u"INDEX",  u"INSERT", u"INTERVAL", u"INTO",  u"IS",
    u"JOIN",  u"KEY",    u"LIKE",   u"LIMIT",  u"NOT",    u"NULL",   u"ON",      u"OR",     u"ORDER",
    u"RANGE", u"SELECT", u"SET",    u"TABLE",  u"TO",     u"UPDATE", u"VALUES",  u"WHERE",
};

bool IsPlainName(std::u16string_view name) {
    if (name.empty() || (name[0] >= u'0' && name[0] <= u'9')) return false;
    for (char16_t c : name)
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
              c == u'$'))
            return false;
    std::u16string upper = UpperCase(name);
    return std::find(ReservedWords.begin(), ReservedWords.end(), std::u16string_view(upper)) == ReservedWords.end();
}

TSqlDialect MakeDialect() {
    TSqlDialect d;
    d.StringQuotes = u"'\"";
    d.BackslashEscapes = true;
    d.IdentifierQuote = u'`';
    d.IdentifierQuoteClose = u'`';
    d.HashLineComments = true;
    return d;
}

} // namespace

std::unique_ptr<TProviderConnection> TMySQLDbProvider::CreateConnection() const {
    return std::make_unique<TMySQLConnection>();
}

const TOptionsList& TMySQLDbProvider::GetOptions() const { return MySQLOptionsList(); }

const TSqlDialect& TMySQLDbProvider::GetSqlDialect() const {
    static const TSqlDialect dialect = MakeDialect();
    return dialect;
}

std::u16string TMySQLDbProvider::QuoteName(std::u16string_view name, bool always) const {
    if (!always && IsPlainName(name)) return std::u16string(name);
    std::u16string quoted = u"`";
    for (char16_t c : name) {
        if (c == u'`') quoted += u'`';
        quoted += c;
    }
    quoted += u'`';
    return quoted;
}

void RegisterMySQLProvider() { TDbProviders::RegisterProvider(std::make_unique<TMySQLDbProvider>()); }

} // namespace vantrelo
