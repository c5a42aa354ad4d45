// The field descriptions and the settings copy, expanded from the lists.

#include "plover/blueprint/BlueprintFields.h"

#include <array>
#include <limits>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace Veltrix::Marlin::Native {

namespace {

const RecordShape& LoExternalShape();
const RecordShape& RxChannelShape();
const RecordShape& TxChannelShape();

template <typename T>
constexpr bool IsDataPath = requires { T::StageCount; };

template <typename T>
struct IsFixedArray : std::false_type {};
template <typename T, std::size_t N>
struct IsFixedArray<std::array<T, N>> : std::true_type {};

// An integer field: the rule's range, or the whole range of its type.
template <typename T>
void SetRange(FieldShape& shape, const ValueRule& rule)
{
    if (!rule.whole) {
        shape.min = rule.min;
        shape.max = rule.max;
        shape.values = rule.values;
        return;
    }
    shape.min = static_cast<std::int64_t>(std::numeric_limits<T>::min());
    shape.max = static_cast<std::int64_t>(std::numeric_limits<T>::max());
}

template <typename T>
FieldShape Shape(const char* key, const ValueRule& rule)
{
    FieldShape shape;
    shape.key = key;
    if constexpr (std::is_same_v<T, bool>) {
        shape.kind = FieldKind::Boolean;
    } else if constexpr (std::is_enum_v<T>) {
        if (rule.values.empty()) {
            throw std::logic_error(std::string("enumeration field ") + key + " lists no values");
        }
        shape.kind = FieldKind::Integer;
        shape.values = rule.values;
    } else if constexpr (std::is_arithmetic_v<T>) {
        shape.kind = FieldKind::Integer;
        SetRange<T>(shape, rule);
    } else if constexpr (IsFixedArray<T>::value) {
        shape.kind = FieldKind::IntegerArray;
        shape.length = std::tuple_size_v<T>;
        SetRange<typename T::value_type>(shape, rule);
    } else if constexpr (IsDataPath<T>) {
        shape.kind = FieldKind::IntegerArray;
        shape.length = T::StageCount;
        SetRange<unsigned char>(shape, rule);
    } else {
        shape.kind = FieldKind::Record;
        if constexpr (std::is_same_v<T, LoExternalBlueprint>) {
            shape.record = &LoExternalShape();
        } else if constexpr (std::is_same_v<T, RxChannelBlueprint>) {
            shape.record = &RxChannelShape();
        } else {
            static_assert(std::is_same_v<T, TxChannelBlueprint>, "a record without a field list");
            shape.record = &TxChannelShape();
        }
    }
    return shape;
}

#define PLOVER_SHAPE_VALUE(name, rule) fields.push_back(Shape<decltype(R::name)>(#name, rule));
#define PLOVER_SHAPE_PROPERTY(name, rule) \
    fields.push_back(Shape<std::remove_cvref_t<decltype(std::declval<const R&>().name())>>(#name, rule));
#define PLOVER_SHAPE_RECORD(name) PLOVER_SHAPE_VALUE(name, Whole())

const RecordShape& LoExternalShape()
{
    static const RecordShape shape = [] {
        using R = LoExternalBlueprint;
        std::vector<FieldShape> fields;
        PLOVER_LO_EXTERNAL_FIELDS(PLOVER_SHAPE_VALUE, PLOVER_SHAPE_PROPERTY, PLOVER_SHAPE_RECORD)
        return RecordShape{"LoExternalBlueprint", fields};
    }();
    return shape;
}

const RecordShape& RxChannelShape()
{
    static const RecordShape shape = [] {
        using R = RxChannelBlueprint;
        std::vector<FieldShape> fields;
        PLOVER_RX_CHANNEL_FIELDS(PLOVER_SHAPE_VALUE, PLOVER_SHAPE_PROPERTY, PLOVER_SHAPE_RECORD)
        return RecordShape{"RxChannelBlueprint", fields};
    }();
    return shape;
}

const RecordShape& TxChannelShape()
{
    static const RecordShape shape = [] {
        using R = TxChannelBlueprint;
        std::vector<FieldShape> fields;
        PLOVER_TX_CHANNEL_FIELDS(PLOVER_SHAPE_VALUE, PLOVER_SHAPE_PROPERTY, PLOVER_SHAPE_RECORD)
        return RecordShape{"TxChannelBlueprint", fields};
    }();
    return shape;
}

}  // namespace

const FieldShape* RecordShape::Find(const std::string& key) const
{
    for (const FieldShape& field : fields) {
        if (field.key == key) {
            return &field;
        }
    }
    return nullptr;
}

const RecordShape& BlueprintFileShape()
{
    static const RecordShape shape = [] {
        using R = MarlinBlueprint;
        std::vector<FieldShape> fields;
        PLOVER_BLUEPRINT_FIELDS(PLOVER_SHAPE_VALUE, PLOVER_SHAPE_PROPERTY, PLOVER_SHAPE_RECORD)
        return RecordShape{"MarlinBlueprint", fields};
    }();
    return shape;
}

#define PLOVER_COPY_VALUE(name, rule) to.name = from.name;
#define PLOVER_COPY_PROPERTY(name, rule) to.name(from.name());
#define PLOVER_COPY_RECORD(name) to.name = from.name;

void BlueprintSettings_Copy(const MarlinBlueprint& from, MarlinBlueprint& to)
{
    PLOVER_BLUEPRINT_FIELDS(PLOVER_COPY_VALUE, PLOVER_COPY_PROPERTY, PLOVER_COPY_RECORD)
}

}  // namespace Veltrix::Marlin::Native
