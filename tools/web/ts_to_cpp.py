#!/usr/bin/env python3
"""Writes the Japanese messages of a Qt Linguist .ts file as a C++ table for
the web backend, which has no Qt to load them:
    ts_to_cpp.py IN.ts OUT.cpp [CONTEXT...]
The CONTEXTs named are left out: the words of programs that never run in the
page (the checker, the command line), which would only weigh on its
download."""
import sys
import xml.etree.ElementTree as ET


def literal(text):
    out = []
    for ch in text.encode('utf-8'):
        if ch in (0x22, 0x5C) or ch < 0x20 or ch >= 0x7F:
            out.append('\\%03o' % ch)
        else:
            out.append(chr(ch))
    return '"' + ''.join(out) + '"'


def main():
    source, target, left_out = sys.argv[1], sys.argv[2], set(sys.argv[3:])
    rows = []
    for context in ET.parse(source).getroot().iter('context'):
        name = context.findtext('name')
        if name in left_out:
            continue
        for message in context.iter('message'):
            translation = message.find('translation')
            if translation is None or translation.get('type') in ('unfinished', 'obsolete', 'vanished'):
                continue
            rows.append((name, message.findtext('source'), translation.text or ''))
    rows.sort()
    with open(target, 'w', encoding='utf-8') as out:
        out.write('// Written by tools/web/ts_to_cpp.py from %s; do not edit.\n' % source.split('/')[-1])
        out.write('#include "platform/web/system/Messages.h"\n\n')
        out.write('namespace platform {\n\nconst Message kJapaneseMessages[] = {\n')
        for context, text, translation in rows:
            out.write('    {%s, %s, %s},\n' % (literal(context), literal(text), literal(translation)))
        out.write('};\nconst std::size_t kJapaneseMessageCount = %d;\n\n}  // namespace platform\n' % len(rows))


if __name__ == '__main__':
    main()
