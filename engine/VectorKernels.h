#pragma once
// The engine's hot loops over many points, compiled once per instruction set
// (baseline x86-64, SSE4, AVX2, AVX-512) and chosen at run time by Highway's
// dynamic dispatch, so one binary runs on any x86-64 and uses the widest
// vectors the machine has.
//
// Every kernel except the logarithm uses only correctly rounded operations
// (add, subtract, multiply, divide, square root) in a fixed order, each
// point's in its own lane, and the kernel file is built without contraction into
// fused multiply-adds: its results are the same bits on every target. The
// logarithm is a vector approximation within a few units in the last place.

#include <cstddef>
#include <string>
#include <vector>

namespace Veltrix::Marlin::Native {

// Shapes of ResponseStage, flattened for the kernels.
enum class StageShapeKind { Fir, HalfBand, Cic };

struct StageShape {
    StageShapeKind kind = StageShapeKind::Fir;
    const double* c = nullptr;  // Fir: cosine series; HalfBand: odd-order series
    std::size_t terms = 0;
    int cicLength = 1;
};

// A block of a rotor: cos and sin of a seed angle and the fine table of
// per-point increments (ChainResponse.h).
struct RotorBlock {
    double seedCos = 1.0;
    double seedSin = 0.0;
    const double* fineCos = nullptr;
    const double* fineSin = nullptr;
};

// Stage magnitudes of count points (at most 512) whose cosines the rotor
// block gives: Fir |series|, HalfBand the signed amplitude, Cic the
// third-order moving-sum magnitude.
void Kernel_StageBlock(const StageShape& shape, const RotorBlock& rotor, std::size_t count, double* out);

// table[i] = |table[i]| * next[(j odd) & mask] for j = first + i, i < count;
// |table[i]| alone when next is null. mask + 1 is a power of two, and next
// is even about (mask + 1) / 2: only its entries up to there are read, an
// index i above reads mask + 1 - i.
void Kernel_FoldProduct(double* table, std::size_t first, std::size_t count, const double* next, std::size_t mask,
                        std::size_t odd);

// Squared magnitude of analog filter and converter as a ratio of two
// polynomials in z = (k / n)^2, times the hold droop (sin x / x)^2 for a
// sampling converter.
struct FrontShape {
    const double* numerator = nullptr;
    int numeratorDegree = 0;
    const double* denominator = nullptr;
    int denominatorDegree = 0;
    bool hold = false;
    double inverse = 1.0;  // 1 / n
};

// power[i] = front power of grid point base + i, i < count (at most 512).
void Kernel_FrontPower(const FrontShape& front, const RotorBlock& rotor, std::size_t base, std::size_t count,
                       double* power);

// out_dB[i] = 10 log10(max(squared[i], floorSquared)), the logarithm of
// Kernel_FrontDb: the same bits for the same square.
void Kernel_PowerDb(const double* squared, std::size_t count, double floorSquared, double* out_dB);

// magnitude[i] *= sqrt(front power of grid point base + i), i < count (at most 512).
void Kernel_FrontMagnitude(const FrontShape& front, const RotorBlock& rotor, std::size_t base, std::size_t count,
                           double* magnitude);

// For grid points base + i, i < count (at most 512):
// response_dB[i] = 10 log10(max(magnitude[i]^2 front power, floorSquared));
// response_dB may be magnitude.
void Kernel_FrontDb(const FrontShape& front, const RotorBlock& rotor, std::size_t base, std::size_t count,
                    double floorSquared, const double* magnitude, double* response_dB);

// As Kernel_FrontDb with the magnitudes read backwards, magnitude[count - 1 - i]
// for point base + i: a block's mirror image without a copy. response_dB
// and magnitude do not overlap.
void Kernel_FrontDbReversed(const FrontShape& front, const RotorBlock& rotor, std::size_t base, std::size_t count,
                            double floorSquared, const double* magnitude, double* response_dB);

// out[i] = source[count - 1 - i]; out and source do not overlap.
void Kernel_Mirror(const double* source, std::size_t count, double* out);

// out[i] = step (base + i).
void Kernel_Ramp(double step, std::size_t base, std::size_t count, double* out);

// out_dB[i] = 20 log10(magnitude[i]).
void Kernel_MagnitudeDb(const double* magnitude, std::size_t count, double* out_dB);

// out[i] = scale[i] |c[0] + sum_m c[m] cos(m theta_i)|, x[i] = cos(theta_i),
// by Clenshaw's recurrence from b = 0 (CandidateScoring.cpp); scale may be
// null for 1.
void Kernel_CosineSeries(const double* x, std::size_t count, const double* c, std::size_t terms, const double* scale,
                         double* out);

// Smallest and largest of count > 0 values.
void Kernel_MinMax(const double* values, std::size_t count, double& low, double& high);

// The barycentric interpolant through (x[j], y[j]) with weights a[j],
// j < nodes, at count points: sum(a y / (t - x)) / sum(a / (t - x)), both
// sums taken over one common denominator (one division a point; within a few
// units in the last place of the plain sums), or y[j] of the first node a
// point coincides with.
void Kernel_Barycentric(const double* points, std::size_t count, const double* x, const double* a,
                        const double* y, std::size_t nodes, double* out);

// out[i] = cos(pi f[i]) for finite |f[i]| < 2^51, within three units in the
// last place; out may be f.
void Kernel_CosPi(const double* f, std::size_t count, double* out);

// Name of the instruction set the kernels run on ("AVX3" is AVX-512,
// "SCALAR" the baseline x86-64 build).
std::string VectorTarget_Name();
// Names of the compiled instruction sets this machine can run, best first.
std::vector<std::string> VectorTargets_Supported();
// Runs the kernels on the named instruction set (one of the supported), or on
// the best again for an empty name. False for a name not supported here.
bool VectorTarget_Force(const std::string& name);

}  // namespace Veltrix::Marlin::Native
