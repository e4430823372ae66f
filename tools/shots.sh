#!/usr/bin/env bash
# Pictures for a person to look at (make shots): scripted runs of the
# program, each written as a PNG into the folder given (build/shots by
# default). Nothing here is checked; the suite checks the pictures.
set -euo pipefail
program=${1:?usage: tools/shots.sh PROGRAM [FOLDER]}
out=${2:-build/shots}
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# shot NAME SIZE KEYS: the keys typed into a fresh program of that size.
shot() {
  printf '%s' "$3" > "$work/$1.keys"
  (cd "$work" && "$program" --script "$1.keys" --size "$2" --shot "$out/$1.png") > /dev/null
  echo "$out/$1.png"
}

shot start-1280x1024 1280x1024 ""
shot start-1920x1080 1920x1080 ""
shot view-layout2 1280x1024 "@"
shot view-layout4 1280x1024 "\$"
shot image-menu 1280x1024 "6"
shot help-f1 1280x1024 "6<F1>"
shot help-key-summary 1280x1024 "<menu 305>"
shot save-as 1280x1024 "11"
