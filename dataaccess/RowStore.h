#pragma once
// The in-memory row store behind a query. A record is one contiguous block:
//   [one null byte per field][one 8-byte slot per field][variable data]
// Fixed-size values live in their slot; text and bytes live in the variable part and
// their slot holds (offset from the record start, length). Records are packed into large
// chunks, so fetching allocates per chunk, not per row or value.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "dataaccess/FieldDesc.h"
#include "dataaccess/Variant.h"
#include "platform/DateTime.h"

namespace vantrelo {

class TRecordView {
public:
    TRecordView() = default;
    TRecordView(const std::uint8_t* data, std::size_t fieldCount, std::size_t size)
        : FData(data), FFieldCount(fieldCount), FSize(size) {}

    bool IsValid() const noexcept { return FData != nullptr; }
    bool IsNull(std::size_t field) const noexcept { return FData[field] != 0; }
    std::int32_t Int32(std::size_t field) const noexcept { return Load<std::int32_t>(field); }
    std::int64_t Int64(std::size_t field) const noexcept { return Load<std::int64_t>(field); }
    bool Boolean(std::size_t field) const noexcept { return Load<std::int32_t>(field) != 0; }
    double Double(std::size_t field) const noexcept { return Load<double>(field); }
    TDateTime DateTime(std::size_t field) const noexcept { return TDateTime(Load<double>(field)); }
    // Text (8-bit or UTF-16 code units as bytes) and raw bytes.
    std::string_view Bytes(std::size_t field) const noexcept {
        std::uint32_t at[2];
        std::memcpy(at, Slot(field), sizeof at);
        return {reinterpret_cast<const char*>(FData) + at[0], at[1]};
    }
    // The value as a variant of its storage kind; null when the field is null.
    TVariant Value(std::size_t field, TStorageKind kind) const;
    const std::uint8_t* Data() const noexcept { return FData; }
    std::size_t FieldCount() const noexcept { return FFieldCount; }
    std::size_t Size() const noexcept { return FSize; }  // bytes of the whole record

private:
    const std::uint8_t* Slot(std::size_t field) const noexcept { return FData + SlotOffset(field); }
    std::size_t SlotOffset(std::size_t field) const noexcept { return ((FFieldCount + 7) & ~std::size_t(7)) + field * 8; }
    template <class T> T Load(std::size_t field) const noexcept {
        T v;
        std::memcpy(&v, Slot(field), sizeof v);
        return v;
    }

    const std::uint8_t* FData = nullptr;
    std::size_t FFieldCount = 0;
    std::size_t FSize = 0;
};

class TRowStore;

// Builds one record. Every field starts null; each setter clears the null flag.
// A standalone writer (an edit buffer) keeps the record in memory of its own; the writer of a
// row store builds it in place in the store's memory, so that appending it copies nothing.
class TRecordWriter {
public:
    explicit TRecordWriter(std::size_t fieldCount = 0) { Reset(fieldCount); }
    TRecordWriter(const TRecordWriter&) = delete;
    TRecordWriter& operator=(const TRecordWriter&) = delete;

    void Reset(std::size_t fieldCount);  // an all-null record of that many fields
    void Assign(TRecordView record);     // start from a copy of a record

    void SetNull(std::size_t field) noexcept { FData[field] = 1; }
    void SetInt32(std::size_t field, std::int32_t v) noexcept { Store(field, v); }
    void SetInt64(std::size_t field, std::int64_t v) noexcept { Store(field, v); }
    void SetBoolean(std::size_t field, bool v) noexcept { Store(field, std::int32_t(v ? 1 : 0)); }
    void SetDouble(std::size_t field, double v) noexcept { Store(field, v); }
    void SetDateTime(std::size_t field, TDateTime v) noexcept { Store(field, v.Value); }
    void SetBytes(std::size_t field, const void* data, std::size_t length);
    void SetBytes(std::size_t field, std::string_view bytes) { SetBytes(field, bytes.data(), bytes.size()); }
    // Converts the value to the storage kind (null sets null); raises what the conversion raises.
    void SetValue(std::size_t field, TStorageKind kind, const TVariant& value);
    // Value written in pieces (a blob read segment by segment): BeginBytes, then AppendBytes
    // as often as needed; no other field may be set in between.
    void BeginBytes(std::size_t field);
    void AppendBytes(const void* data, std::size_t length);

    TRecordView View() const noexcept { return {FData, FFieldCount, FSize}; }
    std::size_t Size() const noexcept { return FSize; }

private:
    friend class TRowStore;
    explicit TRecordWriter(TRowStore& store) : FStore(&store) {}

    template <class T> void Store(std::size_t field, T v) noexcept {
        FData[field] = 0;
        std::memcpy(FData + SlotOffset(field), &v, sizeof v);
    }
    std::size_t SlotOffset(std::size_t field) const noexcept { return FFixedStart + field * 8; }
    std::uint8_t* Extend(std::size_t length);  // room for length more bytes at the end

    std::uint8_t* FData = nullptr;  // the record being built
    std::size_t FSize = 0;
    std::size_t FCapacity = 0;
    std::vector<std::uint8_t> FOwn;  // a standalone writer's memory
    TRowStore* FStore = nullptr;     // the store whose memory a store's writer builds in
    std::size_t FFieldCount = 0;
    std::size_t FFixedStart = 0;
    std::size_t FPieceField = 0;
};

class TRowStore {
public:
    TRowStore();
    ~TRowStore();
    TRowStore(const TRowStore&) = delete;
    TRowStore& operator=(const TRowStore&) = delete;

    // Forgets every row and sets the shape of the records to come.
    void SetLayout(std::span<const TFieldDesc> fields);
    std::size_t FieldCount() const noexcept { return FFieldCount; }
    std::size_t RowCount() const noexcept { return FRows.size(); }
    TRecordView Row(std::size_t index) const noexcept {
        return {FRows[index].Data, FFieldCount, FRows[index].Size};
    }

    // The writer a provider fills for the next row, then Append()s; Reset for each row.
    TRecordWriter& Writer() noexcept { return FWriter; }
    void Append();  // appends the writer's record as the last row; Reset the writer before the next
    void Replace(std::size_t index, TRecordView record);  // a posted edit
    void Insert(std::size_t index, TRecordView record);   // a posted insert
    void Clear();                             // drops the rows, keeps the layout

    std::size_t MemoryUsed() const noexcept { return FMemoryUsed; }

private:
    friend class TRecordWriter;
    std::uint8_t* Allocate(std::size_t size);
    // Gives the writer's record room for `size` bytes in the store's memory: where the open
    // chunk has it, the record stays; otherwise it moves to a new chunk (or, when large, a
    // block of its own).
    void MakeRoom(TRecordWriter& writer, std::size_t size);
    void OpenChunk();
    void DetachWriter() noexcept;  // the writer holds no memory until its next Reset

    std::size_t FFieldCount = 0;
    struct TRow {
        const std::uint8_t* Data;
        std::size_t Size;
    };
    TRow Copy(TRecordView record);

    std::vector<TRow> FRows;
    std::vector<std::unique_ptr<std::uint8_t[]>> FChunks;
    std::size_t FChunkFree = 0;
    std::uint8_t* FChunkPos = nullptr;
    std::size_t FMemoryUsed = 0;
    std::uint8_t* FWriterBlock = nullptr;  // the block of its own a large record is built in
    std::size_t FWriterBlockSize = 0;
    TRecordWriter FWriter{*this};
};

} // namespace vantrelo
