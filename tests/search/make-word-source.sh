#!/bin/sh
# Writes a test dictionary source of exactly COUNT headwords: "a", then
# COUNT - 1 four-letter words spread evenly from "aaaa" towards "zzzz", so that
# every initial letter has headwords and the count is exact.
#   make-word-source.sh COUNT OUTPUT
set -eu
count=$1
output=$2
awk -v n="$count" 'BEGIN {
    print "word: a"
    print "pos: noun"
    print "sense: the first headword"
    span = 26 * 26 * 26 * 26
    step = n > 1 ? int(span / (n - 1)) : 0
    for (i = 0; i < n - 1; i++) {
        v = i * step
        w = ""
        for (k = 0; k < 4; k++) {
            w = sprintf("%c", 97 + v % 26) w
            v = int(v / 26)
        }
        print "word: " w
        print "pos: noun"
        print "sense: headword " (i + 1)
    }
}' > "$output.tmp"
mv "$output.tmp" "$output"
