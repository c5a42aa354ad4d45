#pragma once
// Every report line the design library emits, once: the unit and line the
// report names, its level, and its text, "{}" standing for a part filled in at
// run time. Users quote these lines back to us, so a change to one is a change
// to the product; tests/plover/base/ReportTextsTest.cpp checks each row against
// the place that emits it, and behaviour tests name a report by unit and line
// instead of repeating its text.
//
// Level "THROWN" is a recorded error: thrown as std::runtime_error whose text
// is "In <unit> on line <n>: <text>", with no level in front.

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace PloverTest {

struct ReportText {
    const char* unit;  // the file name the report carries, below src\plover
    int line;
    const char* level;  // "ERROR", "WARNING" or "THROWN"
    const char* text;
};

inline const std::vector<ReportText>& ReportTexts()
{
    static const std::vector<ReportText> table{
        // Blueprint
        {"Blueprint", 268, "ERROR", "Invalid System Duplex.  Must be TDD, FDD or TDM_FDD."},
        {"Blueprint", 291, "ERROR", "Invalid LO Mapping."},
        {"Blueprint", 333, "ERROR", "External LO Sources are conflicting.  RX1 = {}, RX2 = {}, TX1 = {}, TX2 = {}"},
        {"Blueprint", 361, "THROWN", "Unsupported vx_marlin_LoSel_e"},
        {"Blueprint", 402, "ERROR", "Unable to write the blueprint file \"{}\"."},
        {"Blueprint", 438, "THROWN", "Error: File not found."},
        {"Blueprint.h", 192, "THROWN", "Unrecognized SSI data format."},
        {"DataPath.h", 108, "ERROR", "Decimation override index out of range."},
        {"DataPath.h", 181, "ERROR", "Interpolation override index out of range."},
        {"DataPath.h", 322, "ERROR", "Unable to set the preprocessor interpolation."},
        {"DataPath.h", 333, "ERROR", "Current configuration does not support a preprocessor interpolation of {}."},
        // Design
        {"Utilities", 31, "THROWN", "Unable to resolve the channel number"},
        {"Utilities", 68, "THROWN", "Cannot convert given port and channelNumber to an RxChannel type"},
        {"Utilities", 92, "THROWN", "Channel type not recognized"},
        {"Utilities", 117, "THROWN", "Unrecognized channelType"},
        {"Utilities", 131, "THROWN", "Unable to resolve the channel number"},
        {"Utilities", 142, "THROWN", "Unable to resolve the channel number"},
        {"Utilities", 153, "THROWN", "Unsupported vx_marlin_LoSel_e"},
        {"Utilities", 171, "ERROR", "LVDS must have a data format of 16-bit or 12-bit I/Q data."},
        {"Utilities", 176, "ERROR", "LVDS must have number of lanes set to 2."},
        {"Utilities", 184, "ERROR", "CMOS cannot have a data format of 12-bit I/Q data."},
        {"Utilities", 189, "ERROR", "CMOS cannot have number of lanes set to 2."},
        {"Utilities", 196, "ERROR", "CMOS must have number of lanes set to 1 if data format is 16-bit I only data."},
        {"Utilities", 201, "ERROR", "CMOS must have number of lanes set to 1 or 4."},
        {"FilterDesigner", 201, "ERROR", "Target ripple not met"},
        {"FilterDesigner", 203, "ERROR", "Sampling rate not possible"},
        {"FilterDesigner", 205, "ERROR", "Sampling rate not possible due to algorithm constraints"},
        {"FilterDesigner", 207, "ERROR", "Sample rates between Rx1 <-> Rx2, and Tx1 <-> Tx2 are not the same"},
        {"FilterDesigner", 209, "ERROR", "VLIF not avaible due to modes selected (Stock profiles do not support VLIF)"},
        {"FilterDesigner", 211, "ERROR", "Arbitrary response verification not available in MIMO mode"},
        {"FilterDesigner", 213, "ERROR",
         "LIF/VLIF or HB22/WBLPF variation not available (Known case: hb22_wblpf_rx1=1, lif_vlif_rxX=2)"},
        {"FilterDesigner", 215, "ERROR", "Unknown error."},
        {"FilterDesigner", 326, "ERROR", "Unable to create profile."},
        {"FilterDesigner", 366, "ERROR", "Interface rate for Rx{} not supported"},
        {"FilterDesigner", 368, "ERROR", "System clock of Rx{} is too large to represent"},
        {"FilterDesigner", 380, "ERROR", "Interface rate for Tx{} not supported"},
        {"FilterDesigner", 382, "ERROR", "System clock of Tx{} is too large to represent"},
        {"FilterDesigner", 387, "ERROR", "No channels are enabled"},
        {"FilterDesigner", 392, "THROWN", "Unknown error calculating system clock"},
        {"FilterDesigner", 400, "ERROR", "No common system clock can be found"},
        {"FilterDesigner", 405, "ERROR", "No common system clock can be found"},
        {"FilterDesigner", 435, "ERROR", "VCO frequency resolution unattainable."},
        {"FilterDesigner", 459, "ERROR", "SSI number of lanes requested for Rx{} is not supported."},
        {"FilterDesigner", 463, "ERROR", "CMOS SSI interface requested for Rx{} cannot exceed {}."},
        {"FilterDesigner", 468, "ERROR", "SSI clock cannot be generated for the requested Rx{} interface rate."},
        {"FilterDesigner", 475, "ERROR", "The SSI data format requested for Rx{}does not support 4-lane interface."},
        {"FilterDesigner", 484, "ERROR", "LVDS SSI interface requested for Rx{} cannot exceed {}."},
        {"FilterDesigner", 487, "ERROR", "SSI clock cannot be generated for the requested Rx{} interface rate."},
        {"FilterDesigner", 494, "ERROR",
         "SSI configuration requested Rx{} is not fast enough to support the requested sampling rate."},
        {"FilterDesigner", 498, "ERROR",
         "SSI configuration requested Rx{} is not fast enough to support the requested interface rate."},
        {"FilterDesigner", 516, "ERROR", "SSI interface rate and sampling rate specified for Rx{} must not be 0."},
        {"FilterDesigner", 518, "ERROR",
         "SSI interface rate and sampling rate specified for Rx{} must have an integer ratio."},
        {"FilterDesigner", 530, "ERROR", "SSI number of lanes requested for Tx{} is not supported."},
        {"FilterDesigner", 534, "ERROR", "CMOS SSI interface requested for Tx{} cannot exceed {}."},
        {"FilterDesigner", 540, "ERROR", "SSI clock cannot be generated for the requested Tx{} interface rate."},
        {"FilterDesigner", 548, "ERROR", "LVDS SSI interface requested for Tx{} cannot exceed {}."},
        {"FilterDesigner", 551, "ERROR", "SSI clock cannot be generated for the requested Tx{} interface rate."},
        {"FilterDesigner", 558, "ERROR",
         "SSI configuration requested Tx{} is not fast enough to support the requested sampling rate."},
        {"FilterDesigner", 562, "ERROR",
         "SSI configuration requested Tx{} is not fast enough to support the requested interface rate."},
        {"FilterDesigner", 571, "ERROR", "The SSI data format requested for Tx{}is only valid for Rx channels."},
        {"FilterDesigner", 588, "ERROR", "SSI interface rate and sampling rate specified for Tx{} must not be 0."},
        {"FilterDesigner", 590, "ERROR",
         "SSI interface rate and sampling rate specified for Tx{} must have an integer ratio."},
        // Analysis
        {"FilterDesigner", 678, "WARNING", "filter design failed, where target ripple does not meet 0.1 dB"},
        {"FilterDesigner", 680, "WARNING", "Generated filter has large out of band gain"},
        {"FilterDesigner", 682, "WARNING",
         "When designing the low rate filter(102X), the analog filter bandwidth exceeds 86% sample rate at the low "
         "rate filter position."},
        {"FilterDesigner", 684, "WARNING", "Unsupported mode, Biquad cannot be used when low rate magcomp is enabled"},
        {"FilterDesigner", 736, "ERROR", "Error designing magnitude compensation filter"},
        {"FilterDesigner", 760, "ERROR",
         "The channel carries no designed data path and converter clock, so its frequency response cannot be "
         "computed."},
        {"Pfir", 63, "ERROR", "Unexpected error in magnitude compensation filter design for high-performance ADC"},
        {"Pfir", 91, "ERROR", "Unable to design magnitude compensation filters for high-performance ADC"},
        {"Pfir", 101, "ERROR", "Unexpected error in magnitude compensation filter design for low-power ADC"},
        {"Pfir", 133, "ERROR", "Unable to design magnitude compensation filters for low-power ADC"},
        // Profile
        {"Profile", 302, "ERROR", "Dynamic profile feature is not enabled."},
        {"Profile", 306, "ERROR", "Number of dynamic profiles out of range [2,6]: {}"},
        {"Profile", 417, "ERROR", "Rx{} is disabled."},
        {"Profile", 429, "ERROR", "Tx{} is disabled."},
        {"Profile", 434, "ERROR", "Cannot get frequency respoonse from ORx, ILB, or ELB."},
        {"Profile", 573, "ERROR", "Unable to write the profile file \"{}\"."},
        {"Profile", 603, "THROWN", "Error: File not found."},
        {"Profile", 612, "WARNING", "PLL phase sync needs a wait of {} us{}; the streams wait only {} us."},
        {"Profile", 668, "ERROR", "Unable to write the stream settings file \"{}\"."},
        {"Profile", 689, "ERROR", "Unable to write the stream image file \"{}\"."},
        {"DeviceSystem.h", 61, "THROWN", "Unrecognized duplex."},
        {"RxChannel", 29, "THROWN", "The specified sampling rate cannot be less than {} MSPS."},
        {"RxChannel", 33, "THROWN", "The specified sampling rate cannot be greater than {} MSPS."},
        {"RxChannel", 112, "ERROR", "Rx channel signal type for FM symbols is not supported"},
        {"RxChannel", 116, "ERROR", "Unrecognized Rx channel signal type"},
        {"RxChannel", 502, "THROWN", "P25 pulse shape filter not supported yet."},
        {"RxChannel", 507, "THROWN", "Unrecognized Rx signal setup."},
        {"RxChannel", 523, "ERROR", "Unrecognized AdcRate"},
        {"RxChannel", 537, "ERROR", "Unrecognized sincMux value"},
        {"RxChannel", 555, "ERROR", "Unrecognized hb012 value"},
        {"RxChannel", 578, "ERROR", "Unrecognized hb34 value"},
        {"RxChannel", 595, "ERROR", "Unrecognized hb56 value"},
        {"RxChannel.h", 163, "THROWN", "Unrecognized AdcBandwidth"},
        {"RxChannel.h", 188, "WARNING", "Analog filter bandwidth clamped."},
        {"RxChannel.h", 214, "THROWN", "Unrecognized channelType"},
        {"RxChannel.h", 231, "THROWN", "Unrecognized channelType"},
        {"TxChannel", 201, "ERROR", "Unrecognized DAC rate"},
        {"TxChannel", 236, "ERROR",
         "Signal type of IQ FM/FSK and Frequency offset correction enabled is not a supported combination."},
        {"TxChannel.h", 97, "ERROR", "Unrecognized Tx channel signal type"},
        {"ChannelFilter", 21, "THROWN", "Maximum number of channel filter coefficients is {}"},
        {"ChannelFilter", 106, "THROWN", "Unrecognized channel filter select"},
        {"PulseShapeFiltersLut", 22, "THROWN", "Too many coefficients. Max is 128"},
        {"PulseShapeFiltersLut", 55, "THROWN", "Unrecognized pulse shape filter select"},
        // Develop
        {"ProfileBuilder", 1003, "ERROR", "Device clock input of 0 kHz: the device needs a clock."},
        {"ProfileBuilder", 1017, "ERROR", "At least one channel needs to be enabled."},
        {"ProfileBuilder", 1024, "ERROR", "There is no common system clock frequency"},
        {"ProfileBuilder", 1030, "ERROR", "Systemm clock frequency out of range [160,200] MHz"},
        {"ProfileBuilder", 1092, "ERROR", "Unrecognized processor clock divisor."},
        {"ProfileBuilder", 1172, "ERROR", "Only ports Rx and Tx are supported"},
        {"ProfileBuilder", 1263, "ERROR", "ORx/ILB/ELB data path not configured."},
        // Features
        {"DynamicProfileFeature.h", 24, "ERROR", "Number of dynamic profiles out of range [1,6]: {}"},
        {"FrequencyHoppingFeature.h", 71, "ERROR", "Frequency hopping requires single channel operation to use Channel 1."},
        {"FrequencyHoppingFeature.h", 77, "ERROR",
         "For two channel operation either dual-hop mode must be enabled or diversity must be selected."},
        {"FrequencyHoppingFeature.h", 87, "ERROR", "Frequency hopping requires a signal type of I/Q."},
        {"FrequencyHoppingFeature.h", 97, "ERROR", "Frequency hopping requires internal LOs only."},
        {"FrequencyHoppingFeature.h", 104, "ERROR", "Frequency hopping requires a processor clock divisor of 1."},
    };
    return table;
}

inline std::string UnitPath(const std::string& unit) { return "..\\..\\..\\src\\plover\\" + unit; }

// The table's row for a unit and line; throws when there is none, so a test
// naming a report the table lacks fails.
inline const ReportText& ReportRow(const std::string& unit, int line)
{
    const auto& table = ReportTexts();
    const auto row = std::find_if(table.begin(), table.end(), [&](const ReportText& r) { return r.unit == unit && r.line == line; });
    if (row == table.end()) {
        throw std::invalid_argument("no report " + unit + " line " + std::to_string(line) + " in ReportTexts.h");
    }
    return *row;
}

// The full line the report emits, with its "{}" still in.
inline std::string ReportPattern(const std::string& unit, int line)
{
    const ReportText& row = ReportRow(unit, line);
    const std::string prefix = std::string(row.level) == "THROWN" ? "" : std::string(row.level) + ": ";
    return prefix + "In " + UnitPath(unit) + " on line " + std::to_string(line) + ": " + row.text;
}

// The full line the report emits, its "{}" filled from `parts` in order; a
// part too few or too many is the test's mistake and throws.
inline std::string ReportLine(const std::string& unit, int line, const std::vector<std::string>& parts = {})
{
    std::string text = ReportPattern(unit, line);
    std::size_t from = text.find(": ") + 2;
    for (const std::string& part : parts) {
        const auto at = text.find("{}", from);
        if (at == std::string::npos) throw std::invalid_argument("more parts than the report of line " + std::to_string(line) + " takes");
        text.replace(at, 2, part);
        from = at + part.size();
    }
    if (text.find("{}", from) != std::string::npos) {
        throw std::invalid_argument("the report of line " + std::to_string(line) + " takes more parts");
    }
    return text;
}

// Whether `text` is the report of that unit and line: the prefix and the
// table's text, each "{}" matching any run of characters.
inline bool IsReport(const std::string& text, const std::string& unit, int line)
{
    const std::string full = ReportPattern(unit, line);
    std::vector<std::string> pieces;
    std::size_t from = 0;
    for (std::size_t at; (at = full.find("{}", from)) != std::string::npos; from = at + 2) {
        pieces.push_back(full.substr(from, at - from));
    }
    pieces.push_back(full.substr(from));
    if (text.compare(0, pieces.front().size(), pieces.front()) != 0) return false;
    std::size_t position = pieces.front().size();
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        const bool last = i + 1 == pieces.size();
        const std::size_t found = last ? text.size() - std::min(text.size(), pieces[i].size()) : text.find(pieces[i], position);
        if (found == std::string::npos || found < position || text.compare(found, pieces[i].size(), pieces[i]) != 0) {
            return false;
        }
        position = found + pieces[i].size();
    }
    return pieces.size() > 1 || text.size() == full.size();
}

}  // namespace PloverTest
