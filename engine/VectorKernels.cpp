// Highway's multiple-inclusion scheme: this file is compiled once per target
// instruction set listed in HWY_TARGETS (foreach_target.h re-includes it), and
// HWY_EXPORT / HWY_DYNAMIC_DISPATCH pick the best the CPU supports at the
// first call. The logarithm is Highway's vector Log10, chosen over SLEEF's
// after measuring both on 2^22 points: faster at every width, within 2 ulp.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "engine/VectorKernels.cpp"
#include <hwy/foreach_target.h>  // must come before highway.h
#include <hwy/highway.h>
#include <hwy/contrib/math/math-inl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/VectorKernels.h"

HWY_BEFORE_NAMESPACE();
namespace Veltrix::Marlin::Native {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D = hn::ScalableTag<double>;
using V = hn::Vec<D>;

constexpr std::size_t BlockPoints = 512;
constexpr std::size_t MaxLanes = HWY_MAX_BYTES / sizeof(double);
constexpr double Pi = 3.14159265358979323846;

HWY_INLINE V RotorCos(D d, const RotorBlock& rotor, std::size_t i)
{
    return hn::Sub(hn::Mul(hn::Set(d, rotor.seedCos), hn::LoadU(d, rotor.fineCos + i)),
                   hn::Mul(hn::Set(d, rotor.seedSin), hn::LoadU(d, rotor.fineSin + i)));
}

HWY_INLINE V RotorSin(D d, const RotorBlock& rotor, std::size_t i)
{
    return hn::Add(hn::Mul(hn::Set(d, rotor.seedSin), hn::LoadU(d, rotor.fineCos + i)),
                   hn::Mul(hn::Set(d, rotor.seedCos), hn::LoadU(d, rotor.fineSin + i)));
}

// The rotor's fine tables hold a whole block, so whole vectors may run past
// count inside it; their lanes are computed and dropped. Four vectors at a
// time: each point's sum is a chain of dependent operations, and four
// chains keep the arithmetic units busy (every lane's arithmetic is that of
// one point alone).
constexpr std::size_t StageChains = 4;

void StageBlock(const StageShape& shape, const RotorBlock& rotor, std::size_t count, double* HWY_RESTRICT out)
{
    const D d;
    const std::size_t lanes = hn::Lanes(d);
    HWY_ALIGN double tail[StageChains * MaxLanes];
    const V one = hn::Set(d, 1.0);
    const V two = hn::Set(d, 2.0);
    const std::size_t terms = shape.terms;
    const V last = hn::Set(d, terms > 0 ? shape.c[terms - 1] : 0.0);
    for (std::size_t i = 0; i < count; i += StageChains * lanes) {
        V value[StageChains];
        V c[StageChains];
        for (std::size_t v = 0; v < StageChains; ++v) {
            c[v] = RotorCos(d, rotor, i + v * lanes);
        }
        if (shape.kind == StageShapeKind::Cic) {
            // U_{L-1}(cos theta) by its recurrence from U_0 = 1, U_-1 = 0.
            V u1[StageChains];
            V u2[StageChains];
            V twoC[StageChains];
            for (std::size_t v = 0; v < StageChains; ++v) {
                u1[v] = one;
                u2[v] = hn::Zero(d);
                twoC[v] = hn::Mul(two, c[v]);
            }
            for (int k = 1; k < shape.cicLength; ++k) {
                for (std::size_t v = 0; v < StageChains; ++v) {
                    const V next = hn::Sub(hn::Mul(twoC[v], u1[v]), u2[v]);
                    u2[v] = u1[v];
                    u1[v] = next;
                }
            }
            const V inverse = hn::Set(d, 1.0 / static_cast<double>(shape.cicLength));
            for (std::size_t v = 0; v < StageChains; ++v) {
                const V ratio = hn::Mul(hn::Abs(u1[v]), inverse);
                value[v] = hn::Mul(hn::Mul(ratio, ratio), ratio);
            }
        } else {
            // Clenshaw's recurrence; a half-band sums its odd orders two at a
            // time in w = cos(2 theta).
            const bool halfBand = shape.kind == StageShapeKind::HalfBand;
            V w[StageChains];
            V step[StageChains];
            V b1[StageChains];
            V b2[StageChains];
            for (std::size_t v = 0; v < StageChains; ++v) {
                w[v] = hn::Sub(hn::Mul(hn::Mul(two, c[v]), c[v]), one);
                step[v] = halfBand ? hn::Mul(two, hn::Sub(hn::Mul(hn::Mul(two, w[v]), w[v]), one))
                                   : hn::Mul(two, w[v]);
                b1[v] = last;
                b2[v] = hn::Zero(d);
            }
            for (std::size_t t = terms > 0 ? terms - 1 : 0; t-- > 0;) {
                const V coefficient = hn::Set(d, shape.c[t]);
                for (std::size_t v = 0; v < StageChains; ++v) {
                    const V b0 = hn::Sub(hn::Add(coefficient, hn::Mul(step[v], b1[v])), b2[v]);
                    b2[v] = b1[v];
                    b1[v] = b0;
                }
            }
            for (std::size_t v = 0; v < StageChains; ++v) {
                value[v] = halfBand ? hn::Add(hn::Set(d, 0.5), hn::Mul(w[v], hn::Sub(b1[v], b2[v])))
                                    : hn::Abs(hn::Sub(b1[v], hn::Mul(w[v], b2[v])));
            }
        }
        if (i + StageChains * lanes <= count) {
            for (std::size_t v = 0; v < StageChains; ++v) {
                hn::StoreU(value[v], d, out + i + v * lanes);
            }
        } else {
            for (std::size_t v = 0; v < StageChains; ++v) {
                hn::Store(value[v], d, tail + v * lanes);
            }
            std::copy(tail, tail + (count - i), out + i);
        }
    }
}

void FoldProduct(double* HWY_RESTRICT table, std::size_t first, std::size_t count, const double* HWY_RESTRICT next,
                 std::size_t mask, std::size_t odd)
{
    const D d;
    const std::size_t lanes = hn::Lanes(d);
    const std::size_t end = first + count;
    // The entry of grid index j.
    const auto slot = [table, first](std::size_t j) { return table + (j - first); };
    std::size_t j = first;
    if (next == nullptr) {
        for (; j + lanes <= end; j += lanes) {
            hn::StoreU(hn::Abs(hn::LoadU(d, slot(j))), d, slot(j));
        }
        for (; j < end; ++j) {
            *slot(j) = std::fabs(*slot(j));
        }
        return;
    }
    // next holds the even table up to half its period; an index above the
    // half reads its mirror.
    const std::size_t period = mask + 1;
    const std::size_t half = period / 2;
    if (odd == 1) {
        // Runs up to the half and from it to the period's end read the next
        // table contiguously, forwards then backwards.
        while (j < end) {
            const std::size_t offset = j & mask;
            double* here = slot(j);
            std::size_t i = 0;
            if (offset <= half) {
                const std::size_t run = std::min(half + 1 - offset, end - j);
                const double* there = next + offset;
                for (; i + lanes <= run; i += lanes) {
                    hn::StoreU(hn::Mul(hn::Abs(hn::LoadU(d, here + i)), hn::LoadU(d, there + i)), d, here + i);
                }
                for (; i < run; ++i) {
                    here[i] = std::fabs(here[i]) * there[i];
                }
                j += run;
            } else {
                const std::size_t run = std::min(period - offset, end - j);
                // here[i] pairs with next[period - offset - i].
                const double* there = next + (period - offset);
                for (; i + lanes <= run; i += lanes) {
                    const V mirrored = hn::Reverse(d, hn::LoadU(d, there - i - (lanes - 1)));
                    hn::StoreU(hn::Mul(hn::Abs(hn::LoadU(d, here + i)), mirrored), d, here + i);
                }
                for (; i < run; ++i) {
                    here[i] = std::fabs(here[i]) * *(there - i);
                }
                j += run;
            }
        }
        return;
    }
    if (odd == 3) {
        // Runs between wraps of 3 j modulo the period read the next table at
        // stride 3: three contiguous vectors, deinterleaved; forwards below
        // its half, backwards from the mirror above it.
        while (j < end) {
            std::size_t index = (j * 3) & mask;
            for (; j + lanes <= end && index + 3 * lanes <= half + 1; j += lanes, index += 3 * lanes) {
                V taken, skipped, skippedToo;
                hn::LoadInterleaved3(d, next + index, taken, skipped, skippedToo);
                hn::StoreU(hn::Mul(hn::Abs(hn::LoadU(d, slot(j))), taken), d, slot(j));
            }
            // Lane i reads next[period - index - 3 i]: loaded from the lowest, reversed.
            for (; j + lanes <= end && index >= half + 2 && index + 3 * (lanes - 1) < period;
                 j += lanes, index += 3 * lanes) {
                V taken, skipped, skippedToo;
                hn::LoadInterleaved3(d, next + (period - index - 3 * (lanes - 1)), taken, skipped, skippedToo);
                hn::StoreU(hn::Mul(hn::Abs(hn::LoadU(d, slot(j))), hn::Reverse(d, taken)), d, slot(j));
            }
            // Across the half or the wrap, or up to the end, one at a time.
            for (std::size_t left = lanes; j < end && left > 0; ++j, --left) {
                const std::size_t at = (j * 3) & mask;
                *slot(j) = std::fabs(*slot(j)) * next[at > half ? period - at : at];
            }
        }
        return;
    }
    const hn::RebindToSigned<D> di;
    using VI = hn::Vec<decltype(di)>;
    if (count >= lanes) {
        HWY_ALIGN std::int64_t start[MaxLanes];
        for (std::size_t i = 0; i < lanes; ++i) {
            start[i] = static_cast<std::int64_t>(((first + i) * odd) & mask);
        }
        VI index = hn::Load(di, start);
        const VI stride = hn::Set(di, static_cast<std::int64_t>((lanes * odd) & mask));
        const VI wrap = hn::Set(di, static_cast<std::int64_t>(mask));
        const VI periods = hn::Set(di, static_cast<std::int64_t>(period));
        const VI halves = hn::Set(di, static_cast<std::int64_t>(half));
        for (; j + lanes <= end; j += lanes) {
            const VI folded = hn::IfThenElse(hn::Gt(index, halves), hn::Sub(periods, index), index);
            const V gathered = hn::GatherIndex(d, next, folded);
            hn::StoreU(hn::Mul(hn::Abs(hn::LoadU(d, slot(j))), gathered), d, slot(j));
            index = hn::And(hn::Add(index, stride), wrap);
        }
    }
    for (; j < end; ++j) {
        const std::size_t index = (j * odd) & mask;
        *slot(j) = std::fabs(*slot(j)) * next[index > half ? period - index : index];
    }
}

HWY_INLINE V Horner(D d, const double* c, int degree, V z)
{
    V value = hn::Set(d, c[degree]);
    for (int i = degree - 1; i >= 0; --i) {
        value = hn::Add(hn::Mul(value, z), hn::Set(d, c[i]));
    }
    return value;
}

// Squared front magnitude of the points k = base + i .. base + i + lanes - 1.
HWY_INLINE V FrontPower(D d, const FrontShape& front, const RotorBlock& rotor, V k, std::size_t i)
{
    const V x = hn::Mul(hn::Set(d, front.inverse), k);
    const V z = hn::Mul(x, x);
    V top = Horner(d, front.numerator, front.numeratorDegree, z);
    V bottom = Horner(d, front.denominator, front.denominatorDegree, z);
    if (front.hold) {
        // The droop's quotient joins the model's: one division a point.
        const V s = RotorSin(d, rotor, i);
        const V angle = hn::Mul(hn::Set(d, Pi * front.inverse), k);
        const auto origin = hn::Eq(k, hn::Zero(d));
        top = hn::IfThenElse(origin, top, hn::Mul(top, hn::Mul(s, s)));
        bottom = hn::IfThenElse(origin, bottom, hn::Mul(bottom, hn::Mul(angle, angle)));
    }
    return hn::Div(top, bottom);
}

void FrontPowers(const FrontShape& front, const RotorBlock& rotor, std::size_t base, std::size_t count,
                 double* HWY_RESTRICT power)
{
    const D d;
    const std::size_t lanes = hn::Lanes(d);
    HWY_ALIGN double values[BlockPoints];
    for (std::size_t i = 0; i < count; i += lanes) {
        hn::Store(FrontPower(d, front, rotor, hn::Iota(d, static_cast<double>(base + i)), i), d, values + i);
    }
    std::copy(values, values + count, power);
}

// 10 log10 of a square held at the floor, a normal number: Highway's Log10
// without its rescaling of subnormal inputs, which then changes no lane (the
// same bits, fewer operations).
HWY_INLINE V PowerLevel(D d, V squared, V floor)
{
    const V logarithm = hn::impl::Log<D, V, false>(d, hn::Max(squared, floor));
    return hn::Mul(hn::Set(d, 10.0), hn::Mul(logarithm, hn::Set(d, 0.4342944819032518276511)));
}

void PowerDb(const double* HWY_RESTRICT squared, std::size_t count, double floorSquared, double* HWY_RESTRICT out_dB)
{
    const D d;
    const std::size_t lanes = hn::Lanes(d);
    const V floor = hn::Set(d, floorSquared);
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        hn::StoreU(PowerLevel(d, hn::LoadU(d, squared + i), floor), d, out_dB + i);
    }
    if (i < count) {
        HWY_ALIGN double padded[MaxLanes];
        std::fill(padded, padded + lanes, 1.0);
        std::copy(squared + i, squared + count, padded);
        hn::Store(PowerLevel(d, hn::Load(d, padded), floor), d, padded);
        std::copy(padded, padded + (count - i), out_dB + i);
    }
}

