#!/bin/bash
# The program's pictures and files, byte for byte: every case below runs the
# program in a folder of its own, and the SHA-256 of everything it leaves
# there (its output files, its standard output and error, its exit status)
# is compared with manifest.sha256.
#
#   tests/golden/check.sh BRELMORA            compare (the ctest test)
#   tests/golden/check.sh BRELMORA --update   write the manifest anew
#   tests/golden/check.sh BRELMORA --keep     compare, and keep the outputs
#                                             to look at (the folder is named)
#
# A change that means to alter a picture or a file updates the manifest in
# the same commit; any other difference is a fault of the change.
set -u
brelmora=$(realpath "$1")
mode=${2:-check}
here=$(cd "$(dirname "$0")" && pwd)
manifest=$here/manifest.sha256
work=$(mktemp -d)
[ "$mode" = --keep ] || trap 'rm -rf "$work"' EXIT

# A case: a name, then the program's arguments, run in the case's folder
# with the shells tank.spw and long.spw beside it. keys=... before the call
# writes keys.txt for --script first; where=... runs it in another folder
# (whose name the picture may show), "@/" in the keys then standing for the
# case's folder.
keys=""
where=""
run() {
  local name=$1 dir=$work/$1
  shift
  mkdir -p "$dir"
  cp "$here/tank.spw" "$here/../fuzz/files/long.spw" "$dir/"
  printf '%s' "${keys//@\//$dir/}" > "$dir/keys.txt"
  mkdir -m 700 -p "$dir/.state/run"
  (
    cd "${where:-$dir}" || exit 1
    XDG_STATE_HOME=$dir/.state XDG_RUNTIME_DIR=$dir/.state/run QT_QPA_PLATFORM=offscreen "$brelmora" "$@" > "$dir/stdout" 2> "$dir/stderr"
    echo $? > "$dir/status"
  )
  rm -rf "$dir/.state" "$dir/keys.txt" "$dir/tank.spw" "$dir/long.spw"
  # The printer's PDF writer dates its files.
  [ -f "$dir/tank.pdf" ] && LC_ALL=C sed -i 's|/CreationDate (D:[0-9Z+-]*)|/CreationDate ()|' "$dir/tank.pdf"
  keys=""
  where=""
}

# Scripted runs: menus, the view keys, the cursor, help pages, the browser.
save="11saved<Enter><Enter><Esc>"
keys=""                       run start --script keys.txt --shot shot.png
keys="2"                      run image-menu --script keys.txt --shot shot.png
keys="29<shot a.png>9"        run bending --script keys.txt --shot shot.png
keys="29"                     run bending-tank --script keys.txt --shot shot.png tank.spw
keys=""                       run long-fit --script keys.txt --fit --shot shot.png long.spw
keys="2<Ctrl-K><shot a.png><Esc>4<shot b.png>"  run english --script keys.txt --shot shot.png
keys="4<shot a.png><Esc>5<shot b.png><Esc>6<shot c.png><Esc>8150<Enter><shot d.png>3<Esc>$save"
                              run menus --script keys.txt --shot shot.png tank.spw
keys="12<shot @/a.png><Tab><Right><shot @/b.png><Down><Enter><shot @/c.png><Esc>" where=/usr
                              run browser --script $work/browser/keys.txt --shot $work/browser/shot.png
keys="<menu 301><shot a.png> <shot b.png> <shot c.png><Esc><menu 302><shot d.png><Esc><menu 303><shot e.png><Esc><menu 305><shot f.png><Esc>6<F1><shot g.png><Esc><Esc>"
                              run help --script keys.txt --shot shot.png
keys="Z<Right><Right><Up><shot a.png> <Right><Right><Down><Down><PgUp><Ctrl-Left><shot b.png> "
                              run zoom-window --script keys.txt --shot shot.png
keys="Z<click 300 300><click 700 600>"  run zoom-click --script keys.txt --shot shot.png tank.spw
keys="<Right><shot a.png><PgUp><PgUp><shot b.png>.<Left><PgDn><shot c.png>B@<shot d.png><Tab>R$<shot e.png>!;;<shot f.png><Ctrl-Q><Ctrl-N>"
                              run view-keys --script keys.txt --shot shot.png tank.spw
