#!/bin/sh
# Runs inside the QEMU guest (busybox ash) booted with two NVMe controllers in one NVMe
# subsystem sharing its namespaces, as on a dual-ported drive: both controllers are listed,
# each is collected into a package of its own, and the shared namespace is found under each
# although the kernel names its folders after the subsystem (nvme<subsys>c<ctrl>n<x>).
# Prints one PASS/FAIL line per check and ends with the number of failures.
set -u
failures=0
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
cd "$OUT" || exit 3

echo "== sysfs seen by the guest"
for c in /sys/class/nvme/nvme*; do
    echo "$c: $(cat "$c/serial" "$c/transport" "$c/state" 2>/dev/null | tr '\n' ' ')| $(ls "$c" | grep n | tr '\n' ' ')"
done
ls /sys/block | tr '\n' ' '; echo

ssdtool show -ssd > show.txt 2> show.err
rc=$?
cat show.txt show.err
if [ $rc -eq 0 ] && grep -Eq '^0 .*/dev/nvme0 +NVMe +pcie, live$' show.txt &&
   grep -Eq '^1 .*/dev/nvme1 +NVMe +pcie, live$' show.txt; then
    pass "show -ssd lists both controllers of the subsystem"
else
    fail "show -ssd (exit status $rc)"
fi

# collect SELECTOR FOLDER: one --as-maker package of the controller, unpacked into FOLDER
collect() {
    mkdir -p "$2"
    ( cd "$2" && ssdtool --as-maker=Kestrova dump -debuglogs -ssd "$1" > ../"$2".out 2> ../"$2".err )
    rc=$?
    echo "dump -ssd $1: exit status $rc"; tail -n 3 "$2".out; cat "$2".err
    zip=$(ls "$2"/*.zip 2>/dev/null | head -n 1)
    if [ -z "$zip" ]; then
        fail "dump -ssd $1 made no package (exit status $rc)"
        return 1
    fi
    ( cd "$2" && unzip -q "$(basename "$zip")" )
    if [ -n "$(find "$2" -path '*identify/*' -name '*_cns_0_nsid_1_*.bin')" ]; then
        pass "dump -ssd $1: $(basename "$zip") holds the shared namespace's Identify Namespace"
    else
        fail "dump -ssd $1: no Identify Namespace of NSID 1 in $(basename "$zip")"
    fi
}

# By index the run says which drive it reads; by path it picks the other controller.
collect 0 first
if grep -q "^ssdtool: drive 0 is /dev/nvme0 (serial " first.err; then
    pass "selected by index, the run names the drive it reads"
else
    fail "selected by index, the run does not name its drive"
fi
collect /dev/nvme1 second

echo "failures: $failures"
[ $failures -eq 0 ]
