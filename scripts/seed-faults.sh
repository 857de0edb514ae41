#!/usr/bin/env bash
# seed-faults.sh [--list] [--only N[,N...]] [--skip-baseline] [--tree DIR]
#
# Measures what the test suite catches. Each fault in the table below is a
# single-point mistake a developer could make. For each one, in a private copy
# of the sources: apply it, rebuild, run the native and the Windows test
# suites up to their first failure, restore the file. One line per fault,
#   N  caught|MISSED  file  description  (by: first failing test)  [times]
# then "caught X of Y"; $BUILD_DIR/seed/results.tsv holds the same table.
# Fault 0 is the unmutated suite, run first: it must pass, or the table would
# mean nothing.
#
#   --list           the table, each fault checked against the tree; no build
#   --only 3,7       run these faults (after fault 0)
#   --skip-baseline  leave fault 0 out (only when the tree is known to pass)
#   --tree DIR       copy the sources from DIR (default: this repository)
#
# SEED_EXCLUDE=Suite.Case:Suite.Case leaves cases known to be flaky out from
# the start; a case that fails and then passes alone is left out by itself.
#
# A fault whose old text does not occur exactly once in its file is STALE:
# the product code has changed, and the fault must be rewritten, not skipped.
#
# Everything lives below $BUILD_DIR/seed (BUILD_DIR defaults to <repo>/build):
# src/ the copy, native/ and win32/ its build trees, sample/ its discs,
# wine/ its X server and Wine prefix, logs/ the build and test output.
set -euo pipefail