void FrontMagnitude(const FrontShape& front, const RotorBlock& rotor, std::size_t base, std::size_t count,
                    double* HWY_RESTRICT magnitude)
{
    const D d;
    const std::size_t lanes = hn::Lanes(d);
    for (std::size_t i = 0; i < count; i += lanes) {
        const V k = hn::Iota(d, static_cast<double>(base + i));
        const V power = FrontPower(d, front, rotor, k, i);
        const std::size_t here = std::min(lanes, count - i);
        HWY_ALIGN double values[MaxLanes] = {};
        if (here == lanes) {
            hn::StoreU(hn::Mul(hn::LoadU(d, magnitude + i), hn::Sqrt(power)), d, magnitude + i);
        } else {
            std::copy(magnitude + i, magnitude + count, values);
            hn::Store(hn::Mul(hn::Load(d, values), hn::Sqrt(power)), d, values);
            std::copy(values, values + here, magnitude + i);
        }
    }
}

// The magnitude of point i is magnitude[i], or magnitude[count - 1 - i]
// when reversed (a mirror block read in place).
template <bool kReversed>
void FrontDbImpl(const FrontShape& front, const RotorBlock& rotor, std::size_t base, std::size_t count,
                 double floorSquared, const double* magnitude, double* response_dB)
{
    const D d;
    const std::size_t lanes = hn::Lanes(d);
    const V floor = hn::Set(d, floorSquared);
    HWY_ALIGN double squared[BlockPoints];
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        const V power = FrontPower(d, front, rotor, hn::Iota(d, static_cast<double>(base + i)), i);
        const V value = kReversed ? hn::Reverse(d, hn::LoadU(d, magnitude + (count - i - lanes)))
                                  : hn::LoadU(d, magnitude + i);
        hn::Store(hn::Mul(hn::Mul(value, value), power), d, squared + i);
    }
    if (i < count) {
        HWY_ALIGN double values[MaxLanes] = {};
        for (std::size_t l = 0; i + l < count; ++l) {
            values[l] = magnitude[kReversed ? count - 1 - (i + l) : i + l];
        }
        const V power = FrontPower(d, front, rotor, hn::Iota(d, static_cast<double>(base + i)), i);
        const V value = hn::Load(d, values);
        hn::Store(hn::Mul(hn::Mul(value, value), power), d, squared + i);
    }
    for (i = 0; i + lanes <= count; i += lanes) {
        hn::StoreU(PowerLevel(d, hn::Load(d, squared + i), floor), d, response_dB + i);
    }
    if (i < count) {
        hn::Store(PowerLevel(d, hn::Load(d, squared + i), floor), d, squared + i);
        std::copy(squared + i, squared + count, response_dB + i);
    }
}

