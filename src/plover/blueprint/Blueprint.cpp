#include "plover/blueprint/Blueprint.h"

#include <stdexcept>
#include <utility>

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin::Native {

MarlinBlueprint::MarlinBlueprint()
{
    // A fresh blueprint already carries its ADC rate's receive stage
    // selections, so that it equals any copy of itself and a saved default
    // blueprint reloads unchanged.
    adcRate(adcRate_);
    Initialize();
}

MarlinBlueprint::MarlinBlueprint(const MarlinBlueprint& other)
    : loExternal1(other.loExternal1),
      loExternal2(other.loExternal2),
      rxChannel1(other.rxChannel1),
      rxChannel2(other.rxChannel2),
      txChannel1(other.txChannel1),
      txChannel2(other.txChannel2),
      loMappingOverride(other.loMappingOverride),
      loMappingOverridden(other.loMappingOverridden),
      allowPllRetuning(other.allowPllRetuning),
      clockPllMode(other.clockPllMode),
      clockPllPower(other.clockPllPower),
      deviceClockInput_kHz(other.deviceClockInput_kHz),
      diversity(other.diversity),
      duplex(other.duplex),
      pllCalibration(other.pllCalibration),
      processorClockDivisor(other.processorClockDivisor),
      swapExternalLoMapping(other.swapExternalLoMapping),
      warmBootEnable(other.warmBootEnable),
      expandedSearchEnable(other.expandedSearchEnable),
      features_(other.features_)
{
    adcRate(other.adcRate_);
}

MarlinBlueprint& MarlinBlueprint::operator=(const MarlinBlueprint& other)
{
    if (this == &other) {
        return *this;
    }
    loExternal1 = other.loExternal1;
    loExternal2 = other.loExternal2;
    rxChannel1 = other.rxChannel1;
    rxChannel2 = other.rxChannel2;
    txChannel1 = other.txChannel1;
    txChannel2 = other.txChannel2;
    loMappingOverride = other.loMappingOverride;
    loMappingOverridden = other.loMappingOverridden;
    adcRate(other.adcRate_);
    allowPllRetuning = other.allowPllRetuning;
    clockPllMode = other.clockPllMode;
    clockPllPower = other.clockPllPower;
    deviceClockInput_kHz = other.deviceClockInput_kHz;
    diversity = other.diversity;
    duplex = other.duplex;
    pllCalibration = other.pllCalibration;
    processorClockDivisor = other.processorClockDivisor;
    swapExternalLoMapping = other.swapExternalLoMapping;
    warmBootEnable = other.warmBootEnable;
    expandedSearchEnable = other.expandedSearchEnable;
    features_ = other.features_;
    return *this;
}

void MarlinBlueprint::Initialize()
{
    loMappingOverride.reset();
    loMappingOverridden = false;
}

void MarlinBlueprint::adcRate(AdcRate value)
{
    adcRate_ = value;
    for (RxChannelBlueprint* rx : {&rxChannel1, &rxChannel2}) {
        rx->dataPath.sincMux(SincFactor_Get(value));
        rx->dataPath.hb012(static_cast<unsigned char>(RxHb012::HB1));
    }
    for (TxChannelBlueprint* tx : {&txChannel1, &txChannel2}) {
        tx->loopBackAdcRate = value;
    }
}

RxChannelBlueprint& MarlinBlueprint::rxChannel(std::size_t index)
{
    return const_cast<RxChannelBlueprint&>(std::as_const(*this).rxChannel(index));
}

const RxChannelBlueprint& MarlinBlueprint::rxChannel(std::size_t index) const
{
    if (index > 1) {
        throw std::out_of_range("Receive channel index must be 0 or 1.");
    }
    return index == 0 ? rxChannel1 : rxChannel2;
}

TxChannelBlueprint& MarlinBlueprint::txChannel(std::size_t index)
{
    return const_cast<TxChannelBlueprint&>(std::as_const(*this).txChannel(index));
}

const TxChannelBlueprint& MarlinBlueprint::txChannel(std::size_t index) const
{
    if (index > 1) {
        throw std::out_of_range("Transmit channel index must be 0 or 1.");
    }
    return index == 0 ? txChannel1 : txChannel2;
}

std::int8_t MarlinBlueprint::Update()
{
    // A feature may touch the blueprint, never the feature map; iterate a snapshot anyway.
    for (const auto& feature : features()) {
        const std::int8_t status = feature->Blueprint_Update(*this);
        if (status != 0) {
            return status;
        }
    }
    return 0;
}

std::vector<std::shared_ptr<Feature>> MarlinBlueprint::features() const
{
    std::vector<std::shared_ptr<Feature>> list;
    list.reserve(features_.size());
    for (const auto& [id, feature] : features_) {
        list.push_back(feature);
    }
    return list;
}

std::uint8_t MarlinBlueprint::Feature_Enable(std::shared_ptr<Feature> feature)
{
    if (!feature) {
        throw std::invalid_argument("Feature_Enable needs a feature.");
    }
    std::string id = feature->ID();
    features_[std::move(id)] = std::move(feature);
    return static_cast<std::uint8_t>(Update());
}

void MarlinBlueprint::Feature_Disable(const std::string& id) { features_.erase(id); }

void MarlinBlueprint::Features_Clear() { features_.clear(); }

std::int8_t MarlinBlueprint::LoMapping_Overwrite(const LoMapping& mapping)
{
    loMappingOverride = std::make_shared<LoMapping>(mapping);
    loMappingOverridden = true;
    return 0;
}

std::int8_t MarlinBlueprint::LoMapping_Clear()
{
    loMappingOverridden = false;
    return 0;
}

bool MarlinBlueprint::isDesigned() const
{
    for (std::size_t i = 0; i < 2; ++i) {
        if (rxChannel(i).enabled && !rxChannel(i).dataPath.isDesigned()) {
            return false;
        }
        if (txChannel(i).enabled && !txChannel(i).dataPath.isDesigned()) {
            return false;
        }
    }
    return true;
}

}  // namespace Veltrix::Marlin::Native
