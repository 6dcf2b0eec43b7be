#!/usr/bin/env bash
# Hostile input and interruptions: feeds tarvenox damaged, huge and random files, special
# files and signals, and checks that each case ends with status 0 (valid input) or 1
# and one line on standard error, within 20 seconds and 512 MB, leaving nothing behind.
# Prints one line per case (result, seconds, peak memory) and "N passed, M failed".
#
# Usage: run.sh BUILD_DIR [SANITIZED]
#   BUILD_DIR holds tarvenox, the demo installation and tests/make_hostile_inputs.
#   SANITIZED=1 for an AddressSanitizer build: its shadow memory rules out a limit on
#   address space, so the sanitizer's own limit on resident memory is used instead.
set -u
build=$(cd "$1" && pwd)
sanitized=${2:-0}
tarvenox=$build/tarvenox
demo=$build/demo/loose
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
in=$work/in
out=$work/out
mkdir -p "$out"
"$build/tests/make_hostile_inputs" "$in" "$demo" || { echo "cannot make the inputs"; exit 1; }

# The runs' records of temporary paths (see src/common/RunRecord.h) are the suite's own.
export XDG_CACHE_HOME=$work/cache

limit_kb=$((512 * 1024))
if [ "$sanitized" = 1 ]; then
  export ASAN_OPTIONS="hard_rss_limit_mb=512:quarantine_size_mb=16:allocator_may_return_null=1:detect_leaks=1"
fi

passed=0
failed=0

# run NAME STATUS PATTERN [ENV=VALUE...] -- ARGUMENTS...: runs tarvenox under the limits
# with a private temporary folder and checks its exit status, that standard error is one
# line containing PATTERN (or empty for status 0 and an empty pattern), and that no
# working folder stays behind.
run() {
  local name=$1 want=$2 pattern=$3
  shift 3
  local env=()
  while [ "$1" != "--" ]; do env+=("$1"); shift; done
  shift
  local tmp=$work/tmp-$name
  mkdir -p "$tmp"
  local status
  (
    [ "$sanitized" = 1 ] || ulimit -v "$limit_kb"
    cd "$work" && exec env TMPDIR="$tmp" "${env[@]}" timeout -s KILL 20 \
      /usr/bin/time -f "%e %M" -o "$work/time" "$tarvenox" "$@" >"$work/stdout" 2>"$work/stderr"
  )
  status=$?
  check "$name" "$want" "$pattern" "$status" "$tmp"
}

check() {
  local name=$1 want=$2 pattern=$3 status=$4 tmp=$5
  local lines seconds=? memory=?
  lines=$(wc -l <"$work/stderr")
  if [ -s "$work/time" ]; then
    read -r seconds memory < <(tail -n 1 "$work/time")
    memory="$((memory / 1024)) MB"
  fi
  local problem=""
  if [ "$status" != "$want" ]; then
    problem="exit status $status, expected $want"
  elif [ "$want" = 1 ] && [ "$lines" != 1 ]; then
    problem="$lines lines on standard error"
  elif [ "$want" != 1 ] && [ -z "$pattern" ] && [ "$lines" != 0 ]; then
    problem="standard error not empty"
  elif [ -n "$pattern" ] && ! grep -qF -- "$pattern" "$work/stderr"; then
    problem="standard error lacks '$pattern'"
  elif [ -n "$(ls -A "$tmp")" ]; then
    problem="left in the temporary folder: $(ls -A "$tmp")"
  elif ls "$out" | grep -q '\.tmp'; then
    problem="left beside the output: $(ls "$out" | grep '\.tmp')"
  fi
  local message
  message=$(head -c 160 "$work/stderr" | head -n 1)
  if [ -z "$problem" ]; then
    passed=$((passed + 1))
    printf 'ok    %-26s exit %s %6s s %7s  %s\n' "$name" "$status" "$seconds" "$memory" "$message"
  else
    failed=$((failed + 1))
    printf 'FAIL  %-26s exit %s %6s s %7s  %s\n' "$name" "$status" "$seconds" "$memory" "$problem"
    sed 's/^/      /' "$work/stderr" | head -n 20
  fi
  : >"$work/time"
}

greeting=$demo/swf/greeting.swf

# Pictures: beyond what players show, and damaged JPEGs.
run huge-png 1 "16384 x 16384 pixels" -- save "$greeting" -o "$out/a.swf" --image "photo=$in/huge.png"
run largest-png 0 "" -- save "$greeting" -o "$out/largest.swf" --image "photo=$in/largest.png"
for jpg in zero half scan-cut claims-65535 twelve-bit cmyk; do
  run "jpeg-$jpg" 1 "--image photo: $in/$jpg.jpg: " -- save "$greeting" -o "$out/a.swf" --image "photo=$in/$jpg.jpg"
