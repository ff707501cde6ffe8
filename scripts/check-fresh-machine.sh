#!/usr/bin/env bash
# Proves the README's two set-up commands on a pristine Debian 12 (bookworm) system: a minimal
# root made by debootstrap (minbase, plus git, ca-certificates and sudo), where a plain user with
# sudo clones the current commit, runs the README's test command in a clean environment, then its
# start command headless, and the program has to come up and stay up.
#
#   scripts/check-fresh-machine.sh
#
# Needs root (re-runs itself with sudo). The debootstrapped root is kept as a tarball in
# $ZONEFIRE_FRESH_CACHE (default ~/.cache/zonefire), so only the first run waits for debootstrap;
# downloaded .deb files are kept there too (set ZONEFIRE_FRESH_APT_CACHE=0 to download afresh),
# everything is still installed afresh by the README's commands. Logs go to
# $ZONEFIRE_FRESH_LOGS (default: a new folder under /var/tmp). Prints one summary line last and
# exits non-zero on any failure.
set -euo pipefail
# The whole script sits in one block, read before it starts: an edit of this file (a checkout, a
# merge) while a check runs must not change what the running check does.
{

if [ "$(id -u)" -ne 0 ]; then
  exec sudo --preserve-env=ZONEFIRE_FRESH_CACHE,ZONEFIRE_FRESH_APT_CACHE,ZONEFIRE_FRESH_LOGS,ZONEFIRE_FRESH_UP_SECONDS \
    HOME="$HOME" bash "$0" "$@"
fi

repo=$(cd "$(dirname "$0")/.." && pwd)
suite=bookworm
cache=${ZONEFIRE_FRESH_CACHE:-$HOME/.cache/zonefire}
tarball=$cache/$suite-minbase.tar.gz
up_seconds=${ZONEFIRE_FRESH_UP_SECONDS:-10}
test_limit=3600   # s for the test command (installs, builds everything, runs every test)
start_limit=900   # s for the start command to bring the window up (it builds first)
user=builder      # the new user on the fresh system: uid 1000, sudo without a password
plain_path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
logs=${ZONEFIRE_FRESH_LOGS:-$(mktemp -d /var/tmp/zonefire-fresh-logs.XXXXXX)}
mkdir -p "$cache" "$logs"
# One check at a time per cache: two would make the same tarball and share the .deb files.
exec 9>"$cache/lock"
flock -n 9 || { echo "fresh-machine: another check holds $cache/lock; waiting" >&2; flock 9; }
started=$SECONDS
root=""
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
  local g pid p
  for g in "${groups[@]}"; do kill -TERM -- "-$g" 2>/dev/null || true; done
  if [ -n "$root" ]; then
    for p in /proc/[0-9]*; do
      [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill -TERM "${p#/proc/}" 2>/dev/null || true
    done
  fi
  sleep 1
  for g in "${groups[@]}"; do kill -KILL -- "-$g" 2>/dev/null || true; done
  if [ -n "$root" ]; then
    for p in /proc/[0-9]*; do
      pid=${p#/proc/}
      [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill -KILL "$pid" 2>/dev/null || true
    done
    local m
    for m in var/cache/apt/archives dev sys proc; do
      mountpoint -q "$root/$m" 2>/dev/null || continue
      umount -R "$root/$m" 2>/dev/null || umount -R -l "$root/$m" || say "could not unmount $root/$m"
    done
    if grep -q " $root/" /proc/self/mounts; then
      say "something is still mounted in $root: left in place"
    else
      rm -rf --one-file-system "$root"
    fi
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

t=$SECONDS
root=$(mktemp -d /var/tmp/zonefire-fresh-root.XXXXXX)
chmod 755 "$root"
tar --numeric-owner -C "$root" -xzf "$tarball" || fail "could not unpack $tarball"
chmod 755 "$root"
# The host's way to reach the Debian mirror: its name server, its Debian sources (not third-party
# ones, whose keys a pristine system lacks) and its settings for fetching them.
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
rm -f "$root/etc/apt/sources.list"
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] && grep -qE '(debian-archive-keyring|/debian(-security)?/? )|/debian(-security)?/?$' "$f" && cp "$f" "$root$f"
done
for f in /etc/apt/apt.conf.d/*; do
  [ -f "$f" ] && grep -q '^Acquire::' "$f" && cp "$f" "$root/etc/apt/apt.conf.d/"
done
ls "$root"/etc/apt/sources.list "$root"/etc/apt/sources.list.d/* >/dev/null 2>&1 ||
  echo "deb ${mirror:-http://deb.debian.org/debian} $suite main" >"$root/etc/apt/sources.list"
chroot "$root" useradd --create-home --uid 1000 --shell /bin/bash "$user"
echo "$user ALL=(ALL:ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/$user"
chmod 440 "$root/etc/sudoers.d/$user"
echo "127.0.1.1 $(hostname)" >>"$root/etc/hosts"   # sudo looks the machine's name up

mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"
if [ "${ZONEFIRE_FRESH_APT_CACHE:-1}" != 0 ]; then
  mkdir -p "$cache/apt-archives/partial"
  mount --bind "$cache/apt-archives" "$root/var/cache/apt/archives"
fi

# The current commit, cloned as the new user would have it.
src=/home/$user/zonefire
git init -q "$root$src"
git -C "$root$src" fetch -q "$repo" HEAD || fail "could not fetch commit $commit"
git -C "$root$src" checkout -q --detach FETCH_HEAD
chroot "$root" chown -R "$user:$user" "$src"
say "root ready in $(elapsed "$t") with commit ${commit:0:12}"

# Runs a command line as the new user in the clean environment, under `timeout` so it leads its
# own process group; the group's id is left in $last_group.
# Extra arguments are VARIABLE=value settings for that command line.
as_user() {
  local limit=$1 log=$2 line=$3; shift 3
  timeout --kill-after=10 "$limit" chroot --userspec=1000:1000 "$root" \
    env -i PATH="$plain_path" HOME="/home/$user" USER="$user" "$@" \
    bash -c "cd $src && $line" >"$log" 2>&1 </dev/null &
  last_group=$!
  groups+=("$last_group")
}

# ---- The test command: installs, builds and passes every test.
t=$SECONDS
say "running '$test_cmd' (log: $logs/test.log)"
as_user "$test_limit" "$logs/test.log" "$test_cmd"
wait "$last_group" || fail "'$test_cmd' failed (exit $?) after $(elapsed "$t")" "$logs/test.log"
tests_line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$logs/test.log" | tail -n 1)
[ -n "$tests_line" ] || fail "'$test_cmd' printed no test result" "$logs/test.log"
test_time=$(elapsed "$t")

# ---- The start command, headless: the program has to come up and stay up.
t=$SECONDS
say "running '$start_cmd' with QT_QPA_PLATFORM=offscreen (log: $logs/start.log)"
as_user "$start_limit" "$logs/start.log" "$start_cmd" QT_QPA_PLATFORM=offscreen
group=$last_group
# The program is up once a process of that group runs the built program (the start command
# builds first, then execs it).
program=""
while [ -z "$program" ]; do
  kill -0 "$group" 2>/dev/null || fail "'$start_cmd' ended before the program came up" "$logs/start.log"
  for pid in $(pgrep -g "$group" 2>/dev/null); do
    exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || continue
    [ "$exe" = "$root$src/build/app/zonefire" ] && program=$pid
  done
  [ -n "$program" ] || sleep 1
done
came_up=$(elapsed "$t")
sleep "$up_seconds"
kill -0 "$program" 2>/dev/null && [ "$(readlink "/proc/$program/exe" 2>/dev/null)" = "$root$src/build/app/zonefire" ] ||
  fail "the program came up but did not stay up for $up_seconds s" "$logs/start.log"
kill -TERM -- "-$group" 2>/dev/null || true
wait "$group" 2>/dev/null || true

echo "fresh-machine check: passed on Debian 12 ($suite minbase) at commit ${commit:0:12}:" \
  "'$test_cmd' ${tests_line#*% } in $test_time; '$start_cmd' up after $came_up and stayed up ${up_seconds} s;" \
  "total $(elapsed "$started")"
exit
}
