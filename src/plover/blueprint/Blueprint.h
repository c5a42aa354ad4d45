#pragma once
// The caller's statement of the wanted device configuration, and the derived
// answers the design and the host need from it: LO mapping, calibration masks,
// two-stage initial calibration, and whether it is designed or can be.
//
// Copies share the features and the LO-mapping override (shared pointers are
// copied, not what they point to); everything else is copied by value, and
// the ADC-rate coupling is re-applied on every copy.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "plover/records/CalibrationMasks.h"
#include "plover/blueprint/ChannelBlueprint.h"
#include "plover/base/Enums.h"
#include "plover/blueprint/Feature.h"
#include "plover/blueprint/LoMapping.h"

namespace Veltrix::Marlin::Native {

struct LoExternalBlueprint {
    std::uint16_t loDivisor = 0;
    vx_marlin_ExtLoType loSignalingType = 0;
};

class MarlinBlueprint {
public:
    MarlinBlueprint();
    MarlinBlueprint(const MarlinBlueprint& other);
    MarlinBlueprint& operator=(const MarlinBlueprint& other);
    ~MarlinBlueprint() = default;

    // Releases the LO-mapping override.
    void Initialize();

    LoExternalBlueprint loExternal1;
    LoExternalBlueprint loExternal2;
    RxChannelBlueprint rxChannel1;
    RxChannelBlueprint rxChannel2;
    TxChannelBlueprint txChannel1;
    TxChannelBlueprint txChannel2;
    std::shared_ptr<LoMapping> loMappingOverride;
    bool loMappingOverridden = false;

    // Also writes the SINC selection (stage 19) and HB012 selection (stage 20)
    // of both receive data paths, and both transmitters' loop-back ADC rate.
    AdcRate adcRate() const { return adcRate_; }
    void adcRate(AdcRate value);

    bool allowPllRetuning = false;
    ClockPllMode clockPllMode = ClockPllMode::HIGH_PERFORMANCE;
    vx_marlin_ComponentPowerLevel_e clockPllPower = 2;
    std::uint32_t deviceClockInput_kHz = 0;
    bool diversity = false;
    Duplex duplex = Duplex::TDD;
    vx_marlin_PllCalibration pllCalibration = 0;
    ProcessorClockDivisor processorClockDivisor = ProcessorClockDivisor::DIVISOR_1;
    bool swapExternalLoMapping = false;
    bool warmBootEnable = false;
    bool expandedSearchEnable = false;

    // Channel blueprints by channel index (0 or 1); any other index throws.
    RxChannelBlueprint& rxChannel(std::size_t index);
    const RxChannelBlueprint& rxChannel(std::size_t index) const;
    TxChannelBlueprint& txChannel(std::size_t index);
    const TxChannelBlueprint& txChannel(std::size_t index) const;

    // Features, at most one per ID, listed in ID order.
    std::int8_t Update();
    std::vector<std::shared_ptr<Feature>> features() const;
    std::uint8_t Feature_Enable(std::shared_ptr<Feature> feature);
    void Feature_Disable(const std::string& id);
    void Features_Clear();

    std::int8_t LoMapping_Get(LoMapping& out) const;
    std::int8_t LoMapping_Overwrite(const LoMapping& mapping);
    std::int8_t LoMapping_Clear();

    std::int8_t SupportedInitCalMask_Get(vx_marlin_InitCals& out) const;
    std::int8_t SupportedTrackingCalMask_Get(vx_marlin_TrackingCals& out) const;
    std::int8_t RequiresTwoStageInitCal_Get(bool& out) const;

    // Runs the filter designer on a private copy. Defined with the filter
    // designer (BlueprintViability.cpp), so that this unit does not depend on it.
    bool isViable() const;
    // True when every enabled channel carries a designed data path.
    bool isDesigned() const;

    // Blueprint file (JSON, indent 4, keys sorted). Save reports a file that
    // cannot be written and leaves an existing file intact. Load throws
    // "Error: File not found." for an unreadable file and lets the JSON
    // library's exceptions through; on any failure this blueprint is unchanged.
    void Save(const std::string& path) const;
    void Load(const std::string& path);
    std::string SaveToString() const;
    void LoadFromString(const std::string& text);

private:
    AdcRate adcRate_ = AdcRate::HIGH;
    std::map<std::string, std::shared_ptr<Feature>> features_;
};

}  // namespace Veltrix::Marlin::Native
