#include "engine/ChainEnumeration.h"

#include <algorithm>
#include <stdexcept>

#include "engine/PrintSink.h"
namespace Veltrix::Marlin::Native {
namespace {

bool ConverterEndAccepted(double c0, double c1, double c2)
{
    return (c0 == 3.0 && c1 == 1.0 && c2 == 1.0) || (c0 == 1.0 && c1 == 2.0 && c2 == 2.0);
}

}  // namespace

StageCodes ChainList::Row(std::size_t row) const
{
    StageCodes out{};
    for (std::size_t p = 0; p < 16; ++p) out[p] = codes[p][row];
    return out;
}

double ChainList::BandwidthFactorProduct(std::size_t row) const
{
    double product = 1.0;
    for (std::size_t p = 0; p < 16; ++p) product *= bandwidthFactors[p][row];
    return product;
}

std::int16_t SaturatingProduct16(const double* codes, std::size_t count)
{
    std::int32_t product = 1;
    for (std::size_t i = 0; i < count; ++i) {
        product *= static_cast<std::int32_t>(codes[i]);
        product = std::clamp<std::int32_t>(product, -32768, 32767);
    }
    return static_cast<std::int16_t>(product);
}

ChainList ChainList_Enumerate(const ChainOptionSet& options, bool isDebug)
{
    std::array<std::size_t, 16> length{};
    for (std::size_t p = 0; p < 16; ++p) {
        length[p] = options[p].codes.size();
        if (length[p] == 0 || length[p] > 127 || options[p].bandwidthFactors.size() != length[p]) {
            throw std::runtime_error("chain option list of a stage is empty, too long or without factors");
        }
    }

    // Accepted combinations as option indices in walk order first (16 bytes a
    // row), then the columns at their final size, filled last row first.
    std::vector<std::array<std::uint8_t, 16>> accepted;
    std::array<std::uint8_t, 16> index{};  // the odometer, 0-based
    std::array<double, 16> code{};
    for (;;) {
        for (std::size_t p = 0; p < 16; ++p) code[p] = options[p].codes[index[p]];
        if (ConverterEndAccepted(code[0], code[1], code[2]) && SaturatingProduct16(code.data(), 16) != 0) {
            accepted.push_back(index);
        }
        std::size_t p = 0;
        while (p < 16 && ++index[p] == length[p]) index[p++] = 0;
        if (p == 16) break;
    }
    if (isDebug) {
        PrintFormatted("Possible Ints/Decs Overall %ld\n", static_cast<long>(accepted.size()));
    }

    ChainList list;
    const std::size_t rows = accepted.size();
    for (std::size_t p = 0; p < 16; ++p) {
        list.codes[p].resize(rows);
        list.bandwidthFactors[p].resize(rows);
        list.optionIndices[p].resize(rows);
    }
    list.ratio.resize(rows);
    list.converterRatio.resize(rows);
    for (std::size_t r = 0; r < rows; ++r) {
        const std::array<std::uint8_t, 16>& walk = accepted[rows - 1 - r];
        double product = 1.0;
        for (std::size_t p = 0; p < 16; ++p) {
            const double c = options[p].codes[walk[p]];
            list.codes[p][r] = c;
            list.bandwidthFactors[p][r] = options[p].bandwidthFactors[walk[p]];
            list.optionIndices[p][r] = static_cast<std::uint8_t>(walk[p] + 1);
            product *= c;
            if (p == 2) list.converterRatio[r] = product;
        }
        list.ratio[r] = product;
    }
    return list;
}

}  // namespace Veltrix::Marlin::Native
