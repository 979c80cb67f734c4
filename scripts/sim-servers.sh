# Sourced by scripts/demo and scripts/screenshots, from the top of the
# repository: starts relaymo-sim and the stand-in FTP server on 127.0.0.1,
# each on a free port, and stops both (and removes their files) at exit.
# Sets sim_port, ftp_port and ftp_root. sim_args (an array, if set) are
# passed on to relaymo-sim.

sim_log=$(mktemp /tmp/relaymo-sim.XXXXXX)
ftp_root=$(mktemp -d /tmp/relaymo-ftp.XXXXXX)
ftp_log=$(mktemp /tmp/relaymo-ftp-log.XXXXXX)
sim_pid=""
ftp_pid=""
trap 'kill $sim_pid $ftp_pid 2>/dev/null || true; rm -rf "$ftp_root" "$sim_log" "$ftp_log"' EXIT

# Waits for the "... listening on 127.0.0.1:PORT" line of a server's log and
# prints the port.
listening_port() {
  local pattern=$1 log=$2 port=""
  for _ in $(seq 1 100); do
    port=$(sed -n "s/^$pattern listening on 127\\.0\\.0\\.1:\\([0-9]*\\)\$/\\1/p" "$log")
    [ -n "$port" ] && break
    sleep 0.1
  done
  echo "$port"
}

build/relaymo-sim --port 0 ${sim_args[@]+"${sim_args[@]}"} > "$sim_log" 2>&1 &
sim_pid=$!
sim_port=$(listening_port relaymo-sim "$sim_log")
[ -n "$sim_port" ] || { echo "relaymo-sim did not start:" >&2; cat "$sim_log" >&2; exit 1; }
echo "relaymo-sim on 127.0.0.1:$sim_port"

# A stand-in for the gateway's FTP server with a copy of the sample
# configuration files in /www/htdocs/ (uploads change the copy only).
cp -r demo/ftp/. "$ftp_root/"
/usr/bin/python3 scripts/demo-ftp.py --root "$ftp_root" --user relaymo --password qzvx > "$ftp_log" 2>&1 &
ftp_pid=$!
ftp_port=$(listening_port "ftp server" "$ftp_log")
[ -n "$ftp_port" ] || { echo "the FTP server did not start:" >&2; cat "$ftp_log" >&2; exit 1; }
echo "FTP server on 127.0.0.1:$ftp_port (user relaymo, password qzvx; files in $ftp_root/www/htdocs)"

# Points the settings file $1 at both servers, keeping the rest, and chooses
# what the monitor shows first: the power terminal at word address 12
# (terminal type 3 on the page DB/D2ﾜｰﾄﾞ), whose voltage, currents and powers
# move with every poll.
point_settings_at_servers() {
  local ini=$1
  /usr/bin/python3 scripts/set-ini.py "$ini" MODBUS host=127.0.0.1 port="$sim_port"
  /usr/bin/python3 scripts/set-ini.py "$ini" FTP host=127.0.0.1 port="$ftp_port" user=relaymo pass=qzvx
  /usr/bin/python3 scripts/set-ini.py "$ini" ADDRESS w0=12
  /usr/bin/python3 scripts/set-ini.py "$ini" TERM type=3
}
