#!/usr/bin/env bash
# Makes the station's sound fragments in sound/: one WAV per word that the station's data
# speaks (the phrases of [4 32] and [4 33] lines of data/trenager.ini and data/*.shd, and the
# words that the technology functions of data/Tecnology.dat and the partners' answers speak),
# "t{n}" for every train number (1025) and "l{n}" for every locomotive number (1511, 1513, 1508)
# in data/trenager.ini and data/*.shd, plus the call ring td.wav and the section click tick.wav.
# All files are canonical PCM WAV, mono, 22050 Hz, 16 bit. Needs espeak-ng and sox.
set -euo pipefail
cd "$(dirname "$0")"
out=sound
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Writes $2 (a text) spoken by the Russian voice into $out/$1.wav.
speak() {
    espeak-ng -v ru -s 150 -w "$tmp/raw.wav" "$2"
    sox -D "$tmp/raw.wav" -r 22050 -c 1 -b 16 -e signed-integer "$out/$1.wav" \
        silence 1 0.02 0.5% reverse silence 1 0.02 0.5% reverse
}

data_utf8() { iconv -f CP1251 -t UTF-8 "$@"; }

# Phrase words: everything after the key caption of a "4 32" line, after "4 33" of a "4 33" line;
# in a scenario the same after the line's minutes. Fragments are named in lower case (the speech
# output finds them whatever the case of the phrase).
{
    data_utf8 data/trenager.ini | awk '$1=="4" && $2=="32" {for (i=4;i<=NF;i++) print $i}
                                       $1=="4" && $2=="33" {for (i=3;i<=NF;i++) print $i}'
    for f in data/*.shd; do
        [ -s "$f" ] || continue
        data_utf8 "$f" | awk '$2=="4" && $3=="32" {for (i=5;i<=NF;i++) print $i}
                              $2=="4" && $3=="33" {for (i=4;i<=NF;i++) print $i}'
    done
    # Technology functions speak through "(COM 4 32 key ...)", "(COM 4 33 ...)" and the cells that
    # hold a phrase to speak ("(NOTE 2 ...)", "(NOTE 6 ...)"): every word of such a line in Cyrillic
    # letters may be spoken (a word inside a call may be chosen by it). Then the wagon inspection's
    # answer to a fencing removal.
    data_utf8 data/Tecnology.dat | grep -E '\((COM 4 3[23]|NOTE [26]) ' | LC_ALL=C.UTF-8 grep -oP '\p{Cyrillic}+'
    printf '%s\n' ограждение снято ограждения нет
} | tr -d '\r' | LC_ALL=C.UTF-8 sed 's/.*/\L&/' | sort -u > "$tmp/words"
while read -r w; do
    [ -n "$w" ] && speak "$w" "$w"
done < "$tmp/words"

# Train and locomotive numbers: the value after 1025 (train) or 1511 / 1508 (locomotive).
for f in data/trenager.ini data/*.shd; do
    [ -s "$f" ] || continue
    data_utf8 "$f" | tr -d '\r' | awk '{for (i=1;i<NF;i++) {
        if ($i=="1025" && $(i+1)+0>0) print "t" $(i+1);
        if (($i=="1511" || $i=="1513" || $i=="1508") && $(i+1)+0>0) print "l" $(i+1) }}'
done | sort -u > "$tmp/numbers"
while read -r n; do
    speak "$n" "${n:1}"
done < "$tmp/numbers"

# The call ring: two short bursts of a two-tone signal.
sox -D -n -r 22050 -c 1 -b 16 -e signed-integer "$tmp/ring.wav" \
    synth 0.35 sine 800 sine 1000 remix - gain -6 pad 0 0.15
sox -D "$tmp/ring.wav" "$tmp/ring.wav" -r 22050 -c 1 -b 16 -e signed-integer "$out/td.wav"
# The relay click of a section changing state.
sox -D -n -r 22050 -c 1 -b 16 -e signed-integer "$out/tick.wav" \
    synth 0.03 square 180 fade 0 0.03 0.025 gain -8
