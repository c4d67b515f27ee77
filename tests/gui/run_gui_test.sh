#!/usr/bin/env bash
# Runs a test script that drives the real program in a real window:
#   run_gui_test.sh PROGRAM SCRIPT.py
# The script runs inside a private session bus (the accessibility bus lives there) and
# starts its own X server; see guidriver.py.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export AMENDS_PROGRAM=$1
export PYTHONPATH="$here${PYTHONPATH:+:$PYTHONPATH}"
unset QT_QPA_PLATFORM
# A runtime folder of this run's own: the accessibility bus puts its socket there, so
# that several of these tests can run at once.
runtime=$(mktemp -d)
chmod 700 "$runtime"
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
dbus-run-session -- /usr/bin/python3 "$2"
