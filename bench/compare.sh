#!/usr/bin/env bash
# Times scan2theta convert against the alternatives on the same batches, in one run:
#   - scan2theta convert to text, XFIT and CPI with the spline calibration and spline resampling,
#     with one job per core and with -j 1 (whose files must be the same);
#   - bench/reference.py, the same conversion written with numpy and scipy; its files are compared
#     with ours byte for byte, so that both sides do the same work;
#   - xyconv (libxy-bin) converting our CPI files, the same number of points, to text;
#   - scan2theta reading those CPI files through xylib, with their own angles, and writing XFIT at
#     their own step (the same reading as xyconv's, and a file of the same values);
#   - the input/output floor: cat copying the same output bytes, in one stream and file by file.
# Then prints a table of wall times, points (values written) per second and ratios, the spline
# preparation's cost per point from the benchmarks, and the machine's load before and after.
#
# Usage: bench/compare.sh [BUILD_DIR]        (default: build/ beside bench/)
# Environment: FILES (200 channel files of 4096 channels), BIG_FILES (4 of 32767), STEP (0.02),
#              BIG_STEP (0.0025), RUNS (40 timed runs, in ROUNDS of 10, see below; the Python pipeline
#              gets SLOW_RUNS, 3), KEEP=1 keeps the work folder.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$(cd "${1:-$root/build}" && pwd)
python=${PYTHON:-/usr/bin/python3}
files=${FILES:-200}
bigFiles=${BIG_FILES:-4}
step=${STEP:-0.02}
bigStep=${BIG_STEP:-0.0025}
runs=${RUNS:-40}
rounds=${ROUNDS:-10}
slowRuns=${SLOW_RUNS:-3}
jobs=$(nproc)
date=2026-01-02

cmake --build "$build" --target scan2theta scan2theta-bench -j 2 >/dev/null
converter=$build/scan2theta
work=$(mktemp -d /tmp/scan2theta-compare.XXXXXX)
# The folders made in the work folder are placed as if at the top of the file system (ext4's
# "top of directory hierarchies" attribute): in block groups of their own, rather than in the group
# of /tmp, where builds and test runs delete files all the time (see measure below). Where the
# attribute is unknown, nothing changes.
chattr +T "$work" 2>/dev/null || true
if [[ ${KEEP:-0} != 1 ]]; then trap 'rm -rf "$work"' EXIT; fi
results=$work/results.tsv
: >"$results"
mkdir -p "$work/times"
# Every output folder, and those moved aside, in one folder: in one block group, which stays in
# the memory of the file system from run to run (each folder made at the top would start in a cold
# one). Its name is random: ext4 starts its search for a top folder's group from the hash of the
# name, so a fixed name would put every run's outputs into the group where the last run deleted its
# own tens of thousands of files on exit, and meet the penalty described at measure below.
outs=$(mktemp -d "$work/outputs.XXXXXX")
mkdir -p "$outs/aside"
fresh() {  # the shell command that gives the folder or file $1 a fresh start
  echo "mv $1 $outs/aside/\$(date +%s%N) 2>/dev/null; mkdir -p \$(dirname $1); sync"
}

machine() {
  echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), \
$(free -g | awk '/^Mem:/ {print $2}') GiB memory; $1 load average:$(uptime | sed 's/.*load average://')"
}
machine "before:"

# measure NAME PREPARE RUNS OUTPUT COMMAND ARGUMENTS...: times the command, run without a shell
# around it, with its standard output sent to OUTPUT; PREPARE (a shell command) runs untimed before
# every run. Adds the times in seconds to those of NAME (work/times/NAME); summarize turns them into
# "name median min mean sd" in the results.
# Every run writes into a fresh output folder: PREPARE moves the last run's folder aside instead of
# deleting it, because on an ext4 file system without a journal (as on this machine) creating files
# in a block group where thousands were deleted in the last minutes costs several times as much (the
# inode allocator skips, one by one, inodes deleted in the last 60 seconds, or 6 minutes while their
# inode table is not yet written back), which a conversion on an ordinary file system never meets.
# The folders moved aside go at the end (a few GiB under /tmp meanwhile). PREPARE also writes every
# dirty page to the disk, so that no run shares the processors with the kernel writing back an
# earlier run's files.
measure() {
  local name=$1 prepare=$2 count=$3 output=$4
  shift 4
  if command -v hyperfine >/dev/null; then
    hyperfine -N --style none --warmup 1 --runs "$count" --prepare "bash -c $(printf '%q' "$prepare")" \
      --output "$output" --export-json "$work/last.json" "$(printf '%q ' "$@")" >/dev/null 2>>"$work/hyperfine.log"
    "$python" -c "import json, sys
print(*json.load(open(sys.argv[1]))['results'][0]['times'], sep='\n')" "$work/last.json" >>"$work/times/$name"
  else
    local i start end
    bash -c "$prepare" && "$@" >"$output"  # warm-up
    for ((i = 0; i < count; i++)); do
      bash -c "$prepare"
      start=$EPOCHREALTIME
      "$@" >"$output"
      end=$EPOCHREALTIME
      echo "$end - $start" | bc >>"$work/times/$name"
    done
  fi
}
summarize() {
  "$python" - "$work/times" >>"$results" <<'EOF'
import os, statistics, sys
for name in sorted(os.listdir(sys.argv[1])):
    t = [float(v) for v in open(os.path.join(sys.argv[1], name))]
    print(name, statistics.median(t), min(t), statistics.mean(t), statistics.stdev(t) if len(t) > 1 else 0.0,
          sep="\t")
EOF
}

