#!/usr/bin/env bash
# The systemd user unit of ornexa-report --watch as systemd reads it: `systemd-analyze verify` on an
# instance (a folder), with the program of this build tree in place of the installed one. Any word of
# systemd about the unit fails the test: it ignores a setting it cannot parse with a warning only.
set -euo pipefail
unit=$1    # the configured unit of the build tree
program=$2 # ornexa-report of the build tree
installed=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work/runtime HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$HOME"

grep -q "^ExecStart=$installed " "$unit" || { echo "FAIL: the unit does not start $installed"; exit 1; }
sed "s|^ExecStart=$installed |ExecStart=$program |" "$unit" >"$work/ornexa-watch@.service"
instance=$(systemd-escape --path --template=ornexa-watch@.service "$work/reports folder")
if ! systemd-analyze verify --user --man=no "$work/$instance" >"$work/verify.log" 2>&1 || [ -s "$work/verify.log" ]; then
    echo "FAIL: systemd-analyze verify $instance:"
    cat "$work/verify.log"
    exit 1
fi
for line in 'Restart=on-failure' 'ExecStart=.* --watch "%I"' 'EnvironmentFile=-%E/ornexa/watch.env'; do
    grep -q "^$line" "$work/ornexa-watch@.service" || { echo "FAIL: no $line"; exit 1; }
done
echo "ok: $instance"