void FrontDb(const FrontShape& front, const RotorBlock& rotor, std::size_t base, std::size_t count,
             double floorSquared, const double* magnitude, double* response_dB)
{
    FrontDbImpl<false>(front, rotor, base, count, floorSquared, magnitude, response_dB);
}

void FrontDbReversed(const FrontShape& front, const RotorBlock& rotor, std::size_t base, std::size_t count,
                     double floorSquared, const double* magnitude, double* response_dB)
{
    FrontDbImpl<true>(front, rotor, base, count, floorSquared, magnitude, response_dB);
}

// out[i] = source[count - 1 - i].
void Mirror(const double* HWY_RESTRICT source, std::size_t count, double* HWY_RESTRICT out)
{
    const D d;
    const std::size_t lanes = hn::Lanes(d);
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        hn::StoreU(hn::Reverse(d, hn::LoadU(d, source + count - i - lanes)), d, out + i);
    }
    for (; i < count; ++i) {
        out[i] = source[count - 1 - i];
    }
}

void Ramp(double step, std::size_t base, std::size_t count, double* HWY_RESTRICT out)
{
    const D d;
    const std::size_t lanes = hn::Lanes(d);
    const V stepV = hn::Set(d, step);
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        hn::StoreU(hn::Mul(stepV, hn::Iota(d, static_cast<double>(base + i))), d, out + i);
    }
    for (; i < count; ++i) {
        out[i] = step * static_cast<double>(base + i);
    }
}

