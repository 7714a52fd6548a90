#!/usr/bin/env python3
"""Writes one short wave file per encoding that a wave file may hold, all of
the same signal, for the encodings test (tests/media/EncodingsTest.cpp).

    make_encodings.py OUTDIR

The signal: RATE frames per second, FRAMES frames; channel c (from 0) holds
0.5 * sin(2 pi (c + 1) 440 i / RATE) at frame i. The test computes the same
and compares what the reader decodes with it, within each encoding's error.
The encoders here (G.711, IMA and Microsoft ADPCM) follow the published
algorithms and share nothing with the decoder under test.
"""

import math
import os
import struct
import sys

RATE = 8000
FRAMES = 2000


def signal(channels):
    return [[0.5 * math.sin(2 * math.pi * (c + 1) * 440 * i / RATE) for c in range(channels)]
            for i in range(FRAMES)]


def to_int(x, bits):
    top = (1 << (bits - 1)) - 1
    return max(-top - 1, min(top, int(round(x * (top + 1)))))


def chunk(cid, payload):
    pad = b"\0" if len(payload) % 2 else b""
    return cid + struct.pack("<I", len(payload)) + payload + pad


def fmt_chunk(tag, channels, bits, block_align, extra=b""):
    body = struct.pack("<HHIIHH", tag, channels, RATE, RATE * block_align, block_align, bits)
    if tag != 1 or extra:
        body += struct.pack("<H", len(extra)) + extra
    return body


