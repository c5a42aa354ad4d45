#include "engine/ChainResponse.h"

#include <algorithm>
#include <cmath>

namespace Veltrix::Marlin::Native {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr std::size_t Block = Rotor::Block;

int TrailingZeros(int value)
{
    int count = 0;
    while (value > 0 && value % 2 == 0) {
        value /= 2;
        ++count;
    }
    return count;
}

}  // namespace

void ResponseStage_Block(const ResponseStage& stage, const Rotor& rotor, std::size_t base, std::size_t count,
                         double* out)
{
    double c[Block];
    rotor.FillCos(base, count, c);
    switch (stage.kind) {
    case ResponseStage::Kind::Cic: {
        // |sin(L theta) / (L sin theta)| = |U_{L-1}(cos theta)| / L, the
        // Chebyshev polynomial of the second kind: no division, no second
        // angle. Its recurrence runs outermost so the points vectorise.
        double u1[Block];
        double u2[Block];
        for (std::size_t i = 0; i < count; ++i) {
            u1[i] = 1.0;  // U_0
            u2[i] = 0.0;  // U_-1
        }
        for (int k = 1; k < stage.cicLength; ++k) {
            for (std::size_t i = 0; i < count; ++i) {
                const double next = 2.0 * c[i] * u1[i] - u2[i];
                u2[i] = u1[i];
                u1[i] = next;
            }
        }
        const double inverse = 1.0 / static_cast<double>(stage.cicLength);
        for (std::size_t i = 0; i < count; ++i) {
            const double ratio = std::fabs(u1[i]) * inverse;
            out[i] = ratio * ratio * ratio;
        }
        return;
    }
    case ResponseStage::Kind::HalfBand: {
        // Clenshaw over the odd-order series in w = cos(2 pi nu), stepping
        // two orders at a time; terms outermost so the points vectorise.
        double w[Block];
        double y2[Block];
        double b1[Block];
        double b2[Block];
        const std::size_t terms = stage.c.size();
        for (std::size_t i = 0; i < count; ++i) {
            w[i] = 2.0 * c[i] * c[i] - 1.0;
            y2[i] = 2.0 * (2.0 * w[i] * w[i] - 1.0);
            b1[i] = terms > 0 ? stage.c[terms - 1] : 0.0;
            b2[i] = 0.0;
        }
        for (std::size_t t = terms > 0 ? terms - 1 : 0; t-- > 0;) {
            const double coefficient = stage.c[t];
            for (std::size_t i = 0; i < count; ++i) {
                const double b0 = coefficient + y2[i] * b1[i] - b2[i];
                b2[i] = b1[i];
                b1[i] = b0;
            }
        }
        for (std::size_t i = 0; i < count; ++i) {
            out[i] = 0.5 + w[i] * (b1[i] - b2[i]);  // signed: the caller may complement it
        }
        return;
    }
    case ResponseStage::Kind::Fir:
    default: {
        double w[Block];
        double w2[Block];
        double b1[Block];
        double b2[Block];
        const std::size_t terms = stage.c.size();
        for (std::size_t i = 0; i < count; ++i) {
            w[i] = 2.0 * c[i] * c[i] - 1.0;
            w2[i] = 2.0 * w[i];
            b1[i] = terms > 0 ? stage.c[terms - 1] : 0.0;
            b2[i] = 0.0;
        }
        for (std::size_t t = terms > 0 ? terms - 1 : 0; t-- > 0;) {
            const double coefficient = stage.c[t];
            for (std::size_t i = 0; i < count; ++i) {
                const double b0 = coefficient + w2[i] * b1[i] - b2[i];
                b2[i] = b1[i];
                b1[i] = b0;
            }
        }
        for (std::size_t i = 0; i < count; ++i) {
            out[i] = std::fabs(b1[i] - w[i] * b2[i]);
        }
        return;
    }
    }
}

namespace {

// table[j] := |stage(j / q)| * next[(j * odd) mod qNext] for j = 0..q-1,
// using the mirror symmetry of both factors about q / 2. A half-band's
// amplitude satisfies A(nu) + A(1/2 - nu) = 1, so only a quarter of the
// period is evaluated for it.
void FoldStage(const ResponseStage& stage, std::size_t q, double* table, const double* next, std::size_t qNext,
               std::size_t odd)
{
    const Rotor rotor(q, 1);
    const std::size_t mask = qNext - 1;
    const std::size_t half = q / 2;
    const bool complement = stage.kind == ResponseStage::Kind::HalfBand && q >= 4;
    const std::size_t direct = complement ? q / 4 : half;
    for (std::size_t base = 0; base <= direct; base += Block) {
        const std::size_t count = std::min(Block, direct + 1 - base);
        ResponseStage_Block(stage, rotor, base, count, table + base);
    }
    if (complement) {
        for (std::size_t j = direct + 1; j <= half; ++j) {
            table[j] = 1.0 - table[half - j];
        }
    }
    if (next != nullptr) {
        for (std::size_t j = 0; j <= half; ++j) {
            table[j] = std::fabs(table[j]) * next[(j * odd) & mask];
        }
    } else {
        for (std::size_t j = 0; j <= half; ++j) {
            table[j] = std::fabs(table[j]);
        }
    }
    for (std::size_t j = half + 1; j < q; ++j) {
        table[j] = table[q - j];
    }
}

}  // namespace

