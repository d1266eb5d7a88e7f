// The row store builds each fetched record in place in its chunks: records that outgrow the
// room left, values that arrive in pieces past a chunk, and rows abandoned half-built must all
// read back exactly.
#include <gtest/gtest.h>

#include <string>

#include "dataaccess/RowStore.h"

namespace vantrelo::test {
namespace {

TFieldDesc Desc(const char16_t* name) {
    TFieldDesc d;
    d.Name = name;
    return d;
}

// Row i: its number, and a text whose length and bytes depend on it.
std::string TextOf(std::size_t i, std::size_t length) {
    std::string t(length, '\0');
    for (std::size_t k = 0; k < length; ++k) t[k] = char((i * 31 + k) % 251);
    return t;
}

class RowStore : public testing::Test {
protected:
    void SetUp() override { FStore.SetLayout(FFields); }

    void AppendRow(std::size_t i, std::size_t length) {
        TRecordWriter& w = FStore.Writer();
        w.Reset(2);
        w.SetInt64(0, std::int64_t(i));
        w.SetBytes(1, TextOf(i, length));
        FStore.Append();
    }
    void ExpectRow(std::size_t row, std::size_t i, std::size_t length) {
        TRecordView r = FStore.Row(row);
        ASSERT_FALSE(r.IsNull(0));
        EXPECT_EQ(r.Int64(0), std::int64_t(i)) << "row " << row;
        EXPECT_EQ(r.Bytes(1), TextOf(i, length)) << "row " << row;
    }

    const TFieldDesc FFields[2] = {Desc(u"N"), Desc(u"T")};
    TRowStore FStore;
};

TEST_F(RowStore, RecordsOfEverySizeReadBackAcrossChunks) {
    // Sizes that leave odd remainders in the 1 MiB chunks, and some larger than a quarter of one.
    auto length = [](std::size_t i) { return i % 97 == 0 ? 300000 + i : (i * 7919) % 5000; };
    for (std::size_t i = 0; i < 3000; ++i) AppendRow(i, length(i));
    ASSERT_EQ(FStore.RowCount(), 3000u);
    for (std::size_t i = 0; i < 3000; ++i) ExpectRow(i, i, length(i));
}

TEST_F(RowStore, AValueWrittenInPiecesMayOutgrowAChunk) {
    AppendRow(0, 100);
    TRecordWriter& w = FStore.Writer();
    w.Reset(2);
    w.SetInt64(0, 1);
    w.BeginBytes(1);
    std::string whole;
    for (std::size_t piece = 0; piece < 48; ++piece) {  // 3 MiB in 64 KiB pieces
        std::string p = TextOf(piece, 65536);
        w.AppendBytes(p.data(), p.size());
        whole += p;
    }
    FStore.Append();
    AppendRow(2, 100);
    EXPECT_EQ(FStore.Row(1).Bytes(1), whole);
    ExpectRow(0, 0, 100);
    ExpectRow(2, 2, 100);
    // The blocks the value outgrew are given back: what stays is its block (it grows by
    // doubling) and the chunk of the small rows.
    EXPECT_LT(FStore.MemoryUsed(), 2 * whole.size());
}

TEST_F(RowStore, ARowLeftHalfBuiltNeitherShowsNorSpoilsWhatComesAfter) {
    AppendRow(0, 10);
    TRecordWriter& w = FStore.Writer();
    w.Reset(2);
    w.SetBytes(1, std::string(500, 'x'));  // a fetch that failed here
    TRecordWriter edit(2);                  // then a posted insert
    edit.SetInt64(0, 7);
    edit.SetBytes(1, TextOf(7, 40));
    FStore.Insert(1, edit.View());
    AppendRow(8, 20);
    ASSERT_EQ(FStore.RowCount(), 3u);
    ExpectRow(0, 0, 10);
    ExpectRow(1, 7, 40);
    ExpectRow(2, 8, 20);

    FStore.Clear();
    AppendRow(9, 30);
    ASSERT_EQ(FStore.RowCount(), 1u);
    ExpectRow(0, 9, 30);
}

} // namespace
} // namespace vantrelo::test
