#pragma once
// Develops a profile from a blueprint handle: the children go into the engine
// blueprint first, so what the host edited is what gets designed.

#include <cstdint>

#include "host/MarlinBlueprint.h"
#include "host/Profile.h"
#include "plover/develop/ProfileBuilder.h"

namespace Veltrix::Marlin {

using Native::DesignSummary;

class ProfileArchitect {
public:
    // 0 on success, the failing step's status otherwise (reports say why).
    static std::int8_t Profile_Develop(Profile& profile, DesignSummary& summary, MarlinBlueprint& blueprint,
                                       bool forceRedesign);
    static std::int8_t Profile_Develop(Profile& profile, DesignSummary& summary, MarlinBlueprint& blueprint)
    {
        return Profile_Develop(profile, summary, blueprint, false);
    }
};

}  // namespace Veltrix::Marlin
