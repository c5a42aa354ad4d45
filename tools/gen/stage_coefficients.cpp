// Generator of the fixed decimation and interpolation stage coefficients.
// Each half-band, by-3 and low-pass stage is designed with the engine's own
// equiripple exchange for its place in the chain (passband edge as a fraction
// of the stage's low-side rate, stop band from the first alias of that
// passband), lengthened until the quantised taps reach the stated attenuation.
// The sinc/CIC shapes are cascades of moving sums (Hogenauer, 1981).
//
//   g++ -std=c++20 -O2 -ffp-contract=off -I. tools/gen/stage_coefficients.cpp engine/VectorKernels.cpp -lhwy \
//       -o /tmp/stage_coefficients
//   /tmp/stage_coefficients > engine/StageCoefficientTables.cpp
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/EquirippleDesign.h"

using namespace Veltrix::Marlin::Native;

namespace {

constexpr double TapScale = 131072.0;  // 2^17: unity at 131,072
constexpr double Pi = 3.14159265358979323846;

struct StageTarget {
    const char* name;
    const char* role;
    int factor;         // rate change of the stage
    double passEdge;    // fraction of the low-side rate
    double target_dB;   // wanted stop-band attenuation after quantisation
    bool halfBand;
    double passWeight;  // stop-band weight is 1
};

struct Designed {
    std::vector<std::int32_t> taps;
    double attenuation_dB = 0.0;
    double passRipple_dB = 0.0;
};

double Amplitude(const std::vector<std::int32_t>& taps, double scale, double nu)
{
    const double centre = (static_cast<double>(taps.size()) - 1.0) / 2.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < taps.size(); ++i) {
        sum += taps[i] / scale * std::cos(2.0 * Pi * nu * (static_cast<double>(i) - centre));
    }
    return sum;
}

// Attenuation and passband ripple measured on a fine grid, nu in cycles per
// sample of the high-side rate; gain normalised to 1 at 0 Hz.
void Measure(Designed& d, const StageTarget& s, double scale)
{
    const double high = static_cast<double>(s.factor);
    const double pass = s.passEdge / high;
    const double stop = (1.0 - s.passEdge) / high;
    const double dc = Amplitude(d.taps, scale, 0.0);
    double minPass = 1e9, maxPass = -1e9, maxStop = 0.0;
    for (int i = 0; i <= 8000; ++i) {
        const double nu = 0.5 * i / 8000.0;
        const double a = std::fabs(Amplitude(d.taps, scale, nu) / dc);
        if (nu <= pass) {
            minPass = std::fmin(minPass, a);
            maxPass = std::fmax(maxPass, a);
        }
        if (nu >= stop) {
            maxStop = std::fmax(maxStop, a);
        }
    }
    d.attenuation_dB = -20.0 * std::log10(maxStop);
    d.passRipple_dB = 20.0 * std::log10(maxPass / minPass);
}

// For the sinc/CIC shapes: droop over the passband edge and the rejection of
// the bands within that edge of every multiple of the low-side rate.
void MeasureAliases(Designed& d, const StageTarget& s, double scale)
{
    const double low = 1.0 / static_cast<double>(s.factor);
    const double edge = s.passEdge * low;
    const double dc = Amplitude(d.taps, scale, 0.0);
    double worst = 0.0;
    for (int i = 0; i <= 20000; ++i) {
        const double nu = 0.5 * i / 20000.0;
        const double nearest = std::round(nu / low) * low;
        if (nearest > 0.0 && std::fabs(nu - nearest) <= edge) {
            worst = std::fmax(worst, std::fabs(Amplitude(d.taps, scale, nu) / dc));
        }
    }
    d.attenuation_dB = -20.0 * std::log10(worst);
    d.passRipple_dB = -20.0 * std::log10(std::fabs(Amplitude(d.taps, scale, edge) / dc));
}

