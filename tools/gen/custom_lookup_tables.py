#!/usr/bin/env python3
"""Builds the custom chain lookup tables (engine/CustomLookupTables.cpp).

Run from the repository root:  python3 tools/gen/custom_lookup_tables.py > engine/CustomLookupTables.cpp

How a row comes about
  * Every row is centred on a window ratio N. The row's nominal rate is the rate
    at the centre clock, floor(180 MHz / N); its window holds every rate whose
    clock at ratio N lies inside the clock range, [160 MHz / N, 200 MHz / N].
  * Its chain (16 stage codes, product P <= 7680) is a chain of the row's converter
    family (by-3 stage, or the two half-bands) whose clock at the nominal rate,
    nominal x P, lies inside the clock range; of those, P closest to N (the
    smaller on a tie). Usually P = N and the window is exactly what the chain
    serves. The sinc stage takes 5, 7 or 10 (a 3 there would duplicate the
    narrowband by-3 stage).
  * Its maximum bandwidth is floor(nominal x k / 58), with k set by the last
    active stage, the one that shapes the passband edge: 38 for the converter
    by-3 stage alone, 52 for the converter half-bands, 43 for a wideband by-2,
    40 for a narrowband stage that follows an active stage and 30 for one that
    follows a bypassed stage.
  * A few rows carry chains fixed beforehand (FIXED below; the half-band row
    at N = 4 appears in both tables); only their stage layout is not the
    canonical one, they follow the same window, nominal and bandwidth rules.
  * The 96 kHz row (PAIRING below). A 96 kHz channel and a 144 kHz partner
    are designed together at 96 kHz; the partner's chain then trades its
    narrowband by-3 stage for a by-2 one and its SCIC for a factor of 10
    (ratio 1920 becomes 1280, the same clock). Only a half-band chain of ratio
    1920 with its by-3 at the narrowband end (position 14) survives that, so
    the half-band row at N = 1920 carries such a chain, and no row that a
    table walk meets before it holds 96 kHz in its window: no by-3 row at all
    (the Rx table starts with them), no half-band row with a smaller N. The
    cover and the padding skip such ratios; the half-band rows around them
    serve those rates instead, with one half-band row at the largest N whose
    window stays above 96 kHz (N = 1666) so that the rates just above keep a
    row as wide as the skipped ones.
  * Each family has 56 rows ordered from high to low rate. The window ratios are
    chosen so that the rows of both families together serve every rate from
    20,834 Hz upward that some chain of either family can put inside the clock
    range (a greedy interval cover), then padded with further ratios.
  * The Rx table is the by-3 family followed by the half-band family; the Tx
    table the other way round.
"""

from fractions import Fraction

CLOCK_MIN = 160_000_000
CLOCK_CENTRE = 180_000_000
CLOCK_MAX = 200_000_000
MAX_RATIO = 7680
ROWS_PER_FAMILY = 56
SINC_FACTORS = (1, 5, 7, 10)
WIDEBAND = (3, 4, 5, 6, 7)
NARROWBAND = (9, 10, 11, 12, 15, 13)  # fill order of the narrowband by-2 stages

BY3, HALFBANDS = 3, 4

# The 96 kHz row: half-band family, N = 1920, by-3 at position 14, SCIC at 5
# so that the partner's factor of 10 takes a wideband by-2 stage's place.
PAIRING_RATE = 96_000
PAIRING_N = 1920
PAIRING_CODES = (1, 2, 2, 2, 1, 1, 1, 1, 5, 2, 2, 2, 1, 1, 3, 2)

# Fixed chains: family -> {row in family: (window ratio, codes)}.
FIXED = {
    BY3: {
        0: (3, (3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1)),
        7: (48, (3, 1, 1, 2, 1, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1)),
        14: (216, (3, 1, 1, 1, 1, 1, 1, 1, 5, 2, 1, 2, 2, 1, 1, 2)),
        55: (8064, (3, 1, 1, 2, 2, 2, 2, 2, 10, 2, 2, 2, 1, 1, 1, 1)),
    },
    HALFBANDS: {
        0: (4, (1, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1)),
        55: (8192, (1, 2, 2, 2, 2, 1, 1, 1, 5, 2, 2, 2, 2, 1, 3, 2)),
    },
}


