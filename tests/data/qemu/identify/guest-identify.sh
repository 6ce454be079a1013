#!/bin/sh
# Guest script for /work/shared/tools/qemu/run-guest.sh: dumps the Identify structures the
# emulated NVMe controller serves, raw (named as a debug-logs package names them) and as
# nvme-cli decodes them (-o json and -H), so that our decoders can be compared with an
# independent one.
O=${OUT:-/out}
C=/dev/nvme0
cd "$O" || exit 1
: > commands.txt
run() {  # run FILE CMD...: stdout to FILE (removed when the command fails), stderr to the record
    f=$1; shift
    "$@" > "$f" 2> err.txt; rc=$?
    echo "rc=$rc $* > $f" >> commands.txt
    [ $rc -eq 0 ] || { head -n 1 err.txt >> commands.txt; rm -f "$f"; }
    rm -f err.txt
}
# raw CNS NSID [CNTID [CSI]]: Identify through the pass-through, 4096 bytes
raw() {
    cns=$(( $1 )); cdw10=$(( cns | ${3:-0} << 16 )); cdw11=$(( ${4:-0} << 24 ))
    run "cntid_${3:-0}_cns_${cns}_nsid_$2_nvmsetid_0_csi_${4:-0}.bin" nvme admin-passthru $C \
        --opcode=6 --namespace-id=$2 --cdw10=$cdw10 --cdw11=$cdw11 --data-len=4096 -r -b
}
nvme list-ns $C -a > nsids.txt 2>&1
NSIDS=$(sed -n 's/^.*\]:0x\([0-9a-f]*\)$/\1/p' nsids.txt)
ALLNS=""; for n in $NSIDS; do ALLNS="$ALLNS $((0x$n))"; done
[ -n "$ALLNS" ] || ALLNS=1

raw 1 0;  run id-ctrl.json nvme id-ctrl $C -o json; run id-ctrl.txt nvme id-ctrl $C -H
run id-ctrl-b.bin nvme id-ctrl $C -b
raw 6 0 0 0; run nvm-id-ctrl.json nvme nvm-id-ctrl $C -o json
for n in $ALLNS; do
    raw 0 $n;  run id-ns$n.json nvme id-ns $C -n $n -o json; run id-ns$n.txt nvme id-ns $C -n $n -H
    run id-ns$n-b.bin nvme id-ns $C -n $n -b
    raw 0x11 $n
    raw 3 $n;  run ns-descs$n.json nvme ns-descs $C -n $n -o json
    raw 5 $n 0 0; run nvm-id-ns$n.json nvme nvm-id-ns $C -n $n -o json
    raw 8 $n;  run cmdset-ind-id-ns$n.json nvme cmdset-ind-id-ns $C -n $n -o json
    raw 0x1b $n 0 0
    raw 0x12 $n; run list-ctrl-ns$n.json nvme list-ctrl $C -n $n -o json
done
raw 2 0;     run list-ns.json nvme list-ns $C -o json
raw 0x10 0;  run list-ns-all.json nvme list-ns $C -a -o json
raw 7 0 0 0; raw 0x1a 0 0 0
raw 0x13 0;  run list-ctrl.json nvme list-ctrl $C -o json
raw 0x14 0;  run primary-ctrl-caps.json nvme primary-ctrl-caps $C -o json
raw 0x15 0;  run list-secondary.json nvme list-secondary $C -o json
raw 0x16 0;  run id-ns-granularity.json nvme id-ns-granularity $C -o json
raw 0x17 0;  run id-uuid.json nvme id-uuid $C -o json
raw 4 0;     run id-nvmset.json nvme id-nvmset $C -o json
raw 0x18 0;  run id-domain.json nvme id-domain $C -o json
raw 0x19 0;  run list-endgrp.json nvme list-endgrp $C -o json
raw 0x1c 0;  run id-iocs.txt nvme id-iocs $C
# nvme-cli's own raw dumps must equal the pass-through ones
cmp id-ctrl-b.bin cntid_0_cns_1_nsid_0_nvmsetid_0_csi_0.bin >> commands.txt 2>&1 && rm id-ctrl-b.bin
for n in $ALLNS; do
    cmp id-ns$n-b.bin cntid_0_cns_0_nsid_${n}_nvmsetid_0_csi_0.bin >> commands.txt 2>&1 && rm id-ns$n-b.bin
done
exit 0
