#pragma once
// Profile development: turns a blueprint into a complete profile. The filter
// designer runs on the profile's own copy of the blueprint unless that copy
// is already designed; the profile is then assembled on a fresh working
// profile, which reaches the caller only when every step succeeded.

#include <array>
#include <cstdint>

#include "engine/DesignCriteria.h"
#include "plover/blueprint/Blueprint.h"
#include "plover/design/FilterDesigner.h"
#include "plover/profile/Profile.h"

namespace Veltrix::Marlin::Native {

// What a development may tell its caller besides the profile; nothing yet.
struct DesignSummary {};

// The range a designed system clock must lie in: from the expanded search's
// floor to the ceiling.
inline constexpr std::uint32_t ExpandedSystemClockFloor_Hz = 150000000;
inline constexpr std::uint32_t SystemClockCeiling_Hz = 200000000;

class ProfileArchitect : public FilterDesigner {
public:
    ProfileArchitect() { designCriteria.DefaultDesignCriteria_Initialize(false); }

    // Fills `profile` from `blueprint`; 0 on success, the failing step's
    // status otherwise. The profile's blueprint always becomes the caller's
    // (designed when the design got that far); the rest of the profile
    // changes only on success. `redesign` designs even a designed blueprint.
    std::int8_t Profile_Develop(Profile& profile, DesignSummary& summary, const MarlinBlueprint& blueprint,
                                bool redesign);
    std::int8_t Profile_Develop(Profile& profile, DesignSummary& summary, const MarlinBlueprint& blueprint)
    {
        return Profile_Develop(profile, summary, blueprint, false);
    }

    DesignCriteria designCriteria;

protected:
    // Assembles the whole profile from a designed blueprint into `profile`.
    std::int8_t Profile_Assemble(Profile& profile) const;
};

// The one system clock every enabled channel of a designed blueprint runs
// on, range-checked (150 to 200 MHz inclusive). 0 or -1 after an ERROR line.
// Stage bytes of any value are safe: products saturate instead of wrapping.
std::int8_t SystemClock_Calculate(const MarlinBlueprint& blueprint, std::uint32_t& systemClock_Hz);

// The receive blueprint of the observation and loop-back receivers of a
// transmitter: its channel settings, the loop-back analog filter and the
// receive chain derived from its transmit chain.
RxChannelBlueprint LoopbackBlueprint_Derive(const TxChannelBlueprint& tx);

}  // namespace Veltrix::Marlin::Native
