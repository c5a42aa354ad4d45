// The blueprint file: the caller's settings and each channel's pinned data
// path stages as JSON text (indent 4; nlohmann's object keeps keys sorted).
// Features, the LO-mapping override and expandedSearchEnable are not part of it.
//
// Reading builds a complete blueprint first and only then copies it into the
// target, so malformed text or a mistyped value (the JSON library's own
// exceptions, passed through) leaves the target exactly as it was.

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <string>

#include "plover/blueprint/Blueprint.h"
#include "plover/base/ErrorHandler.h"
#include "plover/base/FileIo.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin::Native {

namespace {

using json = nlohmann::json;

constexpr std::size_t ChannelFilterTaps = 128;
constexpr int BlueprintIndent = 4;

// --- writing -----------------------------------------------------------------

template <typename Path>
json StagesToJson(const Path& path)
{
    json stages = json::array();
    for (unsigned char stage : path.stages) {
        stages.push_back(static_cast<unsigned>(stage));
    }
    return stages;
}

void CommonToJson(const ChannelBlueprint& channel, json& j)
{
    j["channelFilter"] = channel.channelFilter;
    j["channelFilterType"] = ToInt(channel.channelFilterType);
    j["enabled"] = channel.enabled;
    j["frequencyOffsetCorrectionEnable"] = channel.frequencyOffsetCorrectionEnable;
    j["loSource"] = ToInt(channel.loSource);
    j["lowPassFilterPower"] = channel.lowPassFilterPower;
    j["rfChannelBandwidth_Hz"] = channel.rfChannelBandwidth_Hz;
    j["samplingRate_Hz"] = channel.samplingRate_Hz();
    j["ssiDataFormat"] = channel.ssiDataFormat;
    j["ssiDataRate"] = ToInt(channel.ssiDataRate);
    j["ssiInterfaceRate_Hz"] = channel.ssiInterfaceRate_Hz();
    j["ssiNumLane"] = channel.ssiNumLane;
    j["ssiStrobeType"] = channel.ssiStrobeType;
    j["ssiType"] = channel.ssiType;
}

json RxToJson(const RxChannelBlueprint& rx)
{
    json j = json::object();
    CommonToJson(rx, j);
    j["adcType"] = rx.adcType;
    j["analogFilterCorner_kHz"] = rx.analogFilterCorner_kHz;
    j["analogFilterOrder"] = ToInt(rx.analogFilterOrder);
    j["channelSignalSetup"] = ToInt(rx.channelSignalSetup);
    j["channelSignalType"] = rx.channelSignalType;
    j["dataPath"] = StagesToJson(rx.dataPath);
    j["frequencyDeviation_Hz"] = rx.frequencyDeviation_Hz;
    j["gainTableType"] = rx.gainTableType;
    j["intermediateFrequency_Hz"] = rx.intermediateFrequency_Hz;
    j["ncoEnable"] = rx.ncoEnable;
    j["rfInput"] = rx.rfInput;
    return j;
}

json TxToJson(const TxChannelBlueprint& tx)
{
    json j = json::object();
    CommonToJson(tx, j);
    j["channelFilterInterpolation"] = ToInt(tx.channelFilterInterpolation);
    j["channelSignalType"] = tx.channelSignalType();
    j["dataPath"] = StagesToJson(tx.dataPath);
    j["elbType"] = ToInt(tx.elbType);
    j["frequencyDeviation_Hz"] = tx.frequencyDeviation_Hz;
    j["orxEnabled"] = tx.orxEnabled;
    j["peakLoopbackPower_dBm"] = tx.peakLoopbackPower_dBm;
    j["ssiRefClockPin"] = tx.ssiRefClockPin;
    return j;
}

json LoToJson(const LoExternalBlueprint& lo)
{
    return json{{"loDivisor", lo.loDivisor}, {"loSignalingType", lo.loSignalingType}};
}

json BlueprintToJson(const MarlinBlueprint& b)
{
    json j = json::object();
    j["adcRate"] = ToInt(b.adcRate());
    j["allowPllRetuning"] = b.allowPllRetuning;
    j["clockPllMode"] = ToInt(b.clockPllMode);
    j["clockPllPower"] = b.clockPllPower;
    j["deviceClockInput_kHz"] = b.deviceClockInput_kHz;
    j["diversity"] = b.diversity;
    j["duplex"] = ToInt(b.duplex);
    j["pllCalibration"] = b.pllCalibration;
    j["processorClockDivisor"] = ToInt(b.processorClockDivisor);
    j["loExternal1"] = LoToJson(b.loExternal1);
    j["loExternal2"] = LoToJson(b.loExternal2);
    j["rxChannel1"] = RxToJson(b.rxChannel1);
    j["rxChannel2"] = RxToJson(b.rxChannel2);
    j["txChannel1"] = TxToJson(b.txChannel1);
    j["txChannel2"] = TxToJson(b.txChannel2);
    j["swapExternalLoMapping"] = b.swapExternalLoMapping;
    j["warmBootEnable"] = b.warmBootEnable;
    return j;
}

// --- reading -----------------------------------------------------------------
// Every read goes through the library's conversions, so a wrong type raises
// its own type_error and a short array its own out_of_range.

void RequireObject(const json& j)
{
    (void)j.get<json::object_t>();
}

template <typename T>
void Read(const json& j, const char* key, T& field)
{
    if (j.contains(key)) {
        field = j.at(key).get<T>();
    }
}

template <typename E>
void ReadEnum(const json& j, const char* key, E& field)
{
    if (j.contains(key)) {
        field = static_cast<E>(j.at(key).get<std::int32_t>());
    }
}

// The first `count` entries of an array; longer arrays are accepted.
template <typename T, typename Store>
void ReadArray(const json& j, const char* key, std::size_t count, Store store)
{
    if (!j.contains(key)) {
        return;
    }
    const json& array = j.at(key);
    if (!array.is_array()) {
        (void)array.get<std::vector<T>>();  // raises the library's "type must be array" error
    }
    for (std::size_t i = 0; i < count; ++i) {
        store(i, array.at(i).get<T>());
    }
}

template <typename Path>
void ReadStages(const json& j, Path& path)
{
    ReadArray<unsigned>(j, "dataPath", Path::StageCount,
                        [&](std::size_t i, unsigned v) { path.stages[i] = static_cast<unsigned char>(v); });
}

void CommonFromJson(const json& j, ChannelBlueprint& channel)
{
    ReadArray<std::int32_t>(j, "channelFilter", ChannelFilterTaps,
                            [&](std::size_t i, std::int32_t v) { channel.channelFilter[i] = v; });
    ReadEnum(j, "channelFilterType", channel.channelFilterType);
    Read(j, "enabled", channel.enabled);
    Read(j, "frequencyOffsetCorrectionEnable", channel.frequencyOffsetCorrectionEnable);
    ReadEnum(j, "loSource", channel.loSource);
    Read(j, "lowPassFilterPower", channel.lowPassFilterPower);
    Read(j, "rfChannelBandwidth_Hz", channel.rfChannelBandwidth_Hz);
    Read(j, "ssiDataFormat", channel.ssiDataFormat);
    ReadEnum(j, "ssiDataRate", channel.ssiDataRate);
    Read(j, "ssiNumLane", channel.ssiNumLane);
    Read(j, "ssiStrobeType", channel.ssiStrobeType);
    Read(j, "ssiType", channel.ssiType);
    // Sampling rate first, then the interface rate: a loaded channel keeps
    // the interface rate it was saved with.
    if (j.contains("samplingRate_Hz")) {
        channel.samplingRate_Hz(j.at("samplingRate_Hz").get<std::uint32_t>());
    }
    if (j.contains("ssiInterfaceRate_Hz")) {
        channel.ssiInterfaceRate_Hz(j.at("ssiInterfaceRate_Hz").get<std::uint32_t>());
    }
}

void RxFromJson(const json& j, RxChannelBlueprint& rx)
{
    RequireObject(j);
    CommonFromJson(j, rx);
    Read(j, "adcType", rx.adcType);
    Read(j, "analogFilterCorner_kHz", rx.analogFilterCorner_kHz);
    ReadEnum(j, "analogFilterOrder", rx.analogFilterOrder);
    ReadEnum(j, "channelSignalSetup", rx.channelSignalSetup);
    Read(j, "channelSignalType", rx.channelSignalType);
    ReadStages(j, rx.dataPath);
    Read(j, "frequencyDeviation_Hz", rx.frequencyDeviation_Hz);
    Read(j, "gainTableType", rx.gainTableType);
    Read(j, "intermediateFrequency_Hz", rx.intermediateFrequency_Hz);
    Read(j, "ncoEnable", rx.ncoEnable);
    Read(j, "rfInput", rx.rfInput);
}

void TxFromJson(const json& j, TxChannelBlueprint& tx)
{
    RequireObject(j);
    CommonFromJson(j, tx);
    ReadEnum(j, "channelFilterInterpolation", tx.channelFilterInterpolation);
    ReadStages(j, tx.dataPath);
    // After the stages, so that the direct FM/FSK mark agrees with the signal type.
    if (j.contains("channelSignalType")) {
        tx.channelSignalType(j.at("channelSignalType").get<vx_marlin_TxSignalType>());
    }
    ReadEnum(j, "elbType", tx.elbType);
    Read(j, "frequencyDeviation_Hz", tx.frequencyDeviation_Hz);
    Read(j, "orxEnabled", tx.orxEnabled);
    Read(j, "peakLoopbackPower_dBm", tx.peakLoopbackPower_dBm);
    Read(j, "ssiRefClockPin", tx.ssiRefClockPin);
}

void LoFromJson(const json& j, LoExternalBlueprint& lo)
{
    RequireObject(j);
    Read(j, "loDivisor", lo.loDivisor);
    Read(j, "loSignalingType", lo.loSignalingType);
}

// Reads the whole text into a fresh blueprint; throws before touching target.
void BlueprintFromJson(const json& j, MarlinBlueprint& target)
{
    RequireObject(j);
    MarlinBlueprint loaded;
    if (j.contains("loExternal1")) LoFromJson(j.at("loExternal1"), loaded.loExternal1);
    if (j.contains("loExternal2")) LoFromJson(j.at("loExternal2"), loaded.loExternal2);
    if (j.contains("rxChannel1")) RxFromJson(j.at("rxChannel1"), loaded.rxChannel1);
    if (j.contains("rxChannel2")) RxFromJson(j.at("rxChannel2"), loaded.rxChannel2);
    if (j.contains("txChannel1")) TxFromJson(j.at("txChannel1"), loaded.txChannel1);
    if (j.contains("txChannel2")) TxFromJson(j.at("txChannel2"), loaded.txChannel2);
    AdcRate adcRate = loaded.adcRate();
    ReadEnum(j, "adcRate", adcRate);
    Read(j, "allowPllRetuning", loaded.allowPllRetuning);
    ReadEnum(j, "clockPllMode", loaded.clockPllMode);
    Read(j, "clockPllPower", loaded.clockPllPower);
    Read(j, "deviceClockInput_kHz", loaded.deviceClockInput_kHz);
    Read(j, "diversity", loaded.diversity);
    ReadEnum(j, "duplex", loaded.duplex);
    Read(j, "pllCalibration", loaded.pllCalibration);
    ReadEnum(j, "processorClockDivisor", loaded.processorClockDivisor);
    Read(j, "swapExternalLoMapping", loaded.swapExternalLoMapping);
    Read(j, "warmBootEnable", loaded.warmBootEnable);

    // Nothing below can throw: the target changes all at once or not at all.
    target.loExternal1 = loaded.loExternal1;
    target.loExternal2 = loaded.loExternal2;
    target.rxChannel1 = loaded.rxChannel1;
    target.rxChannel2 = loaded.rxChannel2;
    target.txChannel1 = loaded.txChannel1;
    target.txChannel2 = loaded.txChannel2;
    target.adcRate(adcRate);  // rewrites the receive SINC/HB012 selections loaded above
    target.allowPllRetuning = loaded.allowPllRetuning;
    target.clockPllMode = loaded.clockPllMode;
    target.clockPllPower = loaded.clockPllPower;
    target.deviceClockInput_kHz = loaded.deviceClockInput_kHz;
    target.diversity = loaded.diversity;
    target.duplex = loaded.duplex;
    target.pllCalibration = loaded.pllCalibration;
    target.processorClockDivisor = loaded.processorClockDivisor;
    target.swapExternalLoMapping = loaded.swapExternalLoMapping;
    target.warmBootEnable = loaded.warmBootEnable;
}

}  // namespace

std::string MarlinBlueprint::SaveToString() const
{
    return BlueprintToJson(*this).dump(BlueprintIndent);
}

void MarlinBlueprint::Save(const std::string& path) const
{
    if (!WriteFileAtomically(path, SaveToString())) {
        ErrorHandler::Message(LogLevel::ERROR, "Unable to write the blueprint file \"" + path + "\".",
                              SourceUnit::Blueprint, 402);
    }
}

void MarlinBlueprint::LoadFromString(const std::string& text)
{
    BlueprintFromJson(json::parse(text, nullptr, true, false), *this);
}

void MarlinBlueprint::Load(const std::string& path)
{
    std::string text;
    if (!ReadFileWhole(path, text)) {
        ErrorHandler::Error("Error: File not found.", SourceUnit::Blueprint, 438);
    }
    LoadFromString(text);
}

}  // namespace Veltrix::Marlin::Native
