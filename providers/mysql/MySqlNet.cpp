#include "providers/mysql/MySqlNet.h"

#include <algorithm>
#include <bit>

#include <zlib.h>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/Format.h"
#include "providers/mysql/MySqlException.h"

namespace vantrelo {
namespace {

constexpr std::size_t SkipBufferSize = 65536;
constexpr std::size_t InitialCompressBufferSize = 100;
constexpr std::size_t ShortPacketLength = 8;  // end-of-data markers are never longer

std::size_t LoadLE3(const std::uint8_t* p) { return std::size_t(p[0]) | std::size_t(p[1]) << 8 | std::size_t(p[2]) << 16; }

void StoreLE3(std::uint8_t* p, std::size_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
}

} // namespace

struct TMySqlNet::TZStreams {
    z_stream Deflater{};
    z_stream Inflater{};
    bool DeflaterReady = false, InflaterReady = false;
    ~TZStreams() {
        if (DeflaterReady) deflateEnd(&Deflater);
        if (InflaterReady) inflateEnd(&Inflater);
    }
};

void TNetBuffer::Reserve(std::size_t capacity) {
    if (capacity <= FCapacity) return;
    std::size_t grown = std::max(capacity, FCapacity * 2);
    auto data = std::make_unique_for_overwrite<std::uint8_t[]>(grown);
    if (FLength) std::memcpy(data.get(), FData.get(), FLength);
    FData = std::move(data);
    FCapacity = grown;
}

TMySqlNet::TMySqlNet() {
    FRows.resize(1);
    FRows[0].Reserve(SlotSize);
    FCompressBuffer.Reserve(InitialCompressBufferSize);
}

TMySqlNet::~TMySqlNet() = default;

// Deflates the pieces as one whole at the default level, as one call of compress() would,
// reusing the stream. False when the output does not fit.
bool TMySqlNet::Deflate(const std::uint8_t* data, std::size_t count, const std::uint8_t* more, std::size_t moreCount,
                        std::uint8_t* out, std::size_t& outCount) {
    if (!FZStreams) FZStreams = std::make_unique<TZStreams>();
    z_stream& z = FZStreams->Deflater;
    if (!FZStreams->DeflaterReady) {
        if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK) return false;
        FZStreams->DeflaterReady = true;
    } else if (deflateReset(&z) != Z_OK) {
        return false;
    }
    z.next_out = out;
    z.avail_out = uInt(outCount);
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = uInt(count);
    int rc = deflate(&z, moreCount ? Z_NO_FLUSH : Z_FINISH);
    if (moreCount && rc == Z_OK) {
        z.next_in = const_cast<Bytef*>(more);
        z.avail_in = uInt(moreCount);
        rc = deflate(&z, Z_FINISH);
    }
    if (rc != Z_STREAM_END) return false;
    outCount = z.total_out;
    return true;
}

// Inflates to exactly outCount bytes.
bool TMySqlNet::Inflate(const std::uint8_t* data, std::size_t count, std::uint8_t* out, std::size_t outCount) {
    if (!FZStreams) FZStreams = std::make_unique<TZStreams>();
    z_stream& z = FZStreams->Inflater;
    if (!FZStreams->InflaterReady) {
        if (inflateInit(&z) != Z_OK) return false;
        FZStreams->InflaterReady = true;
    } else if (inflateReset(&z) != Z_OK) {
        return false;
    }
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = uInt(count);
    z.next_out = out;
    z.avail_out = uInt(outCount);
    return inflate(&z, Z_FINISH) == Z_STREAM_END && z.total_out == outCount;
}

void TMySqlNet::SetVio(std::unique_ptr<TVio> vio) {
    if (Fvio) Fvio->Close();
    Fvio = std::move(vio);
}

void TMySqlNet::Close() {
    FRowInPlace = nullptr;
    FRows.resize(1);
    FRows[0].SetLength(0);
    FRowNo = 0;
    FPosition = 0;
    FReceivedRowCount = 0;
    FFirstPacket = true;
    FCompressBuffer.SetLength(0);
    FCompressPos = 0;
    FCompress = false;
    FPacketNumber = FComprPacketNumber = 0;
    if (Fvio) {
        Fvio->Close();
        Fvio.reset();
    }
}