void MagnitudeDb(const double* HWY_RESTRICT magnitude, std::size_t count, double* HWY_RESTRICT out_dB)
{
    const D d;
    const std::size_t lanes = hn::Lanes(d);
    const V twenty = hn::Set(d, 20.0);
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        hn::StoreU(hn::Mul(twenty, hn::Log10(d, hn::LoadU(d, magnitude + i))), d, out_dB + i);
    }
    if (i < count) {
        // The last partial vector through a padded copy, so every point gets the same logarithm.
        HWY_ALIGN double tail[MaxLanes];
        std::fill(tail, tail + lanes, 1.0);
        std::copy(magnitude + i, magnitude + count, tail);
        hn::Store(hn::Mul(twenty, hn::Log10(d, hn::Load(d, tail))), d, tail);
        std::copy(tail, tail + (count - i), out_dB + i);
    }
}

double CosineSeriesPoint(double x, const double* c, std::size_t terms)
{
    double b1 = 0.0;
    double b2 = 0.0;
    for (std::size_t m = terms; m-- > 1;) {
        const double b0 = c[m] + 2.0 * x * b1 - b2;
        b2 = b1;
        b1 = b0;
    }
    return c[0] + x * b1 - b2;
}

void CosineSeries(const double* HWY_RESTRICT x, std::size_t count, const double* HWY_RESTRICT c, std::size_t terms,
                  const double* HWY_RESTRICT scale, double* HWY_RESTRICT out)
{
    const D d;
    const std::size_t lanes = hn::Lanes(d);
    const V two = hn::Set(d, 2.0);
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        const V xv = hn::LoadU(d, x + i);
        const V twoX = hn::Mul(two, xv);
        V b1 = hn::Zero(d);
        V b2 = hn::Zero(d);
        for (std::size_t m = terms; m-- > 1;) {
            const V b0 = hn::Sub(hn::Add(hn::Set(d, c[m]), hn::Mul(twoX, b1)), b2);
            b2 = b1;
            b1 = b0;
        }
        V value = hn::Abs(hn::Sub(hn::Add(hn::Set(d, c[0]), hn::Mul(xv, b1)), b2));
        if (scale != nullptr) {
            value = hn::Mul(hn::LoadU(d, scale + i), value);
        }
        hn::StoreU(value, d, out + i);
    }
    for (; i < count; ++i) {
        const double value = std::fabs(CosineSeriesPoint(x[i], c, terms));
        out[i] = scale != nullptr ? scale[i] * value : value;
    }
}