# ---- the faults ---------------------------------------------------------------
# "@ file", "# description", then the text as a small diff: "-" lines are the
# old text, "+" lines the new one, " " lines belong to both (context that
# makes the old text unique, or a line kept around a removed one).
fault_table() { cat <<'EOF'
@ archive/PakReader.cpp
# directory parse off by one: the last entry of a packed directory is never found
-    if (nameLength > left - 4 - fields) return false;
+    if (nameLength >= left - 4 - fields) return false;

@ archive/PakReader.cpp
# a packed archive's entry is read at its offset without the data area in front
-        ServeEntry(dataArea + m_entry->offset);
+        ServeEntry(m_entry->offset);

@ archive/OCPath.cpp
# folder part found by byte steps: a Shift-JIS trail byte 0x5C (表, ソ) is taken for a backslash
-    for (const char* p = text; *p; p = sjis::Next(p))
+    for (const char* p = text; *p; p++)
         if (*p == '\\') last = p;

@ archive/OCPath.cpp
# OCPath's folder part keeps the backslash (C:\a\b.txt gives C:\a\)
-        out.Assign(text, (int)(last - text));
+        out.Assign(text, (int)(last - text) + 1);

@ archive/RemovalGuard.cpp
# removal guard counts the drive letter as a folder: a drive root may be deleted
     if (p[0] && p[1] == ':') {
-        p += 2;
         if (IsSeparator(*p)) ++p;

@ archive/Ini.cpp
# INI section names compared with case: [Install] no longer matches install
-    return name.CompareNoCase(section) == 0;
+    return lstrcmpA(name.GetBuffer(), section) == 0;

@ archive/FileCopy.cpp
# copied files keep the source's read-only attribute (the attribute mask is ignored)
-        attributes = facts.attributes == INVALID_FILE_ATTRIBUTES ? 0 : facts.attributes & mask;
+        attributes = facts.attributes == INVALID_FILE_ATTRIBUTES ? 0 : facts.attributes;

@ install/Unpack.cpp
# entry-name check: "." and ".." components are no longer refused, only blank ones
-        if (*p != '.' && *p != ' ') onlyDots = false;
+        if (*p != ' ') onlyDots = false;

@ install/Unpack.cpp
# stored entries unpacked with their packed size (0): they come out empty
-            CopyStored(archive, target, entry.size, archivePath);
+            CopyStored(archive, target, entry.packedSize, archivePath);

@ install/CopyWorker.cpp
# free space exactly equal to the need is accepted (>= for >)
-    return freeBytes / 1024 > requiredBytes / 1024 ? 1 : 0;
+    return freeBytes / 1024 >= requiredBytes / 1024 ? 1 : 0;

@ install/CopyWorker.cpp
# the type's size is shifted in 32 bits: 4,096 MB and more wrap to a small need
-    requiredBytes = (ULONGLONG)(DWORD)type.size << 20;
+    requiredBytes = (ULONGLONG)((DWORD)type.size << 20);

@ install/CopyWorker.cpp
# disc marker looked for as <Name><label>.INI, without the underscore
-    marker.Format("%s_%s.INI", Text(config.name), Text(label));
+    marker.Format("%s%s.INI", Text(config.name), Text(label));

@ install/CopyWorker.cpp
# Cancel at the insert-disc prompt ends the copy as if it had completed
-            if (!AskForDisc(dialog, text, kCaptionInsertDisc)) return false;
+            if (!AskForDisc(dialog, text, kCaptionInsertDisc)) return true;

@ install/CopyWorker.cpp
# the progress bar is not set to its end when the copy finishes
-    g_progress.SetPosition(KiB(config.requiredBytes));
     g_progress.Flush();

@ install/Records.cpp
# the uninstall entry's UninstallString leaves the folder argument unquoted
-    command.Format("\"%s\\%s\" \"%s\"", folder, kUninstallProgram, folder);
+    command.Format("\"%s\\%s\" %s", folder, kUninstallProgram, folder);

@ install/Records.cpp
# the registry value installType is written counting from 1
-    key.SetDword("installType", (DWORD)config.selectedType);
+    key.SetDword("installType", (DWORD)config.selectedType + 1);

@ install/Shortcuts.cpp
# the game's shortcut points into the chosen folder instead of the install folder
-    target.Format("\"%s\\%s\"", folder, Text(config.exec));
+    target.Format("\"%s\\%s\"", Text(config.targetFolder), Text(config.exec));

@ install/DirectX.cpp
# DirectX 8.1 counts as older than 8.1: setup runs on an up-to-date system
-    if (GetDirectXVersion() >= kDirectX81) return 0;
+    if (GetDirectXVersion() > kDirectX81) return 0;

@ install/DirectX.cpp
# a DirectX setup that needs no restart still has the restart offered
-    if (result == 1) return 1;
+    if (result >= 0) return 1;

@ install/WizardDialogs.cpp
# the type dialog offers only the first two install types
-const int kOfferedTypes = 3;
+const int kOfferedTypes = 2;

@ install/Uninstall.cpp
# uninstall looks for the Start-menu folder without the maker's folder: it stays
-    folder.Format("%s\\%s\\%s", Text(programs.GetPath()), Text(names.brand), Text(names.uninstallName));
+    folder.Format("%s\\%s", Text(programs.GetPath()), Text(names.uninstallName));

@ app/Menu.cpp
# the menu shows GAME before the install and hides it after
-    ShowWindow(GetDlgItem(window, IDC_MENU_GAME), installed ? SW_SHOW : SW_HIDE);
+    ShowWindow(GetDlgItem(window, IDC_MENU_GAME), installed ? SW_HIDE : SW_SHOW);

@ app/Launch.cpp
# a game with only one of its two registry records counts as installed
-    return uninstall && game;
+    return uninstall || game;

@ app/Launch.cpp
# GAME starts the game in the installer's current folder, not in the game's own
-    if (sys::StartProcess(program.GetBuffer(), commandLine.GetBuffer(), folder.GetBuffer(), &process)) {
+    if (sys::StartProcess(program.GetBuffer(), commandLine.GetBuffer(), NULL, &process)) {

@ app/Shutdown.cpp
# a read-only temporary file (install.pak, DSETUP.dll) is left behind at exit
-        sys::SetAttributes(path.GetBuffer(), FILE_ATTRIBUTE_NORMAL);  // a read-only copy goes too
         sys::RemoveFile(path.GetBuffer());

@ base/SysText.cpp
# text handed to the system converted in the system's ANSI code page, not 932: mojibake off Japanese systems
-    int n = MultiByteToWideChar(kCodePage, 0, text, -1, NULL, 0);
+    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
     m_text = new WCHAR[n > 0 ? n : 1];
-    if (n <= 0 || !MultiByteToWideChar(kCodePage, 0, text, -1, m_text, n)) m_text[0] = 0;
+    if (n <= 0 || !MultiByteToWideChar(CP_ACP, 0, text, -1, m_text, n)) m_text[0] = 0;

@ base/SysText.cpp
# texts from the system converted with best fit: a folder outside 932 becomes another folder's name
-    int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text, length, NULL, 0, NULL, &lossy);
+    int n = WideCharToMultiByte(kCodePage, 0, text, length, NULL, 0, NULL, NULL);

@ base/SysWindows.cpp
# dialogs created as ANSI windows: their templates' texts pass the system's code page
-    return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, procedure, param);
+    return DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, procedure, param);

@ base/Sjis.h
# lead bytes end at 0x9F only: the second block (0xE0-0xFC, 漢字 of level 2) splits its characters
-inline bool IsLeadByte(BYTE b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
+inline bool IsLeadByte(BYTE b) { return b >= 0x81 && b <= 0x9F; }

@ base/OCString.cpp
# string growth rounds up to the block instead of adding one: an empty text gets no storage
-    long long needed = (((long long)length + n) & ~63LL) + 64;
+    long long needed = ((long long)length + n + 63) & ~63LL;

@ base/Format.cpp
# %c takes no argument in the length estimate: a following %s reads the character as a pointer
     if (type == 'c' || type == 'C') {
-        va_arg(args.ap, int);
     } else if (type == 'S' ? c.mark != 'h' : c.mark == 'l') {

@ gfx/PngDecoder.cpp
# true-colour PNG rows stored top-down: the picture comes out upside down
-        BYTE* dst = image.Row(height - 1 - i);
+        BYTE* dst = image.Row(i);

@ gfx/PngDecoder.cpp
# PNG colour order left as RGB: red and blue swapped
-    if (colorType == PNG_COLOR_TYPE_RGB || colorType == PNG_COLOR_TYPE_RGB_ALPHA)
-        png_set_bgr(png);
     if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)

@ gfx/JpegDecoder.cpp
# JPEG scan line number taken after the read: the picture is one row off, its last row outside
-        int i = (int)cinfo.output_scanline;
         jpeg_read_scanlines(&cinfo, line, 1);
+        int i = (int)cinfo.output_scanline;

@ gfx/BmpDecoder.cpp
# BMP colour table always read at offset 54: a V4/V5 header gives a wrong palette
-    out.colorOffset = info.biCompression == BI_BITFIELDS ? kMasksOffset : kInfoOffset + info.biSize;
+    out.colorOffset = kMasksOffset;

@ tools/pak/PakArchive.cpp
# pak --auto compresses every entry, even when that makes it larger
-        if (options.packing == Packing::Compress || packed.size() < file.data.size()) {
+        if (options.packing != Packing::Store || packed.size() < file.data.size()) {

@ tools/pak/PakNames.cpp
# pak joins an entry name's folders with '/' instead of a backslash
-        if (!name.empty()) name += '\\';
+        if (!name.empty()) name += '/';

@ tools/disccheck/Checks.cpp
# disccheck accepts a file entry from a disc that lacks the entry's marker
-        if (!onDisc[i] || !marked[i]) continue;
+        if (!onDisc[i]) continue;
@ install/ReadAhead.cpp
# read-ahead hands out the newest piece first: files get each other's contents
-    Piece piece = std::move(m_queue.front());
-    m_queue.pop_front();
+    Piece piece = std::move(m_queue.back());
+    m_queue.pop_back();

@ install/ReadAhead.cpp
# the reader never waits for room: memory grows with the entry, and files are read long before their turn
-    while (!m_stop && m_queuedCost >= m_budget) {
+    while (!m_stop && m_queuedCost >= m_budget && m_stop) {

@ archive/OCFile.cpp
# a hidden or system file in the way is no longer made replaceable, only a read-only one
-    const DWORD inTheWay = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
+    const DWORD inTheWay = FILE_ATTRIBUTE_READONLY;

@ archive/FileCopy.cpp
# a failed write of a copy always says "write fault", whatever the system said (a full disk)
-            if (code == ERROR_SUCCESS) code = ERROR_WRITE_FAULT;
+            code = ERROR_WRITE_FAULT;

@ archive/FileCopy.cpp
# a written-over file keeps its old attributes (read-only stays) when the new ones are plain
-    return target.fresh && (attributes & ~(DWORD)(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL)) == 0;
+    return (attributes & ~(DWORD)(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL)) == 0;

@ app/CMakeLists.txt
# setup.exe imports the thread library's functions that older Windows lacks
-target_link_libraries(setup PRIVATE older_windows install_lib gfx archive base comctl32)
+target_link_libraries(setup PRIVATE install_lib gfx archive base comctl32)
EOF
}

# ---- options and places ---------------------------------------------------------
SCRIPT_REPO=$(cd "$(dirname "$0")/.." && pwd)
TREE=$SCRIPT_REPO
LIST=0 ONLY= BASELINE=1
while [ $# -gt 0 ]; do
  case $1 in
    --list) LIST=1 ;;
    --only) ONLY=${2:?--only needs fault numbers}; shift ;;
    --skip-baseline) BASELINE=0 ;;
    --tree) TREE=$(cd "${2:?--tree needs a folder}" && pwd); shift ;;
    -h|--help) sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    *) echo "seed-faults: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
