#pragma once
// The source-unit texts that every report carries. Users quote them back to us
// with the line number, so they are fixed strings, independent of where the
// tree is built: a main unit is named without extension, code in a header by
// the header's name. Line numbers are passed explicitly at each report site.

namespace Veltrix::Marlin::Native::SourceUnit {

inline constexpr const char* Blueprint = "..\\..\\..\\src\\plover\\Blueprint";
inline constexpr const char* ChannelFilter = "..\\..\\..\\src\\plover\\ChannelFilter";
inline constexpr const char* FilterDesigner = "..\\..\\..\\src\\plover\\FilterDesigner";
inline constexpr const char* Pfir = "..\\..\\..\\src\\plover\\Pfir";
inline constexpr const char* Profile = "..\\..\\..\\src\\plover\\Profile";
inline constexpr const char* ProfileBuilder = "..\\..\\..\\src\\plover\\ProfileBuilder";
inline constexpr const char* PulseShapeFiltersLut = "..\\..\\..\\src\\plover\\PulseShapeFiltersLut";
inline constexpr const char* RxChannel = "..\\..\\..\\src\\plover\\RxChannel";
inline constexpr const char* TxChannel = "..\\..\\..\\src\\plover\\TxChannel";
inline constexpr const char* Utilities = "..\\..\\..\\src\\plover\\Utilities";

inline constexpr const char* BlueprintHeader = "..\\..\\..\\src\\plover\\Blueprint.h";
inline constexpr const char* DataPathHeader = "..\\..\\..\\src\\plover\\DataPath.h";
inline constexpr const char* DynamicProfileFeatureHeader = "..\\..\\..\\src\\plover\\DynamicProfileFeature.h";
inline constexpr const char* DeviceSystemHeader = "..\\..\\..\\src\\plover\\DeviceSystem.h";
inline constexpr const char* FrequencyHoppingFeatureHeader = "..\\..\\..\\src\\plover\\FrequencyHoppingFeature.h";
inline constexpr const char* RxChannelHeader = "..\\..\\..\\src\\plover\\RxChannel.h";
inline constexpr const char* TxChannelHeader = "..\\..\\..\\src\\plover\\TxChannel.h";

}  // namespace Veltrix::Marlin::Native::SourceUnit