void MinMax(const double* HWY_RESTRICT values, std::size_t count, double& low, double& high)
{
    const D d;
    const std::size_t lanes = hn::Lanes(d);
    double smallest = values[0];
    double largest = values[0];
    std::size_t i = 0;
    if (count >= lanes) {
        V lowV = hn::LoadU(d, values);
        V highV = lowV;
        for (i = lanes; i + lanes <= count; i += lanes) {
            const V v = hn::LoadU(d, values + i);
            lowV = hn::Min(lowV, v);
            highV = hn::Max(highV, v);
        }
        smallest = hn::GetLane(hn::MinOfLanes(d, lowV));
        largest = hn::GetLane(hn::MaxOfLanes(d, highV));
    }
    for (; i < count; ++i) {
        smallest = std::min(smallest, values[i]);
        largest = std::max(largest, values[i]);
    }
    low = smallest;
    high = largest;
}

// cos(pi f) by exact reduction in units of pi: f = n / 2 + r with n the
// nearest integer to 2 f, |r| <= 1/4 and r exact (Sterbenz), then the
// Taylor series of cos and sin at pi r, |pi r| <= pi / 4, to the terms
// below 1e-20, in z = (pi r)^2 by Horner's rule. The quadrant n mod 4
// picks cos, -sin, -cos or sin. Within three units in the last place, the
// same bits on every target (no fused operations).
HWY_INLINE V CosPiVector(D d, V f)
{
    const V n = hn::Round(hn::Add(f, f));
    const V r = hn::Sub(f, hn::Mul(n, hn::Set(d, 0.5)));
    const V theta = hn::Mul(r, hn::Set(d, Pi));
    const V z = hn::Mul(theta, theta);
    // 1 - z/2! + z^2/4! - ... - z^9/18!
    V c = hn::Set(d, -1.0 / 6402373705728000.0);
    for (const double k : {1.0 / 20922789888000.0, -1.0 / 87178291200.0, 1.0 / 479001600.0, -1.0 / 3628800.0,
                           1.0 / 40320.0, -1.0 / 720.0, 1.0 / 24.0, -1.0 / 2.0, 1.0}) {
        c = hn::Add(hn::Mul(c, z), hn::Set(d, k));
    }
    // theta (1 - z/3! + z^2/5! - ... - z^9/19!)
    V sine = hn::Set(d, -1.0 / 121645100408832000.0);
    for (const double k : {1.0 / 355687428096000.0, -1.0 / 1307674368000.0, 1.0 / 6227020800.0,
                           -1.0 / 39916800.0, 1.0 / 362880.0, -1.0 / 5040.0, 1.0 / 120.0, -1.0 / 6.0, 1.0}) {
        sine = hn::Add(hn::Mul(sine, z), hn::Set(d, k));
    }
    sine = hn::Mul(sine, theta);
    // Quadrant from n mod 4 (n is a small whole number: exact in double).
    const V quarter = hn::Mul(n, hn::Set(d, 0.25));
    const V m = hn::Sub(n, hn::Mul(hn::Floor(quarter), hn::Set(d, 4.0)));
    const auto odd = hn::Or(hn::Eq(m, hn::Set(d, 1.0)), hn::Eq(m, hn::Set(d, 3.0)));
    const auto negative = hn::Or(hn::Eq(m, hn::Set(d, 1.0)), hn::Eq(m, hn::Set(d, 2.0)));
    const V value = hn::IfThenElse(odd, sine, c);
    return hn::IfThenElse(negative, hn::Neg(value), value);
}

