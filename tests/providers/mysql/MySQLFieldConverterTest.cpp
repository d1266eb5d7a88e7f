// Column types as field types, and row texts as field values in a record.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "dataaccess/DatabaseError.h"
#include "platform/DateTime.h"
#include "platform/Exception.h"
#include "providers/mysql/MySQLCommand.h"
#include "providers/mysql/MySQLFieldConverter.h"

using namespace std::string_literals;

namespace vantrelo::test {
namespace {

TMySqlFieldInfo Column(int type, std::uint32_t length, std::uint32_t flags = 0, int decimals = 0, int charset = 8,
                       const char* table = "produtos") {
    TMySqlFieldInfo f;
    f.Name = f.OrgName = AnsiString("c");
    f.Table = f.OrgTable = AnsiString(table);
    f.MyType = type;
    f.Length = length;
    f.Flags = flags;
    f.Scale = decimals;
    f.CharsetNr = charset;
    return f;
}

constexpr std::uint32_t Binary = BINARY_FLAG, Unsigned = UNSIGNED_FLAG;

TEST(TMySqlTypeMapping, ColumnTypesBecomeFieldTypes) {
    TMySqlTypeOptions defaults;
    TMySqlTypeOptions bytes;
    bytes.BinaryAsString = false;
    TMySqlTypeOptions unicode;
    unicode.UseUnicode = true;
    TMySqlTypeOptions noBoolean;
    noBoolean.EnableBoolean = false;
    TMySqlTypeOptions optimized;
    optimized.OptimizedBigint = true;
    TMySqlTypeOptions asString;
    asString.FieldsAsString = true;
    struct TCase {
        const char* what;
        TMySqlFieldInfo info;
        TMySqlTypeOptions options;
        TFieldType type;
        int length;
    } cases[] = {
        {"int(11)", Column(3, 11), defaults, ftInteger, 11},
        {"int unsigned", Column(3, 10, Unsigned), defaults, ftLongWord, 10},
        {"tinyint(1)", Column(1, 1), defaults, ftBoolean, 1},
        {"tinyint(1) without booleans", Column(1, 1), noBoolean, ftShortint, 1},
        {"tinyint unsigned", Column(1, 3, Unsigned), defaults, ftByte, 3},
        {"smallint", Column(2, 6), defaults, ftSmallint, 6},
        {"smallint unsigned", Column(2, 5, Unsigned), defaults, ftWord, 5},
        {"mediumint unsigned", Column(9, 8, Unsigned), defaults, ftInteger, 8},
        {"bigint", Column(8, 20), defaults, ftLargeint, 20},
        {"bigint(11) optimized", Column(8, 11), optimized, ftInteger, 11},
        {"float", Column(4, 12, 0, 31), defaults, ftFloat, 12},
        {"double", Column(5, 22, 0, 31), defaults, ftFloat, 22},
        {"decimal(15,2)", Column(246, 17, 0, 2), defaults, ftFloat, 17},
        {"decimal(10,0)", Column(246, 10, 0, 0), defaults, ftFloat, 9},
        {"date", Column(10, 10, Binary, 0, 63), defaults, ftDate, 10},
        {"time", Column(11, 10, Binary, 0, 63), defaults, ftTime, 10},
        {"datetime", Column(12, 19, Binary, 0, 63), defaults, ftDateTime, 19},
        {"timestamp", Column(7, 19, Binary, 0, 63), defaults, ftDateTime, 19},
        {"year", Column(13, 4, Unsigned), defaults, ftWord, 4},
        {"varchar(60) latin1", Column(253, 60), defaults, ftString, 60},
        {"varchar(60) unicode", Column(253, 60), unicode, ftWideString, 60},
        {"varbinary as string", Column(253, 60, Binary, 0, 63), defaults, ftString, 60},
        {"varbinary as bytes", Column(253, 60, Binary, 0, 63), bytes, ftVarBytes, 60},
        {"char(2)", Column(254, 2), defaults, ftString, 2},
        {"binary(4) as bytes", Column(254, 4, Binary, 0, 63), bytes, ftBytes, 4},
        {"enum", Column(247, 1), defaults, ftString, 1},
        {"bit(3)", Column(16, 3, Unsigned), defaults, ftLargeint, 3},
        {"bit(3) optimized", Column(16, 3, Unsigned), optimized, ftInteger, 3},
        {"longblob", Column(251, 0xFFFFFFFF, Binary, 0, 63), defaults, ftBlob, 2147483647},
        {"text", Column(252, 65535), defaults, ftMemo, 65535},
        {"text unicode", Column(252, 65535), unicode, ftWideMemo, 65535},
        {"computed long text", Column(253, 65535, 0, 0, 8, ""), defaults, ftMemo, 65535},
        {"int as string", Column(3, 11), asString, ftString, 11},
        {"blob stays blob as string", Column(252, 65535, Binary, 0, 63), asString, ftBlob, 65535},
        {"null column", Column(6, 0), defaults, ftString, 0},
    };
    for (const auto& c : cases) {
        TFieldDesc d = DescribeMySqlField(c.info, c.options);
        EXPECT_EQ(d.DataType, c.type) << c.what;
        EXPECT_EQ(d.Length, c.length) << c.what;
    }
}

TEST(TMySqlTypeMapping, AttributesFromFlagsAndVersion) {
    TMySqlTypeOptions o;
    TFieldDesc key = DescribeMySqlField(Column(3, 11, NOT_NULL_FLAG | PRI_KEY_FLAG | AUTO_INCREMENT_FLAG), o);
    EXPECT_TRUE(key.IsKey);
    EXPECT_TRUE(key.IsAutoIncrement);
    EXPECT_FALSE(key.Required);
    EXPECT_TRUE(DescribeMySqlField(Column(253, 60, NOT_NULL_FLAG), o).Required);
    EXPECT_FALSE(DescribeMySqlField(Column(7, 19, NOT_NULL_FLAG), o).Required);
    EXPECT_TRUE(DescribeMySqlField(Column(254, 2), o).Fixed);
    EXPECT_TRUE(DescribeMySqlField(Column(6, 0), o).ReadOnly);
    EXPECT_EQ(DescribeMySqlField(Column(4, 12), o).SubType, SubTypeSingle);
    EXPECT_EQ(DescribeMySqlField(Column(246, 17, 0, 2), o).Scale, 2);

    TMySqlFieldInfo datetime6 = Column(12, 26, Binary, 6, 63);
    o.ServerPrimaryVer = 5, o.ServerMinorVer = 6;
    EXPECT_EQ(DescribeMySqlField(datetime6, o).Scale, 6);
    o.ServerPrimaryVer = 8, o.ServerMinorVer = 0;
    EXPECT_EQ(DescribeMySqlField(datetime6, o).Scale, 0);
}

TEST(TMySqlTypeMapping, DecimalsAsBcdOnlyWhenEnabledAndSmallEnough) {
    TMySqlTypeOptions o;
    o.EnableBCD = true;
    EXPECT_EQ(DescribeMySqlField(Column(246, 12, 0, 2), o).DataType, ftBCD);
    EXPECT_EQ(DescribeMySqlField(Column(246, 22, 0, 2), o).DataType, ftFloat);
    o.EnableFMTBCD = true;
    EXPECT_EQ(DescribeMySqlField(Column(246, 22, 0, 2), o).DataType, ftFMTBcd);
}

TEST(TMySqlTypeMapping, UnknownTypeCodeIsRefused) {
    try {
        DescribeMySqlField(Column(17, 1), {});
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), u"Unknown MySQL datatype (17)");
    }
}

