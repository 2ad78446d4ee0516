#!/bin/sh
# Writes a small measuring campaign to try batches on: one series file per
# probe and hour, FOLDER/p1-h00.txt, FOLDER/p1-h01.txt, ... (ten hours per
# probe), each a comment line and 60 to 100 samples of a wave 0.5 s apart.
# As in real campaigns, a few files are not clean: every hour 03 misses a
# line and p2-h06 repeats one (runs with a warning), and p4-h07 ends in a
# line cut short (a run that fails). The same COUNT gives the same bytes.
# Usage: make_campaign.sh [COUNT] [FOLDER]   (default: 50 files in data/)
set -eu
count="${1:-50}"
folder="${2:-data}"
mkdir -p "$folder"
awk -v count="$count" -v folder="$folder" 'BEGIN {
  for (k = 0; k < count; k++) {
    probe = int(k / 10) + 1
    hour = sprintf("%02d", k % 10)
    name = folder "/p" probe "-h" hour ".txt"
    samples = 60 + (7 * k) % 41
    printf "# probe %d, hour %s: time (s), height (m)\n", probe, hour > name
    for (i = 0; i < samples; i++) {
      if (hour == "03" && i == 20) continue
      t = 0.5 * i
      value = (1 + probe / 4) * sin(0.37 * t + k) + 0.4 * sin(1.3 * t + 2 * k)
      printf "%.1f %.4f\n", t, value > name
      if (probe == 2 && hour == "06" && i == 30) printf "%.1f %.4f\n", t, value > name
    }
    if (probe == 4 && hour == "07") printf "%.1f\n", 0.5 * samples > name
    close(name)
  }
}'
