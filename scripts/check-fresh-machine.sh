#!/usr/bin/env bash
# Proves the README's two set-up commands on a pristine Debian 12 (bookworm) system: a minimal
# root made by debootstrap (minbase, plus git, ca-certificates and sudo), where a plain user with
# sudo clones the current commit and runs, in a clean environment:
#  1. the README's start command headless, timing it to the program's window (it installs and
#     builds what the program needs, nothing more); the program has to come up and stay up;
#  2. scripts/package.sh, the Debian package, which is then installed with apt into a second
#     pristine root, where zonefire-cli computes an installed example and `zonefire --version`
#     answers without a display; the package is then removed and must leave nothing behind;
#  3. the README's test command (installs everything else, builds everything, runs every test).
# Each stage's time is printed, and the time to the first window in the summary line.
#
#   scripts/check-fresh-machine.sh
#
# Needs root (re-runs itself with sudo). The debootstrapped root is kept as a tarball in
# $ZONEFIRE_FRESH_CACHE (default ~/.cache/zonefire), so only the first run waits for debootstrap;
# downloaded .deb files are kept there too (set ZONEFIRE_FRESH_APT_CACHE=0 to download afresh),
# everything is still installed afresh by the README's commands. Logs go to
# $ZONEFIRE_FRESH_LOGS (default: a new folder under /var/tmp). ZONEFIRE_FRESH_SKIP_TEST=1 leaves
# out stage 3 (to measure the first window and the package alone; CI never sets it). Prints one
# summary line last and exits non-zero on any failure.
set -euo pipefail
# The whole script sits in one block, read before it starts: an edit of this file (a checkout, a
# merge) while a check runs must not change what the running check does.
{

if [ "$(id -u)" -ne 0 ]; then
  exec sudo --preserve-env=ZONEFIRE_FRESH_CACHE,ZONEFIRE_FRESH_APT_CACHE,ZONEFIRE_FRESH_LOGS,ZONEFIRE_FRESH_UP_SECONDS,ZONEFIRE_FRESH_SKIP_TEST,ZONEFIRE_FRESH_START_LIMIT \
    HOME="$HOME" bash "$0" "$@"
fi

repo=$(cd "$(dirname "$0")/.." && pwd)
suite=bookworm
cache=${ZONEFIRE_FRESH_CACHE:-$HOME/.cache/zonefire}
tarball=$cache/$suite-minbase.tar.gz
up_seconds=${ZONEFIRE_FRESH_UP_SECONDS:-10}
test_limit=3600   # s for the test command (installs, builds everything, runs every test)
start_limit=${ZONEFIRE_FRESH_START_LIMIT:-900}   # s for the start command to bring the window up (it builds first)
package_limit=1200  # s for scripts/package.sh (installs pandoc and help2man, builds the guide)
install_limit=600   # s to install the package with apt into a pristine root, use it and remove it
user=builder      # the new user on the fresh system: uid 1000, sudo without a password
plain_path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
logs=${ZONEFIRE_FRESH_LOGS:-$(mktemp -d /var/tmp/zonefire-fresh-logs.XXXXXX)}
mkdir -p "$cache" "$logs"
# One check at a time per cache: two would make the same tarball and share the .deb files.
exec 9>"$cache/lock"
flock -n 9 || { echo "fresh-machine: another check holds $cache/lock; waiting" >&2; flock 9; }
started=$SECONDS
root=""
roots=()    # every pristine root this script unpacked (the build root and the install root)
groups=()   # process groups this script started (each led by a `timeout`)

say() { echo "fresh-machine: $*" >&2; }
elapsed() { local s=$((SECONDS - $1)); printf '%dm%02ds' $((s / 60)) $((s % 60)); }
fail() {
  say "$1"
  [ -n "${2:-}" ] && [ -f "$2" ] && { echo "---- last lines of $2" >&2; tail -n 40 "$2" >&2; }
  echo "fresh-machine check: FAILED: $1 (total $(elapsed "$started"); logs in $logs)"
  exit 1
}

# apt operations get three tries with a pause: one slow or broken download must not fail a run.
apt_retry() {
  local try
  for try in 1 2 3; do
    DEBIAN_FRONTEND=noninteractive "$@" && return 0
    [ "$try" -lt 3 ] && { say "'$*' failed (try $try of 3), again in 30 s"; sleep 30; }
  done
  return 1
}

# Ends what this script started and leaves the host as it was: the process groups it started,
# then anything else still running inside the new root (only this script put processes there),
# then the mounts, innermost first, and the root itself once nothing is mounted in it.
cleanup() {
  local g r
  for g in "${groups[@]}"; do kill -TERM -- "-$g" 2>/dev/null || true; done
  for r in "${roots[@]}"; do end_processes_in "$r" TERM; done
  sleep 1
  for g in "${groups[@]}"; do kill -KILL -- "-$g" 2>/dev/null || true; done
  for r in "${roots[@]}"; do
    end_processes_in "$r" KILL
    remove_root "$r"
  done
}
# Ends every process whose root is `$1` (only this script put processes there).
end_processes_in() {
  local p
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$1" ] && kill "-$2" "${p#/proc/}" 2>/dev/null || true
  done
}
# Unmounts what is mounted in root `$1`, innermost first, and removes the root once nothing is.
remove_root() {
  local r=$1 m
  for m in var/cache/apt/archives dev sys proc; do
    mountpoint -q "$r/$m" 2>/dev/null || continue
    umount -R "$r/$m" 2>/dev/null || umount -R -l "$r/$m" || say "could not unmount $r/$m"
  done
  if grep -q " $r/" /proc/self/mounts; then
    say "something is still mounted in $r: left in place"
  else
    rm -rf --one-file-system "$r"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# ---- The README's two commands: the indented lines of its fresh-machine section, told apart by
# the sentence before each ("... test ..." or "... start ...").
readme=$repo/README.md
mapfile -t commands < <(awk '
  /^## / { inside = ($0 ~ /^## On a fresh Debian/); next }
  !inside { next }
  /^    [^ ]/ { sub(/^    /, ""); kind = tolower(said) ~ /test/ ? "test" : tolower(said) ~ /start/ ? "start" : "?"
                 print kind "\t" $0; next }
  /[^ ]/ { said = $0 }' "$readme")
test_cmd="" start_cmd=""
for line in "${commands[@]}"; do
  case ${line%%$'\t'*} in
    test) [ -z "$test_cmd" ] || fail "README.md names two test commands"; test_cmd=${line#*$'\t'} ;;
    start) [ -z "$start_cmd" ] || fail "README.md names two start commands"; start_cmd=${line#*$'\t'} ;;
    *) fail "README.md: a set-up command without a sentence saying what it does: ${line#*$'\t'}" ;;
  esac
done
[ "${#commands[@]}" -eq 2 ] && [ -n "$test_cmd" ] && [ -n "$start_cmd" ] ||
  fail "README.md's section '## On a fresh Debian ...' must hold exactly two commands, one to test and one to start"
commit=$(git -C "$repo" rev-parse HEAD)
git -C "$repo" diff --quiet HEAD 2>/dev/null || say "uncommitted changes are not checked: this checks commit ${commit:0:12}"
say "test command: $test_cmd; start command: $start_cmd"

# ---- The pristine root, debootstrapped once and then unpacked from the cache.
host_mirror() {
  apt-cache policy 2>/dev/null | awk -v s="$suite/main" '$3 == s && !m { m = $2 } END { print m }'
}
mirror=$(host_mirror || true)
if [ ! -s "$tarball" ]; then
  t=$SECONDS
  command -v debootstrap >/dev/null || { apt_retry apt-get update -q && apt_retry apt-get install -y -q --no-install-recommends debootstrap; } >"$logs/debootstrap.log" 2>&1 ||
    fail "could not install debootstrap" "$logs/debootstrap.log"
  fresh=$(mktemp -d /var/tmp/zonefire-debootstrap.XXXXXX)
  chmod 755 "$fresh"   # the root folder of a system: every user passes through it
  say "debootstrap $suite from ${mirror:=http://deb.debian.org/debian} (once; cached in $tarball)"
  ok=0
  for try in 1 2 3; do
    if debootstrap --variant=minbase --include=git,ca-certificates,sudo "$suite" "$fresh" "$mirror" >>"$logs/debootstrap.log" 2>&1; then
      ok=1; break
    fi
    say "debootstrap failed (try $try of 3)"; sleep 30
    rm -rf --one-file-system "$fresh"; mkdir -p "$fresh"
  done
  [ "$ok" = 1 ] || { rm -rf --one-file-system "$fresh"; fail "debootstrap failed" "$logs/debootstrap.log"; }
  rm -rf "$fresh"/var/cache/apt/archives/*.deb
  tar --numeric-owner -C "$fresh" -czf "$tarball.part" . && mv "$tarball.part" "$tarball"
  rm -rf --one-file-system "$fresh"
  say "root made and cached in $(elapsed "$t")"
fi

# Unpacks a pristine root from the cached tarball, with the host's way to the Debian mirror, the
# new user and the kernel's file systems; its path is left in $made_root.
make_root() {
  local r
  r=$(mktemp -d /var/tmp/zonefire-fresh-root.XXXXXX)
  roots+=("$r")
  chmod 755 "$r"
  tar --numeric-owner -C "$r" -xzf "$tarball" || fail "could not unpack $tarball"
  chmod 755 "$r"
  # The host's way to reach the Debian mirror: its name server, its Debian sources (not
  # third-party ones, whose keys a pristine system lacks) and its settings for fetching them.
  cp -L /etc/resolv.conf "$r/etc/resolv.conf"
  rm -f "$r/etc/apt/sources.list"
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && grep -qE '(debian-archive-keyring|/debian(-security)?/? )|/debian(-security)?/?$' "$f" && cp "$f" "$r$f"
  done
  for f in /etc/apt/apt.conf.d/*; do
    [ -f "$f" ] && grep -q '^Acquire::' "$f" && cp "$f" "$r/etc/apt/apt.conf.d/"
  done
  ls "$r"/etc/apt/sources.list "$r"/etc/apt/sources.list.d/* >/dev/null 2>&1 ||
    echo "deb ${mirror:-http://deb.debian.org/debian} $suite main" >"$r/etc/apt/sources.list"
  chroot "$r" useradd --create-home --uid 1000 --shell /bin/bash "$user"
  echo "$user ALL=(ALL:ALL) NOPASSWD: ALL" >"$r/etc/sudoers.d/$user"
  chmod 440 "$r/etc/sudoers.d/$user"
  echo "127.0.1.1 $(hostname)" >>"$r/etc/hosts"   # sudo looks the machine's name up
  mount -t proc proc "$r/proc"
  mount -t sysfs sysfs "$r/sys"
  mount --rbind /dev "$r/dev"
  mount --make-rslave "$r/dev"
  if [ "${ZONEFIRE_FRESH_APT_CACHE:-1}" != 0 ]; then
    mkdir -p "$cache/apt-archives/partial"
    mount --bind "$cache/apt-archives" "$r/var/cache/apt/archives"
  fi
  made_root=$r
}

t=$SECONDS
make_root
root=$made_root
# The current commit, cloned as the new user would have it.
src=/home/$user/zonefire
git init -q "$root$src"
git -C "$root$src" fetch -q "$repo" HEAD || fail "could not fetch commit $commit"
git -C "$root$src" checkout -q --detach FETCH_HEAD
chroot "$root" chown -R "$user:$user" "$src"
say "root ready in $(elapsed "$t") with commit ${commit:0:12}"

# Runs a command line as the new user of root $root (or of $in_root when set) in the clean
# environment, under `timeout` so it leads its own process group; the group's id is left in
# $last_group. Extra arguments are VARIABLE=value settings for that command line.
as_user() {
  local limit=$1 log=$2 line=$3; shift 3
  timeout --kill-after=10 "$limit" chroot --userspec=1000:1000 "${in_root:-$root}" \
    env -i PATH="$plain_path" HOME="/home/$user" USER="$user" "$@" \
    bash -c "cd ${in_dir:-$src} && $line" >"$log" 2>&1 </dev/null &
  last_group=$!
  groups+=("$last_group")
}
stage_times=()
stage_done() { stage_times+=("$1 $(elapsed "$2")"); say "$1 took $(elapsed "$2")"; }

# ---- 1. The start command on the pristine system, headless: the time to the first window.
t=$SECONDS
say "running '$start_cmd' with QT_QPA_PLATFORM=offscreen (log: $logs/start.log)"
as_user "$start_limit" "$logs/start.log" "$start_cmd" QT_QPA_PLATFORM=offscreen
group=$last_group
# The program is up once a process of that group runs the built program (the start command
# installs and builds first, then execs it) and has made its main window: on the offscreen
# platform the window exists once the program has been running a moment; it must then stay up.
# The build has begun once the group runs CMake (the packages are in place by then): the split
# of the time between installing and building is printed too.
program="" installed=""
while [ -z "$program" ]; do
  kill -0 "$group" 2>/dev/null || fail "'$start_cmd' ended before the program came up" "$logs/start.log"
  for pid in $(pgrep -g "$group" 2>/dev/null); do
    exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || continue
    [ "$exe" = "$root$src/build/app/zonefire" ] && program=$pid
    [ -z "$installed" ] && [ "$exe" = "$root/usr/bin/cmake" ] && installed=$(elapsed "$t") && building_from=$SECONDS
  done
  [ -n "$program" ] || sleep 1
done
came_up=$(elapsed "$t")
[ -n "$installed" ] && came_up="$came_up (packages installed after $installed, then built in $(elapsed "$building_from"))"
sleep "$up_seconds"
kill -0 "$program" 2>/dev/null && [ "$(readlink "/proc/$program/exe" 2>/dev/null)" = "$root$src/build/app/zonefire" ] ||
  fail "the program came up but did not stay up for $up_seconds s" "$logs/start.log"
kill -TERM -- "-$group" 2>/dev/null || true
wait "$group" 2>/dev/null || true
say "first window after $came_up (installing and building the program and the runner included)"
stage_done "start" "$t"

# ---- 2. The Debian package: built here, installed into a second pristine root, used, removed.
t=$SECONDS
say "running './scripts/package.sh' (log: $logs/package.log)"
as_user "$package_limit" "$logs/package.log" "./scripts/package.sh"
wait "$last_group" || fail "'./scripts/package.sh' failed (exit $?)" "$logs/package.log"
deb=$(tail -n 1 "$logs/package.log")
[ -f "$root$deb" ] && [[ $deb == */zonefire_*_amd64.deb ]] || fail "scripts/package.sh named no package" "$logs/package.log"
stage_done "package" "$t"

t=$SECONDS
make_root
pristine=$made_root
cp "$root$deb" "$pristine/tmp/"
deb_name=$(basename "$deb")
{
  echo "== apt-get install ./$deb_name"
  apt_retry chroot "$pristine" apt-get update -q &&
    apt_retry chroot "$pristine" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "/tmp/$deb_name"
} >"$logs/install.log" 2>&1 || fail "apt could not install $deb_name into a pristine system" "$logs/install.log"
for f in /usr/bin/zonefire /usr/bin/zonefire-cli /usr/share/applications/zonefire.desktop \
         /usr/share/icons/hicolor/scalable/apps/zonefire.svg /usr/share/doc/zonefire/guide.html \
         /usr/share/doc/zonefire/guide/guide.md /usr/share/man/man1/zonefire.1.gz /usr/share/man/man1/zonefire-cli.1.gz \
         /usr/share/zonefire/fire-loads.csv /usr/share/zonefire/examples/office_floor.json; do
  [ -e "$pristine$f" ] || fail "the installed package lacks $f" "$logs/install.log"
done
in_root=$pristine in_dir=/home/$user as_user "$install_limit" "$logs/installed-run.log" \
  "zonefire-cli /usr/share/zonefire/examples/office_floor.json --quiet && zonefire --version"
wait "$last_group" || fail "the installed programs failed (exit $?)" "$logs/installed-run.log"
grep -q 'Расчет завершен' "$logs/installed-run.log" || fail "the installed zonefire-cli did not complete the example" "$logs/installed-run.log"
version_line=$(grep -m 1 '^zonefire [0-9]' "$logs/installed-run.log") ||
  fail "the installed zonefire --version printed no version" "$logs/installed-run.log"
{
  echo "== apt-get remove --purge zonefire"
  chroot "$pristine" env DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -q zonefire
} >>"$logs/install.log" 2>&1 || fail "apt could not remove zonefire" "$logs/install.log"
chroot "$pristine" dpkg-query -W -f='${Status}' zonefire 2>/dev/null | grep -q 'install ok installed' &&
  fail "zonefire is still installed after its removal" "$logs/install.log"
left=$(cd "$pristine" && ls -d usr/bin/zonefire usr/bin/zonefire-cli usr/share/zonefire usr/share/doc/zonefire \
       usr/share/applications/zonefire.desktop 2>/dev/null || true)
[ -z "$left" ] || fail "the removed package left behind: $left" "$logs/install.log"
say "package $deb_name installed with apt into a pristine system, ran ($version_line), removed cleanly"
stage_done "package install and removal" "$t"

# ---- 3. The test command: installs the rest, builds everything and passes every test.
tests_summary="test command left out (ZONEFIRE_FRESH_SKIP_TEST=1)"
if [ "${ZONEFIRE_FRESH_SKIP_TEST:-0}" != 1 ]; then
  t=$SECONDS
  say "running '$test_cmd' (log: $logs/test.log)"
  as_user "$test_limit" "$logs/test.log" "$test_cmd"
  wait "$last_group" || fail "'$test_cmd' failed (exit $?) after $(elapsed "$t")" "$logs/test.log"
  tests_line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$logs/test.log" | tail -n 1)
  [ -n "$tests_line" ] || fail "'$test_cmd' printed no test result" "$logs/test.log"
  tests_summary="'$test_cmd' ${tests_line#*% } in $(elapsed "$t")"
  stage_done "test" "$t"
fi

echo "fresh-machine check: passed on Debian 12 ($suite minbase) at commit ${commit:0:12}:" \
  "'$start_cmd' showed the first window after $came_up and stayed up ${up_seconds} s;" \
  "$deb_name installed with apt, ran and removed cleanly; $tests_summary;" \
  "stages: $(IFS=';'; echo "${stage_times[*]}"); total $(elapsed "$started")"
exit
}
