#!/bin/sh
# Runs inside the QEMU guest (busybox ash): ssdtool against the emulated NVMe controller and
# SATA disk, its files compared byte for byte with nvme-cli and smartctl reads of the same
# structures. Prints one PASS/FAIL/SKIP line per check and ends with the number of failures.
set -u
failures=0
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
skip() { echo "SKIP: $*"; }
cd "$OUT" || exit 3

echo "== sysfs seen by the guest"
for f in /sys/class/nvme/nvme0/model /sys/class/nvme/nvme0/serial /sys/block/sda/device/vendor \
         /sys/block/sda/device/model; do
    echo "$f: $(cat "$f" 2>/dev/null)"
done
ls /sys/class/nvme/nvme0/ 2>/dev/null | tr '\n' ' '; echo

# --- the drive list
ssdtool show -ssd > show.txt 2> show.err
rc=$?
cat show.txt show.err
if [ $rc -eq 0 ] && grep -Eq '^0 .*/dev/nvme0 +NVMe +pcie, live$' show.txt && grep -Eq '^1 .*/dev/sda +ATA +sata$' show.txt; then
    pass "show -ssd lists the NVMe controller and the SATA disk"
else
    fail "show -ssd (exit status $rc)"
fi

# --- a run without root: the permission message and exit status 2 (busybox has no setpriv
# --reuid, so su to a user added for the run)
grep -q '^nobody:' /etc/passwd 2>/dev/null || echo 'nobody:x:65534:65534:nobody:/tmp:/bin/sh' >> /etc/passwd
tool=$(command -v ssdtool)
( cd /tmp && su -s /bin/sh nobody -c "$tool dump -debuglogs -ssd 0" > "$OUT/noroot.out" 2> "$OUT/noroot.err" )
rc=$?
cat noroot.err
if [ $rc -eq 2 ] && grep -q "needs root or read-write access to /dev/nvme0" noroot.err; then
    pass "without root: the permission message and exit status 2"
else
    fail "without root (exit status $rc)"
fi
# Listing reads sysfs only, so it needs no root.
( cd /tmp && su -s /bin/sh nobody -c "$tool show -ssd" > "$OUT/noroot-show.txt" 2>&1 )
if grep -Eq '/dev/nvme0 +NVMe +pcie, live$' noroot-show.txt && grep -Eq '/dev/sda +ATA +sata$' noroot-show.txt; then
    pass "without root: show -ssd lists both drives"
else
    fail "without root: show -ssd"; cat noroot-show.txt
fi

# dump INDEX FOLDER FAMILY: one package of the drive, unpacked into FOLDER; a run that
# collected no drive log keeps its folder instead, which is then searched as it is
dump() {
    mkdir -p "$2"
    start=$(date +%s)
    ( cd "$2" && ssdtool --as-maker="$3" --host-log="$OUT/$2-host.log" dump -debuglogs -ssd "$1" -v \
          > ../"$2".out 2> ../"$2".err )
    rc=$?
    echo "dump -ssd $1: exit status $rc in $(( $(date +%s) - start )) s"
    tail -n 5 "$2".out; cat "$2".err
    zip=$(ls "$2"/*.zip 2>/dev/null | head -n 1)
    if [ -z "$zip" ] && [ $rc -eq 0 ] && grep -q "No package was made: no drive log was collected" "$2".out; then
        pass "dump -ssd $1 ran; it collected no drive log, so it kept its folder"
        return 0
    fi
    if [ -z "$zip" ]; then
        fail "dump -ssd $1 made no package"
        return 1
    fi
    pass "dump -ssd $1 made $(basename "$zip")"
    ( cd "$2" && unzip -q "$(basename "$zip")" )
    return 0
}

# same NAME OURS REFERENCE
same() {
    if [ ! -s "$3" ]; then
        fail "$1: the reference read failed"
    elif cmp -s "$2" "$3"; then
        pass "$1 identical ($(wc -c < "$2") bytes)"
    else
        fail "$1 differs: $(cmp "$2" "$3" 2>&1 | head -n 1)"
    fi
}

# --- NVMe
if dump 0 nvme Kestrova; then
    for file in $(find nvme -path '*identify/*.bin' | sort); do
        name=$(basename "$file" .bin)
        cns=$(echo "$name" | sed -n 's/.*_cns_\([0-9]*\)_.*/\1/p')
        nsid=$(echo "$name" | sed -n 's/.*_nsid_\([0-9]*\)_.*/\1/p')
        case "$cns" in
            1) nvme id-ctrl /dev/nvme0 -b > ref.bin 2>/dev/null ;;
            0) nvme id-ns /dev/nvme0 -n "$nsid" -b > ref.bin 2>/dev/null ;;
            *) nvme admin-passthru /dev/nvme0 --opcode=0x06 --namespace-id="$nsid" --cdw10="$cns" \
                   --data-len=4096 --read -b > ref.bin 2>/dev/null ;;
        esac
        same "identify CNS $cns NSID $nsid" "$file" ref.bin
    done
    pages=$(find nvme -path '*log_pages/lid_*.bin' | sort)
    echo "log pages in the package: $(echo "$pages" | grep -c .)"
    grep -E "NVMe Logs generated" nvme.out
    for file in $pages; do
        name=$(basename "$file" .bin)
        lid=$(echo "$name" | sed -n 's/lid_\(0x[0-9a-fA-F]*\)_lsp_.*/\1/p')
        lsp=$(echo "$name" | sed -n 's/.*_lsp_\(0x[0-9a-fA-F]*\)_lsi_.*/\1/p')
        lsi=$(echo "$name" | sed -n 's/.*_lsi_\(0x[0-9a-fA-F]*\)$/\1/p')
        case $((lid)) in
            2) skip "log page $lid: the SMART / Health counters change with every command"; continue ;;
            7|8) skip "log page $lid: telemetry"; continue ;;
        esac
        nvme get-log /dev/nvme0 --log-id=$((lid)) --log-len="$(wc -c < "$file")" --lsp=$((lsp)) \
            --lsi=$((lsi)) -b > ref.bin 2>/dev/null
        same "log page $lid (LSP $lsp, LSI $lsi)" "$file" ref.bin
    done
