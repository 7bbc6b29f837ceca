#!/usr/bin/python3
"""Checks a town table through dbfread, a reader independent of ours.

usage: check_town_table.py TABLE bundled       the committed table of real towns
       check_town_table.py TABLE synthetic N   a synthetic table of N towns

Prints every failure and exits 1 when there is one.
"""
import math
import os
import re
import sys

from dbfread import DBF

EXPECTED_FIELDS = [
    ('ID', 'N', 10, 0), ('COUNTRY', 'C', 25, 0), ('CITY', 'C', 40, 0),
    ('G_DOLG', 'C', 10, 0), ('G_SHIR', 'C', 10, 0), ('E_DOLG', 'C', 10, 0), ('E_SHIR', 'C', 10, 0),
    ('LON', 'N', 10, 4), ('LAT', 'N', 10, 4), ('ECLLON', 'N', 10, 4), ('ECLLAT', 'N', 10, 4),
]
OBLIQUITY = math.radians(23.4393)

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def ecliptic(lon, lat):
    a, d, e = math.radians(lon), math.radians(lat), OBLIQUITY
    lam = math.degrees(math.atan2(math.sin(a) * math.cos(e) + math.tan(d) * math.sin(e), math.cos(a))) % 360
    beta = math.degrees(math.asin(math.sin(d) * math.cos(e) - math.cos(d) * math.sin(e) * math.sin(a)))
    return lam, beta


def minutes(value):
    return int(math.floor(abs(value) * 60 + 0.5))


def check_layout(path, table):
    with open(path, 'rb') as f:
        raw = f.read()
    check(raw[0] == 0x03, 'version byte %#x, expected 0x03 (dBASE IV)' % raw[0])
    check(raw[29] == 0x26, 'language driver %#x, expected 0x26 (cp866)' % raw[29])
    check(table.encoding == 'cp866', 'dbfread sees the code page %s' % table.encoding)
    check(table.header.headerlen == 385 and table.header.recordlen == 156,
          'header %d / record %d bytes' % (table.header.headerlen, table.header.recordlen))
    fields = [(f.name, f.type, f.length, f.decimal_count) for f in table.fields]
    check(fields == EXPECTED_FIELDS, 'fields %s' % fields)
    n = table.header.numrecords
    check(len(raw) == 385 + 156 * n + 1 and raw[-1] == 0x1A, 'file size or end mark wrong')
    check(raw[384] == 0x0D, 'descriptor terminator missing')
    # Numbers right-aligned with four decimals, texts left-aligned: look at the raw bytes.
    for i in range(min(n, 2000)):
        record = raw[385 + 156 * i: 385 + 156 * (i + 1)]
        check(record[0:1] == b' ', 'record %d is not active' % i)
        check(re.fullmatch(r' *[1-9]\d*', record[1:11].decode('ascii')) is not None, 'ID field %r' % record[1:11])
        for k in range(4):
            number = record[116 + 10 * k: 126 + 10 * k].decode('ascii')
            check(re.fullmatch(r' *-?\d+\.\d{4}', number) is not None, 'number field %r' % number)
        for start, length in ((11, 25), (36, 40)):
            text = record[start:start + length]
            check(text[:1] != b' ' and b'\x00' not in text, 'text field %r' % text)
    return n