# The batches and their calibrations: the built-in one for 4096 channels, the same points at eight
# times the channels for 32767.
home=$work/home
"$converter" calibration show --home "$home" >/dev/null
"$python" "$here/make-batch.py" "$work/in-4096" "$files" 4096
"$python" "$here/make-batch.py" "$work/in-32767" "$bigFiles" 32767 big
printf '%s\r\n' '#y=Cx+K' '#Header' 'K=	10.939501' 'C=	0.026928' '' \
  '#Observed Channel for the peaks, calculated 2-theta value for peaks' '#Calibrasion Data' \
  'numOfDataPoints= 4' '5240.0000	28.7830' '10824.0000	47.3040' '13448.0000	56.1220' \
  '17336.0000	69.1320' '' >"$work/big.pre"

declare -A points
for batch in 4096 32767; do
  if [[ $batch == 4096 ]]; then options=$home/Default.pre; s=$step; else options=$work/big.pre; s=$bigStep; fi
  inputs=("$work/in-$batch"/*.chn)
  for format in text xfit cpi; do
    ours=$outs/out-$batch-$format
    common=(convert --home "$home" --options "$options" --calibration spline --interpolation spline
            -f "$format" -s "$s" --date "$date" --overwrite -q)
    # The converter with each -j and the floor the goals compare it with are timed in turns, a few
    # runs each per round: the machine's speed drifts by 10 to 20 % over seconds (other guests of
    # the host, the file system's state), and times taken side by side drift together.
    for ((round = 0; round < rounds; round++)); do
      measure "ours-$batch-$format" "$(fresh "$ours")" $((runs / rounds)) /dev/null \
        "$converter" "${common[@]}" -j "$jobs" -o "$ours" "${inputs[@]}"
      measure "ours1-$batch-$format" "$(fresh "$outs/j1")" $((runs / rounds)) /dev/null \
        "$converter" "${common[@]}" -j 1 -o "$outs/j1" "${inputs[@]}"
      measure "cat-$batch-$format" "$(fresh "$outs/floor-all")" $((runs / rounds)) "$outs/floor-all" \
        cat "$ours"/*
    done
    if ! diff -rq "$ours" "$outs/j1" >/dev/null; then
      echo "compare.sh: -j $jobs and -j 1 wrote different files for $batch/$format" >&2
      exit 1
    fi
    measure "python-$batch-$format" "$(fresh "$outs/py-$batch-$format")" "$slowRuns" /dev/null \
      "$python" "$here/reference.py" --format "$format" --step "$s" --options "$options" --date "$date" \
      -o "$outs/py-$batch-$format" "${inputs[@]}"
    outputs=("$ours"/*)
    measure "catfiles-$batch-$format" "$(fresh "$outs/floor") && mkdir -p $outs/floor" "$runs" /dev/null \
      bash -c 'for f in "$@"; do cat "$f" > '"$outs/floor"'/"${f##*/}"; done' cat "${outputs[@]}"
  done
  measure "xyconv-$batch-cpi" "$(fresh "$outs/xy") && mkdir -p $outs/xy" "$runs" /dev/null \
    xyconv -t cpi -m "$outs/xy" "$outs/out-$batch-cpi"/*.cpi
  # The same CPI files read by scan2theta through xylib into XFIT; the CPI files keep their own
  # angles (--calibration file) and are written at their own step.
  if [[ $batch == 4096 ]]; then s=$step; else s=$bigStep; fi
  for j in "$jobs" 1; do
    name=xylib-$batch-xfit; [[ $j == 1 ]] && name=xylib1-$batch-xfit
    measure "$name" "$(fresh "$outs/xylib")" "$runs" /dev/null \
      "$converter" convert --home "$home" --calibration file -f xfit -s "$s" --overwrite -q -j "$j" \
      -o "$outs/xylib" "$outs/out-$batch-cpi"/*.cpi
  done
  # Points: the values of the CPI files, the same grid as every other format's.
  points[$batch]=$("$python" -c 'import sys, glob
print(sum(open(f, "rb").read().count(b"\n") - 10 for f in glob.glob(sys.argv[1] + "/*.cpi")))' "$outs/out-$batch-cpi")
done
machine "after: "
summarize

# Equal work: the Python pipeline's files against ours.
echo
echo "The numpy/scipy pipeline's files against scan2theta's:"
for batch in 4096 32767; do
  for format in text xfit cpi; do
    "$python" - "$outs/out-$batch-$format" "$outs/py-$batch-$format" "$batch/$format" <<'EOF'
import os, sys
ours, theirs, label = sys.argv[1:]
names = sorted(os.listdir(ours))
same = differing = 0
for name in names:
    a = open(os.path.join(ours, name), "rb").read()
    b = open(os.path.join(theirs, name), "rb").read()
    if a == b:
        same += 1
        continue
    # The files hold the same grid, so the words differ only where a count does.
    wa, wb = a.split(), b.split()
    differing += sum(x != y for x, y in zip(wa, wb)) + abs(len(wa) - len(wb))
print(f"  {label:12s} {same} of {len(names)} files byte-identical" +
      (f"; the others differ in {differing} values" if differing else ""))
EOF
  done
done

# The table and the goals.
echo
"$python" - "$results" "${points[4096]}" "${points[32767]}" "$files" "$bigFiles" "$jobs" <<'EOF'
import sys
rows = {}
for line in open(sys.argv[1]):
    name, median, low, mean, sd = line.split("\t")
    rows[name] = (float(median), float(low), float(mean), float(sd))
points = {"4096": int(sys.argv[2]), "32767": int(sys.argv[3])}
counts = {"4096": sys.argv[4], "32767": sys.argv[5]}
jobs = sys.argv[6]
tools = [("ours", f"scan2theta -j {jobs}"), ("ours1", "scan2theta -j 1"), ("python", "numpy/scipy"),
         ("xyconv", "xyconv (cpi->text)"), ("xylib", f"cpi->xfit -j {jobs}"), ("xylib1", "cpi->xfit -j 1"),
         ("cat", "cat, one stream"), ("catfiles", "cat, file by file")]
print(f"{'batch':>14} {'format':6} {'tool':20} {'median s':>9} {'min s':>8} {'sd s':>7} {'Mpoints/s':>10} "
      f"{'time/ours':>10}")
for batch in ("4096", "32767"):
    for form in ("text", "xfit", "cpi"):
        ours = rows[f"ours-{batch}-{form}"][0]
        for key, label in tools:
            name = f"{key}-{batch}-{form}"
            if key == "xylib" or key == "xylib1":
                name = f"{key}-{batch}-xfit" if form == "cpi" else ""
            if name not in rows:
                continue
            median, low, mean, sd = rows[name]
            rate = points[batch] / median / 1e6 if median > 0 else float("inf")
            print(f"{counts[batch] + ' x ' + batch:>14} {form:6} {label:20} {median:9.4f} {low:8.4f} {sd:7.4f} "
                  f"{rate:10.2f} {median / ours:9.2f}x")
        print()
print(f"points (values written) per batch: {points['4096']} ({counts['4096']} x 4096 channels), "
      f"{points['32767']} ({counts['32767']} x 32767 channels)")
print(f"time/ours: the tool's median time over scan2theta -j {jobs}'s in the same group.")
print()
print("goals, on the 4096-channel batch:")
def goal(text, value, wanted, ok):
    print(f"  {text:58s} {value:8.2f}  (goal {wanted})  {'met' if ok else 'NOT MET'}")
for form in ("text", "xfit", "cpi"):
    ours = rows[f"ours-4096-{form}"][0]
    python = rows[f"python-4096-{form}"][0] / ours
    goal(f"{form}: points per second over numpy/scipy's", python, ">= 10", python >= 10)
    xy = rows["xyconv-4096-cpi"][0] / ours
    goal(f"{form}: points per second over xyconv's", xy, ">= 1", xy >= 1)
    if form != "text":
        floor = ours / rows[f"cat-4096-{form}"][0]
        goal(f"{form}: time over cat's, one stream", floor, "<= 5", floor <= 5)
    speedup = rows[f"ours1-4096-{form}"][0] / ours
    goal(f"{form}: -j {jobs} speed over -j 1", speedup, ">= 1.6", speedup >= 1.6)
# Reading through xylib: the same CPI files read into XFIT against xyconv reading them into text.
for key, label in (("xylib", f"-j {jobs}"), ("xylib1", "-j 1")):
    xy = rows["xyconv-4096-cpi"][0] / rows[f"{key}-4096-xfit"][0]
    goal(f"cpi read through xylib into xfit ({label}) over xyconv", xy, ">= 1", xy >= 1)
EOF

# The spline preparation per point, from the benchmarks.
"$build/bench/scan2theta-bench" --benchmark_filter='SplinePreparation' --benchmark_min_time=0.5 \
  --benchmark_format=json 2>/dev/null | "$python" -c '
import json, sys
runs = {b["name"]: b["cpu_time"] / int(b["name"].split("/")[1]) for b in json.load(sys.stdin)["benchmarks"]}
small, large = runs["SplinePreparation/4096"], runs["SplinePreparation/32767"]
ratio = large / small
verdict = "met" if ratio <= 10 else "NOT MET"
print(f"  spline preparation, per point: {small:.2f} ns at 4096 points, {large:.2f} ns at 32767: "
      f"{ratio:.2f} times  (goal <= 10)  {verdict}")'
