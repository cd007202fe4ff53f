#!/usr/bin/env bash
# Installs the .deb on a clean Debian 12 and starts both programs there as a Brazilian school's
# machine would: a fresh minimal root (mmdebstrap, from this machine's own Debian mirrors),
# "apt-get install --no-install-recommends ./tecladim_*.deb" inside it, which must pull every
# library, plugin, font and translation the programs load, then, as a new user under
# LANG=pt_BR.UTF-8 on Xvfb:
#   - the trainer from its menu entry's command: its first window (screenshot), the lesson
#     box's context menu in Portuguese ("Desfazer", "Selecionar tudo"), "Sair", and the
#     history in the home folder;
#   - the class report from its menu entry's command: its print dialog in Portuguese
#     ("Cancelar").
# The texts are read through the accessibility bus (atspi-texts.py), as a screen reader reads
# them. Run as root; not part of the test command (it downloads Debian packages). The base
# system and the downloaded packages are kept in CACHE, so a second run takes about a minute.
# Usage: check-deb-in-chroot.sh DEB [SCREENSHOT]
#        check-deb-in-chroot.sh --print-sources   (the mirrors it would use)
# Environment: TECLADIM_CHROOT_CACHE (default /var/cache/tecladim-chroot), APT_ETC (default
# /etc/apt, where the mirrors are read from).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
shot="${2:-$PWD/chroot-first-start.png}"
cache="${TECLADIM_CHROOT_CACHE:-/var/cache/tecladim-chroot}"

if [ "$(id -u)" -ne 0 ]; then echo "run as root (chroot, mount)" >&2; exit 2; fi
command -v mmdebstrap >/dev/null || { echo "mmdebstrap is missing: bash scripts/deps.sh test" >&2; exit 2; }

