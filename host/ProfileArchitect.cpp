#include "host/ProfileArchitect.h"

#include <stdexcept>

namespace Veltrix::Marlin {

std::int8_t ProfileArchitect::Profile_Develop(Profile& profile, DesignSummary& summary, MarlinBlueprint& blueprint,
                                              bool forceRedesign)
{
    if (profile.GetInstance() == nullptr) {
        throw std::logic_error("The handle has been disposed.");
    }
    Native::ProfileArchitect architect;
    return architect.Profile_Develop(*profile.GetInstance(), summary, blueprint.ToNative(), forceRedesign);
}

}  // namespace Veltrix::Marlin