void ChainResponse_Tabulate(std::span<const ResponseStage> stages, std::size_t n, std::span<double> out,
                            std::span<double> scratch, ResponseWorkspace& workspace)
{
    if (stages.empty()) {
        std::fill(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(n), 1.0);
        return;
    }
    // Points each stage needs: the grid's n, halved at every factor of two.
    std::vector<std::size_t> q(stages.size() + 1);
    q[0] = n;
    std::size_t sizeA = 0;  // stages 1, 3, 5, ...
    std::size_t sizeB = 0;  // stages 2, 4, ...
    for (std::size_t s = 0; s < stages.size(); ++s) {
        const int factor = std::max(1, stages[s].factor);
        q[s + 1] = std::max<std::size_t>(1, q[s] >> TrailingZeros(factor));
        if (s + 1 < stages.size()) {
            ((s + 1) % 2 == 1 ? sizeA : sizeB) = std::max((s + 1) % 2 == 1 ? sizeA : sizeB, q[s + 1]);
        }
    }
    double* bufferA = nullptr;
    double* bufferB = nullptr;
    if (sizeA + sizeB <= scratch.size()) {
        bufferA = scratch.data();
        bufferB = scratch.data() + sizeA;
    } else {
        workspace.bufferA.resize(sizeA);
        workspace.bufferB.resize(sizeB);
        bufferA = workspace.bufferA.data();
        bufferB = workspace.bufferB.data();
    }
    const double* next = nullptr;
    std::size_t qNext = 1;
    std::size_t odd = 1;
    for (std::size_t s = stages.size(); s-- > 0;) {
        double* table = (s == 0) ? out.data() : ((s % 2 == 1) ? bufferA : bufferB);
        if (s + 1 < stages.size()) {
            const int factor = std::max(1, stages[s].factor);
            odd = static_cast<std::size_t>(factor >> TrailingZeros(factor));
            qNext = q[s + 1];
        }
        FoldStage(stages[s], q[s], table, next, qNext, odd);
        next = table;
    }
}

double ResponseStage_Magnitude(const ResponseStage& stage, double nu)
{
    switch (stage.kind) {
    case ResponseStage::Kind::Cic: {
        const double length = static_cast<double>(stage.cicLength);
        const double denominator = length * std::sin(Pi * nu);
        if (std::fabs(denominator) < 1e-300) {
            return 1.0;
        }
        const double ratio = std::fabs(std::sin(Pi * length * nu) / denominator);
        return ratio * ratio * ratio;
    }
    case ResponseStage::Kind::HalfBand: {
        double sum = 0.5;
        for (std::size_t i = 0; i < stage.c.size(); ++i) {
            sum += stage.c[i] * std::cos(2.0 * Pi * static_cast<double>(2 * i + 1) * nu);
        }
        return std::fabs(sum);
    }
    case ResponseStage::Kind::Fir:
    default: {
        double sum = 0.0;
        for (std::size_t m = 0; m < stage.c.size(); ++m) {
            sum += stage.c[m] * std::cos(2.0 * Pi * static_cast<double>(m) * nu);
        }
        return std::fabs(sum);
    }
    }
}

ResponseStage ResponseStage_FromTaps(std::span<const double> taps, int factor)
{
    ResponseStage stage;
    stage.kind = ResponseStage::Kind::Fir;
    stage.factor = factor;
    double dc = 0.0;
    for (double tap : taps) {
        dc += tap;
    }
    if (dc == 0.0) {
        dc = 1.0;
    }
    const std::size_t centre = taps.size() / 2;
    stage.c.resize(centre + 1);
    stage.c[0] = taps[centre] / dc;
    for (std::size_t m = 1; m <= centre; ++m) {
        stage.c[m] = (taps[centre - m] + taps[centre + m]) / dc;
    }
    return stage;
}

}  // namespace Veltrix::Marlin::Native
