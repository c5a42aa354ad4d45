#include "plover/analysis/ChannelResponse.h"

#include <sys/mman.h>

#include <cstdlib>
#include <memory>
#include <new>
#include <span>

#include "engine/ResponseEntries.h"
#include "plover/analysis/RxFilterDesigner.h"
#include "plover/analysis/TxFilterDesigner.h"
#include "plover/base/ErrorHandler.h"
#include "plover/profile/RxChannel.h"
#include "plover/base/SourceUnit.h"
#include "plover/profile/TxChannel.h"

namespace Veltrix::Marlin::Native {

namespace {

// The analysis grid the engine fills beside the response. Only its start and
// step are kept, but the engine needs all 32 MiB of it; mapping fresh pages
// for every call costs more than the evaluation itself, so each thread keeps
// one buffer (threads design side by side, and a shared one would be torn).
// It is never cleared, as every entry writes what it reads: a window
// evaluation touches only the half grid it tabulates and its inner stages'
// tables, which take the second grid's worth of room. Huge pages, where the
// system lends them, spare a one-shot process thousands of page faults.
std::span<double> GridBuffer()
{
    constexpr std::size_t Size = 2 * ResponseGridPoints;
    constexpr std::size_t HugePage = std::size_t{2} << 20;
    struct Free {
        void operator()(double* p) const { std::free(p); }
    };
    thread_local const std::unique_ptr<double[], Free> buffer = [] {
        constexpr std::size_t bytes = (Size * sizeof(double) + HugePage - 1) / HugePage * HugePage;
        auto* p = static_cast<double*>(std::aligned_alloc(HugePage, bytes));
        if (p == nullptr) {
            throw std::bad_alloc();
        }
#ifdef MADV_HUGEPAGE
        ::madvise(p, bytes, MADV_HUGEPAGE);
#endif
        return std::unique_ptr<double[], Free>(p);
    }();
    return {buffer.get(), Size};
}

// Runs a response entry; the engine clears and writes both buffers whole.
template <typename Request, typename Entry>
std::int8_t Response_Evaluate(const Request& request, Entry entry, std::vector<double>& magnitudes_dB,
                              double& initialFrequency_Hz, double& deltaFrequency_Hz)
{
    const std::span<double> grid_Hz = GridBuffer();
    magnitudes_dB.resize(ResponseGridPoints);
    std::uint8_t status = 0;
    entry(request, status, grid_Hz.data(), magnitudes_dB.data());
    initialFrequency_Hz = grid_Hz[0];
    deltaFrequency_Hz = grid_Hz[1] - grid_Hz[0];
    return static_cast<std::int8_t>(status);
}

// A channel read back from a profile file, or one whose converter was never
// configured, has no chain to evaluate; the engine would answer with an empty
// grid and a success status.
bool Evaluable(bool designed, std::uint32_t converterClock_kHz)
{
    if (designed && converterClock_kHz != 0) {
        return true;
    }
    ErrorHandler::Message(LogLevel::ERROR,
                          "The channel carries no designed data path and converter clock, so its frequency response "
                          "cannot be computed.",
                          SourceUnit::FilterDesigner, 760);
    return false;
}

RxFilterRequest ResponseRequest(const RxChannel& channel)
{
    // The path as built for wide-band operation: the wide corner of the analog filter order.
    const bool tia = channel.filterOrder == 1;
    RxFilterRequest request{};
    RxFilterDesigner{}.FilterRequest_Build(request, channel, 0, 1,
                                           channel.AnalogFilterCorner_Get(OperationalBandwidth::WIDE), tia ? 1 : 2,
                                           channel.adcType, channel.rippleTarget);
    return request;
}

TxFilterRequest ResponseRequest(const TxChannel& channel)
{
    TxFilterRequest request{};
    TxFilterDesigner{}.FilterRequest_Build(request, channel);
    return request;
}

template <typename Channel, typename Entry>
std::int8_t Window_Get(const Channel& channel, bool designed, std::uint32_t converterClock_kHz, Entry entry,
                       const GridBands& bands, bool parts, ResponseWindowResult& result)
{
    if (!Evaluable(designed, converterClock_kHz)) {
        return -1;
    }
    entry(ResponseRequest(channel), bands, parts, GridBuffer(), result);
    return static_cast<std::int8_t>(result.status);
}

}  // namespace

std::int8_t ChannelResponseWindow_Get(const RxChannel& channel, const GridBands& bands, bool parts,
                                      ResponseWindowResult& result)
{
    return Window_Get(channel, channel.dataPath.isDesigned(), channel.adcClk_kHz, Engine_RxResponseWindow, bands,
                      parts, result);
}

std::int8_t ChannelResponseWindow_Get(const TxChannel& channel, const GridBands& bands, bool parts,
                                      ResponseWindowResult& result)
{
    return Window_Get(channel, channel.dataPath.isDesigned(), channel.dacClk_kHz, Engine_TxResponseWindow, bands,
                      parts, result);
}

PathModel ChannelPath_Model(const RxChannel& channel, bool withCompensation)
{
    if (!channel.dataPath.isDesigned() || channel.adcClk_kHz == 0) {
        return {};
    }
    return RxPath_Model(ResponseRequest(channel), withCompensation);
}

PathModel ChannelPath_Model(const TxChannel& channel, bool withCompensation)
{
    if (!channel.dataPath.isDesigned() || channel.dacClk_kHz == 0) {
        return {};
    }
    return TxPath_Model(ResponseRequest(channel), withCompensation);
}

std::int8_t ChannelResponse_Get(const RxChannel& channel, std::vector<double>& magnitudes_dB,
                                double& initialFrequency_Hz, double& deltaFrequency_Hz)
{
    if (!Evaluable(channel.dataPath.isDesigned(), channel.adcClk_kHz)) {
        return -1;
    }
    return Response_Evaluate(ResponseRequest(channel), Engine_RxResponse, magnitudes_dB, initialFrequency_Hz, deltaFrequency_Hz);
}

std::int8_t ChannelResponse_Get(const TxChannel& channel, std::vector<double>& magnitudes_dB,
                                double& initialFrequency_Hz, double& deltaFrequency_Hz)
{
    if (!Evaluable(channel.dataPath.isDesigned(), channel.dacClk_kHz)) {
        return -1;
    }
    return Response_Evaluate(ResponseRequest(channel), Engine_TxResponse, magnitudes_dB, initialFrequency_Hz, deltaFrequency_Hz);
}

}  // namespace Veltrix::Marlin::Native
