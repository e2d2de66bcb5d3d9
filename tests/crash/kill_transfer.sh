#!/bin/bash
# The transfer killed (SIGKILL) at random moments, over a generated chain.
#
#   kill_transfer.sh BINDIR [KILLS] [CARDS] [SEED]
#
# The demo maker writes a chain of CARDS master cards and three stores (and a
# store without its card table), in whose card index files the shops' own
# extra tags NAC and EAN are built. A complete transfer over an identical
# chain measures how long a run takes and how many writes it makes. Then,
# KILLS times, tamorix-prenos runs over the chain and is killed: in odd rounds
# after a random delay within the measured length; in even rounds, where
# strace can trace here, on entering a random one of its writes (every
# second such round: of its writes to one store's card or variant index
# file), so that kills also fall between the writes of one record (record,
# header, index nodes), windows of microseconds that a delay almost never
# meets. After each kill:
#   - every table and index file of the drive opens, and `dbftool check
#     --tree` reports on them;
#   - a table header counts the records its file holds, or lags it by one:
#     the record appended at the kill, in one table at most;
#   - the only damage the check names lies in one index file and is either
#     about one record (its keys missing or stale) or a node write cut short;
#   - no master card or variant is lost or doubled, no store card or variant
#     is doubled and none that was there is lost;
#   - `dbftool repair` on every file the check named leaves the drive sound.
# Before each run the master gains ten new cards. Then a complete transfer runs and every store holds every master card once
# with the master's name and prices, and every master variant once, with
# every file sound. Each kill is followed by a run of the next round, so the
# next run meets what the repair left.
#
# SEED (default: random, printed) fixes the delays for a rerun.

set -u
bin=${1:?usage: kill_transfer.sh BINDIR [KILLS] [CARDS] [SEED]}
kills=${2:-20}
cards=${3:-300}
seed=${4:-$(( $(date +%s) % 100000 ))}
RANDOM=$seed
echo "kill_transfer: $kills kills, $cards cards, seed $seed"

# The store directories go into the store list (40 characters at most).
work=$(mktemp -d /tmp/tmxk.XXXXXX) || exit 1
trap 'rm -rf "$work"' EXIT
dbftool="$bin/dbftool"
failures=0

fail() {
  echo "FAIL (round $round): $*"
  failures=$((failures + 1))
}

# make_chain DIR: the demo chain with the shops' extra tags on the store cards.
make_chain() {
  "$bin/tamorix-demo" "$1" --cards "$cards" --stores 3 >/dev/null || exit 1
  for sor in $(find "$1"/stores -iname 'sor*.dbf' | sort); do
    local index
    index=$(basename "${sor%.*}")
    "$dbftool" reindex "$sor" "$index" NAC 'UPPER(SOR_NAC)' >/dev/null || exit 1
    "$dbftool" reindex "$sor" "$index" EAN SOR_EAN >/dev/null || exit 1
  done
}

# columns FILE NAME...: the named columns of a table's dump, TAB separated.
columns() {
  local file=$1
  shift
  "$dbftool" dump "$file" | awk -F'\t' -v want="$*" '
    NR == 1 { n = split(want, w, " "); for (i = 1; i <= NF; i++) at[$i] = i; next }
    { line = ""; for (i = 1; i <= n; i++) line = line (i > 1 ? "\t" : "") $(at[w[i]]); print line }'
}

# keys_of FILE: the card numbers of a card table, or the card number and
# variant index of a variant table, one a line in table order.
keys_of() {
  case $(basename "$1" | tr '[:lower:]' '[:upper:]') in
    SOR*) columns "$1" SOR_KAV ;;
    *) columns "$1" SKL_KAV SKL_IND ;;
  esac
}

# store_tables: the card and variant tables of every store (any letter case).
store_tables() { find "$drive"/stores \( -iname 'sor*.dbf' -o -iname 'skl*.dbf' \) | sort; }

# The keys each table held before the first kill: master and store cards
# and variants.
snapshot() {
  mkdir -p "$work/before"
  for t in "$drive"/data/SOR0000.DBF "$drive"/data/SKL0000.DBF $(store_tables); do
    keys_of "$t" | sort >"$work/before/$(basename "$t").keys"
  done
}

