#pragma once
/// @file
/// What a person asks of a design besides the profile itself: a channel's
/// response over a chosen span with its figures, the filters of a designed
/// path as numbers, the chains as named stages, the modelling search on its
/// own, and the catalogue of features. The tool, the Python package and the
/// web server all answer through these operations.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "host/FeatureCatalogue.h"
#include "host/MarlinBlueprint.h"
#include "host/Profile.h"

namespace Veltrix::Marlin {

/// The part of the response grid (0 up to the converter clock, 4,194,304
/// points) a caller wants, by name or as a range in Hz.
///
/// @code
/// auto passband = Veltrix::Marlin::ResponseSpan::Named("passband");
/// auto around = Veltrix::Marlin::ResponseSpan::Range(0.0, 40e6);  // 0 .. 40 MHz
/// @endcode
struct ResponseSpan {
    /// How the span is chosen; rate and bandwidth are the channel's.
    enum class Preset {
        Default,   ///< passband, transition and the first alias or image band: 0 .. rate + bandwidth / 2
        Passband,  ///< 0 .. bandwidth / 2
        Output,    ///< the output's own Nyquist band: 0 .. rate / 2
        Full,      ///< every grid point
        Range,     ///< start_Hz .. stop_Hz
    };
    Preset preset = Preset::Default;  ///< how the span is chosen
    double start_Hz = 0.0;            ///< first frequency in Hz (Preset::Range only)
    double stop_Hz = 0.0;             ///< last frequency in Hz (Preset::Range only)

