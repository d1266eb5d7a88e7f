// A product carried column by column in both directions, as the mapping says.
#include <cmath>

#include "platform/CodePage.h"
#include "platform/FormatSettings.h"
#include "sync/ProductMapping.h"
#include "tests/sync/ShopFixture.h"

namespace vantrelo::test {
namespace {

const TBytes Photo = [] {
    TBytes b = {0x00, 0x27, 0x5C};
    for (int i = 0; i < 256; ++i) b.push_back(std::uint8_t(i));
    return b;
}();

// A value for every column of one side, different per column and per seed.
TVariant ValueFor(TFieldType type, int size, int row, int seed) {
    switch (type) {
    case ftInteger: return TVariant(std::int32_t(seed * 1000 + row));
    case ftLargeint: return TVariant((std::int64_t(1) << 40) + seed * 1000 + row);
    case ftFloat: return TVariant(seed * 100 + row + 0.25);
    case ftString: case ftFixedChar: {
        std::u16string text = u"Ação" + IntToStr(seed * 1000 + row) + u"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";
        return TVariant(UnicodeToAnsi(text.substr(0, std::size_t(size))));
    }
    case ftDate: return TVariant(EncodeDate(2024, 3, 1 + seed));
    case ftDateTime: return TVariant(EncodeDateTime(2024, 3, 1 + seed, 15, 30, 0, 0));
    case ftBlob: return TVariant(Photo);
    default: return {};
    }
}

void SetParam(TDbParam& p, TFieldType type, const TVariant& v) {
    if (type == ftDate) p.SetAsDate(v.AsDateTime());
    else if (type == ftDateTime) p.SetAsDateTime(v.AsDateTime());
    else p.SetValue(v);
}

// Writes a whole product on one side; sizes are those both sides can hold.
void InsertProduct(TDbConnection& connection, bool local, int code, int seed, TDateTime changed, bool nulls) {
    std::u16string columns, values;
    std::vector<std::pair<const TProductColumn*, std::u16string>> params;
    for (std::size_t i = 0; i < ProductColumnCount; ++i) {
        const TProductColumn& c = ProductColumns[i];
        const char16_t* name = local ? c.Local : c.Cloud;
        if (!name) continue;
        std::u16string n(name);
        bool key = n == u"EST_CODIGO" || n == u"prod_codigo", stamp = n == u"DATA_ALTERACAO" || n == u"data_alteracao";
        if (nulls && !key && !stamp) continue;
        if (!columns.empty()) columns += u",", values += u",";
        columns += n;
        values += u":" + n;
        params.emplace_back(&c, n);
    }
    TDbQuery q;
    q.SetConnection(&connection);
    q.SQL().SetText(u"insert into " + std::u16string(local ? u"estoque" : u"produtos") + u" (" + columns + u") values (" +
                    values + u")");
    for (auto& [c, n] : params) {
        TFieldType type = local ? c->LocalType : c->CloudType;
        int size = c->Local && c->Cloud ? std::min(c->LocalSize, c->CloudSize) : (local ? c->LocalSize : c->CloudSize);
        TVariant v = ValueFor(type, size, int(c - ProductColumns), seed);
        if (n == u"EST_CODIGO" || n == u"prod_codigo") v = TVariant(std::int32_t(code));
        if (n == u"DATA_ALTERACAO" || n == u"data_alteracao") v = TVariant(changed);
        SetParam(q.ParamByName(n), type, v);
    }
    q.ExecSQL();
}

std::string RightTrimmed(const AnsiString& s) {
    std::string r = s.Bytes();
    while (!r.empty() && r.back() == ' ') r.pop_back();
    return r;
}

class Mapping : public ::testing::Test {
protected:
    void SetUp() override {
        VANTRELO_REQUIRE_FIREBIRD(fb);
        VANTRELO_REQUIRE_MYSQL(my);
        FShop = std::make_unique<TShop>(fb, my, "mapping");
    }

    // Runs one synchronisation in a direction and returns its outcome.
    TRunOutcome Run(int direction) {
        FShop->PointConfigAtCloud(direction);
        TDmdados dm(FPanel, FShop->Settings());
        EXPECT_FALSE(dm.CreationError());
        TFreeControls controls;
        return RunSynchronisation(dm, controls);
    }