done
run jpeg-baseline 0 "" -- save "$greeting" -o "$out/jpeg.swf" --image "photo=$in/baseline.jpg"

# Sounds that hold no MP3 stream.
for mp3 in random empty free-format; do
  run "mp3-$mp3" 1 "--mp3 music: $in/$mp3.mp3: " -- save "$greeting" -o "$out/a.swf" --mp3 "music=$in/$mp3.mp3"
done
printf '<?xml version="1.0"?><fontconfig/>\n' >"$in/no-fonts.conf"
run no-fonts 1 "no installed fonts: install a TrueType font" FONTCONFIG_FILE="$in/no-fonts.conf" -- \
  save "$greeting" -o "$out/a.swf" --font "Headline=DejaVu Sans"

# Movies: random bytes, a million empty tags, a picture given as a movie.
run movie-random 1 "random.bin: not an SWF movie: it starts with " -- save "$in/random.bin" -o "$out/a.swf"
run million-tags 0 "" -- inspect --json "$in/million-tags.swf"
run million-tags-templates 0 "" -- templates --json "$in/million-tags.swf"
run png-as-movie 1 "largest.png: not an SWF movie: it starts with '\x89PN'" -- save "$in/largest.png" -o "$out/png.swf"
# Downloads that stopped: plain at a record boundary, compressed anywhere; the header's
# length tells.
greeting_size=$(stat -c %s "$greeting")
run cut-download 1 "cut-download.swf: truncated: $(stat -c %s "$in/cut-download.swf") of $greeting_size bytes" -- \
  save "$in/cut-download.swf" -o "$out/a.swf"
run cut-download-inspect 1 "cut-download.swf: truncated: " -- inspect "$in/cut-download.swf"
run cut-download-templates 1 "cut-download.swf: truncated: " -- templates "$in/cut-download.swf"
run cut-download-cws 1 "cut-download-cws.swf: truncated: " -- save "$in/cut-download-cws.swf" -o "$out/a.swf"
run cut-download-cws-inspect 1 "cut-download-cws.swf: truncated: " -- inspect "$in/cut-download-cws.swf"

# Outputs that are not regular files, and one through a symbolic link.
mkfifo "$out/fifo"
run output-fifo 1 "not a regular file" -- save "$greeting" -o "$out/fifo"
if [ -w /dev/null ] && [ "$(id -u)" = 0 ]; then
  run output-dev-null 1 "not a regular file" -- save "$greeting" -o /dev/null
fi
run output-folder 1 "not a regular file" -- save "$greeting" -o "$out"
echo old >"$out/target.swf"
chmod 640 "$out/target.swf"
ln -s target.swf "$out/link.swf"
run output-symlink 0 "" -- save "$greeting" -o "$out/link.swf"
if [ ! -L "$out/link.swf" ] || [ "$(stat -c %a "$out/target.swf")" != 640 ] || \
   ! head -c 3 "$out/target.swf" | grep -q FWS; then
  failed=$((failed + 1)); echo "FAIL  output-symlink: the link, the target's mode or its content is wrong"
fi
run output-stdout 0 "" -- save "$greeting" -o -
head -c 3 "$work/stdout" | grep -q FWS || { failed=$((failed + 1)); echo "FAIL  output-stdout: no movie on standard output"; }

# Inputs that are not regular files: refused at once, never waited on.
run movie-fifo 1 "not a regular file" -- save "$out/fifo" -o "$out/a.swf"
run mp3-fifo 1 "not a regular file" -- save "$greeting" -o "$out/a.swf" --mp3 "music=$out/fifo"
ln -s /dev/zero "$in/device.png"
run image-device 1 "not a regular file" -- save "$greeting" -o "$out/a.swf" --image "photo=$in/device.png"
run movie-folder 1 "is a folder" -- inspect "$out"

