#!/usr/bin/env bash
# Installs the .deb on a clean Debian 12 and starts the program there, as a school's machine
# would: a minimal chroot made with debootstrap, "apt-get install ./tecladim_*.deb" inside it
# (which must pull every library and font the package needs), then /usr/bin/tecladim under Xvfb
# in a new user's home folder, from the menu entry's own command. Run as root; not part of the
# test command (it downloads a Debian base system).
# Usage: check-deb-in-chroot.sh DEB [CHROOT] [SCREENSHOT]
set -euo pipefail
deb="$(realpath "$1")"
root="${2:-/tmp/tecladim-chroot}"
shot="${3:-$PWD/chroot-first-start.png}"
mirror="http://deb.debian.org/debian"

if [ ! -x "$root/usr/bin/apt-get" ]; then
  debootstrap --variant=minbase bookworm "$root" "$mirror"
fi
mountpoint -q "$root/proc" || mount -t proc proc "$root/proc"
trap 'umount "$root/proc" 2>/dev/null || true' EXIT

cp "$deb" "$root/tmp/"
chroot "$root" /bin/sh -ec '
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends xvfb xauth xdotool imagemagick
  apt-get install -y -q --no-install-recommends ./tmp/'"$(basename "$deb")"'
  id aluno >/dev/null 2>&1 || useradd -m aluno
'
# The menu entry's command, run as the new user from another folder: the history must land
# in the home folder.
chroot "$root" su - aluno -s /bin/sh -c '
  cd /tmp
  exec 3>/tmp/aluno-display
  Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1600x1000x24 >/dev/null 2>&1 &
  server=$!
  for i in $(seq 50); do [ -s /tmp/aluno-display ] && break; sleep 0.1; done
  export DISPLAY=:$(cat /tmp/aluno-display) QT_QPA_PLATFORM=xcb
  command=$(sed -n "s/^Exec=//p" /usr/share/applications/org.example.tecladim.desktop)
  eval "$command" >/tmp/tecladim.log 2>&1 &
  program=$!
  for i in $(seq 100); do xdotool search --onlyvisible --name "^Tecladim$" >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 2
  import -window root /tmp/first-start.png
  xdotool search --onlyvisible --name "^Posi" getwindowname || echo "no hand-position window"
  hand=$(xdotool search --onlyvisible --name "^Posi" | head -1)
  if [ -n "$hand" ]; then
    eval "$(xdotool getwindowgeometry --shell "$hand")"
    xdotool mousemove $((X + 550)) $((Y + 393)) click 1   # its "Iniciar"
    sleep 0.5
  fi
  main=$(xdotool search --onlyvisible --name "^Tecladim$" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$main")"
  echo "main window: ${WIDTH}x${HEIGHT} at $X,$Y"
  xdotool mousemove $((X + 1104)) $((Y + 684)) click 1     # "Sair"
  for i in $(seq 50); do kill -0 $program 2>/dev/null || break; sleep 0.1; done
  kill $program 2>/dev/null && echo "the program did not end at Sair"
  ls -l "$HOME/Exercicio.xml" || echo "no history in the home folder"
  kill $server
  echo "program output:"; cat /tmp/tecladim.log
'
cp "$root/tmp/first-start.png" "$shot"
echo "screenshot: $shot"
