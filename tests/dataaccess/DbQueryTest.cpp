#include "tests/dataaccess/DataAccessTest.h"

#include "platform/FormatSettings.h"

namespace vantrelo::test {
namespace {

class Query : public DataAccessTest {
protected:
    void SetUp() override {
        DataAccessTest::SetUp();
        FConnection.SetProviderName(u"Scripted");
        FQuery.SetConnection(&FConnection);
    }

    // A result of n rows with an integer code, a text and a date-time column.
    void ScriptRows(const std::u16string& sql, int n) {
        TScriptedResult r;
        r.Columns = {Column(u"CODE", ftInteger), Column(u"NAME", ftString, u"T", 30), Column(u"WHEN", ftDateTime)};
        for (int i = 1; i <= n; ++i)
            r.Rows.push_back({TVariant(std::int32_t(i)), TVariant(AnsiString("row")), TVariant(TDateTime(i))});
        Script().Results[sql] = std::move(r);
    }

    TDbConnection FConnection{u"BaseLocal"};
    TDbQuery FQuery{u"sqlCloud"};
};

TEST_F(Query, OccurrencesOfOneNameShareOneValueAndType) {
    FQuery.SQL().Add(u"insert into t (a,b) values (:prod_nome,:B)");
    FQuery.SQL().Add(u" on duplicate key update a=:PROD_NOME, b=:b");
    ASSERT_EQ(FQuery.Params().size(), 4u);
    FQuery.ParamByName(u"Prod_Nome").SetAsString(u"Café");
    FQuery.ParamByName(u"b").SetAsInteger(7);
    FQuery.ExecSQL();
    const TSentStatement& sent = Script().Statements.back();
    EXPECT_EQ(Utf8(sent.Text), "insert into t (a,b) values (?,?)\r\n on duplicate key update a=?, b=?");
    ASSERT_EQ(sent.Params.size(), 4u);
    for (int i : {0, 2}) {
        EXPECT_EQ(sent.Params[i].Value, TVariant(u"Café"));
        EXPECT_EQ(sent.Params[i].DataType, ftWideString);
    }
    for (int i : {1, 3}) EXPECT_EQ(sent.Params[i].Value, TVariant(std::int32_t(7)));
    EXPECT_EQ(Utf8(sent.Params[2].Name), "PROD_NOME");  // the letter case as written
}

TEST_F(Query, ParameterTypesFollowTheValueKinds) {
    FQuery.SQL().SetText(u"select :i, :f, :w, :s, :l, :b, :dt, :d, :raw, :bytes, :n, :never");
    auto P = [&](const char16_t* n) -> TDbParam& { return FQuery.ParamByName(n); };
    P(u"i").SetAsInteger(1);
    P(u"f").SetAsFloat(1.5);
    P(u"w").SetAsString(u"w");
    P(u"s").SetAsAnsiString(AnsiString("s"));
    P(u"l").SetAsLargeInt(1LL << 40);
    P(u"b").SetAsBoolean(true);
    P(u"dt").SetValue(TVariant(TDateTime(2.5)));
    P(u"d").SetAsDate(TDateTime(2.5));
    P(u"raw").SetValue(TVariant(TBytes{1, 2}));
    P(u"bytes").SetAsBytes(TBytes{3});
    P(u"n").SetValue(TVariant());
    const std::pair<const char16_t*, TFieldType> expected[] = {
        {u"i", ftInteger},  {u"f", ftFloat},     {u"w", ftWideString}, {u"s", ftString},
        {u"l", ftLargeint}, {u"b", ftBoolean},   {u"dt", ftDateTime},  {u"d", ftDate},
        {u"raw", ftUnknown}, {u"bytes", ftVarBytes}, {u"n", ftUnknown}, {u"never", ftUnknown}};
    for (auto [name, type] : expected) EXPECT_EQ(P(name).DataType(), type) << Utf8(name);
    EXPECT_TRUE(P(u"n").IsBound());
    EXPECT_TRUE(P(u"n").IsNull());
    EXPECT_FALSE(P(u"never").IsBound());

    // A type once taken stays for untyped setters; the date setters always set theirs.
    P(u"i").SetAsFloat(2.5);
    EXPECT_EQ(P(u"i").DataType(), ftInteger);
    P(u"i").SetAsDateTime(TDateTime(1));
    EXPECT_EQ(P(u"i").DataType(), ftDateTime);
    P(u"i").Clear();
    EXPECT_EQ(P(u"i").DataType(), ftDateTime);
    EXPECT_TRUE(P(u"i").IsNull());
}

TEST_F(Query, ParamByNameIgnoresCaseAndNamesTheQueryInItsError) {
    FQuery.SQL().SetText(u"select * from t where a = :Code");
    EXPECT_EQ(&FQuery.ParamByName(u"CODE"), &FQuery.Params()[0]);
    EXPECT_EQ(MessageOf([&] { FQuery.ParamByName(u"missing"); }), "sqlCloud: Parameter 'missing' not found");
    TDbQuery unnamed;
    EXPECT_EQ(MessageOf([&] { unnamed.ParamByName(u"x"); }), "Parameter 'x' not found");
}

TEST_F(Query, KeepsValuesOfNamesThatSurviveATextChange) {
    FQuery.SQL().SetText(u"select :a, :b");
    FQuery.ParamByName(u"a").SetAsInteger(1);
    FQuery.ParamByName(u"b").SetAsInteger(2);
    FQuery.SQL().SetText(u"select :A, :c");
    EXPECT_EQ(FQuery.ParamByName(u"a").Value(), TVariant(std::int32_t(1)));
    EXPECT_FALSE(FQuery.ParamByName(u"c").IsBound());
    EXPECT_EQ(FQuery.FindParam(u"b"), nullptr);

    // Cleared and written again, the same text starts with fresh values, as any other text
    // after an empty one, and its two occurrences of a name still share one.
    for (int round = 0; round < 2; ++round) {
        FQuery.SQL().Clear();
        FQuery.SQL().Add(u"select :a, :c, :A");
        EXPECT_FALSE(FQuery.ParamByName(u"a").IsBound()) << round;
        FQuery.ParamByName(u"a").SetAsInteger(round);
        EXPECT_EQ(FQuery.Params()[2].Value(), TVariant(std::int32_t(round)));
    }

    // Written line by line, a value set between two lines stays with its name.
    FQuery.SQL().Clear();
    FQuery.SQL().Add(u"select :a,");
    FQuery.ParamByName(u"A").SetAsInteger(7);
    FQuery.SQL().Add(u":b, :a");
    ASSERT_EQ(FQuery.Params().size(), 3u);
    EXPECT_EQ(FQuery.Params()[2].Value(), TVariant(std::int32_t(7)));
    EXPECT_FALSE(FQuery.ParamByName(u"b").IsBound());
}

TEST_F(Query, ChangingTheTextClosesTheQuery) {
    ScriptRows(u"select * from t", 3);
    FQuery.SQL().SetText(u"select * from t");
    FQuery.Open();
    FQuery.SQL().Add(u"");
    EXPECT_FALSE(FQuery.Active());
    EXPECT_EQ(FQuery.RecordCount(), 0);
    EXPECT_EQ(MessageOf([&] { FQuery.FieldByName(u"CODE"); }), "sqlCloud: Field 'CODE' not found");
}

TEST_F(Query, RecordCountIsWhatIsHeld) {
    // All rows at once (the provider's FetchAll on) ...
    ScriptRows(u"select * from t", 100);
    FQuery.SQL().SetText(u"select * from t");
    FQuery.Open();
    EXPECT_EQ(FQuery.RecordCount(), 100);
    FQuery.Close();
    EXPECT_EQ(FQuery.RecordCount(), 0);

    // ... or in blocks of FetchRows, the next block when navigation reaches the end.
    TDbConnection tx;
    tx.SetProviderName(u"ScriptedTx");
    TDbQuery q;
    q.SetConnection(&tx);
    q.SQL().SetText(u"select * from t");
    q.Open();
    EXPECT_EQ(q.RecordCount(), 25);
    for (int i = 0; i < 25; ++i) q.Next();
    EXPECT_EQ(q.RecordCount(), 50);
    EXPECT_EQ(q.FieldByName(u"CODE").AsInteger(), 26);
    q.Last();
    EXPECT_EQ(q.RecordCount(), 100);
    EXPECT_EQ(q.FieldByName(u"CODE").AsInteger(), 100);

    // A query's own FetchAll option overrides the provider default.
    q.Close();
    q.SpecificOptions().Add(u"FetchAll=True");
    q.Open();
    EXPECT_EQ(q.RecordCount(), 100);
}

TEST_F(Query, WalksRowsUntilEof) {
    ScriptRows(u"select * from t", 3);
    FQuery.SQL().SetText(u"select * from t");
    FQuery.Open();
    std::vector<int> seen;
    while (!FQuery.Eof()) {
        seen.push_back(FQuery.FieldByName(u"code").AsInteger());
        FQuery.Next();
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
    FQuery.Last();
    EXPECT_TRUE(FQuery.Eof());
    EXPECT_EQ(FQuery.FieldByName(u"code").AsInteger(), 3);
    FQuery.First();
    EXPECT_FALSE(FQuery.Eof());
    EXPECT_EQ(FQuery.FieldByName(u"code").AsInteger(), 1);

    ScriptRows(u"select * from empty", 0);
    FQuery.SQL().SetText(u"select * from empty");
    FQuery.Open();
    EXPECT_TRUE(FQuery.Eof());
    EXPECT_EQ(FQuery.RecordCount(), 0);
    EXPECT_TRUE(FQuery.FieldByName(u"CODE").IsNull());
}

TEST_F(Query, NullValuesReadAsZeroEmptyAndDayZero) {
    TScriptedResult r;
    r.Columns = {Column(u"I", ftInteger), Column(u"L", ftLargeint), Column(u"F", ftFloat),
                 Column(u"D", ftDateTime), Column(u"S", ftString),  Column(u"B", ftBlob)};
    r.Rows = {std::vector<TVariant>(6)};
    Script().Results[u"select nulls"] = r;
    FQuery.SQL().SetText(u"select nulls");
    FQuery.Open();
    auto F = [&](const char16_t* n) -> TField& { return FQuery.FieldByName(n); };
    for (const char16_t* n : {u"I", u"L", u"F", u"D", u"S", u"B"}) {
        EXPECT_TRUE(F(n).IsNull());
        EXPECT_TRUE(F(n).AsVariant().IsNull());
        EXPECT_EQ(F(n).AsInteger(), 0);
        EXPECT_EQ(F(n).AsLargeInt(), 0);
        EXPECT_EQ(F(n).AsFloat(), 0.0);
        EXPECT_EQ(F(n).AsDateTime(), TDateTime(0));
        EXPECT_EQ(F(n).AsString(), u"");
        EXPECT_TRUE(F(n).AsAnsiString().IsEmpty());
        EXPECT_TRUE(F(n).AsBytes().empty());
    }
}

TEST_F(Query, FieldsGiveTheirValuesInEveryKind) {
    TScriptedResult r;
    r.Columns = {Column(u"I", ftInteger), Column(u"F", ftFloat), Column(u"D", ftDate), Column(u"DT", ftDateTime),
                 Column(u"S", ftString), Column(u"B", ftBlob),   Column(u"BIG", ftLargeint)};
    r.Rows = {{TVariant(std::int32_t(-42)), TVariant(1234.5), TVariant(EncodeDate(2024, 3, 9)),
               TVariant(EncodeDateTime(2024, 3, 9, 14, 5, 0, 0)), TVariant(AnsiString("Caf\xE9")),
               TVariant(TBytes{0, 0x27, 0x5C}), TVariant(std::int64_t(1) << 40)}};
    Script().Results[u"select all"] = r;
    FQuery.SQL().SetText(u"select all");
    FQuery.Open();
    auto F = [&](const char16_t* n) -> TField& { return FQuery.FieldByName(n); };
    EXPECT_EQ(Utf8(F(u"I").AsString()), "-42");
    EXPECT_EQ(F(u"I").AsFloat(), -42.0);
    EXPECT_EQ(Utf8(F(u"F").AsString()), "1234,5");
    EXPECT_EQ(F(u"F").AsInteger(), 1234);  // rounded half to even
    EXPECT_EQ(Utf8(F(u"D").AsString()), "09/03/2024");
    EXPECT_EQ(Utf8(F(u"DT").AsString()), "09/03/2024 14:05:00");
    EXPECT_EQ(F(u"S").AsAnsiString(), AnsiString("Caf\xE9"));
    EXPECT_EQ(Utf8(F(u"S").AsString()), "Café");
    EXPECT_EQ(F(u"B").AsBytes(), (TBytes{0, 0x27, 0x5C}));
    EXPECT_EQ(F(u"BIG").AsLargeInt(), std::int64_t(1) << 40);
    EXPECT_EQ(Utf8(F(u"BIG").AsString()), "1099511627776");
}

TEST_F(Query, DeclaredFieldsBindByNameAndRefuseOtherTypes) {
    ScriptRows(u"select * from t", 1);
    FQuery.AddField(u"code", ftInteger);
    FQuery.AddField(u"WHEN", ftDateTime);
    FQuery.SQL().SetText(u"select * from t");
    FQuery.Open();
    EXPECT_EQ(FQuery.Fields().size(), 2u);  // only the declared ones
    EXPECT_EQ(FQuery.FieldByName(u"CODE").AsInteger(), 1);

    TDbQuery wrong(u"sqlProdLocal");
    wrong.SetConnection(&FConnection);
    wrong.AddField(u"NAME", ftInteger);
    wrong.SQL().SetText(u"select * from t");
    EXPECT_EQ(MessageOf([&] { wrong.Open(); }),
              "sqlProdLocal: Type mismatch for field 'NAME', expecting: Integer actual: String");
    EXPECT_FALSE(wrong.Active());

    TDbQuery missing(u"sqlProdLocal");
    missing.SetConnection(&FConnection);
    missing.AddField(u"ABSENT", ftInteger);
    missing.SQL().SetText(u"select * from t");
    EXPECT_EQ(MessageOf([&] { missing.Open(); }), "sqlProdLocal: Field 'ABSENT' not found");
}

TEST_F(Query, FieldsAreSetOnlyInEditState) {
    ScriptRows(u"select * from t", 1);
    FQuery.SQL().SetText(u"select * from t");
    FQuery.Open();
    FQuery.Close();
    // A closed dataset can be neither read nor written.
    for (auto use : {+[](TField& f) { f.AsInteger(); }, +[](TField& f) { f.IsNull(); },
                     +[](TField& f) { f.SetAsInteger(1); }})
        EXPECT_EQ(MessageOf([&] { use(FQuery.FieldByName(u"CODE")); }),
                  "sqlCloud: Cannot perform this operation on a closed dataset");
    FQuery.Open();
    EXPECT_EQ(MessageOf([&] { FQuery.FieldByName(u"CODE").SetAsInteger(5); }),
              "sqlCloud: Dataset not in edit or insert mode");
    EXPECT_EQ(FQuery.FieldByName(u"CODE").AsInteger(), 1);
}

TEST_F(Query, TextSettersUseTheRegionalFormats) {
    ScriptRows(u"select * from t", 1);
    FQuery.SQL().SetText(u"select * from t");
    FQuery.Open();
    FQuery.Edit();
    FQuery.FieldByName(u"WHEN").SetAsString(u"01/01/1988 10:11:12");
    FQuery.FieldByName(u"CODE").SetAsString(u"");
    EXPECT_EQ(FQuery.FieldByName(u"WHEN").AsDateTime(), EncodeDateTime(1988, 1, 1, 10, 11, 12, 0));
    EXPECT_TRUE(FQuery.FieldByName(u"CODE").IsNull());
    EXPECT_THROW(FQuery.FieldByName(u"WHEN").SetAsString(u"31/02/1988"), EConvertError);
    FQuery.Cancel();
    EXPECT_EQ(FQuery.FieldByName(u"CODE").AsInteger(), 1);
}

TEST_F(Query, AFailedStatementLeavesTheQueryClosedWithItsValues) {
    FQuery.SQL().SetText(u"select * from t where a=:a");
    FQuery.ParamByName(u"a").SetAsInteger(3);
    Script().StatementFailures.emplace(u"select * from t where a=?", EDataAccessError(1146, u"no such table"));
    EXPECT_EQ(MessageOf([&] { FQuery.Open(); }), "no such table");
    EXPECT_FALSE(FQuery.Active());
    EXPECT_EQ(FQuery.ParamByName(u"a").Value(), TVariant(std::int32_t(3)));
    EXPECT_TRUE(FConnection.Connected());  // not a lost connection
}

TEST_F(Query, ALostConnectionIsClosedSoItCanBeReopened) {
    FQuery.SQL().SetText(u"update t set a=1");
    FConnection.Connect();
    Script().LoseConnectionOnFailure = true;
    Script().StatementFailures.emplace(u"update t set a=1",
                                       EDataAccessError(2013, u"Lost connection to MySQL server during query"));
    try {
        FQuery.ExecSQL();
        FAIL();
    } catch (const EDataAccessError& e) {
        EXPECT_EQ(e.ErrorCode(), 2013);
    }
    EXPECT_FALSE(FConnection.Connected());
    EXPECT_EQ(FConnection.ConnectionCount(), 0);
    Script().StatementFailures.clear();
    FQuery.ExecSQL();  // reconnects by itself
    EXPECT_TRUE(FConnection.Connected());
}

TEST_F(Query, ExecSQLCommitsByTheAutomaticCommitRule) {
    TDbConnection tx;
    tx.SetProviderName(u"ScriptedTx");
    ScriptRows(u"select * from t", 1);
    TDbQuery reader, writer;
    reader.SetConnection(&tx);
    writer.SetConnection(&tx);
    writer.SQL().SetText(u"update t set a=1");
    writer.ExecSQL();  // the only user of the transaction: a hard commit
    EXPECT_EQ(Script().TransactionLog, (std::vector<std::u16string>{u"start", u"commit"}));
    reader.SQL().SetText(u"select * from t");
    reader.Open();
    writer.ExecSQL();  // the reader still holds the transaction: commit-retaining
    EXPECT_EQ(Script().TransactionLog,
              (std::vector<std::u16string>{u"start", u"commit", u"start", u"commit retaining"}));
    EXPECT_TRUE(reader.Active());
    writer.AutoCommit = false;
    writer.ExecSQL();
    EXPECT_EQ(Script().TransactionLog.size(), 4u);
    tx.Disconnect();  // what is still open is committed, not thrown away
    EXPECT_EQ(Script().TransactionLog.back(), u"commit");
}

} // namespace
} // namespace vantrelo::test
