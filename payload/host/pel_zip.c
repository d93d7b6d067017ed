/* Writes the payload archive in the form the installer and old unpackers
 * expect: PKZIP 2.0 entries made on MS-DOS (version made by 20, version needed
 * 20), general-purpose flag bit 1 on every entry, folders stored, files
 * deflated at level 9, no extra fields, no comments, no zip64 records, one
 * fixed time stamp for every entry so that the archive is reproducible.
 *
 *   pel_zip LIST ARCHIVE "YYYY-MM-DD hh:mm:ss"
 *
 * LIST holds one entry per line, in archive order:
 *   ATTRIBUTES<TAB>NAME<TAB>SOURCE
 * ATTRIBUTES are the MS-DOS attributes in hex (0x30, 0x10, 0x20), NAME the
 * archive name with "/" separators (a folder ends in "/" and has no SOURCE).
 * Empty lines and lines starting with '#' are skipped. */
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "zip.h"

#define MAX_LINE 4096
#define COPY_CHUNK 65536

/* Version made by: PKZIP 2.0 (20) on MS-DOS (host system 0 in the high byte). */
#define MADE_BY_DOS_20 20
/* General-purpose flag bit 1: "maximum compression" for deflate; set on all. */
#define FLAG_BIT_1 2

static int ParseDosTime(const char* text, unsigned long* dosTime) {
    int year, month, day, hour, minute, second;
    if (sscanf(text, "%4d-%2d-%2d %2d:%2d:%2d", &year, &month, &day, &hour, &minute, &second) != 6)
        return 0;
    if (year < 1980 || year > 2107 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 ||
        minute > 59 || second > 59 || hour < 0 || minute < 0 || second < 0)
        return 0;
    *dosTime = ((unsigned long)(((year - 1980) << 9) | (month << 5) | day) << 16) |
               (unsigned long)((hour << 11) | (minute << 5) | (second / 2));
    return 1;
}

/* An archive name must stay below the folder it is unpacked into. */
static int IsSafeName(const char* name) {
    const char* p = name;
    if (*name == '\0' || *name == '/' || strchr(name, '\\') || strchr(name, ':'))
        return 0;
    while (*p) {
        const char* end = strchr(p, '/');
        size_t len = end ? (size_t)(end - p) : strlen(p);
        if ((len == 2 && p[0] == '.' && p[1] == '.') || (len == 1 && p[0] == '.') ||
            (len == 0 && end))
            return 0;
        if (!end)
            break;
        p = end + 1;
    }
    return 1;
}

static int AddFolder(zipFile zf, const char* name, unsigned long dosTime,
                     unsigned long attributes) {
    zip_fileinfo info;
    memset(&info, 0, sizeof info);
    info.dosDate = dosTime;
    info.external_fa = attributes;
    if (zipOpenNewFileInZip4_64(zf, name, &info, NULL, 0, NULL, 0, NULL, 0, 0, 0, -MAX_WBITS,
                                DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, NULL, 0, MADE_BY_DOS_20,
                                FLAG_BIT_1, 0) != ZIP_OK)
        return 0;
    return zipCloseFileInZip(zf) == ZIP_OK;
}

static int AddFile(zipFile zf, const char* name, const char* source, unsigned long dosTime,
                   unsigned long attributes) {
    static unsigned char buffer[COPY_CHUNK];
    zip_fileinfo info;
    FILE* in;
    size_t got;
    int ok = 1;

    in = fopen(source, "rb");
    if (!in) {
        fprintf(stderr, "pel_zip: cannot open %s: %s\n", source, strerror(errno));
        return 0;
    }
    memset(&info, 0, sizeof info);
    info.dosDate = dosTime;
    info.external_fa = attributes;
    if (zipOpenNewFileInZip4_64(zf, name, &info, NULL, 0, NULL, 0, NULL, Z_DEFLATED, 9, 0,
                                -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, NULL, 0,
                                MADE_BY_DOS_20, FLAG_BIT_1, 0) != ZIP_OK) {
        fclose(in);
        return 0;
    }
    while ((got = fread(buffer, 1, sizeof buffer, in)) > 0) {
        if (zipWriteInFileInZip(zf, buffer, (unsigned)got) != ZIP_OK) {
            ok = 0;
            break;
        }
    }
    if (ferror(in)) {
        fprintf(stderr, "pel_zip: cannot read %s\n", source);
        ok = 0;
    }
    fclose(in);
    if (zipCloseFileInZip(zf) != ZIP_OK)
        ok = 0;
    return ok;
}