void CosPi(const double* f, std::size_t count, double* out)
{
    const D d;
    const std::size_t lanes = hn::Lanes(d);
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        hn::StoreU(CosPiVector(d, hn::LoadU(d, f + i)), d, out + i);
    }
    if (i < count) {
        HWY_ALIGN double tail[MaxLanes] = {};
        std::copy(f + i, f + count, tail);
        hn::Store(CosPiVector(d, hn::Load(d, tail)), d, tail);
        std::copy(tail, tail + (count - i), out + i);
    }
}

// A point the running products cannot take: the value of the first node it
// coincides with, else the quotient of the sums, one division a node.
double BarycentricPoint(double t, const double* x, const double* a, const double* y, std::size_t nodes)
{
    for (std::size_t j = 0; j < nodes; ++j) {
        if (t == x[j]) {
            return y[j];
        }
    }
    double numerator = 0.0;
    double denominator = 0.0;
    for (std::size_t j = 0; j < nodes; ++j) {
        const double c = a[j] / (t - x[j]);
        numerator += c * y[j];
        denominator += c;
    }
    return numerator / denominator;
}

// Both sums of the barycentric formula carried over one common denominator,
// the node polynomial l(t) = prod e_j with e_j = 2 (t - x_j):
//   N := N e_j + a_j y_j Q,  D := D e_j + a_j Q,  Q := Q e_j
// leaves N / D = sum(a y / e) / sum(a / e), so a point costs one division
// instead of one a node. The factor 2 matches the weights' (the exchange
// scales the products that make a_j the same way) and keeps l(t) near unit
// size. A lane whose Q is zero (t on a node) or whose quotient is not finite
// (products out of range) is done again by BarycentricPoint.
struct BarycentricChain {
    V twoT, n, d, q;
};

HWY_INLINE BarycentricChain BarycentricStart(D d, const double* t)
{
    const V value = hn::LoadU(d, t);
    return {hn::Add(value, value), hn::Zero(d), hn::Zero(d), hn::Set(d, 1.0)};
}

HWY_INLINE void BarycentricStep(BarycentricChain& chain, V twoX, V a, V ay)
{
    const V e = hn::Sub(chain.twoT, twoX);
    chain.n = hn::Add(hn::Mul(chain.n, e), hn::Mul(ay, chain.q));
    chain.d = hn::Add(hn::Mul(chain.d, e), hn::Mul(a, chain.q));
    chain.q = hn::Mul(chain.q, e);
}

