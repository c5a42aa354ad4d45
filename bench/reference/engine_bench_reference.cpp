// engine_bench's cases against the previous implementation; the floor as it
// was written before the vector kernels.
#include "engine_cases.h"

namespace {

void FloorPass(std::vector<double>& grid, std::vector<double>& response, const std::vector<double>& magnitude,
               double step)
{
    for (std::size_t k = 0; k < grid.size(); ++k) {
        grid[k] = step * static_cast<double>(k);
    }
    for (std::size_t k = 0; k < response.size(); ++k) {
        response[k] = 20.0 * std::log10(magnitude[k]);
    }
}

void ChainDb(const std::vector<ResponseStage>& stages, std::vector<double>& table, std::vector<double>& dB,
             ResponseWorkspace& workspace)
{
    ChainResponse_Tabulate(stages, table.size(), table, {}, workspace);
    for (std::size_t k = 0; k < table.size(); ++k) {
        dB[k] = 20.0 * std::log10(table[k]);
    }
}

}  // namespace
