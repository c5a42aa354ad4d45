#pragma once
// A stream-generator device: the chip's stream processors, its SPI register
// dictionary, its resource folder and the settings that the stream sources are
// read with. It builds the stream image and lists an image file back as text.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "streams/ProcessorInfo.h"
#include "streams/SpiRegisterMap.h"
#include "streams/StreamSettings.h"
#include "streams/TopLevel.h"

namespace Veltrix::Runnel {

class Device {
public:
    virtual ~Device() = default;

    // Reads the top-level file and applies its processor options; checks that
    // every processor is listed and that every block can hold its header.
    void TopLevel_Read(const std::string& path);

    std::shared_ptr<StreamSettings> Settings_Get() const { return settings_; }
    // Takes the token table and the defines of the given settings.
    void Settings_Set(const StreamSettings& settings);
    // Loads templateSettings.json; by default the one of the "skua" + ProductID folder.
    void TemplateSettings_Load(const std::string& path = "");

    // Reads every processor's stream source and returns the blocks concatenated.
    // A source must be a regular file inside the resource root other than the
    // top-level file; errors of a source name its file and line.
    std::vector<std::uint8_t> Image_Build();
    std::vector<std::uint8_t> ExtraCoreHeader() const;

    // Checks an image against these resources: its size, every block's header
    // fields (identifiers, versions, addresses, sizes) and every block's CRC.
    // std::invalid_argument naming the block and the field at fault.
    void Image_Verify(const std::vector<std::uint8_t>& image) const;
    // Lists the processors' streams of an image; std::invalid_argument for an
    // image that does not match this device or whose tables point outside it.
    void Image_Disassemble(const std::string& imagePath) const;  // to standard output
    void Image_Disassemble(const std::string& imagePath, std::ostream& out) const;
    void Image_Disassemble(const std::vector<std::uint8_t>& image, std::ostream& out) const;

    const TopLevelInfo& TopLevel() const { return topLevel_; }
    const SpiRegisterMap& Registers() const { return registers_; }
    const std::vector<ProcessorInfo>& Processors() const { return processors_; }
    const ProcessorInfo& Processor(const std::string& name) const;
    const std::filesystem::path& ResourceRoot() const { return resourceRoot_; }
    const std::filesystem::path& ChipFolder() const { return chipFolder_; }
    const std::string& SiVersion() const { return siVersion_; }
    const std::string& CoreProcessor() const { return coreProcessor_; }
    std::size_t ExtraCoreHeaderBytes() const { return 20 + 4 * processors_.size(); }

protected:
    Device() = default;
    ProcessorInfo& ProcessorByName(const std::string& name);
    void Image_CheckSize(const std::vector<std::uint8_t>& image) const;
    // Where the processor's source is read from; std::invalid_argument for a
    // source outside the resource root or one that is the top-level file.
    std::filesystem::path SourcePath(const ProcessorInfo& processor) const;
    // The resource root: the nearest folder named "asm" at or above topLevelPath,
    // else APPDATA/Veltrix/Runnel/resources; the chip folder lies under it.
    void ResourceFolder_Find(const std::string& topLevelPath, const std::string& chipName);

    std::vector<ProcessorInfo> processors_;
    TopLevelInfo topLevel_;
    SpiRegisterMap registers_;
    std::shared_ptr<StreamSettings> settings_;
    std::filesystem::path resourceRoot_;
    std::filesystem::path chipFolder_;
    std::string topLevelFile_;
    std::string siVersion_;
    std::string coreProcessor_;
};

}  // namespace Veltrix::Runnel
