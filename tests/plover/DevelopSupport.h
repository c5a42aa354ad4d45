#pragma once
// Loading the example blueprints and developing profiles from them.

#include <string>

#include "plover/develop/ProfileBuilder.h"

inline std::string ExamplePath(const std::string& name)
{
    return std::string(PLOVER_SOURCE_DIR) + "/examples/" + name + ".json";
}

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

inline std::string ProfileBuilderError(int line, const std::string& text)
{
    return "ERROR: In ..\\..\\..\\src\\plover\\ProfileBuilder on line " + std::to_string(line) + ": " + text;
}