// ---- writing ----

void TMySqlNet::NewCommand() {
    FPacketNumber = 0;
    FComprPacketNumber = 0;
    Clear();
}

void TMySqlNet::Clear() {
    FRowInPlace = nullptr;
    FRowNo = 0;
    FRows[0].SetLength(HeaderSize);
    FPosition = HeaderSize;
    FLastPacketFull = false;
}

std::uint8_t* TMySqlNet::Grow(std::size_t n) {
    TNetBuffer& slot = FRows[FRowNo];
    std::size_t at = FPosition;
    if (at + n > slot.Length()) slot.SetLength(at + n);
    FPosition = at + n;
    FLastPacketFull = false;
    return slot.Data() + at;
}

void TMySqlNet::WriteDouble(double v) { StoreLE(Grow(8), std::bit_cast<std::uint64_t>(v), 8); }

void TMySqlNet::WriteString(std::u16string_view text) { WriteString(UnicodeToAnsi(text)); }

void TMySqlNet::WriteString(const AnsiString& text) {
    WriteBytes(text.View());
    WriteByte(0);
}

void TMySqlNet::WriteFieldLength(std::uint64_t n) {
    if (n <= 250) {
        WriteByte(std::uint8_t(n));
    } else if (n <= 0xFFFF) {
        WriteByte(252);
        WriteInt16(std::uint16_t(n));
    } else if (n > MaxPacketSize) {
        WriteByte(254);
        WriteInt64(n);
    } else {
        WriteByte(253);
        WriteInt24(std::uint32_t(n));
    }
}

void TMySqlNet::Fill(std::uint8_t pattern, std::size_t count) {
    if (count) std::memset(Grow(count), pattern, count);
}

void TMySqlNet::WriteOrSendBytes(const std::uint8_t* buffer, std::size_t offset, std::size_t count) {
    const std::uint8_t* data = buffer + offset;
    while (count > 0) {
        TNetBuffer& slot = FRows[FRowNo];
        std::size_t inSlot = FPosition - HeaderSize;
        if (inSlot + count < MaxPacketSize && FPosition + count <= SlotSize) {
            WriteBytes(data, count);
            return;
        }
        // This packet is completed now: at the size limit, or with the data at hand.
        std::size_t packet = std::min(inSlot + count, MaxPacketSize);
        std::size_t fromData = packet - inSlot;
        std::size_t copied = FPosition < SlotSize ? std::min(fromData, SlotSize - FPosition) : 0;
        WriteBytes(data, copied);
        WriteHeader(slot.Data(), packet);
        std::size_t direct = fromData - copied;
        if (FCompress && FPosition + direct <= MaxPacketSize) {
            OutputFrame(slot.Data(), FPosition, data + copied, direct);  // the whole packet in one frame
        } else {
            Output(slot.Data(), FPosition);
            if (direct) Output(data + copied, direct);
        }
        PacketSent();
        data += fromData;
        count -= fromData;
        slot.SetLength(HeaderSize);
        FPosition = HeaderSize;
        FLastPacketFull = packet == MaxPacketSize;
    }
}

void TMySqlNet::WriteHeader(std::uint8_t* slotStart, std::size_t payload) {
    StoreLE3(slotStart, payload);
    slotStart[3] = FPacketNumber++;
}

void TMySqlNet::PacketSent() {
    if (FCompress) FPacketNumber = FComprPacketNumber;
}

