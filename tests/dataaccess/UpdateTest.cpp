#include "tests/dataaccess/DataAccessTest.h"

#include "dataaccess/SQLGenerator.h"

namespace vantrelo::test {
namespace {

// The configuration row as the local database describes it.
class Update : public DataAccessTest {
protected:
    void SetUp() override {
        DataAccessTest::SetUp();
        FConnection.SetProviderName(u"ScriptedTx");
        TScriptedResult r;
        r.Columns = {Column(u"CODIGO", ftInteger, u"CONFIG_GERAL", 0, true),
                     Column(u"IDFILIAL", ftInteger, u"CONFIG_GERAL"),
                     Column(u"SENHA_CLOUD", ftString, u"CONFIG_GERAL", 60),
                     Column(u"DATAULTIMA_SIC", ftDateTime, u"CONFIG_GERAL"),
                     Column(u"FOTO", ftBlob, u"CONFIG_GERAL"),
                     Column(u"TOTAL", ftFloat, u"")};  // an expression: read-only
        r.Columns.back().ReadOnly = true;
        r.Rows = {{TVariant(std::int32_t(1)), TVariant(std::int32_t(5)), TVariant(AnsiString("x")),
                   TVariant(TDateTime(100)), TVariant(TBytes{1}), TVariant(2.0)}};
        Script().Results[u"select * from config_geral"] = r;
        Script().KeyLists[u"CONFIG_GERAL"] = u"CODIGO";
        FQuery.SetConnection(&FConnection);
        FQuery.SQL().SetText(u"select * from config_geral");
        FQuery.Open();
        Script().Statements.clear();
        Script().TransactionLog.clear();
    }

    TField& F(const char16_t* name) { return FQuery.FieldByName(name); }
    const TSentStatement& Sent() { return Script().Statements.back(); }

