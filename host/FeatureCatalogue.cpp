#include "host/FeatureCatalogue.h"

#include <algorithm>

namespace Veltrix::Marlin {

namespace {

constexpr std::int64_t U32Max = 0xFFFFFFFF;

// A field setter and getter over one handle class.
template <typename F, typename Setter, typename Getter>
void Bind(FeatureField& field, Setter setter, Getter getter)
{
    field.set = [setter](Feature& feature, std::int64_t value) { setter(static_cast<F&>(feature), value); };
    field.get = [getter](const Feature& feature) {
        return static_cast<std::int64_t>(getter(static_cast<const F&>(feature)));
    };
}

template <typename F, typename Setter, typename Getter>
FeatureField Whole(const char* name, std::int64_t min, std::int64_t max, const char* description, Setter setter,
                   Getter getter)
{
    FeatureField field;
    field.name = name;
    field.min = min;
    field.max = max;
    field.description = description;
    Bind<F>(field, setter, getter);
    return field;
}

template <typename F>
std::function<std::unique_ptr<Feature>()> Maker()
{
    return [] { return std::make_unique<F>(); };
}

std::vector<FeatureDescription> Build()
{
    using FH = FrequencyHoppingFeature;
    using MCS = McsFeature;
    using MMS = MonitorModeSyncFeature;
    using DP = DynamicProfileFeature;
    using RPI = RxPortImpedanceControlFeature;

    FeatureField ratio = Whole<MMS>(
        "monitorModeSyncOverSamplingRatio", 2, 8, "how much faster than the sampling rate the receive SSI runs",
        [](MMS& f, std::int64_t v) { f.monitorModeSyncOverSamplingRatio(static_cast<MonitorModeSyncOverSamplingRatio>(v)); },
        [](const MMS& f) { return static_cast<std::int32_t>(f.monitorModeSyncOverSamplingRatio()); });
    ratio.allowed = {2, 4, 8};

    FeatureField rx1 = Whole<RPI>(
        "rx1", 0, 1, "impedance control on the receive 1 port",
        [](RPI& f, std::int64_t v) { f.rx1PortImpedanceControl(v != 0); },
        [](const RPI& f) { return f.rx1PortImpedanceControl(); });
    rx1.alias = "rx1PortImpedanceControl";
    rx1.boolean = true;
    FeatureField rx2 = Whole<RPI>(
        "rx2", 0, 1, "impedance control on the receive 2 port",
        [](RPI& f, std::int64_t v) { f.rx2PortImpedanceControl(v != 0); },
        [](const RPI& f) { return f.rx2PortImpedanceControl(); });
    rx2.alias = "rx2PortImpedanceControl";
    rx2.boolean = true;

    return {
        {"FH",
         "frequency hopping: checks that the blueprint can hop (channel 1 only unless dual-hop or diversity, I/Q "
         "transmitters, internal LOs, undivided processor clock), pins the LO routing and drops the tracking "
         "calibrations that cannot run between hops",
         {Whole<FH>("mode", 0, 4, "hop mode (0 single-hop fast, 2 to 4 put channel 1 on LO1 and channel 2 on LO2, 3 dual-hop)",
                    [](FH& f, std::int64_t v) { f.mode(static_cast<std::int32_t>(v)); },
                    [](const FH& f) { return f.mode(); }),
          Whole<FH>("minFrameDuration_us", 0, U32Max,
                    "shortest frame; long enough frames keep the calibration that needs time to save its settings",
                    [](FH& f, std::int64_t v) { f.minFrameDuration_us(static_cast<std::uint32_t>(v)); },
                    [](const FH& f) { return f.minFrameDuration_us(); }),
          Whole<FH>("minOperatingFrequency_kHz", 0, U32Max, "lowest LO frequency the hops use",
                    [](FH& f, std::int64_t v) { f.minOperatingFrequency_kHz(static_cast<std::uint32_t>(v)); },
                    [](const FH& f) { return f.minOperatingFrequency_kHz(); })},
         Maker<FH>()},
        {"MCS",
         "multi-chip synchronisation: records the sync mode and interface in the device system and waits for the "
         "PLL phase sync at the lowest operating frequency",
         {Whole<MCS>("mode", 0, 2, "synchronisation mode (0 off)",
                     [](MCS& f, std::int64_t v) { f.mode(static_cast<std::int32_t>(v)); },
                     [](const MCS& f) { return f.mode(); }),
          Whole<MCS>("interfaceType", 0, 2, "SSI type of the sync interface (1 CMOS, 2 LVDS)",
                     [](MCS& f, std::int64_t v) { f.interfaceType(static_cast<std::int32_t>(v)); },
                     [](const MCS& f) { return f.interfaceType(); }),
          Whole<MCS>("minOperatingFrequency_kHz", 0, U32Max, "lowest LO frequency, which sets the phase-sync wait",
                     [](MCS& f, std::int64_t v) { f.minOperatingFrequency_kHz(static_cast<std::uint32_t>(v)); },
                     [](const MCS& f) { return f.minOperatingFrequency_kHz(); })},
         Maker<MCS>()},
        {"MMSync",
         "monitor-mode synchronisation: the receive SSIs run faster than the sampling rate by the over-sampling "
         "ratio and every receive slot passes its data through the input FIFO with the strobe masked",
         {ratio},
         Maker<MMS>()},
        {"DynamicProfile",
         "dynamic profiles: the device may switch between reduced-rate variants of the designed profile; the "
         "profile learns how many to offer and masks its receive strobes",
         {Whole<DP>("numDynamicProfiles", 1, 6, "variants offered (1 none, up to 6)",
                    [](DP& f, std::int64_t v) { f.numDynamicProfiles(static_cast<std::int32_t>(v)); },
                    [](const DP& f) { return f.numDynamicProfiles(); })},
         Maker<DP>()},
        {"RxPortImpedanceControl",
         "receive-port impedance control, per receiver, carried into the profile's clock section",
         {rx1, rx2},
         Maker<RPI>()},
        {"ExternalLna",
         "external LNAs in front of receivers 1 and 2: their configurations land in the RX1 and RX2 slots (the "
         "configurations are records; a feature text enables it with their defaults)",
         {},
         Maker<ExternalLnaFeature>()},
    };
}

}  // namespace

bool FeatureField::Accepts(std::int64_t value) const
{
    if (!allowed.empty()) {
        return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
    }
    return value >= min && value <= max;
}

std::string FeatureField::AcceptedText() const
{
    if (boolean) {
        return "true or false";
    }
    if (!allowed.empty()) {
        std::string list;
        for (std::size_t i = 0; i < allowed.size(); ++i) {
            list += (i == 0 ? "" : i + 1 == allowed.size() ? " or " : ", ") + std::to_string(allowed[i]);
        }
        return list;
    }
    return "a whole number in " + std::to_string(min) + ".." + std::to_string(max);
}

const FeatureField* FeatureDescription::Field(const std::string& name) const
{
    for (const FeatureField& field : fields) {
        if (field.name == name || (!field.alias.empty() && field.alias == name)) {
            return &field;
        }
    }
    return nullptr;
}

std::string FeatureDescription::DefaultText(const FeatureField& field) const
{
    const std::unique_ptr<Feature> fresh = make();
    const std::int64_t value = field.get(*fresh);
    if (field.boolean) {
        return value != 0 ? "true" : "false";
    }
    return std::to_string(value);
}

const std::vector<FeatureDescription>& FeatureCatalogue::All()
{
    static const std::vector<FeatureDescription> all = Build();
    return all;
}

const FeatureDescription* FeatureCatalogue::Find(const std::string& id)
{
    for (const FeatureDescription& feature : All()) {
        if (feature.id == id) {
            return &feature;
        }
    }
    return nullptr;
}

}  // namespace Veltrix::Marlin
