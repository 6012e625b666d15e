#!/bin/bash
# A scripted player for a real window: starts vxgame recording a demo in a
# window of the X display it is given (Xvfb in the tests), and plays
# through the title and the first screens into the game, running, jumping,
# fighting and moving the mouse, with real key presses from xdotool at the
# times a person would press them. The game ends itself after FRAMES.
#   window_player.sh VXGAME ROOT DEMO FRAMES
set -u
game=$1 root=$2 demo=$3 frames=$4
SDL_AUDIODRIVER=dummy "$game" --root "$root" --record "$demo" --frames "$frames" &
pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name "vx_engine" | head -1)
if [ -z "$wid" ]; then
  echo "window_player: no game window appeared" >&2
  kill "$pid" 2>/dev/null
  exit 1
fi
# The window is centred on the 1024 x 768 screen: its picture starts at
# (112, 84).
xdotool mousemove 512 384
# The loading screen first (longer on a busy machine).
sleep 1.5
press() { xdotool key "$1"; sleep "$2"; }
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }
for _ in 1 2 3 4 5 6 7 8 9 10 11 12; do press Return 0.3; done
hold Right 1.2
press Up 0.4
xdotool mousemove 312 234
press space 0.3
hold Left 0.8
press Return 0.3
press Return 0.3
hold Right 0.6
press Up 0.3
press space 0.2
press Down 0.3
xdotool mousemove 732 504
hold Left 0.5
wait "$pid"