void TMySqlNet::Send() {
    TNetBuffer& slot = FRows[FRowNo];
    std::size_t payload = FPosition - HeaderSize;
    if (payload == 0) {
        // The protocol ends a command that filled its last packet with an empty one.
        if (FLastPacketFull) SendEmpty();
        return;
    }
    if (payload < MaxPacketSize) {
        WriteHeader(slot.Data(), payload);
        Output(slot.Data(), FPosition);
        PacketSent();
    } else {
        const std::uint8_t* p = slot.Data() + HeaderSize;
        std::size_t left = payload;
        for (;;) {
            std::size_t n = std::min(left, MaxPacketSize);
            std::uint8_t header[HeaderSize];
            StoreLE3(header, n);
            header[3] = FPacketNumber++;
            Output(header, HeaderSize);
            Output(p, n);
            PacketSent();
            p += n;
            left -= n;
            if (n < MaxPacketSize) break;
        }
    }
    Clear();
}

void TMySqlNet::SendEmpty() {
    if (FPosition != HeaderSize) return;
    std::uint8_t* header = FRows[FRowNo].Data();
    StoreLE3(header, 0);
    header[3] = FPacketNumber++;
    Output(header, HeaderSize);
    PacketSent();
    FLastPacketFull = false;
}

void TMySqlNet::Output(const std::uint8_t* data, std::size_t count) {
    if (!FCompress) {
        VioWrite(data, count);
        return;
    }
    while (count > 0) {
        std::size_t n = std::min(count, MaxPacketSize);
        OutputFrame(data, n);
        data += n;
        count -= n;
    }
}

void TMySqlNet::OutputFrame(const std::uint8_t* data, std::size_t count, const std::uint8_t* more,
                            std::size_t moreCount) {
    std::size_t total = count + moreCount;
    if (total > MinCompressLength) {
        std::size_t packed = total + total / 5 + 12;
        FFrameBuffer.SetLength(CompressHeaderSize + packed);
        // Data that do not shrink enough for the buffer go out as they are.
        if (Deflate(data, count, more, moreCount, FFrameBuffer.Data() + CompressHeaderSize, packed) &&
            packed <= MaxPacketSize) {
            std::uint8_t* h = FFrameBuffer.Data();
            StoreLE3(h, packed);
            h[3] = FComprPacketNumber++;
            StoreLE3(h + 4, total);
            VioWrite(h, CompressHeaderSize + packed);
            return;
        }
    }
    FFrameBuffer.SetLength(CompressHeaderSize + total);
    std::uint8_t* h = FFrameBuffer.Data();
    StoreLE3(h, total);
    h[3] = FComprPacketNumber++;
    StoreLE3(h + 4, 0);
    std::memcpy(h + CompressHeaderSize, data, count);
    if (moreCount) std::memcpy(h + CompressHeaderSize + count, more, moreCount);
    VioWrite(h, CompressHeaderSize + total);
}

void TMySqlNet::VioWrite(const std::uint8_t* data, std::size_t count) {
    if (!Fvio) throw EMySqlException(CR_SERVER_LOST, u"Socket not connected");
    if (Fvio->Write(data, 0, count) < count) throw EMySqlException(CR_SERVER_LOST, Fvio->LastError());
}

// ---- reading ----

void TMySqlNet::VioRead(std::uint8_t* data, std::size_t count) {
    if (!Fvio) throw EMySqlException(CR_SERVER_LOST, u"Socket not connected");
    if (Fvio->Read(data, 0, count) < count) throw EMySqlException(CR_SERVER_LOST, Fvio->LastError());
}

void TMySqlNet::ReadData(std::uint8_t* data, std::size_t count) {
    if (FCompress) ReadCompressed(data, count);
    else VioRead(data, count);
}

void TMySqlNet::ReadCompressed(std::uint8_t* data, std::size_t count) {
    while (count > 0) {
        if (FCompressPos >= FCompressBuffer.Length()) ReceiveCompressedFrames();
        std::size_t n = std::min(count, FCompressBuffer.Length() - FCompressPos);
        std::memcpy(data, FCompressBuffer.Data() + FCompressPos, n);
        FCompressPos += n;
        data += n;
        count -= n;
    }
}

