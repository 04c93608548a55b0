#!/usr/bin/env bash
# Runs a command against a PostgreSQL server of its own: a new cluster in a temporary folder, reached
# only through a Unix socket in that folder, stopped and deleted when the command ends (however it
# ends). The command finds the server in ORNEXA_TEST_POSTGRES_URI; the script exits with its status.
#
#   postgres_server.sh COMMAND [ARGS...]
#
# A missing PostgreSQL is a failure, never a reason to skip. As root the server runs as the
# `postgres` system user, since initdb refuses root.
set -euo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 COMMAND [ARGS...]" >&2
    exit 2
fi

fail() {
    echo "postgres_server.sh: $*" >&2
    exit 1
}

# The newest server installed (Debian keeps each major version in a folder of its own).
bin=""
for dir in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -t/ -k4,4n); do
    [ -x "$dir/initdb" ] && bin="$dir"
done
if [ -z "$bin" ] && command -v initdb >/dev/null; then
    bin="$(dirname "$(command -v initdb)")"
fi
[ -n "$bin" ] || fail "no PostgreSQL server found (initdb); scripts/install-deps installs the postgresql package"
for tool in initdb pg_ctl pg_isready createdb; do
    [ -x "$bin/$tool" ] || fail "$bin/$tool is missing"
done

as_server=()
if [ "$(id -u)" -eq 0 ]; then
    id postgres >/dev/null 2>&1 || fail "running as root needs the postgres system user (from the postgresql package)"
    as_server=(runuser -u postgres --)
fi

folder="$(mktemp -d "${TMPDIR:-/tmp}/ornexa-pg.XXXXXX")"
data="$folder/data"
log="$folder/server.log"
started=""

cleanup() {
    local status=$?
    if [ -n "$started" ]; then
        "${as_server[@]}" "$bin/pg_ctl" -D "$data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$folder"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The socket lives in the folder: the test program (possibly another user) must be able to reach it.
chmod 755 "$folder"
touch "$log"
if [ ${#as_server[@]} -gt 0 ]; then
    chown -R postgres: "$folder"
fi

"${as_server[@]}" "$bin/initdb" -D "$data" --auth=trust -U postgres --no-sync -E UTF8 --locale=C >"$log" 2>&1 ||
    { cat "$log" >&2; fail "initdb failed"; }

# No TCP listener: the port only names the socket file, so any number is free in a folder of our own.
port=$((20000 + RANDOM % 30000))
started=yes
"${as_server[@]}" "$bin/pg_ctl" -D "$data" -l "$log" -w -t 60 \
    -o "-k '$folder' -p $port -c listen_addresses='' -c fsync=off -c synchronous_commit=off -c full_page_writes=off" \
    start >/dev/null || { cat "$log" >&2; fail "the server did not start"; }

for _ in $(seq 1 100); do
    "$bin/pg_isready" -q -h "$folder" -p "$port" && break
    sleep 0.1
done
"$bin/pg_isready" -q -h "$folder" -p "$port" || { cat "$log" >&2; fail "the server does not answer"; }

"$bin/createdb" -h "$folder" -p "$port" -U postgres ornexa_test || fail "createdb failed"

# A URI query value: every byte outside the unreserved set (and '/') percent-encoded.
uri_encoded() {
    local LC_ALL=C text="$1" out="" c i
    for ((i = 0; i < ${#text}; i++)); do
        c="${text:i:1}"
        case "$c" in
        [A-Za-z0-9._~/-]) out+="$c" ;;
        *) out+="$(printf '%%%02X' "'$c")" ;;
        esac
    done
    printf '%s' "$out"
}
export ORNEXA_TEST_POSTGRES_URI="postgresql://postgres@/ornexa_test?host=$(uri_encoded "$folder")&port=$port"

set +e
"$@"
status=$?
set -e
exit "$status"
