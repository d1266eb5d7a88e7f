#pragma once
// Generates the UPDATE, INSERT and DELETE statements that write an edited row back.
// Markers are positional "?"; each parameter is named after its field, "Old_" in front
// when it carries the row's value as read.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dataaccess/SqlParser.h"

namespace vantrelo {

struct TGeneratorField {
    std::u16string FieldName;   // names the parameter
    std::u16string ColumnName;  // as the server reports it
    bool IsBlob = false;
    bool Modified = false;      // changed during the edit (blobs: written)
    bool NewIsNull = false;
    bool OldIsNull = false;
    int Index = -1;             // the caller's handle for the field
};

struct TGeneratedParam {
    std::u16string Name;
    int FieldIndex;  // TGeneratorField::Index
    bool Old;        // carries the value as read
};

struct TGeneratedStatement {
    TParsedSql Sql;  // the text with its '?' positions, ready for a provider
    std::vector<TGeneratedParam> Params;
};

class TSQLGenerator {
public:
    // quote: writes a table or column name as the provider's generated statements do.
    explicit TSQLGenerator(std::function<std::u16string(const std::u16string&)> quote) : FQuote(std::move(quote)) {}

    // No statement (nullopt) when no field is to be written. Raises "Key fields not found"
    // when no condition can identify the row.
    std::optional<TGeneratedStatement> GenerateUpdate(const std::u16string& table,
                                                      const std::vector<TGeneratorField>& dataFields,
                                                      const std::vector<TGeneratorField>& keyFields,
                                                      bool updateAllFields) const;
    TGeneratedStatement GenerateInsert(const std::u16string& table, const std::vector<TGeneratorField>& dataFields,
                                       bool updateAllFields) const;
    TGeneratedStatement GenerateDelete(const std::u16string& table, const std::vector<TGeneratorField>& dataFields,
                                       const std::vector<TGeneratorField>& keyFields) const;

private:
    void AppendConditions(TGeneratedStatement& s, const std::vector<TGeneratorField>& dataFields,
                          const std::vector<TGeneratorField>& keyFields) const;
    void AppendMarker(TGeneratedStatement& s, const TGeneratorField& f, bool old) const;

    std::function<std::u16string(const std::u16string&)> FQuote;
};

} // namespace vantrelo