// Stores the quotient; returns the lanes that need BarycentricPoint, one bit a lane.
HWY_INLINE std::uint64_t BarycentricFinish(D d, const BarycentricChain& chain, double* result)
{
    const V quotient = hn::Div(chain.n, chain.d);
    hn::StoreU(quotient, d, result);
    std::uint8_t bits[8] = {};
    hn::StoreMaskBits(d, hn::Or(hn::Eq(chain.q, hn::Zero(d)), hn::Not(hn::IsFinite(quotient))), bits);
    return bits[0];
}

// Four vectors of points at a time, read from t and written to result: each
// chain is a run of dependent multiplies, and four keep the multipliers busy.
HWY_INLINE void BarycentricGroup(D d, const double* t, const double* HWY_RESTRICT x, const double* HWY_RESTRICT a,
                                 const double* HWY_RESTRICT y, std::size_t nodes, double* result)
{
    const std::size_t lanes = hn::Lanes(d);
    BarycentricChain c0 = BarycentricStart(d, t);
    BarycentricChain c1 = BarycentricStart(d, t + lanes);
    BarycentricChain c2 = BarycentricStart(d, t + 2 * lanes);
    BarycentricChain c3 = BarycentricStart(d, t + 3 * lanes);
    for (std::size_t j = 0; j < nodes; ++j) {
        const V twoX = hn::Set(d, x[j] + x[j]);
        const V aj = hn::Set(d, a[j]);
        const V ay = hn::Set(d, a[j] * y[j]);
        BarycentricStep(c0, twoX, aj, ay);
        BarycentricStep(c1, twoX, aj, ay);
        BarycentricStep(c2, twoX, aj, ay);
        BarycentricStep(c3, twoX, aj, ay);
    }
    std::uint64_t redo = BarycentricFinish(d, c0, result);
    redo |= BarycentricFinish(d, c1, result + lanes) << lanes;
    redo |= BarycentricFinish(d, c2, result + 2 * lanes) << (2 * lanes);
    redo |= BarycentricFinish(d, c3, result + 3 * lanes) << (3 * lanes);
    for (; redo != 0; redo &= redo - 1) {
        const auto lane = static_cast<std::size_t>(__builtin_ctzll(redo));
        result[lane] = BarycentricPoint(t[lane], x, a, y, nodes);
    }
}

