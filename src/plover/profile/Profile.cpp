#include "plover/profile/Profile.h"

#include <sstream>

#include <nlohmann/json.hpp>

#include "plover/base/ErrorHandler.h"
#include "plover/base/FileIo.h"
#include "plover/records/ProfileRecordsJson.h"
#include "plover/base/SourceUnit.h"
#include "streams/InputFile.h"
#include "streams/JsonInput.h"

namespace Veltrix::Marlin::Native {

Profile::Profile()
    : pllLockWait_us(deviceSystem.pllLockTime_us), pllPhaseSyncWait_us(deviceSystem.pllPhaseSyncWait_us)
{
}

marlin_Init_t Profile::ToInit() const
{
    marlin_Init_t init{};
    init.clocks = clocks;
    init.rx.rxInitChannelMask = rxInitChannelMask;
    for (std::size_t i = 0; i < RxSlotCount; ++i) {
        init.rx.rxChannelCfg[i].profile = rxChannels[i];
    }
    init.tx.txInitChannelMask = txInitChannelMask;
    for (std::size_t i = 0; i < TxSlotCount; ++i) {
        init.tx.txProfile[i] = txChannels[i];
    }
    init.sysConfig = deviceSystem;
    init.pfirBuffer = pfir;
    return init;
}

std::string Profile::SaveToString() const
{
    const json document = ToInit();
    return document.dump(2);
}

std::int8_t Profile::Save(const std::string& filename) const
{
    if (!WriteFileAtomically(filename, SaveToString())) {
        ErrorHandler::Message(LogLevel::ERROR, "Unable to write the profile file \"" + filename + "\".",
                              SourceUnit::Profile, 573);
        return -1;
    }
    return 0;
}

void Profile::Load(const std::string& filename)
{
    std::string text;
    std::string problem;
    switch (Runnel::InputFile_Read(filename, text, &problem)) {
    case Runnel::InputFileStatus::Read:
        break;
    case Runnel::InputFileStatus::CannotOpen:
        ErrorHandler::Error("Error: File not found.", SourceUnit::Profile, 603);
        break;
    default:
        ErrorHandler::Error(problem, SourceUnit::Profile, 603);
    }
    // One JSON value; whatever follows it is not read.
    const json document = Runnel::Json_Parse(text, {.strict = false});
    marlin_Init_t init{};
    from_json(document, init);

    // Nothing below can fail: the profile changes all at once or not at all.
    static_cast<marlin_ClockSettings_t&>(clocks) = init.clocks;
    rxInitChannelMask = init.rx.rxInitChannelMask;
    for (std::size_t i = 0; i < RxSlotCount; ++i) {
        rxChannels[i] = RxChannel(init.rx.rxChannelCfg[i].profile);
    }
    txInitChannelMask = init.tx.txInitChannelMask;
    for (std::size_t i = 0; i < TxSlotCount; ++i) {
        txChannels[i] = TxChannel(init.tx.txProfile[i]);
    }
    static_cast<marlin_DeviceSysConfig_t&>(deviceSystem) = init.sysConfig;
    pfir = Pfir(init.pfirBuffer);
}

}  // namespace Veltrix::Marlin::Native