static void TrimLineEnd(char* line) {
    size_t n = strlen(line);
    while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r'))
        line[--n] = '\0';
}

int main(int argc, char** argv) {
    char line[MAX_LINE];
    char temp[MAX_LINE];
    unsigned long dosTime;
    unsigned long lineNumber = 0;
    FILE* list;
    zipFile zf;
    int ok = 1;

    if (argc != 4) {
        fprintf(stderr, "usage: pel_zip LIST ARCHIVE \"YYYY-MM-DD hh:mm:ss\"\n");
        return 2;
    }
    if (!ParseDosTime(argv[3], &dosTime)) {
        fprintf(stderr, "pel_zip: bad time stamp '%s'\n", argv[3]);
        return 2;
    }
    if (strlen(argv[2]) + 5 >= sizeof temp) {
        fprintf(stderr, "pel_zip: archive path too long\n");
        return 2;
    }
    list = fopen(argv[1], "r");
    if (!list) {
        fprintf(stderr, "pel_zip: cannot open %s: %s\n", argv[1], strerror(errno));
        return 1;
    }
    /* Written under a temporary name, so a failed run leaves no half archive. */
    snprintf(temp, sizeof temp, "%s.tmp", argv[2]);
    zf = zipOpen64(temp, APPEND_STATUS_CREATE);
    if (!zf) {
        fprintf(stderr, "pel_zip: cannot create %s\n", temp);
        fclose(list);
        return 1;
    }
    while (ok && fgets(line, sizeof line, list)) {
        char* name;
        char* source;
        char* end;
        unsigned long attributes;
        size_t nameLength;

        ++lineNumber;
        if (!strchr(line, '\n') && !feof(list)) {
            fprintf(stderr, "pel_zip: line %lu too long\n", lineNumber);
            ok = 0;
            break;
        }
        TrimLineEnd(line);
        if (line[0] == '\0' || line[0] == '#')
            continue;
        name = strchr(line, '\t');
        if (!name) {
            fprintf(stderr, "pel_zip: line %lu: no name\n", lineNumber);
            ok = 0;
            break;
        }
        *name++ = '\0';
        source = strchr(name, '\t');
        if (source)
            *source++ = '\0';
        errno = 0;
        attributes = strtoul(line, &end, 16);
        nameLength = strlen(name);
        if (errno || *end != '\0' || attributes > 0xFF || !IsSafeName(name)) {
            fprintf(stderr, "pel_zip: line %lu: bad attributes or name\n", lineNumber);
            ok = 0;
            break;
        }
        if (name[nameLength - 1] == '/') {
            if (source && *source) {
                fprintf(stderr, "pel_zip: line %lu: a folder has no source\n", lineNumber);
                ok = 0;
                break;
            }
            ok = AddFolder(zf, name, dosTime, attributes);
        } else {
            if (!source || !*source) {
                fprintf(stderr, "pel_zip: line %lu: no source for %s\n", lineNumber, name);
                ok = 0;
                break;
            }
            ok = AddFile(zf, name, source, dosTime, attributes);
        }
        if (!ok)
            fprintf(stderr, "pel_zip: cannot add %s\n", name);
    }
    if (ferror(list))
        ok = 0;
    fclose(list);
    if (zipClose(zf, NULL) != ZIP_OK)
        ok = 0;
    if (!ok) {
        remove(temp);
        return 1;
    }
    remove(argv[2]);
    if (rename(temp, argv[2]) != 0) {
        fprintf(stderr, "pel_zip: cannot rename %s: %s\n", temp, strerror(errno));
        remove(temp);
        return 1;
    }
    return 0;
}
