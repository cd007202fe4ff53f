#!/bin/sh
# expect_exit.sh STATUS TEXT PROGRAM ARGS...: passes when PROGRAM exits with STATUS and its
# standard error holds TEXT (a fixed string), so a failure for the wrong reason fails.
want=$1 text=$2
shift 2
err=$("$@" 2>&1 >/dev/null)
rc=$?
if [ "$rc" != "$want" ]; then
  echo "exit status $rc, expected $want; stderr: $err" >&2
  exit 1
fi
case $err in
  *"$text"*) exit 0 ;;
esac
echo "stderr lacks \"$text\": $err" >&2
exit 1
