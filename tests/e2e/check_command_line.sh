#!/usr/bin/env bash
# The program's answers on the command line: help and version on standard output with status 0,
# a faulty option as a message on standard error with status 2, and never a window for them.
set -uo pipefail
program=$1
failures=0
expect() {
  local what=$1 wanted_status=$2 wanted_text=$3 stream=$4
  shift 4
  local out err status
  out=$(DISPLAY= QT_QPA_PLATFORM= "$program" "$@" 2>/tmp/velkaro-cli-err.$$)
  status=$?
  err=$(cat /tmp/velkaro-cli-err.$$)
  rm -f /tmp/velkaro-cli-err.$$
  local text=$out
  [ "$stream" = stderr ] && text=$err
  if [ "$status" -ne "$wanted_status" ] || ! grep -qF -- "$wanted_text" <<<"$text"; then
    echo "FAILED: $what: status $status, stdout '$out', stderr '$err'"
    failures=$((failures + 1))
  fi
}
expect "--help" 0 "--live UNIVERSUM" stdout --help
expect "-h" 0 "--ola-port PORT" stdout -h
expect "--version" 0 "1.07" stdout --version
expect "unknown option" 2 "Unbekannte Option: --bogus" stderr --bogus
expect "bad universe" 2 "--live" stderr --live 0

# An export needs no display: a sequence appears, or on a fault a message and no file at all.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
head -c 1024 /dev/zero >"$scratch/show.dmx"
expect "export" 0 "" stdout --export-fseq "$scratch/out.fseq" "$scratch/show.dmx"
[ "$(head -c 4 "$scratch/out.fseq" 2>/dev/null)" = PSEQ ] || {
  echo "FAILED: export wrote no FSEQ file"
  failures=$((failures + 1))
}
expect "compressed export" 0 "" stdout --export-fseq "$scratch/z.fseq" --compress "$scratch/show.dmx"
expect "export of a missing show" 2 "Die Showdatei $scratch/none.dmx kann nicht gelesen werden: Datei nicht gefunden." \
  stderr --export-fseq "$scratch/bad.fseq" "$scratch/none.dmx"
expect "export into a missing folder" 2 "Die FSEQ-Datei $scratch/no/x.fseq konnte nicht geschrieben werden" \
  stderr --export-fseq "$scratch/no/x.fseq" "$scratch/show.dmx"
[ ! -e "$scratch/bad.fseq" ] && [ "$(ls -A "$scratch" | wc -l)" -eq 3 ] || {
  echo "FAILED: a failed export left a file: $(ls -A "$scratch")"
  failures=$((failures + 1))
}
# A file manager passes all the files selected: the first is used, the others are named.
expect "two show files" 0 "übergangen: $scratch/b.dmx" \
  stderr --export-fseq "$scratch/two.fseq" "$scratch/show.dmx" "$scratch/b.dmx"
[ "$(head -c 4 "$scratch/two.fseq" 2>/dev/null)" = PSEQ ] || {
  echo "FAILED: two show files exported no FSEQ file of the first"
  failures=$((failures + 1))
}
# The sequence names the song of the show's project file, or the one given with --audio.
printf '{"song": "Musik/Lied eins.ogg", "songStartMs": 0}' >"$scratch/show.velkaro"
expect "export with the project's song" 0 "" stdout --export-fseq "$scratch/p.fseq" "$scratch/show.dmx"
expect "export with --audio" 0 "" stdout --export-fseq "$scratch/a.fseq" --audio /srv/b.mp3 "$scratch/show.dmx"
grep -qaF 'mfLied eins.ogg' "$scratch/p.fseq" && grep -qaF 'mfb.mp3' "$scratch/a.fseq" || {
  echo "FAILED: the exported sequences do not name their songs"
  failures=$((failures + 1))
}
# The tempo of a song, without a display: ticks every half second from 0.477 s on (as the test
# source makes them) are 120 BPM; a file that is no song is told in German.
if gst-launch-1.0 -q audiotestsrc wave=ticks tick-interval=500000000 num-buffers=700 ! \
  audioconvert ! wavenc ! filesink location="$scratch/ticks.wav"; then
  expect "tempo of a song" 0 "120.00 0.4" stdout --find-tempo "$scratch/ticks.wav"
fi
expect "tempo of no song" 2 "Die Datei $scratch/show.dmx ist keine Musik, die Velkaro lesen kann." \
  stderr --find-tempo "$scratch/show.dmx"
passed=$((16 - failures))
echo "command line: $passed passed, $failures failed"
[ "$failures" -eq 0 ]
