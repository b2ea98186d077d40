#!/usr/bin/env python3
"""Writes utf_reference.txt: strict UTF-8 <-> UTF-16 conversions as decided
by Python's own codecs (errors='strict'), which refuse surrogates, overlong
forms, values above U+10FFFF and unpaired surrogates.

Each line is one case:
  b <utf-8 bytes in hex> <utf-16 units, 4 hex digits each | ->
  w <utf-16 units, 4 hex digits each> <utf-8 bytes in hex | ->
where '-' means the input must be refused. Cases are biased toward the
boundaries of each encoding form and toward malformed input.
"""
import random
import struct
import sys

rng = random.Random(20240611)
lines = []


def units_hex(units):
    return ''.join('%04x' % u for u in units)


def add_bytes(data):
    if not data:
        return
    try:
        text = data.decode('utf-8', errors='strict')
    except UnicodeDecodeError:
        lines.append('b %s -' % data.hex())
        return
    encoded = text.encode('utf-16-le')
    units = struct.unpack('<%dH' % (len(encoded) // 2), encoded)
    lines.append('b %s %s' % (data.hex(), units_hex(units)))


def add_units(units):
    if not units:
        return
    raw = struct.pack('<%dH' % len(units), *units)
    try:
        text = raw.decode('utf-16-le', errors='strict')
    except UnicodeDecodeError:
        lines.append('w %s -' % units_hex(units))
        return
    lines.append('w %s %s' % (units_hex(units), text.encode('utf-8').hex()))


BOUNDARY_CODE_POINTS = [0x01, 0x7F, 0x80, 0x7FF, 0x800, 0xFFF, 0x1000, 0xD7FF, 0xE000,
                        0xFFFD, 0xFFFE, 0xFFFF, 0x10000, 0x3FFFF, 0x40000, 0xFFFFF,
                        0x100000, 0x10FFFF]
CODE_POINT_RANGES = [(0x01, 0x7F), (0x80, 0x7FF), (0x800, 0xD7FF), (0xE000, 0xFFFF),
                     (0x10000, 0x10FFFF)]


def random_code_point():
    if rng.random() < 0.3:
        return rng.choice(BOUNDARY_CODE_POINTS)
    low, high = rng.choice(CODE_POINT_RANGES)
    return rng.randint(low, high)


def random_valid_utf8(count):
    return ''.join(chr(random_code_point()) for _ in range(count)).encode('utf-8')


def raw_utf8(c, length):
    """c encoded in length bytes whether or not that is allowed (surrogates,
    overlong forms, values above U+10FFFF)."""
    if length == 1:
        return bytes([c])
    marks = {2: 0xC0, 3: 0xE0, 4: 0xF0}
    out = []
    for _ in range(length - 1):
        out.append(0x80 | (c & 0x3F))
        c >>= 6
    out.append(marks[length] | c)
    return bytes(reversed(out))


def forbidden_sequence():
    kind = rng.randrange(4)
    if kind == 0:
        return raw_utf8(rng.choice([0xD800, 0xDBFF, 0xDC00, 0xDFFF, rng.randint(0xD800, 0xDFFF)]), 3)
    if kind == 1:  # overlong
        c = rng.choice([0, 0x2F, 0x7F, 0x7FF, 0xFFFF, rng.randint(0, 0x7F)])
        shortest = 1 if c < 0x80 else 2 if c < 0x800 else 3
        return raw_utf8(c, rng.randint(shortest + 1, 4))
    if kind == 2:  # beyond U+10FFFF
        return raw_utf8(rng.choice([0x110000, 0x13FFFF, 0x1FFFFF, rng.randint(0x110000, 0x1FFFFF)]), 4)
    return bytes(rng.choice([[0xF8, 0x88, 0x80, 0x80, 0x80], [0xFC, 0x84, 0x80, 0x80, 0x80, 0x80],
                             [0xFE], [0xFF], [0xC0, 0x80], [0xC1, 0xBF]]))


INTERESTING_BYTES = [0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1, 0xC2,
                     0xDF, 0xE0, 0xE1, 0xEC, 0xED, 0xEE, 0xEF, 0xF0, 0xF1, 0xF3, 0xF4, 0xF5,
                     0xF7, 0xF8, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF]


def random_byte():
    return rng.choice(INTERESTING_BYTES) if rng.random() < 0.6 else rng.randrange(256)


def mutate(data):
    data = bytearray(data)
    for _ in range(rng.randint(1, 2)):
        op = rng.randrange(5)
        pos = rng.randint(0, len(data))
        if op == 0 and data:
            data[min(pos, len(data) - 1)] = random_byte()
        elif op == 1 and data:
            del data[min(pos, len(data) - 1)]
        elif op == 2:
            data[pos:pos] = bytes([random_byte()])
        elif op == 3 and data:
            del data[rng.randint(1, len(data)):]
        else:
            data[pos:pos] = forbidden_sequence()
    return bytes(data)


CONTINUATIONS = list(range(0x80, 0xC0))
NEAR_CONTINUATIONS = [0x7F, 0xC0]

# Every single byte, every two-byte sequence that does not start in ASCII.
for a in range(256):
    add_bytes(bytes([a]))
for a in range(0x80, 0x100):
    for b in range(256):
        add_bytes(bytes([a, b]))
# Three- and four-byte leads with every second byte and boundary trailers.
for lead in range(0xE0, 0xF0):
    for second in CONTINUATIONS + NEAR_CONTINUATIONS:
        for third in (0x7F, 0x80, 0xBF, 0xC0):
            add_bytes(bytes([lead, second, third]))
for lead in range(0xF0, 0xF8):
    for second in CONTINUATIONS + NEAR_CONTINUATIONS:
        for third, fourth in ((0x80, 0x80), (0xBF, 0xBF), (0x80, 0xC0), (0x7F, 0x80)):
            add_bytes(bytes([lead, second, third, fourth]))
for _ in range(14000):
    add_bytes(random_valid_utf8(rng.randint(1, 4)))
for _ in range(55000):
    add_bytes(mutate(random_valid_utf8(rng.randint(0, 3))))
for _ in range(25000):
    add_bytes(bytes(random_byte() for _ in range(rng.randint(1, 6))))
for _ in range(300):  # long texts: no state may leak from one character to the next
    add_bytes(random_valid_utf8(rng.randint(10, 30)))

INTERESTING_UNITS = [0x0000, 0x0041, 0x007F, 0x0080, 0x07FF, 0x0800, 0xD7FF, 0xD800, 0xD801,
                     0xDBFE, 0xDBFF, 0xDC00, 0xDC01, 0xDFFE, 0xDFFF, 0xE000, 0xFFFD, 0xFFFF]


def random_unit():
    r = rng.random()
    if r < 0.3:
        return rng.choice(INTERESTING_UNITS)
    if r < 0.5:
        return rng.randint(0xD800, 0xDBFF)
    if r < 0.7:
        return rng.randint(0xDC00, 0xDFFF)
    return rng.randrange(0x10000)


for a in INTERESTING_UNITS:
    for b in INTERESTING_UNITS:
        add_units([a, b])
        for c in INTERESTING_UNITS:
            add_units([a, b, c])
for _ in range(35000):
    add_units([random_unit() for _ in range(rng.randint(1, 6))])

out_path = sys.argv[1] if len(sys.argv) > 1 else 'utf_reference.txt'
with open(out_path, 'w') as f:
    f.write('\n'.join(lines) + '\n')