    /// start_Hz .. stop_Hz in Hz; checked when used (Analysis::Response_Get).
    static ResponseSpan Range(double start_Hz, double stop_Hz) { return {Preset::Range, start_Hz, stop_Hz}; }
    /// "default", "passband", "output" or "full"; std::invalid_argument otherwise.
    static ResponseSpan Named(const std::string& name);
};

/// One part of the path on its own, on the same axis as the response.
struct ResponsePart {
    std::string name;  ///< "front" (analog filter and converter), then the filters as Coefficients_Get names them
    std::vector<double> magnitude_dB;  ///< this part's magnitude in dB, one value per frequency_Hz point
};

/// A channel's response over a span, with the figures of the whole path
/// (Analysis::Response_Get).
struct ChannelResponse {
    std::vector<double> frequency_Hz;  ///< the grid's own points inside the span
    std::vector<double> magnitude_dB;  ///< the whole path's magnitude in dB at each frequency_Hz point
    std::vector<ResponsePart> parts;   ///< filled when asked for
    double start_Hz = 0.0;             ///< the span as resolved, clipped to the grid
    double stop_Hz = 0.0;              ///< end of the span as resolved, in Hz
    double step_Hz = 0.0;              ///< grid resolution
    std::size_t gridPoints = 0;        ///< points of the whole grid (not only the span)
    /// Passband ripple in dB, a figure of the whole grid whatever the span:
    /// the spread of the magnitude over 0 .. bandwidth / 2.
    double ripple_dB = 0.0;
    /// Rejection in dB, a figure of the whole grid whatever the span: the
    /// passband's lowest level above the highest level from
    /// rate - bandwidth / 2 up to the converter clock, everything that folds
    /// onto the passband (receive: aliases) or that the converter images put
    /// beside it (transmit).
    double rejection_dB = 0.0;
    double rate_Hz = 0.0;              ///< the channel's output (Rx) or input (Tx) rate
    double bandwidth_Hz = 0.0;         ///< the channel's RF bandwidth in Hz
    double converterClock_Hz = 0.0;    ///< ADC (Rx) or DAC (Tx)
    double systemClock_Hz = 0.0;       ///< the profile's system clock in Hz
};

/// The whole grid, kept in the engine's own buffer: View() hands it out
/// without a copy (the Python package wraps it as an array).
struct ResponseGrid {
    std::vector<double> magnitude_dB;  ///< the whole path's magnitude in dB at every grid point
    double start_Hz = 0.0;             ///< frequency of the first point, in Hz
    double step_Hz = 0.0;              ///< grid resolution in Hz
    /// The magnitudes without a copy; valid while the grid lives unchanged.
    std::span<const double> View() const { return magnitude_dB; }
};

/// One filter of a designed path.
struct PathFilterCoefficients {
    std::string name;       ///< "SINC6", "HB2", "DEC3", ..., "COMP21" (the compensation FIR)
    double rate_Hz = 0.0;   ///< the rate it runs at (its converter-side rate)
    int factor = 1;         ///< decimation (Rx) or interpolation (Tx); 1 keeps the rate
    std::vector<double> taps;               ///< floating point, unity 1.0
    std::vector<std::int32_t> fixedTaps;    ///< the integers the hardware holds
    double unity = 1.0;                     ///< the integer that stands for 1.0
};

/// A stage that changes the rate, in order from the converter to the host.
struct ChainStage {
    std::string name;          ///< the filter's name, as in PathFilterCoefficients::name
    int factor = 1;            ///< decimation (Rx) or interpolation (Tx)
    double rate_Hz = 0.0;      ///< converter side
    double hostRate_Hz = 0.0;  ///< host side: rate_Hz / factor
};

/// The chain of one channel in use (Analysis::Overview_Get).
struct ChannelChain {
    std::string channel;    ///< "RX1", "TX2", ...
    std::string converter;  ///< "ADC" or "DAC"
    double converterClock_Hz = 0.0;     ///< the converter's clock in Hz
    double rate_Hz = 0.0;               ///< host-side sampling rate in Hz
    double bandwidth_Hz = 0.0;          ///< RF bandwidth in Hz
    std::optional<double> ssiClock_Hz;  ///< host-facing channels whose format the SSI rules accept
    std::vector<ChainStage> stages;     ///< the rate-changing stages, converter first
    double ratio = 1.0;                 ///< converter clock over rate
    std::vector<std::string> filters;   ///< every filter in use, rate-keeping ones included
    /// "ADC 2211.84 MHz → SINC6 ×6 → ... → 30.72 MHz"
    std::string Text() const;
};

/// A designed profile at a glance (Analysis::Overview_Get, Analysis::Design).
struct DesignOverview {
    double systemClock_Hz = 0.0;         ///< the system clock in Hz
    double processorClock_Hz = 0.0;      ///< the processor clock in Hz
    double pllLockWait_us = 0.0;         ///< RF PLL lock wait in µs
    double pllPhaseSyncWait_us = 0.0;    ///< PLL phase-sync wait in µs
    std::vector<ChannelChain> channels;  ///< every channel in use
    std::vector<std::string> reports;    ///< the report lines collected during the design
};

/// The modelling search on its own: chains for the given rates without any
/// lookup table (the designer tries its tables first, so the two may differ).
///
/// @code
/// Veltrix::Marlin::ChainsRequest request;
/// request.rxRate_Hz = 30720000;       // 30.72 MHz
/// request.rxBandwidth_Hz = 20000000;  // 20 MHz
/// auto outcome = Veltrix::Marlin::Analysis::Chains_Find(request);
/// if (!outcome.found) std::cerr << outcome.cause << '\n';
/// @endcode
struct ChainsRequest {
    /// What the search optimises.
    enum class Goal {
        MaximizeBandwidth,  ///< the widest passband the chains allow
        TargetRipple,       ///< chains whose passband ripple meets targetRipple_dB
        MinimizeRipple,     ///< the lowest passband ripple
    };
    std::uint32_t rxRate_Hz = 0;       ///< receive sampling rate in Hz
    std::uint32_t rxBandwidth_Hz = 0;  ///< receive RF bandwidth in Hz
    std::uint32_t txRate_Hz = 0;  ///< 0: no transmit direction
    std::uint32_t txBandwidth_Hz = 0;  ///< transmit RF bandwidth in Hz
    Goal goal = Goal::MaximizeBandwidth;  ///< what the search optimises
    std::optional<double> targetRipple_dB;  ///< required by TargetRipple
    std::uint32_t minClock_Hz = 160000000;  ///< lowest system clock to try, in Hz
    std::uint32_t maxClock_Hz = 200000000;  ///< highest system clock to try, in Hz
};

/// How far Analysis::Chains_Find has come, handed to its progress callback.
struct ChainsProgress {
    std::size_t ratiosVisited = 0;  ///< clock ratios tried so far
    std::size_t ratioCount = 0;     ///< clock ratios the search tries in all
    std::size_t pairsDesigned = 0;  ///< chain pairs designed so far
    double bestRipple_dB = 0.0;     ///< lowest ripple found so far, in dB
};

/// The answer of Analysis::Chains_Find.
struct ChainsOutcome {
    bool found = false;          ///< chains were found; otherwise cause says why
    std::int32_t status = 0;     ///< the engine's status
    std::string cause;           ///< why nothing was found, in words
    double systemClock_Hz = 0.0; ///< the system clock of the chains found, in Hz
    std::vector<int> rxChain;    ///< one factor a stage position, converter first
    std::vector<int> txChain;    ///< as rxChain; empty without a transmit direction
    double rxRipple_dB = 0.0;    ///< passband ripple of the receive chain, in dB
    double txRipple_dB = 0.0;    ///< passband ripple of the transmit chain, in dB
    /// Rx 1 (and Tx 1) at the requested rates with data paths pinned to the
    /// chains found: designing it gives these chains and this clock.
    std::optional<MarlinBlueprint> blueprint;
};

/// Questions about a design: responses, coefficients, chains, the modelling
/// search and the feature catalogue. Every member is static.
///
/// @code
/// using namespace Veltrix::Marlin;
/// MarlinBlueprint blueprint;
/// blueprint.Load("mine.json");
/// Profile profile;
/// DesignOverview overview;
/// if (Analysis::Design(profile, overview, blueprint) == 0) {
///     ChannelResponse response;
///     Analysis::Response_Get(response, profile, PortRx, 1, ResponseSpan::Named("passband"));
///     // response.ripple_dB, response.rejection_dB, response.magnitude_dB ...
/// }
/// @endcode
class Analysis {
public:
    /// The response of Rx or Tx (PortRx, PortTx) channel 1 or 2 of a designed
    /// profile over span, parts when asked. 0 on success; -1 when the passband
    /// ripple exceeds 0.1 dB (the response is filled in all the same, as with
    /// FrequencyResponse_Get) or, after an ERROR line, when the channel is
    /// disabled or carries no designed path. std::invalid_argument for a
    /// channel number or port that does not exist or a span that lies outside
    /// the grid or is empty.
    static std::int8_t Response_Get(ChannelResponse& response, const Profile& profile, std::int32_t port,
                                    std::int32_t channelNumber, const ResponseSpan& span, bool parts = false);
    /// The whole grid; statuses as FrequencyResponse_Get.
    static std::int8_t ResponseGrid_Get(ResponseGrid& grid, const Profile& profile, std::int32_t port,
                                        std::int32_t channelNumber);

