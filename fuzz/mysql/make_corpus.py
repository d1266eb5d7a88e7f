#!/usr/bin/env python3
"""Writes the seed corpus of the MySQL reply fuzzer: server streams of a login and of the
replies to a few statements, plain and compressed. Run it again after changing it."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
MODERN = 0x1 | 0x4 | 0x8 | 0x20 | 0x80 | 0x200 | 0x2000 | 0x8000


def le(v, n):
    return v.to_bytes(n, "little")


def packet(seq, payload):
    return le(len(payload), 3) + bytes([seq & 255]) + payload


def frame(seq, data, deflate=True):
    if not deflate:
        return le(len(data), 3) + bytes([seq & 255]) + le(0, 3) + data
    packed = zlib.compress(data)
    return le(len(packed), 3) + bytes([seq & 255]) + le(len(data), 3) + packed


def lenstr(s):
    if len(s) < 251:
        return bytes([len(s)]) + s
    if len(s) <= 0xFFFF:
        return b"\xfc" + le(len(s), 2) + s
    return b"\xfd" + le(len(s), 3) + s


def greeting(caps=MODERN, version=b"5.5.5-10.11.19-MariaDB", protocol=10):
    return (bytes([protocol]) + version + b"\0" + le(42, 4) + b"abcdefgh" + b"\0" + le(caps, 2) + b"\x08" +
            le(2, 2) + le(0, 2) + b"\x15" + b"\0" * 10 + b"ijklmnopqrst" + b"\0" + b"mysql_native_password\0")


def ok(affected=0, status=2, info=b""):
    return b"\0" + bytes([affected]) + b"\0" + le(status, 2) + le(0, 2) + info


def eof(status=2):
    return b"\xfe" + le(0, 2) + le(status, 2)


def coldef(name, type_, length, flags=0, decimals=0, charset=8):
    return (lenstr(b"def") + lenstr(b"db") + lenstr(b"t") + lenstr(b"t") + lenstr(name) + lenstr(name) + b"\x0c" +
            le(charset, 2) + le(length, 4) + bytes([type_]) + le(flags, 2) + bytes([decimals]) + le(0, 2))


COLUMNS = [
    (b"i", 3, 11, 0, 0, 8, b"-42"), (b"b", 1, 1, 0, 0, 8, b"1"), (b"g", 8, 20, 0, 0, 8, b"9223372036854775807"),
    (b"d", 5, 22, 0, 31, 8, b"1.5E-7"), (b"f", 4, 12, 0, 31, 8, b"0.1"), (b"n", 246, 17, 0, 2, 8, b"-123.45"),
    (b"dt", 10, 10, 0x80, 0, 63, b"2024-02-29"), (b"tm", 11, 17, 0x80, 6, 63, b"-26:03:04.123456"),
    (b"dtm", 12, 26, 0x80, 6, 63, b"2024-05-01 13:45:10.123456"), (b"ts", 7, 14, 0x80, 0, 63, b"20240501134510"),
    (b"z", 12, 19, 0x80, 0, 63, b"0000-00-00 00:00:00"), (b"v", 253, 60, 0, 0, 8, b"P\xe3o de a\xe7\xfacar"),
    (b"c", 254, 2, 0, 0, 8, b"UN"), (b"bt", 16, 3, 0x20, 0, 63, b"\x05"), (b"bl", 252, 65535, 0x80, 0, 63, bytes(range(256))),
    (b"y", 13, 4, 0x20, 0, 63, b"2024"), (b"nul", 6, 0, 0, 0, 63, None),
]


def result_set(seq):
    out = [packet(seq, bytes([len(COLUMNS)]))]
    seq += 1
    for name, type_, length, flags, decimals, charset, _ in COLUMNS:
        out.append(packet(seq, coldef(name, type_, length, flags, decimals, charset)))
        seq += 1
    out.append(packet(seq, eof()))
    seq += 1
    for _ in range(2):
        row = b"".join(b"\xfb" if v is None else lenstr(v) for *_, v in COLUMNS)
        out.append(packet(seq, row))
        seq += 1
    out.append(packet(seq, eof()))
    return b"".join(out)


def login(caps=MODERN):
    return packet(0, greeting(caps)) + packet(2, ok())


def write(name, mode, stream):
    with open(os.path.join(HERE, "corpus", name), "wb") as f:
        f.write(bytes([mode]) + stream)


def main():
    os.makedirs(os.path.join(HERE, "corpus"), exist_ok=True)
    write("login-ok", 0x00, login(MODERN & ~0x20) + packet(1, ok(2, info=b"Rows matched: 1")))
    write("login-error", 0x00, packet(0, greeting()) + packet(2, b"\xff" + le(1045, 2) + b"#28000Access denied"))
    write("auth-switch", 0x00, packet(0, greeting()) +
          packet(2, b"\xfemysql_native_password\0ABCDEFGHIJKLMNOPQRST\0") + packet(4, ok()))
    write("old-scramble", 0x00, packet(0, greeting()) + packet(2, b"\xfe") + packet(4, ok()))
    write("legacy-challenge", 0x00, packet(0, greeting()) + packet(2, b"*xyz" + b"Q" * 20) + packet(4, ok()))
    write("pre41-server", 0x00, packet(0, greeting(0x1 | 0x4 | 0x8, b"4.0.27")) + packet(2, b"\0\0\0") +
          packet(1, b"\x01") + packet(2, lenstr(b"t") + lenstr(b"preco") + b"\x03" + le(12, 3) + b"\x01\x05" +
                                        b"\x03" + le(0x20, 2) + b"\x02") + packet(3, b"\xfe") +
          packet(4, lenstr(b"12.5")) + packet(5, b"\xfe"))
    write("protocol9", 0x00, packet(0, greeting(protocol=9)))
    write("result-set", 0x00, login(MODERN & ~0x20) + result_set(1))
    write("result-set-direct", 0x0A, result_set(1))
    write("result-set-options", 0xFA, result_set(1))
    stream = result_set(1)
    cut = len(stream) // 3
    write("compressed-result", 0x01, login() + frame(1, stream[:cut]) + frame(2, stream[cut:], False))
    write("compressed-direct", 0x0E, frame(1, stream))
    write("local-file", 0x0A, packet(1, b"\xfb/etc/passwd") + packet(3, ok()))
    # A server asking again and again, each request numbered as the reply to the empty packet.
    write("local-file-repeated", 0x0A, b"".join(packet(1 + 2 * i, b"\xfb/etc/shadow") for i in range(8)) + packet(17, ok()))
    write("local-file-in-further-results", 0x0A, packet(1, b"\xfb/etc/passwd") + packet(3, ok(status=0x0A)) +
          packet(4, b"\xfb/etc/shadow") + packet(6, ok(status=0x0A)) + packet(7, b"\xfb/etc/group") + packet(9, ok()))
    write("multi-results", 0x0A, packet(1, ok(status=0x0A)) + result_set(2)[:-9] + packet(2 + len(COLUMNS) + 4, eof(0x0A)) +
          packet(2 + len(COLUMNS) + 5, ok(3)))
    write("error-mid-rows", 0x0A, result_set(1)[:-9] + packet(len(COLUMNS) + 5, b"\xff" + le(1317, 2) + b"#70100Interrupted"))


if __name__ == "__main__":
    main()
