#!/usr/bin/env bash
# Our own mutation run: plants each slip of a list (scripts/mutations.txt) in turn in a
# scratch copy of the working tree, rebuilds, runs the suite and tells whether the suite
# caught it. Too slow for CI (about two hours for the whole list on two shared cores).
#
#     scripts/mutate.sh [--only ID[,ID...]] [--list FILE] [--jobs N]
#     scripts/mutate.sh --check [--list FILE]
#
# --only takes slip ids or shell patterns of them ("blend-*"); --jobs is the build's and
# ctest's parallelism (default 2). --check only tells which slips are stale in the working
# tree, at once. The scratch copy and its build live in
# <build>/mutate (KORVID_BUILD_DIR as for the other scripts) and are kept between runs, so
# a slip recompiles only what it touches. The suite first runs once without any slip and
# must pass.
#
# Each slip: the import fuzzer does not run (its verdict is not repeatable, and the
# import's own tests must catch the import's slips); the quick tests run first, then the
# slow ones, each stopping at the first failure, then, if nothing failed yet, the golden
# frames. A slip is caught by the first test that fails, caught only by the golden frames,
# or missed; a slip whose pattern does not occur exactly once in its file is stale, and one
# that does not compile is reported as such: neither is counted. The report goes to the
# terminal and to <build>/mutate/report.txt; the status is 0 when every counted slip was
# caught.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

list=scripts/mutations.txt
only=
jobs=2
check=no
while [ $# -gt 0 ]; do
    case $1 in
    --check) check=yes; shift ;;
    --only) only=$2; shift 2 ;;
    --list) list=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    *) echo "usage: scripts/mutate.sh [--only ID[,ID...]] [--list FILE] [--jobs N] | --check" >&2
       exit 2 ;;
    esac
done

