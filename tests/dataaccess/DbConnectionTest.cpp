#include "tests/dataaccess/DataAccessTest.h"

namespace vantrelo::test {
namespace {

using Connection = DataAccessTest;

TEST_F(Connection, FindsProvidersIgnoringCaseAndBlanksAndReportsUnknownOnes) {
    for (const char16_t* name : {u"Scripted", u"scripted", u"  SCRIPTED "}) {
        TDbConnection c;
        c.SetProviderName(name);
        c.Connect();
        EXPECT_TRUE(c.Connected()) << Utf8(name);
        EXPECT_EQ(Utf8(c.ProviderName()), Utf8(Trim(name)));
    }
    TDbConnection none;
    EXPECT_EQ(MessageOf([&] { none.Connect(); }), "Provider is not defined");
    TDbConnection unknown;
    unknown.SetProviderName(u" Paradox ");
    EXPECT_EQ(MessageOf([&] { unknown.Connect(); }), "Paradox is not a valid provider name");
    EXPECT_FALSE(unknown.Connected());
}

TEST_F(Connection, HandsItsSettingsToTheProviderAndReadsTheCurrentDatabase) {
    TDbConnection c;
    c.SetProviderName(u"Scripted");
    c.SetServer(u"db.example");
    c.SetPort(3307);
    c.SetUsername(u"user");
    c.SetPassword(u"secret");
    c.Connect();
    EXPECT_EQ(Utf8(Script().ConnectedServer), "db.example");
    EXPECT_EQ(Script().ConnectedPort, 3307);
    EXPECT_EQ(Utf8(Script().ConnectedUser), "user");
    EXPECT_EQ(Utf8(Script().ConnectedPassword), "secret");
    EXPECT_EQ(Utf8(c.Database()), "current_db");  // empty Database is read back
    EXPECT_EQ(c.ConnectionCount(), 1);
    c.Disconnect();
    EXPECT_EQ(c.ConnectionCount(), 0);
}

TEST_F(Connection, ChangingASettingDisconnectsOnlyWhenTheValueDiffers) {
    TDbConnection c;
    c.SetProviderName(u"Scripted");
    c.SetServer(u"a");
    c.Connect();
    c.SetServer(u"a");
    c.SetPort(0);
    c.SetDatabase(u"  current_db ");  // trimmed: equal
    EXPECT_TRUE(c.Connected());
    c.SetServer(u"b");
    EXPECT_FALSE(c.Connected());
    c.Connect();
    c.SetUsername(u"other");
    EXPECT_FALSE(c.Connected());
    c.Connect();
    c.SetPort(1);
    EXPECT_FALSE(c.Connected());
    c.Connect();
    EXPECT_EQ(MessageOf([&] { c.SetProviderName(u"ScriptedTx"); }),
              "This operation is not allowed on active connection");
    EXPECT_EQ(Utf8(c.ProviderName()), "Scripted");
    c.SetProviderName(u"SCRIPTED");  // the same provider: allowed, nothing changes
    EXPECT_TRUE(c.Connected());
}

TEST_F(Connection, RaisesAProviderFailureAsEDbErrorAndCanConnectLater) {
    TDbConnection c(u"BaseCloud");
    c.SetProviderName(u"Scripted");
    Script().ConnectFailure.emplace(1045, u"#28000Access denied for user 'x'");
    try {
        c.Connect();
        FAIL() << "connected";
    } catch (const EDbError& e) {
        EXPECT_EQ(Utf8(e.Message()), "#28000Access denied for user 'x'");
        EXPECT_EQ(e.ErrorCode(), 1045);
        EXPECT_EQ(e.InnerError().ErrorCode(), 1045);
    }
    EXPECT_FALSE(c.Connected());
    EXPECT_EQ(c.ConnectionCount(), 0);
    Script().ConnectFailure.reset();
    c.Connect();
    EXPECT_TRUE(c.Connected());
}

TEST_F(Connection, ValidatesOptionLinesAndStoresThemInFullForm) {
    TDbConnection c;
    c.SetProviderName(u"Scripted");
    auto& o = c.ProviderOptions();
    o.Add(u"compress=true");
    o.Add(u"Scripted.charset=latin1");
    o.Add(u"ConnectTimeout= 30 ");   // the older alias
    o.Add(u"Mode=mdSecond");
    EXPECT_EQ(o.Count(), 4u);
    EXPECT_EQ(Utf8(o.Lines()[0]), "Scripted.Compress=true");
    EXPECT_EQ(Utf8(o.Lines()[1]), "Scripted.Charset=latin1");
    EXPECT_EQ(Utf8(o.Lines()[2]), "Scripted.ConnectionTimeout= 30 ");
    o.Add(u"Compress=False");  // replaces the earlier line
    EXPECT_EQ(o.Count(), 4u);
    EXPECT_EQ(Utf8(*o.Value(u"Compress")), "False");
    EXPECT_EQ(Utf8(*o.Value(u"Scripted.Charset")), "latin1");
    EXPECT_EQ(Utf8(*o.Value(u"ConnectTimeout")), " 30 ");

    struct {
        const char16_t* Line;
        const char* Message;
    } bad[] = {
        {u"Colour=red", "\"Colour\" is not a valid option name for Scripted provider"},
        {u"Compress=yes", "Invalid value: yes for option Compress"},
        {u"ConnectionTimeout=15s", "Invalid value: 15s for option ConnectionTimeout"},
        {u"Mode=mdThird", "Invalid value: mdThird for option Mode"},
        {u"Nowhere.Compress=True", "Nowhere is not a valid provider name"},
    };
    for (const auto& b : bad) EXPECT_EQ(MessageOf([&] { o.Add(b.Line); }), b.Message) << Utf8(b.Line);
    EXPECT_EQ(o.Count(), 4u);  // nothing bad was stored
}

TEST_F(Connection, AppliesTheWholeOptionListOnEveryConnect) {
    TDbConnection c;
    c.SetProviderName(u"Scripted");
    c.ProviderOptions().Add(u"Scripted.Compress=True");
    c.ProviderOptions().Add(u"Scripted.Charset=latin1");
    c.Connect();
    EXPECT_EQ(Script().ConnectionProps[propCompress], TVariant(true));
    EXPECT_EQ(Script().ConnectionProps[propCharset], TVariant(u"latin1"));
    EXPECT_EQ(Script().ConnectionProps[propTimeout], TVariant(std::int32_t(15)));  // default
    EXPECT_EQ(Script().ConnectionProps.count(propFetchAll), 0u);  // a dataset option
    c.Disconnect();
    ASSERT_TRUE(c.ProviderOptions().Remove(u"Compress"));
    c.Connect();
    EXPECT_EQ(Script().ConnectionProps[propCompress], TVariant(false));  // back to the default
}

TEST_F(Connection, AsksTheLoginHandlerOnlyWithLoginPrompt) {
    TDbConnection c;
    c.SetProviderName(u"Scripted");
    c.SetUsername(u"typed");
    int asked = 0;
    c.OnLogin = [&](std::u16string& user, std::u16string& password) {
        ++asked;
        user = u"chosen";
        password = u"pw";
    };
    c.SetLoginPrompt(false);
    c.Connect();
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(Utf8(Script().ConnectedUser), "typed");
    c.Disconnect();
    c.SetLoginPrompt(true);
    c.Connect();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Utf8(Script().ConnectedUser), "chosen");
}

TEST_F(Connection, ConnectsAfterLoadingWhenItWasStoredConnected) {
    TDbConnection c;
    c.SetProviderName(u"Scripted");
    c.BeginLoading();
    c.Connect();
    EXPECT_FALSE(c.Connected());
    c.EndLoading();
    EXPECT_TRUE(c.Connected());
}

TEST_F(Connection, OpeningAQueryConnectsAndDisconnectingClosesEveryQuery) {
    TDbConnection c;
    c.SetProviderName(u"Scripted");
    Script().Results[u"select a from t"] = {{Column(u"a", ftInteger)}, {{TVariant(std::int32_t(1))}}};
    TDbQuery q1, q2;
    for (TDbQuery* q : {&q1, &q2}) {
        q->SetConnection(&c);
        q->SQL().SetText(u"select a from t");
        q->Open();
        EXPECT_TRUE(q->Active());
    }
    EXPECT_TRUE(c.Connected());
    c.Disconnect();
    EXPECT_FALSE(q1.Active());
    EXPECT_FALSE(q2.Active());
    q1.Open();  // a closed query reconnects by itself
    EXPECT_TRUE(c.Connected());
    EXPECT_EQ(q1.FieldByName(u"A").AsInteger(), 1);
}

TEST_F(Connection, ChangingTheProviderAfterALostLinkClosesTheQueriesFirst) {
    TDbConnection c;
    c.SetProviderName(u"Scripted");
    Script().Results[u"select a from t"] = {{Column(u"a", ftInteger)}, {{TVariant(std::int32_t(1))}}};
    TDbQuery q;
    q.SetConnection(&c);
    q.SQL().SetText(u"select a from t");
    q.Open();
    Script().LinkDown = true;
    ASSERT_FALSE(c.Connected());
    c.SetProviderName(u"ScriptedTx");  // the old provider's objects go away
    EXPECT_FALSE(q.Active());
    Script().LinkDown = false;
    q.Open();
    EXPECT_EQ(q.FieldByName(u"A").AsInteger(), 1);
}

TEST_F(Connection, AQueryWithoutConnectionNamesItself) {
    TDbQuery q(u"sqlCloud");
    q.SQL().SetText(u"select 1");
    EXPECT_EQ(MessageOf([&] { q.Open(); }), "sqlCloud: Connection is not defined");
    EXPECT_FALSE(q.Active());
}

TEST_F(Connection, DestroyingTheConnectionFirstLeavesItsQueriesUsable) {
    auto c = std::make_unique<TDbConnection>();
    c->SetProviderName(u"Scripted");
    Script().Results[u"select a from t"] = {{Column(u"a", ftInteger)}, {}};
    TDbQuery q;
    q.SetConnection(c.get());
    q.SQL().SetText(u"select a from t");
    q.Open();
    c.reset();
    EXPECT_FALSE(q.Active());
    EXPECT_EQ(q.Connection(), nullptr);
    EXPECT_EQ(MessageOf([&] { q.Open(); }), "Connection is not defined");
}

} // namespace
} // namespace vantrelo::test
