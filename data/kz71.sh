#!/bin/sh
# The IDE's build script: kz71.sh SOURCE
# Runs the tarn beside this script on SOURCE, the program's main file, and captures tarn's
# standard output in TARNOutpMsg.tmp in the working directory (the IDE's), where the IDE reads
# it. tarn writes the .hex, .epr and .dbg files beside SOURCE. The path is only ever passed on
# as one quoted argument, so blanks, quotes, $, backquotes and semicolons in it mean nothing.
messages=TARNOutpMsg.tmp

if [ "$#" -ne 1 ]; then
    echo "usage: kz71.sh SOURCE" >&2
    exit 2
fi
source_file=$1
# A name that looks like one of tarn's options is still a file name for tarn.
case $source_file in
-*) source_file=./$source_file ;;
/\?) source_file=/.$source_file ;;
esac

case $0 in
*/*) here=${0%/*} ;;
*) here=. ;;
esac
tarn=$here/tarn
if [ ! -x "$tarn" ]; then
    printf 'ERROR: kz71.sh: the assembler %s is missing or cannot be run\n' "$tarn" >"$messages"
    exit 1
fi
"$tarn" "$source_file" >"$messages"
status=$?
# The IDE waits for the messages: a tarn that ends without a word still leaves one line.
if [ ! -s "$messages" ]; then
    printf 'ERROR: kz71.sh: tarn ended with exit code %d without a message\n' "$status" >"$messages"
fi
exit "$status"
