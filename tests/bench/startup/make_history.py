#!/usr/bin/env python3
"""Writes an "Exercicio.xml" of N records, byte for byte as the program saves one: the XML data
packet on one line, every row appended by the program (RowState 4) and a change log of N
insertions. Records run one every few minutes backwards from 2026, over a class's years.

Usage: make_history.py N FILE
"""
import datetime
import sys

HEAD = (
    '<?xml version="1.0" standalone="yes"?>  <DATAPACKET Version="2.0"><METADATA><FIELDS>'
    '<FIELD attrname="licao" fieldtype="i4"/><FIELD attrname="data" fieldtype="dateTime"/>'
    '<FIELD attrname="erros" fieldtype="i4"/><FIELD attrname="inicio" fieldtype="dateTime"/>'
    '<FIELD attrname="fim" fieldtype="dateTime"/><FIELD attrname="tempo" fieldtype="dateTime"/>'
    '</FIELDS>'
)
DURATION_DAY = '18991230'
DAY_MS = 24 * 3600 * 1000


def stamp(day: str, ms_of_day: int) -> str:
    """A dateTime value: the date, then T, hours, minutes and seconds x 1000 + milliseconds."""
    if ms_of_day == 0:
        return day
    seconds = ms_of_day // 1000
    return '%sT%02d:%02d:%05d' % (day, seconds // 3600, seconds // 60 % 60, ms_of_day % 60000)


def duration(seconds: int) -> str:
    return stamp(DURATION_DAY, seconds * 1000)


def rows(count: int):
    # Times are whole milliseconds from the first day's midnight; a day's text is made once.
    last_day = datetime.date(2026, 11, 30)
    first_day = last_day - datetime.timedelta(days=count * 7 // (24 * 60) + 1)
    finish_ms = (last_day - first_day).days * DAY_MS + 17 * 3600 * 1000
    day_texts = {}

    def at(ms: int) -> str:
        day, ms_of_day = divmod(ms, DAY_MS)
        if day not in day_texts:
            day_texts[day] = (first_day + datetime.timedelta(days=day)).strftime('%Y%m%d')
        return stamp(day_texts[day], ms_of_day)

    for i in range(count):
        lesson = i % 192 + 1
        seconds = 40 + (i * 37) % 400
        end = finish_ms - 7 * 60000 * (count - i)
        begin = end - seconds * 1000
        saved = end + (i * 13) % 1000
        yield ('<ROW RowState="4" licao="%d" data="%s" erros="%d" inicio="%s" fim="%s" tempo="%s"/>'
               % (lesson, at(saved), (i * 7) % 23, at(begin), at(end), duration(seconds)))


def write_history(count: int, path: str) -> None:
    with open(path, 'w', encoding='ascii', newline='') as out:
        out.write(HEAD)
        if count:
            out.write('<PARAMS CHANGE_LOG="')
            out.write(' '.join('%d 0 4' % (n + 1) for n in range(count)))
            out.write('"/>')
        else:
            out.write('<PARAMS/>')
        out.write('</METADATA><ROWDATA>')
        for row in rows(count):
            out.write(row)
        out.write('</ROWDATA></DATAPACKET>')


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    write_history(int(sys.argv[1]), sys.argv[2])
