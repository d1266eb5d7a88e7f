#pragma once
// The produtos-like table both benchmark programs work on, and the values of its rows, so
// that ours and the peer send and read exactly the same data.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"

namespace bench {

enum class TKind { Int, Text, Decimal, Double, Date, DateTime, BigInt, Char2, Bool, Memo };

struct TColumn {
    std::string Name;
    TKind Kind;
};

constexpr int ParameterCount = 140;  // columns set per execution, each written twice
constexpr int PhotoSize = 2048;
constexpr int Executions = 2000;
constexpr int DistinctProducts = 1000;  // every product is inserted, then updated
constexpr int FetchRows = 20000;

inline const char* SqlType(TKind k) {
    switch (k) {
    case TKind::Int: return "INT";
    case TKind::Text: return "VARCHAR(60)";
    case TKind::Decimal: return "DECIMAL(15,2)";
    case TKind::Double: return "DOUBLE";
    case TKind::Date: return "DATE";
    case TKind::DateTime: return "DATETIME";
    case TKind::BigInt: return "BIGINT";
    case TKind::Char2: return "CHAR(2)";
    case TKind::Bool: return "TINYINT(1)";
    case TKind::Memo: return "TEXT";
    }
    return "INT";
}

// prod_codigo, prod_foto and 138 more columns of the usual kinds.
inline const std::vector<TColumn>& Columns() {
    static const std::vector<TColumn> columns = [] {
        const TKind cycle[] = {TKind::Text, TKind::Decimal, TKind::Int, TKind::Double, TKind::Text, TKind::Date,
                               TKind::DateTime, TKind::BigInt, TKind::Char2, TKind::Bool, TKind::Decimal, TKind::Memo};
        std::vector<TColumn> c{{"prod_codigo", TKind::Int}};
        for (int i = 1; i < ParameterCount - 1; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "c%03d", i);
            c.push_back({name, cycle[i % 12]});
        }
        return c;
    }();
    return columns;
}

inline std::string CreateTable(const std::string& table) {
    std::string sql = "CREATE TABLE " + table + " (";
    for (const auto& c : Columns()) sql += c.Name + " " + SqlType(c.Kind) + ", ";
    sql += "prod_foto LONGBLOB, PRIMARY KEY (prod_codigo)) ENGINE=InnoDB CHARACTER SET latin1";
    return sql;
}

// The value of column `col` for product `row`, in the kind's natural form.
inline std::int32_t IntValue(int row, int col) { return row * 131 + col; }
inline std::int64_t BigIntValue(int row, int col) { return 7890000000000LL + row * 1000 + col; }
inline double DoubleValue(int row, int col) { return row * 1.25 + col / 8.0; }
inline double DecimalValue(int row, int col) { return (row * 100 + col) / 100.0 + 0.25; }
inline bool BoolValue(int row, int col) { return (row + col) % 2 == 0; }
struct TDate {
    int Year, Month, Day, Hour, Minute, Second;
};
inline TDate DateValue(int row, int col) { return {2000 + row % 25, 1 + col % 12, 1 + (row + col) % 28, row % 24, col % 60, (row * col) % 60}; }
// 8-bit text in Windows-1252, with quotes and backslashes to escape.
inline std::string TextValue(int row, int col, bool memo) {
    std::string s = "Produto n\xBA " + std::to_string(row) + " - P\xE3o de a\xE7\xFA" "car 'Tipo " + std::to_string(col) +
                    "' \\ lote";
    if (memo) s += " / observa\xE7\xF5" "es do fornecedor, linha " + std::to_string(col);
    return s;
}
inline std::string Char2Value(int row, int col) { return (row + col) % 2 ? "UN" : "KG"; }
inline std::vector<std::uint8_t> Photo(int row) {
    std::vector<std::uint8_t> p(PhotoSize);
    std::uint32_t x = std::uint32_t(row) * 2654435761u + 1;
    for (auto& b : p) b = std::uint8_t((x = x * 1103515245u + 12345u) >> 24);
    return p;
}

// The upload's statement: column list, values list, then every column once more.
inline std::string UpsertSql(const std::string& table, bool namedParams) {
    std::string names, values, updates;
    auto param = [&](const std::string& col) { return namedParams ? ":" + col : std::string("?"); };
    for (const auto& c : Columns()) {
        names += c.Name + ", ";
        values += param(c.Name) + ", ";
        if (c.Name != "prod_codigo") updates += c.Name + " = " + param(c.Name) + ", ";
    }
    names += "prod_foto";
    values += param("prod_foto");
    updates += "prod_foto = " + param("prod_foto") + ", prod_codigo = " + param("prod_codigo");
    return "INSERT INTO " + table + " (" + names + ")\r\nVALUES (" + values + ")\r\n ON DUPLICATE KEY UPDATE " + updates;
}

} // namespace bench

namespace bench {

// One product row as the upload holds it: typed values per column, the photo last.
struct TValue {
    std::int64_t Integer = 0;
    double Number = 0;  // also the date-time, as days
    std::string Text;
};

inline std::vector<std::vector<TValue>> ProductRows() {
    std::vector<std::vector<TValue>> rows(DistinctProducts);
    const auto& cols = Columns();
    for (int r = 0; r < DistinctProducts; ++r) {
        int row = r + 1;
        auto& values = rows[std::size_t(r)];
        values.resize(cols.size());
        for (std::size_t c = 0; c < cols.size(); ++c) {
            int col = int(c);
            TValue& v = values[c];
            switch (cols[c].Kind) {
            case TKind::Int: v.Integer = c == 0 ? row : IntValue(row, col); break;
            case TKind::BigInt: v.Integer = BigIntValue(row, col); break;
            case TKind::Bool: v.Integer = BoolValue(row, col); break;
            case TKind::Double: v.Number = DoubleValue(row, col); break;
            case TKind::Decimal: v.Number = DecimalValue(row, col); break;
            case TKind::Date: case TKind::DateTime: {
                TDate d = DateValue(row, col);
                v.Number = DaysFromCivil(d.Year, d.Month, d.Day);
                if (cols[c].Kind == TKind::DateTime) v.Number += (d.Hour * 3600 + d.Minute * 60 + d.Second) / 86400.0;
                break;
            }
            case TKind::Text: v.Text = TextValue(row, col, false); break;
            case TKind::Memo: v.Text = TextValue(row, col, true); break;
            case TKind::Char2: v.Text = Char2Value(row, col); break;
            }
        }
    }
    return rows;
}

} // namespace bench
