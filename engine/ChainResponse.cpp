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
        if (complement && base < half - direct) {
            // table[j] = 1 - table[half - j] for direct < j <= half: the
            // points this block gives, taken and folded while it is in cache.
            const std::size_t taken = std::min(base + count, half - direct) - base;
            const std::size_t low = half - base - taken + 1;
            Kernel_Mirror(table + base, taken, table + low);
            for (std::size_t j = low; j < low + taken; ++j) {
                table[j] = 1.0 - table[j];
            }
            Kernel_FoldProduct(table + low, low, taken, next, mask, odd);
        }
        Kernel_FoldProduct(table + base, base, count, next, mask, odd);
    }
    if (mirror && q > half + 1) {
        // table[j] = table[q - j] for half < j < q.
        Kernel_Mirror(table + 1, q - half - 1, table + half + 1);
    }
}

// Tabulates stages 1.. into the scratch (or the workspace) and returns what
// stage 0 folds with: each inner stage's table is even about its half period,
// so only up to there is kept, and the fold reads the mirror.
CascadeInner TabulateInner(std::span<const ResponseStage> stages, std::size_t n, std::span<double> scratch,
                           ResponseWorkspace& workspace)
{
    // Points each stage needs: the grid's n, halved at every factor of two.
    std::vector<std::size_t> q(stages.size() + 1);
    q[0] = n;
    std::size_t sizeA = 0;  // stages 1, 3, 5, ...
    std::size_t sizeB = 0;  // stages 2, 4, ...
    for (std::size_t s = 0; s < stages.size(); ++s) {
        const int factor = std::max(1, stages[s].factor);
        q[s + 1] = std::max<std::size_t>(1, q[s] >> TrailingZeros(factor));
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
    CascadeInner inner;
    for (std::size_t s = stages.size(); s-- > 1;) {
        double* table = (s % 2 == 1) ? bufferA : bufferB;
        FoldStage(stages[s], q[s], table, inner.next, inner.qNext, inner.odd, false);
        inner.next = table;
        inner.qNext = q[s];
        const int factor = std::max(1, stages[s - 1].factor);
        inner.odd = static_cast<std::size_t>(factor >> TrailingZeros(factor));
    }
    return inner;
}

void Tabulate(std::span<const ResponseStage> stages, std::size_t n, std::span<double> out, std::span<double> scratch,
              ResponseWorkspace& workspace, bool mirror)
{
    if (stages.empty()) {
        std::fill(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(mirror ? n : std::min(n, n / 2 + 1)), 1.0);
        return;
    }
    const CascadeInner inner = TabulateInner(stages, n, scratch, workspace);
    FoldStage(stages[0], n, out.data(), inner.next, inner.qNext, inner.odd, mirror);
}

}  // namespace

ChainBlocks::ChainBlocks(std::span<const ResponseStage> stages, std::size_t n, std::span<double> scratch,
                         ResponseWorkspace& workspace)
    : rotor_(n, 1)
{
    if (!stages.empty()) {
        outer_ = Shape(stages[0]);
        inner_ = TabulateInner(stages, n, scratch, workspace);
    }
}

bool ChainBlocks::Streams(std::span<const ResponseStage> stages, std::size_t n)
{
    // A half-band's table above its quarter period is its complement taken
    // from below: those values come only from the whole table.
    return !stages.empty() && !(stages[0].kind == ResponseStage::Kind::HalfBand && n >= 4);
}

std::size_t ChainBlocks::InnerPosition(std::size_t k) const
{
    if (inner_.next == nullptr) {
        return 0;
    }
    const std::size_t index = (k * inner_.odd) & (inner_.qNext - 1);
    return std::min(index, inner_.qNext - index);
}

void ChainBlocks::Block(std::size_t base, std::size_t count, double* out) const
{
    Kernel_StageBlock(outer_, rotor_.Seed(base), count, out);
    Kernel_FoldProduct(out, base, count, inner_.next, inner_.qNext - 1, inner_.odd);
}

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
