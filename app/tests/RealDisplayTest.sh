#!/usr/bin/env bash
# The program on an X server of its own, with or without a window manager: the frame opens at the stored place and
# leaves it so; the small windows have no minimise or maximise button; Escape stops an export (lasting seconds).
source "$(dirname "$0")/../../scripts/x-test-support" "$1"
printf '[Export]\nScale=3\n\n[Shapes]\nLong=1\n\n[Long]\nSlider0=0\nSlider1=1\nSlider2=0.525\n%b\n' \
  'Slider5=1\nSlider6=1\nInnerR=1\nOuterG=1\nStar=True\nPosX=0.5\nPosY=0.5\n\n[Window]\nLeft=1500\nTop=4890' > flinder.ini
start_program
expect "The frame's corner" "100 326" "$(frame_corner "$main")"
keys "$main" alt+e s a; fixed_window '^Shape$' && close_with alt+c  # Edit > Shape > Add, then Cancel
export_to "$PWD/long.webp"
fixed_window '^Flindering$' && close_with Escape
[[ ! -e long.webp ]] || fail "Escape did not stop the export."
quit_program
expect "The stored place" "Left=1500 Top=4890" "$(grep -E '^(Left|Top)=' flinder.ini | xargs)"
