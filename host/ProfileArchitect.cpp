#include "host/ProfileArchitect.h"

namespace Veltrix::Marlin {

std::int8_t ProfileArchitect::Profile_Develop(Profile& profile, DesignSummary& summary, MarlinBlueprint& blueprint,
                                              bool forceRedesign)
{
    Native::ProfileArchitect architect;
    return architect.Profile_Develop(*profile.GetInstance(), summary, blueprint.ToNative(), forceRedesign);
}

}  // namespace Veltrix::Marlin