fi

# --- SATA
if dump 1 sata Aldermoor; then
    smartctl -r ioctl,2 -A /dev/sda > smartctl-raw.txt 2>&1
    # hexblock NAME OUT: the last successful hex dump of that command in smartctl's output
    hexblock() {
        awk -v name="[$1]" '
            index($0, "REPORT-IOCTL:") && index($0, "returned") { ok = ($NF == "0") }
            index($0, "===== " name " DATA START") { text = ""; on = 1; next }
            index($0, "===== " name " DATA END") { on = 0; if (ok) kept = text; next }
            on && /^[0-9]+-[0-9]+:/ { sub(/^[0-9-]*: /, ""); sub(/ \|.*$/, ""); text = text $0 "\n" }
            END { printf "%s", kept }' smartctl-raw.txt | xxd -r -p > "$2"
    }
    hexblock "SMART READ ATTRIBUTE VALUES" ref-data.bin
    hexblock "SMART READ ATTRIBUTE THRESHOLDS" ref-thresholds.bin
    data=$(find sata -name SMART_DATA.bin | head -n 1)
    thresholds=$(find sata -name SMART_THRESHOLDS.bin | head -n 1)
    if [ -z "$data$thresholds" ]; then
        skip "skipped: no SATA_logs in the package"
    else
        same "SMART_DATA.bin" "$data" ref-data.bin
        same "SMART_THRESHOLDS.bin" "$thresholds" ref-thresholds.bin
    fi
fi

# --- without --as-maker, the emulated controller is another maker's drive: no drive logs
mkdir -p plain
( cd plain && ssdtool dump -debuglogs -ssd 0 > ../plain.out 2> ../plain.err )
rc=$?
if [ $rc -eq 0 ] && [ -z "$(find plain -path '*log_pages/*.bin')" ] && grep -q "No package was made" plain.out; then
    pass "without --as-maker the controller gets what another maker's drive gets"
else
    fail "without --as-maker (exit status $rc)"
fi

# --- the controller disappears during a run: the run ends, with failures, never a crash or a hang
mkdir -p gone
pci=$(basename "$(readlink -f /sys/class/nvme/nvme0/device)")
# removed as soon as the run has made its output folder, before the drive collectors end
( while [ -z "$(ls gone)" ]; do :; done; echo 1 > "/sys/bus/pci/devices/$pci/remove" ) &
( cd gone && timeout 300 ssdtool --as-maker=Kestrova --log="$OUT/gone-plugin.log" dump -debuglogs -ssd 0 -v \
      > ../gone.out 2> ../gone.err )
rc=$?
wait
echo "removed $pci during the run: exit status $rc"
grep -m 3 -E "is gone|timed out|aborted" gone-plugin.log
if [ $rc -eq 1 ] && grep -qE "Error extracting|is gone" gone.out gone.err; then
    pass "a controller removed during the run ends it with exit status $rc"
else
    fail "a controller removed during the run: exit status $rc"
fi

echo "failures: $failures"
[ $failures -eq 0 ]
