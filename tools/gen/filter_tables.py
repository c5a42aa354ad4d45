#!/usr/bin/env python3
"""Generates the fixed channel-filter and pulse-shaping coefficient sets.

Usage (from the repository root):
    python3 tools/gen/filter_tables.py            # rewrites both .cpp files
    python3 tools/gen/filter_tables.py --report   # prints each design's fit and response

Every set is a linear-phase low-pass FIR in 2^23 fixed point. Its layout (span,
symmetry), its centre value(s), its coefficient sum and its first three non-zero
values are fixed numbers that the device software and saved profiles already
carry, so each set is made in two steps:

1. Design. The DMR shapers are root-raised-cosine filters with the DMR
   roll-off of 0.2 at 4800 symbols/s (5 and 10 samples a symbol at 24 and
   48 kHz), truncated to their span; their fixed values are those of that
   filter. Channel filters and the FM audio shapers are least-squares low-pass
   designs (integral squared error over the passband and the weighted
   stopband; see Burrus, Soewito and Gopinath, "Least squared error FIR filter
   design with transition bands", 1992) solved with the fixed values as
   equality constraints (Lagrange multipliers), so the free taps absorb them.
   The fixed centre value sets the cut-off: it is the cut-off of the
   Kaiser-windowed sinc (Kaiser, 1974) with the same centre share of the gain.
2. Minimal symmetric adjustment to integers. The design is scaled to the
   fixed sum, the fixed positions are set (with their mirror images), the
   remaining coefficients are rescaled to restore the sum and rounded, and the
   last few units of the sum are placed, as +-1 per mirror pair, on the
   coefficients whose rounding was closest to a half.
"""

import math
import sys
from pathlib import Path

LENGTH = 128

# Layouts: 'odd' is symmetric about 63 over start..end; 'even' symmetric about
# 63.5; 'even_tail' is symmetric about 63.5 over 1..126 with its own value at
# position 0 and nothing at position 127.
CHANNEL_SETS = [
    # name, layout, start, end, centre, sum, first three, fs_Hz, bandwidth_Hz.
    # Rate and bandwidth are the pair a receive channel looks the set up by;
    # P25, TETRA_150k and TETRA_192k, reached only by key, carry the pair they
    # are meant for.
    ("DMR_24k", "odd", 0, 126, 3674001, 8388601, (1, -5, -2), 24000, 12000),
    ("DMR_48k", "odd", 0, 126, 2001178, 8388610, (1, 4, 10), 48000, 12000),
    ("LTE_1p4M", "even", 32, 95, 4480229, 8388190, (-392, -228, 1164), 1920000, 1008000),
    ("LTE_3M", "even_tail", 0, 126, 4882163, 8388183, (-235, -352, 372), 3840000, 2700000),
    ("LTE_5M", "even_tail", 0, 126, 4391599, 8388869, (475, 312, -782), 7680000, 4500000),
    ("P25", "odd", 0, 126, 4099798, 8388614, (3, 6, -3), 24000, 12000),
    ("TETRA_25k", "odd", 0, 126, 1411374, 8388616, (4, 10, 16), 144000, 25000),
    ("TETRA_50k", "odd", 1, 125, 2825719, 8388613, (-1, 4, 10), 144000, 50000),
    ("TETRA_150k", "odd", 0, 126, 4254577, 8388609, (5, -5, -9), 288000, 150000),
    ("TETRA_192k", "odd", 2, 124, 991196, 8388606, (-2, -3, -2), 192000, 25000),
    ("CUSTOM1_RX20_5p4M", "even", 0, 127, 2344899, 8305418, (414, 1702, 4283), 20000000, 5400000),
    ("CUSTOM1_RX20_7p3M", "even", 0, 127, 3024823, 8299048, (682, 2716, 5591), 20000000, 7300000),
    ("CUSTOM1_RX20_9p2M", "even", 0, 127, 3609412, 8120314, (-1862, -11077, -30920), 20000000, 9200000),
    ("CUSTOM2_RX936k_7813", "even", 0, 127, 319816, 8385310, (13, -39, -68), 936000, 7813),
    ("CUSTOM2_RX936k_31250", "even", 0, 127, 546496, 8395116, (-123, -187, -316), 936000, 31250),
    ("CUSTOM2_RX936k_62500", "even", 0, 127, 820851, 8394492, (-129, -230, -405), 936000, 62500),
    ("CUSTOM2_RX936k_156250", "even", 0, 127, 1637380, 8383056, (-25, -251, -551), 936000, 156250),
    ("CUSTOM2_RX936k_312500", "even", 0, 127, 2898179, 8383030, (164, 151, -329), 936000, 312500),
    ("CUSTOM3_RX42P666M_20M", "odd", 0, 126, 4198997, 8391121, (561, 1427, 1146), 42666000, 20000000),
]