# add_cards N: N new master cards of one variant each, as the master grows
# between two transfers, so that every run has cards to create in the stores.
next_card=900000
add_cards() {
  for _ in $(seq 1 "$1"); do
    next_card=$((next_card + 1))
    local kav=$next_card
    "$dbftool" append "$drive/data/SOR0000.DBF" SOR_KAV=$kav "SOR_NAC=Nová karta $kav" SOR_PC1=120.5 SOR_PC2=118 \
      SOR_PC3=115 SOR_PC4=110 SOR_PC5=99.9 SOR_DAN=21 SOR_EAN=859$kav >/dev/null || fail "card $kav not added"
    "$dbftool" append "$drive/data/SKL0000.DBF" SKL_KAV=$kav SKL_IND=001 SKL_SNC=80 SKL_MEN=CZK SKL_KUR=1 \
      >/dev/null || fail "variant $kav/001 not added"
    echo "$kav" >>"$work/before/SOR0000.DBF.keys"
    printf '%s\t001\n' "$kav" >>"$work/before/SKL0000.DBF.keys"
  done
  sort -o "$work/before/SOR0000.DBF.keys" "$work/before/SOR0000.DBF.keys"
  sort -o "$work/before/SKL0000.DBF.keys" "$work/before/SKL0000.DBF.keys"
}

# No key doubled; none of those held before the first kill lost; the master
# tables hold exactly what they held.
check_keys() {
  for t in "$drive"/data/SOR0000.DBF "$drive"/data/SKL0000.DBF $(store_tables); do
    local name
    name=$(basename "$t")
    keys_of "$t" | sort >"$work/now.keys"
    local doubled
    doubled=$(uniq -d "$work/now.keys" | head -3 | tr '\t\n' '/ ')
    [ -z "$doubled" ] || fail "$name holds $doubled more than once"
    local lost
    lost=$(comm -23 "$work/before/$name.keys" <(uniq "$work/now.keys") | head -3 | tr '\t\n' '/ ')
    [ -z "$lost" ] || fail "$name lost $lost"
    case $(tr '[:lower:]' '[:upper:]' <<<"$name") in
      SOR0000.DBF|SKL0000.DBF) cmp -s "$work/before/$name.keys" "$work/now.keys" || fail "$name changed its keys" ;;
    esac
  done
}

# What a kill may leave, from the report of check --tree in $work/check.txt:
# at most one header behind by one record, and problems in one index file
# at most, about one record or a node write cut short.
judge_check() {
  grep -E '^(table|index) .* UNUSABLE' "$work/check.txt" && fail "a file cannot be used"
  grep -E '^table .* HEADER WRONG' "$work/check.txt" && fail "a header count is off by more than one"
  [ "$(grep -cE '^table .* HEADER BEHIND' "$work/check.txt")" -le 1 ] || fail "more than one header behind"
  local damaged
  damaged=$(grep -cE '^index .* DAMAGED' "$work/check.txt")
  [ "$damaged" -le 1 ] || fail "$damaged index files damaged by one kill"
  [ "$damaged" -eq 1 ] || return 0
  local problems records
  problems=$(grep -E '^    ' "$work/check.txt")
  records=$(grep -oE 'record [0-9]+ with key' <<<"$problems" | sort -u | wc -l)
  if grep -qvE ': (record [0-9]+ with key .* is missing|the entry for record [0-9]+ with key .* does not belong)$' \
      <<<"$problems"; then
    echo "round $round: a node write was cut short:"
    echo "$problems"
    torn=$((torn + 1))
  elif [ "$records" -ne 1 ]; then
    fail "the damage concerns $records records: $problems"
  else
    echo "round $round: keys of one record missing or stale: $(head -1 <<<"$problems" | sed 's/^ *//')"
    keyed=$((keyed + 1))
  fi
}

# repair_named: dbftool repair on the table of every file the check named.
repair_named() {
  local names
  names=$(sed -n 's/^verdict: UNSOUND - [0-9]* of [0-9]* files: //p' "$work/check.txt")
  for name in $names; do
    local dir stem table
    dir=$(dirname "$drive/$name")
    stem=$(basename "${name%.*}")
    table=$(find "$dir" -maxdepth 1 -iname "$stem.dbf" | head -1)
    if [ -z "$table" ]; then
      fail "no table for $name"
      continue
    fi
    "$dbftool" repair "$table" >"$work/repair.txt" 2>&1 || { cat "$work/repair.txt"; fail "repair of $name failed"; }
    repairs=$((repairs + 1))
  done
  [ -z "$names" ] && return
  "$dbftool" check --tree "$drive" >"$work/check.txt" 2>&1 || { cat "$work/check.txt"; fail "unsound after repair"; }
}

now_ms() { date +%s%3N; }

# A complete run over an identical chain measures a run: its length, and
# (traced, over the chain made anew) its writes.
round=0
make_chain "$work/probe"
start=$(now_ms)
"$bin/tamorix-prenos" --ini "$work/probe/DataSor.ini" >/dev/null 2>"$work/probe.err" || {
  cat "$work/probe.err"
  fail "the measuring run failed"
}
length=$(( $(now_ms) - start ))
writes=0
if strace -o /dev/null -e trace=none true 2>/dev/null; then
  rm -rf "$work/probe"
  make_chain "$work/probe"
  strace -c -o "$work/probe.strace" -e trace=pwrite64 "$bin/tamorix-prenos" --ini "$work/probe/DataSor.ini" \
    >/dev/null 2>&1
  writes=$(awk '$NF == "pwrite64" { print $4 }' "$work/probe.strace")
