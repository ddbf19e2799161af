#!/usr/bin/env bash
# `make fresh-check`: starts where a newcomer starts. Makes a minimal Debian 12
# in a temporary folder, puts a clean clone of the commit at hand in it, runs
# there as root the README's install line and then `make test`, and prints
# that run's closing line. Fails when that run fails, or when it counts other
# than the host's own `make test` of the same commit. The run has mount and
# process namespaces of its own, so that its mounts and its processes
# (wineserver among them) end with it; everything else it made is removed on
# the way out, also when interrupted.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
PATH_IN=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin

# Inside the namespaces: what the run needs mounted, then the newcomer's steps.
if [ "${1:-}" = --inside ]; then
  root="$2" step="$3"
  mount -t proc proc "$root/proc"
  mount -t sysfs sysfs "$root/sys"
  mount --bind /dev "$root/dev"
  mount --bind /dev/pts "$root/dev/pts"
  mount -t tmpfs shm "$root/dev/shm"
  cp -L /etc/resolv.conf "$root/etc/resolv.conf"
  exec chroot "$root" /usr/bin/env -i HOME=/root PATH="$PATH_IN" TERM=dumb \
    bash -c "cd /root/renamora && $step && make test"
fi

# The Debian mirror the host's apt uses: the first enabled source of bookworm,
# one-line or deb822. MIRROR=URL chooses another.
mirror="${MIRROR:-$(
  {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      awk '$1 == "deb" { sub(/ \[[^]]*\]/, ""); if ($3 == "bookworm") print $2 }'
    cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk -v RS= -F '\n' '{
      types = uris = suites = ""; on = 1
      for (i = 1; i <= NF; i++) {
        if ($i ~ /^Types:/) types = " " substr($i, 7) " "
        if ($i ~ /^URIs:/) uris = substr($i, 6)
        if ($i ~ /^Suites:/) suites = " " substr($i, 8) " "
        if ($i ~ /^Enabled: *no/) on = 0
      }
      if (on && types ~ / deb / && suites ~ / bookworm /) { split(uris, u, " "); print u[1] }
    }'
  } | head -n1
)}"
[ -n "$mirror" ] || { echo "fresh-check: no bookworm source in the host's apt; set MIRROR" >&2; exit 2; }

# The README's line for a fresh machine, run as root: without sudo.
step=$(git show HEAD:README.md | grep -m1 '^    sudo apt-get ' | sed 's/^ *//; s/sudo //g')
[ -n "$step" ] || { echo "fresh-check: the README names no install line" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/var/tmp}/renamora-fresh.XXXXXX")
fs="$work/fs"
inner=""
cleanup() {
  trap - EXIT INT TERM
  set +e
  # unshare passes no signal on; killed, it takes everything inside along.
  if [ -n "$inner" ]; then kill -KILL "$inner" 2>/dev/null; wait "$inner" 2>/dev/null; fi
  # Nothing may run from the folder or stay mounted in it when it goes.
  local p m
  for p in /proc/[0-9]*; do
    if [ "$(readlink "$p/root" 2>/dev/null)" = "$fs" ]; then kill -9 "${p#/proc/}" 2>/dev/null; fi
  done
  for m in $(awk -v w="$work/" 'index($5, w) == 1 { print $5 }' /proc/self/mountinfo | sort -r); do
    umount "$m" 2>/dev/null || umount -l "$m"
  done
  if awk -v w="$work/" 'index($5, w) == 1 { found = 1 } END { exit !found }' /proc/self/mountinfo; then
    echo "fresh-check: $work is still mounted; left in place" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Runs a command in mount and process namespaces of its own, whose mounts and
# processes end with it; in the background, so that a signal reaches the trap
# at once.
isolated() {
  unshare --mount --pid --fork --kill-child "$@" &
  inner=$!
  local rc=0
  wait "$inner" || rc=$?
  inner=""
  return "$rc"
}

commit=$(git rev-parse HEAD)
echo "fresh-check: Debian 12 from $mirror, commit ${commit:0:12}"
git diff --quiet HEAD || echo "fresh-check: (changes not committed are not in the check)"
start=$SECONDS
if ! isolated debootstrap --variant=minbase bookworm "$fs" "$mirror" >"$work/debootstrap.log" 2>&1; then
  tail -20 "$work/debootstrap.log"
  echo "fresh-check: debootstrap failed" >&2
  exit 1
fi
echo "fresh-check: minimal system made in $((SECONDS - start)) s"

src="$fs/root/renamora"
git init -q "$src"
git -C "$src" fetch -q "$ROOT" HEAD
git -C "$src" checkout -q FETCH_HEAD

echo "fresh-check: as root there: $step && make test"
start=$SECONDS
rc=0
isolated bash "$ROOT/scripts/fresh-check.sh" --inside "$fs" "$step" || rc=$?
echo "fresh-check: the fresh system's install and make test took $((SECONDS - start)) s"

line=$(head -n1 "$src/build/test-results/summary" 2>/dev/null || true)
# The fresh system's closing line, as a line of its own.
echo "fresh-check: ${line:-no closing line from the fresh make test}"
[ -n "$line" ] || rc=1
# The same tests must have run as on the host: one that the fresh system
# skipped, or could not build, counts less there.
host="$ROOT/build/test-results/summary"
total() { awk 'NR == 1 { print $1 + $3 }' "$1"; }
if [ -n "$line" ] && [ "$(sed -n 2p "$host" 2>/dev/null)" = "$commit" ]; then
  echo "fresh-check: the host's make test of this commit: $(head -n1 "$host")"
  if [ "$(total "$src/build/test-results/summary")" != "$(total "$host")" ]; then
    echo "FAILED: the fresh system counted other tests than the host"
    rc=1
  fi
else
  echo "fresh-check: (no host make test of this commit to compare with)"
fi
exit "$rc"
