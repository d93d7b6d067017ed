#!/usr/bin/env bash
# Checks with `zipinfo -v` that a payload archive has the PKZIP 2.0 form the
# installer carries: made by 2.0 on MS-DOS, needs 2.0, not encrypted, no
# extended local headers, no extra fields or comments, no zip64 records;
# folders stored with attributes 30 hex ("Plugins/Plugins32/" 10 hex), files
# deflated at "maximum" (general-purpose bit 1) with attributes 20 hex.
set -euo pipefail
zip="${1:?usage: check_zipinfo.sh ARCHIVE}"
out="$(zipinfo -v "$zip")"

fail=0
complain() { echo "check_zipinfo: $*" >&2; fail=1; }

grep -q "^There is no zipfile comment\.$" <<<"$out" || complain "archive has a comment"
grep -q "central directory contains 43 entries" <<<"$out" || complain "not 43 entries"
if grep -qi "zip64" <<<"$out"; then complain "zip64 record present"; fi

# One record per entry: name and the fields that matter, tab-separated.
records="$(awk '
  function flush() { if (name != "") print name "\t" origin "\t" made "\t" need "\t" method "\t" subtype "\t" sec "\t" ext "\t" extra "\t" comment "\t" attrs "\t" size }
  /^Central directory entry #/ { flush(); name = ""; subtype = "-"; state = 1; next }
  state == 1 && /^---/ { state = 2; next }
  state == 2 && NF > 0 { sub(/^ +/, ""); name = $0; state = 3; next }
  state == 3 {
    line = $0; sub(/^ +/, "", line)
    split(line, kv, /: +/)
    key = kv[1]; val = substr(line, length(kv[1]) + 1); sub(/^: +/, "", val)
    if (key == "file system or operating system of origin") origin = val
    else if (key == "version of encoding software") made = val
    else if (key == "minimum software version required to extract") need = val
    else if (key == "compression method") method = val
    else if (key == "compression sub-type (deflation)") subtype = val
    else if (key == "file security status") sec = val
    else if (key == "extended local header") ext = val
    else if (key == "length of extra field") extra = val
    else if (key == "length of file comment") comment = val
    else if (key ~ /^MS-DOS file attributes/) attrs = key
    else if (key == "uncompressed size") size = val
  }
  END { flush() }' <<<"$out")"

count=0
while IFS=$'\t' read -r name origin made need method subtype sec ext extra comment attrs size; do
  count=$((count + 1))
  [ "$origin" = "MS-DOS, OS/2 or NT FAT" ] || complain "$name: origin '$origin'"
  [ "$made" = "2.0" ] || complain "$name: made by '$made'"
  [ "$need" = "2.0" ] || complain "$name: needs '$need'"
  [ "$sec" = "not encrypted" ] || complain "$name: '$sec'"
  [ "$ext" = "no" ] || complain "$name: extended local header '$ext'"
  [ "$extra" = "0 bytes" ] || complain "$name: extra field '$extra'"
  [ "$comment" = "0 characters" ] || complain "$name: comment '$comment'"
  if [[ "$name" == */ ]]; then
    [ "$method" = "none (stored)" ] || complain "$name: method '$method'"
    [ "$size" = "0 bytes" ] || complain "$name: size '$size'"
    want="MS-DOS file attributes (30 hex)"
    [ "$name" = "Plugins/Plugins32/" ] && want="MS-DOS file attributes (10 hex)"
    [ "$attrs" = "$want" ] || complain "$name: '$attrs'"
  else
    [ "$method" = "deflated" ] || complain "$name: method '$method'"
    [ "$subtype" = "maximum" ] || complain "$name: deflation '$subtype' (flag bit 1 not set)"
    [ "$attrs" = "MS-DOS file attributes (20 hex)" ] || complain "$name: '$attrs'"
  fi
done <<<"$records"
[ "$count" = 43 ] || complain "read $count entries"

# unzip's own integrity test: every entry inflates to its CRC.
unzip -tqq "$zip" >/dev/null || complain "unzip -t failed"

if [ "$fail" = 0 ]; then echo "check_zipinfo: $zip OK ($count entries)"; fi
exit "$fail"
