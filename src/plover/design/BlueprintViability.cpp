// Whether a blueprint can be designed at all: the filter designer's chain
// search, run on a private copy so that the caller's blueprint stays as it is.

#include "plover/blueprint/Blueprint.h"
#include "plover/design/FilterDesigner.h"

namespace Veltrix::Marlin::Native {

bool MarlinBlueprint::isViable() const
{
    MarlinBlueprint copy(*this);
    DesignCriteria criteria;
    criteria.searchMode(0);
    criteria.isRxSearchBifurcated(true);
    criteria.isTxSearchBifurcated(true);
    criteria.expandedSearchEnable(false);
    criteria.maxSystemClock(DesignCriteria::DefaultMaxSystemClock_Hz);
    criteria.targetRipple(0.1);
    criteria.isRscicSearchFirst(true);
    criteria.isDebug(false);
    criteria.isResponseIgnored(true);
    criteria.useExtendedLookup(true);
    criteria.useModelingSearch(false);

    FilterDesigner designer;
    std::uint8_t status = designer.Design(copy, criteria, true);
    if (status != 0 && copy.expandedSearchEnable) {
        // A second attempt with the clock floor lowered to 150 MHz.
        criteria.expandedSearchEnable(true);
        status = designer.Design(copy, criteria, true);
    }
    return status == 0;
}

}  // namespace Veltrix::Marlin::Native