// ---- values ----

// Converts one row whose values are the given texts (std::nullopt-like: a null marker).
struct TRowFixture : ::testing::Test {
    TMySqlTypeOptions options;
    TRecordWriter writer;

    TRecordView Convert(const TMySqlFieldInfo& info, const std::string* text) {
        std::vector<TMySqlFieldInfo> infos{info};
        std::vector<TFieldDesc> fields{DescribeMySqlField(info, options)};
        FRow = text ? *text : std::string();
        std::vector<TMySqlBind> binds(1);
        binds[0].IsNull = !text;
        binds[0].Length = FRow.size();
        TMySqlRowConverter converter;
        converter.Prepare(infos, fields, options);
        writer.Reset(1);
        converter.Convert(reinterpret_cast<const std::uint8_t*>(FRow.data()), binds, writer);
        return writer.View();
    }
    TRecordView Convert(const TMySqlFieldInfo& info, std::string text) { return Convert(info, &text); }

private:
    std::string FRow;
};

TEST_F(TRowFixture, Integers) {
    struct TCase {
        TMySqlFieldInfo info;
        std::string text;
        std::int64_t value;
    } cases[] = {
        {Column(3, 11), "123", 123},
        {Column(3, 11), "-2147483648", -2147483648LL},
        {Column(3, 10, Unsigned), "4294967295", 4294967295LL},
        {Column(8, 20), "9223372036854775807", 9223372036854775807LL},
        {Column(8, 20), "-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
        {Column(13, 4, Unsigned), "2024", 2024},
        {Column(16, 3, Unsigned), "\x05", 5},
        {Column(16, 16, Unsigned), "\x01\x02", 0x102},
    };
    for (const auto& c : cases) {
        TRecordView r = Convert(c.info, c.text);
        ASSERT_FALSE(r.IsNull(0)) << c.text;
        bool wide = StorageKindOf(DescribeMySqlField(c.info, options).DataType) == TStorageKind::Int64;
        EXPECT_EQ(wide ? r.Int64(0) : r.Int32(0), c.value) << c.text;
    }
}

TEST_F(TRowFixture, TinyintOneIsABoolean) {
    EXPECT_FALSE(Convert(Column(1, 1), "0").Boolean(0));
    EXPECT_TRUE(Convert(Column(1, 1), "2").Boolean(0));
}

TEST_F(TRowFixture, FloatingPointTexts) {
    struct TCase {
        std::string text;
        double value;
    } cases[] = {{"1234.5", 1234.5}, {"-0.25", -0.25}, {"1.5E-7", 1.5e-7}, {"2e+3", 2000.0},
                 {"+7", 7.0}, {"12345678901234567890123456789012345678901", 1.2345678901234568e40}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(Convert(Column(5, 22, 0, 31), c.text).Double(0), c.value) << c.text;
    EXPECT_EQ(Convert(Column(4, 12, 0, 31), "0.1").Double(0), double(0.1f));
    EXPECT_DOUBLE_EQ(Convert(Column(246, 17, 0, 2), "-12345.67").Double(0), -12345.67);

    struct TBad {
        std::string text;
        const char16_t* message;
    } bad[] = {{"abc", u"'abc' is not a valid floating point value"},
               {"1.2.3", u"'1.2.3' is not a valid floating point value"},
               {"1.5ex", u"'x' is not a valid integer value"},
               {"", u"'' is not a valid floating point value"}};
    for (const auto& b : bad) {
        try {
            Convert(Column(5, 22), b.text);
            ADD_FAILURE() << b.text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), b.message);
        }
    }
}