PULSE_SETS = [
    # name, layout, start, end, centre, sum, first three, fs_Hz, shape: a
    # root-raised-cosine with its samples a symbol, or a low-pass with its
    # audio passband edge in Hz (speech to 3 kHz)
    ("DMR_24k", "odd", 3, 123, 1771863, 8388611, (-985, -3750, -4451), 24000, ("rrc", 5)),
    ("DMR_48k", "odd", 3, 123, 882404, 8388614, (6637, 8064, 8273), 48000, ("rrc", 10)),
    ("ANALOG_FM_24k", "odd", 1, 125, 2265498, 8388596, (2, 8, 12), 24000, ("lowpass", 3000)),
    ("ANALOG_FM_48k", "odd", 2, 124, 1218646, 8388610, (2, 7, 15), 48000, ("lowpass", 3000)),
]

DMR_ROLL_OFF = 0.2

# Window of the prototype that places each low-pass transition, and the weight
# of stopband against passband error in the least-squares designs.
WINDOW_BETA = 5.0
STOP_WEIGHT = 10.0


def bessel_i0(x):
    total, term, k = 1.0, 1.0, 1
    while term > 1e-17 * total:
        term *= (x / (2.0 * k)) ** 2
        total += term
        k += 1
    return total


def positions(layout, start, end):
    """Positions covered by the symmetric part and its centre of symmetry."""
    if layout == "even_tail":
        return list(range(1, 127)), 63.5
    return list(range(start, end + 1)), (start + end) / 2.0


def kaiser(t, half_width, beta):
    r = t / half_width
    return bessel_i0(beta * math.sqrt(max(0.0, 1.0 - r * r))) / bessel_i0(beta)


def lowpass(layout, start, end, cutoff, beta):
    """Kaiser-windowed ideal low-pass; cutoff in cycles per sample (6 dB point)."""
    taps, centre = positions(layout, start, end)
    half_width = (end - start) / 2.0 + 1.0
    h = [0.0] * LENGTH
    for n in taps:
        t = n - centre
        ideal = 2.0 * cutoff if t == 0 else math.sin(2.0 * math.pi * cutoff * t) / (math.pi * t)
        h[n] = ideal * kaiser(t, half_width, beta)
    return h


def root_raised_cosine(t, sps, alpha):
    """Unit-DC-gain root-raised-cosine at t samples from its centre."""
    x = t / sps
    if abs(x) < 1e-12:
        return (1.0 - alpha + 4.0 * alpha / math.pi) / sps
    if abs(abs(4.0 * alpha * x) - 1.0) < 1e-9:
        a = math.pi / (4.0 * alpha)
        return alpha / (sps * math.sqrt(2.0)) * ((1 + 2 / math.pi) * math.sin(a) + (1 - 2 / math.pi) * math.cos(a))
    num = math.sin(math.pi * x * (1 - alpha)) + 4 * alpha * x * math.cos(math.pi * x * (1 + alpha))
    return num / (sps * math.pi * x * (1 - (4 * alpha * x) ** 2))