    /// The filters of the channel's designed path, from the converter to the
    /// host. 0, or -1 after an ERROR line as Response_Get.
    static std::int8_t Coefficients_Get(std::vector<PathFilterCoefficients>& filters, const Profile& profile,
                                        std::int32_t port, std::int32_t channelNumber);

    /// The chains of a designed profile.
    static DesignOverview Overview_Get(const Profile& profile);
    /// Develops the profile (as ProfileArchitect::Profile_Develop) and gives
    /// its overview with the report lines of this design; the status as
    /// Profile_Develop's, the overview filled only on success (its reports
    /// always).
    static std::int8_t Design(Profile& profile, DesignOverview& overview, MarlinBlueprint& blueprint,
                              bool forceRedesign = false);

    /// std::invalid_argument for a request no search can answer (a zero
    /// rate, a bandwidth above its rate, clock bounds the wrong way round, a
    /// target-ripple goal without a target); progress, when given, sees the
    /// search move on. With wantBlueprint, a found outcome carries the pinned
    /// blueprint (left empty, with the designer's report lines recorded, when
    /// no blueprint with those chains can be completed).
    static ChainsOutcome Chains_Find(const ChainsRequest& request,
                                     const std::function<void(const ChainsProgress&)>& progress = {},
                                     bool wantBlueprint = false);

    /// Every feature a blueprint can enable (FeatureCatalogue::All()).
    static const std::vector<FeatureDescription>& Features_List() { return FeatureCatalogue::All(); }
};

}  // namespace Veltrix::Marlin