# Data sheets of save --rows: a FIFO, a field of 2 MB, a file above the 64 MB limit, bytes
# that are not text; each refused with one line before any row is saved.
run sheet-fifo 1 "not a regular file" -- save --template greeting --data "$demo" --rows "$out/fifo" -o "$out/{title}.swf"
{ printf 'title\n"'; head -c 2000000 /dev/zero | tr '\0' x; printf '"\n'; } >"$in/huge-field.csv"
run sheet-huge-field 1 "has a field of" -- save --template greeting --data "$demo" --rows "$in/huge-field.csv" -o "$out/{title}.swf"
truncate -s 70M "$in/huge.csv"
run sheet-huge 1 "too large" -- save --template greeting --data "$demo" --rows "$in/huge.csv" -o "$out/{title}.swf"
{ printf 'title\n"'; head -c 4096 /dev/urandom | tr -d '"'; } >"$in/random.csv"
run sheet-random 1 "random.csv: row" -- save --template greeting --data "$demo" --rows "$in/random.csv" -o "$out/{title}.swf"

# The installation's registry and add-on archives as FIFOs.
mkfifo "$in/registry-fifo" "$in/addon-fifo"
printf 'dbFilesCount=1\ndbFile1=%s\n' "$in/addon-fifo" >"$in/registry"
run registry-fifo 0 "" TARVENOX_REGISTRY="$in/registry-fifo" -- templates --data "$demo"
run addon-fifo 0 "" TARVENOX_REGISTRY="$in/registry" -- templates --data "$demo"
run addon-fifo-save 0 "" TARVENOX_REGISTRY="$in/registry" -- save --template greeting --data "$demo" -o "$out/t.swf"
run long-config-line 1 "configs.txt: the template 'greeting': variable 'title'" -- \
  save --template greeting --data "$in/long-config" -o "$out/a.swf"

# Archives: damaged, random, and a folder with links.
run archive-random 1 "not a usable file database" -- archive list "$in/random.db"
run archive-4g 1 "not a usable file database" -- archive extract "$in/claims-4g.db" big.swf -o "$out/big.swf"
run archive-overlap 1 "not a usable file database" -- archive extract "$in/overlap.db" a.txt -o "$out/a.txt"
mkdir -p "$work/pack/sub"
echo inside >"$work/pack/sub/inside.txt"
echo secret >"$work/outside.txt"
ln -s "$work/outside.txt" "$work/pack/outside-link"
run archive-create-links 0 "symbolic link skipped" -- archive create "$work/pack" -o "$out/pack.db"
if grep -q secret "$out/pack.db"; then failed=$((failed + 1)); echo "FAIL  archive-create-links: the outside file was packed"; fi

# An installation made to steal files: a template, the interface movie and the packed
# archive are links to files outside it. Nothing of them is listed, saved or copied.
steal=$work/steal
mkdir -p "$steal/swf"
cp "$demo"/*.txt "$steal/"
cp "$greeting" "$steal/swf/own.swf"
printf 'text\tlist\tfile\nOwn\tcards\town\nSteal\tcards\tsteal\n' >"$steal/selectLists.txt"
echo "PRIVATE KEY" >"$work/id_rsa"
ln -s "$work/id_rsa" "$steal/swf/steal.swf"
ln -s "$work/id_rsa" "$steal/skin.swf"
ln -s "$work/id_rsa" "$steal/files.db"
run steal-templates 0 "" -- templates --data "$steal"
if grep -q steal "$work/stdout" || ! grep -q own "$work/stdout"; then
  failed=$((failed + 1)); echo "FAIL  steal-templates: the listing is wrong: $(tr '\n' ' ' <"$work/stdout")"
fi
run steal-save 1 "steal" -- save --template steal --data "$steal" -o "$out/steal.swf"

# Signals during a save: after each delay, nothing may stay beside the output or in the
# temporary folder, and the status is 128 + the signal (or 0 when the save was done).
for signal in TERM INT HUP; do
  for delay in 0.05 0.5 1.5; do
    tmp=$work/tmp-signal
    rm -rf "$tmp" "$out"/signal*
    mkdir -p "$tmp"
    # The save of 300 MB needs more than the cases' limit on memory; it is not limited.
    TMPDIR=$tmp ASAN_OPTIONS=${ASAN_OPTIONS:+${ASAN_OPTIONS/hard_rss_limit_mb=512:/}} \
      "$tarvenox" save --template greeting --data "$demo" -o "$out/signal.swf" \
      --mp3 "music=$in/long.mp3" >/dev/null 2>"$work/stderr" &
    pid=$!
    sleep "$delay"
    kill -s "$signal" "$pid" 2>/dev/null
    wait "$pid"
    status=$?
    number=$(kill -l "$signal")
    # Done (0) or ended by the signal; standard error stays empty either way.
    want=$status
    [ "$status" = 0 ] || [ "$status" = $((128 + number)) ] || want="0 or $((128 + number))"
    check "signal-$signal-$delay" "$want" "" "$status" "$tmp"
  done
done

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
