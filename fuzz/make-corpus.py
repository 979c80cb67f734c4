#!/usr/bin/python3
"""Writes the seed corpora of the fuzz targets: fuzz/corpus/link (gateway
answers of every request tag the program routes, behind the eight bytes of
monitor state) and fuzz/corpus/files (settings files and conversion tables
as the program writes and reads them). Run from anywhere; files named
regress-* (inputs of mended faults) are left alone."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def frame(tag, function, data, unit=1, protocol=0):
    """One Modbus/TCP answer: transaction id = tag, then 0 (the high byte)."""
    pdu = bytes([unit, function]) + data
    return bytes([tag, 0]) + struct.pack('>HH', protocol, len(pdu)) + pdu


def read_answer(tag, regs, function=4):
    return frame(tag, function, bytes([2 * len(regs)]) + b''.join(struct.pack('>H', r & 0xFFFF) for r in regs))


def header(page=0, dtype=0, fmt=0, swap=0, log=1, autosave=1, interval=1,
           area=1, bitdata=0, rm2=0, word=0, headmode=1, tspage=0, crc=0, term=0, cut=3):
    # header mode m (-2..5) is stored as m + 2 in bits 6-7 of byte 4 (high) and byte 5 (low)
    hm = (headmode + 2) & 7
    return bytes([
        page, dtype, fmt,
        (swap & 1) | (log & 1) << 1 | (autosave & 1) << 2 | ((interval - 1) & 7) << 3,
        (area & 15) | (bitdata & 1) << 4 | (rm2 & 1) << 5 | ((hm >> 2) & 1) << 6,
        (word & 63) | (hm & 3) << 6,
        (tspage & 15) | (crc & 1) << 4 | (term & 7) << 5,
        cut & 3,
    ])


def ramp(n, start=0, step=0x1111):
    return [(start + i * step) & 0xFFFF for i in range(n)]


def link_seeds():
    s = {}
    # 0: the monitor window, every data type and format on the word page
    for dtype in range(6):
        for fmt in range(4):
            s[f'monitor-t{dtype}-f{fmt}'] = header(dtype=dtype, fmt=fmt) + read_answer(0, ramp(8)) + read_answer(20, ramp(4, 0x8001))
    s['monitor-holding-64'] = header(area=5) + read_answer(0, ramp(64), function=3)
    s['monitor-bit-page'] = header(page=1) + read_answer(0, [0x5A5A, 0xFFFF]) + read_answer(20, [1, 2, 3, 4])
    s['monitor-d2-page'] = header(page=2, bitdata=1) + read_answer(0, ramp(3)) + read_answer(20, [0, 0, 0, 0])
    s['monitor-swap-real'] = header(dtype=2, swap=1, fmt=2) + read_answer(0, [0x4120, 0, 0x7FC0, 0, 0x7F80, 0, 0xFF80, 0])
    s['monitor-autosave-5'] = header(interval=5, headmode=3) + b''.join(read_answer(0, ramp(3, i)) for i in range(11))
    s['monitor-bytes-cut'] = header(cut=0) + read_answer(0, ramp(4)) * 3
    # 1-3: module information
    s['modinfo'] = header() + read_answer(1, ramp(16, 0x0102, 0x0203)) + read_answer(2, [0x0100]) + read_answer(3, [0x0012])
    s['modinfo-rm2'] = header(rm2=1) + read_answer(1, ramp(16)) + read_answer(2, [0]) + read_answer(3, [0x00FF])
    # 4: the gateway clock (7 bytes from 4 registers)
    s['clock'] = header() + read_answer(4, [0x2026, 0x1208, 0x0102, 0x0304])
    s['clock-short'] = header() + read_answer(4, [0x2026])
    # 5: terminal settings, every page
    for page in range(8):
        s[f'termset-p{page}'] = header(tspage=page, crc=page & 1) + read_answer(5, ramp(32, 1, 0x0101))
    # 10-14: counter read-back
    s['counter-16'] = header() + read_answer(10, ramp(8))
    for tag in (11, 12, 13, 14):
        s[f'counter-{tag}'] = header(swap=tag & 1) + read_answer(tag, ramp(32, 0x10, 0x0F0F))
    # 254: write echoes (single register and two registers), and a coil echo
    s['write-echo'] = header() + frame(254, 6, struct.pack('>HH', 1202, 1)) + frame(254, 16, struct.pack('>HH', 1200, 2)) + frame(254, 5, struct.pack('>HH', 0, 0xFF00))
    # exceptions of reads and writes
    s['exceptions'] = header() + frame(0, 0x84, b'\x02') + frame(5, 0x84, b'\x0B') + frame(254, 0x86, b'\x04') + frame(1, 0x84, b'')
    # garbage: another protocol, a length past the largest frame, then an answer
    s['garbage'] = header() + frame(0, 4, b'\x02\x00\x01', protocol=7) + read_answer(0, [1])
    s['garbage-length'] = header() + b'\x00\x00\x00\x00\xFF\xFF\x01\x04' + read_answer(20, [1, 2, 3, 4])
    s['other-unit'] = header() + frame(0, 4, b'\x02\x12\x34', unit=9)
    s['byte-count-lies'] = header() + frame(0, 4, b'\xFA\x00\x01') + frame(20, 4, b'\x00')
    return s


def files_seeds():
    crlf = '\r\n'
    ini = crlf.join([
        '[WINDOW]', 'Top=50', 'Left=100',
        '[MODBUS]', 'host=127.0.0.1', 'port=502',
        '[FTP]', 'host=127.0.0.1', 'port=21', 'user=relaymo', 'pass=qzvx',
        '[LOG]', 'header=1', 'datatype=1', 'ratio=1', 'dir=/tmp/',
        '[ADDRESS]', 'w0=12', 'b0=34',
        '[TERM]', 'type=3', '[Wattor]', 'type=2', '[DATA32]', 'swap=1', '']).encode()
    odd = b'; comment\n[log]\nHEADER = "3"\n[LOG]\nheader=9\n datatype = -1 \nratio=\'7\'\n[ADDRESS\nw0=99999999999\n[DATA32]\nswap\n'
    table = crlf.join(['# number, gain, offset', '1, 0.1, 0', '2, 1.5, -10', '9, 1e3, 0.25',
                       '"10", "2", "3"', '512, -0.5, 100', '513, 1, 1', '']).encode()
    table_bad = b'1, 0.1, 0\n2, x, 0\n3, 1, 1\n'
    table_edges = b'1,3.4e38,3.4e38\n2,-3.4e38,0\n3,1e-45,0\n4,0,-3.4e38\n'
    return {'settings': ini, 'settings-odd': odd, 'table': table, 'table-bad-line': table_bad,
            'table-edges': table_edges, 'empty': b''}


def write(folder, seeds):
    path = os.path.join(HERE, 'corpus', folder)
    os.makedirs(path, exist_ok=True)
    for name in os.listdir(path):
        if not name.startswith('regress-'):
            os.remove(os.path.join(path, name))
    for name, data in seeds.items():
        with open(os.path.join(path, name), 'wb') as f:
            f.write(data)


write('link', link_seeds())
write('files', files_seeds())
