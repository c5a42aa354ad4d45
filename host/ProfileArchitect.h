#pragma once
/// @file
/// Develops a profile from a blueprint handle: the children go into the engine
/// blueprint first, so what the host edited is what gets designed.

#include <cstdint>

#include "host/MarlinBlueprint.h"
#include "host/Profile.h"
#include "plover/develop/ProfileBuilder.h"

namespace Veltrix::Marlin {

using Native::DesignSummary;

/// Designs profiles from blueprints.
///
/// @code
/// using namespace Veltrix::Marlin;
/// MarlinBlueprint blueprint;
/// blueprint.Load("examples/lte-20mhz-2t2r-tdd.json");
/// Profile profile;
/// DesignSummary summary;
/// if (ProfileArchitect::Profile_Develop(profile, summary, blueprint) != 0) {
///     ErrorHandler::ThrowLastError();  // the ERROR line says why
/// }
/// profile.Save("mine.profile.json");
/// @endcode
class ProfileArchitect {
public:
    /// Designs profile from blueprint (the children copied in first) and fills
    /// summary. 0 on success, the failing step's status otherwise (reports say
    /// why, through ErrorHandler). The profile's blueprint always becomes the
    /// caller's (designed when the design got that far); the rest of the
    /// profile changes only on success. A blueprint whose enabled channels all
    /// carry designed data paths is taken as it is unless forceRedesign.
    /// std::logic_error for a disposed profile or blueprint handle.
    static std::int8_t Profile_Develop(Profile& profile, DesignSummary& summary, MarlinBlueprint& blueprint,
                                       bool forceRedesign);
    /// As the four-argument form without forcing a redesign.
    static std::int8_t Profile_Develop(Profile& profile, DesignSummary& summary, MarlinBlueprint& blueprint)
    {
        return Profile_Develop(profile, summary, blueprint, false);
    }
};

}  // namespace Veltrix::Marlin
