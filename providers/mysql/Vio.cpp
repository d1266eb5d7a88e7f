#include "providers/mysql/Vio.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace vantrelo {

TVio::TVio() = default;
TVio::~TVio() = default;

void TVio::AllocateBuffer() {
    if (!FBuffer) FBuffer = std::make_unique_for_overwrite<std::uint8_t[]>(ReadAheadSize);
    FBufferLen = FBufferPos = 0;
}

void TVio::Close() {
    std::lock_guard lock(FCloseLock);
    if (FClosing) return;
    FClosing = true;
    DoClose();
}

std::size_t TVio::Read(std::uint8_t* buffer, std::size_t offset, std::size_t count) {
    if (!FBuffer) AllocateBuffer();
    std::uint8_t* out = buffer + offset;
    std::size_t done = 0;
    while (done < count) {
        if (FBufferPos < FBufferLen) {
            std::size_t n = std::min(count - done, FBufferLen - FBufferPos);
            std::memcpy(out + done, FBuffer.get() + FBufferPos, n);
            FBufferPos += n;
            done += n;
            continue;
        }
        std::size_t remaining = count - done;
        if (remaining < DirectReadSize) {
            // Headers and short packets come from one large receive.
            std::ptrdiff_t n = ReadNoWait(FBuffer.get(), 0, ReadAheadSize);
            if (n <= 0) return done;
            FBufferLen = std::size_t(n);
            FBufferPos = 0;
            continue;
        }
        std::ptrdiff_t n = ReadNoWait(out, done, remaining);
        if (n <= 0) return done;
        done += std::size_t(n);
    }
    return done;
}

std::size_t TVio::Write(const std::uint8_t* buffer, std::size_t offset, std::size_t count) {
    constexpr int MaxIdleAttempts = 3;
    std::size_t done = 0;
    int idle = 0;
    while (done < count) {
        std::ptrdiff_t n = WriteNoWait(buffer, offset + done, count - done);
        if (n < 0) break;
        if (n == 0) {
            if (++idle >= MaxIdleAttempts) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        idle = 0;
        done += std::size_t(n);
    }
    return done;
}

} // namespace vantrelo
