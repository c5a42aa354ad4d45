#pragma once
// The example blueprints loaded and developed the way the tool does it.

#include <cstdint>
#include <string>

#include "plover/develop/ProfileBuilder.h"
#include "support/Files.h"

namespace PloverTest {

inline Veltrix::Marlin::Native::MarlinBlueprint Example(const std::string& name)
{
    Veltrix::Marlin::Native::MarlinBlueprint blueprint;
    blueprint.Load(ExamplePath(name));
    return blueprint;
}

inline std::int8_t Develop(Veltrix::Marlin::Native::Profile& profile,
                           const Veltrix::Marlin::Native::MarlinBlueprint& blueprint, bool redesign = false)
{
    Veltrix::Marlin::Native::ProfileArchitect architect;
    Veltrix::Marlin::Native::DesignSummary summary;
    return architect.Profile_Develop(profile, summary, blueprint, redesign);
}

}  // namespace PloverTest
