#!/usr/bin/env python3
"""Writes the five stand-in S19 resources into resources/.

The images have the exact form of the radio's own files (record counts, record lengths,
address ranges, header, line ends) but carry generated 68HC08 filler instead of the radio's
code. Each firmware image carries a date code of its own at 0xFDFC..0xFDFF, so that a radio
patched with it reads afterwards as not needing the patch. The output is the same on every
run: every random choice comes from a generator with a fixed seed.

Usage: tools/make_resources.py [output-dir]   (default: resources/ beside tools/)
"""

import os
import random
import sys

SEED = 0x5A19

# Date codes of the stand-in firmware, bytes b0..b3 (DOS date word, DOS time word, each most
# significant byte first). They must match image/stand_in_date_codes.h and contain no 0x00.
CONTROL_HEAD_DATE = (2002, 3, 14, 10, 21, 34)
CORE_DATE = (2002, 2, 20, 14, 37, 46)


def date_code_bytes(year, month, day, hour, minute, second):
    b0 = ((year - 1980) << 1) | (month >> 3)
    b1 = ((month & 7) << 5) | day
    b2 = (hour << 3) | (minute >> 3)
    b3 = ((minute & 7) << 5) | (second // 2)
    code = bytes([b0, b1, b2, b3])
    assert 0 not in code
    return code


# --- 68HC08 filler -------------------------------------------------------------------------

INHERENT = [0x9D, 0x4C, 0x4A, 0x5C, 0x5A, 0x4F, 0x97, 0x9F, 0x87, 0x86, 0x8B, 0x8A, 0x48,
            0x44, 0x81]
IMMEDIATE = [0xA6, 0xAE, 0xA1, 0xA4, 0xAA, 0xAB]
DIRECT = [0xB6, 0xB7, 0xBE, 0xBF, 0x3C, 0x3F]
EXTENDED = [0xC6, 0xC7, 0xCD, 0xCC]
RELATIVE = [0x26, 0x27, 0x20, 0xAD]
NOP = 0x9D


def instruction(rng, targets):
    """One instruction with plausible operands; targets is the address range of the code."""
    kind = rng.choice(("inh", "imm", "dir", "ext", "rel", "bit", "brbit"))
    if kind == "inh":
        return [rng.choice(INHERENT)]
    if kind == "imm":
        return [rng.choice(IMMEDIATE), rng.randrange(0x100)]
    if kind == "dir":
        return [rng.choice(DIRECT), rng.randrange(0x40, 0x100)]
    if kind == "ext":
        address = rng.randrange(*targets)
        return [rng.choice(EXTENDED), address >> 8, address & 0xFF]
    if kind == "rel":
        return [rng.choice(RELATIVE), rng.randrange(0x100)]
    if kind == "bit":  # BSET n / BCLR n on a direct-page byte
        return [0x10 + rng.randrange(16), rng.randrange(0x40, 0x100)]
    # BRSET n / BRCLR n: direct-page byte, then a branch offset
    return [rng.randrange(16), rng.randrange(0x40, 0x100), rng.randrange(0x100)]


def code(rng, length, targets, prologue=()):
    """length bytes of instructions, starting with prologue, padded with NOP at the end."""
    out = list(prologue)
    while len(out) < length:
        op = instruction(rng, targets)
        if len(out) + len(op) > length:
            op = [NOP] * (length - len(out))
        out += op
    return out[:length]


def stack_setup(top):
    # LDHX #top; TXS: the stack pointer goes to top - 1.
    return [0x45, top >> 8, top & 0xFF, 0x94]


# --- S-record text -------------------------------------------------------------------------


def record(kind, address, data):
    count = len(data) + 3
    body = bytes([count, address >> 8, address & 0xFF]) + bytes(data)
    checksum = (~sum(body)) & 0xFF
    return "S%d%s%02X\r\n" % (kind, body.hex().upper(), checksum)


def end_record():
    return record(9, 0x0000, b"")


def runs_of_16(start, data):
    """Records of 16 bytes in ascending order; the last one of the run may be shorter."""
    return [(start + i, data[i:i + 16]) for i in range(0, len(data), 16)]


def ram_program(rng, runs):
    """A RAM program: a data block below 0x00FE (optional) and code starting at 0x0100."""
    records = []
    for start, length in runs:
        if start == 0x0100:
            data = code(rng, length, (0x0100, 0x0100 + length), stack_setup(0x0240))
        else:
            data = [rng.randrange(0x100) for _ in range(length)]
        records += runs_of_16(start, data)
    return "".join(record(1, a, d) for a, d in records) + end_record()


def split_lengths(rng, total, long_count, single_count, other_count):
    """Record lengths for one code run: long_count of 32 bytes, single_count of 1 byte and
    other_count of 2 to 31 bytes, adding up to total, in a shuffled order."""
    others = [2] * other_count
    spare = total - 32 * long_count - single_count - 2 * other_count
    assert 0 <= spare <= 29 * other_count
    while spare:
        i = rng.randrange(other_count)
        if others[i] < 31:
            others[i] += 1
            spare -= 1
    lengths = [32] * long_count + [1] * single_count + others
    rng.shuffle(lengths)
    return lengths


def firmware(rng, header, code_start, code_end, date_code, vectors, long_count, single_count,
             other_count):
    """A firmware image: one code run, the date code, and the vectors (each range is split
    into 2-byte vectors pointing into the code); records in shuffled order after the S0."""
    length = code_end - code_start + 1
    body = code(rng, length, (code_start, code_end + 1), stack_setup(0x0240))
    records = []
    address = code_start
    for n in split_lengths(rng, length, long_count, single_count, other_count):
        records.append((address, body[address - code_start:address - code_start + n]))
        address += n
    assert address == code_end + 1
    records.append((0xFDFC, list(date_code)))
    for first, last in vectors:
        for address in range(first, last + 1, 2):
            target = code_start if address == 0xFFFE else rng.randrange(code_start, code_end)
            records.append((address, [target >> 8, target & 0xFF]))
    rng.shuffle(records)
    return (record(0, 0x0000, header.encode("ascii")) +
            "".join(record(1, a, d) for a, d in records) + end_record())


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources")
    rng = random.Random(SEED)
    texts = {
        "ctlflash.s19": ram_program(rng, [(0x0086, 75), (0x0100, 291)]),
        "corflash.s19": ram_program(rng, [(0x0086, 81), (0x0100, 247)]),
        "talkthru.s19": ram_program(rng, [(0x0100, 160)]),
        "ctlfirm.s19": firmware(
            rng, "TAVCTRL_R0207.OBJ", 0xB100, 0xE2A2, date_code_bytes(*CONTROL_HEAD_DATE),
            [(0xFFDC, 0xFFDD), (0xFFE4, 0xFFE5), (0xFFEC, 0xFFF1), (0xFFFC, 0xFFFF)],
            302, 766, 201),
        "corfirm.s19": firmware(
            rng, "TAVCORE_R02.OBJ", 0xB000, 0xC22E, date_code_bytes(*CORE_DATE),
            [(0xFFE0, 0xFFE5), (0xFFEE, 0xFFEF), (0xFFF2, 0xFFF3), (0xFFF6, 0xFFF7),
             (0xFFFE, 0xFFFF)], 120, 49, 70),
    }
    for name, text in texts.items():
        with open(os.path.join(out_dir, name), "w", newline="") as f:
            f.write(text)


if __name__ == "__main__":
    main()
