#!/usr/bin/env bash
# Builds the pak tool's libFuzzer target with clang and runs it for a bounded time.
# usage: pak-fuzz.sh OUT_DIR PAK_BINARY [SECONDS]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$1 PAK=$2 SECONDS_TO_RUN=${3:-60}
mkdir -p "$OUT/corpus" "$OUT/seed-files/cg" "$OUT/seed-files/sub"
SRC="$ROOT/tools/pak"
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$SRC" -I"$ROOT" "$ROOT/tests/native/fuzz/PakDirectoryFuzz.cpp" \
  "$SRC/PakArchive.cpp" "$SRC/PakNames.cpp" "$SRC/PakVerify.cpp" "$SRC/PakZlib.cpp" \
  -lz -o "$OUT/pak_directory_fuzz"

# Seeds: small sound archives of every version.
printf '[install]\r\nName=x\r\n' > "$OUT/seed-files/install.ini"
head -c 2000 /dev/zero | tr '\0' 'a' > "$OUT/seed-files/cg/title.png"
printf 'abc' > "$OUT/seed-files/sub/one.bin"
: > "$OUT/seed-files/empty"
"$PAK" create --format 0 "$OUT/corpus/seed-v0.pak" "$OUT/seed-files"
"$PAK" create --format 1 --auto "$OUT/corpus/seed-v1.pak" "$OUT/seed-files"
"$PAK" create --format 2 --compress "$OUT/corpus/seed-v2.pak" "$OUT/seed-files"

"$OUT/pak_directory_fuzz" -max_total_time="$SECONDS_TO_RUN" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$OUT/" "$OUT/corpus"
