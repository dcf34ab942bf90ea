#!/bin/sh
# Builds the exe again from a copy of the sources at another path and
# compares it with the given one byte for byte: the same sources must give
# the same exe, wherever and whenever they are built.
#   reproducible.sh SOURCE_DIR EXE
set -eu
copy=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-reproduce-XXXXXX")
trap 'rm -rf "$copy"' EXIT
mkdir "$copy/elsewhere"
tar -C "$1" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy/elsewhere" -xf -
cd "$copy/elsewhere"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target vantrel_gui >/dev/null
cmp "$2" "build/win32/$(basename "$2")" && echo "the same $(wc -c <"$2") bytes from $copy/elsewhere"