void Barycentric(const double* HWY_RESTRICT points, std::size_t count, const double* HWY_RESTRICT x,
                 const double* HWY_RESTRICT a, const double* HWY_RESTRICT y, std::size_t nodes,
                 double* HWY_RESTRICT out)
{
    const D d;
    const std::size_t group = 4 * hn::Lanes(d);
    std::size_t i = 0;
    for (; i + group <= count; i += group) {
        BarycentricGroup(d, points + i, x, a, y, nodes, out + i);
    }
    if (i < count) {
        // The last points through padded copies; the padding repeats a point.
        HWY_ALIGN double padded[4 * MaxLanes];
        HWY_ALIGN double result[4 * MaxLanes];
        std::fill(padded, padded + group, points[i]);
        std::copy(points + i, points + count, padded);
        BarycentricGroup(d, padded, x, a, y, nodes, result);
        std::copy(result, result + (count - i), out + i);
    }
}

}  // namespace HWY_NAMESPACE
}  // namespace Veltrix::Marlin::Native
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace Veltrix::Marlin::Native {

HWY_EXPORT(StageBlock);
HWY_EXPORT(FoldProduct);
HWY_EXPORT(FrontPowers);
HWY_EXPORT(PowerDb);
HWY_EXPORT(FrontMagnitude);
HWY_EXPORT(FrontDb);
HWY_EXPORT(FrontDbReversed);
HWY_EXPORT(Ramp);
HWY_EXPORT(MagnitudeDb);
HWY_EXPORT(CosineSeries);
HWY_EXPORT(MinMax);
HWY_EXPORT(Barycentric);
HWY_EXPORT(CosPi);
HWY_EXPORT(Mirror);

void Kernel_StageBlock(const StageShape& shape, const RotorBlock& rotor, std::size_t count, double* out)
{
    HWY_DYNAMIC_DISPATCH(StageBlock)(shape, rotor, count, out);
}

void Kernel_FoldProduct(double* table, std::size_t first, std::size_t count, const double* next, std::size_t mask,
                        std::size_t odd)
{
    HWY_DYNAMIC_DISPATCH(FoldProduct)(table, first, count, next, mask, odd);
}

void Kernel_FrontPower(const FrontShape& front, const RotorBlock& rotor, std::size_t base, std::size_t count,
                       double* power)
{
    HWY_DYNAMIC_DISPATCH(FrontPowers)(front, rotor, base, count, power);
}

void Kernel_PowerDb(const double* squared, std::size_t count, double floorSquared, double* out_dB)
{
    HWY_DYNAMIC_DISPATCH(PowerDb)(squared, count, floorSquared, out_dB);
}

void Kernel_FrontMagnitude(const FrontShape& front, const RotorBlock& rotor, std::size_t base, std::size_t count,
                           double* magnitude)
{
    HWY_DYNAMIC_DISPATCH(FrontMagnitude)(front, rotor, base, count, magnitude);
}

void Kernel_FrontDb(const FrontShape& front, const RotorBlock& rotor, std::size_t base, std::size_t count,
                    double floorSquared, const double* magnitude, double* response_dB)
{
    HWY_DYNAMIC_DISPATCH(FrontDb)(front, rotor, base, count, floorSquared, magnitude, response_dB);
}

void Kernel_FrontDbReversed(const FrontShape& front, const RotorBlock& rotor, std::size_t base, std::size_t count,
                            double floorSquared, const double* magnitude, double* response_dB)
{
    HWY_DYNAMIC_DISPATCH(FrontDbReversed)(front, rotor, base, count, floorSquared, magnitude, response_dB);
}

void Kernel_Ramp(double step, std::size_t base, std::size_t count, double* out)
{
    HWY_DYNAMIC_DISPATCH(Ramp)(step, base, count, out);
}

void Kernel_MagnitudeDb(const double* magnitude, std::size_t count, double* out_dB)
{
    HWY_DYNAMIC_DISPATCH(MagnitudeDb)(magnitude, count, out_dB);
}

void Kernel_CosineSeries(const double* x, std::size_t count, const double* c, std::size_t terms, const double* scale,
                         double* out)
{
    HWY_DYNAMIC_DISPATCH(CosineSeries)(x, count, c, terms, scale, out);
}

void Kernel_MinMax(const double* values, std::size_t count, double& low, double& high)
{
    HWY_DYNAMIC_DISPATCH(MinMax)(values, count, low, high);
}

void Kernel_Barycentric(const double* points, std::size_t count, const double* x, const double* a,
                        const double* y, std::size_t nodes, double* out)
{
    HWY_DYNAMIC_DISPATCH(Barycentric)(points, count, x, a, y, nodes, out);
}

void Kernel_Mirror(const double* source, std::size_t count, double* out)
{
    HWY_DYNAMIC_DISPATCH(Mirror)(source, count, out);
}

void Kernel_CosPi(const double* f, std::size_t count, double* out)
{
    HWY_DYNAMIC_DISPATCH(CosPi)(f, count, out);
}

namespace {

// The targets compiled into this file that the CPU can run, best first.
std::vector<std::int64_t> CompiledSupported()
{
    std::vector<std::int64_t> out;
    for (std::int64_t targets = hwy::SupportedTargets() & HWY_TARGETS; targets != 0; targets &= targets - 1) {
        out.push_back(targets & -targets);
    }
    return out;
}

// Highway's target mock is process-wide; the forced target is remembered so
// that listing the supported ones does not undo it.
std::int64_t forcedTarget = 0;

void Choose(std::int64_t target)
{
    forcedTarget = target;
    hwy::SetSupportedTargetsForTest(target);
    hwy::GetChosenTarget().Update(hwy::SupportedTargets());
}

}  // namespace

std::string VectorTarget_Name()
{
    const std::vector<std::int64_t> targets = CompiledSupported();
    return targets.empty() ? std::string("none") : std::string(hwy::TargetName(targets.front()));
}

std::vector<std::string> VectorTargets_Supported()
{
    hwy::SetSupportedTargetsForTest(0);
    std::vector<std::string> names;
    for (std::int64_t target : CompiledSupported()) {
        names.emplace_back(hwy::TargetName(target));
    }
    hwy::SetSupportedTargetsForTest(forcedTarget);
    return names;
}

bool VectorTarget_Force(const std::string& name)
{
    if (name.empty()) {
        Choose(0);
        return true;
    }
    hwy::SetSupportedTargetsForTest(0);
    for (std::int64_t target : CompiledSupported()) {
        if (name == hwy::TargetName(target)) {
            Choose(target);
            return true;
        }
    }
    hwy::SetSupportedTargetsForTest(forcedTarget);
    return false;
}

}  // namespace Veltrix::Marlin::Native
#endif  // HWY_ONCE