TEST_F(TRowFixture, DatesAndDateTimes) {
    TMySqlFieldInfo datetime = Column(12, 26, Binary, 6, 63);
    options.ServerPrimaryVer = 5, options.ServerMinorVer = 5;
    struct TCase {
        TMySqlFieldInfo info;
        std::string text;
        TDateTime value;
    } cases[] = {
        {Column(10, 10), "2024-02-29", EncodeDate(2024, 2, 29)},
        {Column(12, 19), "2024-05-01 13:45:10", EncodeDateTime(2024, 5, 1, 13, 45, 10, 0)},
        {datetime, "2024-05-01 13:45:10.123456", EncodeDateTime(2024, 5, 1, 13, 45, 10, 123)},
        {Column(7, 14), "20240501134510", EncodeDateTime(2024, 5, 1, 13, 45, 10, 0)},
        {Column(7, 12), "240501134510", EncodeDateTime(2024, 5, 1, 13, 45, 10, 0)},
        {Column(7, 8), "19991231", EncodeDate(1999, 12, 31)},
        {Column(7, 2), "69", EncodeDate(2069, 1, 1)},
        {Column(7, 2), "70", EncodeDate(1970, 1, 1)},
        {Column(12, 19), "1850-06-15 10:00:00", EncodeDateTime(1850, 6, 15, 10, 0, 0, 0)},
    };
    for (const auto& c : cases) {
        TRecordView r = Convert(c.info, c.text);
        ASSERT_FALSE(r.IsNull(0)) << c.text;
        EXPECT_NEAR(r.DateTime(0).Value, c.value.Value, 1e-9) << c.text;
    }
    options.ServerPrimaryVer = 8, options.ServerMinorVer = 0;
    EXPECT_NEAR(Convert(datetime, "2024-05-01 13:45:10.123456").DateTime(0).Value,
                EncodeDateTime(2024, 5, 1, 13, 45, 10, 0).Value, 1e-9);
}