    TDbConnection FConnection{u"BaseLocal"};
    TDbQuery FQuery{u"sqlConfigLocal"};
};

TEST_F(Update, PostWritesOnlyModifiedFieldsAndFindsTheRowByItsKey) {
    FQuery.Edit();
    F(u"DATAULTIMA_SIC").SetAsDateTime(TDateTime(200));
    F(u"IDFILIAL").SetAsInteger(5);  // the value it has: not a change
    FQuery.Post();
    ASSERT_EQ(Script().Statements.size(), 1u);
    EXPECT_EQ(Utf8(Sent().Text), "UPDATE CONFIG_GERAL\r\nSET\r\n  DATAULTIMA_SIC = ?\r\nWHERE\r\n  CODIGO = ?");
    ASSERT_EQ(Sent().Params.size(), 2u);
    EXPECT_EQ(Utf8(Sent().Params[0].Name), "DATAULTIMA_SIC");
    EXPECT_EQ(Sent().Params[0].DataType, ftDateTime);
    EXPECT_EQ(Sent().Params[0].Value, TVariant(TDateTime(200)));
    EXPECT_EQ(Utf8(Sent().Params[1].Name), "Old_CODIGO");
    EXPECT_EQ(Sent().Params[1].Value, TVariant(std::int32_t(1)));
    EXPECT_EQ(FQuery.State(), dsBrowse);
    EXPECT_EQ(F(u"DATAULTIMA_SIC").AsDateTime(), TDateTime(200));
    // The edited query holds the transaction: the post commits retaining.
    EXPECT_EQ(Script().TransactionLog, (std::vector<std::u16string>{u"commit retaining"}));
}

TEST_F(Update, APostWithoutChangesSendsNothing) {
    FQuery.Edit();
    F(u"SENHA_CLOUD").SetAsAnsiString(AnsiString("x"));
    FQuery.Post();
    FQuery.Edit();
    FQuery.Post();
    EXPECT_TRUE(Script().Statements.empty());
    EXPECT_TRUE(Script().TransactionLog.empty());
}

TEST_F(Update, EditRunsItsHandlersOnceAndPostRunsBeforePost) {
    int afterEdit = 0, beforePost = 0;
    FQuery.AfterEdit = [&](TMemoryDataSet&) { ++afterEdit; };
    FQuery.BeforePost = [&](TMemoryDataSet& d) {
        ++beforePost;
        d.FieldByName(u"SENHA_CLOUD").SetAsAnsiString(AnsiString("scrambled"));
    };
    FQuery.Edit();
    FQuery.Edit();  // already editing: nothing happens
    EXPECT_EQ(afterEdit, 1);
    FQuery.Post();
    EXPECT_EQ(beforePost, 1);
    EXPECT_EQ(Utf8(Sent().Text), "UPDATE CONFIG_GERAL\r\nSET\r\n  SENHA_CLOUD = ?\r\nWHERE\r\n  CODIGO = ?");
}

TEST_F(Update, AWrittenBlobIsAChangeEvenWithTheSameBytes) {
    FQuery.Edit();
    F(u"FOTO").SetAsBytes(TBytes{1});
    F(u"SENHA_CLOUD").Clear();
    FQuery.Post();
    EXPECT_EQ(Utf8(Sent().Text),
              "UPDATE CONFIG_GERAL\r\nSET\r\n  SENHA_CLOUD = ?, FOTO = ?\r\nWHERE\r\n  CODIGO = ?");
    EXPECT_TRUE(Sent().Params[0].Value.IsNull());
    EXPECT_EQ(Sent().Params[0].DataType, ftString);  // a null keeps its field's type
}

TEST_F(Update, ANullKeyIsMatchedWithIsNull) {
    Script().KeyLists[u"CONFIG_GERAL"] = u"IDFILIAL;CODIGO";
    FQuery.Close();
    Script().Results[u"select * from config_geral"].Rows[0][1] = TVariant();
    FQuery.Open();
    FQuery.Edit();
    F(u"SENHA_CLOUD").SetAsAnsiString(AnsiString("y"));
    FQuery.Post();
    EXPECT_EQ(Utf8(Sent().Text),
              "UPDATE CONFIG_GERAL\r\nSET\r\n  SENHA_CLOUD = ?\r\nWHERE\r\n  IDFILIAL IS NULL AND CODIGO = ?");
    EXPECT_EQ(Sent().Params.size(), 2u);
}

TEST_F(Update, WithoutKeysEveryNonBlobDataFieldIdentifiesTheRow) {
    Script().KeyLists.clear();
    FQuery.Close();
    FQuery.Open();
    FQuery.Edit();
    F(u"IDFILIAL").SetAsInteger(6);
    FQuery.Post();
    EXPECT_EQ(Utf8(Sent().Text),
              "UPDATE CONFIG_GERAL\r\nSET\r\n  IDFILIAL = ?\r\nWHERE\r\n  CODIGO = ? AND IDFILIAL = ? AND "
              "SENHA_CLOUD = ? AND DATAULTIMA_SIC = ?");
    EXPECT_EQ(Utf8(Sent().Params[2].Name), "Old_IDFILIAL");
    EXPECT_EQ(Sent().Params[2].Value, TVariant(std::int32_t(5)));
}

TEST_F(Update, KeyFieldsPropertyComesFirst) {
    FQuery.KeyFields = u"IDFILIAL, DATAULTIMA_SIC";
    FQuery.Edit();
    F(u"SENHA_CLOUD").SetAsAnsiString(AnsiString("z"));
    FQuery.Post();
    EXPECT_EQ(Utf8(Sent().Text),
              "UPDATE CONFIG_GERAL\r\nSET\r\n  SENHA_CLOUD = ?\r\nWHERE\r\n  IDFILIAL = ? AND DATAULTIMA_SIC = ?");
    FQuery.Close();
    FQuery.KeyFields = u"NOPE";
    FQuery.Open();
    FQuery.Edit();
    F(u"SENHA_CLOUD").SetAsAnsiString(AnsiString("w"));
    EXPECT_EQ(MessageOf([&] { FQuery.Post(); }), "sqlConfigLocal: Field NOPE not found");
    EXPECT_EQ(FQuery.State(), dsEdit);
}

TEST_F(Update, ARowWithNothingToFindItByIsNotWritten) {
    FQuery.Close();
    Script().Results[u"select FOTO from imagens"] = {{Column(u"FOTO", ftBlob, u"IMAGENS")}, {{TVariant(TBytes{1})}}};
    FQuery.SQL().SetText(u"select FOTO from imagens");
    FQuery.Open();
    Script().Statements.clear();
    FQuery.Edit();
    F(u"FOTO").SetAsBytes(TBytes{2});
    EXPECT_EQ(MessageOf([&] { FQuery.Post(); }), "sqlConfigLocal: Key fields not found");
    EXPECT_EQ(FQuery.State(), dsEdit);
    EXPECT_TRUE(Script().Statements.empty());
}

TEST_F(Update, AnUpdateThatFindsNoRowFailsAfterItsCommit) {
    Script().AffectedRows = {0};
    FQuery.Edit();
    F(u"IDFILIAL").SetAsInteger(9);
    EXPECT_EQ(MessageOf([&] { FQuery.Post(); }), "sqlConfigLocal: Update failed. Found 0 records");
    EXPECT_EQ(FQuery.State(), dsEdit);  // the edited values stay
    EXPECT_EQ(F(u"IDFILIAL").AsInteger(), 9);
    EXPECT_EQ(Script().TransactionLog, (std::vector<std::u16string>{u"commit retaining"}));

    FQuery.Options().StrictUpdate = false;
    Script().AffectedRows = {0};
    FQuery.Post();
    EXPECT_EQ(FQuery.State(), dsBrowse);
}

TEST_F(Update, AServerErrorLeavesTheRowInEditStateUncommitted) {
    FQuery.Edit();
    F(u"IDFILIAL").SetAsInteger(9);
    Script().StatementFailures.emplace(u"UPDATE CONFIG_GERAL\r\nSET\r\n  IDFILIAL = ?\r\nWHERE\r\n  CODIGO = ?",
                                       EDataAccessError(-803, u"violation of PRIMARY or UNIQUE KEY constraint"));
    EXPECT_EQ(MessageOf([&] { FQuery.Post(); }), "violation of PRIMARY or UNIQUE KEY constraint");
    EXPECT_EQ(FQuery.State(), dsEdit);
    EXPECT_TRUE(Script().TransactionLog.empty());
}

TEST_F(Update, EveryPostIsTextedAnewOnOneInternalStatement) {
    int made = Script().RecordSetsCreated;
    FQuery.Edit();
    F(u"IDFILIAL").SetAsInteger(7);
    FQuery.Post();
    FQuery.Edit();
    F(u"SENHA_CLOUD").SetAsAnsiString(AnsiString("q"));
    FQuery.Post();
    ASSERT_EQ(Script().Statements.size(), 2u);
    EXPECT_NE(Script().Statements[0].Text, Script().Statements[1].Text);
    EXPECT_EQ(Script().RecordSetsCreated, made + 1);
}

TEST_F(Update, EditingAnEmptyResultInsertsAndRequiredFieldsMustHaveValues) {
    FQuery.Close();
    Script().Results[u"select * from config_geral"].Rows.clear();
    FQuery.Open();
    FQuery.Edit();
    EXPECT_EQ(FQuery.State(), dsInsert);
    F(u"IDFILIAL").SetAsInteger(1);
    EXPECT_EQ(MessageOf([&] { FQuery.Post(); }), "sqlConfigLocal: Field 'CODIGO' must have a value");
    F(u"CODIGO").SetAsInteger(1);
    FQuery.Post();
    EXPECT_EQ(Utf8(Sent().Text), "INSERT INTO CONFIG_GERAL\r\n  (CODIGO, IDFILIAL)\r\nVALUES\r\n  (?, ?)");
    EXPECT_EQ(FQuery.RecordCount(), 1);
}

TEST(SQLGenerator, WritesDeleteAndQuotesNamesThatNeedIt) {
    TSQLGenerator g([](const std::u16string& n) {
        bool upper = true;
        for (char16_t c : n) upper = upper && !(c >= u'a' && c <= u'z');
        return upper ? n : u"\"" + n + u"\"";
    });
    TGeneratorField key{u"id", u"id", false, false, false, false, 0};
    TGeneratorField blob{u"PHOTO", u"PHOTO", true, true, false, false, 1};
    auto del = g.GenerateDelete(u"produtos", {blob}, {key});
    EXPECT_EQ(UnicodeToUtf8(del.Sql.Text), "DELETE FROM \"produtos\"\r\nWHERE\r\n  \"id\" = ?");
    EXPECT_EQ(UnicodeToUtf8(del.Params[0].Name), "Old_id");
    EXPECT_EQ(del.Sql.Params[0].Position, del.Sql.Text.size() - 1);
    EXPECT_EQ(UnicodeToUtf8(g.GenerateInsert(u"T", {}, false).Sql.Text), "INSERT INTO T () VALUES ()");
    // A table of blobs alone has nothing to find its rows by.
    try {
        g.GenerateUpdate(u"T", {blob}, {}, false);
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(UnicodeToUtf8(e.Message()), "Key fields not found");
    }
}

} // namespace
} // namespace vantrelo::test
