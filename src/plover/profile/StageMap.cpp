#include "plover/profile/StageMap.h"

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin::Native {

namespace {

// A block runs whenever its stage changes the rate.
std::uint8_t Enabled(unsigned char factor)
{
    return factor != 1 ? 1 : 0;
}

std::int8_t Fail(const char* message, int line)
{
    ErrorHandler::Message(LogLevel::ERROR, message, SourceUnit::RxChannel, line);
    return -1;
}

}  // namespace

std::int8_t RxStageMap_Apply(const RxPath& path, marlin_RxDpProfile_t& profile)
{
    const auto& s = path.stages;
    marlin_RxSincHbTop_t& sincHb = profile.rxSincHBTop;
    marlin_RxDecTop_t& dec = profile.rxDecTop;
    marlin_RxWbDecTop_t& wb = profile.rxWbDecTop;
    marlin_RxNbDecTop_t& nb = profile.rxNbDecTop;

    switch (s[0]) {
    case 1: sincHb.sincMux = 0; break;
    case 3: sincHb.sincMux = 1; break;
    case 4: sincHb.sincMux = 2; break;
    case 6: sincHb.sincMux = 4; break;
    default: return Fail("Unrecognized sincMux value", 537);
    }

    if (s[1] == 2) {
        switch (static_cast<RxHb012>(s[RxPath::Hb012SelectStage])) {
        case RxHb012::HB0: sincHb.hbMux = 1; break;
        case RxHb012::HB1: sincHb.hbMux = 4; break;
        case RxHb012::HB2: sincHb.hbMux = 2; break;
        default: return Fail("Unrecognized hb012 value", 555);
        }
    } else {
        sincHb.hbMux = 0;
    }

    dec.decBy3Blk15En = Enabled(s[2]);

    dec.decBy2Hb3Blk17p1En = 0;
    dec.decBy2Hb4Blk17p2En = 0;
    if (s[3] == 2) {
        switch (s[RxPath::Hb34SelectStage]) {
        case 3: dec.decBy2Hb3Blk17p1En = 1; break;
        case 4: dec.decBy2Hb4Blk17p2En = 1; break;
        default: return Fail("Unrecognized hb34 value", 578);
        }
    }

    dec.decBy2Hb5Blk19p1En = 0;
    dec.decBy2Hb6Blk19p2En = 0;
    if (s[4] == 2) {
        switch (s[RxPath::Hb56SelectStage]) {
        case 5: dec.decBy2Hb5Blk19p1En = 1; break;
        case 6: dec.decBy2Hb6Blk19p2En = 1; break;
        default: return Fail("Unrecognized hb56 value", 595);
        }
    }

    wb.decBy2Blk25En = Enabled(s[5]);
    wb.decBy2Blk27En = Enabled(s[6]);
    wb.decBy2Blk29En = Enabled(s[7]);
    wb.decBy2Blk31En = Enabled(s[8]);

    // Block 33 is either a half-band decimator or the wideband low-pass
    // filter; with no selection (BYPASSED) neither runs.
    wb.decBy2Blk33En = 0;
    wb.wbLpfBlk33p1En = 0;
    if (s[9] == 2) {
        switch (static_cast<WidebandFilterSelect>(s[RxPath::WblpfStage])) {
        case WidebandFilterSelect::BW_80: wb.decBy2Blk33En = 1; break;
        case WidebandFilterSelect::BW_92: wb.wbLpfBlk33p1En = 1; break;
        default: break;
        }
    }

    nb.scicBlk23DivFactor = s[10];
    nb.scicBlk23En = Enabled(s[10]);
    nb.decBy2Blk35En = Enabled(s[11]);
    nb.decBy2Blk37En = Enabled(s[12]);
    nb.decBy2Blk39En = Enabled(s[13]);
    nb.decBy2Blk41En = Enabled(s[14]);
    nb.decBy2Blk43En = Enabled(s[15]);
    nb.decBy3Blk45En = Enabled(s[16]);
    nb.decBy2Blk47En = Enabled(s[17]);
    return 0;
}

std::int8_t TxStageMap_Apply(const TxPath& path, marlin_TxDpProfile_t& profile)
{
    const auto& s = path.stages;
    marlin_TxIntTop_t& top = profile.txIntTop;
    marlin_TxWbIntTop_t& wb = profile.txWbIntTop;
    marlin_TxNbIntTop_t& nb = profile.txNbIntTop;

    // Block 44 interpolates by three either as a half-band cascade (INT3) or
    // as a SINC3; with no selection neither runs.
    top.interpBy3Blk44p1En = 0;
    top.sinc3Blk44En = 0;
    if (s[0] == 3) {
        switch (static_cast<TxInt3Sinc3>(s[TxPath::Int3Sinc3SelectStage])) {
        case TxInt3Sinc3::INT3: top.interpBy3Blk44p1En = 1; break;
        case TxInt3Sinc3::SINC3: top.sinc3Blk44En = 1; break;
        default: break;
        }
    }
    top.sinc2Blk42En = Enabled(s[1]);
    top.interpBy3Blk40En = Enabled(s[2]);
    top.interpBy2Blk38En = Enabled(s[3]);
    top.interpBy2Blk36En = Enabled(s[4]);

    wb.txInterpBy2Blk30En = Enabled(s[5]);
    wb.txInterpBy2Blk28En = Enabled(s[6]);
    wb.txInterpBy2Blk26En = Enabled(s[7]);
    wb.txInterpBy2Blk24En = Enabled(s[8]);
    wb.txInterpBy2Blk22En = 0;
    wb.txWbLpfBlk22p1En = 0;
    if (s[9] == 2) {
        switch (static_cast<WidebandFilterSelect>(s[TxPath::WblpfStage])) {
        case WidebandFilterSelect::BW_80: wb.txInterpBy2Blk22En = 1; break;
        case WidebandFilterSelect::BW_92: wb.txWbLpfBlk22p1En = 1; break;
        default: break;
        }
    }

    nb.txScicBlk32DivFactor = s[10];
    nb.txScicBlk32En = Enabled(s[10]);
    nb.txInterpBy2Blk20En = Enabled(s[11]);
    nb.txInterpBy2Blk18En = Enabled(s[12]);
    nb.txInterpBy2Blk16En = Enabled(s[13]);
    nb.txInterpBy2Blk14En = Enabled(s[14]);
    nb.txInterpBy2Blk12En = Enabled(s[15]);
    nb.txInterpBy3Blk10En = Enabled(s[16]);
    nb.txInterpBy2Blk8En = Enabled(s[17]);
    return 0;
}

}  // namespace Veltrix::Marlin::Native