TEST_F(TRowFixture, ZeroDatesAreNullOrTheMarker) {
    for (const auto& [info, text] : {std::pair(Column(10, 10), "0000-00-00"s),
                                     std::pair(Column(12, 19), "0000-00-00 00:00:00"s),
                                     std::pair(Column(12, 19), "2024-02-30 00:00:00"s)}) {
        options.NullForZeroDate = true;
        EXPECT_TRUE(Convert(info, text).IsNull(0)) << text;
        options.NullForZeroDate = false;
        TRecordView r = Convert(info, text);
        ASSERT_FALSE(r.IsNull(0));
        EXPECT_EQ(r.DateTime(0), MySqlZeroDateMarker()) << text;
    }
}

TEST_F(TRowFixture, TimesAndDurations) {
    struct TCase {
        TMySqlFieldInfo info;
        std::string text;
        double seconds;
    } cases[] = {
        {Column(11, 10), "26:03:04", 26 * 3600 + 3 * 60 + 4},
        {Column(11, 10), "-01:30:00", -5400},
        {Column(11, 10), "838:59:59", 838 * 3600 + 59 * 60 + 59},
        {Column(11, 14, 0, 3), "12:34:56.789", 12 * 3600 + 34 * 60 + 56.789},
        {Column(11, 10), "00:00:00", 0},
    };
    for (const auto& c : cases) {
        TRecordView r = Convert(c.info, c.text);
        ASSERT_FALSE(r.IsNull(0)) << c.text;
        EXPECT_NEAR(r.DateTime(0).Value * 86400, c.seconds, 1e-6) << c.text;
    }
    try {
        Convert(Column(11, 10), "10000:00:00");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"Wrong time format at field c");
    }
}

TEST_F(TRowFixture, TimestampOfAnotherLengthIsRefused) {
    try {
        Convert(Column(7, 19), "2024-05-01 13:45:10.");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"Invalid FIELD_TYPE_TIMESTAMP Field.Length (20)");
    }
}

TEST_F(TRowFixture, TextAndBytesArriveUnchanged) {
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(char(i));
    TRecordView blob = Convert(Column(251, 0xFFFFFFFF, Binary, 0, 63), all);
    EXPECT_EQ(blob.Bytes(0), all);
    TRecordView empty = Convert(Column(251, 0xFFFFFFFF, Binary, 0, 63), "");
    EXPECT_FALSE(empty.IsNull(0));
    EXPECT_EQ(empty.Bytes(0).size(), 0u);
    EXPECT_EQ(Convert(Column(253, 60), "P\xE3o de a\xE7\xFA" "car").Bytes(0), "P\xE3o de a\xE7\xFA" "car");
    EXPECT_EQ(Convert(Column(253, 3), "abcdef").Bytes(0), "abc");  // cut to the column
    EXPECT_TRUE(Convert(Column(253, 60), nullptr).IsNull(0));

    options.UseUnicode = true;
    options.Utf8 = true;
    std::string_view wide = Convert(Column(253, 60), "A\xC3\xA7\xC3\xA3o").Bytes(0);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(wide.data()), wide.size() / 2), u"Ação");
}

} // namespace
} // namespace vantrelo::test