template <std::size_t L>
bool DesignLength(const StageTarget& s, Designed& out)
{
    const double high = static_cast<double>(s.factor);
    // Band edges on the 0..1 scale of the high-side Nyquist rate.
    const double e1 = 2.0 * s.passEdge / high;
    const double e2 = 2.0 * (1.0 - s.passEdge) / high;
    const double spacing = 1.0 / (24.0 * static_cast<double>((L + 1) / 2));
    auto design = Equiripple_Design<L>(
        {0.0, e1, e2, 1.0}, [](double, int band) { return band == 0 ? 1.0 : 0.0; },
        [&](double, int band) { return band == 0 ? s.passWeight : 1.0; }, spacing);
    if (!design.result.success) {
        return false;
    }
    out.taps.assign(L, 0);
    for (std::size_t i = 0; i < L; ++i) {
        double h = design.result.taps[i];
        if (s.halfBand) {
            const long offset = static_cast<long>(i) - static_cast<long>(L / 2);
            if (offset == 0) {
                h = 0.5;
            } else if (offset % 2 == 0) {
                h = 0.0;
            }
        }
        out.taps[i] = static_cast<std::int32_t>(std::lround(h * TapScale));
    }
    Measure(out, s, TapScale);
    return true;
}

template <std::size_t L>
bool TryUpTo(const StageTarget& s, Designed& out)
{
    if constexpr (L > 127) {
        return false;
    } else {
        // Half-bands have 4m - 1 taps so the outermost taps are non-zero.
        const bool shapeOk = !s.halfBand || (L + 1) % 4 == 0;
        if (shapeOk && DesignLength<L>(s, out) && out.attenuation_dB >= s.target_dB) {
            return true;
        }
        return TryUpTo<L + 2>(s, out);
    }
}

void Emit(const StageTarget& s, const Designed& d)
{
    std::printf("// %s: %s. Factor %d, passband edge %.4f of the low-side rate,\n", s.name, s.role, s.factor,
                s.passEdge);
    std::printf("// %zu taps, stop-band attenuation %.1f dB (target %.0f dB), passband ripple %.4f dB.\n",
                d.taps.size(), d.attenuation_dB, s.target_dB, d.passRipple_dB);
    std::printf("const std::int32_t %sTaps[] = {", s.name);
    for (std::size_t i = 0; i < d.taps.size(); ++i) {
        std::printf("%s%d", i % 10 == 0 ? "\n    " : " ", d.taps[i]);
        if (i + 1 < d.taps.size()) {
            std::printf(",");
        }
    }
    std::printf("\n};\n\n");
}

std::vector<std::int32_t> Cic(int factor, int order)
{
    std::vector<std::int32_t> taps{1};
    for (int k = 0; k < order; ++k) {
        std::vector<std::int32_t> next(taps.size() + static_cast<std::size_t>(factor) - 1, 0);
        for (std::size_t i = 0; i < taps.size(); ++i) {
            for (int j = 0; j < factor; ++j) {
                next[i + static_cast<std::size_t>(j)] += taps[i];
            }
        }
        taps = next;
    }
    return taps;
}

}  // namespace

