#include "sync/Dmdados.h"

#include "dataaccess/TextUtils.h"
#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/FormatSettings.h"
#include "providers/interbase/InterBaseDbProvider.h"
#include "providers/mysql/MySQLDbProvider.h"
#include "sync/ProductMapping.h"

#ifndef VANTRELO_PASSWORD_KEY
#define VANTRELO_PASSWORD_KEY 0x8B
#endif

namespace vantrelo {
namespace {

static_assert((VANTRELO_PASSWORD_KEY & 0xFF) != 0, "the scrambling key must not be zero");

struct TConfigColumn {
    const char16_t* Name;
    TFieldType Type;
    int Size;
    bool Required;
};

// The columns of config_geral the program reads or writes.
const TConfigColumn ConfigColumns[] = {
    {u"CODIGO", ftInteger, 0, true},          {u"IDFILIAL", ftInteger, 0, false},
    {u"EMP_NOME", ftString, 120, false},      {u"EMP_CNPJ", ftString, 18, false},
    {u"DATA_PRODUCAO", ftString, 10, false},  {u"VERSAO_ATUAL", ftString, 30, false},
    {u"DATA_CADASTRO", ftDate, 0, false},     {u"PDV_NCAIXA", ftInteger, 0, false},
    {u"TEMPO_SIMNAO", ftInteger, 0, false},   {u"TEMPO_SINCRO", ftInteger, 0, false},
    {u"SERVIDOR_CLOUD", ftString, 120, false}, {u"DATABASE_CLOUD", ftString, 120, false},
    {u"USUARIO_CLOUD", ftString, 120, false}, {u"SENHA_CLOUD", ftString, 60, false},
    {u"PORTA_CLOUD", ftInteger, 0, false},    {u"DATAULTIMA_SIC", ftDateTime, 0, false},
    {u"ENVIA_OU_RECEBE", ftInteger, 0, false},
};

} // namespace

std::u16string LogStamp() { return FormatDateTime(u"dd/mm/yyy hh:mm:ss", Now()); }

TDmdados::TDmdados(TSyncPanel& panel, const TInstallSettings& settings)
    : TComponent(u"Dmdados"), FPanel(panel), FSettings(settings) {
    // DriverMySQL and DriverFB: bring the two providers into the program.
    RegisterMySQLProvider();
    RegisterInterBaseProvider();

    BaseCloud.SetProviderName(u"MySQL");
    BaseCloud.SetPort(3306);
    BaseCloud.ProviderOptions().Add(u"MySQL.Charset=latin1");
    BaseCloud.ProviderOptions().Add(u"MySQL.Compress=True");
    BaseCloud.SetLoginPrompt(false);

    BaseLocal.BeginLoading();
    BaseLocal.SetProviderName(u"InterBase");
    BaseLocal.SetServer(FSettings.LocalServer);
    BaseLocal.SetPort(FSettings.LocalPort);
    BaseLocal.SetDatabase(FSettings.LocalDatabase);
    BaseLocal.SetUsername(FSettings.LocalUser);
    BaseLocal.SetPassword(FSettings.LocalPassword);
    BaseLocal.ProviderOptions().Add(u"InterBase.Charset=utf-8");
    BaseLocal.SetLoginPrompt(false);
    BaseLocal.Connect();  // stored connected: done when loading ends

    sqlProdCloud.SetConnection(&BaseCloud);
    sqlProdCloud.SQL().SetText(u"select * from produtos");
    sqlProdLocal.SetConnection(&BaseLocal);
    sqlProdLocal.SQL().SetText(u"select * from estoque order by est_codigo;");
    for (std::size_t i = 0; i < ProductColumnCount; ++i) {
        const TProductColumn& c = ProductColumns[i];
        if (c.Cloud)
            sqlProdCloud.AddField(c.Cloud, c.CloudType, c.CloudSize, std::u16string_view(c.Cloud) == u"prod_codigo");
        if (c.Local) sqlProdLocal.AddField(c.Local, c.LocalType, c.LocalSize);
    }

    sqlConfigLocal.SetConnection(&BaseLocal);
    sqlConfigLocal.SQL().SetText(u"select * from config_geral");
    for (const auto& c : ConfigColumns) sqlConfigLocal.AddField(c.Name, c.Type, c.Size, c.Required);
    sqlConfigLocal.AfterEdit = [this](TMemoryDataSet&) { sqlConfigLocalAfterEdit(); };
    sqlConfigLocal.BeforePost = [this](TMemoryDataSet&) { sqlConfigLocalBeforePost(); };
    sqlConfigLocal.OnPostError = [this](TMemoryDataSet&) { sqlConfigLocalPostError(); };

    sqlLocal.SetConnection(&BaseLocal);
    sqlCloud.SetConnection(&BaseCloud);

    BaseLocal.EndLoading();  // an unreachable local database ends the creation here
    try {
        DataModuleCreate();
    } catch (const Exception& e) {
        FCreationError = e.Message();
    }
}

TDmdados::~TDmdados() = default;

void TDmdados::DataModuleCreate() { GetDadosEmpresa_ConfgLocal(); }

std::u16string TDmdados::GetCriptarSenha(const std::u16string& Senha) {
    std::string bytes = UnicodeToAnsi(Senha).Bytes();
    if (bytes.size() > 255) bytes.resize(255);
    for (char& b : bytes) b = char(std::uint8_t(b) ^ std::uint8_t(VANTRELO_PASSWORD_KEY));
    return AnsiToUnicode(bytes);
}

// The buffer holds the plain password while the record is edited, the scrambled one otherwise.
void TDmdados::ScrambleSenhaCloud() {
    TField& senha = sqlConfigLocal.FieldByName(u"SENHA_CLOUD");
    senha.SetAsAnsiString(UnicodeToAnsi(GetCriptarSenha(senha.AsString())));
}

void TDmdados::sqlConfigLocalAfterEdit() { ScrambleSenhaCloud(); }

void TDmdados::sqlConfigLocalBeforePost() {
    ScrambleSenhaCloud();
    try {
        int filial = sqlConfigLocal.FieldByName(u"IDFILIAL").AsInteger();
        sqlConfigLocal.FieldByName(u"EMP_NOME").SetAsString(Get_TrazerDados(u"filial", u"nome_fantasia", filial));
        sqlConfigLocal.FieldByName(u"EMP_CNPJ").SetAsString(Get_TrazerDados(u"filial", u"CNPJ", filial));
    } catch (...) {
        sqlConfigLocalPostError();
        throw;
    }
}

// A refused post leaves the record in edit state: its buffer gets the plain password back,
// or the next post would scramble it a second time and store it plain.
void TDmdados::sqlConfigLocalPostError() { ScrambleSenhaCloud(); }

void TConfigQuery::ApplyUpdate(TDataSetState state) {
    try {
        TDbQuery::ApplyUpdate(state);
    } catch (...) {
        if (OnPostError) OnPostError(*this);
        throw;
    }
}

std::u16string TDmdados::Get_TrazerDados(const std::u16string& table, const std::u16string& Campo, int Codigo) {
    TDbQuery query(u"", this);
    query.SetConnection(&BaseLocal);
    query.SQL().SetText(u"select " + Campo + u" from " + table + u" where codigo=" + IntToStr(Codigo));
    query.Open();
    if (query.RecordCount() == 0) return {};
    return query.Fields().front()->AsString();
}

void TDmdados::GetDadosEmpresa_ConfgLocal() {
    if (sqlConfigLocal.Active()) return;
    sqlConfigLocal.SQL().SetText(u"select * from config_geral");
    sqlConfigLocal.Open();
    TField& filial = sqlConfigLocal.FieldByName(u"IDFILIAL");
    if ((filial.IsNull() || filial.AsInteger() < 1) && sqlConfigLocal.FieldByName(u"DATAULTIMA_SIC").IsNull()) {
        sqlConfigLocal.Edit();
        sqlConfigLocal.FieldByName(u"IDFILIAL").SetAsInteger(1);
        sqlConfigLocal.FieldByName(u"PDV_NCAIXA").SetAsInteger(1);
        sqlConfigLocal.FieldByName(u"TEMPO_SIMNAO").SetAsInteger(1);
        sqlConfigLocal.FieldByName(u"DATAULTIMA_SIC").SetAsString(u"01/01/1988 " + FormatDateTime(u"hh:mm:ss", Now()));
        sqlConfigLocal.Post();
    }
}

void TDmdados::GetAtualizarDataUlima_Sicronizacao(TDateTime DataSic) {
    if (!sqlConfigLocal.Active()) sqlConfigLocal.Open();
    sqlConfigLocal.Edit();
    TField& producao = sqlConfigLocal.FieldByName(u"DATA_PRODUCAO");
    if (producao.AsAnsiString().IsEmpty()) producao.SetAsAnsiString(UnicodeToAnsi(FormatDateTime(u"dd/mm/yyyy", Date())));
    sqlConfigLocal.FieldByName(u"DATAULTIMA_SIC").SetAsDateTime(DataSic);
    sqlConfigLocal.Post();
}

TDateTime TDmdados::WindowStart() {
    TDateTime stored = sqlConfigLocal.FieldByName(u"DATAULTIMA_SIC").AsDateTime();
    double overlap = FSettings.OverlapMinutes / 1440.0;
    // Late commits and small clock differences land a little before the stored time.
    return stored.Value > overlap ? TDateTime(stored.Value - overlap) : stored;
}

} // namespace vantrelo