BUILD_DIR=${BUILD_DIR:-$SCRIPT_REPO/build}
SEED=$BUILD_DIR/seed
SRC=$SEED/src
LOGS=$SEED/logs
RESULTS=$SEED/results.tsv

say() { echo "seed: $*" >&2; }
die() { echo "seed-faults: $*" >&2; exit 1; }

# ---- reading the table --------------------------------------------------------------
declare -a F_FILE F_DESC F_OLD F_NEW
COUNT=0
load_faults() {
  local line
  while IFS= read -r line; do
    case $line in
      '@ '*) COUNT=$((COUNT + 1)); F_FILE[COUNT]=${line#@ }; F_DESC[COUNT]=; F_OLD[COUNT]=; F_NEW[COUNT]= ;;
      '# '*) F_DESC[COUNT]=${line#\# } ;;
      -*) F_OLD[COUNT]+=$'\n'${line:1} ;;
      +*) F_NEW[COUNT]+=$'\n'${line:1} ;;
      ' '*) F_OLD[COUNT]+=$'\n'${line:1}; F_NEW[COUNT]+=$'\n'${line:1} ;;
      '') ;;
      *) die "fault table: cannot read the line: $line" ;;
    esac
  done < <(fault_table)
  local n
  for ((n = 1; n <= COUNT; n++)); do     # each text was built with a leading line break
    F_OLD[n]=${F_OLD[n]#$'\n'}
    F_NEW[n]=${F_NEW[n]#$'\n'}
  done
}

# ---- applying a fault -----------------------------------------------------------------
# Byte-exact text work: the C locale, and the file read whole with its final
# line breaks (a command substitution would drop them).
slurp() { SLURPED=$(cat -- "$1"; printf x); SLURPED=${SLURPED%x}; }

occurrences() { # text piece: how often piece occurs in text
  local LC_ALL=C text=$1 n=0
  while [[ $text == *"$2"* ]]; do text=${text#*"$2"}; n=$((n + 1)); done
  echo "$n"
}

is_stale() { # n dir: true when the fault's old text is not in its file exactly once
  local file=$2/${F_FILE[$1]}
  [ -f "$file" ] || return 0
  slurp "$file"
  [ "$(occurrences "$SLURPED" "${F_OLD[$1]}")" != 1 ]
}

APPLIED=
apply_fault() { # n: in the copy; the original is kept for restore_fault
  local LC_ALL=C file=$SRC/${F_FILE[$1]}
  slurp "$file"
  cp -p "$file" "$SEED/original"
  printf '%s' "${SLURPED%%"${F_OLD[$1]}"*}${F_NEW[$1]}${SLURPED#*"${F_OLD[$1]}"}" >"$file"
  APPLIED=$file
}

restore_fault() {
  [ -n "$APPLIED" ] || return 0
  cp "$SEED/original" "$APPLIED"   # a fresh time stamp, so ninja compiles it again
  APPLIED=
}

# ---- the private copy and its trees -----------------------------------------------------
list_sources() { # the tree's files: tracked and untracked, not ignored
  if git -C "$TREE" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$TREE" ls-files -co --exclude-standard
  else
    (cd "$TREE" && find . \( -path ./build -o -path ./.git \) -prune -o -type f -print | sed 's|^\./||')
  fi
}

# Copies only what differs, with a fresh time stamp: ninja then rebuilds
# exactly what changed since the last run (or what a killed run left faulty).
sync_copy() {
  local f
  mkdir -p "$SRC"
  while IFS= read -r f; do
    [ -f "$TREE/$f" ] || continue
    cmp -s "$TREE/$f" "$SRC/$f" && continue
    mkdir -p "$(dirname "$SRC/$f")"
    cp "$TREE/$f" "$SRC/$f"
  done < <(list_sources)
}

# The toolchain files look for libpng and libjpeg in <sources>/build/deps:
# the copy borrows the tree's, or those of the repository it was made from.
link_deps() {
  local deps=${SEED_DEPS:-} common
  if [ -z "$deps" ]; then
    for deps in "$TREE/build/deps" "$SCRIPT_REPO/build/deps" ""; do [ -d "$deps/prefix" ] && break; done
  fi
  if [ -z "$deps" ] && common=$(git -C "$TREE" rev-parse --path-format=absolute --git-common-dir 2>/dev/null); then
    deps=$(dirname "$common")/build/deps
  fi
  [ -d "$deps" ] || die "no build/deps (libpng, libjpeg): run scripts/deps.sh, or set SEED_DEPS"
  mkdir -p "$SRC/build"
  ln -sfn "$deps" "$SRC/build/deps"
}

configure() {
  [ -f "$SEED/native/build.ninja" ] || cmake -S "$SRC" -B "$SEED/native" -G Ninja >/dev/null
  [ -f "$SEED/$WIN_TREE/build.ninja" ] ||
    cmake -S "$SRC" -B "$SEED/$WIN_TREE" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$SRC/cmake/$WIN_TOOLCHAIN" \
      -DSAMPLE_OUTPUT_DIR="$SEED/sample" >/dev/null
}

# The native tools first: the sample discs are packed with their pak.
build() { # log
  { cmake --build "$SEED/native" -j2 &&
    cmake --build "$SEED/$WIN_TREE" -j2 &&
    cmake --build "$SEED/$WIN_TREE" -j2 --target sample; } >"$1" 2>&1
}

# ---- X server and Wine -------------------------------------------------------------------
# One fresh prefix per run, kept as a clean copy: every fault starts from it,
# so what one fault's tests leave behind (keys, folders, drive mappings)
# cannot decide the next fault's result.
CLEAN_PREFIX=$SEED/wine/prefix.clean
start_wine() {
  say "fresh Wine prefix in $WINEPREFIX"
  "$SRC/scripts/xvfb.sh" start
  DISPLAY=$(cat "$SEED/wine/display")
  export DISPLAY
  "$SRC/scripts/wine-prefix.sh"
  make_keeper
  rm -rf "$CLEAN_PREFIX"
  cp -a "$WINEPREFIX" "$CLEAN_PREFIX"
}

# Wine starts its desktop process (explorer.exe /desktop) for the first
# window, and that process inherits the test's output pipe: CTest sees the
# test end only when the desktop goes away after the last window of any
# test, so a test hung beside it hides a failure up to its timeout. This
# small program holds the desktop for the whole run, its process started
# here, without CTest's pipes.
KEEPER=$SEED/wine/keep-desktop.exe
make_keeper() {
  [ -f "$KEEPER" ] && return
  printf '%s\n' '#include <windows.h>' \
    'int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { GetDesktopWindow(); Sleep(INFINITE); return 0; }' \
    >"$SEED/wine/keep-desktop.cpp"
  "$WIN_ARCH-w64-mingw32-g++" -O2 -mwindows -static -o "$KEEPER" "$SEED/wine/keep-desktop.cpp"
}

warm_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$WINEPREFIX"
  cp -a "$CLEAN_PREFIX" "$WINEPREFIX"
  wineserver -p
  # Wine's services inherit the first program's handles: started here, they
  # cannot keep a CTest pipe open (as in scripts/test.sh). The same for the desktop.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  setsid wine "$KEEPER" </dev/null >/dev/null 2>&1 &
  sleep 3 || true
}

SMALL_DISK= CTEST_GROUP=
cleanup() {
  restore_fault
  if [ -n "$CTEST_GROUP" ]; then kill -- "-$CTEST_GROUP" 2>/dev/null || true; sleep 1 || true; fi
  wineserver -k 2>/dev/null || true
  # the reliability tests' small disk stays mounted when CTest stops early
  if [ -n "$SMALL_DISK" ] && mountpoint -q "$SMALL_DISK" 2>/dev/null; then umount "$SMALL_DISK" || true; fi
  [ -f "$SEED/wine/xvfb.pid" ] && "$SRC/scripts/xvfb.sh" stop
  return 0
}

# ---- running the suites --------------------------------------------------------------------
# The first failed test of a CTest log and, inside it, the first failed
# GoogleTest case (or the case that was running when the program died).
first_failure() { # log
  LC_ALL=C awk '
    !test && /Test +#[0-9]+: .*\*\*\*/ {
      test = $0; sub(/.*Test +#[0-9]+: /, "", test); sub(/ .*/, "", test)
      status = $0; sub(/.*\*\*\*/, "", status); sub(/ +[0-9.]+ sec.*/, "", status); next }
    test && /^ *[0-9]+\/[0-9]+ Test +#/ { exit }
    test && /\[ RUN      \]/ { running = $0; sub(/.*\[ RUN      \] /, "", running) }
    test && /\[       OK \]/ { running = "" }
    test && /\[  FAILED  \] [^ ,]+(, | \()/ && !failed { failed = $0; sub(/.*\[  FAILED  \] /, "", failed); sub(/[ ,].*/, "", failed) }
    END {
      if (!test) exit
      if (failed && status == "Timeout") print test " (" failed "; then Timeout)"
      else if (failed) print test " (" failed ")"
      else if (running) print test " (" status " in " running ")"
      else print test " (" status ")"
    }' "$1"
}

# CTest in a process group of its own: when the first test fails, the test
# still running beside it is ended at once. A fault often hangs a second test
# (a prompt nobody answers), which would hold the run up to its timeout.
run_ctest() { # tree log: false when a test failed
  setsid ctest --test-dir "$SEED/$1" --output-on-failure --stop-on-failure -j2 >"$2" 2>&1 &
  CTEST_GROUP=$!
  while kill -0 "$CTEST_GROUP" 2>/dev/null; do
    if LC_ALL=C grep -aqE 'Test +#[0-9]+: .*\*\*\*' "$2"; then
      sleep 2 || true                          # its output follows the status line
      kill -- "-$CTEST_GROUP" 2>/dev/null || true
      break
    fi
    sleep 2 || true
  done
  local status=0
  wait "$CTEST_GROUP" || status=$?
  CTEST_GROUP=
  return "$status"
}

run_suite() { # label tree...: BY is the first failure, empty when every tree passed
  local label=$1 tree log; shift
  BY= FAILED_TREE= FAILED_TEST=
  for tree in "$@"; do
    log=$LOGS/$label-$tree.log
    say "fault $label: testing $tree"
    if ! run_ctest "$tree" "$log"; then
      BY=$(first_failure "$log")
      [ -n "$BY" ] || BY="ctest-$tree (no failed test named in its log)"
      FAILED_TREE=$tree FAILED_TEST=${BY%% *}
      return
    fi
  done
}

# The failed test once more, alone, from a clean prefix: true when it fails again.
failed_again() { # label
  say "fault $1: $FAILED_TEST once more, alone"
  warm_wine
  ! ctest --test-dir "$SEED/$FAILED_TREE" -R "^$FAILED_TEST\$" --output-on-failure >"$LOGS/$1-alone.log" 2>&1
}

# The tools' own tests come first for a tools fault: they are the ones that
# can catch it, and they are quick.
suite_order() { # n
  case ${F_FILE[$1]:-} in
    tools/*) echo "native $WIN_TREE" ;;
    *) echo "$WIN_TREE native" ;;
  esac
}

# A case that failed and then passed alone is left out of every later run:
# one that loses a race half the time would otherwise, failing twice in a
# row now and then, be taken for the catch of any fault. GoogleTest reads
# GTEST_FILTER from the environment, and Wine hands it on.
EXCLUDED=${SEED_EXCLUDE:-}
[ -z "$EXCLUDED" ] || export GTEST_FILTER="-$EXCLUDED"
exclude_case() { # failure text
  local name
  name=$(grep -oE '[A-Za-z_][A-Za-z0-9_/]*\.[A-Za-z_][A-Za-z0-9_/]*' <<<"$1" | tail -n1) || return 0
  [ -n "$name" ] || return 0
  EXCLUDED+="${EXCLUDED:+:}$name"
  export GTEST_FILTER="-$EXCLUDED"
}

# Under load a few GUI tests lose a race now and then. A failure counts only
# when the failed test fails again on its own; otherwise it is noted as flaky,
# its case left out, and the whole suite runs again, up to `runs` times. A
# timeout counts at once: a race loses seconds, not ten minutes, and a second
# hang would cost as much again. BY: the failure that counted, empty when
# none did; SHAKY: the failures that did not.
test_fault() { # n runs
  local n=$1 runs=$2 run order
  order=$(suite_order "$n")
  SHAKY=
  for ((run = 1; run <= runs; run++)); do
    warm_wine
    # shellcheck disable=SC2086
    run_suite "$n.$run" $order
    [ -n "$BY" ] || return 0
    [[ $BY == *Timeout* ]] && return 0
    failed_again "$n.$run" && return 0
    say "fault $n: $BY passed alone: flaky, left out from now on"
    exclude_case "$BY"
    SHAKY+="${SHAKY:+; }$BY"
  done
  BY=
}

# ---- one fault -----------------------------------------------------------------------------------
CAUGHT=0 RAN=0 STALE=0 BROKEN=0
report() { # n result by build_s test_s
  local file=${F_FILE[$1]:--} desc=${F_DESC[$1]:-none (the unmutated suite)}
  printf '%-3s %-7s %-28s %s  (by: %s)  [build %ss, tests %ss]\n' "$1" "$2" "$file" "$desc" "${3:--}" "$4" "$5"
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$1" "$2" "$file" "$desc" "${3:--}" "$4" "$5" >>"$RESULTS"
}

run_fault() { # n (0: none)
  local n=$1 start built result by
  if [ "$n" != 0 ]; then
    if is_stale "$n" "$SRC"; then
      STALE=$((STALE + 1)); report "$n" STALE "" 0 0; return
    fi
    apply_fault "$n"
  fi
  start=$(date +%s)
  say "fault $n: building"
  if ! build "$LOGS/$n-build.log"; then
    restore_fault
    [ "$n" != 0 ] || die "the unmutated tree does not build (see $LOGS/0-build.log)"
    BROKEN=$((BROKEN + 1)); report "$n" NO-BUILD "see $LOGS/$n-build.log" "$(($(date +%s) - start))" 0
    return
  fi
  built=$(date +%s)
  if [ "$n" = 0 ]; then
    test_fault 0 3
    [ -z "$BY" ] || die "the unmutated suite fails: $BY (logs in $LOGS)"
    [ -z "$SHAKY" ] || say "the unmutated suite had flaky failures: $SHAKY"
    report 0 passed "${SHAKY:+flaky: $SHAKY}" "$((built - start))" "$(($(date +%s) - built))"
    return
  fi
  test_fault "$n" 2
  restore_fault
  RAN=$((RAN + 1))
  by=$BY result=MISSED
  if [ -n "$BY" ]; then CAUGHT=$((CAUGHT + 1)); result=caught; fi
  [ -z "$SHAKY" ] || by+="${by:+; }flaky before: $SHAKY"
  report "$n" "$result" "$by" "$((built - start))" "$(($(date +%s) - built))"
}

# ---- main ----------------------------------------------------------------------------------------------
load_faults
if [ "$LIST" = 1 ]; then
  for ((n = 1; n <= COUNT; n++)); do
    state=ok; is_stale "$n" "$TREE" && state=STALE
    printf '%-3s %-5s %-28s %s\n' "$n" "$state" "${F_FILE[n]}" "${F_DESC[n]}"
  done
  exit 0
fi

if [ -n "$ONLY" ]; then
  IFS=, read -r -a SELECTED <<<"$ONLY"
  for n in "${SELECTED[@]}"; do
    [[ $n =~ ^[0-9]+$ ]] && [ "$n" -ge 1 ] && [ "$n" -le "$COUNT" ] || die "--only: no fault $n (1 to $COUNT)"
  done
else
  SELECTED=($(seq 1 "$COUNT"))
fi

began=$(date +%s)
mkdir -p "$LOGS"
say "copying $TREE to $SRC"
sync_copy
link_deps
source "$SRC/scripts/arch.sh"
# The tests' emulator (scripts/wine-run.sh of the copy) takes its prefix and
# display from these, through scripts/wine-env.sh.
export BUILD_DIR=$SEED WINEPREFIX=$SEED/wine/prefix
unset DISPLAY
ROOT=$SRC source "$SRC/scripts/wine-env.sh"
SMALL_DISK=$SEED/$WIN_TREE/reliability-small-disk
trap cleanup EXIT
# A run that stops says where and why, not only in its missing lines.
set -E
trap 'say "stopped at line $LINENO: $BASH_COMMAND"' ERR
trap 'say "stopped by a signal"; exit 1' TERM INT HUP
configure
start_wine

printf 'n\tresult\tfile\tdescription\tby\tbuild_s\ttest_s\n' >"$RESULTS"
echo "seeded faults in $TREE ($(git -C "$TREE" rev-parse --short HEAD 2>/dev/null || echo 'no git')), $(date '+%Y-%m-%d %H:%M')"
[ "$BASELINE" = 1 ] && run_fault 0
for n in "${SELECTED[@]}"; do run_fault "$n"; done

summary="caught $CAUGHT of $RAN"
[ "$STALE" = 0 ] || summary+=", $STALE STALE"
[ "$BROKEN" = 0 ] || summary+=", $BROKEN did not build"
[ -z "$EXCLUDED" ] || summary+="; flaky cases left out after their first failure: ${EXCLUDED//:/, }"
echo "$summary  (total $(( ($(date +%s) - began) / 60 )) min)"
[ "$STALE" = 0 ] && [ "$BROKEN" = 0 ]
