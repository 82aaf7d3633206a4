#!/usr/bin/python3
# Writes records.bin: property records of TTestObject laid out by hand from
# the binary property format (name as a short string, then a tagged value).
import struct

def short(s):
    b = s.encode('cp1250')
    return bytes([len(b)]) + b

def rec(name, value):
    return short(name) + value

def int8(v): return b'\x02' + struct.pack('<b', v)
def int16(v): return b'\x03' + struct.pack('<h', v)
def int32(v): return b'\x04' + struct.pack('<i', v)
def ident(s): return b'\x07' + short(s)
def string(s): return b'\x06' + short(s)
def lstring(s):
    b = s.encode('cp1250')
    return b'\x0c' + struct.pack('<i', len(b)) + b
def wstring(s):
    b = s.encode('utf-16-le')
    return b'\x12' + struct.pack('<i', len(b) // 2) + b
def binary(b): return b'\x0a' + struct.pack('<i', len(b)) + b
def sett(*names): return b'\x0b' + b''.join(short(n) for n in names) + b'\x00'
# 2.5 as an 80-bit extended: mantissa 0xA000000000000000, exponent 16384
ext_2_5 = b'\x05' + struct.pack('<QH', 0xA000000000000000, 0x4000)

data = b''.join([
    rec('IntValue', int8(-5)),
    rec('BigValue', int32(70000)),
    rec('ByteValue', int16(200)),
    rec('CharValue', string('x')),
    rec('Flag', b'\x08'),
    rec('Kind', ident('tkdOdd')),
    rec('Options', sett('toBold', 'toUnder')),
    rec('Ratio', ext_2_5),
    rec('Text', string('Žluťoučký kůň')),
    rec('Caption', lstring('L' * 300)),
    rec('Wide', wstring('Ωμέγα')),
    rec('Value', b'\x09'),
    rec('Sub.Size', int16(300)),
    rec('Sub.Name', string('Tahoma')),
    rec('Link', b'\x0d'),
    rec('Lines', b'\x01' + string('first') + lstring('second') + b'\x00'),
    rec('Blob', binary(b'\x00\x01\xfe\xff')),
    rec('Items', b'\x0e'
        + b'\x01' + rec('Label', string('one')) + rec('Weight', int8(1)) + b'\x00'
        + int8(7) + b'\x01' + rec('Label', wstring('dvě')) + b'\x00'
        + b'\x00'),
])
with open('records.bin', 'wb') as f:
    f.write(data)
