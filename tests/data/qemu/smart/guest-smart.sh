#!/bin/sh
# Runs inside the QEMU guest: dumps the SMART READ DATA and READ THRESHOLDS sectors of the
# emulated SATA disk as smartctl shows them, and smartctl's attribute table.
smartctl -s on /dev/sda > "$OUT/smartctl-enable.txt" 2>&1
smartctl -r ioctl,2 -A /dev/sda > "$OUT/smartctl-ioctl.txt" 2>&1
smartctl -A /dev/sda > "$OUT/smartctl-A.txt" 2>&1
exit 0