fi
rm -rf "$work/probe"
echo "one complete run takes $length ms and makes ${writes:-0} writes"

drive="$work/chain"
make_chain "$drive"
snapshot
killed=0 keyed=0 torn=0 repairs=0
for round in $(seq 1 "$kills"); do
  add_cards 10
  if [ $((round % 2)) -eq 0 ] && [ "${writes:-0}" -gt 0 ]; then
    if [ $((round % 4)) -eq 2 ]; then
      # On entering one of all the run's writes.
      only=()
      write=$(( (RANDOM * 32768 + RANDOM) % writes + 1 ))
    else
      # On entering one of the writes to one store's card or variant index
      # file: the ten new cards give some 20 to 40 of them, most of them
      # after a record and its header were written and before its keys are
      # all in.
      indexes=($(find "$drive"/stores \( -iname 'sor*.cdx' -o -iname 'skl*.cdx' \) | sort |
                 while read -r f; do [ -n "$(find "$(dirname "$f")" -maxdepth 1 -iname 'sor*.dbf')" ] && echo "$f"; done))
      only=(-P "${indexes[RANDOM % ${#indexes[@]}]}")
      write=$(( RANDOM % 20 + 1 ))
    fi
    # (The subshell keeps the shell's notice of the killed job quiet.)
    (strace -o /dev/null "${only[@]}" -e trace=pwrite64 -e inject=pwrite64:signal=SIGKILL:when="$write" \
      "$bin/tamorix-prenos" --ini "$drive/DataSor.ini" >/dev/null 2>"$work/run.err"; exit $?) 2>/dev/null
    rc=$?
  else
    delay=$(( (RANDOM * 32768 + RANDOM) % (length + 1) ))
    "$bin/tamorix-prenos" --ini "$drive/DataSor.ini" >/dev/null 2>"$work/run.err" &
    pid=$!
    sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    rc=$?
  fi
  if [ "$rc" -eq 137 ]; then
    killed=$((killed + 1))
  elif [ "$rc" -ne 0 ]; then
    cat "$work/run.err"
    fail "the run ended with $rc before the kill"
  fi
  "$dbftool" check --tree "$drive" >"$work/check.txt" 2>&1
  judge_check
  check_keys
  repair_named
  [ "$failures" -eq 0 ] || { cat "$work/check.txt"; break; }
done
echo "$killed of $kills runs killed; keys of one record missing or stale $keyed times," \
     "node writes cut short $torn times; $repairs files repaired"

round=final
"$bin/tamorix-prenos" --ini "$drive/DataSor.ini" >/dev/null 2>"$work/run.err" || {
  cat "$work/run.err"
  fail "the complete transfer failed"
}
"$dbftool" check --tree "$drive" >"$work/check.txt" 2>&1 || { cat "$work/check.txt"; fail "unsound after the transfer"; }
check_keys
columns "$drive/data/SOR0000.DBF" SOR_KAV SOR_NAC SOR_PC1 SOR_PC2 SOR_PC3 SOR_PC4 SOR_PC5 | sort >"$work/master.cards"
columns "$drive/data/SKL0000.DBF" SKL_KAV SKL_IND | grep -E $'\t[0-9]' | sort >"$work/master.variants"
for dir in "$drive"/stores/PROD*; do
  sor=$(find "$dir" -maxdepth 1 -iname 'sor*.dbf')
  skl=$(find "$dir" -maxdepth 1 -iname 'skl*.dbf')
  [ -n "$sor" ] || continue
  columns "$sor" SOR_KAV SOR_NAC SOR_PC1 SOR_PC2 SOR_PC3 SOR_PC4 SOR_PC5 | sort >"$work/store.cards"
  columns "$skl" SKL_KAV SKL_IND | sort >"$work/store.variants"
  cmp -s "$work/master.cards" "$work/store.cards" ||
    fail "$(basename "$sor") differs from the master: $(diff "$work/master.cards" "$work/store.cards" | head -4)"
  cmp -s "$work/master.variants" "$work/store.variants" ||
    fail "$(basename "$skl") differs from the master: $(diff "$work/master.variants" "$work/store.variants" | head -4)"
done

if [ "$failures" -ne 0 ]; then
  echo "kill_transfer: $failures failures (seed $seed)"
  exit 1
fi
echo "kill_transfer: every store equals the master, every file sound"