keys="X7<shot a.png>Z X4<Right> <Esc>"  run grid --script keys.txt --shot shot.png
keys="<resize 900 700><shot a.png>2<resize 1500 800>"  run resize --script keys.txt --shot shot.png
keys="3Y4<Enter>500<Enter>500<Enter>2<Enter><shot a.png>417<Enter>Y<Esc>5124<Enter>600<Enter>82<Esc><Esc>$save"
                              run new-scheme --script keys.txt --shot shot.png
keys="154a<Enter><Enter>8b<Enter><Enter>9c<Enter><Enter>2d<Enter><Enter><Enter><Enter><Enter>3e<Enter><Enter><Enter>6f<Enter><Enter><Enter>7g<Enter><Enter><Enter><Enter><Esc><Esc>"
                              run file-exports --script keys.txt --shot shot.png tank.spw
keys="611,5<Enter><Alt-Backspace><shot a.png><Alt-Shift-Backspace><Esc>$save"
                              run undo --script keys.txt --shot shot.png
# Printing without a printer writes the sheets beside the data file.
keys="151<Enter>30,1<Enter><Enter>9<Enter><shot a.png><Enter><Esc><Esc>"
                              run print --script keys.txt --shot shot.png tank.spw
keys="$save"                  run save-long --script keys.txt long.spw
keys="7$save"                 run save-tank-fitted --script keys.txt --size 1600x900 tank.spw

# Exports of the picture and the CalculiX model.
for shell in default tank long; do
  file=""
  [ $shell != default ] && file=$shell.spw
  for f in dxf plt ugf geo tre pdf svg png ccx; do
    run export-$shell-$f --export $f out.$f $file
  done
  run export-$shell-ccx-bending --export ccx out.inp --bending $file
  run report-$shell --report $file
  run report-$shell-bending --report --bending $file
  run nodes-$shell --nodes $file
  run nodes-$shell-bending --nodes --bending $file
done
for f in dxf plt ugf geo tre pdf svg png; do
  run export-tank-fit-$f --export $f out.$f --fit tank.spw
done
# The node capacity: a contour step of 0 is enlarged to the smallest that
# fits, 4998 nodes, and the picture spills the store to its scratch files.
for f in dxf plt ugf geo tre pdf svg png; do
  run export-capacity-$f --export $f out.$f --set contour_step=0
done
keys="2<shot a.png><Esc>29"   run capacity --script keys.txt --shot shot.png --set contour_step=0
keys=""                       run capacity-tank --script keys.txt --fit --shot shot.png --set contour_step=0 tank.spw
run export-tank-a3-pdf --export pdf out.pdf --page A3 tank.spw
run export-tank-a3-svg --export svg out.svg --page A3 --fit tank.spw
run export-long-fit-pdf --export pdf out.pdf --fit long.spw
run nodes-semicolon --nodes --csv-separator ';' --set pressure=1.5 tank.spw
run sweep --sweep pressure=0.1:0.5:3 --sweep thickness=2:4:2 tank.spw
run size-wall --size-wall 0.5 --set allowable_stress=120 --set-output sized.spw tank.spw
run help-text --help
run version --version
run bad-usage --export xyz out

now=$(mktemp)
[ "$mode" = --keep ] && echo "outputs kept in $work" && trap 'rm -f "$now"' EXIT
[ "$mode" = --keep ] || trap 'rm -rf "$work" "$now"' EXIT
cd "$work" || exit 1
find . -type f | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum > "$now"
if [ "$mode" = --update ]; then
  cp "$now" "$manifest"
  echo "manifest: $(wc -l < "$manifest") files"
  exit 0
fi
if ! diff "$manifest" "$now"; then
  echo "pictures or files differ from tests/golden/manifest.sha256 (lines above: < expected, > now)"
  exit 1
fi
echo "all $(wc -l < "$manifest") files identical"
