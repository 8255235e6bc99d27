#!/bin/sh
# A throw-away PostgreSQL server on loopback for the database tests.
#   pgserver.sh start STATE   initialise a cluster in a new temporary folder, start it on a
#                             free port and write what a client needs into the file STATE
#   pgserver.sh stop STATE    stop that server and remove its folder
# PostgreSQL refuses to run as root; as root the server runs as the postgres account (or
# nobody). Any failure to start is an error: the tests that need the server must not pass
# without it.
set -eu

action=$1
state=$2

run_as() {
    owner=$1
    shift
    if [ "$(id -u)" -eq 0 ] && [ "$owner" != root ]; then
        runuser -u "$owner" -- "$@"
    else
        "$@"
    fi
}

case "$action" in
start)
    bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
    if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ]; then
        echo "pgserver: no PostgreSQL server installed (Debian package postgresql)" >&2
        exit 1
    fi
    owner=$(id -un)
    if [ "$(id -u)" -eq 0 ]; then
        owner=nobody
        if id postgres >/dev/null 2>&1; then owner=postgres; fi
    fi
    dir=$(mktemp -d /tmp/plotwright-pg.XXXXXX)
    chmod 700 "$dir"
    password=$(od -An -N12 -tx1 /dev/urandom | tr -d ' \n')
    printf '%s\n' "$password" >"$dir/password"
    [ "$owner" = "$(id -un)" ] || chown -R "$owner" "$dir"
    cd "$dir"
    if ! run_as "$owner" "$bindir/initdb" -D "$dir/data" -U plotwright --pwfile="$dir/password" \
        --auth-local=trust --auth-host=scram-sha-256 -E UTF8 --no-locale --no-sync >"$dir/initdb.log" 2>&1; then
        cat "$dir/initdb.log" >&2
        rm -rf "$dir"
        exit 1
    fi
    # A port chosen per run, retried when another program holds it.
    base=$((20000 + $$ % 20000))
    port=
    for try in 0 1 2 3 4 5 6 7 8 9; do
        candidate=$((base + try * 17))
        if run_as "$owner" "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
            -o "-c listen_addresses=127.0.0.1 -p $candidate -k $dir -c fsync=off -c full_page_writes=off" start >/dev/null 2>&1; then
            port=$candidate
            break
        fi
    done
    if [ -z "$port" ]; then
        echo "pgserver: the server did not start" >&2
        cat "$dir/server.log" >&2 || true
        rm -rf "$dir"
        exit 1
    fi
    run_as "$owner" "$bindir/createdb" -h "$dir" -p "$port" -U plotwright plotwright
    printf 'dir=%s\nbindir=%s\nowner=%s\nhost=127.0.0.1\nport=%s\nuser=plotwright\npassword=%s\ndatabase=plotwright\n' \
        "$dir" "$bindir" "$owner" "$port" "$password" >"$state"
    echo "pgserver: PostgreSQL on 127.0.0.1:$port in $dir"
    ;;
stop)
    [ -f "$state" ] || exit 0
    dir=$(sed -n 's/^dir=//p' "$state")
    bindir=$(sed -n 's/^bindir=//p' "$state")
    owner=$(sed -n 's/^owner=//p' "$state")
    cd /
    run_as "$owner" "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
    rm -rf "$dir" "$state"
    ;;
*)
    echo "usage: $0 start|stop STATE" >&2
    exit 2
    ;;
esac