def rrc(layout, start, end, sps):
    """Root-raised-cosine truncated to the span."""
    taps, centre = positions(layout, start, end)
    h = [0.0] * LENGTH
    for n in taps:
        h[n] = root_raised_cosine(n - centre, sps, DMR_ROLL_OFF)
    return h


def fixed_positions(layout, start, end):
    """Positions whose values are fixed: the three first non-zero, the centre(s)."""
    if layout == "odd":
        centres = [(start + end) // 2]
    else:
        centres = [63, 64]
    return [start, start + 1, start + 2], centres


def mirror(layout, start, end, n):
    if layout == "even_tail":
        return None if n == 0 else 127 - n
    return start + end - n


def centre_ratio(h, layout, start, end):
    centres = fixed_positions(layout, start, end)[1]
    return h[centres[0]] / sum(h)


def cutoff_for_centre(binding):
    """Cut-off of the Kaiser-windowed sinc whose centre share of the DC gain is the fixed one.

    The fixed centre value sets where the filter's transition lies: the centre
    tap of a low-pass grows with its bandwidth.
    """
    layout, start, end, centre, total, _ = binding
    wanted = centre / total
    low, high = 0.001, 0.499
    for _ in range(60):
        mid = 0.5 * (low + high)
        if centre_ratio(lowpass(layout, start, end, mid, WINDOW_BETA), layout, start, end) < wanted:
            low = mid
        else:
            high = mid
    return 0.5 * (low + high)


def band_edges(cutoff, passband_edge):
    """Pass and stop edges about the cut-off, in cycles per sample.

    The transition is centred on the cut-off. It spans the way from the key's
    own passband edge where that lies below the cut-off, and 0.05 otherwise,
    kept between 0.03 (the narrowest these lengths resolve well) and 0.11.
    """
    width = 2.0 * (cutoff - passband_edge) if passband_edge < cutoff else 0.05
    width = min(max(width, 0.03), 0.11)
    return cutoff - width / 2.0, cutoff + width / 2.0


def band_integral(u, f1, f2):
    """Integral of cos(2 pi f u) over f1..f2."""
    if abs(u) < 1e-12:
        return f2 - f1
    return (math.sin(2 * math.pi * f2 * u) - math.sin(2 * math.pi * f1 * u)) / (2 * math.pi * u)


def cos_product(x, y, f1, f2):
    return 0.5 * (band_integral(x - y, f1, f2) + band_integral(x + y, f1, f2))


def solve(matrix, rhs):
    """Gaussian elimination with partial pivoting."""
    n = len(rhs)
    a = [row[:] + [rhs[i]] for i, row in enumerate(matrix)]
    for col in range(n):
        pivot = max(range(col, n), key=lambda r: abs(a[r][col]))
        a[col], a[pivot] = a[pivot], a[col]
        for r in range(col + 1, n):
            factor = a[r][col] / a[col][col]
            if factor:
                for k in range(col, n + 1):
                    a[r][k] -= factor * a[col][k]
    x = [0.0] * n
    for r in range(n - 1, -1, -1):
        x[r] = (a[r][n] - sum(a[r][k] * x[k] for k in range(r + 1, n))) / a[r][r]
    return x


def constrained_least_squares(binding, pass_edge, stop_edge, stop_weight):
    """Least-squares low-pass with the fixed values as equality constraints.

    Minimises the squared error of the zero-phase amplitude against the fixed
    DC gain over 0..pass_edge plus stop_weight times the squared amplitude over
    stop_edge..0.5, with the fixed taps held and the coefficient sum fixed
    (Lagrange multiplier). Returns real-valued coefficients.
    """
    layout, start, end, centre, total, first = binding
    taps, middle = positions(layout, start, end)
    firsts, centres = fixed_positions(layout, start, end)
    fixed = {}
    for p, v in zip(firsts, first):
        for q in (p, mirror(layout, start, end, p)):
            if q is not None:
                fixed[q] = v
    for c in centres:
        fixed[c] = centre
    free = [n for n in taps if n not in fixed and mirror(layout, start, end, n) > n]
    # Fixed part of the amplitude, as (offset, weight) cosine terms.
    fixed_terms = [(n - middle, v) for n, v in fixed.items() if n in taps]
    bands = [(0.0, pass_edge, 1.0), (stop_edge, 0.5, stop_weight)]
    size = len(free)
    q = [[0.0] * (size + 1) for _ in range(size + 1)]
    p = [0.0] * (size + 1)
    for i, n in enumerate(free):
        x = n - middle
        for k, m in enumerate(free):
            q[i][k] = sum(w * 4 * cos_product(x, m - middle, f1, f2) for f1, f2, w in bands)
        target = 2 * total * band_integral(x, 0.0, pass_edge)
        for y, v in fixed_terms:
            target -= sum(w * 2 * v * cos_product(x, y, f1, f2) for f1, f2, w in bands)
        p[i] = target
        q[i][size] = q[size][i] = 2.0
    p[size] = total - sum(fixed.values())
    a = solve(q, p)
    h = [0.0] * LENGTH
    for n, v in fixed.items():
        h[n] = float(v)
    for i, n in enumerate(free):
        h[n] = h[mirror(layout, start, end, n)] = a[i]
    return h


def quantise(h, binding):
    layout, start, end, centre, total, first = binding
    scale = total / sum(h)
    h = [v * scale for v in h]
    firsts, centres = fixed_positions(layout, start, end)
    out = [0] * LENGTH
    fixed = set()
    for p, v in zip(firsts, first):
        for q in (p, mirror(layout, start, end, p)):
            if q is not None:
                out[q] = v
                fixed.add(q)
    for c in centres:
        out[c] = centre
        fixed.add(c)
    if layout == "even_tail":
        fixed.add(127)
    taps, _ = positions(layout, start, end)
    free = [n for n in taps if n not in fixed and mirror(layout, start, end, n) > n]
    free_sum = 2.0 * sum(h[n] for n in free)
    c = (total - sum(out)) / free_sum
    exact = {n: h[n] * c for n in free}
    for n in free:
        out[n] = out[mirror(layout, start, end, n)] = round(exact[n])
    remainder = total - sum(out)
    assert remainder % 2 == 0, "fixed sum and centre disagree in parity"
    step = 1 if remainder > 0 else -1
    order = sorted(free, key=lambda n: -(exact[n] - out[n]) * step)
    for n in order[: abs(remainder) // 2]:
        out[n] += step
        out[mirror(layout, start, end, n)] += step
    assert sum(out) == total
    return out


def response_db(h, f):
    re = sum(v * math.cos(2 * math.pi * f * n) for n, v in enumerate(h))
    im = sum(v * math.sin(2 * math.pi * f * n) for n, v in enumerate(h))
    return 20 * math.log10(max(math.hypot(re, im), 1e-9) / abs(sum(h)))


def design_lowpass(binding, passband_edge):
    cutoff = cutoff_for_centre(binding)
    pass_edge, stop_edge = band_edges(cutoff, passband_edge)
    h = constrained_least_squares(binding, pass_edge, stop_edge, STOP_WEIGHT)
    text = (f"constrained least-squares low-pass,\n// passband 0..{pass_edge:.4f}, "
            f"stopband {stop_edge:.4f}..0.5 cycles/sample")
    return quantise(h, binding), text, (pass_edge, stop_edge)


def design_channel(entry):
    name, layout, start, end, centre, total, first, fs, bw = entry
    return design_lowpass((layout, start, end, centre, total, first), bw / 2.0 / fs)


def design_pulse(entry):
    name, layout, start, end, centre, total, first, fs, shape = entry
    binding = (layout, start, end, centre, total, first)
    if shape[0] == "lowpass":
        return design_lowpass(binding, shape[1] / fs)
    sps = shape[1]
    h = rrc(layout, start, end, sps)
    text = f"root-raised-cosine,\n// roll-off {DMR_ROLL_OFF}, {sps} samples a symbol"
    # Nominal edges of a root-raised-cosine: (1 -+ roll-off) times half the symbol rate.
    return quantise(h, binding), text, ((1 - DMR_ROLL_OFF) / (2 * sps), (1 + DMR_ROLL_OFF) / (2 * sps))


def emit(path, title, setname, entries, designs, selector):
    lines = [
        f"// {title}",
        "// Generated by tools/gen/filter_tables.py; do not edit. Regenerate from the",
        "// repository root with: python3 tools/gen/filter_tables.py",
        "",
        f'#include "plover/{setname}.h"',
        "",
        "namespace Veltrix::Marlin::Native {",
        "",
        "namespace {",
        "",
    ]
    for entry, (coeffs, text, _) in zip(entries, designs):
        lines.append(f"// {entry[0]}: {text}.")
        lines.append(f"constexpr FilterTableSet {entry[0]}{{{{")
        for i in range(0, LENGTH, 10):
            lines.append("    " + " ".join(f"{v}," for v in coeffs[i:i + 10]))
        lines.append("}};")
        lines.append("")
    lines.append("}  // namespace")
    lines.append("")
    lines += selector
    lines.append("")
    lines.append("}  // namespace Veltrix::Marlin::Native")
    Path(path).write_text("\n".join(lines) + "\n")


def selector(function, enumeration, entries, shared):
    lines = [f"const FilterTableSet* {function}({enumeration} key)", "{", "    switch (key) {"]
    for e in entries:
        for key in [e[0]] + shared.get(e[0], []):
            lines.append(f"    case {enumeration}::{key}:")
        lines.append(f"        return &{e[0]};")
    lines += [f"    case {enumeration}::Unity:", "        return &UnityFilterTableSet;", "    }",
              "    return nullptr;", "}"]
    return lines


def main():
    root = Path(__file__).resolve().parents[2]
    channel = [design_channel(e) for e in CHANNEL_SETS]
    pulse = [design_pulse(e) for e in PULSE_SETS]
    if "--report" in sys.argv:
        for entries, designs in ((CHANNEL_SETS, channel), (PULSE_SETS, pulse)):
            for e, (h, text, (pass_edge, stop_edge)) in zip(entries, designs):
                ripple = max(abs(response_db(h, pass_edge * k / 50)) for k in range(51))
                stop = max(response_db(h, stop_edge + (0.5 - stop_edge) * k / 200) for k in range(201))
                print(f"{e[0]:22s} pass 0..{pass_edge:.4f} within {ripple:.2f} dB; "
                      f"stop {stop_edge:.4f}..0.5 below {stop:.1f} dB")
        return
    shared = {"LTE_5M": ["LTE_10M", "LTE_20M", "LTE_40M"], "TETRA_50k": ["TETRA_100k"]}
    channel_selector = selector("ChannelFilterTable", "ChannelFilterSelect", CHANNEL_SETS, shared)
    pulse_selector = selector("PulseShapeFilterTable", "PulseShapeFilterSelect", PULSE_SETS, {})
    emit(root / "src/plover/filters/ChannelFilterTables.cpp", "Fixed channel-filter coefficient sets, 2^23 = unity gain.",
         "FilterTables", CHANNEL_SETS, channel, channel_selector)
    emit(root / "src/plover/filters/PulseShapeFilterTables.cpp", "Fixed pulse-shaping coefficient sets, 2^23 = unity gain.",
         "FilterTables", PULSE_SETS, pulse, pulse_selector)


if __name__ == "__main__":
    main()
