#include "engine/PathStages.h"

#include <array>

#include "engine/StageCoefficients.h"

namespace Veltrix::Marlin::Native {

namespace {

constexpr int FilterCount = static_cast<int>(StageFilter::Cic10) + 1;

// Response stages of every fixed coefficient set, prepared once: equiripple
// sets as cosine series (half-bands in their sparse form), sinc/CIC shapes in
// closed form.
ResponseStage Prepare(StageFilter filter)
{
    const StageCoefficientSet& set = StageCoefficients_Get(filter);
    if (filter >= StageFilter::Cic2) {
        ResponseStage stage;
        stage.kind = ResponseStage::Kind::Cic;
        stage.factor = set.factor;
        stage.cicLength = set.factor;
        stage.fixedSet = static_cast<int>(filter);
        return stage;
    }
    std::vector<double> taps(set.taps.begin(), set.taps.end());
    ResponseStage stage = ResponseStage_FromTaps(taps, set.factor);
    stage.fixedSet = static_cast<int>(filter);
    const std::size_t centre = taps.size() / 2;
    bool halfBand = set.factor == 2 && 2 * set.taps[centre] == static_cast<std::int32_t>(set.scale);
    for (std::size_t m = 2; halfBand && m <= centre; m += 2) {
        halfBand = set.taps[centre + m] == 0;
    }
    if (halfBand) {
        ResponseStage sparse;
        sparse.kind = ResponseStage::Kind::HalfBand;
        sparse.factor = 2;
        sparse.fixedSet = static_cast<int>(filter);
        for (std::size_t m = 1; m < stage.c.size(); m += 2) {
            sparse.c.push_back(stage.c[m]);
        }
        return sparse;
    }
    return stage;
}

const ResponseStage& Prepared(StageFilter filter)
{
    static const std::array<ResponseStage, FilterCount> stages = [] {
        std::array<ResponseStage, FilterCount> all{};
        for (int i = 0; i < FilterCount; ++i) {
            all[static_cast<std::size_t>(i)] = Prepare(static_cast<StageFilter>(i));
        }
        return all;
    }();
    return stages[static_cast<std::size_t>(filter)];
}

// Byte 0 of either chain and the sinc/CIC byte take any factor 2..10; the
// other bytes are active only with their own factor.
bool Active(std::uint8_t byte, int factor) { return byte == factor; }

struct Builder {
    PathLayout& layout;
    std::size_t positionBytes;
    void Add(std::size_t byteIndex, StageFilter filter)
    {
        (byteIndex < positionBytes ? layout.front : layout.back).push_back(Prepared(filter));
    }
};

}  // namespace

double StageBytes_Product(const std::uint8_t* stages, std::size_t count)
{
    double product = 1.0;
    for (std::size_t i = 0; i < count; ++i) {
        product *= stages[i] == 0 ? 1.0 : static_cast<double>(stages[i]);
    }
    return product;
}

// Chain bytes 2..17 are shared by both directions: by-3 next to the converter
// stages, the two converter half-bands, four wideband by-2 blocks, the last
// wideband block (HB22 or WBLPF), the sinc/CIC block, five narrowband by-2
// blocks, the narrowband by-3 and the last narrowband by-2.
static void AddChain(Builder& builder, const std::uint8_t* b, bool lowIfFirst, bool lowIfSecond, bool wblpf)
{
    if (Active(b[2], 3)) builder.Add(2, StageFilter::Dec3Wide);
    if (Active(b[3], 2)) builder.Add(3, lowIfFirst ? StageFilter::Hb4 : StageFilter::Hb3);
    if (Active(b[4], 2)) builder.Add(4, lowIfSecond ? StageFilter::Hb6 : StageFilter::Hb5);
    for (std::size_t i = 5; i <= 8; ++i) {
        if (Active(b[i], 2)) builder.Add(i, StageFilter::WbDec2);
    }
    if (Active(b[9], 2)) builder.Add(9, wblpf ? StageFilter::Wblpf : StageFilter::Hb22);
    if (b[10] >= 2 && b[10] <= 10) builder.Add(10, StageFilter_Cic(b[10]));
    for (std::size_t i = 11; i <= 15; ++i) {
        if (Active(b[i], 2)) builder.Add(i, StageFilter::NbDec2);
    }
    if (Active(b[16], 3)) builder.Add(16, StageFilter::NbDec3);
    if (Active(b[17], 2)) builder.Add(17, StageFilter::NbDec2Last);
}

PathLayout RxPath_Layout(const RxFilterRequest& request, std::size_t positionBytes)
{
    PathLayout layout;
    layout.converterRate_Hz = static_cast<double>(request.converterRate_Hz);
    layout.analog = request.tiaFilter != 0 ? AnalogFilterModel::Tia : AnalogFilterModel::Biquad;
    layout.converter = request.highPowerAdc != 0 ? ConverterModel::HighPower : ConverterModel::LowPower;
    layout.analogCorner_Hz = static_cast<double>(request.analogBandwidth_Hz);
    if (request.stages == nullptr) {
        layout.positionRate_Hz = layout.converterRate_Hz;
        return layout;
    }
    const std::uint8_t* b = request.stages;
    layout.positionRate_Hz = layout.converterRate_Hz / StageBytes_Product(b, positionBytes);
    Builder builder{layout, positionBytes};
    // The SINC decimator behind the converter and the HB0/HB1/HB2 half-band.
    if (b[0] >= 2 && b[0] <= 10) builder.Add(0, StageFilter_Cic(b[0]));
    if (Active(b[1], 2)) {
        const StageFilter hb = request.mode0 == 0 ? StageFilter::Hb0
                               : request.mode0 == 1 ? StageFilter::Hb1
                                                    : StageFilter::Hb2;
        builder.Add(1, hb);
    }
    AddChain(builder, b, request.mode1 == 4, request.mode2 == 6, request.mode3 == 1);
    return layout;
}

PathLayout TxPath_Layout(const TxFilterRequest& request, std::size_t positionBytes)
{
    PathLayout layout;
    layout.converterRate_Hz = static_cast<double>(request.converterRate_Hz);
    // The transmit filter is a second-order low-pass; the DAC holds each sample.
    layout.analog = AnalogFilterModel::Biquad;
    layout.converter = ConverterModel::DacHold;
    layout.analogCorner_Hz = static_cast<double>(request.analogBandwidth_Hz);
    if (request.stages == nullptr) {
        layout.positionRate_Hz = layout.converterRate_Hz;
        return layout;
    }
    const std::uint8_t* b = request.stages;
    layout.positionRate_Hz = layout.converterRate_Hz / StageBytes_Product(b, positionBytes);
    Builder builder{layout, positionBytes};
    // Next to the DAC: INT3 (option0) or SINC3, then SINC2.
    if (Active(b[0], 3)) builder.Add(0, request.option0 != 0 ? StageFilter::Int3 : StageFilter::Cic3);
    if (Active(b[1], 2)) builder.Add(1, StageFilter::Cic2);
    AddChain(builder, b, false, false, request.option1 != 0);
    return layout;
}

}  // namespace Veltrix::Marlin::Native