void TMySqlNet::ReceiveCompressedFrames() {
    FCompressBuffer.SetLength(0);
    FCompressPos = 0;
    std::size_t frameLength;
    do {
        VioRead(FCompressHeader, CompressHeaderSize);
        if (FCompressHeader[3] != FPacketNumber)
            throw EMySqlException(
                ER_NET_PACKETS_OUT_OF_ORDER,
                Format(u"ReceiveCompHeader: Net packets out of order: received[%d], expected[%d]",
                       {int(FCompressHeader[3]), int(FPacketNumber)}));
        ++FPacketNumber;
        FComprPacketNumber = FPacketNumber;
        std::size_t packed = LoadLE3(FCompressHeader);
        std::size_t unpacked = LoadLE3(FCompressHeader + 4);
        std::size_t at = FCompressBuffer.Length();
        if (unpacked == 0) {
            FCompressBuffer.SetLength(at + packed);
            VioRead(FCompressBuffer.Data() + at, packed);
            frameLength = packed;
        } else {
            FFrameBuffer.SetLength(packed);
            VioRead(FFrameBuffer.Data(), packed);
            FCompressBuffer.SetLength(at + unpacked);
            if (!Inflate(FFrameBuffer.Data(), packed, FCompressBuffer.Data() + at, unpacked))
                throw EMySqlException(ER_NET_UNCOMPRESS_ERROR, u"ZLib error: target buffer may be too small");
            frameLength = unpacked;
        }
    } while (frameLength == MaxPacketSize);
}

std::size_t TMySqlNet::ReceiveHeader() {
    ReadData(FHeader, HeaderSize);
    if (!FCompress) {
        if (FHeader[3] != FPacketNumber)
            throw EMySqlException(ER_NET_PACKETS_OUT_OF_ORDER,
                                  Format(u"ReceiveHeader: Net packets out of order: received[%d], expected[%d]",
                                         {int(FHeader[3]), int(FPacketNumber)}));
        ++FPacketNumber;
        FComprPacketNumber = FPacketNumber;
    }
    return LoadLE3(FHeader);
}

TNetBuffer& TMySqlNet::NextSlot() {
    FRowInPlace = nullptr;
    if (FFirstPacket) {
        FRowNo = 0;
        FFirstPacket = false;
    } else if (++FRowNo >= FRows.size()) {
        FRowNo = 0;
        FReceivedRowCount = 0;
    }
    TNetBuffer& slot = FRows[FRowNo];
    slot.SetLength(0);
    FPosition = 0;
    return slot;
}

void TMySqlNet::ReceiveRow() {
    TNetBuffer& slot = NextSlot();
    if (!ReceiveRowInPlace()) {
        std::size_t length;
        do {
            length = ReceiveHeader();
            std::size_t at = slot.Length();
            slot.SetLength(at + length);
            ReadData(slot.Data() + at, length);
        } while (length == MaxPacketSize);
    }
    if (Length() > 0 && Row()[0] == 0xFF) ReadError();
    ++FReceivedRowCount;
}

// The inflated input stays as it is until the next packet is read, and with a single slot
// nothing older is kept: a packet that lies whole in it needs no copy.
bool TMySqlNet::ReceiveRowInPlace() {
    if (!FCompress || FRows.size() != 1) return false;
    if (FCompressPos >= FCompressBuffer.Length()) ReceiveCompressedFrames();
    std::size_t left = FCompressBuffer.Length() - FCompressPos;
    if (left < HeaderSize) return false;
    const std::uint8_t* header = FCompressBuffer.Data() + FCompressPos;
    std::size_t length = LoadLE3(header);
    if (length >= MaxPacketSize || left - HeaderSize < length) return false;
    FRowInPlace = header + HeaderSize;
    FRowInPlaceLength = length;
    FCompressPos += HeaderSize + length;
    return true;
}