    // Compares what a statement received with what the mapping says it receives.
    static void ExpectCarried(const TCarry& carry, const char16_t* column, TField& target, TDbQuery& source,
                              const char16_t* sourceColumn, TDateTime runStart, bool nullSource) {
        std::string what = UnicodeToUtf8(column);
        ASSERT_FALSE(target.IsNull()) << what << ": no parameter of the product statements is ever null";
        TField* from = carry.From ? &source.FieldByName(carry.From) : sourceColumn ? &source.FieldByName(sourceColumn) : nullptr;
        switch (carry.Kind) {
        case ckText: EXPECT_EQ(UnicodeToUtf8(target.AsString()), UnicodeToUtf8(from->AsString())) << what; break;
        case ckAnsi:
            // CHAR columns pad with blanks on one side and strip them on the other.
            EXPECT_EQ(RightTrimmed(target.AsAnsiString()), RightTrimmed(from->AsAnsiString())) << what;
            if (nullSource) {
                EXPECT_EQ(RightTrimmed(target.AsAnsiString()), "") << what;
            }
            break;
        case ckInteger: case ckLargeInt: EXPECT_EQ(target.AsLargeInt(), from->AsLargeInt()) << what; break;
        case ckFloat:
            // A float into an integer column is the database's own conversion.
            if (target.DataType() == ftInteger) {
                EXPECT_EQ(target.AsInteger(), std::lround(from->AsFloat())) << what;
            } else {
                EXPECT_DOUBLE_EQ(target.AsFloat(), from->AsFloat()) << what;
            }
            break;
        case ckDate: case ckDateTime: {
            TDateTime expected = from->AsDateTime();
            // A date parameter or a date column keeps the day only.
            if (carry.Kind == ckDate || target.DataType() == ftDate) expected = DateOf(expected);
            EXPECT_EQ(target.AsDateTime(), expected) << what;
            break;
        }
        case ckBytes: EXPECT_EQ(target.AsBytes(), from->AsBytes()) << what; break;
        case ckConstOne: EXPECT_EQ(target.AsFloat(), 1.0) << what; break;
        case ckConstZeroFloat: EXPECT_EQ(target.AsFloat(), 0.0) << what; break;
        case ckNow:
            EXPECT_GE(target.AsDateTime().Value, runStart.Value - 2.0 / 86400) << what;
            EXPECT_LE(target.AsDateTime().Value, Now().Value + 2.0 / 86400) << what;
            break;
        case ckConstText: EXPECT_EQ(target.AsAnsiString(), UnicodeToAnsi(carry.Text)) << what; break;
        case ckInStatement: EXPECT_EQ(target.AsAnsiString(), AnsiString("N")) << what; break;
        case ckNone: break;
        }
    }

    // A product's row on both sides.
    struct TBothSides {
        TDbQuery Local, Cloud;
    };
    void OpenBothSides(TBothSides& rows, int code) {
        rows.Local.SetConnection(&FShop->Local());
        rows.Local.SQL().SetText(u"select * from estoque where EST_CODIGO=" + IntToStr(code));
        rows.Local.Open();
        rows.Cloud.SetConnection(&FShop->Cloud());
        rows.Cloud.SQL().SetText(u"select * from produtos where prod_codigo=" + IntToStr(code));
        rows.Cloud.Open();
    }

    void ExpectUploaded(int code, TDateTime runStart, bool nullSource) {
        TBothSides rows;
        OpenBothSides(rows, code);
        ASSERT_EQ(rows.Cloud.RecordCount(), 1);
        for (std::size_t i = 0; i < ProductColumnCount; ++i) {
            const TProductColumn& c = ProductColumns[i];
            if (!c.Cloud) continue;
            if (c.Upload.Kind == ckNone) {
                EXPECT_TRUE(rows.Cloud.FieldByName(c.Cloud).IsNull()) << UnicodeToUtf8(c.Cloud) << " is not carried";
                continue;
            }
            ExpectCarried(c.Upload, c.Cloud, rows.Cloud.FieldByName(c.Cloud), rows.Local, c.Local, runStart, nullSource);
        }
    }

    void ExpectDownloaded(int code, bool update, TDateTime runStart, bool nullSource) {
        TBothSides rows;
        OpenBothSides(rows, code);
        ASSERT_EQ(rows.Local.RecordCount(), 1);
        for (std::size_t i = 0; i < ProductColumnCount; ++i) {
            const TProductColumn& c = ProductColumns[i];
            if (!c.Local) continue;
            const TCarry& carry = update ? c.LocalUpdate : c.LocalInsert;
            if (carry.Kind == ckNone) continue;
            ExpectCarried(carry, c.Local, rows.Local.FieldByName(c.Local), rows.Cloud, c.Cloud, runStart, nullSource);
        }
    }

