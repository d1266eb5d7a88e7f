#include "dataaccess/RowStore.h"

#include <algorithm>

namespace vantrelo {
namespace {

constexpr std::size_t ChunkSize = 1 << 20;  // records are packed into 1 MiB chunks
constexpr std::size_t LargeRecordSize = ChunkSize / 4;  // and larger ones get blocks of their own

std::size_t FixedPartSize(std::size_t fieldCount) {
    return ((fieldCount + 7) & ~std::size_t(7)) + fieldCount * 8;
}

} // namespace

void TRecordWriter::Reset(std::size_t fieldCount) {
    FFieldCount = fieldCount;
    FFixedStart = (fieldCount + 7) & ~std::size_t(7);
    FSize = 0;
    std::uint8_t* fixed = Extend(FixedPartSize(fieldCount));
    std::memset(fixed, 1, fieldCount);
    std::memset(fixed + fieldCount, 0, FixedPartSize(fieldCount) - fieldCount);
}

void TRecordWriter::Assign(TRecordView record) {
    FFieldCount = record.FieldCount();
    FFixedStart = (FFieldCount + 7) & ~std::size_t(7);
    FSize = 0;
    std::memcpy(Extend(record.Size()), record.Data(), record.Size());
}

std::uint8_t* TRecordWriter::Extend(std::size_t length) {
    const std::size_t size = FSize + length;
    if (size > FCapacity) {
        if (FStore) {
            FStore->MakeRoom(*this, size);
        } else {
            FOwn.resize(std::max({size, FCapacity * 2, std::size_t(64)}));
            FData = FOwn.data();
            FCapacity = FOwn.size();
        }
    }
    std::uint8_t* at = FData + FSize;
    FSize = size;
    return at;
}

void TRecordWriter::SetBytes(std::size_t field, const void* data, std::size_t length) {
    std::uint32_t at[2] = {std::uint32_t(FSize), std::uint32_t(length)};
    std::uint8_t* to = Extend(length);
    if (length) std::memcpy(to, data, length);
    FData[field] = 0;
    std::memcpy(FData + SlotOffset(field), at, sizeof at);
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
    case TStorageKind::Bytes: return TVariant(BytesOf(Bytes(field)));
    }
    return {};
}

void TRecordWriter::BeginBytes(std::size_t field) {
    FPieceField = field;
    SetBytes(field, nullptr, 0);
}

void TRecordWriter::AppendBytes(const void* data, std::size_t length) {
    std::uint8_t* to = Extend(length);
    if (length) std::memcpy(to, data, length);
    std::uint32_t at[2];
    std::memcpy(at, FData + SlotOffset(FPieceField), sizeof at);
    at[1] += std::uint32_t(length);
    std::memcpy(FData + SlotOffset(FPieceField), at, sizeof at);
}

TRowStore::TRowStore() = default;
TRowStore::~TRowStore() = default;

void TRowStore::SetLayout(std::span<const TFieldDesc> fields) {
    Clear();
    FFieldCount = fields.size();
}

void TRowStore::Clear() {
    FRows.clear();
    FChunks.clear();
    FChunkFree = 0;
    FChunkPos = nullptr;
    FMemoryUsed = 0;
    DetachWriter();
}

void TRowStore::DetachWriter() noexcept {
    FWriter.FData = nullptr;
    FWriter.FSize = FWriter.FCapacity = 0;
    FWriterBlock = nullptr;
}

std::uint8_t* TRowStore::Allocate(std::size_t size) {
    // A record the writer was building in the open chunk would be overwritten: it starts over.
    if (FWriter.FData && FWriter.FData == FChunkPos) DetachWriter();
    size = (size + 7) & ~std::size_t(7);
    if (size > FChunkFree) {
        // A record larger than a chunk gets a block of its own; the open chunk stays open.
        if (size > LargeRecordSize) {
            FChunks.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(size));
            FMemoryUsed += size;
            return FChunks.back().get();
        }
        OpenChunk();
    }
    std::uint8_t* at = FChunkPos;
    FChunkPos += size;
    FChunkFree -= size;
    return at;
}

void TRowStore::OpenChunk() {
    FChunks.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(ChunkSize));
    FMemoryUsed += ChunkSize;
    FChunkPos = FChunks.back().get();
    FChunkFree = ChunkSize;
}

void TRowStore::MakeRoom(TRecordWriter& writer, std::size_t size) {
    std::uint8_t* from = writer.FData;
    if (!from && size <= FChunkFree) {  // a new record, at the open chunk's free position
        writer.FData = FChunkPos;
        writer.FCapacity = FChunkFree;
        return;
    }
    std::uint8_t* to;
    if (size > LargeRecordSize) {
        // A block of its own, with room to grow: large values arrive in pieces.
        std::size_t capacity = std::max(size, writer.FSize * 2);
        FChunks.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(capacity));
        FMemoryUsed += capacity;
        to = FChunks.back().get();
        writer.FCapacity = capacity;
        if (from) std::memcpy(to, from, writer.FSize);
        if (FWriterBlock) {
            // The block it outgrew goes (it was the last one made, before the new one).
            FMemoryUsed -= FWriterBlockSize;
            FChunks.erase(FChunks.end() - 2);
        }
        FWriterBlock = to;
        FWriterBlockSize = capacity;
    } else {
        OpenChunk();
        to = FChunkPos;
        writer.FCapacity = FChunkFree;
        if (from) std::memcpy(to, from, writer.FSize);
    }
    writer.FData = to;
}

void TRowStore::Append() {
    FRows.push_back({FWriter.FData, FWriter.FSize});
    if (FWriter.FData == FChunkPos) {
        const std::size_t used = (FWriter.FSize + 7) & ~std::size_t(7);
        FChunkPos += used;
        FChunkFree -= used;
    }
    DetachWriter();
}

TRowStore::TRow TRowStore::Copy(TRecordView record) {
    std::uint8_t* at = Allocate(record.Size());
    std::memcpy(at, record.Data(), record.Size());
    return {at, record.Size()};
}

void TRowStore::Replace(std::size_t index, TRecordView record) { FRows[index] = Copy(record); }

void TRowStore::Insert(std::size_t index, TRecordView record) {
    FRows.insert(FRows.begin() + std::ptrdiff_t(index), Copy(record));
}

} // namespace vantrelo
