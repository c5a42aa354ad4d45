#pragma once
// Feature handles. A blueprint handle enables a feature by its ID and keeps a
// shared copy of the engine feature, so later edits of the handle do not
// reach a blueprint it was enabled on.

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

class Feature {
public:
    virtual ~Feature() = default;
    virtual std::string ID() const = 0;
    // A new engine object equal to this handle's, for the blueprint to keep.
    virtual std::shared_ptr<Native::Feature> SharedCopy() const = 0;
};

// One engine feature class behind one handle.
template <typename T>
class FeatureHandle : public Feature, public Managed<T> {
public:
    using Managed<T>::Managed;
    std::string ID() const override { return this->Object().ID(); }
    std::shared_ptr<Native::Feature> SharedCopy() const override { return std::make_shared<T>(this->Object()); }
};

class DynamicProfileFeature : public FeatureHandle<Native::DynamicProfileFeature> {
public:
    DynamicProfileFeature() = default;
    explicit DynamicProfileFeature(std::int32_t count) { numDynamicProfiles(count); }
    PLOVER_FIELD_PROPERTY(std::int32_t, numDynamicProfiles)
};

class FrequencyHoppingFeature : public FeatureHandle<Native::FrequencyHoppingFeature> {
public:
    FrequencyHoppingFeature() = default;
    FrequencyHoppingFeature(std::int32_t fhMode, std::uint32_t minFrame_us, std::uint32_t minFrequency_kHz)
    {
        mode(fhMode);
        minFrameDuration_us(minFrame_us);
        minOperatingFrequency_kHz(minFrequency_kHz);
    }
    PLOVER_FIELD_PROPERTY(std::int32_t, mode)
    PLOVER_FIELD_PROPERTY(std::uint32_t, minFrameDuration_us)
    PLOVER_FIELD_PROPERTY(std::uint32_t, minOperatingFrequency_kHz)
};

class McsFeature : public FeatureHandle<Native::McsFeature> {
public:
    McsFeature() = default;
    McsFeature(std::int32_t mcsMode, std::int32_t ssiType, std::uint32_t minFrequency_kHz)
    {
        mode(mcsMode);
        interfaceType(ssiType);
        minOperatingFrequency_kHz(minFrequency_kHz);
    }
    PLOVER_FIELD_PROPERTY(std::int32_t, mode)
    PLOVER_FIELD_PROPERTY(std::int32_t, interfaceType)
    PLOVER_FIELD_PROPERTY(std::uint32_t, minOperatingFrequency_kHz)
};

class MonitorModeSyncFeature : public FeatureHandle<Native::MonitorModeSyncFeature> {
public:
    MonitorModeSyncFeature() = default;
    explicit MonitorModeSyncFeature(MonitorModeSyncOverSamplingRatio ratio) { monitorModeSyncOverSamplingRatio(ratio); }
    PLOVER_FIELD_PROPERTY(MonitorModeSyncOverSamplingRatio, monitorModeSyncOverSamplingRatio)
};

class RxPortImpedanceControlFeature : public FeatureHandle<Native::RxPortImpedanceControlFeature> {
public:
    RxPortImpedanceControlFeature() = default;
    RxPortImpedanceControlFeature(bool rx1, bool rx2)
    {
        rx1PortImpedanceControl(rx1);
        rx2PortImpedanceControl(rx2);
    }
    bool rx1PortImpedanceControl() const { return Object().rxPortImpedanceControl(1); }
    void rx1PortImpedanceControl(bool value) { Object().rxPortImpedanceControl(1, value); }
    bool rx2PortImpedanceControl() const { return Object().rxPortImpedanceControl(2); }
    void rx2PortImpedanceControl(bool value) { Object().rxPortImpedanceControl(2, value); }
};

class ExternalLnaFeature : public FeatureHandle<Native::ExternalLnaFeature> {
public:
    using LnaConfigs = std::array<Native::vx_marlin_RxLnaConfig, 2>;
    ExternalLnaFeature() : ExternalLnaFeature(LnaConfigs{}) {}
    explicit ExternalLnaFeature(const LnaConfigs& configs)
        : FeatureHandle<Native::ExternalLnaFeature>(Native::ExternalLnaFeature(configs))
    {
    }
    PLOVER_FIELD_PROPERTY(LnaConfigs, lnaConfigs)
};

}  // namespace Veltrix::Marlin
