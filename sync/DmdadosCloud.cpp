// The cloud connection, rebuilt from the configuration record, and the one-line log files.
#include "platform/CodePage.h"
#include "platform/Files.h"
#include "platform/FormatSettings.h"
#include "sync/Dmdados.h"

namespace vantrelo {

bool TDmdados::GetServidor_Cloud() {
    try {
        BaseCloud.Close();
        auto text = [this](const char16_t* column) {
            return AnsiToUnicode(sqlConfigLocal.FieldByName(column).AsAnsiString());
        };
        BaseCloud.SetServer(text(u"SERVIDOR_CLOUD"));
        BaseCloud.SetDatabase(text(u"DATABASE_CLOUD"));
        BaseCloud.SetUsername(text(u"USUARIO_CLOUD"));
        BaseCloud.SetPassword(GetCriptarSenha(text(u"SENHA_CLOUD")));
        BaseCloud.SetPort(sqlConfigLocal.FieldByName(u"PORTA_CLOUD").AsInteger());
        BaseCloud.Connect();
        return BaseCloud.Connected();
    } catch (const Exception& e) {
        GetSalvar_Log_Sicrinizado(u"DataErro: " + e.Message());
        FPanel.AppendLog(u"DataBaseErro: " + e.Message());
        BaseCloud.Disconnect();
        return false;
    }
}

void TDmdados::GetSalvar_Log_Sicrinizado(const std::u16string& Log) {
    std::u16string path = GetCurrentDir() + PathDelim + u"logSic" + PathDelim + u"Log_" +
                          FormatDateTime(u"dd_mm_yyyy_hh_mm", Now()) + u".txt";
    WriteFileBytes(path, UnicodeToAnsi(Log + u"\r\n").View());
}

} // namespace vantrelo
