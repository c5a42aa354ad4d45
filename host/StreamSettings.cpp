#include "host/StreamSettings.h"

namespace Veltrix::Marlin {

StreamSettingsRecord StreamSettings::GetManaged() const
{
    const Runnel::MarlinSettings& s = Object();
    return {s.tx1IntLo(),         s.tx1FMDM(),         s.tx2IntLo(),       s.tx2FMDM(),
            s.rx1IntLo(),         s.rx1A(),            s.rx2IntLo(),       s.rx2A(),
            s.pll1LockWait(),     s.pll2LockWait(),    s.pllPhaseSyncWait(), s.ldoPowerUpWait(),
            s.delay_80ns(),       s.delay_1us(),       s.rx1PortImpedanceControl(), s.rx2PortImpedanceControl()};
}

std::string StreamSettings::JsonSchema_Get()
{
    return Runnel::MarlinSettings::JsonSchema().dump(2) + "\n";
}

}  // namespace Veltrix::Marlin
