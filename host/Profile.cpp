#include "host/Profile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <stdexcept>

#include "plover/base/ErrorHandler.h"
#include "plover/base/FileIo.h"
#include "plover/records/ProfileRecordsJson.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin {

namespace {

std::size_t ChannelIndexOf(std::int32_t channelNumber)
{
    if (channelNumber != 1 && channelNumber != 2) {
        throw std::invalid_argument("Channel number not recognized.");
    }
    return static_cast<std::size_t>(channelNumber - 1);
}

nlohmann::json RxJson(const Native::vx_tarpon_RxDynamicProfile& p)
{
    return {{"rxOutputRate_Hz", p.rxOutputRate_Hz}, {"primaryBw_Hz", p.primaryBw_Hz}, {"rxWbDecTop", p.rxWbDecTop}};
}

nlohmann::json Records(const DynamicProfiles& profiles, std::size_t count)
{
    nlohmann::json out = nlohmann::json::array();
    for (std::size_t j = 0; j < count; ++j) {
        nlohmann::json channels = nlohmann::json::array();
        for (const auto& c : profiles[j].dynamicProfileChannels) {
            channels.push_back({{"txDynamicProfile",
                                 {{"txInputRate_Hz", c.txDynamicProfile.txInputRate_Hz},
                                  {"primaryBw_Hz", c.txDynamicProfile.primaryBw_Hz},
                                  {"txWbIntTop", c.txDynamicProfile.txWbIntTop}}},
                                {"rxDynamicProfile", RxJson(c.rxDynamicProfile)},
                                {"orxDynamicProfile", RxJson(c.orxDynamicProfile)},
                                {"ilbDynamicProfile", RxJson(c.ilbDynamicProfile)},
                                {"elbDynamicProfile", RxJson(c.elbDynamicProfile)}});
        }
        out.push_back({{"dynamicProfileIndex", profiles[j].dynamicProfileIndex}, {"dynamicProfileChannels", channels}});
    }
    return out;
}

}  // namespace

RxChannel Profile::RxChannels_Get(std::int32_t channelNumber) const
{
    return RxChannel(&Object().rxChannels[ChannelIndexOf(channelNumber)]);
}

TxChannel Profile::TxChannels_Get(std::int32_t channelNumber) const
{
    return TxChannel(&Object().txChannels[ChannelIndexOf(channelNumber)]);
}

const InitRecord& Profile::ToInit()
{
    init_ = Object().ToInit();
    return init_;
}

std::int8_t Profile::Save(const std::string& filename, ProfileSaveMethod method)
{
    if (method != ProfileSaveMethod::JSON_NET) {
        return Object().Save(filename);
    }
    // The host's form follows its record declarations field by field, so it
    // diffs and reads like the records themselves.
    const nlohmann::ordered_json document = ToInit();
    if (!Native::WriteFileAtomically(filename, document.dump(2) + "\n")) {
        Native::ErrorHandler::Message(Native::LogLevel::ERROR, "Unable to write the profile file \"" + filename + "\".",
                                      Native::SourceUnit::Profile, 573);
        return -1;
    }
    return 0;
}

std::string Profile::DynamicProfiles_ToJson(const DynamicProfiles& dynamicProfiles, std::size_t count)
{
    return Records(dynamicProfiles, std::min(count, dynamicProfiles.size())).dump(2);
}

void Profile::Load(const std::string& filename)
{
    Object().Load(filename);
}

std::int8_t Profile::FrequencyResponse_Get(std::vector<double>& responseMagnitudes, double& initialFrequency,
                                           double& deltaFrequency, std::int32_t port,
                                           std::int32_t channelNumber) const
{
    std::vector<double> scratch;
    double start = 0.0;
    double step = 0.0;
    const std::int8_t status = Object().FrequencyResponse_Get(scratch, start, step, port, channelNumber);
    if (status == 0) {
        responseMagnitudes = std::move(scratch);
        initialFrequency = start;
        deltaFrequency = step;
    }
    return status;
}

std::int8_t Profile::DynamicProfiles_Get(DynamicProfiles& dynamicProfiles) const
{
    return Object().DynamicProfiles_Get(dynamicProfiles);
}

}  // namespace Veltrix::Marlin