def product(codes):
    p = 1
    for c in codes:
        p *= c
    return p


def layout(family, by2, sinc, by3):
    codes = [1] * 16
    if family == BY3:
        codes[0] = 3
    else:
        codes[1] = codes[2] = 2
    for pos in (WIDEBAND + NARROWBAND)[:by2]:
        codes[pos] = 2
    codes[8] = sinc
    codes[14] = by3
    return tuple(codes)


def chains(family):
    """Ratio -> canonical chain: the fewest active stages, then the smallest sinc factor."""
    best = {}
    for by2 in range(len(WIDEBAND) + len(NARROWBAND) + 1):
        for sinc in SINC_FACTORS:
            for by3 in (1, 3):
                codes = layout(family, by2, sinc, by3)
                p = product(codes)
                if p > MAX_RATIO:
                    continue
                key = (sum(c != 1 for c in codes), sinc)
                if p not in best or key < best[p][0]:
                    best[p] = (key, codes)
    return {p: v[1] for p, v in best.items()}


def bandwidth_k(codes):
    last = max(i for i, c in enumerate(codes) if c != 1)
    if last == 0:
        return 38
    if last <= 2:
        return 52
    if last <= 7:
        return 43
    return 40 if codes[last - 1] != 1 else 30


def make_row(n, codes):
    nominal = CLOCK_CENTRE // n
    p = product(codes)
    assert CLOCK_MIN <= nominal * p <= CLOCK_MAX and p <= MAX_RATIO, (n, codes)
    return (n, nominal, nominal * bandwidth_k(codes) // 58, codes)


def fitting(family_chains, n):
    nominal = CLOCK_CENTRE // n
    return [p for p in family_chains if CLOCK_MIN <= nominal * p <= CLOCK_MAX]


def chain_for(family_chains, n):
    return family_chains[min(fitting(family_chains, n), key=lambda p: (abs(p - n), p))]


def served(row):
    n, _, _, codes = row
    p = product(codes)
    lo, hi = max(Fraction(CLOCK_MIN, n), Fraction(CLOCK_MIN, p)), min(Fraction(CLOCK_MAX, n), Fraction(CLOCK_MAX, p))
    return (lo, hi) if lo <= hi else None


def holds_pairing_rate(n):
    return Fraction(CLOCK_MIN, n) <= PAIRING_RATE <= Fraction(CLOCK_MAX, n)


def pre_empts_pairing(family, n):
    """Would a row at ratio n be met before the 96 kHz row and hold 96 kHz?"""
    return holds_pairing_rate(n) and (family == BY3 or n < PAIRING_N)


def cover(pool, covered):
    """Greedy interval cover from the top rate down: at the highest rate not yet
    served, take the pool row serving it whose interval reaches lowest."""
    taken = []
    lowest = Fraction(CLOCK_MIN, MAX_RATIO)
    x = max(hi for (_, hi), _ in pool)
    while x >= lowest:
        inside = [iv for iv in covered if iv[0] <= x <= iv[1]]
        if inside:
            x = min(lo for lo, _ in inside) - Fraction(1, 1000)
            continue
        reach = [(iv, row) for iv, row in pool if iv[0] <= x <= iv[1]]
        if reach:
            iv, row = min(reach, key=lambda entry: entry[0][0])
            taken.append(row)
            covered.append(iv)
        else:  # no chain of this pool serves x: go on below it
            x = max((hi for (_, hi), _ in pool if hi < x), default=lowest - 1)
    return taken


def plan():
    family_chains = {f: chains(f) for f in (BY3, HALFBANDS)}
    fixed_rows = {f: {i: make_row(n, c) for i, (n, c) in FIXED[f].items()} for f in FIXED}
    for f in FIXED:  # a fixed chain differs from the canonical one in its layout only
        for n, codes in FIXED[f].values():
            assert product(codes) == product(chain_for(family_chains[f], n)), (f, n)
    assert product(PAIRING_CODES) == product(chain_for(family_chains[HALFBANDS], PAIRING_N))
    kept = {f: {row[0]: row for row in fixed_rows[f].values()} for f in FIXED}
    kept[HALFBANDS][PAIRING_N] = make_row(PAIRING_N, PAIRING_CODES)
    above = -(-CLOCK_MIN // PAIRING_RATE) - 1
    kept[HALFBANDS][above] = make_row(above, chain_for(family_chains[HALFBANDS], above))
    covered = [served(row) for f in kept for row in kept[f].values()]
    # Cover with half-band rows first (that family has room at the top of its
    # range), then the rates left with by-3 rows; each candidate row has N = P.
    for f in (HALFBANDS, BY3):
        candidates = (make_row(p, c) for p, c in family_chains[f].items() if not pre_empts_pairing(f, p))
        pool = [(served(row), row) for row in candidates]
        for row in cover(pool, covered):
            kept[f].setdefault(row[0], row)
    tables = {}
    for f in (BY3, HALFBANDS):
        rows, fixed = kept[f], fixed_rows[f]
        spare = [n for n in range(f, 8193)
                 if n not in rows and fitting(family_chains[f], n) and not pre_empts_pairing(f, n)]
        # Pad with further window ratios, keeping the fixed rows at their places:
        # each time the one farthest (in ratio) from the ratios already kept.
        while len(rows) < ROWS_PER_FAMILY:
            order = sorted(rows)
            room = [n for n in spare if fits_order(order, fixed, n)]
            assert room, f"no room for family {f}"
            n = max(room, key=lambda n: (min(abs(n / q - 1) for q in order), -n))
            rows[n] = make_row(n, chain_for(family_chains[f], n))
            spare.remove(n)
        order = sorted(rows)
        assert len(order) == ROWS_PER_FAMILY, (f, len(order))
        for i, row in fixed.items():
            assert order[i] == row[0], (f, i, order[i], row[0])
        tables[f] = [rows[n] for n in order]
    for table in (tables[BY3] + tables[HALFBANDS], tables[HALFBANDS] + tables[BY3]):
        first = next(row for row in table if holds_pairing_rate(row[0]))
        assert first[0] == PAIRING_N and first[3] == PAIRING_CODES, first
    return tables


def fits_order(order, fixed, n):
    """Can ratio n join the kept ones and every fixed row still reach its index?"""
    new = sorted(order + [n])
    marks = [(-1, 0)] + sorted((i, row[0]) for i, row in fixed.items()) + [(ROWS_PER_FAMILY, 10**9)]
    for (i1, n1), (i2, n2) in zip(marks, marks[1:]):
        if sum(n1 < m < n2 for m in new) > i2 - i1 - 1:
            return False
    return True


def emit(name, rows):
    out = [f"const std::array<CustomLookupRow, {len(rows)}> {name} = {{{{"]
    for i, (n, nominal, bw, codes) in enumerate(rows):
        out.append(f"    {{{nominal}, {bw}, {CLOCK_MIN}.0 / {n}, {CLOCK_MAX}.0 / {n},  // row {i}, N {n}, ratio {product(codes)}")
        out.append("     {" + ", ".join(str(c) for c in codes) + "}},")
    out.append("}};")
    return "\n".join(out)


def main():
    tables = plan()
    rx = tables[BY3] + tables[HALFBANDS]
    tx = tables[HALFBANDS] + tables[BY3]
    print("// Generated by tools/gen/custom_lookup_tables.py; do not edit.")
    print("// Regenerate: python3 tools/gen/custom_lookup_tables.py > engine/CustomLookupTables.cpp")
    print("// Row: nominal rate, maximum bandwidth, window [160 MHz / N, 200 MHz / N], stage codes.")
    print()
    print('#include "engine/CustomLookupTables.h"')
    print()
    print("namespace Veltrix::Marlin::Native {")
    print()
    print(emit("RxCustomLookupTable", rx))
    print()
    print(emit("TxCustomLookupTable", tx))
    print()
    print("}  // namespace Veltrix::Marlin::Native")


if __name__ == "__main__":
    main()
