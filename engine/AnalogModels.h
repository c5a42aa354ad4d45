#pragma once
// Magnitude models of the parts of a path ahead of (Rx) or behind (Tx) the
// digital chain: the analog filters and the converters. All return linear
// magnitudes at a frequency in hertz; the response entries sum them in dB.

#include <cstdint>

namespace Veltrix::Marlin::Native {

enum class AnalogFilterModel { Tia, Biquad };
enum class ConverterModel { LowPower, HighPower, DacHold };

// "TIA": first-order low-pass |1 / (1 + s)|, s = j f / corner.
double TiaFilter_Magnitude(double frequency_Hz, double corner_Hz);
// "Biquad": second-order low-pass |1 / (1 + s / 0.707 + s^2)|.
double BiquadFilter_Magnitude(double frequency_Hz, double corner_Hz);
double AnalogFilter_Magnitude(AnalogFilterModel model, double frequency_Hz, double corner_Hz);

// "LowPower": the sample-and-hold droop |sin(pi x) / (pi x)|, x = f / clock.
double LowPowerConverter_Magnitude(double frequency_Hz, double clock_Hz);

// The high-performance converter is a continuous-time sigma-delta modulator;
// in its band it passes the signal through a gentle third-order low-pass, the
// signal transfer of its loop filter, with a slight peak from the loop's
// complex pole pair (Q 0.9). Each row is one factor (c0 + c1 s + c2 s^2)^power
// of numerator (+1) or denominator (-1), s = j f / (2 clock); the corner sits
// at a tenth of the clock (s = 0.05), well outside every passband the chains offer.
struct ConverterRow {
    int side;   // +1 numerator, -1 denominator
    int power;
    double c0;
    double c1;
    double c2;
};

inline constexpr ConverterRow HighPowerRows[] = {
    {-1, 1, 1.0, 20.0, 0.0},           // real pole at s = -0.05
    {-1, 1, 1.0, 22.222222222, 400.0},  // pole pair at |s| = 0.05, Q 0.9
};

// Squared "HighPower" magnitude: one division however many rows.
inline double HighPowerConverter_Power(double frequency_Hz, double clock_Hz)
{
    const double nu = frequency_Hz / (2.0 * clock_Hz);
    double numerator = 1.0;
    double denominator = 1.0;
    for (const ConverterRow& row : HighPowerRows) {
        const double real = row.c0 - row.c2 * nu * nu;
        const double imaginary = row.c1 * nu;
        const double squared = real * real + imaginary * imaginary;
        for (int p = 0; p < row.power; ++p) {
            (row.side > 0 ? numerator : denominator) *= squared;
        }
    }
    return numerator / denominator;
}

// "HighPower": the signal transfer of the continuous-time modulator.
double HighPowerConverter_Magnitude(double frequency_Hz, double clock_Hz);
double Converter_Magnitude(ConverterModel model, double frequency_Hz, double clock_Hz);

// Largest compensated out-of-band level (dB, relative to 0 Hz) that the
// magnitude-compensation design accepts behind each analog filter.
double AnalogFilter_OutOfBandLimit_dB(AnalogFilterModel model);

// Converter-clock class: 6 for 2,211,840,000 Hz, 4 for 1,474,560,000 Hz,
// 2 for 1,105,920,000 Hz, 0 for any other clock.
int ConverterClock_Class(std::uint32_t clock_Hz);

}  // namespace Veltrix::Marlin::Native
