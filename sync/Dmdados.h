#pragma once
// The data module: both database connections, the queries on them and the operations
// of the synchronisation.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "dataaccess/DbConnection.h"
#include "dataaccess/DbQuery.h"
#include "platform/Exception.h"
#include "sync/InstallSettings.h"
#include "sync/SyncPanel.h"

namespace vantrelo {

// How a transfer ended: complete, and then the upper bound of the change window it read.
struct TTransferResult {
    bool Completed = false;
    TDateTime UpperBound;
};

// The configuration record's query. A write that the database refuses runs OnPostError
// before the error goes on, with the record still in edit state.
class TConfigQuery : public TDbQuery {
public:
    using TDbQuery::TDbQuery;
    std::function<void(TMemoryDataSet&)> OnPostError;

protected:
    void ApplyUpdate(TDataSetState state) override;
};

class TDmdados : public TComponent {
public:
    // Creates the components, connects BaseLocal (its failure leaves the constructor) and
    // runs the creation handler, whose error is kept in CreationError().
    TDmdados(TSyncPanel& panel, const TInstallSettings& settings);
    ~TDmdados() override;

    TDbConnection BaseCloud{u"BaseCloud", this};
    TDbConnection BaseLocal{u"BaseLocal", this};
    TDbQuery sqlProdCloud{u"sqlProdCloud", this};
    TDbQuery sqlProdLocal{u"sqlProdLocal", this};
    TConfigQuery sqlConfigLocal{u"sqlConfigLocal", this};
    TDbQuery sqlLocal{u"sqlLocal", this};
    TDbQuery sqlCloud{u"sqlCloud", this};

    const std::optional<std::u16string>& CreationError() const noexcept { return FCreationError; }
    TSyncPanel& Panel() noexcept { return FPanel; }
    const TInstallSettings& Settings() const noexcept { return FSettings; }

    // The configuration record.
    void DataModuleCreate();
    void GetDadosEmpresa_ConfgLocal();
    void GetAtualizarDataUlima_Sicronizacao(TDateTime DataSic);
    static std::u16string GetCriptarSenha(const std::u16string& Senha);
    std::u16string Get_TrazerDados(const std::u16string& table, const std::u16string& Campo, int Codigo);
    void sqlConfigLocalAfterEdit();
    void sqlConfigLocalBeforePost();
    void sqlConfigLocalPostError();

    // The cloud connection and the log files.
    bool GetServidor_Cloud();
    void GetSalvar_Log_Sicrinizado(const std::u16string& Log);

    // The product transfers; they catch and log their own errors.
    static std::u16string GetsqlUpdate_Prodcloud();
    TTransferResult GetSincProd_De_Local_PBaseClod();
    TTransferResult GetSincProd_De_Cloud_PBaseLocal();

    // Local helpers of the download.
    bool GetVerificarSeExisteProduto(int Codprod);
    bool Get_ConFiltroProdLocal(const std::u16string& base, const std::u16string& Table, int Codigo);
    void Get_CadFiltroProdLocal(const std::u16string& base, const std::u16string& Table, int Codigo,
                                const std::u16string& Nome);
    void Get_Iniciar_Estoque_zerado(int cod);

private:
    void ScrambleSenhaCloud();
    TDbConnection& ConnectionFor(const std::u16string& base);
    TDateTime WindowStart();  // the stored time of last synchronisation, less the overlap
    void SetDownloadParams(bool update);

    TSyncPanel& FPanel;
    TInstallSettings FSettings;
    std::optional<std::u16string> FCreationError;
};

// "dd/mm/yyy hh:mm:ss" of the current local time: the stamp of the transfers' log lines.
std::u16string LogStamp();

// The folder of the log files: "logSic" under the working folder.
std::u16string LogFolder();
// Makes the log folder when it is missing, as the program does at start. A folder that
// cannot be made is not reported: the log writes then fail with their own error.
void ForceLogFolder();

} // namespace vantrelo
