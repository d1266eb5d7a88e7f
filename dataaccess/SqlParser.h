#pragma once
// Finding ":name" parameters in SQL text with the provider's tokenizer rules. Each
// occurrence becomes a positional "?" in the text handed to the provider.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vantrelo {

enum TStatementKind { skUnknown, skSelect, skInsert, skUpdate, skDelete };

// The lexical rules of a provider's SQL dialect that matter for finding parameters.
struct TSqlDialect {
    std::u16string StringQuotes = u"'";     // characters that open and close a string literal
    bool BackslashEscapes = false;          // '\' escapes the next character inside strings
    char16_t IdentifierQuote = u'"';        // opens and closes a quoted identifier
    char16_t IdentifierQuoteClose = u'"';
    bool HashLineComments = false;          // '#' starts a comment to the end of the line
    // After one of these words no ':' starts a parameter (bodies of DDL and PSQL blocks).
    std::vector<std::u16string> ParamStopWords;
};

struct TParamOccurrence {
    std::u16string Name;     // as written, identifier quotes removed
    std::size_t Position;    // index of its '?' in TParsedSql::Text
};

struct TParsedSql {
    std::u16string Text;                   // the statement with '?' in place of every parameter
    std::vector<TParamOccurrence> Params;  // one entry per occurrence, in order
    TStatementKind Kind = skUnknown;       // from the first keyword
};

TParsedSql ParseSql(std::u16string_view sql, const TSqlDialect& dialect);

} // namespace vantrelo
