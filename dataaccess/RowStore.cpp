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