def riff_wave(fmt, data, fact_frames=None):
    body = b"WAVE" + chunk(b"fmt ", fmt)
    if fact_frames is not None:
        body += chunk(b"fact", struct.pack("<I", fact_frames))
    body += chunk(b"data", data)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def pcm(frames, bits):
    out = bytearray()
    for frame in frames:
        for x in frame:
            if bits == 8:
                out.append(to_int(x, 8) + 128)
            else:
                out += to_int(x, bits).to_bytes(bits // 8, "little", signed=True)
    return bytes(out)


def floats(frames, code):
    return b"".join(struct.pack("<" + code * len(f), *f) for f in frames)


# G.711, as in ITU-T G.711's reference encoder.
def alaw(sample16):
    s = sample16 >> 3
    sign = 0x80 if s >= 0 else 0
    if s < 0:
        s = -s - 1
    seg_ends = [0x1F, 0x3F, 0x7F, 0xFF, 0x1FF, 0x3FF, 0x7FF, 0xFFF]
    seg = next((k for k, e in enumerate(seg_ends) if s <= e), 8)
    if seg >= 8:
        v = 0x7F
    else:
        v = (seg << 4) | ((s >> (seg if seg else 1)) & 0x0F)
    return (v | sign) ^ 0x55


def ulaw(sample16):
    bias, clip = 0x84, 32635
    sign = 0x80 if sample16 < 0 else 0
    s = min(abs(sample16), clip) + bias
    exp = 7
    mask = 0x4000
    while exp > 0 and not (s & mask):
        exp -= 1
        mask >>= 1
    mant = (s >> (exp + 3)) & 0x0F
    return ~(sign | (exp << 4) | mant) & 0xFF


IMA_STEPS = [
    7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 19, 21, 23, 25, 28, 31, 34, 37, 41, 45, 50, 55, 60, 66,
    73, 80, 88, 97, 107, 118, 130, 143, 157, 173, 190, 209, 230, 253, 279, 307, 337, 371, 408,
    449, 494, 544, 598, 658, 724, 796, 876, 963, 1060, 1166, 1282, 1411, 1552, 1707, 1878, 2066,
    2272, 2499, 2749, 3024, 3327, 3660, 4026, 4428, 4871, 5358, 5894, 6484, 7132, 7845, 8630,
    9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794,
    32767]
IMA_INDEX = [-1, -1, -1, -1, 2, 4, 6, 8]


def ima_step(state, x):
    pred, index = state
    step = IMA_STEPS[index]
    diff = x - pred
    code = 8 if diff < 0 else 0
    diff = abs(diff)
    delta = step >> 3
    for bit, part in ((4, step), (2, step >> 1), (1, step >> 2)):
        if diff >= part:
            code |= bit
            diff -= part
            delta += part
    pred = max(-32768, min(32767, pred - delta if code & 8 else pred + delta))
    index = max(0, min(88, index + IMA_INDEX[code & 7]))
    return code, (pred, index)


def ima_adpcm(frames, channels, block_align):
    per_block = (block_align - 4 * channels) * 8 // (4 * channels) + 1
    ints = [[to_int(x, 16) for x in f] for f in frames]
    out = bytearray()
    indexes = [40] * channels  # carried from block to block, as encoders do
    for start in range(0, len(ints), per_block):
        block = ints[start:start + per_block]
        block += [block[-1]] * (per_block - len(block))
        states = []
        for c in range(channels):
            states.append((block[0][c], indexes[c]))
            out += struct.pack("<hBB", block[0][c], indexes[c], 0)
        # Then groups of 8 samples per channel, 4 bytes each, low nibble first.
        for g in range(1, per_block, 8):
            for c in range(channels):
                codes = []
                for i in range(g, g + 8):
                    code, states[c] = ima_step(states[c], block[i][c])
                    codes.append(code)
                out += bytes(codes[k] | (codes[k + 1] << 4) for k in range(0, 8, 2))
        indexes = [state[1] for state in states]
    return bytes(out), per_block


MS_COEFS = [(256, 0), (512, -256), (0, 0), (192, 64), (240, 0), (460, -208), (392, -232)]
MS_ADAPT = [230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230]


def ms_adpcm(frames, channels, block_align):
    per_block = (block_align - 7 * channels) * 8 // (4 * channels) + 2
    ints = [[to_int(x, 16) for x in f] for f in frames]
    out = bytearray()
    c1, c2 = MS_COEFS[1]  # second-order prediction suits a smooth signal
    deltas = [256] * channels  # carried from block to block, as encoders do
    for start in range(0, len(ints), per_block):
        block = ints[start:start + per_block]
        block += [block[-1]] * (per_block - len(block))
        s1 = [block[1][c] for c in range(channels)]
        s2 = [block[0][c] for c in range(channels)]
        out += bytes([1] * channels)  # the predictor above, for every channel
        out += b"".join(struct.pack("<h", d) for d in deltas)
        out += b"".join(struct.pack("<h", v) for v in s1)
        out += b"".join(struct.pack("<h", v) for v in s2)
        codes = []
        for i in range(2, per_block):
            for c in range(channels):
                pred = (s1[c] * c1 + s2[c] * c2) >> 8
                err = block[i][c] - pred
                n = max(-8, min(7, int(round(err / deltas[c]))))
                value = max(-32768, min(32767, pred + n * deltas[c]))
                s2[c], s1[c] = s1[c], value
                deltas[c] = max(16, (deltas[c] * MS_ADAPT[n & 15]) >> 8)
                codes.append(n & 15)
        out += bytes((codes[k] << 4) | codes[k + 1] for k in range(0, len(codes), 2))
    extra = struct.pack("<HH", per_block, len(MS_COEFS))
    extra += b"".join(struct.pack("<hh", a, b) for a, b in MS_COEFS)
    return bytes(out), extra


KSDATAFORMAT_PCM = bytes.fromhex("0100000000001000800000aa00389b71")
KSDATAFORMAT_FLOAT = bytes.fromhex("0300000000001000800000aa00389b71")


def extensible(channels, bits, mask, subformat, data):
    block = channels * bits // 8
    extra = struct.pack("<HI", bits, mask) + subformat
    return riff_wave(fmt_chunk(0xFFFE, channels, bits, block, extra), data)


def w64(channels, bits, data):
    guid = lambda tag: tag + bytes.fromhex("f3acd3118cd100c04f8edb8a")
    riff = bytes.fromhex("72696666" "2e91cf11a5d628db04c10000")
    wave = bytes.fromhex("77617665" "f3acd3118cd100c04f8edb8a")

    def chunk64(tag, payload):
        pad = b"\0" * (-len(payload) % 8)
        return guid(tag) + struct.pack("<Q", 24 + len(payload)) + payload + pad

    block = channels * bits // 8
    fmt = struct.pack("<HHIIHH", 1, channels, RATE, RATE * block, block, bits)
    body = wave + chunk64(b"fmt ", fmt) + chunk64(b"data", data)
    return riff + struct.pack("<Q", 24 + len(body)) + body


def rf64(channels, bits, data):
    block = channels * bits // 8
    fmt = chunk(b"fmt ", struct.pack("<HHIIHH", 1, channels, RATE, RATE * block, block, bits))
    ds64_size = 28
    riff_size = 4 + (8 + ds64_size) + len(fmt) + 8 + len(data)
    ds64 = chunk(b"ds64", struct.pack("<QQQI", riff_size, len(data), len(data) // block, 0))
    body = b"WAVE" + ds64 + fmt + b"data" + struct.pack("<I", 0xFFFFFFFF) + data
    return b"RF64" + struct.pack("<I", 0xFFFFFFFF) + body


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    files = {}
    mono, stereo, six = signal(1), signal(2), signal(6)
    files["pcm-u8-mono"] = riff_wave(fmt_chunk(1, 1, 8, 1), pcm(mono, 8))
    files["pcm-s16-stereo"] = riff_wave(fmt_chunk(1, 2, 16, 4), pcm(stereo, 16))
    files["pcm-s24-stereo"] = riff_wave(fmt_chunk(1, 2, 24, 6), pcm(stereo, 24))
    files["pcm-s32-mono"] = riff_wave(fmt_chunk(1, 1, 32, 4), pcm(mono, 32))
    files["float32-stereo"] = riff_wave(fmt_chunk(3, 2, 32, 8), floats(stereo, "f"), FRAMES)
    files["float64-mono"] = riff_wave(fmt_chunk(3, 1, 64, 8), floats(mono, "d"), FRAMES)
    for name, law, tag in (("alaw", alaw, 6), ("ulaw", ulaw, 7)):
        data = bytes(law(to_int(f[0], 16)) for f in mono)
        files[name + "-mono"] = riff_wave(fmt_chunk(tag, 1, 8, 1), data, FRAMES)
    for channels, frames in ((1, mono), (2, stereo)):
        align = 256 * channels
        data, per_block = ima_adpcm(frames, channels, align)
        files["ima-adpcm-%d" % channels] = riff_wave(
            fmt_chunk(0x11, channels, 4, align, struct.pack("<H", per_block)), data, FRAMES)
        data, extra = ms_adpcm(frames, channels, align)
        files["ms-adpcm-%d" % channels] = riff_wave(fmt_chunk(2, channels, 4, align, extra), data,
                                                    FRAMES)
    files["extensible-s16-5.1"] = extensible(6, 16, 0x3F, KSDATAFORMAT_PCM, pcm(six, 16))
    files["extensible-s24-stereo"] = extensible(2, 24, 0x3, KSDATAFORMAT_PCM, pcm(stereo, 24))
    files["extensible-float32-stereo"] = extensible(2, 32, 0x3, KSDATAFORMAT_FLOAT,
                                                    floats(stereo, "f"))
    files["w64-s16-stereo"] = w64(2, 16, pcm(stereo, 16))
    files["rf64-s16-stereo"] = rf64(2, 16, pcm(stereo, 16))
    for name, data in files.items():
        with open(os.path.join(out, name + ".wav"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
