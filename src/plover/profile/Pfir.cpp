#include "plover/profile/Pfir.h"

#include "plover/filters/ChannelFilter.h"

namespace Veltrix::Marlin::Native {

Pfir::Pfir() : marlin_PfirBuffer_t{}
{
    const marlin_PfirWbNbBuffer_t unity = ChannelFilter_Lookup(ChannelFilterSelect::Unity).buffer;
    pfirRxWbNbChFilterCoeff_A = unity;
    pfirRxWbNbChFilterCoeff_B = unity;
    pfirRxWbNbChFilterCoeff_C = unity;
    pfirRxWbNbChFilterCoeff_D = unity;
}

Pfir::Pfir(const marlin_PfirBuffer_t& buffer) : marlin_PfirBuffer_t(buffer)
{
}

}  // namespace Veltrix::Marlin::Native
