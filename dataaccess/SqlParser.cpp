#include "dataaccess/SqlParser.h"

#include <algorithm>

#include "dataaccess/TextUtils.h"

namespace vantrelo {
namespace {

bool IsIdentChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
           c == u'$' || c >= 0x80;
}

TStatementKind KindOfKeyword(std::u16string_view word) {
    if (SameText(word, u"SELECT")) return skSelect;
    if (SameText(word, u"INSERT")) return skInsert;
    if (SameText(word, u"UPDATE")) return skUpdate;
    if (SameText(word, u"DELETE")) return skDelete;
    return skUnknown;
}

class TScanner {
public:
    TScanner(std::u16string_view sql, const TSqlDialect& dialect) : FSql(sql), FDialect(dialect) {}

    TParsedSql Run() {
        bool hasColon = FSql.find(u':') != std::u16string_view::npos;
        bool firstWord = true, paramsStopped = false;
        FOut.Text.reserve(FSql.size());
        while (FPos < FSql.size()) {
            char16_t c = FSql[FPos];
            if (c == u'-' && Peek(1) == u'-') { CopyToLineEnd(); continue; }
            if (c == u'#' && FDialect.HashLineComments) { CopyToLineEnd(); continue; }
            if (c == u'/' && Peek(1) == u'*') { CopyBlockComment(); continue; }
            if (FDialect.StringQuotes.find(c) != std::u16string::npos) { CopyQuoted(c, FDialect.BackslashEscapes); continue; }
            if (c == FDialect.IdentifierQuote) { CopyQuoted(FDialect.IdentifierQuoteClose, false); continue; }
            if (IsIdentChar(c)) {
                std::size_t start = FPos;
                while (FPos < FSql.size() && IsIdentChar(FSql[FPos])) ++FPos;
                std::u16string_view word = FSql.substr(start, FPos - start);
                FOut.Text.append(word);
                if (firstWord) { FOut.Kind = KindOfKeyword(word); firstWord = false; }
                if (!paramsStopped)
                    for (const auto& stop : FDialect.ParamStopWords)
                        if (SameText(word, stop)) paramsStopped = true;
                continue;
            }
            if (c == u':' && hasColon && !paramsStopped) { ScanColon(); continue; }
            FOut.Text.push_back(c);
            ++FPos;
        }
        return std::move(FOut);
    }

private:
    char16_t Peek(std::size_t ahead) const {
        return FPos + ahead < FSql.size() ? FSql[FPos + ahead] : char16_t(0);
    }

    void CopyRange(std::size_t end) {
        FOut.Text.append(FSql.substr(FPos, end - FPos));
        FPos = end;
    }

    void CopyToLineEnd() {
        std::size_t end = FSql.find(u'\n', FPos);
        CopyRange(end == std::u16string_view::npos ? FSql.size() : end);
    }

    void CopyBlockComment() {
        std::size_t end = FSql.find(u"*/", FPos + 2);
        CopyRange(end == std::u16string_view::npos ? FSql.size() : end + 2);
    }

    // A literal or quoted identifier; a doubled closing quote stays inside it.
    void CopyQuoted(char16_t close, bool backslashEscapes) {
        std::size_t i = FPos + 1;
        while (i < FSql.size()) {
            char16_t c = FSql[i];
            if (backslashEscapes && c == u'\\') { i += 2; continue; }
            if (c == close) {
                if (i + 1 < FSql.size() && FSql[i + 1] == close) { i += 2; continue; }
                ++i;
                break;
            }
            ++i;
        }
        CopyRange(std::min(i, FSql.size()));
    }

    void ScanColon() {
        char16_t next = Peek(1);
        if (next == u':') {  // "::" is kept as written and starts no parameter
            CopyRange(FPos + 2);
            return;
        }
        std::u16string name;
        std::size_t end;
        if (next == FDialect.IdentifierQuote && next != 0) {
            std::size_t close = FSql.find(FDialect.IdentifierQuoteClose, FPos + 2);
            if (close == std::u16string_view::npos) { CopyRange(FPos + 1); return; }
            name.assign(FSql.substr(FPos + 2, close - FPos - 2));
            end = close + 1;
        } else if (next != 0 && IsIdentChar(next)) {
            end = FPos + 1;
            while (end < FSql.size() && IsIdentChar(FSql[end])) ++end;
            name.assign(FSql.substr(FPos + 1, end - FPos - 1));
        } else {
            CopyRange(FPos + 1);
            return;
        }
        FOut.Params.push_back({std::move(name), FOut.Text.size()});
        FOut.Text.push_back(u'?');
        FPos = end;
    }

    std::u16string_view FSql;
    const TSqlDialect& FDialect;
    std::size_t FPos = 0;
    TParsedSql FOut;
};

} // namespace

TParsedSql ParseSql(std::u16string_view sql, const TSqlDialect& dialect) { return TScanner(sql, dialect).Run(); }

} // namespace vantrelo