std::size_t TMySqlNet::SkipRow(std::uint8_t& firstByte) {
    if (!FSkipBuffer) FSkipBuffer = std::make_unique_for_overwrite<std::uint8_t[]>(SkipBufferSize);
    TNetBuffer& slot = NextSlot();
    firstByte = 0;
    bool first = true;
    std::size_t length, total = 0;
    do {
        length = ReceiveHeader();
        total += length;
        for (std::size_t left = length; left > 0;) {
            std::size_t piece = std::min(left, SkipBufferSize);
            ReadData(FSkipBuffer.get(), piece);
            if (first) {
                firstByte = FSkipBuffer[0];
                if (firstByte == 0xFF || length <= ShortPacketLength) slot.Append(FSkipBuffer.get(), piece);
                if (firstByte == 0xFF) ReadError();
            }
            first = false;
            left -= piece;
        }
        first = false;
    } while (length == MaxPacketSize);
    ++FReceivedRowCount;
    return total;
}

void TMySqlNet::NeedBytes(std::size_t n) const {
    if (n > Length() || FPosition > Length() - n) throw EMySqlException(CR_MALFORMED_PACKET);
}

const std::uint8_t* TMySqlNet::ReadBytes(std::size_t count) {
    NeedBytes(count);
    const std::uint8_t* p = Row() + FPosition;
    FPosition += count;
    return p;
}

std::uint8_t TMySqlNet::ReadByte() { return *ReadBytes(1); }

std::int16_t TMySqlNet::ReadInt16() { return std::int16_t(ReadUInt16()); }

std::uint16_t TMySqlNet::ReadUInt16() {
    const std::uint8_t* p = ReadBytes(2);
    return std::uint16_t(p[0] | p[1] << 8);
}

std::uint32_t TMySqlNet::ReadInt24() { return std::uint32_t(LoadLE3(ReadBytes(3))); }

std::uint32_t TMySqlNet::ReadInt32() {
    const std::uint8_t* p = ReadBytes(4);
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::uint64_t TMySqlNet::ReadInt64() {
    if (FPosition > Length() || Length() - FPosition < 8) throw EArgumentError(u"Not enough data for a 64-bit value");
    const std::uint8_t* p = ReadBytes(8);
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
    return v;
}

AnsiString TMySqlNet::ReadString(std::size_t length) {
    const std::uint8_t* p = ReadBytes(length);
    return AnsiString(reinterpret_cast<const char*>(p), length);
}

AnsiString TMySqlNet::ReadString() {
    std::size_t end = Length();
    if (FPosition >= end) return {};
    const std::uint8_t* start = Row() + FPosition;
    const void* zero = std::memchr(start, 0, end - FPosition);
    std::size_t n = zero ? std::size_t(static_cast<const std::uint8_t*>(zero) - start) : end - FPosition;
    AnsiString text(reinterpret_cast<const char*>(start), n);
    FPosition += zero ? n + 1 : n;
    return text;
}

std::int64_t TMySqlNet::ReadFieldLength() {
    std::uint8_t b = ReadByte();
    switch (b) {
    case 251: return -1;
    case 252: return ReadUInt16();
    case 253: return ReadInt24();
    case 254: return std::int64_t(ReadInt64());
    case 255: throw EArgumentError(u"Invalid length-encoded value");
    default: return b;
    }
}

void TMySqlNet::ReadError() {
    FPosition = 0;
    if (Length() == 0 || Row()[0] != 0xFF) throw EMySqlException(CR_UNKNOWN_ERROR);
    FPosition = 1;
    int code = ReadInt16();
    AnsiString text = ReadString();
    throw EMySqlException(code, std::move(text.Bytes()));
}

// ---- slots ----

void TMySqlNet::SetRowCount(int count) {
    if (count <= 0) throw EArgumentError(u"Invalid row count");
    FRowInPlace = nullptr;
    FRows.resize(std::size_t(count));
    FRowNo = 0;
    FReceivedRowCount = 0;
    FFirstPacket = true;
}

void TMySqlNet::SelectRow(std::size_t index) {
    Rows(index);
    FRowNo = index;
    FPosition = 0;
}

std::span<const std::uint8_t> TMySqlNet::Rows(std::size_t index) const {
    if (index >= FReceivedRowCount) throw EArgumentError(u"Invalid record number");
    if (FRowInPlace && index == FRowNo) return {FRowInPlace, FRowInPlaceLength};
    return {FRows[index].Data(), FRows[index].Length()};
}

} // namespace vantrelo
