#!/usr/bin/env python3
"""Writes the seed inputs of fuzz_statics into a folder: one input per situation the freeze must
handle. Usage: statics_seeds.py DIR

The target reads its numbers with FuzzedDataProvider: each number from the end of the input, in
as many bytes as its range needs, the first byte taken being the most significant; what is left
at the front is the old data file. The layout of the numbers is described in fuzz_statics.cpp."""
import os
import sys

# The maps flags bits 5-6 choose, by their block counts: 64x64, 8x8, 256x128 and 8x2048 tiles.
MAP_BLOCKS = [64, 1, 512, 256]
MAX_GAP = 63
RAW, INSIDE, EMPTY, PAST_END = range(4)
INDEX_MOVED, DATA_MOVED, BLOCK_WRITTEN = range(3)


class Input:
    def __init__(self):
        self.tail = bytearray()  # the numbers, in the order they are consumed

    def number(self, value, low, high, width):
        """A number in [low, high] of a type of width bytes, as ConsumeIntegralInRange reads it."""
        span, size = high - low, 0
        while size < width and span >> (8 * size) > 0:
            size += 1
        rest = value - low
        assert 0 <= rest <= span
        self.tail += rest.to_bytes(size, "big") if size else b""

    def u8(self, v): self.number(v, 0, 0xFF, 1)
    def u16(self, v): self.number(v, 0, 0xFFFF, 2)
    def u32(self, v): self.number(v & 0xFFFFFFFF, 0, 0xFFFFFFFF, 4)
    def i8(self, v): self.number(v, -128, 127, 1)

    def bytes(self, data):
        return bytes(data) + bytes(reversed(self.tail))


def seed(flags=0, entries=(), items=(), stop=(INDEX_MOVED, 0), data=b""):
    """entries: (gap, kind, a, b, extra); items: (target, tile, x, y, z, hue)."""
    s = Input()
    blocks = MAP_BLOCKS[(flags >> 5) & 3]
    s.u8(flags)
    s.number(len(entries), 0, 24, 4)
    for gap, kind, a, b, extra in entries:
        s.number(gap, 0, MAX_GAP, 4)
        s.u8(kind)
        s.u32(a)
        s.u32(b)
        s.u32(extra)
    s.number(len(items), 0, 48, 4)
    for target, tile, x, y, z, hue in items:
        s.u8(target)
        s.u16(tile)
        s.number(x, 0, 7, 1)
        s.number(y, 0, 7, 1)
        s.i8(z)
        s.u16(hue)
    s.number(stop[0], 0, 2, 4)
    s.number(stop[1], 0, blocks - 1, 4)
    return s.bytes(data)


# The items go to: target odd -> the last block, even below 64 -> block 0, 64 and up -> the block of
# entry target % len(entries).
DATA = bytes(range(32, 32 + 70))  # ten old records
ITEMS = [(64, 0x4EED, 6, 4, 0, 0x481), (65, 0x4001, 7, 7, -1, 0), (2, 0x4002, 0, 0, 44, 7)]
SEEDS = {
    "merge": seed(entries=[(0, INSIDE, 0, 14, 0x04030201), (40, INSIDE, 14, 21, 0), (0, EMPTY, 1, 0, 0xAABBCCDD),
                           (7, INSIDE, 35, 35, 5)],
                  items=ITEMS, data=DATA),
    "empty_forms": seed(entries=[(3, RAW, 0xFFFFFFFF, 21, 1), (1, RAW, 5, 0, 2), (1, EMPTY, 2, 0, 3),
                                 (1, RAW, 0, 0xFFFFFFFF, 4)],
                        items=ITEMS[:1], data=DATA),
    "past_end": seed(entries=[(0, INSIDE, 0, 7, 0), (9, PAST_END, 63, 0, 0)], items=ITEMS, data=DATA),
    "negative_offset": seed(entries=[(5, RAW, 0xFFFFFFFB, 10, 0)], items=ITEMS, data=DATA),
    "large_block": seed(flags=4, entries=[(0, INSIDE, 0, 120000, 0), (1, INSIDE, 120000, 11000, 9)],
                        items=ITEMS, data=DATA),
    "many_items": seed(flags=8, entries=[(2, INSIDE, 0, 70, 0)], items=ITEMS, data=DATA),
    "short_index": seed(flags=2, entries=[(0, INSIDE, 0, 7, 0)], items=ITEMS, data=DATA),
    "long_index": seed(flags=3, entries=[(0, INSIDE, 0, 7, 0)], items=ITEMS, data=DATA),
    "stop_in_block": seed(flags=16, entries=[(0, INSIDE, 0, 14, 0), (30, INSIDE, 14, 28, 0)], items=ITEMS,
                          stop=(BLOCK_WRITTEN, 31), data=DATA),
    "stop_after_move": seed(flags=16, entries=[(0, INSIDE, 0, 14, 0)], items=ITEMS, stop=(DATA_MOVED, 0),
                            data=DATA),
    "no_data": seed(items=ITEMS),
    "one_block_map": seed(flags=0x20, entries=[(0, INSIDE, 0, 14, 7)], items=ITEMS, data=DATA),
    "wide_map": seed(flags=0x40, entries=[(0, INSIDE, 0, 14, 0), (63, INSIDE, 14, 21, 1), (63, INSIDE, 35, 7, 2)],
                     items=ITEMS, data=DATA),
    "tall_map": seed(flags=0x60 | 16, entries=[(5, INSIDE, 0, 14, 0), (63, INSIDE, 14, 21, 0)], items=ITEMS,
                     stop=(BLOCK_WRITTEN, 200), data=DATA),
}

if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    os.makedirs(sys.argv[1], exist_ok=True)
    # Each situation twice: merged in memory, and frozen on disk (flag bit 7; the flags are the
    # input's last byte).
    for name, data in SEEDS.items():
        for suffix, on_disk in (("", 0), ("_on_disk", 0x80)):
            with open(os.path.join(sys.argv[1], name + suffix), "wb") as f:
                f.write(data[:-1] + bytes([data[-1] | on_disk]))
