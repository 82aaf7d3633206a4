#!/usr/bin/env bash
# A private CUPS scheduler for print tests: cupsd on a domain socket in a
# temporary folder, with a capture backend and two queues from hand-written
# PPDs (ZdA4, the default, and ZdLetter).
#
#   cups-sandbox.sh start          start one; prints the lines to eval:
#                                  CUPS_SERVER (the socket) and CUPS_SANDBOX
#                                  (the folder)
#   cups-sandbox.sh stop [FOLDER]  stop it (FOLDER or $CUPS_SANDBOX) and
#                                  remove the folder
#   cups-sandbox.sh run -- CMD...  start, run CMD with that environment, stop;
#                                  exits with CMD's status
#
# Each job of queue Q lands in $CUPS_SANDBOX/capture/Q/job-N.{data,copies,
# options,type,title}, with job-N.done written last.
# Exits 3 when cupsd is not installed.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
share=$here/cups-sandbox

find_tool() {
  local name=$1
  for d in /usr/sbin /usr/bin /sbin /bin; do
    [ -x "$d/$name" ] && { echo "$d/$name"; return 0; }
  done
  command -v "$name" 2>/dev/null || return 1
}

start() {
  local cupsd lpadmin
  cupsd=$(find_tool cupsd) || { echo "cups-sandbox: cupsd is not installed" >&2; exit 3; }
  lpadmin=$(find_tool lpadmin) || { echo "cups-sandbox: lpadmin is not installed" >&2; exit 3; }
  local dir
  dir=$(mktemp -d "${TMPDIR:-/tmp}/cups-sandbox.XXXXXX")
  chmod 0755 "$dir"
  mkdir -p "$dir"/{conf/ppd,bin/backend,bin/filter,spool,cache,state,tmp,log,capture/ZdA4,capture/ZdLetter}
  ln -s /usr/lib/cups/daemon "$dir/bin/daemon"
  install -m 0700 "$share/capture" "$dir/bin/backend/capture"
  cat > "$dir/conf/cups-files.conf" <<CONF
ServerRoot $dir/conf
ServerBin $dir/bin
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
TempDir $dir/tmp
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
User lp
Group lp
SystemGroup root
CONF
  cat > "$dir/conf/cupsd.conf" <<CONF
LogLevel warn
Listen $dir/cups.sock
Browsing No
WebInterface No
DefaultAuthType None
MaxJobs 0
PreserveJobFiles No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
CONF
  (
    cd /
    setsid "$cupsd" -f -c "$dir/conf/cupsd.conf" -s "$dir/conf/cups-files.conf" \
      >"$dir/log/cupsd.out" 2>&1 </dev/null &
    echo $! > "$dir/cupsd.pid"
  )
  export CUPS_SERVER=$dir/cups.sock
  local i
  for i in $(seq 1 100); do
    [ -S "$CUPS_SERVER" ] && lpstat -r >/dev/null 2>&1 && break
    if ! kill -0 "$(cat "$dir/cupsd.pid")" 2>/dev/null; then
      echo "cups-sandbox: cupsd did not start:" >&2
      cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
      rm -rf "$dir"
      exit 1
    fi
    sleep 0.05
  done
  local q
  for q in ZdA4 ZdLetter; do
    "$lpadmin" -p "$q" -E -v "capture:$dir/capture/$q" -P "$share/$q.ppd" >/dev/null 2>>"$dir/log/lpadmin.out"
  done
  "$lpadmin" -d ZdA4 >/dev/null
  echo "export CUPS_SERVER='$dir/cups.sock'"
  echo "export CUPS_SANDBOX='$dir'"
}

stop() {
  local dir=${1:-${CUPS_SANDBOX:-}}
  [ -n "$dir" ] && [ -f "$dir/cupsd.pid" ] || { echo "cups-sandbox: no sandbox to stop" >&2; exit 1; }
  local pid i
  pid=$(cat "$dir/cupsd.pid")
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    for i in $(seq 1 100); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    kill -0 "$pid" 2>/dev/null && kill -9 "$pid"
  fi
  rm -rf "$dir"
}

case ${1:-} in
  start) start ;;
  stop) shift; stop "${1:-}" ;;
  run)
    shift
    [ "${1:-}" = "--" ] && shift
    [ $# -gt 0 ] || { echo "usage: cups-sandbox.sh run -- CMD..." >&2; exit 2; }
    env_lines=$(start)
    eval "$env_lines"
    status=0
    "$@" || status=$?
    stop "$CUPS_SANDBOX"
    exit $status
    ;;
  *) echo "usage: cups-sandbox.sh start | stop [FOLDER] | run -- CMD..." >&2; exit 2 ;;
esac
