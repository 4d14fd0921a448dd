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
passed=$((5 - failures))
echo "command line: $passed passed, $failures failed"
[ "$failures" -eq 0 ]
