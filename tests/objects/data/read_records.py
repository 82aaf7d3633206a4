#!/usr/bin/python3
# An independent reader of binary property records: prints one line per
# record, "name=value", with lists and collections in brackets.
import struct
import sys

data = open(sys.argv[1], 'rb').read()
pos = 0

def take(n):
    global pos
    if pos + n > len(data):
        raise SystemExit('truncated')
    b = data[pos:pos + n]
    pos += n
    return b

def short():
    return take(take(1)[0]).decode('cp1250')

def extended(b):
    mant, top = struct.unpack('<QH', b)
    exp = top & 0x7FFF
    sign = -1 if top & 0x8000 else 1
    if exp == 0 and mant == 0:
        return 0.0 * sign
    return sign * mant * 2.0 ** (exp - 16383 - 63)

def value():
    tag = take(1)[0]
    if tag == 0: return 'Null'
    if tag == 1:
        items = []
        while data[pos] != 0:
            items.append(value())
        take(1)
        return '(' + ','.join(items) + ')'
    if tag == 2: return str(struct.unpack('<b', take(1))[0])
    if tag == 3: return str(struct.unpack('<h', take(2))[0])
    if tag == 4: return str(struct.unpack('<i', take(4))[0])
    if tag == 5: return repr(extended(take(10)))
    if tag == 6: return '"' + short() + '"'
    if tag == 7: return short()
    if tag == 8: return 'False'
    if tag == 9: return 'True'
    if tag == 10: return 'bin:' + take(struct.unpack('<i', take(4))[0]).hex()
    if tag == 11:
        names = []
        while True:
            n = short()
            if not n: break
            names.append(n)
        return '[' + ','.join(names) + ']'
    if tag == 12: return 'L"' + take(struct.unpack('<i', take(4))[0]).decode('cp1250') + '"'
    if tag == 13: return 'nil'
    if tag == 14:
        items = []
        while data[pos] != 0:
            assert take(1)[0] == 1
            props = []
            while data[pos] != 0:
                props.append(short() + '=' + value())
            take(1)
            items.append('<' + ' '.join(props) + '>')
        take(1)
        return '{' + ''.join(items) + '}'
    if tag == 18: return 'W"' + take(struct.unpack('<i', take(4))[0] * 2).decode('utf-16-le') + '"'
    if tag == 19: return str(struct.unpack('<q', take(8))[0])
    raise SystemExit('unknown tag %d' % tag)

out = []
while pos < len(data):
    out.append(short() + '=' + value())
sys.stdout.buffer.write(('\n'.join(out) + '\n').encode('utf-8'))
