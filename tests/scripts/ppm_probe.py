#!/usr/bin/env python3
# tests/scripts/ppm_probe.py OP IMAGE... -- reads binary PPM images (P6, with
# comment lines) for the scripts that run the viewer; y counts from the top.
#   pixel IMAGE X Y             prints "r g b"
#   near IMAGE X Y R G B        status 0 when each channel is within 64
#   count IMAGE R G B           prints the number of pixels of that colour
#   nearcount IMAGE R G B       prints the number of pixels within 64 of that
#                               colour in each channel
#   differ A B X0 Y0 X1 Y1      prints the number of pixels of the rectangle
#                               that differ between the two images
#   extent IMAGE R G B          prints "x0 y0 x1 y1", the box of the pixels
#                               within 64 of that colour in each channel
#                               ("none" when there are none)
import sys


def load(name):
    data = open(name, 'rb').read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def at(img, x, y):
    w, _, px = img
    o = 3 * (y * w + x)
    return tuple(px[o:o + 3])


op, args = sys.argv[1], sys.argv[2:]
if op == 'pixel':
    print(*at(load(args[0]), int(args[1]), int(args[2])))
elif op == 'near':
    p = at(load(args[0]), int(args[1]), int(args[2]))
    sys.exit(0 if all(abs(p[k] - int(args[3 + k])) <= 64 for k in range(3)) else 1)
elif op == 'count':
    img = load(args[0])
    c = tuple(int(v) for v in args[1:4])
    print(sum(at(img, x, y) == c for y in range(img[1]) for x in range(img[0])))
elif op == 'nearcount':
    img = load(args[0])
    c = tuple(int(v) for v in args[1:4])
    print(sum(all(abs(p[k] - c[k]) <= 64 for k in range(3))
              for p in (at(img, x, y) for y in range(img[1]) for x in range(img[0]))))
elif op == 'differ':
    a, b = load(args[0]), load(args[1])
    x0, y0, x1, y1 = [int(v) for v in args[2:6]]
    print(sum(at(a, x, y) != at(b, x, y) for y in range(y0, y1) for x in range(x0, x1)))
elif op == 'extent':
    img = load(args[0])
    c = tuple(int(v) for v in args[1:4])
    xs, ys = [], []
    for y in range(img[1]):
        for x in range(img[0]):
            p = at(img, x, y)
            if all(abs(p[k] - c[k]) <= 64 for k in range(3)):
                xs.append(x)
                ys.append(y)
    print(*(min(xs), min(ys), max(xs), max(ys)) if xs else ['none'])
else:
    sys.exit('unknown operation ' + op)
