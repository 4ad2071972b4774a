#!/usr/bin/env python3
"""Writes the seed corpora of the stream and binframe targets: the sentences, replies and
"$BIN" messages the program decodes, a realistic mixed stream, framing edge cases, and
slices of the real receiver captures. Run from the repository root:
    python3 fuzz/seeds.py [bench/data/real-nmea]
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def nmea(body):
    x = 0
    for c in body.encode('latin-1'):
        x ^= c
    return ('$%s*%02X\r\n' % (body, x)).encode('latin-1')


def reply(body):
    return ('$%s\r\n' % body).encode('latin-1')


def binframe(block, data):
    return (b'$BIN' + bytes([block, 0]) + struct.pack('<H', len(data)) + data +
            struct.pack('<H', sum(data) & 0xFFFF) + b'\r\n')


def msg1(week=1400, tow=0.0, lat=-33.5, lon=151.25, height=42.0, mode=2):
    return struct.pack('<BBHdddfffffHH', 5, 9, week, tow, lat, lon, height, 0.1, -0.2,
                       0.05, 0.8, mode, 3)


def msg2():
    return struct.pack('<IIHHHH', 1, 2, 3, 12, 19, 4)


def msg80():
    return struct.pack('<HHI', 122, 1, 0) + b''.join(struct.pack('<I', 0x9A000000 + i)
                                                     for i in range(8))


def pattern(n, seed):
    return bytes(((i * 37 + seed) & 0xFF) for i in range(n))


LAYOUT = {93: 56, 94: 96, 95: 128, 96: 300, 97: 28, 98: 72, 99: 304}


def msg99():
    head = struct.pack('<BBHd', 1, 12, 1400, 302400.5)
    chans = b''
    for ch in range(12):
        chans += struct.pack('<BBBIIB6H', ch + 1, 0, 0, 0x1234, 0x5678, 40 + ch,
                             ch * 10, 1, 2, 3, 4, 5)
    return head + chans + struct.pack('<H', 7) + b'\0\0'


SENTENCES = [
    nmea('GPGGA,123519.50,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,2.0,0000'),
    nmea('GPGGA,235960.99,0000.5,N,17959.9,E,5,4,,,,,,'),
    nmea('GPGGA,0959,48,S,011,W,2,12,,,,,,'),
    nmea('GPGGA,,,,,,,,,,,,,'),
    nmea('GPVTG,054.7,T,034.4,M,005.5,N,010.2,K'),
    nmea('GPVTG,,T,,M,0.0,N,0.0,K'),
    nmea('GPGSV,3,1,10,01,40,083,46,02,17,308,41,03,07,344,39,04,10,200,38'),
    nmea('GPGSV,3,2,10,05,40,083,46,06,17,308,41,07,07,344,39,08,10,200,38'),
    nmea('GPGSV,3,3,10,09,05,010,30,10,80,270,'),
    nmea('GPGSV,4,4,14,21,40,083,46,22,17,308,41,23,07,344,39,24,10,200,38'),
    nmea('GPGST,172814.0,0.006,0.023,0.020,273.6,0.021,0.022,0.031'),
    nmea('GPHDT,725.0,T'),
    nmea('GPROT,12.25,A'),
    nmea('HEHDT,-10.0,T'),
    nmea('HEROT,-3.5,A'),
    nmea('PZLT,HPR,123519.00,231.5,-2.5'),
    nmea('GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1'),
    nmea('GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W'),
    nmea('GPZDA,201530.00,04,07,2002,00,00'),
    nmea('GNGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,'),
    reply('RD1,000041,1910,1557.8450,1,0,0,0,0,0,0,1F2,C004'),
    reply('RD1,000041,1910,1557.8450,1,120-340,0,0,0,0,0,1F2,C004'),
    reply('RD1,000041,1910,1557.8450,1,,0,0,0,0'),
    reply('>JI,311689,1,7,26031,01/01/1900,A1B04,MFA 3.6Ac,'),
    reply('>JI,42,2,3,4,5,00,APPLICATION-FIRMWARE-TEXT,DSP'),
    reply('>JSHOW,BAUD,115200,PORTC'),
    reply('>JSHOW,ASC,GPGGA,0.2'),
    reply('>JSHOW,ASC,GPGSV,0.2,OTHER'),
    reply('>JSHOW,BIN,96,10,OTHER'),
    reply('>JSHOW,FREQ,1545.0'),
    reply('>JSHOW,MASK,10'),
    reply('>JSHOW,AGE,60'),
    reply('>JRTK,1,51.0123456,-114.5,1048.25'),
    reply('>JRTK,6,OK,3'),
    reply('>JGEO,Sent,FREQ=1575.4200,PRN=122,LON=-15.5,EL=30.2,AZ=200.1'),
    reply('>JGEO,Sent,FREQ=1545.0,PRN,LON,EL=2,AZ'),
    reply('>JOMS,1,2,3,4,01/02/2024,31/12/2025,86400'),
    reply('>JDIFF,BEACON'),
    reply('> JBAUD,19200'),
    reply('>JAPP,WAAS,SUBSEA7'),
    reply('>JRAD,1,FAILED,Not Subscribed for AUTODIFF'),
    reply('>JRAD,2,OK'),
    reply('>JRAD,3,BUSY'),
    reply('>JATT,ROLL,NO'),
    reply('>JATT,GYROAID,YES'),
    reply('>JATT,HTAU,1.5'),
    reply('>JATT,HBIAS,-1.25'),
    reply('>PKRV,Version,P022-0.001'),
    reply('PKRV,HELP'),
    reply('PKRV,BAUD,9600'),
    reply('PKRV,8,QERVAD'),
    reply('PKRV,8,QERVAD,FULL'),
    reply('PKRV,CS0,ON,1,314.0,100,42,18'),
    reply('PKRV,CS1,ON,1,314.0,100,42,18'),
    reply('PKRV,STATUS,CS'),
    reply('PKRV,SETUP,SET,DMS,FEET,KNOTS,-5,AUTO,5'),
    reply('PKRV,SETUP,INTRO,Top line of the intro,Bottom'),
    reply('PKRV,SETUP,SHOW'),
    reply('PKRV,SETUP,MUX,ON'),
    b'$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,*ZZ\r\n',
    b'$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,*\r\n',
]

BINS = [binframe(1, msg1()), binframe(1, msg1(week=2300, tow=-5.0, lat=89.9999, lon=-179.5)),
        binframe(2, msg2()), binframe(80, msg80()), binframe(99, msg99()),
        binframe(3, pattern(20, 3)), binframe(99, pattern(8, 1))]
BINS += [binframe(t, pattern(n, t)) for t, n in sorted(LAYOUT.items())]


def mixed_second(n):
    """One second of a 20 Hz receiver: position, velocity, heading, accuracy and message 1
    at 20 Hz; satellites, L-band, DOP and channel data once."""
    out = b''
    for tick in range(20):
        t = '1235%02d.%02d' % (n % 60, tick * 5)
        out += nmea('GPGGA,%s,4807.0381,N,01131.0002,E,2,08,0.9,545.4,M,46.9,M,3.0,0122' % t)
        out += nmea('GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,D')
        out += nmea('GPHDT,%d.5,T' % (tick * 17 % 360))
        out += nmea('GPGST,%s,0.006,0.023,0.020,273.6,0.021,0.022,0.031' % t)
        out += binframe(1, msg1(tow=302400.0 + n + tick / 20.0))
    out += SENTENCES[6] + SENTENCES[7] + SENTENCES[8]
    out += SENTENCES[20] + binframe(2, msg2()) + binframe(99, msg99())
    out += reply('>JSHOW,BAUD,115200,PORTC')
    return out


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


def main():
    real = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, '..', 'bench', 'data',
                                                             'real-nmea')
    stream = os.path.join(HERE, 'corpus', 'stream')
    binf = os.path.join(HERE, 'corpus', 'binframe')

    # Stream: option byte (logs, read size), then bytes.
    for i, s in enumerate(SENTENCES):
        write(stream, 'sentence-%02d' % i, bytes([0x0F]) + s)
    for i, b in enumerate(BINS):
        write(stream, 'bin-%02d' % i, bytes([0x0F]) + b)
    write(stream, 'mixed-whole', bytes([0x0F]) + mixed_second(1))
    write(stream, 'mixed-split7', bytes([0x7F]) + mixed_second(2))
    write(stream, 'mixed-split1', bytes([0x10]) + mixed_second(3)[:1500])
    body = 'GPZDA,' + 'x' * 406
    edge = [
        b'noise before$GPZDA,201530.00,04,07,2002,00,00*6E\r\n',
        b'$GPGGA,1$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K\r\n',
        nmea(body), nmea(body + 'y'),
        b'$' + b'A' * 500 + b'\r\n' + nmea('GPHDT,12.0,T'),
        binframe(1, msg1())[:-2] + b'\r\n\r\n',
        b'$BIN\x01\x00\x00\x10' + b'\r\n' * 8 + nmea('GPHDT,12.0,T'),
        b'$BIN\x01\x00\xff\xff' + nmea('GPHDT,12.0,T'),
        b'OK\r\n', b'\0OK',
    ]
    framing = os.path.join(HERE, 'corpus', 'framing')
    for i, e in enumerate(edge):
        write(stream, 'edge-%02d' % i, bytes([0x0F]) + e)
        write(framing, 'edge-%02d' % i, bytes([i * 7]) + e)
    write(framing, 'mixed', bytes([0x3F]) + mixed_second(4))
    for i, b in enumerate(BINS):
        write(framing, 'bin-%02d' % i, bytes([0x02]) + b)
    for name in sorted(os.listdir(real)):
        if not name.endswith('.log'):
            continue
        with open(os.path.join(real, name), 'rb') as f:
            data = f.read()
        stem = name[:-4]
        write(stream, 'real-%s-head' % stem, bytes([0x00]) + data[:3000])
        mid = len(data) // 2
        write(stream, 'real-%s-mid' % stem, bytes([0x30]) + data[mid:mid + 3000])
        # The same receiver as a "$GP" talker, so the standard decoders see its numbers.
        gp = []
        for line in data[:6000].split(b'\r\n'):
            if line.startswith(b'$') and b'*' in line and len(line) > 4:
                body = line[1:line.index(b'*')]
                body = b'GP' + body[2:] if body[:2] in (b'GN', b'GL', b'GA', b'BD') else body
                gp.append(nmea(body.decode('latin-1')))
        write(stream, 'real-%s-gp' % stem, bytes([0x01]) + b''.join(gp)[:3000])

    # Binary frames: option bit 0 set: block ID and data of a frame made valid.
    for i, b in enumerate(BINS):
        write(binf, 'frame-%02d' % i, bytes([0x00]) + b)
        write(binf, 'made-%02d' % i, bytes([0x01]) + b[4:5] + b[8:-4])
    write(binf, 'made-short99', bytes([0x01, 99]) + pattern(8, 2))
    write(binf, 'made-short1', bytes([0x01, 1]) + pattern(8, 2))
    write(binf, 'badsum', bytes([0x00]) + binframe(1, msg1())[:-4] + b'\0\0\r\n')


if __name__ == '__main__':
    main()