    std::unique_ptr<TShop> FShop;
    TRecordingPanel FPanel;
};

TEST_F(Mapping, UploadCarriesEveryColumnAndNullsArriveAsEmptyValues) {
    TDateTime changed(Now().Value - 1.0 / 1440);
    InsertProduct(FShop->Local(), true, 77, 1, changed, false);
    InsertProduct(FShop->Local(), true, 78, 2, changed, true);
    TDateTime start = Now();
    ASSERT_EQ(Run(1), TRunOutcome::Completed) << ::testing::PrintToString(Utf8Lines(FPanel.Lines));
    ExpectUploaded(77, start, false);
    ExpectUploaded(78, start, true);
    // The empty photo is an empty value, not a null one.
    EXPECT_EQ(FShop->CloudValue(u"select length(prod_foto) from produtos where prod_codigo=78").AsInteger(), 0);
    EXPECT_EQ(FShop->CloudValue(u"select prod_dataultcompra from produtos where prod_codigo=78").AsDateTime(),
              TDateTime(0));

    // Sent again, the product is updated in place.
    FShop->LocalExec(u"update estoque set EST_PRODUTO='Pão de queijo', DATA_ALTERACAO=current_timestamp where EST_CODIGO=77");
    ASSERT_EQ(Run(1), TRunOutcome::Completed);
    EXPECT_EQ(FShop->CloudValue(u"select count(*) from produtos").AsInteger(), 2);
    EXPECT_EQ(UnicodeToUtf8(FShop->CloudValue(u"select prod_nome from produtos where prod_codigo=77").AsString()),
              "Pão de queijo");
}

TEST_F(Mapping, DownloadInsertsThenUpdatesEveryColumn) {
    TDateTime changed(Now().Value - 1.0 / 1440);
    InsertProduct(FShop->Cloud(), false, 91, 1, changed, false);
    InsertProduct(FShop->Cloud(), false, 92, 2, changed, true);
    TDateTime start = Now();
    ASSERT_EQ(Run(2), TRunOutcome::Completed) << ::testing::PrintToString(Utf8Lines(FPanel.Lines));
    ExpectDownloaded(91, false, start, false);
    ExpectDownloaded(92, false, start, true);

    // Changed in the cloud: the local row is updated, and what the update leaves alone stays.
    FShop->LocalExec(u"update estoque set BAL_ENVIADO='S', PROD_CADPOR=555 where EST_CODIGO=91");
    FShop->CloudExec(u"delete from produtos where prod_codigo=91");
    InsertProduct(FShop->Cloud(), false, 91, 3, TDateTime(Now().Value - 0.5 / 1440), false);
    start = Now();
    ASSERT_EQ(Run(2), TRunOutcome::Completed) << ::testing::PrintToString(Utf8Lines(FPanel.Lines));
    ExpectDownloaded(91, true, start, false);
    EXPECT_EQ(FShop->LocalValue(u"select BAL_ENVIADO from estoque where EST_CODIGO=91").AsAnsiString(), AnsiString("S"));
    EXPECT_EQ(FShop->LocalValue(u"select PROD_CADPOR from estoque where EST_CODIGO=91").AsInteger(), 555);
    EXPECT_EQ(FShop->LocalValue(u"select PROD_USUARIO from estoque where EST_CODIGO=91").AsInteger(), 1);
}

// The cells that are not a plain copy, as literal values: the tests above take their
// expectations from the mapping table itself, so a wrong cell there would be confirmed.
TEST_F(Mapping, TheCellsThatAreNoPlainCopyArriveAsWritten) {
    // Down: product 2 is new locally (insert), product 3 is known (update).
    FShop->CloudExec(u"insert into produtos (prod_codigo, prod_nome, prod_usuario, prod_cadpor, bal_enviado, sinc, "
                     u"prod_dataultvenda, prod_estoque_iniciado, prod_qtde_saida, data_alteracao) values "
                     u"(2, 'novo', 42, 5, 'S', 'S', '2024-03-10 15:30:00', 2.5, 9, now() - interval 1 minute), "
                     u"(3, 'conhecido', 42, 5, 'S', 'S', '2024-03-10 15:30:00', 2.5, 9, now() - interval 1 minute)");
    FShop->LocalExec(u"insert into estoque (EST_CODIGO, EST_PRODUTO, BAL_ENVIADO, PROD_CADPOR, PROD_USUARIO, SINC, "
                     u"TOTAL_VIRTUAL, TIPO_SERVICO, EST_PRECOTOTAL, DATA_ALTERACAO) values "
                     u"(3, 'velho', 'X', 555, 7, 'S', 3, 4, 5, '1999-01-01')");
    ASSERT_EQ(Run(2), TRunOutcome::Completed) << ::testing::PrintToString(Utf8Lines(FPanel.Lines));
    // Up: product 1, into a cloud that does not know it.
    FShop->LocalExec(u"insert into estoque (EST_CODIGO, EST_PRODUTO, PROD_USUARIO, PROD_CADPOR, BAL_ENVIADO, "
                     u"ESTOQUE_INICIADO, QTDE_SAIDA, SINC, EST_DATAULTVENDA, DATA_ALTERACAO) values "
                     u"(1, 'subindo', 42, 5, 'S', 7, 9, 'S', '2024-03-10 15:30:00', '2020-01-01')");
    FShop->LocalExec(u"update config_geral set DATAULTIMA_SIC='2000-01-01'");
    ASSERT_EQ(Run(1), TRunOutcome::Completed) << ::testing::PrintToString(Utf8Lines(FPanel.Lines));

    const TDateTime day = EncodeDate(2024, 3, 10);
    struct {
        const char* Statement;
        bool Cloud;
        int Code;
        const char16_t* Column;
        TVariant Expected;
    } cases[] = {
        {"upload", true, 1, u"bal_enviado", AnsiString("n")},
        {"upload", true, 1, u"prod_cadpor", std::int32_t(42)},  // from PROD_USUARIO
        {"upload", true, 1, u"prod_estoque_iniciado", 1.0},
        {"upload", true, 1, u"prod_qtde_saida", TVariant()},    // never sent
        {"upload", true, 1, u"sinc", AnsiString("S")},
        {"upload", true, 1, u"prod_dataultvenda", day},         // a date parameter: the day only
        {"local insert", false, 2, u"BAL_ENVIADO", AnsiString("N")},
        {"local insert", false, 2, u"PROD_CADPOR", std::int32_t(42)},  // from prod_usuario
        {"local insert", false, 2, u"PROD_USUARIO", std::int32_t(42)},
        {"local insert", false, 2, u"SINC", AnsiString("S")},
        {"local insert", false, 2, u"QTDE_SAIDA", std::int32_t(9)},
        {"local insert", false, 2, u"ESTOQUE_INICIADO", std::int32_t(3)},  // 2.5 as the local database rounds it
        {"local insert", false, 2, u"TOTAL_VIRTUAL", 0.0},
        {"local insert", false, 2, u"TIPO_SERVICO", std::int32_t(1)},
        {"local insert", false, 2, u"EST_PRECOTOTAL", 0.0},
        {"local insert", false, 2, u"EST_DATAULTVENDA", day},
        {"local update", false, 3, u"BAL_ENVIADO", AnsiString("X")},   // left alone
        {"local update", false, 3, u"PROD_CADPOR", std::int32_t(555)}, // left alone
        {"local update", false, 3, u"PROD_USUARIO", std::int32_t(1)},
        {"local update", false, 3, u"SINC", AnsiString("N")},
        {"local update", false, 3, u"QTDE_SAIDA", std::int32_t(9)},
        {"local update", false, 3, u"TOTAL_VIRTUAL", 0.0},
        {"local update", false, 3, u"TIPO_SERVICO", std::int32_t(1)},
        {"local update", false, 3, u"EST_PRECOTOTAL", 0.0},
        {"local update", false, 3, u"EST_DATAULTVENDA", day},
    };
    for (const auto& c : cases) {
        std::u16string sql = c.Cloud ? u"select " + std::u16string(c.Column) + u" from produtos where prod_codigo=" + IntToStr(c.Code)
                                     : u"select " + std::u16string(c.Column) + u" from estoque where EST_CODIGO=" + IntToStr(c.Code);
        TVariant actual = c.Cloud ? FShop->CloudValue(sql) : FShop->LocalValue(sql);
        std::string what = std::string(c.Statement) + ": " + UnicodeToUtf8(c.Column);
        const TVariant& e = c.Expected;
        if (e.IsNull()) {
            EXPECT_TRUE(actual.IsNull()) << what;
        } else if (e.TryGet<AnsiString>()) {
            EXPECT_EQ(RightTrimmed(actual.AsAnsiString()), RightTrimmed(e.AsAnsiString())) << what;
        } else if (e.TryGet<std::int32_t>()) {
            EXPECT_EQ(actual.AsLargeInt(), e.AsLargeInt()) << what;
        } else if (e.TryGet<double>()) {
            EXPECT_EQ(actual.AsFloat(), e.AsFloat()) << what;
        } else {
            EXPECT_EQ(actual.AsDateTime(), e.AsDateTime()) << what;
        }
    }
}

} // namespace
} // namespace vantrelo::test