scratch=${KORVID_BUILD_DIR:-build}/mutate
case $scratch in /*) ;; *) scratch=$repo/$scratch ;; esac
src=$scratch/src
build=$scratch/build
logs=$scratch/logs
report=$scratch/report.txt
golden='Show.FramesMatchTheGoldenHashes'

# The list, read by perl: "list" prints id, file and description a line; "apply ID"
# plants the slip in the scratch copy, or exits with 3 when its pattern does not occur
# exactly once there (printing how often it does).
tool='
use strict;
my ($mode, $listFile, $want, $root) = @ARGV;
open(my $in, "<", $listFile) or die "cannot read $listFile\n";
my (@slips, $s);
while (my $line = <$in>) {
    chomp $line;
    if ($line =~ /^== ([^:\s]+): (.*)$/) {
        $s = {id => $1, what => $2, file => "", from => [], to => []};
        push @slips, $s;
    } elsif ($line =~ /^#/ || $line =~ /^\s*$/) {
        $s = undef if $line =~ /^#/;
    } elsif ($s && $line =~ /^@ (.*)$/) {
        $s->{file} = $1;
    } elsif ($s && $line =~ /^-(?: (.*))?$/) {
        push @{$s->{from}}, $1 // "";
    } elsif ($s && $line =~ /^\+(?: (.*))?$/) {
        push @{$s->{to}}, $1 // "";
    } else {
        die "$listFile:$.: not part of a slip: $line\n";
    }
}
my %seen;
for my $x (@slips) {
    die "slip $x->{id}: no file or no pattern\n" unless $x->{file} ne "" && @{$x->{from}};
    die "slip $x->{id} is listed twice\n" if $seen{$x->{id}}++;
}
if ($mode eq "list") {
    print "$_->{id}\t$_->{file}\t$_->{what}\n" for @slips;
    exit 0;
}
# The file of a slip and where its pattern first occurs in it, with the number of times.
sub find {
    my ($x) = @_;
    open(my $f, "<", "$root/$x->{file}") or return ("", -1, -1);
    local $/;
    my $text = <$f>;
    close $f;
    my $from = join("\n", @{$x->{from}});
    my ($count, $at) = (0, -1);
    for (my $i = index($text, $from); $i >= 0; $i = index($text, $from, $i + 1)) {
        $at = $i if $count == 0;
        ++$count;
    }
    return ($text, $at, $count);
}
if ($mode eq "check") {
    my $bad = 0;
    for my $x (@slips) {
        my (undef, undef, $count) = find($x);
        next if $count == 1;
        print "stale $x->{id}: ", $count < 0 ? "$x->{file} is gone" : "its pattern occurs $count times", "\n";
        $bad = 1;
    }
    printf "%d slips, %s\n", scalar @slips, $bad ? "some stale" : "every pattern occurs once";
    exit $bad;
}
my ($x) = grep { $_->{id} eq $want } @slips;
die "no slip $want\n" unless $x;
my $path = "$root/$x->{file}";
my ($text, $at, $count) = find($x);
if ($count != 1) {
    print $count < 0 ? "its file is gone\n" : "its pattern occurs $count times\n";
    exit 3;
}
my $from = join("\n", @{$x->{from}});
my $to = join("\n", @{$x->{to}});
substr($text, $at, length $from) = $to;
open(my $o, ">", $path) or die "cannot write $path\n";
print $o $text;
close $o;
'

if [ $check = yes ]; then
    exec perl -e "$tool" check "$list" "" "$repo"
fi

mkdir -p "$src" "$build" "$logs"

selected() {
    [ -z "$only" ] && return 0
    local pattern
    for pattern in ${only//,/ }; do
        # shellcheck disable=SC2254
        case $1 in $pattern) return 0 ;; esac
    done
    return 1
}

# The scratch copy follows the working tree: files whose content differs are copied (their
# new date makes the build recompile them), files no longer in the tree are removed.
sync_copy() {
    local file
    git ls-files -z --cached --others --exclude-standard >"$scratch/files"
    while IFS= read -r -d '' file; do
        [ -f "$file" ] || continue
        if ! cmp -s "$file" "$src/$file"; then
            mkdir -p "$src/$(dirname "$file")"
            cp "$file" "$src/$file"
        fi
    done <"$scratch/files"
    (cd "$src" && find . -type f | sed 's|^\./||' | sort) >"$scratch/copied"
    tr '\0' '\n' <"$scratch/files" | sort | comm -23 "$scratch/copied" - |
        while IFS= read -r file; do rm -f "$src/$file"; done
}

build_copy() {
    if [ ! -f "$build/CMakeCache.txt" ]; then
        local launcher=()
        command -v ccache >/dev/null 2>&1 &&
            launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
        cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >"$1" 2>&1
    fi
    cmake --build "$build" -j "$jobs" >>"$1" 2>&1
}

# The first test that failed in a ctest log, or nothing: ctest marks every way of failing
# (Failed, Timeout, an exception, a crash or an abort, Not Run) with "***".
first_failure() {
    sed -nE 's/^.*Test +#[0-9]+: ([^ ]+) [^*]*\*\*\*.*$/\1/p' "$1" | head -1
}

# Runs part of the suite, stopping at the first failure; prints the failing test, if any.
run_tests() {
    local log=$1
    shift
    (cd "$build" && ctest -j "$jobs" --stop-on-failure --timeout 600 "$@") >"$log" 2>&1 || true
    first_failure "$log"
}

say() {
    echo "$*" | tee -a "$report"
}

started=$(date +%s)
: >"$report"
# The list as it stands now: edits made while the run goes on do not reach it.
cp "$list" "$scratch/list"
list=$scratch/list
perl -e "$tool" list "$list" >"$scratch/slips"

say "Syncing the scratch copy and building it (logs in $logs)"
sync_copy
if ! build_copy "$logs/baseline-build.log"; then
    say "The scratch copy does not build without any slip: see $logs/baseline-build.log"
    exit 2
fi

# The suite without any slip, once for each state of the tree; its test times split the
# quick tests from the slow ones.
state=$(cd "$src" && find . -type f -print0 | sort -z | xargs -0 sha1sum | sha1sum | cut -c1-40)
if [ "$(cat "$scratch/baseline.ok" 2>/dev/null)" != "$state" ]; then
    say "Running the suite without any slip"
    failed=$(run_tests "$logs/baseline-tests.log" -E '^scene_import_fuzz$')
    if [ -n "$failed" ]; then
        say "The suite fails without any slip ($failed): see $logs/baseline-tests.log"
        exit 2
    fi
    echo "$state" >"$scratch/baseline.ok"
fi
slow=$(awk '$1 == "---" { exit } NF == 3 && $3 > 3 { print $1 }' \
    "$build/Testing/Temporary/CTestCostData.txt" | grep -v -x -e scene_import_fuzz -e "$golden" |
    paste -sd'|' -)
slow=${slow:-none}

total=0 caught=0 goldenOnly=0 missed=0 stale=0 broken=0
missedIds=()
# The slips come on a descriptor of their own: the builds and tests in the loop must not
# read them from standard input.
while IFS=$'\t' read -r -u 3 id file what; do
    selected "$id" || continue
    original=$scratch/original
    if [ ! -f "$src/$file" ]; then
        say "stale       $id: $file is gone"
        stale=$((stale + 1))
        continue
    fi
    cp "$src/$file" "$original"
    if ! why=$(perl -e "$tool" apply "$list" "$id" "$src"); then
        say "stale       $id: $why"
        stale=$((stale + 1))
        continue
    fi
    log=$logs/$id
    if ! build_copy "$log-build.log"; then
        # A test program that fails while it lists its tests fails the build, but it is the
        # suite that failed: the slip is caught.
        lister=$(sed -nE "s|^ *Path: '.*/([^/]+)'\$|\1|p" "$log-build.log" | head -1)
        if grep -q 'Error running test executable' "$log-build.log" && [ -n "$lister" ]; then
            say "caught      $id: by $lister, listing its tests"
            total=$((total + 1))
            caught=$((caught + 1))
        else
            say "no build    $id: does not compile ($log-build.log)"
            broken=$((broken + 1))
        fi
    else
        total=$((total + 1))
        failed=$(run_tests "$log-quick.log" -E "^(scene_import_fuzz|$golden|$slow)\$")
        [ -n "$failed" ] || failed=$(run_tests "$log-slow.log" -R "^($slow)\$")
        if [ -n "$failed" ]; then
            say "caught      $id: by $failed"
            caught=$((caught + 1))
        elif [ -n "$(run_tests "$log-golden.log" -R "^$golden\$")" ]; then
            say "golden only $id: $what"
            goldenOnly=$((goldenOnly + 1))
            missedIds+=("$id")
        else
            say "MISSED      $id: $what"
            missed=$((missed + 1))
            missedIds+=("$id")
        fi
    fi
    # Restored with a new date, so that the next build recompiles it.
    cp "$original" "$src/$file"
done 3<"$scratch/slips" </dev/null

percent() {
    [ "$total" -gt 0 ] && echo "$((100 * $1 / total))%" || echo "-"
}
minutes=$((($(date +%s) - started + 59) / 60))
say ""
say "$((caught + goldenOnly)) of $total slips caught ($(percent $((caught + goldenOnly)))) with the golden frames,"
say "$caught of $total ($(percent "$caught")) by the other tests alone;"
say "$stale stale, $broken not compiling, not counted; $minutes minutes on $jobs jobs."
[ ${#missedIds[@]} -eq 0 ] || say "Not caught by the other tests: ${missedIds[*]}"
[ $((goldenOnly + missed)) -eq 0 ]
