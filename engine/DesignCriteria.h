#pragma once
// Search parameters a design run carries from its caller through the filter
// designer to the engine's chain selection, unchanged. It lives with the
// engine because the engine reads it and must not depend on the design layer.
// Each field has a getter and a setter of the same name.

#include <cstdint>

namespace Veltrix::Marlin::Native {

class DesignCriteria {
public:
    static constexpr std::uint32_t DefaultMinSystemClock_Hz = 160000000;
    static constexpr std::uint32_t ExpandedMinSystemClock_Hz = 150000000;
    static constexpr std::uint32_t DefaultMaxSystemClock_Hz = 200000000;

    DesignCriteria() { DefaultDesignCriteria_Initialize(false); }

    // Restores every default but isDebug; responseIgnored selects mode 2.
    std::int8_t DefaultDesignCriteria_Initialize(bool responseIgnored);
    std::int8_t Design_Initialize() { return DefaultDesignCriteria_Initialize(false); }

    std::uint8_t searchMode() const { return searchMode_; }
    void searchMode(std::uint8_t value) { searchMode_ = value; }
    bool isRxSearchBifurcated() const { return isRxSearchBifurcated_; }
    void isRxSearchBifurcated(bool value) { isRxSearchBifurcated_ = value; }
    bool isTxSearchBifurcated() const { return isTxSearchBifurcated_; }
    void isTxSearchBifurcated(bool value) { isTxSearchBifurcated_ = value; }
    std::uint32_t minSystemClock() const { return minSystemClock_; }
    void expandedSearchEnable(bool enable)
    {
        minSystemClock_ = enable ? ExpandedMinSystemClock_Hz : DefaultMinSystemClock_Hz;
    }
    // Free choice of the lower bound, for tools and tests that probe other clock ranges.
    void minSystemClock(std::uint32_t value) { minSystemClock_ = value; }
    std::uint32_t maxSystemClock() const { return maxSystemClock_; }
    void maxSystemClock(std::uint32_t value) { maxSystemClock_ = value; }
    double targetRipple() const { return targetRipple_; }
    void targetRipple(double value) { targetRipple_ = value; }
    bool isRscicSearchFirst() const { return isRscicSearchFirst_; }
    void isRscicSearchFirst(bool value) { isRscicSearchFirst_ = value; }
    bool isDebug() const { return isDebug_; }
    void isDebug(bool value) { isDebug_ = value; }
    // 0 normal, 1 stop at the first feasible clock, 2 search clocks without
    // designing filters. The setter only ever stores 0 or 2.
    std::uint8_t isResponseIgnored() const { return isResponseIgnored_; }
    void isResponseIgnored(bool value) { isResponseIgnored_ = value ? 2 : 0; }
    // The engine's search modes take any byte; tests and tools set mode 1 here.
    void isResponseIgnoredMode(std::uint8_t mode) { isResponseIgnored_ = mode; }
    bool useExtendedLookup() const { return useExtendedLookup_; }
    void useExtendedLookup(bool value) { useExtendedLookup_ = value; }
    bool useModelingSearch() const { return useModelingSearch_; }
    void useModelingSearch(bool value) { useModelingSearch_ = value; }

private:
    std::uint8_t searchMode_ = 0;
    bool isRxSearchBifurcated_ = true;
    bool isTxSearchBifurcated_ = true;
    std::uint32_t minSystemClock_ = DefaultMinSystemClock_Hz;
    std::uint32_t maxSystemClock_ = DefaultMaxSystemClock_Hz;
    double targetRipple_ = 0.1;
    bool isRscicSearchFirst_ = true;
    bool isDebug_ = false;
    std::uint8_t isResponseIgnored_ = 0;
    bool useExtendedLookup_ = true;
    bool useModelingSearch_ = false;
};

inline std::int8_t DesignCriteria::DefaultDesignCriteria_Initialize(bool responseIgnored)
{
    searchMode_ = 0;
    isRxSearchBifurcated_ = true;
    isTxSearchBifurcated_ = true;
    minSystemClock_ = DefaultMinSystemClock_Hz;
    maxSystemClock_ = DefaultMaxSystemClock_Hz;
    targetRipple_ = 0.1;
    isRscicSearchFirst_ = true;
    isResponseIgnored_ = responseIgnored ? 2 : 0;
    useExtendedLookup_ = true;
    useModelingSearch_ = false;
    return 0;
}

}  // namespace Veltrix::Marlin::Native
