// The field descriptions and the settings copy, expanded from the lists.

#include "plover/blueprint/BlueprintFields.h"

#include <array>
#include <limits>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace Veltrix::Marlin::Native {

namespace {

const RecordSpec& LoExternalSpec();
const RecordSpec& RxChannelSpec();
const RecordSpec& TxChannelSpec();

template <typename T>
constexpr bool IsDataPath = requires { T::StageCount; };

template <typename T>
struct IsFixedArray : std::false_type {};
template <typename T, std::size_t N>
struct IsFixedArray<std::array<T, N>> : std::true_type {};

// An integer field: the rule's range, or the whole range of its type.
template <typename T>
void SetRange(FieldSpec& spec, const ValueRule& rule)
{
    if (!rule.whole) {
        spec.min = rule.min;
        spec.max = rule.max;
        spec.values = rule.values;
        return;
    }
    spec.min = static_cast<std::int64_t>(std::numeric_limits<T>::min());
    spec.max = static_cast<std::int64_t>(std::numeric_limits<T>::max());
}

template <typename T>
FieldSpec Spec(const char* key, const ValueRule& rule)
{
    FieldSpec spec;
    spec.key = key;
    if constexpr (std::is_same_v<T, bool>) {
        spec.kind = FieldKind::Boolean;
    } else if constexpr (std::is_enum_v<T>) {
        if (rule.values.empty()) {
            throw std::logic_error(std::string("enumeration field ") + key + " lists no values");
        }
        spec.kind = FieldKind::Integer;
        spec.values = rule.values;
    } else if constexpr (std::is_arithmetic_v<T>) {
        spec.kind = FieldKind::Integer;
        SetRange<T>(spec, rule);
    } else if constexpr (IsFixedArray<T>::value) {
        spec.kind = FieldKind::IntegerArray;
        spec.length = std::tuple_size_v<T>;
        SetRange<typename T::value_type>(spec, rule);
    } else if constexpr (IsDataPath<T>) {
        spec.kind = FieldKind::IntegerArray;
        spec.length = T::StageCount;
        SetRange<unsigned char>(spec, rule);
    } else {
        spec.kind = FieldKind::Record;
        if constexpr (std::is_same_v<T, LoExternalBlueprint>) {
            spec.record = &LoExternalSpec();
        } else if constexpr (std::is_same_v<T, RxChannelBlueprint>) {
            spec.record = &RxChannelSpec();
        } else {
            static_assert(std::is_same_v<T, TxChannelBlueprint>, "a record without a field list");
            spec.record = &TxChannelSpec();
        }
    }
    return spec;
}

#define PLOVER_SPEC_VALUE(name, rule) fields.push_back(Spec<decltype(R::name)>(#name, rule));
#define PLOVER_SPEC_PROPERTY(name, rule) \
    fields.push_back(Spec<std::remove_cvref_t<decltype(std::declval<const R&>().name())>>(#name, rule));
#define PLOVER_SPEC_RECORD(name) PLOVER_SPEC_VALUE(name, Whole())

const RecordSpec& LoExternalSpec()
{
    static const RecordSpec spec = [] {
        using R = LoExternalBlueprint;
        std::vector<FieldSpec> fields;
        PLOVER_LO_EXTERNAL_FIELDS(PLOVER_SPEC_VALUE, PLOVER_SPEC_PROPERTY, PLOVER_SPEC_RECORD)
        return RecordSpec{"LoExternalBlueprint", fields};
    }();
    return spec;
}

const RecordSpec& RxChannelSpec()
{
    static const RecordSpec spec = [] {
        using R = RxChannelBlueprint;
        std::vector<FieldSpec> fields;
        PLOVER_RX_CHANNEL_FIELDS(PLOVER_SPEC_VALUE, PLOVER_SPEC_PROPERTY, PLOVER_SPEC_RECORD)
        return RecordSpec{"RxChannelBlueprint", fields};
    }();
    return spec;
}

const RecordSpec& TxChannelSpec()
{
    static const RecordSpec spec = [] {
        using R = TxChannelBlueprint;
        std::vector<FieldSpec> fields;
        PLOVER_TX_CHANNEL_FIELDS(PLOVER_SPEC_VALUE, PLOVER_SPEC_PROPERTY, PLOVER_SPEC_RECORD)
        return RecordSpec{"TxChannelBlueprint", fields};
    }();
    return spec;
}

}  // namespace

const FieldSpec* RecordSpec::Find(const std::string& key) const
{
    for (const FieldSpec& field : fields) {
        if (field.key == key) {
            return &field;
        }
    }
    return nullptr;
}

const RecordSpec& BlueprintFileSpec()
{
    static const RecordSpec spec = [] {
        using R = MarlinBlueprint;
        std::vector<FieldSpec> fields;
        PLOVER_BLUEPRINT_FIELDS(PLOVER_SPEC_VALUE, PLOVER_SPEC_PROPERTY, PLOVER_SPEC_RECORD)
        return RecordSpec{"MarlinBlueprint", fields};
    }();
    return spec;
}

#define PLOVER_COPY_VALUE(name, rule) to.name = from.name;
#define PLOVER_COPY_PROPERTY(name, rule) to.name(from.name());
#define PLOVER_COPY_RECORD(name) to.name = from.name;

void BlueprintSettings_Copy(const MarlinBlueprint& from, MarlinBlueprint& to)
{
    PLOVER_BLUEPRINT_FIELDS(PLOVER_COPY_VALUE, PLOVER_COPY_PROPERTY, PLOVER_COPY_RECORD)
}

}  // namespace Veltrix::Marlin::Native
