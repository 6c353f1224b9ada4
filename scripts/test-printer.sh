#!/usr/bin/env bash
# A real CUPS print queue for the tests, on machines without systemd.
#
#   start OUTDIR   start cupsd (unless a scheduler already answers) and create or update the
#                  queue VelmoraTest, whose cups-pdf backend writes every job as
#                  OUTDIR/<job-title>-job_<id>.pdf. Prints the queue name on stdout.
#   stop           stop the cupsd that `start` launched and remove its state.
#
# Needs root and the packages cups, cups-client and printer-driver-cups-pdf. cupsd listens only
# on the local socket /run/cups/cups.sock, which libcups and Qt use by default.
# A job is complete once `lpstat -o VelmoraTest` prints nothing (about 0.2 s a page).
# Landscape jobs come out as portrait A4 sheets marked /Rotate 90 ("Page rot: 90" in pdfinfo).
set -euo pipefail
export LC_ALL=C PATH=$PATH:/usr/sbin:/sbin
QUEUE=VelmoraTest
STATE=/run/velmora-test-printer # our cupsd.conf; its folder is cupsd's ServerRoot
PIDFILE=$STATE/cupsd.pid
STARTED=$STATE/started-by-us
CONF=/etc/cups/cups-pdf-$QUEUE.conf # cups-pdf reads cups-pdf-NAME.conf for the URI cups-pdf:/NAME

running() { [[ $(lpstat -r 2>/dev/null) == 'scheduler is running' ]]; }
ourpid() {
    local p
    p=$(cat "$PIDFILE" 2>/dev/null) && [[ $(cat "/proc/$p/comm" 2>/dev/null) == cupsd ]] && echo "$p"
}

start() {
    local out
    out=$(realpath -m "${1:?usage: $0 start OUTDIR}")
    [[ -x /usr/sbin/cupsd && -x /usr/lib/cups/backend/cups-pdf ]] ||
        { echo "mancano cups e printer-driver-cups-pdf" >&2; exit 1; }
    [[ $(id -u) -eq 0 ]] || { echo "serve root per avviare cupsd" >&2; exit 1; }
    mkdir -p "$out" "$STATE"
    # Settings of this queue, read again for every job, so a new OUTDIR needs no restart:
    # one output folder for every user (root included, whose default would be ~/PDF), files
    # readable by all, and Ghostscript told to ignore the DSC "%%PageOrientation: Portrait" so
    # that AutoRotatePages marks landscape pages.
    cat >"$CONF" <<CONFEOF
Out $out
AnonDirName $out
UserUMask 0022
AnonUMask 0022
Grp lp
LogType 1
GSCall %s -q -dCompatibilityLevel=%s -dNOPAUSE -dBATCH -dSAFER -dParseDSCComments=false -sDEVICE=pdfwrite -sOutputFile="%s" -dAutoRotatePages=/PageByPage -dAutoFilterColorImages=false -dColorImageFilter=/FlateEncode -dPDFSETTINGS=/prepress -c -f %s
CONFEOF
    if ! running; then
        # Local socket only, no browsing and no web interface; any local user may administer.
        cat >"$STATE/cupsd.conf" <<'CONFEOF'
LogLevel warn
Listen /run/cups/cups.sock
Browsing No
WebInterface No
ErrorPolicy abort-job
<Policy default>
  JobPrivateAccess default
  JobPrivateValues default
  SubscriptionPrivateAccess default
  SubscriptionPrivateValues default
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONFEOF
        mkdir -p /run/cups
        # -F keeps cupsd in the foreground (so $! is cupsd itself) in a session of its own.
        setsid cupsd -F -c "$STATE/cupsd.conf" -s /etc/cups/cups-files.conf </dev/null \
            >>"$STATE/cupsd.log" 2>&1 &
        echo $! >"$PIDFILE"
        touch "$STARTED"
        for _ in $(seq 100); do running && break; sleep 0.1; done
        running || { echo "cupsd non si avvia; vedere /var/log/cups/error_log" >&2; exit 1; }
    fi
    # The pdftocairo renderer keeps the text readable (the default loses it); TitlePref=1 and
    # Label=2 name the files <job-title>-job_<id>.pdf (the PPD's defaults beat cups-pdf's conf).
    local msg # lpadmin always warns that PPD drivers are deprecated: shown only on failure
    msg=$(lpadmin -p "$QUEUE" -E -v "cups-pdf:/$QUEUE" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
        -o PageSize=A4 -o pdftops-renderer-default=pdftocairo -o TitlePref=1 -o Label=2 \
        -o printer-error-policy=abort-job -o printer-is-shared=false 2>&1) ||
        { echo "$msg" >&2; exit 1; }
    lpadmin -d "$QUEUE"
    cupsenable "$QUEUE" && cupsaccept "$QUEUE"
    echo "$QUEUE"
}

stop() {
    local p
    p=$(ourpid) || true
    if [[ -n $p ]]; then
        kill "$p" # cupsd takes about 2 s to exit cleanly
        for _ in $(seq 100); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
        kill -0 "$p" 2>/dev/null && kill -KILL "$p"
    fi
    rm -f "$CONF"
    rm -rf "$STATE"
}

case "${1:-}" in
start) start "${2:-}" ;;
stop) stop ;;
*) echo "uso: $0 start CARTELLA | stop" >&2; exit 2 ;;
esac
