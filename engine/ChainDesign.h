#pragma once
// Chain selection: one decimation chain per Rx path and one interpolation
// chain per Tx path of both channels, all on one common system clock.

#include <cstdint>
#include <string>

#include "engine/DesignCriteria.h"
#include "engine/EngineRecords.h"

namespace Veltrix::Marlin::Native {

// What the lookups and the modelling search read during one Engine_DesignChains
// call; built from the criteria and the first channel record, then dropped.
struct EngineContext {
    // Rx stage vector head: rxHead0, the fixed 2, rxHead1.
    double rxHead0 = 0.0;
    double rxHeadFixed = 2.0;
    double rxHead1 = 0.0;
    double rxReferenceRate_Hz = 0.0;
    double txReferenceRate_Hz = 0.0;
    // Tx stage vector head as written to the Tx stage bytes 0 and 1.
    double txHead0Stage = 1.0;  // 3 when txHead0 is non-zero, else 1
    double txHead1Stage = 1.0;  // txHead1 + 1

    double minSystemClock_Hz = 0.0;
    double maxSystemClock_Hz = 0.0;
    double targetRipple_dB = 0.0;
    std::string goal;  // "MaximizeChannelBandwidth", "TargetChannelRipple", "MinimizeChannelRipple" or empty

    bool isDebug = false;
    bool isRscicSearchFirst = true;
    bool useExtendedLookup = true;
    bool useModelingSearch = false;
    bool secondChannelUsed = false;
    bool firstRxDisabled = false;
    bool firstTxDisabled = false;
    bool secondRxDisabled = false;
    bool secondTxDisabled = false;

    std::string bandTag;  // "NB" or "WB", chosen by the modelling search
    std::uint8_t isRxSearchBifurcated = 1;
    std::uint8_t isTxSearchBifurcated = 1;
    std::uint8_t isResponseIgnored = 0;

    // Selectors the modelling search keeps for its variant choices (Tx stays 0 there).
    std::uint8_t lifSelect = 0;
    std::uint8_t rxHb22WblpfSelect = 0;
    std::uint8_t txHb22WblpfSelect = 0;
};

// The context of one design call: the stage heads and reference rates of `first`
// and every search switch of the criteria.
EngineContext MakeContext(const DesignCriteria& criteria, const ChannelDesignRecord& first);

// The goal text of a searchMode byte; empty for an unknown mode.
std::string DesignGoal_FromSearchMode(std::uint8_t searchMode);

// The chains and ripples chain selection settles, one per direction.
struct ChainSelection {
    StageCodes firstRx{};
    StageCodes firstTx{};
    StageCodes secondRx{};
    StageCodes secondTx{};
    double firstRxRipple_dB = 1000000.0;
    double firstTxRipple_dB = 1000000.0;
    double secondRxRipple_dB = 1000000.0;
    double secondTxRipple_dB = 1000000.0;
};

// Chooses the chains of both channels. `first` is the record of channel index 1
// unless that channel has nothing enabled (then the caller passes channel 2
// first). The outputs must be zeroed by the caller; their status fields receive
// the returned status. Statuses: ChainStatus.
// The variant selections (converter half-band pair, HB22 or WBLPF) that go
// with the chains rx and tx under the record's selectors, written into the
// rxStage21..23 and txStage21 fields of output, as every chain design does.
void ChainVariants_Get(const ChannelDesignRecord& record, const StageCodes& rx, const StageCodes& tx,
                       ChannelDesignOutput& output);

std::int8_t Engine_DesignChains(const DesignCriteria& criteria,
                                const ChannelDesignRecord& first,
                                const ChannelDesignRecord& second,
                                ChannelDesignOutput& firstOutput,
                                ChannelDesignOutput& secondOutput);

}  // namespace Veltrix::Marlin::Native
