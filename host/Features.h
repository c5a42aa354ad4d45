#pragma once
/// @file
/// Feature handles: the optional behaviours a blueprint can enable.
///
/// A blueprint handle enables a feature by its ID and keeps a shared copy of
/// the engine feature, so later edits of the handle do not reach a blueprint
/// it was enabled on. FeatureCatalogue lists the same features with their
/// fields' ranges and defaults.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "host/Managed.h"
#include "host/Types.h"
#include "plover/features/DynamicProfileFeature.h"
#include "plover/features/ExternalLnaFeature.h"
#include "plover/features/FrequencyHoppingFeature.h"
#include "plover/features/McsFeature.h"
#include "plover/features/MonitorModeSyncFeature.h"
#include "plover/features/RxPortImpedanceControlFeature.h"

namespace Veltrix::Marlin {

/// A feature handle of any kind, as MarlinBlueprint::Feature_Enable takes it.
class Feature {
public:
    virtual ~Feature() = default;
    /// The feature's ID: "DynamicProfile", "FH", "MCS", "MMSync",
    /// "RxPortImpedanceControl" or "ExternalLna".
    virtual std::string ID() const = 0;
    /// A new engine object equal to this handle's, for the blueprint to keep.
    virtual std::shared_ptr<Native::Feature> SharedCopy() const = 0;
};

/// One engine feature class behind one handle.
template <typename T>
class FeatureHandle : public Feature, public Managed<T> {
public:
    using Managed<T>::Managed;
    /// The engine feature's ID; std::logic_error on a disposed handle.
    std::string ID() const override { return this->Object().ID(); }
    /// A copy of the engine feature; std::logic_error on a disposed handle.
    std::shared_ptr<Native::Feature> SharedCopy() const override { return std::make_shared<T>(this->Object()); }
};

/// "DynamicProfile": the device may switch between reduced-rate variants of
/// the designed profile; the profile learns how many to offer and masks its
/// receive strobes. Profile::DynamicProfiles_Get derives the variants.
///
/// @code
/// Veltrix::Marlin::MarlinBlueprint blueprint;
/// blueprint.Load("mine.json");
/// blueprint.Feature_Enable(Veltrix::Marlin::DynamicProfileFeature(4));  // 0 on success
/// @endcode
class DynamicProfileFeature : public FeatureHandle<Native::DynamicProfileFeature> {
public:
    /// Every field at its default.
    DynamicProfileFeature() = default;
    /// Offers count variants (see numDynamicProfiles()).
    explicit DynamicProfileFeature(std::int32_t count) { numDynamicProfiles(count); }
    /// Variants offered: 1 (none) up to 6. Not checked here; enabling or
    /// deriving the dynamic profiles reports a value out of range.
    PLOVER_FIELD_PROPERTY(std::int32_t, numDynamicProfiles)
};

/// "FH", frequency hopping: enabling it checks that the blueprint can hop
/// (channel 1 only unless dual-hop or diversity, I/Q transmitters, internal
/// LOs, undivided processor clock), pins the LO routing and drops the
/// tracking calibrations that cannot run between hops.
class FrequencyHoppingFeature : public FeatureHandle<Native::FrequencyHoppingFeature> {
public:
    /// Every field at its default.
    FrequencyHoppingFeature() = default;
    /// Sets mode(), minFrameDuration_us() and minOperatingFrequency_kHz().
    FrequencyHoppingFeature(std::int32_t fhMode, std::uint32_t minFrame_us, std::uint32_t minFrequency_kHz)
    {
        mode(fhMode);
        minFrameDuration_us(minFrame_us);
        minOperatingFrequency_kHz(minFrequency_kHz);
    }
    /// Hop mode 0..4: 0 single-hop fast; 2 to 4 put channel 1 on LO1 and
    /// channel 2 on LO2; 3 is dual-hop.
    PLOVER_FIELD_PROPERTY(std::int32_t, mode)
    /// Shortest frame in µs; long enough frames keep the calibration that
    /// needs time to save its settings.
    PLOVER_FIELD_PROPERTY(std::uint32_t, minFrameDuration_us)
    /// Lowest LO frequency the hops use, in kHz.
    PLOVER_FIELD_PROPERTY(std::uint32_t, minOperatingFrequency_kHz)
};

/// "MCS", multi-chip synchronisation: records the sync mode and interface in
/// the device system and waits for the PLL phase sync at the lowest
/// operating frequency.
class McsFeature : public FeatureHandle<Native::McsFeature> {
public:
    /// Every field at its default.
    McsFeature() = default;
    /// Sets mode(), interfaceType() and minOperatingFrequency_kHz().
    McsFeature(std::int32_t mcsMode, std::int32_t ssiType, std::uint32_t minFrequency_kHz)
    {
        mode(mcsMode);
        interfaceType(ssiType);
        minOperatingFrequency_kHz(minFrequency_kHz);
    }
    /// Synchronisation mode 0..2 (0 off).
    PLOVER_FIELD_PROPERTY(std::int32_t, mode)
    /// SSI type of the sync interface: 1 CMOS, 2 LVDS.
    PLOVER_FIELD_PROPERTY(std::int32_t, interfaceType)
    /// Lowest LO frequency in kHz, which sets the phase-sync wait.
    PLOVER_FIELD_PROPERTY(std::uint32_t, minOperatingFrequency_kHz)
};

/// "MMSync", monitor-mode synchronisation: the receive SSIs run faster than
/// the sampling rate by the over-sampling ratio and every receive slot passes
/// its data through the input FIFO with the strobe masked. Enabling it
/// changes the blueprint's receive interface rates.
class MonitorModeSyncFeature : public FeatureHandle<Native::MonitorModeSyncFeature> {
public:
    /// Every field at its default.
    MonitorModeSyncFeature() = default;
    /// Sets monitorModeSyncOverSamplingRatio().
    explicit MonitorModeSyncFeature(MonitorModeSyncOverSamplingRatio ratio) { monitorModeSyncOverSamplingRatio(ratio); }
    /// How much faster than the sampling rate the receive SSI runs (2, 4 or 8).
    PLOVER_FIELD_PROPERTY(MonitorModeSyncOverSamplingRatio, monitorModeSyncOverSamplingRatio)
};

/// "RxPortImpedanceControl": receive-port impedance control, per receiver,
/// carried into the profile's clock section and the stream settings.
class RxPortImpedanceControlFeature : public FeatureHandle<Native::RxPortImpedanceControlFeature> {
public:
    /// Both receivers off.
    RxPortImpedanceControlFeature() = default;
    /// Impedance control on receiver 1 and receiver 2.
    RxPortImpedanceControlFeature(bool rx1, bool rx2)
    {
        rx1PortImpedanceControl(rx1);
        rx2PortImpedanceControl(rx2);
    }
    /// Impedance control on the receive 1 port.
    bool rx1PortImpedanceControl() const { return Object().rxPortImpedanceControl(1); }
    /// Sets rx1PortImpedanceControl().
    void rx1PortImpedanceControl(bool value) { Object().rxPortImpedanceControl(1, value); }
    /// Impedance control on the receive 2 port.
    bool rx2PortImpedanceControl() const { return Object().rxPortImpedanceControl(2); }
    /// Sets rx2PortImpedanceControl().
    void rx2PortImpedanceControl(bool value) { Object().rxPortImpedanceControl(2, value); }
};

/// "ExternalLna": external LNAs in front of receivers 1 and 2; their
/// configurations land in the profile's RX1 and RX2 slots.
class ExternalLnaFeature : public FeatureHandle<Native::ExternalLnaFeature> {
public:
    /// The configurations of receivers 1 and 2, in that order.
    using LnaConfigs = std::array<Native::vx_marlin_RxLnaConfig, 2>;
    /// Both configurations at their defaults.
    ExternalLnaFeature() : ExternalLnaFeature(LnaConfigs{}) {}
    /// The given configurations of receivers 1 and 2.
    explicit ExternalLnaFeature(const LnaConfigs& configs)
        : FeatureHandle<Native::ExternalLnaFeature>(Native::ExternalLnaFeature(configs))
    {
    }
    /// The configurations of receivers 1 and 2.
    PLOVER_FIELD_PROPERTY(LnaConfigs, lnaConfigs)
};

}  // namespace Veltrix::Marlin
