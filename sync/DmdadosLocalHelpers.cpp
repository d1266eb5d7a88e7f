// The download's helpers on the local database: product existence, the code-and-name
// tables and the opening stock movement of a new product.
#include "platform/FormatSettings.h"
#include "sync/Dmdados.h"

namespace vantrelo {

TDbConnection& TDmdados::ConnectionFor(const std::u16string& base) { return base == u"C" ? BaseCloud : BaseLocal; }

bool TDmdados::GetVerificarSeExisteProduto(int Codprod) {
    TDbQuery query;
    query.SetConnection(&BaseLocal);
    query.Close();
    query.SQL().Clear();
    query.SQL().Add(u"select est_codigo from estoque where est_codigo=:C");
    query.ParamByName(u"C").SetAsInteger(Codprod);
    query.Open();
    return query.RecordCount() > 0;
}

bool TDmdados::Get_ConFiltroProdLocal(const std::u16string& base, const std::u16string& Table, int Codigo) {
    TDbQuery query(u"", this);
    query.SetConnection(&ConnectionFor(base));
    query.Close();
    query.SQL().Clear();
    query.SQL().Add(u"select codigo from " + Table + u" where codigo=" + IntToStr(Codigo));
    query.Open();
    return query.RecordCount() > 0;
}

void TDmdados::Get_CadFiltroProdLocal(const std::u16string& base, const std::u16string& Table, int Codigo,
                                      const std::u16string& Nome) {
    TDbQuery query(u"", this);
    query.SetConnection(&ConnectionFor(base));
    query.Close();
    query.SQL().Clear();
    query.SQL().Add(u"insert into " + Table + u" (codigo,nome) values (:c,:n)");
    query.ParamByName(u"c").SetAsInteger(Codigo);
    query.ParamByName(u"n").SetAsString(Nome);
    query.ExecSQL();
}

void TDmdados::Get_Iniciar_Estoque_zerado(int cod) {
    sqlLocal.Close();
    sqlLocal.SQL().Clear();
    sqlLocal.SQL().Add(u"insert into Mov_Produtos (cod_filial,PROD_CODIGO,ESTOQUE_INICIAL,ESTOQUE_ATUAL,ESTOQUE_MINIMO,");
    sqlLocal.SQL().Add(u"ENTRADA,SAIDA,ENTRADA_DATA,ENTRADA_HORA,SAIDA_DATA,SAIDA_HORA,POR_USUARIO,USER_NOME,SINC) VALUES (");
    sqlLocal.SQL().Add(u":cod_filial,:PROD_CODIGO,:ESTOQUE_INICIAL,:ESTOQUE_ATUAL,:ESTOQUE_MINIMO,");
    sqlLocal.SQL().Add(u":ENTRADA,:SAIDA,:ENTRADA_DATA,:ENTRADA_HORA,:SAIDA_DATA,:SAIDA_HORA");
    sqlLocal.SQL().Add(u",:POR_USUARIO,:USER_NOME,:SINC)");
    sqlLocal.ParamByName(u"cod_filial").SetValue(sqlConfigLocal.FieldByName(u"IDFILIAL").AsVariant());
    sqlLocal.ParamByName(u"PROD_CODIGO").SetAsInteger(cod);
    sqlLocal.ParamByName(u"ESTOQUE_INICIAL").SetAsInteger(1);
    sqlLocal.ParamByName(u"ESTOQUE_ATUAL").SetAsInteger(0);
    sqlLocal.ParamByName(u"ESTOQUE_MINIMO").SetAsInteger(0);
    sqlLocal.ParamByName(u"ENTRADA").SetAsInteger(0);
    sqlLocal.ParamByName(u"SAIDA").SetAsInteger(0);
    sqlLocal.ParamByName(u"ENTRADA_DATA").SetAsDateTime(Date());
    sqlLocal.ParamByName(u"ENTRADA_HORA").SetAsDateTime(Time());
    sqlLocal.ParamByName(u"SAIDA_DATA").SetAsDateTime(Date());
    sqlLocal.ParamByName(u"SAIDA_HORA").SetAsDateTime(Time());
    sqlLocal.ParamByName(u"POR_USUARIO").SetAsInteger(1);
    sqlLocal.ParamByName(u"USER_NOME").SetAsString(u"User-Sic");
    sqlLocal.ParamByName(u"SINC").SetAsString(u"N");
    sqlLocal.ExecSQL();
}

} // namespace vantrelo
