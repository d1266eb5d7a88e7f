#include "dataaccess/RowStore.h"

#include <algorithm>

namespace vantrelo {
namespace {

constexpr std::size_t ChunkSize = 1 << 20;  // records are packed into 1 MiB chunks

std::size_t FixedPartSize(std::size_t fieldCount) {
    return ((fieldCount + 7) & ~std::size_t(7)) + fieldCount * 8;
}

} // namespace

void TRecordWriter::Reset(std::size_t fieldCount) {
    FFieldCount = fieldCount;
    FFixedStart = (fieldCount + 7) & ~std::size_t(7);
    FBuffer.assign(FixedPartSize(fieldCount), 0);
    std::fill_n(FBuffer.begin(), fieldCount, std::uint8_t(1));
}

void TRecordWriter::Assign(TRecordView record) {
    FFieldCount = record.FieldCount();
    FFixedStart = (FFieldCount + 7) & ~std::size_t(7);
    FBuffer.assign(record.Data(), record.Data() + record.Size());
}

void TRecordWriter::SetBytes(std::size_t field, const void* data, std::size_t length) {
    std::uint32_t at[2] = {std::uint32_t(FBuffer.size()), std::uint32_t(length)};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    FBuffer.insert(FBuffer.end(), bytes, bytes + length);
    FBuffer[field] = 0;
    std::memcpy(FBuffer.data() + SlotOffset(field), at, sizeof at);
}

void TRecordWriter::SetValue(std::size_t field, TStorageKind kind, const TVariant& value) {
    if (value.IsNull()) {
        SetNull(field);
        return;
    }
    switch (kind) {
    case TStorageKind::Int32: SetInt32(field, value.AsInteger()); break;
    case TStorageKind::Int64: SetInt64(field, value.AsLargeInt()); break;
    case TStorageKind::Boolean: SetBoolean(field, value.AsBoolean()); break;
    case TStorageKind::Double: SetDouble(field, value.AsFloat()); break;
    case TStorageKind::DateTime: SetDateTime(field, value.AsDateTime()); break;
    case TStorageKind::Ansi: SetBytes(field, value.AsAnsiString().View()); break;
    case TStorageKind::Wide: {
        std::u16string w = value.AsString();
        SetBytes(field, w.data(), w.size() * 2);
        break;
    }
    case TStorageKind::Bytes: {
        TBytes b = value.AsBytes();
        SetBytes(field, b.data(), b.size());
        break;
    }
    }
}

TVariant TRecordView::Value(std::size_t field, TStorageKind kind) const {
    if (IsNull(field)) return {};
    switch (kind) {
    case TStorageKind::Int32: return TVariant(Int32(field));
    case TStorageKind::Int64: return TVariant(Int64(field));
    case TStorageKind::Boolean: return TVariant(Boolean(field));
    case TStorageKind::Double: return TVariant(Double(field));
    case TStorageKind::DateTime: return TVariant(DateTime(field));
    case TStorageKind::Ansi: return TVariant(AnsiString(Bytes(field)));
    case TStorageKind::Wide: {
        std::string_view b = Bytes(field);
        std::u16string w(b.size() / 2, u'\0');
        std::memcpy(w.data(), b.data(), w.size() * 2);
        return TVariant(std::move(w));
    }
    case TStorageKind::Bytes: {
        std::string_view b = Bytes(field);
        return TVariant(TBytes(b.begin(), b.end()));
    }
    }
    return {};
}

void TRecordWriter::BeginBytes(std::size_t field) {
    FPieceField = field;
    SetBytes(field, nullptr, 0);
}

void TRecordWriter::AppendBytes(const void* data, std::size_t length) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    FBuffer.insert(FBuffer.end(), bytes, bytes + length);
    std::uint32_t at[2];
    std::memcpy(at, FBuffer.data() + SlotOffset(FPieceField), sizeof at);
    at[1] += std::uint32_t(length);
    std::memcpy(FBuffer.data() + SlotOffset(FPieceField), at, sizeof at);
}

TRowStore::TRowStore() = default;
TRowStore::~TRowStore() = default;

void TRowStore::SetLayout(std::span<const TFieldDesc> fields) {
    Clear();
    FFieldCount = fields.size();
    FWriter.Reset(FFieldCount);
}

void TRowStore::Clear() {
    FRows.clear();
    FChunks.clear();
    FChunkFree = 0;
    FChunkPos = nullptr;
    FMemoryUsed = 0;
}

std::uint8_t* TRowStore::Allocate(std::size_t size) {
    size = (size + 7) & ~std::size_t(7);
    if (size > FChunkFree) {
        // A record larger than a chunk gets a block of its own; the open chunk stays open.
        if (size > ChunkSize / 4) {
            FChunks.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(size));
            FMemoryUsed += size;
            return FChunks.back().get();
        }
        FChunks.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(ChunkSize));
        FMemoryUsed += ChunkSize;
        FChunkPos = FChunks.back().get();
        FChunkFree = ChunkSize;
    }
    std::uint8_t* at = FChunkPos;
    FChunkPos += size;
    FChunkFree -= size;
    return at;
}

TRowStore::TRow TRowStore::Copy(TRecordView record) {
    std::uint8_t* at = Allocate(record.Size());
    std::memcpy(at, record.Data(), record.Size());
    return {at, record.Size()};
}

void TRowStore::Append() { FRows.push_back(Copy(FWriter.View())); }

void TRowStore::Replace(std::size_t index, TRecordView record) { FRows[index] = Copy(record); }

void TRowStore::Insert(std::size_t index, TRecordView record) {
    FRows.insert(FRows.begin() + std::ptrdiff_t(index), Copy(record));
}

} // namespace vantrelo
