#pragma once
// A small feature for exercising the blueprint's feature map: it records the
// order in which blueprints update it and can fail or adjust on request.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "plover/blueprint/Blueprint.h"

class TestFeature : public Veltrix::Marlin::Native::Feature {
public:
    explicit TestFeature(std::string id, std::vector<std::string>* log = nullptr, std::int8_t status = 0)
        : id_(std::move(id)), log_(log), status_(status)
    {
    }

    std::string ID() const override { return id_; }

    std::int8_t Blueprint_Update(Veltrix::Marlin::Native::MarlinBlueprint& blueprint) override
    {
        if (log_) log_->push_back(id_);
        if (onUpdate) onUpdate(blueprint);
        return status_;
    }
    std::int8_t Profile_Update(Veltrix::Marlin::Native::Profile&) override { return 0; }

    std::int8_t LoMapping_Get(Veltrix::Marlin::Native::LoMapping& mapping) const override
    {
        if (onLoMapping) return onLoMapping(mapping);
        return 0;
    }
    std::int8_t SupportedTrackingCalMask_Get(Veltrix::Marlin::Native::vx_marlin_TrackingCals& mask) const override
    {
        if (onTracking) return onTracking(mask);
        return 0;
    }
    std::int8_t SupportedInitCalMask_Get(Veltrix::Marlin::Native::vx_marlin_InitCals& mask) const override
    {
        if (onInit) return onInit(mask);
        return 0;
    }
    std::int8_t RequiresTwoStageInitCal_Get(bool& required) const override
    {
        if (onTwoStage) return onTwoStage(required);
        return 0;
    }

    std::function<void(Veltrix::Marlin::Native::MarlinBlueprint&)> onUpdate;
    std::function<std::int8_t(Veltrix::Marlin::Native::LoMapping&)> onLoMapping;
    std::function<std::int8_t(Veltrix::Marlin::Native::vx_marlin_TrackingCals&)> onTracking;
    std::function<std::int8_t(Veltrix::Marlin::Native::vx_marlin_InitCals&)> onInit;
    std::function<std::int8_t(bool&)> onTwoStage;
    void status(std::int8_t value) { status_ = value; }

private:
    std::string id_;
    std::vector<std::string>* log_;
    std::int8_t status_;
};
