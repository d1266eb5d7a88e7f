#pragma once
// The MySQL packet layer: framing with sequence numbers, the compressed protocol, the row
// slots received packets land in, and typed reads and writes of packet fields.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/AnsiString.h"
#include "providers/mysql/Vio.h"

namespace vantrelo {

// A byte buffer that only grows, reused from packet to packet.
class TNetBuffer {
public:
    std::uint8_t* Data() noexcept { return FData.get(); }
    const std::uint8_t* Data() const noexcept { return FData.get(); }
    std::size_t Length() const noexcept { return FLength; }
    std::size_t Capacity() const noexcept { return FCapacity; }
    void Reserve(std::size_t capacity);       // keeps the content
    void SetLength(std::size_t length) {      // keeps the content, new bytes undefined
        if (length > FCapacity) Reserve(length);
        FLength = length;
    }
    void Append(const void* data, std::size_t length) {
        std::size_t at = FLength;
        SetLength(at + length);
        if (length) std::memcpy(FData.get() + at, data, length);
    }
    void Release() noexcept {
        FData.reset();
        FLength = FCapacity = 0;
    }

private:
    std::unique_ptr<std::uint8_t[]> FData;
    std::size_t FLength = 0;
    std::size_t FCapacity = 0;
};

class TMySqlNet {
public:
    static constexpr std::size_t HeaderSize = 4;
    static constexpr std::size_t CompressHeaderSize = 7;
    static constexpr std::size_t MaxPacketSize = 0xFFFFFF;
    static constexpr std::size_t SlotSize = 8192;
    static constexpr std::size_t MinCompressLength = 50;  // blocks this short go out as they are
    static constexpr std::uint8_t NullLength = 0xFB;

    TMySqlNet();
    ~TMySqlNet();
    TMySqlNet(const TMySqlNet&) = delete;
    TMySqlNet& operator=(const TMySqlNet&) = delete;

    TVio* vio() const noexcept { return Fvio.get(); }
    void SetVio(std::unique_ptr<TVio> vio);  // frees the previous transport
    bool Compress() const noexcept { return FCompress; }
    void SetCompress(bool value) noexcept { FCompress = value; }
    std::uint8_t PacketNumber() const noexcept { return FPacketNumber; }
    std::uint8_t ComprPacketNumber() const noexcept { return FComprPacketNumber; }

    // Writing a command into slot 0, after the 4 bytes reserved for the header.
    void NewCommand();
    void Clear();
    void WriteByte(std::uint8_t v) { *Grow(1) = v; }
    void WriteBool(bool v) { WriteByte(v ? 1 : 0); }
    void WriteInt16(std::uint16_t v) { StoreLE(Grow(2), v, 2); }
    void WriteInt24(std::uint32_t v) { StoreLE(Grow(3), v, 3); }
    void WriteInt32(std::uint32_t v) { StoreLE(Grow(4), v, 4); }
    void WriteInt64(std::uint64_t v) { StoreLE(Grow(8), v, 8); }
    void WriteDouble(double v);
    void WriteBytes(const void* data, std::size_t length) {
        if (length) std::memcpy(Grow(length), data, length);
    }
    void WriteBytes(std::string_view bytes) { WriteBytes(bytes.data(), bytes.size()); }
    // Zero-terminated 8-bit text.
    void WriteString(std::u16string_view text);
    void WriteString(const AnsiString& text);
    void WriteFieldLength(std::uint64_t n);
    void Fill(std::uint8_t pattern, std::size_t count);
    // Data of any size: what fits stays in the slot for Send, the rest is streamed out in
    // packets of at most 16777215 bytes straight from the caller's memory.
    void WriteOrSendBytes(const std::uint8_t* buffer, std::size_t offset, std::size_t count);
    void Send();
    void SendEmpty();

