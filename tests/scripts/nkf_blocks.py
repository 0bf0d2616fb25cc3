# tests/scripts/nkf_blocks.py -- reading back the display-state blocks of the
# binary NKF files that the viewer sessions export (run_quolin_nkf_*.sh).
import struct

# *PARTATTRIBUTES, *SETTINGS and *ITEMS.
STATE_BLOCKS = (1017, 1018, 1019)
# The main settings record starts after the settings block's six header words.
MAIN = 24


def blocks(name, codes=STATE_BLOCKS):
    """The blocks of those types, by (type, ID): header and data, from the
    header size word on."""
    data = open(name, 'rb').read()
    found, pos = {}, 16
    while pos + 16 <= len(data):
        code, bid, hsize, dsize = struct.unpack_from('<4i', data, pos)
        if code in codes:
            found[(code, bid)] = data[pos + 8:pos + 8 + hsize + dsize]
        pos += 8 + hsize + dsize + 4
    return found


def assert_same_state(a, b):
    """Every block of a is in b with the same bytes; in the settings block the
    view words 98-109 of the main record may differ by 1e-4."""
    for key in a:
        assert key in b, key
        if key != (1018, 1):
            assert a[key] == b[key], key
            continue
        ra, rb = a[key], b[key]
        for n in range(307):
            at = MAIN + 4 * n
            if 98 <= n <= 109:
                va, vb = struct.unpack_from('<f', ra, at)[0], struct.unpack_from('<f', rb, at)[0]
                assert abs(va - vb) <= 1e-4 * max(1.0, abs(va)), (n, va, vb)
            else:
                assert ra[at:at + 4] == rb[at:at + 4], ('main word', n)
        after = MAIN + 4 * 307
        for at in range(after, len(ra), 4):
            assert ra[at:at + 4] == rb[at:at + 4], ('word after the main record', (at - after) // 4)



def same_export(a, b):
    """Whether two exports hold the same blocks, aside from the version
    information (type 1022), which holds the time of writing. As a script:
    nkf_blocks.py A B answers 0 when they do."""
    def body(name):
        data, pos, kept = open(name, 'rb').read(), 16, []
        while pos + 16 <= len(data):
            code, _, hsize, dsize = struct.unpack_from('<4i', data, pos)
            end = pos + 8 + hsize + dsize + 4
            kept += [] if code == 1022 else [data[pos:end]]
            pos = end
        return [data[:16], data[pos:]] + kept
    return body(a) == body(b)


if __name__ == '__main__':
    import sys
    sys.exit(0 if same_export(sys.argv[1], sys.argv[2]) else 1)
