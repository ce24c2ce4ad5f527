#!/bin/sh
# SendMail and RecvMail against real peers on 127.0.0.1, started here and
# stopped by their process ids: SMTP peers of python3-aiosmtpd
# (smtp_peer.py) and Dovecot's POP3 server with a configuration, a
# passwd-file user and a Maildir of this test. The mailbox holds messages
# written by python3's email package; the message mail_send.kls sends is
# checked as received (mail_fixtures.py smtp), delivered into the mailbox
# and read back by mail_recv.kls, which saves its parts for a byte-for-byte
# comparison. The send script runs from source, the receive script
# compiled; their output must equal the .out files.
#   usage: mail_peers.sh KELPO.exe RUNNER
kelpo=$1
runner=$2
dir=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
work=$(mktemp -d)
pids=
stop_peers() {
    for pid in $pids; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
}
trap 'stop_peers; rm -rf "$work"' EXIT
# Dovecot's mail process reads the mailbox as an unprivileged user.
chmod 755 "$work"
cd "$work" || exit 2

wait_for_file() {
    waited=0
    while [ ! -f "$1" ] && [ "$waited" -lt 200 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    [ -f "$1" ]
}

free_port() {
    "$python" -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

"$python" "$dir/mail_fixtures.py" files "$work" || exit 1

mkdir smtp
"$python" "$dir/smtp_peer.py" "$work/smtp" > smtp.log 2>&1 &
pids="$pids $!"
if ! wait_for_file smtp/ports; then
    echo "the SMTP peers did not start"; cat smtp.log; exit 1
fi
closed=$(free_port)
smtp_ports="$(cat smtp/ports) $closed"

# Dovecot: run as root it hands the mailbox to nobody and its own users.
maildir=$work/home/kelpo/Maildir
mkdir -p run state "$maildir/cur" "$maildir/new" "$maildir/tmp"
"$python" "$dir/mail_fixtures.py" mailbox "$work" "$maildir" || exit 1
if [ "$(id -u)" -eq 0 ]; then
    login_user=dovenull internal_user=dovecot mail_user=nobody
    mail_group=$(id -gn nobody)
    chown -R nobody "$work/home"
else
    login_user=$(id -un) internal_user=$(id -un) mail_user=$(id -un)
    mail_group=$(id -gn)
fi
pop3_port=$(free_port)
printf 'kelpo:{PLAIN}s3cret::::::\n' > users
cat > dovecot.conf <<CONF
base_dir = $work/run
state_dir = $work/state
log_path = $work/dovecot.log
protocols = pop3
listen = 127.0.0.1
ssl = no
disable_plaintext_auth = no
auth_mechanisms = plain
default_login_user = $login_user
default_internal_user = $internal_user
first_valid_uid = 1
mail_location = maildir:$work/home/%u/Maildir
pop3_uidl_format = %f
passdb {
  driver = passwd-file
  args = scheme=PLAIN username_format=%u $work/users
}
userdb {
  driver = static
  args = uid=$mail_user gid=$mail_group home=$work/home/%u
}
service pop3-login {
  chroot =
  inet_listener pop3 {
    address = 127.0.0.1
    port = $pop3_port
  }
}
service anvil {
  chroot =
}
CONF
/usr/sbin/dovecot -F -c "$work/dovecot.conf" > dovecot.out 2>&1 &
pids="$pids $!"
if ! "$python" - "$pop3_port" <<'WAIT'
import socket, sys, time
for _ in range(100):
    try:
        socket.create_connection(("127.0.0.1", int(sys.argv[1])), timeout=1).close()
        sys.exit(0)
    except OSError:
        time.sleep(0.1)
sys.exit(1)
WAIT
then
    echo "Dovecot did not start"; cat dovecot.out dovecot.log; exit 1
fi

failed=0
run_script() {  # NAME TARGET ARGS...
    name=$1
    target=$2
    shift 2
    timeout 240 "$runner" "$kelpo" run "$target" "$@" > raw.out 2> err.out
    status=$?
    tr -d '\r' < raw.out > actual.out
    if [ "$status" -ne 0 ] || [ -s err.out ] || ! cmp -s actual.out "$dir/$name.out"; then
        echo "--- $target: exit status $status, output differs (expected, actual):"
        diff "$dir/$name.out" actual.out
        cat err.out
        failed=1
    fi
}

cp "$dir/mail_send.kls" "$dir/mail_recv.kls" .
# shellcheck disable=SC2086
run_script mail_send mail_send.kls $smtp_ports
"$python" "$dir/mail_fixtures.py" smtp "$work" || failed=1
"$python" "$dir/mail_fixtures.py" deliver "$work" "$maildir" || failed=1
[ "$(id -u)" -eq 0 ] && chown -R nobody "$work/home"

"$runner" "$kelpo" compile mail_recv.kls -o mail_recv.klc > compile.out 2>&1 || {
    echo "compile failed"; cat compile.out; exit 1
}
run_script mail_recv mail_recv.klc "$pop3_port"
"$python" "$dir/mail_fixtures.py" recv "$work" || failed=1

[ "$failed" -eq 0 ] && echo "mail with the SMTP and POP3 peers passed"
exit $failed
