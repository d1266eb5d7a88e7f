// The product transfers: local changes up to the cloud, cloud changes down to the local
// tables. Every parameter is set from the product mapping.
#include <algorithm>
#include <vector>

#include "platform/CodePage.h"
#include "sync/Dmdados.h"
#include "sync/ProductMapping.h"

namespace vantrelo {
namespace {

// The code-and-name tables the download keeps up, each with the cloud columns feeding it.
struct TLookupTable {
    const char16_t* Table;
    const char16_t* CodeColumn;
    const char16_t* NameColumn;
};
const TLookupTable LookupTables[] = {
    {u"categoria", u"prod_idcat", u"prod_nomecat"},
    {u"grupo", u"prod_idgrupo", u"prod_nomegrupo"},
    {u"subgrupo", u"prod_idsubg", u"prod_nomesubg"},
    {u"fabricante", u"prod_idfab", u"prod_nomefab"},
};

// Sets a statement's parameter from a source row as one column of the mapping says.
void Carry(const TCarry& carry, TDbParam& param, TDbQuery& source, const char16_t* sourceColumn) {
    auto field = [&]() -> TField& { return source.FieldByName(carry.From ? carry.From : sourceColumn); };
    switch (carry.Kind) {
    case ckText: param.SetAsString(field().AsString()); break;
    case ckAnsi: param.SetAsAnsiString(field().AsAnsiString()); break;
    case ckInteger: param.SetAsInteger(field().AsInteger()); break;
    case ckLargeInt: param.SetAsLargeInt(field().AsLargeInt()); break;
    case ckFloat: param.SetAsFloat(field().AsFloat()); break;
    case ckDate: param.SetAsDate(field().AsDateTime()); break;
    case ckDateTime: param.SetAsDateTime(field().AsDateTime()); break;
    case ckBytes: param.SetValue(TVariant(field().AsBytes())); break;
    case ckConstOne: param.SetAsInteger(1); break;
    case ckConstZeroFloat: param.SetAsFloat(0.0); break;
    case ckNow: param.SetAsDateTime(Now()); break;
    case ckConstText: param.SetAsString(carry.Text); break;
    case ckNone: case ckInStatement: break;
    }
}

bool Carried(const TCarry& carry) { return carry.Kind != ckNone && carry.Kind != ckInStatement; }

// The code-and-name table a mapped column names the product's entry of, if any.
const TLookupTable* LookupFedBy(std::size_t column) {
    static const std::vector<const TLookupTable*> fed = [] {
        std::vector<const TLookupTable*> r(ProductColumnCount);
        for (std::size_t i = 0; i < ProductColumnCount; ++i)
            for (const auto& lookup : LookupTables)
                if (std::u16string_view(ProductColumns[i].Cloud ? ProductColumns[i].Cloud : u"") == lookup.NameColumn)
                    r[i] = &lookup;
        return r;
    }();
    return fed[column];
}

} // namespace

std::u16string TDmdados::GetsqlUpdate_Prodcloud() { return std::u16string(CloudUpdatePart); }

TTransferResult TDmdados::GetSincProd_De_Local_PBaseClod() {
    try {
        sqlProdLocal.Close();
        sqlProdLocal.SQL().Clear();
        sqlProdLocal.SQL().Add(
            u"select *  from estoque  where  DATA_ALTERACAO  between :DI and :DF and est_codigo >0  order by est_codigo");
        TDateTime upper = Now();
        sqlProdLocal.ParamByName(u"DI").SetAsDateTime(WindowStart());
        sqlProdLocal.ParamByName(u"DF").SetAsDateTime(upper);
        sqlProdLocal.Open();
        sqlProdLocal.Last();
        FPanel.SetProgressMax(sqlProdLocal.RecordCount());
        sqlProdLocal.First();
        FPanel.AppendLog(u"");
        FPanel.AppendLog(u"Sinc P.Cloud Iniciada " + LogStamp());
        while (!sqlProdLocal.Eof()) {
            FPanel.ProcessMessages();
            if (sqlProdLocal.RecordCount() < 1) {
                sqlProdLocal.Next();
                return {};
            }
            sqlCloud.Close();
            sqlCloud.SQL().Clear();
            sqlCloud.SQL().Add(std::u16string(CloudInsertPart) + GetsqlUpdate_Prodcloud());
            for (std::size_t i = 0; i < ProductColumnCount; ++i) {
                const TProductColumn& c = ProductColumns[i];
                if (!Carried(c.Upload)) continue;
                Carry(c.Upload, sqlCloud.ParamByName(c.Upload.Param ? c.Upload.Param : c.Cloud), sqlProdLocal, c.Local);
            }
            sqlCloud.ExecSQL();
            FPanel.AppendLog(u"Sinc. Add Prod.: " + sqlProdLocal.FieldByName(u"EST_CODIGO").AsString() + u" | " +
                             sqlProdLocal.FieldByName(u"EST_PRODUTO").AsString());
            FPanel.StepProgress();
            sqlProdLocal.Next();
        }
        FPanel.AppendLog(u"Sinc P.Cloud Finalizada " + LogStamp());
        FPanel.AppendLog(u"");
        // The window read ended at its upper bound: the next one starts there.
        return {true, upper};
    } catch (const Exception& e) {
        FPanel.AppendLog(u"Houve Erro :" + e.Message());
        return {};
    }
}

void TDmdados::SetDownloadParams(bool update) {
    for (std::size_t i = 0; i < ProductColumnCount; ++i) {
        const TProductColumn& c = ProductColumns[i];
        const TCarry& carry = update ? c.LocalUpdate : c.LocalInsert;
        if (!Carried(carry)) continue;
        // A product's category, group, subgroup and manufacturer exist locally before it does.
        if (const TLookupTable* lookup = LookupFedBy(i)) {
            int code = sqlProdCloud.FieldByName(lookup->CodeColumn).AsInteger();
            std::u16string name = AnsiToUnicode(sqlProdCloud.FieldByName(lookup->NameColumn).AsAnsiString());
            if (code > 0 && !Get_ConFiltroProdLocal(u"L", lookup->Table, code))
                Get_CadFiltroProdLocal(u"L", lookup->Table, code, name);
        }
        Carry(carry, sqlLocal.ParamByName(carry.Param ? carry.Param : c.Local), sqlProdCloud, c.Cloud);
    }
}

TTransferResult TDmdados::GetSincProd_De_Cloud_PBaseLocal() {
    try {
        BaseCloud.Close();
        BaseCloud.Open();
        // The window's upper bound is the earlier of two clocks read just before the selection:
        // the cloud's, which ends the selection, and this machine's, like the clocks of the
        // shops whose uploads stamp the cloud's changes. Were the cloud's clock ahead of
        // theirs, their next changes would fall below the next window.
        TDateTime localNow = Now();
        sqlCloud.Close();
        sqlCloud.SQL().SetText(u"select current_timestamp");
        sqlCloud.Open();
        TDateTime upper = std::min(sqlCloud.Fields().front()->AsDateTime(), localNow);
        sqlCloud.Close();

        sqlProdCloud.Close();
        sqlProdCloud.SQL().Clear();
        sqlProdCloud.SQL().Add(
            u"select *  from produtos  where  data_alteracao  between :DI  and current_timestamp   order by prod_codigo");
        sqlProdCloud.ParamByName(u"DI").SetAsDateTime(WindowStart());
        sqlProdCloud.Open();
        sqlProdCloud.Last();
        FPanel.SetProgressMax(sqlProdCloud.RecordCount());
        sqlProdCloud.First();
        FPanel.AppendLog(u"");
        FPanel.AppendLog(u"Sinc Clod P.Local Iniciada " + LogStamp());
        FPanel.AppendLog(u"");
        FPanel.AppendLog(u"Sincronia Iniciada " + LogStamp());
        while (!sqlProdCloud.Eof()) {
            FPanel.ProcessMessages();
            if (sqlProdCloud.RecordCount() < 1) {
                sqlProdCloud.Next();
                return {};
            }
            int code = sqlProdCloud.FieldByName(u"prod_codigo").AsInteger();
            std::u16string line = sqlProdCloud.FieldByName(u"prod_codigo").AsString() + u" | " +
                                  sqlProdCloud.FieldByName(u"prod_nome").AsString();
            if (GetVerificarSeExisteProduto(code)) {
                sqlLocal.Close();
                sqlLocal.SQL().Clear();
                sqlLocal.SQL().Add(LocalUpdateStatement);
                SetDownloadParams(true);
                sqlLocal.ExecSQL();
                FPanel.AppendLog(u"Sinc Upd Prod.: " + line);
            } else {
                sqlLocal.Close();
                sqlLocal.SQL().Clear();
                sqlLocal.SQL().Add(LocalInsertStatement);
                SetDownloadParams(false);
                sqlLocal.ExecSQL();
                FPanel.AppendLog(u"Sinc. Add Prod.: " + line);
                Get_Iniciar_Estoque_zerado(code);
            }
            FPanel.StepProgress();
            sqlProdCloud.Next();
        }
        FPanel.AppendLog(u"Sincronia Finalizada " + LogStamp());
        FPanel.AppendLog(u"");
        return {true, upper};
    } catch (const Exception& e) {
        FPanel.AppendLog(u"Houve Erro :        " + e.Message());
        return {};
    }
}

} // namespace vantrelo
