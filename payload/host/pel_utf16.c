/* Turns a UTF-8 text file into the form the installer carries its texts in:
 * UTF-16LE with the byte-order mark FF FE and CR LF line ends, no terminating
 * NUL. A UTF-8 byte-order mark at the start is dropped; lines already ending in
 * CR LF keep it. Malformed UTF-8 is refused.
 *
 *   pel_utf16 INPUT OUTPUT */
#include <errno.h>
#include <stdio.h>
#include <string.h>

static int PutUnit(FILE* out, unsigned unit) {
    return putc((int)(unit & 0xFF), out) != EOF && putc((int)(unit >> 8), out) != EOF;
}

static int PutCodePoint(FILE* out, unsigned long cp) {
    if (cp < 0x10000)
        return PutUnit(out, (unsigned)cp);
    cp -= 0x10000;
    return PutUnit(out, (unsigned)(0xD800 + (cp >> 10))) &&
           PutUnit(out, (unsigned)(0xDC00 + (cp & 0x3FF)));
}

/* Reads one code point; 0 at the end, -1 on malformed input. */
static int ReadCodePoint(FILE* in, unsigned long* cp) {
    int c = getc(in);
    int extra, i;
    unsigned long value, min;
    if (c == EOF)
        return 0;
    if (c < 0x80) {
        *cp = (unsigned long)c;
        return 1;
    }
    if ((c & 0xE0) == 0xC0) {
        extra = 1, value = (unsigned long)(c & 0x1F), min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2, value = (unsigned long)(c & 0x0F), min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3, value = (unsigned long)(c & 0x07), min = 0x10000;
    } else {
        return -1;
    }
    for (i = 0; i < extra; ++i) {
        c = getc(in);
        if (c == EOF || (c & 0xC0) != 0x80)
            return -1;
        value = (value << 6) | (unsigned long)(c & 0x3F);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return -1;
    *cp = value;
    return 1;
}

int main(int argc, char** argv) {
    FILE* in;
    FILE* out;
    unsigned long cp, previous = 0;
    int r, ok = 1, first = 1;

    if (argc != 3) {
        fprintf(stderr, "usage: pel_utf16 INPUT OUTPUT\n");
        return 2;
    }
    in = fopen(argv[1], "rb");
    if (!in) {
        fprintf(stderr, "pel_utf16: cannot open %s: %s\n", argv[1], strerror(errno));
        return 1;
    }
    out = fopen(argv[2], "wb");
    if (!out) {
        fprintf(stderr, "pel_utf16: cannot create %s: %s\n", argv[2], strerror(errno));
        fclose(in);
        return 1;
    }
    ok = PutUnit(out, 0xFEFF);
    while (ok && (r = ReadCodePoint(in, &cp)) != 0) {
        if (r < 0) {
            fprintf(stderr, "pel_utf16: %s is not valid UTF-8\n", argv[1]);
            ok = 0;
            break;
        }
        if (first && cp == 0xFEFF) {
            first = 0;
            continue;
        }
        first = 0;
        if (cp == '\n' && previous != '\r')
            ok = PutUnit(out, '\r');
        if (ok)
            ok = PutCodePoint(out, cp);
        previous = cp;
    }
    if (ferror(in))
        ok = 0;
    fclose(in);
    if (fclose(out) != 0)
        ok = 0;
    if (!ok) {
        remove(argv[2]);
        return 1;
    }
    return 0;
}