    // Reading.
    void ReceiveRow();  // one logical packet into the next slot; raises on an error packet
    // Reads and drops one logical packet; reports its first payload byte and returns its
    // whole length (a row of 16 MiB and more whose last piece is short must not pass for an
    // end-of-data marker). A short packet (such a marker) is left in the current slot so
    // that its fields can be read.
    std::size_t SkipRow(std::uint8_t& firstByte);
    const std::uint8_t* ReadBytes(std::size_t count);  // points into the slot
    std::uint8_t ReadByte();
    std::int16_t ReadInt16();
    std::uint16_t ReadUInt16();
    std::uint32_t ReadInt24();
    std::uint32_t ReadInt32();
    std::uint64_t ReadInt64();
    AnsiString ReadString(std::size_t length);
    AnsiString ReadString();  // up to a zero byte (consumed) or the end of the packet
    std::int64_t ReadFieldLength();  // -1 for NULL
    // Raises the server error of an error packet at the read position.
    [[noreturn]] void ReadError();

    // Slots. Setting RowCount resets the ring.
    std::size_t RowCount() const noexcept { return FRows.size(); }
    void SetRowCount(int count);
    std::span<const std::uint8_t> Rows(std::size_t index) const;  // "Invalid record number"
    std::size_t ReceivedRowCount() const noexcept { return FReceivedRowCount; }
    // Makes a received slot the one the typed reads work on, from its start.
    void SelectRow(std::size_t index);
    const std::uint8_t* Row() const noexcept { return FRowInPlace ? FRowInPlace : FRows[FRowNo].Data(); }
    std::size_t Length() const noexcept { return FRowInPlace ? FRowInPlaceLength : FRows[FRowNo].Length(); }
    std::size_t Position() const noexcept { return FPosition; }
    void SetPosition(std::size_t position) noexcept { FPosition = position; }
    void SetEof() noexcept {
        if (FReceivedRowCount > 0) --FReceivedRowCount;
    }

    // Empties the slots and buffers and frees the transport.
    void Close();

private:
    std::uint8_t* Grow(std::size_t n);
    static void StoreLE(std::uint8_t* at, std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) at[i] = std::uint8_t(v >> (8 * i));
    }
    void NeedBytes(std::size_t n) const;  // "Malformed packet" when the packet is shorter
    void WriteHeader(std::uint8_t* slotStart, std::size_t payload);
    void PacketSent();
    void Output(const std::uint8_t* data, std::size_t count);
    // One compressed frame of the two pieces together (the second may be empty).
    void OutputFrame(const std::uint8_t* data, std::size_t count, const std::uint8_t* more = nullptr,
                     std::size_t moreCount = 0);
    bool Deflate(const std::uint8_t* data, std::size_t count, const std::uint8_t* more, std::size_t moreCount,
                 std::uint8_t* out, std::size_t& outCount);
    bool Inflate(const std::uint8_t* data, std::size_t count, std::uint8_t* out, std::size_t outCount);
    void VioWrite(const std::uint8_t* data, std::size_t count);
    void VioRead(std::uint8_t* data, std::size_t count);
    void ReadData(std::uint8_t* data, std::size_t count);
    void ReadCompressed(std::uint8_t* data, std::size_t count);
    void ReceiveCompressedFrames();
    std::size_t ReceiveHeader();
    TNetBuffer& NextSlot();
    bool ReceiveRowInPlace();

    struct TZStreams;  // zlib streams kept for the whole session: no set-up per frame
    std::unique_ptr<TZStreams> FZStreams;
    std::unique_ptr<TVio> Fvio;
    std::vector<TNetBuffer> FRows;
    std::size_t FRowNo = 0;
    // The current row when it lies whole in the inflated input of a compressed session and
    // the ring has one slot: read where it is instead of copied into the slot.
    const std::uint8_t* FRowInPlace = nullptr;
    std::size_t FRowInPlaceLength = 0;
    std::size_t FPosition = 0;
    std::size_t FReceivedRowCount = 0;
    bool FFirstPacket = true;
    TNetBuffer FCompressBuffer;   // inflated input not yet handed out
    std::size_t FCompressPos = 0;
    TNetBuffer FFrameBuffer;      // one compressed frame as read, and frames being sent
    std::unique_ptr<std::uint8_t[]> FSkipBuffer;
    std::uint8_t FPacketNumber = 0;
    std::uint8_t FComprPacketNumber = 0;
    std::uint8_t FHeader[HeaderSize] = {};
    std::uint8_t FCompressHeader[CompressHeaderSize] = {};
    bool FCompress = false;
    bool FLastPacketFull = false;  // the command so far ends on a 16777215-byte packet
};

} // namespace vantrelo