# The machine's own Debian 12 sources as one-line apt entries: every "deb" entry of
# sources.list, sources.list.d/*.list and the deb822 sources.list.d/*.sources whose suite is
# bookworm (or its updates and security suites) on a Debian archive. Other vendors' entries
# stay out: a school's machine has only Debian's.
host_debian_sources() {
  local etc="${APT_ETC:-/etc/apt}" f
  {
    for f in "$etc"/sources.list "$etc"/sources.list.d/*.list; do
      [ -f "$f" ] && sed -n 's/^[[:space:]]*\(deb[[:space:]].*\)$/\1/p' "$f"
    done
    for f in "$etc"/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk '
        function flush(   t, u, s, nt, nu, ns, i, j, k, opt) {
          if (tolower(f["enabled"]) != "no" && f["types"] != "" && f["uris"] != "" && f["suites"] != "") {
            nt = split(f["types"], t, " "); nu = split(f["uris"], u, " "); ns = split(f["suites"], s, " ")
            opt = (f["signed-by"] ~ /^\//) ? "[signed-by=" f["signed-by"] "] " : ""
            for (i = 1; i <= nt; i++) if (t[i] == "deb")
              for (j = 1; j <= nu; j++) for (k = 1; k <= ns; k++)
                print "deb " opt u[j] " " s[k] " " f["components"]
          }
          delete f
        }
        /^#/ { next }
        /^[[:space:]]*$/ { flush(); next }
        /^[[:space:]]/ { next }                       # a continued field (an inline key)
        { key = tolower($0); sub(/:.*/, "", key); val = $0; sub(/^[^:]*:[[:space:]]*/, "", val)
          gsub(/[[:space:]]+/, " ", val); sub(/ $/, "", val); f[key] = val }
        END { flush() }' "$f"
    done
  } | awk '{ opt = ($2 ~ /^\[/) ? 1 : 0; uri = $(2 + opt); suite = $(3 + opt)
             if (suite ~ /^(bookworm|stable)(-updates|-security|\/updates)?$/ && uri ~ /\/debian(-security)?\/?$/) print }' \
    | awk '!seen[$0]++'
}
if [ "${1:-}" = --print-sources ]; then host_debian_sources; exit 0; fi
[ $# -ge 1 ] || { sed -n "s/^# Usage: //p" "$0" >&2; exit 2; }
deb="$(realpath "$1")"

mkdir -p "$cache/archives/partial"
# apt reads only *.list files, and mmdebstrap picks the output's format by its name.
host_debian_sources >"$cache/debian-new.list"
if [ ! -s "$cache/debian-new.list" ]; then
  echo "no Debian 12 (bookworm) entry in ${APT_ETC:-/etc/apt}/sources.list{,.d/*.list,.d/*.sources}" >&2
  exit 2
fi
echo "mirrors:"; sed 's/^/  /' "$cache/debian-new.list"
base="$cache/bookworm-minbase.tar"
if [ ! -s "$base" ] || ! cmp -s "$cache/debian-new.list" "$cache/debian.list"; then
  mmdebstrap --quiet --variant=minbase bookworm "$cache/bookworm-minbase-new.tar" "$cache/debian-new.list"
  mv "$cache/bookworm-minbase-new.tar" "$base"
fi
mv "$cache/debian-new.list" "$cache/debian.list"

root="$(mktemp -d /tmp/tecladim-chroot.XXXXXX)"
cleanup() {
  for m in proc var/cache/apt/archives; do umount "$root/$m" 2>/dev/null || true; done
  if ! grep -q " $root/" /proc/mounts; then rm -rf --one-file-system "$root"; fi
}
trap cleanup EXIT
tar -xf "$base" -C "$root"
mount -t proc proc "$root/proc"
mount --bind "$cache/archives" "$root/var/cache/apt/archives"
cp "$deb" "$root/tmp/"
cp "$here/atspi-texts.py" "$root/tmp/"

# The package alone first, on the bare system: what it pulls is what a school gets.
chroot "$root" /bin/sh -ec '
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q >/dev/null
  dpkg-query -W -f="\${Package}\n" | sort >/tmp/before-package
  apt-get install -y -q -o Dpkg::Use-Pty=0 --no-install-recommends ./tmp/'"$(basename "$deb")"' >/tmp/install.log 2>&1 || { cat /tmp/install.log; exit 1; }
  dpkg-query -W -f="\${Package}\n" | sort >/tmp/with-package
'
echo "the package pulled $(comm -13 "$root/tmp/before-package" "$root/tmp/with-package" | wc -l) packages"
# Then the check's own tools, which must bring nothing the programs load (Qt, fonts, their
# translations), or they would hide a dependency the package lacks.
chroot "$root" /bin/sh -ec '
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -q -o Dpkg::Use-Pty=0 --no-install-recommends xvfb xauth xdotool imagemagick dbus at-spi2-core \
    python3-pyatspi locales >/tmp/tools.log 2>&1 || { cat /tmp/tools.log; exit 1; }
  dpkg-query -W -f="\${Package}\n" | sort >/tmp/with-tools
  sed -i "s/^# *\(pt_BR.UTF-8 UTF-8\)/\1/" /etc/locale.gen
  locale-gen >/dev/null
  id aluno >/dev/null 2>&1 || useradd -m aluno
'
tool_extras=$(comm -13 "$root/tmp/with-package" "$root/tmp/with-tools" | grep -E '^(libqt6|qt6-|fonts-)' || true)
if [ -n "$tool_extras" ]; then
  echo "FAIL: the check's tools brought what the programs load: $tool_extras"
  exit 1
fi

# As the new user, in one session bus with the accessibility bus on it; Qt joins the latter
# when asked by QT_LINUX_ACCESSIBILITY_ALWAYS_ON (no desktop here to switch it on).
cat >"$root/tmp/session.sh" <<'SESSION'
texts() { python3 /tmp/atspi-texts.py texts "$@"; }
where() { python3 /tmp/atspi-texts.py where "$@"; }
failed=0
fail() { echo "FAIL: $*"; failed=1; }
tab="$(printf '\t')"
exec 3>/tmp/aluno-display
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1366x768x24 >/dev/null 2>&1 &
server=$!
for i in $(seq 50); do [ -s /tmp/aluno-display ] && break; sleep 0.1; done
export DISPLAY=:$(cat /tmp/aluno-display)
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
bus=$!

# The trainer, from the menu entry, in another folder: the history must land in the home folder.
cd /tmp
command=$(sed -n "s/^Exec=//p" /usr/share/applications/org.example.tecladim.desktop)
eval "$command" >/tmp/tecladim.log 2>&1 &
program=$!
for i in $(seq 100); do xdotool search --onlyvisible --name "^Tecladim$" >/dev/null 2>&1 && break; sleep 0.1; done
sleep 2
import -window root /tmp/first-start.png
hand=$(xdotool search --onlyvisible --name "^Posi" | head -1)
if [ -n "$hand" ]; then
  eval "$(xdotool getwindowgeometry --shell "$hand")"
  xdotool mousemove $((X + 550)) $((Y + 393)) click 1   # its "Iniciar"
  sleep 0.5
else
  fail "no hand-position window"
fi
texts 4 >/tmp/trainer-texts &
listener=$!
sleep 1.5
# The lesson box's context menu, opened and walked one item down so it announces itself.
if spin=$(where "spin button" "Lição"); then
  xdotool mousemove $spin click 3 sleep 0.5 key Down sleep 0.3 key Escape
else
  fail "no lesson box"
fi
wait $listener
for text in Desfazer "Selecionar tudo"; do
  grep -q "^menu item$tab$text" /tmp/trainer-texts || fail "the lesson box's menu has no \"$text\""
done
if sair=$(where "push button" Sair); then xdotool mousemove $sair click 1; fi
for i in $(seq 50); do kill -0 $program 2>/dev/null || break; sleep 0.1; done
kill $program 2>/dev/null && fail "the trainer did not end at Sair"
[ -s "$HOME/Exercicio.xml" ] || fail "no history in the home folder"

# The class report, from its menu entry, on the home folder; its print dialog.
command=$(sed -n "s/^Exec=//p" /usr/share/applications/org.example.tecladim.turma.desktop)
eval "${command% %F} \"\$HOME\"" >/tmp/tecladim-turma.log 2>&1 &
program=$!
for i in $(seq 100); do
  window=$(xdotool search --onlyvisible --name "Relatório da turma$" | head -1)
  [ -n "$window" ] && break
  sleep 0.1
done
sleep 1
texts 4 >/tmp/turma-texts &
listener=$!
sleep 1
if [ -n "$window" ]; then
  xdotool windowactivate "$window" 2>/dev/null
  xdotool windowfocus "$window" key ctrl+p
else
  fail "no class report window"
fi
wait $listener
grep -q "^push button${tab}Cancelar" /tmp/turma-texts || fail "the print dialog has no \"Cancelar\""
kill $program 2>/dev/null || fail "the class report ended early"
wait $program 2>/dev/null

kill $bus $server 2>/dev/null
for log in tecladim tecladim-turma; do echo "$log output:"; sed "s/^/  /" /tmp/$log.log; done
echo "buttons and menu items read:"
sort -u /tmp/trainer-texts /tmp/turma-texts | grep -E "^(menu item|push button)$tab" | sed "s/^/  /"
exit $failed
SESSION
chroot "$root" su - aluno -s /bin/sh -c '
  export LANG=pt_BR.UTF-8 TZ=America/Sao_Paulo QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
  exec dbus-run-session -- /bin/sh /tmp/session.sh' && status=0 || status=$?
cp "$root/tmp/first-start.png" "$shot" 2>/dev/null && echo "screenshot: $shot"
if [ "$status" -eq 0 ]; then echo "PASS: both programs start from the package and speak Portuguese"; fi
exit "$status"
