#pragma once
// Magnitude response of a cascade of rate-changing stages on a uniform grid of
// N points (a power of two) from 0 up to the converter clock. Each stage is
// evaluated once at its own rate, on as many points as the grid can tell
// apart there, and the table of the stages beyond it is folded in as its
// periodic images: a stage running at conv / M sees grid point k at the
// normalised frequency (k M mod N) / N.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <vector>

#include "engine/VectorKernels.h"

namespace Veltrix::Marlin::Native {

struct ResponseStage {
    enum class Kind { Fir, HalfBand, Cic };
    Kind kind = Kind::Fir;
    // Rate change from this stage's own rate to the next stage's (1 for a
    // filter that keeps the rate, such as a compensation FIR).
    int factor = 1;
    // Fir: c[m] multiplies cos(2 pi m nu), m = 0.. (c[0] the centre tap).
    // HalfBand: centre 1/2 plus c[i] cos(2 pi (2i + 1) nu).
    // Cic: third-order moving-sum shape of length cicLength.
    std::vector<double> c;
    int cicLength = 1;
    // The fixed coefficient set the stage came from (a StageFilter value),
    // -1 for a designed filter such as a compensation FIR.
    int fixedSet = -1;
};

// cos and sin of pi m j / q for consecutive j, a block at a time: one pair of
// trigonometric calls a block, exact seeds (the integer m j is reduced modulo
// 2 q first), the points inside by rotation with a precomputed fine table.
class Rotor {
public:
    static constexpr std::size_t Block = 512;
    // Blocks never reach beyond j = q / 2 + Block; the fine table holds
    // min(Block, q / 2 + 1) entries.
    Rotor(std::size_t q, std::size_t m) : q_(q), m_(m)
    {
        const double step = 3.14159265358979323846 * static_cast<double>(m) / static_cast<double>(q);
        for (std::size_t i = 0; i < std::min(Block, q / 2 + 1); ++i) {
            fineCos_[i] = std::cos(step * static_cast<double>(i));
            fineSin_[i] = std::sin(step * static_cast<double>(i));
        }
    }
    // The seed of the block from j = base on: the kernels rotate it by the
    // fine table.
    RotorBlock Seed(std::size_t base) const
    {
        const std::size_t reduced = (m_ * base) % (2 * q_);
        const double angle = 3.14159265358979323846 * static_cast<double>(reduced) / static_cast<double>(q_);
        return RotorBlock{std::cos(angle), std::sin(angle), fineCos_, fineSin_};
    }

private:
    std::size_t q_;
    std::size_t m_;
    // Whole blocks, zero beyond the entries in use: the kernels read whole vectors.
    double fineCos_[Block] = {};
    double fineSin_[Block] = {};
};

// Tables of the inner stages when the caller's scratch is too small.
struct ResponseWorkspace {
    std::vector<double> bufferA;
    std::vector<double> bufferB;
};

// The stage cascade's linear magnitude at grid point k (frequency k conv / N),
// k = 0..N-1, written to out (size N). An empty cascade gives 1 everywhere.
// The inner stages' tables go to scratch when it is large enough (a response
// entry lends its grid buffer before filling it), else to the workspace.
void ChainResponse_Tabulate(std::span<const ResponseStage> stages, std::size_t n, std::span<double> out,
                            std::span<double> scratch, ResponseWorkspace& workspace);

// As ChainResponse_Tabulate, writing only k = 0..N/2: the table is even
// about N/2 (out[N - k] = out[k]), and a caller that visits both halves in
// one pass saves writing and reading the second.
void ChainResponse_TabulateHalf(std::span<const ResponseStage> stages, std::size_t n, std::span<double> out,
                                std::span<double> scratch, ResponseWorkspace& workspace);

// What the outermost stage folds with: the table of the stages beyond it
// (null for none), its period and the odd part of the outermost factor.
struct CascadeInner {
    const double* next = nullptr;
    std::size_t qNext = 1;
    std::size_t odd = 1;
};

// The cascade a block at a time, for a caller that finishes each block while
// it is in cache instead of passing through a table of the whole grid: the
// inner stages are tabulated once (into scratch when it is large enough,
// else the workspace), the outermost stage is evaluated per block and folded
// with them. The blocks carry the bits ChainResponse_TabulateHalf writes.
class ChainBlocks {
public:
    // Whether the cascade can be taken a block at a time (else tabulate it).
    static bool Streams(std::span<const ResponseStage> stages, std::size_t n);

    ChainBlocks(std::span<const ResponseStage> stages, std::size_t n, std::span<double> scratch,
                ResponseWorkspace& workspace);
    // The cascade at k = base .. base + count - 1: base a multiple of
    // Rotor::Block, count at most Rotor::Block, base + count <= n / 2 + 1.
    void Block(std::size_t base, std::size_t count, double* out) const;
    // Where in the inner table the cascade at k reads (0 without inner
    // stages): blocks taken in the order of this position share the table
    // while it is in cache.
    std::size_t InnerPosition(std::size_t k) const;

private:
    Rotor rotor_;
    StageShape outer_;
    CascadeInner inner_;
};

// The stage's amplitude at nu = m j / q for j = base .. base + count - 1
// (count <= Rotor::Block), where rotor was built as Rotor(q, m): signed for a
// half-band (whose complement symmetry callers may use), a magnitude otherwise.
void ResponseStage_Block(const ResponseStage& stage, const Rotor& rotor, std::size_t base, std::size_t count,
                         double* out);

// Linear magnitude of one stage at nu cycles per sample of its own rate.
double ResponseStage_Magnitude(const ResponseStage& stage, double nu);

// Symmetric taps (odd length) as a normalised stage: unity gain at 0 Hz.
ResponseStage ResponseStage_FromTaps(std::span<const double> taps, int factor);

}  // namespace Veltrix::Marlin::Native
