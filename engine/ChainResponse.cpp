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

StageShape Shape(const ResponseStage& stage)
{
    StageShape shape;
    shape.kind = stage.kind == ResponseStage::Kind::Cic        ? StageShapeKind::Cic
                 : stage.kind == ResponseStage::Kind::HalfBand ? StageShapeKind::HalfBand
                                                               : StageShapeKind::Fir;
    shape.c = stage.c.data();
    shape.terms = stage.c.size();
    shape.cicLength = stage.cicLength;
    return shape;
}

}  // namespace

void ResponseStage_Block(const ResponseStage& stage, const Rotor& rotor, std::size_t base, std::size_t count,
                         double* out)
{
    Kernel_StageBlock(Shape(stage), rotor.Seed(base), count, out);
}

namespace {

// table[j] := |stage(j / q)| * next[(j * odd) mod qNext] for j = 0..q/2
// (and up to q-1 with mirror), using the mirror symmetry of both factors
// about q / 2: next holds only its own half. A half-band's
// amplitude satisfies A(nu) + A(1/2 - nu) = 1, so only a quarter of the
// period is evaluated for it. Per point, a stage is a Clenshaw sum over
// its cosine series (Fir: c[m] cos(2 pi m nu); HalfBand: 1/2 plus the
// odd orders, two at a time in w = cos(2 pi nu)) or, for a CIC,
// |sin(L theta) / (L sin theta)| = |U_{L-1}(cos theta)| / L by the Chebyshev
// recurrence of the second kind: no division, no second angle
// (VectorKernels.h evaluates them).
void FoldStage(const ResponseStage& stage, std::size_t q, double* table, const double* next, std::size_t qNext,
               std::size_t odd, bool mirror)
{
    const Rotor rotor(q, 1);
    const StageShape shape = Shape(stage);
    const std::size_t mask = qNext - 1;
    const std::size_t half = q / 2;
    const bool complement = stage.kind == ResponseStage::Kind::HalfBand && q >= 4;
    const std::size_t direct = complement ? q / 4 : half;
    for (std::size_t base = 0; base <= direct; base += Block) {
        const std::size_t count = std::min(Block, direct + 1 - base);
        Kernel_StageBlock(shape, rotor.Seed(base), count, table + base);
        if (!complement) {
            // Folded while the block is in cache.
            Kernel_FoldProduct(table, base, count, next, mask, odd);
        }
    }
    if (complement) {
        // table[j] = 1 - table[half - j] for direct < j <= half.
        const std::size_t count = half - direct;
        Kernel_Mirror(table, count, table + direct + 1);
        for (std::size_t j = direct + 1; j <= half; ++j) {
            table[j] = 1.0 - table[j];
        }
        Kernel_FoldProduct(table, 0, half + 1, next, mask, odd);
    }
    if (mirror && q > half + 1) {
        // table[j] = table[q - j] for half < j < q.
        Kernel_Mirror(table + 1, q - half - 1, table + half + 1);
    }
}

void Tabulate(std::span<const ResponseStage> stages, std::size_t n, std::span<double> out, std::span<double> scratch,
              ResponseWorkspace& workspace, bool mirror)
{
    if (stages.empty()) {
        std::fill(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(mirror ? n : std::min(n, n / 2 + 1)), 1.0);
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
        // An inner stage's table is even about its half period: only up to
        // there is kept, and the fold reads the mirror.
        if (s + 1 < stages.size()) {
            ((s + 1) % 2 == 1 ? sizeA : sizeB) = std::max((s + 1) % 2 == 1 ? sizeA : sizeB, q[s + 1] / 2 + 1);
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
        FoldStage(stages[s], q[s], table, next, qNext, odd, s == 0 && mirror);
        next = table;
    }
}

}  // namespace

void ChainResponse_Tabulate(std::span<const ResponseStage> stages, std::size_t n, std::span<double> out,
                            std::span<double> scratch, ResponseWorkspace& workspace)
{
    Tabulate(stages, n, out, scratch, workspace, true);
}

void ChainResponse_TabulateHalf(std::span<const ResponseStage> stages, std::size_t n, std::span<double> out,
                                std::span<double> scratch, ResponseWorkspace& workspace)
{
    Tabulate(stages, n, out, scratch, workspace, false);
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
