#!/usr/bin/env bash
# Runs the program embedded in a stand-in host window, inside an X server of its own
# (started by xvfb-run), and drives its dialogs with xdotool.
# Usage: embedded_run.sh MODE HOST PROGRAM ACTION XML WORKSPACE
#   MODE accept: the open dialog gets XML, the final message box is closed with Return
#        cancel: the open dialog is cancelled with Escape, the message box closed
#        hostgone: the host ends while the open dialog is up
# Exit status: the program's, or 90 when a step did not happen in time.
set -u
mode=$1 host=$2 program=$3 action=$4 xml=$5 workspace=$6
export QT_QPA_PLATFORM=xcb
work=$(dirname "$program")
idfile=$work/host_id.txt
hostpid=
programpid=

fail() {
  echo "FALLO: $*"
  [ -n "$programpid" ] && kill "$programpid" 2>/dev/null
  [ -n "$hostpid" ] && kill "$hostpid" 2>/dev/null
  exit 90
}

# The first visible window named like NAME, waiting up to SECONDS. xdotool gives up with an X
# error when a window vanishes while it looks (a dialog closing), so it is simply asked again.
find_window() {
  local name=$1 deadline=$((SECONDS + $2)) found
  while [ "$SECONDS" -lt "$deadline" ]; do
    found=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n1)
    if [ -n "$found" ]; then
      echo "$found"
      return 0
    fi
    sleep 0.2
  done
  return 1
}

"$host" >"$idfile" &
hostpid=$!
for _ in $(seq 200); do [ -s "$idfile" ] && break; sleep 0.1; done
id=$(head -n1 "$idfile")
[ -n "$id" ] || fail "la ventana anfitriona no dio su identificador"
echo "anfitrion=$id"

MUDALINX_KTEMP=$workspace "$program" "$action" "$id" &
programpid=$!

dialog=$(find_window '^Archivo XML$' 40)
[ -n "$dialog" ] || fail "no apareció el diálogo Archivo XML"
# The main window lives inside the host window.
xwininfo -children -id "0x$id" | grep -q '"Exportar e importar datos entre Quorvia y Sendaro"' &&
  echo "incrustada=si"

case $mode in
  accept)
    xdotool windowfocus --sync "$dialog"
    sleep 0.5
    xdotool type --delay 15 "$xml"
    xdotool key Return
    ;;
  cancel)
    xdotool windowfocus --sync "$dialog"
    sleep 0.5
    xdotool key Escape
    ;;
  hostgone)
    kill "$hostpid"
    wait "$hostpid" 2>/dev/null
    hostpid=
    ;;
esac

if [ "$mode" != hostgone ]; then
  box=$(find_window '^Mudalinx$' 60)
  [ -n "$box" ] || fail "no apareció el mensaje final"
  xdotool windowfocus --sync "$box"
  sleep 0.3
  xdotool key Return
fi

for _ in $(seq 300); do kill -0 "$programpid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$programpid" 2>/dev/null && fail "el programa no terminó"
wait "$programpid"
status=$?
programpid=
echo "estado=$status"
[ -n "$hostpid" ] && kill "$hostpid" 2>/dev/null
exit "$status"