def check_records(table):
    ids = set()
    towns = {}
    for r in table:
        where = '%s / %s' % (r['COUNTRY'], r['CITY'])
        check(isinstance(r['ID'], int) and r['ID'] > 0 and r['ID'] not in ids, 'ID %s of %s' % (r['ID'], where))
        ids.add(r['ID'])
        for name in ('COUNTRY', 'CITY'):
            text = r[name]
            check(text and text == text.strip(), 'empty or padded %s of %s' % (name, where))
            try:
                text.encode('cp1251')
            except UnicodeEncodeError:
                check(False, '%s of %s has no Windows-1251 form' % (name, where))
        lon, lat, ecl_lon, ecl_lat = r['LON'], r['LAT'], r['ECLLON'], r['ECLLAT']
        check(0 <= lon < 360 and -90 <= lat <= 90, 'coordinates %s %s of %s' % (lon, lat, where))
        check(0 <= ecl_lon < 360 and -90 <= ecl_lat <= 90, 'ecliptic %s %s of %s' % (ecl_lon, ecl_lat, where))
        lam, beta = ecliptic(lon, lat)
        dlam = abs((lam - ecl_lon + 180) % 360 - 180)
        check(dlam < 2e-4 and abs(beta - ecl_lat) < 2e-4,
              'ecliptic of %s: %s %s, expected %.4f %.4f' % (where, ecl_lon, ecl_lat, lam, beta))

        east = lon if lon <= 180 else lon - 360
        m = re.fullmatch(r'(\d{1,3})([вз])(\d\d)', r['G_DOLG'])
        if check(m is not None, 'G_DOLG %r of %s' % (r['G_DOLG'], where)):
            total = int(m.group(1)) * 60 + int(m.group(3))
            check(total == minutes(east) and int(m.group(3)) < 60, 'G_DOLG %r for %s' % (r['G_DOLG'], lon))
            check(total in (0, 10800) or (m.group(2) == 'з') == (east < 0), 'G_DOLG letter %r' % r['G_DOLG'])
        m = re.fullmatch(r'(\d{1,2})([сю])(\d\d)', r['G_SHIR'])
        if check(m is not None, 'G_SHIR %r of %s' % (r['G_SHIR'], where)):
            total = int(m.group(1)) * 60 + int(m.group(3))
            check(total == minutes(lat), 'G_SHIR %r for %s' % (r['G_SHIR'], lat))
            check(total == 0 or (m.group(2) == 'ю') == (lat < 0), 'G_SHIR letter %r' % r['G_SHIR'])
        m = re.fullmatch(r"(\d{1,3})°(\d\d)'", r['E_DOLG'])
        if check(m is not None, 'E_DOLG %r of %s' % (r['E_DOLG'], where)):
            check(int(m.group(1)) * 60 + int(m.group(2)) == minutes(ecl_lon) % 21600, 'E_DOLG %r' % r['E_DOLG'])
        m = re.fullmatch(r"(-?)(\d{1,2})°(\d\d)'", r['E_SHIR'])
        if check(m is not None, 'E_SHIR %r of %s' % (r['E_SHIR'], where)):
            check(int(m.group(2)) * 60 + int(m.group(3)) == minutes(ecl_lat), 'E_SHIR %r' % r['E_SHIR'])
        towns.setdefault((r['COUNTRY'], r['CITY']), r)
    return ids, towns


def check_town(towns, country, city, lon, lat, g_dolg, g_shir):
    r = towns.get((country, city))
    if not check(r is not None, 'no town %s / %s' % (country, city)):
        return
    check(abs(r['LON'] - lon) < 1e-3 and abs(r['LAT'] - lat) < 1e-3,
          '%s at %s %s, expected %s %s' % (city, r['LON'], r['LAT'], lon, lat))
    check((r['G_DOLG'], r['G_SHIR']) == (g_dolg, g_shir), '%s shown as %s %s' % (city, r['G_DOLG'], r['G_SHIR']))


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    path, mode = sys.argv[1], sys.argv[2]
    table = DBF(path, load=False)
    n = check_layout(path, table)
    ids, towns = check_records(table)
    if mode == 'bundled':
        check(n > 10000, 'only %d towns' % n)
        check(len({c for c, _ in towns}) > 150, 'only %d countries' % len({c for c, _ in towns}))
        check_town(towns, 'Россия', 'Москва', 37.6156, 55.7522, '37в37', '55с45')
        check_town(towns, 'Россия', 'Санкт-Петербург', 30.3141, 59.9386, '30в19', '59с56')
        check_town(towns, 'Австралия', 'Сидней', 151.2073, -33.8679, '151в12', '33ю52')
        check_town(towns, 'США', 'Лос-Анджелес', 241.7563, 34.0522, '118з15', '34с03')
        moscow = towns.get(('Россия', 'Москва'))
        if moscow:
            check((moscow['E_DOLG'], moscow['E_SHIR']) == ("55°18'", "38°27'"),
                  'Moscow ecliptic %s %s' % (moscow['E_DOLG'], moscow['E_SHIR']))
    elif mode == 'synthetic':
        count = int(sys.argv[3])
        check(n == count and ids == set(range(1, count + 1)), 'synthetic ids or count (%d)' % n)
    else:
        print(__doc__)
        return 2
    for f in failures[:40]:
        print('FAIL:', f)
    if failures:
        print('%d failures in %s' % (len(failures), os.path.basename(path)))
        return 1
    print('ok: %d towns in %s' % (n, os.path.basename(path)))
    return 0


if __name__ == '__main__':
    sys.exit(main())
