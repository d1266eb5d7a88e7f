#include "dataaccess/SQLGenerator.h"

#include "dataaccess/DatabaseError.h"

namespace vantrelo {

void TSQLGenerator::AppendMarker(TGeneratedStatement& s, const TGeneratorField& f, bool old) const {
    std::u16string name = old ? u"Old_" + f.FieldName : f.FieldName;
    s.Sql.Params.push_back({name, s.Sql.Text.size()});
    s.Params.push_back({std::move(name), f.Index, old});
    s.Sql.Text += u'?';
}

// Key fields by their old values; without keys every non-blob data field stands in.
void TSQLGenerator::AppendConditions(TGeneratedStatement& s, const std::vector<TGeneratorField>& dataFields,
                                     const std::vector<TGeneratorField>& keyFields) const {
    std::vector<const TGeneratorField*> conditions;
    if (!keyFields.empty()) {
        for (const auto& f : keyFields) conditions.push_back(&f);
    } else {
        for (const auto& f : dataFields)
            if (!f.IsBlob) conditions.push_back(&f);
    }
    if (conditions.empty()) throw EDatabaseError(u"Key fields not found");
    bool first = true;
    for (const TGeneratorField* f : conditions) {
        if (!first) s.Sql.Text += u" AND ";
        first = false;
        s.Sql.Text += FQuote(f->ColumnName);
        if (f->OldIsNull) {
            s.Sql.Text += u" IS NULL";
        } else {
            s.Sql.Text += u" = ";
            AppendMarker(s, *f, true);
        }
    }
}

std::optional<TGeneratedStatement> TSQLGenerator::GenerateUpdate(const std::u16string& table,
                                                                 const std::vector<TGeneratorField>& dataFields,
                                                                 const std::vector<TGeneratorField>& keyFields,
                                                                 bool updateAllFields) const {
    TGeneratedStatement s;
    s.Sql.Kind = skUpdate;
    s.Sql.Text = u"UPDATE " + FQuote(table) + u"\r\nSET\r\n  ";
    bool any = false;
    for (const auto& f : dataFields) {
        if (!updateAllFields && !f.Modified) continue;
        if (any) s.Sql.Text += u", ";
        any = true;
        s.Sql.Text += FQuote(f.ColumnName) + u" = ";
        AppendMarker(s, f, false);
    }
    if (!any) return std::nullopt;
    s.Sql.Text += u"\r\nWHERE\r\n  ";
    AppendConditions(s, dataFields, keyFields);
    return s;
}

TGeneratedStatement TSQLGenerator::GenerateInsert(const std::u16string& table,
                                                  const std::vector<TGeneratorField>& dataFields,
                                                  bool updateAllFields) const {
    std::vector<const TGeneratorField*> fields;
    for (const auto& f : dataFields)
        if (updateAllFields || f.Modified || !f.NewIsNull) fields.push_back(&f);
    TGeneratedStatement s;
    s.Sql.Kind = skInsert;
    if (fields.empty()) {
        s.Sql.Text = u"INSERT INTO " + FQuote(table) + u" () VALUES ()";
        return s;
    }
    s.Sql.Text = u"INSERT INTO " + FQuote(table) + u"\r\n  (";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) s.Sql.Text += u", ";
        s.Sql.Text += FQuote(fields[i]->ColumnName);
    }
    s.Sql.Text += u")\r\nVALUES\r\n  (";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) s.Sql.Text += u", ";
        AppendMarker(s, *fields[i], false);
    }
    s.Sql.Text += u")";
    return s;
}

TGeneratedStatement TSQLGenerator::GenerateDelete(const std::u16string& table,
                                                  const std::vector<TGeneratorField>& dataFields,
                                                  const std::vector<TGeneratorField>& keyFields) const {
    TGeneratedStatement s;
    s.Sql.Kind = skDelete;
    s.Sql.Text = u"DELETE FROM " + FQuote(table) + u"\r\nWHERE\r\n  ";
    AppendConditions(s, dataFields, keyFields);
    return s;
}

} // namespace vantrelo
