#pragma once
// Receive and transmit channels 1 designed by the filter designer and set up
// as a profile sets them up, for the tests that run the design engine on them.

#include <cstdint>
#include <stdexcept>

#include "DesignerTestSupport.h"
#include "plover/profile/RxChannel.h"
#include "plover/profile/TxChannel.h"

namespace DesignedChannel {

using namespace Veltrix::Marlin::Native;

struct Channels {
    RxChannel rx;
    TxChannel tx;
    std::uint32_t systemClock_Hz = 0;
};

inline Channels Design(std::uint32_t rate_Hz, std::uint32_t bandwidth_Hz, AnalogFilterOrder order,
                       vx_marlin_AdcType adcType = 1)
{
    MarlinBlueprint blueprint;
    DesignerTest::Enable(blueprint.rxChannel1, rate_Hz, bandwidth_Hz);
    DesignerTest::Enable(blueprint.txChannel1, rate_Hz, bandwidth_Hz);
    FilterDesigner designer;
    if (designer.Design(blueprint, DesignCriteria{}, false) != 0) {
        throw std::runtime_error("the test configuration does not design");
    }
    Channels channels{RxChannel(rate_Hz, bandwidth_Hz, adcType, 20000, order, 0), TxChannel(rate_Hz, bandwidth_Hz),
                      static_cast<std::uint32_t>(DesignerTest::RxClock(blueprint.rxChannel1))};
    channels.rx.ChannelType_Set(ChannelType::RX1);
    if (channels.rx.Adc_Configure(channels.systemClock_Hz, blueprint.adcRate(), 2, blueprint.rxChannel1.dataPath) != 0) {
        throw std::runtime_error("ADC configuration failed");
    }
    channels.tx.ChannelNumber_Set(1);
    const bool int3 = blueprint.txChannel1.dataPath.stages[TxPath::Int3Sinc3SelectStage] == ToInt(TxInt3Sinc3::INT3);
    if (channels.tx.Dac_Configure(channels.systemClock_Hz, int3 ? DacRate::HIGH : DacRate::LOW, 2,
                                  blueprint.txChannel1.dataPath) != 0) {
        throw std::runtime_error("DAC configuration failed");
    }
    return channels;
}

}  // namespace DesignedChannel