int main()
{
    const StageTarget targets[] = {
        {"hb0", "converter half-band HB0 (narrowest), 2S to S", 2, 0.20, 85.0, true, 1.0},
        {"hb1", "converter half-band HB1, 2S to S", 2, 0.30, 85.0, true, 1.0},
        {"hb2", "converter half-band HB2 (widest), 2S to S", 2, 0.40, 85.0, true, 1.0},
        {"dec3Wide", "by-3 stage next to the converter half-band, S to S/3", 3, 0.3255, 85.0, false, 3.0},
        {"hb3", "first wideband half-band hb3, S to S/2", 2, 0.2062, 85.0, true, 1.0},
        {"hb4", "low-IF half-band hb4, S to S/2", 2, 0.125, 85.0, true, 1.0},
        {"hb5", "second wideband half-band hb5, S/2 to S/4", 2, 0.4123, 85.0, true, 1.0},
        {"hb6", "low-IF half-band hb6, S/2 to S/4", 2, 0.125, 85.0, true, 1.0},
        {"wbDec2", "wideband by-2 blocks ahead of the last one", 2, 0.1823, 85.0, true, 1.0},
        {"hb22", "last wideband by-2 stage HB22 (80 % bandwidth)", 2, 0.40, 85.0, true, 1.0},
        {"wblpf", "last wideband by-2 low-pass WBLPF (92 % bandwidth)", 2, 0.46, 75.0, false, 1.0},
        {"nbDec2", "narrowband by-2 blocks", 2, 0.40, 85.0, true, 1.0},
        {"nbDec3", "narrowband by-3 block", 3, 0.30, 85.0, false, 3.0},
        {"nbDec2Last", "last narrowband by-2 block", 2, 0.30, 85.0, true, 1.0},
        {"int3", "DAC-side by-3 interpolator INT3, S to 3S", 3, 0.25, 85.0, false, 3.0},
    };
    std::printf("// Generated by tools/gen/stage_coefficients.cpp; do not edit. Regenerate with\n");
    std::printf("//   g++ -std=c++20 -O2 -I. tools/gen/stage_coefficients.cpp -o /tmp/stage_coefficients\n");
    std::printf("//   /tmp/stage_coefficients > engine/StageCoefficientTables.cpp\n");
    std::printf("// Equiripple taps are scaled by 2^17 (unity 131,072); sinc/CIC taps are the\n");
    std::printf("// integer moving-sum cascades with gain factor^order.\n\n");
    std::printf("#include \"engine/StageCoefficients.h\"\n\n");
    std::printf("namespace Veltrix::Marlin::Native {\n\nnamespace {\n\n");
    for (const StageTarget& s : targets) {
        Designed d;
        if (!TryUpTo<7>(s, d)) {
            std::fprintf(stderr, "%s: no length up to 127 reaches %.0f dB\n", s.name, s.target_dB);
            return 1;
        }
        std::fprintf(stderr, "%-12s %3zu taps %6.1f dB ripple %.4f dB\n", s.name, d.taps.size(), d.attenuation_dB,
                     d.passRipple_dB);
        Emit(s, d);
    }
    std::printf("// Sinc/CIC shapes: third-order moving-sum cascades for factors 2 to 10; the\n");
    std::printf("// nulls at multiples of the low-side rate take the alias bands. Order 3 is the\n");
    std::printf("// least that keeps the converter-side SINC (factors 3, 4, 6; passband edge 0.06\n");
    std::printf("// of its low-side rate) 60 dB clear of its aliases; the sinc/CIC block of the\n");
    std::printf("// narrowband chains serves passbands up to 0.02 of its low-side rate.\n");
    for (int factor = 2; factor <= 10; ++factor) {
        const auto taps = Cic(factor, 3);
        const double scale = std::pow(static_cast<double>(factor), 3.0);
        for (const double edge : {0.06, 0.02}) {
            const StageTarget s{"cic", "", factor, edge, 0.0, false, 1.0};
            Designed d;
            d.taps = taps;
            MeasureAliases(d, s, scale);
            std::printf("// cic%d, passband edge %.2f: droop %.4f dB, alias rejection %.1f dB\n", factor, edge,
                        d.passRipple_dB, d.attenuation_dB);
        }
        std::printf("const std::int32_t cic%dTaps[] = {", factor);
        for (std::size_t i = 0; i < taps.size(); ++i) {
            std::printf("%s%d%s", i % 10 == 0 ? "\n    " : " ", taps[i], i + 1 < taps.size() ? "," : "");
        }
        std::printf("\n};\n");
    }
    std::printf("\n}  // namespace\n\n");
    std::printf("const StageCoefficientSet& StageCoefficients_Get(StageFilter filter)\n{\n");
    std::printf("    static const StageCoefficientSet sets[] = {\n");
    for (const StageTarget& s : targets) {
        std::printf("        {\"%s\", %d, %.4f, %sTaps, %.1f},\n", s.name, s.factor, s.passEdge, s.name, TapScale);
    }
    for (int factor = 2; factor <= 10; ++factor) {
        std::printf("        {\"cic%d\", %d, 0.0, cic%dTaps, %.1f},\n", factor, factor, factor,
                    std::pow(static_cast<double>(factor), 3.0));
    }
    std::printf("    };\n    return sets[static_cast<int>(filter)];\n}\n\n");
    std::printf("}  // namespace Veltrix::Marlin::Native\n");
    return 0;
}
