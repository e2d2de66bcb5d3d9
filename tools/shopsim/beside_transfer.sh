#!/bin/sh
# Shops at work while the transfer runs, and the checks afterwards.
#
#   beside_transfer.sh BIN WORK CARDS STORES HOLD_MS PAUSE_MS SEED DAYS
#
# Writes a demo chain of CARDS cards and STORES stores into WORK. Each day
# other master cards get new names and prices and other variants new notes;
# then one shop simulator per store (PAUSE_MS between its steps, records held
# for HOLD_MS now and then) works on its store's files while tamorix-prenos
# transfers the catalogue; a transfer that stops is run again while the shops
# work (up to three runs a day), as the operator would. The transfer may stop
# only with its own messages for a record or file held too long. After the
# last day the shops stop, one more transfer must finish without a message,
# every store index file must check clean, and the checker proves from the
# files and the shops' logs that no journal row, stock change or edit of
# either side was lost or doubled. Exit code 0 when all holds.
#
# The store list keeps each store's directory in 40 characters, so WORK must
# be short (the chain's store directories are WORK/chain/stores/PRODn/). A
# WORK ending in XXXXXX is made by mktemp and removed after a run that passed.
set -u
BIN=$1 WORK=$2 CARDS=$3 STORES=$4 HOLD=$5 PAUSE=$6 SEED=$7 DAYS=$8
case $WORK in
  *XXXXXX) WORK=$(mktemp -d "$WORK") || exit 1; TEMPORARY=1 ;;
  *) rm -rf "$WORK"; mkdir -p "$WORK"; TEMPORARY=0 ;;
esac
CHAIN=$WORK/chain
fail() { echo "FAIL: $* (see $WORK)" >&2; exit 1; }
[ ${#CHAIN} -le 25 ] || fail "$WORK is too long for the store list's 40 characters of directory"
# However the script ends, the shops close.
trap 'touch "$WORK/stop" 2>/dev/null' EXIT

"$BIN/tamorix-shopsim" make "$CHAIN" --cards "$CARDS" --stores "$STORES" || fail "the chain was not written"
INI=$CHAIN/DataSor.ini

# The transfer's standard error may hold only its progress lines, the
# message of the store without a card table, and the messages of a lock
# held too long (the lock retries given up, an edit refused, an index file
# not locked in time).
unexpected() {
  grep -v -e '^Úpravy skladu .*%$' -e '^Soubor .* nebyl nalezen ! $' \
    -e '^Nelze zamknout zaznam v tabulce ' -e '^Chyba: Record is locked by another user$' \
    -e '^Chyba: Can not Lock file ' "$1"
}
# A finished transfer prints nothing but its progress and the missing store.
unclean() { grep -v -e '^Úpravy skladu .*%$' -e '^Soubor .* nebyl nalezen ! $' "$1"; }

finished=0 stopped=0 runs=0
day=1
while [ "$day" -le "$DAYS" ]; do
  rm -f "$WORK/stop"
  "$BIN/tamorix-shopsim" change "$CHAIN" "$day" || fail "the master was not changed"
  pids=""
  s=1
  while [ "$s" -le "$STORES" ]; do
    code=$(printf '%04d' "$s")
    sim=$((day * 10 + s))
    "$BIN/tamorix-shopsim" run "$CHAIN/stores/PROD$s/" "$code" --log "$WORK/shop-$code-day$day.log" \
      --seed $((SEED + sim)) --sim "$sim" --stop "$WORK/stop" --hold-ms "$HOLD" --pause-ms "$PAUSE" --hot 8 \
      >"$WORK/shop-$code-day$day.out" 2>"$WORK/shop-$code-day$day.err" &
    pids="$pids $!"
    s=$((s + 1))
  done
  attempt=1 done_today=0
  while [ "$attempt" -le 3 ]; do
    runs=$((runs + 1))
    err=$WORK/prenos-day$day-$attempt.err
    "$BIN/tamorix-prenos" --ini "$INI" >"$WORK/prenos-day$day-$attempt.out" 2>"$err"
    rc=$?
    if unexpected "$err" >/dev/null; then
      touch "$WORK/stop"; unexpected "$err" >&2; fail "transfer run $runs printed other messages"
    fi
    if [ "$rc" -eq 0 ]; then
      finished=$((finished + 1))
      # A card whose lock or counter stayed held keeps its old prices.
      grep -q '^Nelze zamknout' "$err" || done_today=1
      break
    fi
    [ "$rc" -eq 1 ] || { touch "$WORK/stop"; fail "transfer run $runs ended with exit code $rc"; }
    stopped=$((stopped + 1))
    echo "transfer run $runs stopped: $(grep '^Chyba' "$err" | head -1)"
    attempt=$((attempt + 1))
  done
  touch "$WORK/stop"
  for p in $pids; do wait "$p" || fail "a shop simulator failed (see $WORK/shop-*-day$day.err)"; done
  # A transfer that finished while the shops worked (and got every lock it
  # retried): nothing of it may have been overwritten by them since, and
  # nothing of theirs by it.
  if [ "$done_today" = 1 ]; then
    "$BIN/tamorix-shopsim" check "$CHAIN" --transfer-done "$WORK"/shop-*.log >"$WORK/check-day$day.out" ||
      fail "the checks after day $day found faults"
  fi
  day=$((day + 1))
done

# The shops are closed: one more transfer finishes cleanly.
"$BIN/tamorix-prenos" --ini "$INI" >"$WORK/prenos-final.out" 2>"$WORK/prenos-final.err" ||
  { cat "$WORK/prenos-final.err" >&2; fail "the last transfer did not finish"; }
if unclean "$WORK/prenos-final.err" >/dev/null; then unclean "$WORK/prenos-final.err" >&2; fail "the last transfer printed messages"; fi
s=1
while [ "$s" -le "$STORES" ]; do
  grep -q "^$(printf '%04d' "$s") .*: nové karty " "$WORK/prenos-final.out" || fail "the last transfer did not reach store $s"
  s=$((s + 1))
done

# Each index file lies beside its table of the same name (letter case aside).
for cdx in "$CHAIN"/stores/*/*.[cC][dD][xX]; do
  [ -e "$cdx" ] || continue
  "$BIN/dbftool" check "${cdx%.*}.dbf" --index "$cdx" >"$WORK/check.out" 2>&1 ||
    { cat "$WORK/check.out" >&2; fail "$cdx does not check clean"; }
done

"$BIN/tamorix-shopsim" check "$CHAIN" --transfer-done "$WORK"/shop-*.log || fail "the checks found faults"
cat "$WORK"/shop-*.log | awk '/^H / {h++} /^J / {j++} /^X / {x++}
  END {printf "shop steps: journal rows %d, records held %d, steps given up %d\n", j, h, x}'
echo "transfer runs beside the shops: $runs ($finished finished, $stopped stopped for a lock held too long)"
[ "$TEMPORARY" = 1 ] && rm -rf "$WORK"
exit 0
