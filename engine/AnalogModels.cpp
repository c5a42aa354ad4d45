#include "engine/AnalogModels.h"

#include <cmath>

namespace Veltrix::Marlin::Native {

namespace {

constexpr double Pi = 3.14159265358979323846;

}  // namespace

double TiaFilter_Magnitude(double frequency_Hz, double corner_Hz)
{
    const double u = frequency_Hz / corner_Hz;
    return 1.0 / std::sqrt(1.0 + u * u);
}

double BiquadFilter_Magnitude(double frequency_Hz, double corner_Hz)
{
    const double u = frequency_Hz / corner_Hz;
    const double real = 1.0 - u * u;
    const double imaginary = u / 0.707;
    return 1.0 / std::sqrt(real * real + imaginary * imaginary);
}

double AnalogFilter_Magnitude(AnalogFilterModel model, double frequency_Hz, double corner_Hz)
{
    return model == AnalogFilterModel::Tia ? TiaFilter_Magnitude(frequency_Hz, corner_Hz)
                                           : BiquadFilter_Magnitude(frequency_Hz, corner_Hz);
}

double LowPowerConverter_Magnitude(double frequency_Hz, double clock_Hz)
{
    const double x = Pi * frequency_Hz / clock_Hz;
    if (x == 0.0) {
        return 1.0;
    }
    return std::fabs(std::sin(x) / x);
}

double HighPowerConverter_Magnitude(double frequency_Hz, double clock_Hz)
{
    return std::sqrt(HighPowerConverter_Power(frequency_Hz, clock_Hz));
}

double Converter_Magnitude(ConverterModel model, double frequency_Hz, double clock_Hz)
{
    switch (model) {
    case ConverterModel::HighPower:
        return HighPowerConverter_Magnitude(frequency_Hz, clock_Hz);
    case ConverterModel::LowPower:
    case ConverterModel::DacHold:
    default:
        return LowPowerConverter_Magnitude(frequency_Hz, clock_Hz);
    }
}

double AnalogFilter_OutOfBandLimit_dB(AnalogFilterModel model)
{
    // The stop band of a compensation design starts where the path is 15 dB
    // down; the compensated path must still be that far down there, behind
    // either filter.
    return model == AnalogFilterModel::Tia ? -15.0 : -15.0;  // one rule for both today
}

int ConverterClock_Class(std::uint32_t clock_Hz)
{
    switch (clock_Hz) {
    case 2211840000u:
        return 6;
    case 1474560000u:
        return 4;
    case 1105920000u:
        return 2;
    default:
        return 0;
    }
}

}  // namespace Veltrix::Marlin::Native
