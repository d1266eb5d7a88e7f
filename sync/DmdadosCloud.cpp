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
        // While the record is edited its buffer holds the plain password (the after-edit
        // handler unscrambled it); otherwise the stored, scrambled one.
        TDataSetState state = sqlConfigLocal.State();
        std::u16string senha = text(u"SENHA_CLOUD");
        BaseCloud.SetPassword(state == dsEdit || state == dsInsert ? senha : GetCriptarSenha(senha));
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

std::u16string LogFolder() { return GetCurrentDir() + PathDelim + u"logSic"; }

void ForceLogFolder() {
    std::u16string folder = LogFolder();
    if (!DirectoryExists(folder)) ForceDirectories(folder);
}

void TDmdados::GetSalvar_Log_Sicrinizado(const std::u16string& Log) {
    std::u16string path = LogFolder() + PathDelim + u"Log_" + FormatDateTime(u"dd_mm_yyyy_hh_mm", Now()) + u".txt";
    WriteFileBytes(path, UnicodeToAnsi(Log + u"\r\n").View());
}

} // namespace vantrelo
