#include "streams/Device.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "streams/InputFile.h"
#include "streams/StreamReader.h"

namespace Veltrix::Runnel {

namespace fs = std::filesystem;

void Device::ResourceFolder_Find(const std::string& topLevelPath, const std::string& chipName)
{
    if (!topLevelPath.empty()) {
        fs::path folder(topLevelPath);
        while (folder.filename() != "asm") {
            const fs::path parent = folder.parent_path();
            if (parent.empty() || parent == folder) {
                throw std::invalid_argument("topLevelPath invalid!");
            }
            folder = parent;
        }
        resourceRoot_ = folder;
    } else {
        const char* appData = std::getenv("APPDATA");
        resourceRoot_ = fs::path(appData ? appData : "") / "Veltrix" / "Runnel" / "resources";
        std::error_code error;
        if (!fs::is_directory(resourceRoot_, error)) {
            throw std::invalid_argument("Streaam resource directory not found.  Expected: " + resourceRoot_.string());
        }
    }
    chipFolder_ = resourceRoot_ / chipName;
}

const ProcessorInfo& Device::Processor(const std::string& name) const
{
    for (const ProcessorInfo& processor : processors_) {
        if (processor.name == name) {
            return processor;
        }
    }
    throw std::invalid_argument("Unknown stream processor: " + name);
}

ProcessorInfo& Device::ProcessorByName(const std::string& name)
{
    return const_cast<ProcessorInfo&>(static_cast<const Device&>(*this).Processor(name));
}

void Device::TopLevel_Read(const std::string& path)
{
    if (path.empty()) {
        throw std::invalid_argument("Top level text file cannot be empty.");
    }
    std::istringstream in(InputFile_ReadOrThrow(path, "Can't open top level text file, check the path: " + path));
    TopLevelInfo info = ParseTopLevel(in);
    topLevelFile_ = path;

    for (const std::string& name : info.processors) {
        bool known = false;
        for (const ProcessorInfo& processor : processors_) {
            known = known || processor.name == name;
        }
        if (!known) {
            throw std::invalid_argument("Unrecognized processor in top_level.txt: " + name);
        }
    }
    if (info.processors.size() != processors_.size()) {
        throw std::out_of_range("Not all processors have been listed in the top_level.txt");
    }

    std::uint64_t imageBytes = 0;
    for (const std::string& name : info.processors) {
        ProcessorInfo& processor = ProcessorByName(name);
        const ProcessorOptions& options = info.options.at(name);
        const auto tooLarge = [&](const char* option, std::uint32_t limit) {
            throw std::invalid_argument("Option " + std::string(option) + " of processor " + name +
                                        " in top_level.txt exceeds " + std::to_string(limit));
        };
        processor.streamFile = options.streamFile;
        if (options.size) {
            if (*options.size > 0xFFFF) {
                tooLarge("size", 0xFFFF);
            }
            processor.Resize(static_cast<std::uint16_t>(*options.size));
        }
        if (options.binaryBase) {
            processor.binaryBase = *options.binaryBase;
        }
        if (options.numStreams) {
            if (*options.numStreams > 0xFF) {
                tooLarge("numstreams", 0xFF);
            }
            processor.numStreams = static_cast<std::uint8_t>(*options.numStreams);
        }
        if (options.imageOffset) {
            if (*options.imageOffset > 0xFFFF) {
                tooLarge("imageoffset", 0xFFFF);
            }
            processor.imageOffset = static_cast<std::uint16_t>(*options.imageOffset);
        }
        // The header, the jump table and the CRC must fit, or the block cannot be laid out.
        const std::size_t extra = name == coreProcessor_ ? ExtraCoreHeaderBytes() : 0;
        const std::size_t minimum = processor.FixedBytes(extra) + kCrcBytes;
        if (processor.size < minimum) {
            throw std::invalid_argument("Processor " + name + " size " + std::to_string(processor.size) +
                                        " in top_level.txt is too small for its header and jump table (" +
                                        std::to_string(minimum) + " bytes)");
        }
        if (static_cast<std::uint64_t>(processor.binaryBase) + processor.size > 0x100000000ULL) {
            throw std::invalid_argument("Processor " + name + " in top_level.txt runs past the 32-bit address space");
        }
        // The core header gives each block's offset in 16 bits.
        if (imageBytes > 0xFFFF) {
            throw std::invalid_argument("Processor " + name +
                                        " in top_level.txt starts beyond the 64 KiB that the image header can address");
        }
        imageBytes += processor.size;
    }
    topLevel_ = std::move(info);
}

void Device::Settings_Set(const StreamSettings& settings)
{
    settings_->tokens = settings.tokens;
    settings_->defines = settings.defines;
}

void Device::TemplateSettings_Load(const std::string& path)
{
    const std::string file = path.empty()
        ? (resourceRoot_ / ("skua" + std::to_string(topLevel_.ProductID)) / "templateSettings.json").string()
        : path;
    settings_->Load(file);
}

std::vector<std::uint8_t> Device::ExtraCoreHeader() const
{
    std::vector<std::uint8_t> header;
    const auto put = [&header](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            header.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    };
    put(topLevel_.ProductID, 4);
    put(topLevel_.ProfileID, 4);
    put(topLevel_.MajorVersionID & 0xFF, 1);
    put(topLevel_.MinorVersionID & 0xFF, 1);
    put(topLevel_.MaintVersionID & 0xFF, 1);
    put(topLevel_.BuildVersionID & 0xFF, 1);
    std::uint32_t offset = 0;
    for (const std::string& name : topLevel_.processors) {
        const ProcessorInfo& processor = Processor(name);
        put(processor.size, 2);
        put(offset, 2);
        offset += processor.size;
    }
    // The build number's high byte was added after the processor table existed.
    put(static_cast<std::uint32_t>(topLevel_.BuildVersionID >> 8), 1);
    put(0, 3);
    put(0, 4);
    return header;
}

fs::path Device::SourcePath(const ProcessorInfo& processor) const
{
    const fs::path source = fs::path(processor.streamFile).is_absolute() ? fs::path(processor.streamFile)
                                                                         : chipFolder_ / processor.streamFile;
    const auto options = topLevel_.options.find(processor.name);
    const int line = options == topLevel_.options.end() ? 0 : options->second.line;
    const auto refuse = [&](const std::string& why) {
        throw std::invalid_argument("'" + topLevelFile_ + "' line " + std::to_string(line) + ": stream source '" +
                                    processor.streamFile + "' of processor " + processor.name + " " + why);
    };
    std::error_code fileError;
    std::error_code rootError;
    const fs::path file = fs::weakly_canonical(source, fileError);
    const fs::path root = fs::weakly_canonical(resourceRoot_, rootError);
    if (fileError || rootError) {
        return source;  // the read that follows names what is missing
    }
    // The sources live with the templates; a path leading elsewhere (by "..",
    // an absolute path or a link) would assemble whatever file it names.
    const auto [rootEnd, fileAt] = std::mismatch(root.begin(), root.end(), file.begin(), file.end());
    if (rootEnd != root.end()) {
        refuse("lies outside the resource folder '" + resourceRoot_.string() + "'");
    }
    std::error_code sameError;
    if (!topLevelFile_.empty() && fs::equivalent(file, topLevelFile_, sameError)) {
        refuse("is the top-level file itself");
    }
    return source;
}

std::vector<std::uint8_t> Device::Image_Build()
{
    // The top-level Debug flag lets the sources keep %ifdef DEBUG blocks.
    if (topLevel_.Debug) {
        settings_->defines.emplace("DEBUG", std::string(1, '1'));
    }
    std::vector<std::uint8_t> image;
    for (const std::string& name : topLevel_.processors) {
        ProcessorInfo& processor = ProcessorByName(name);
        const fs::path source = SourcePath(processor);
        std::string text;
        std::string problem;
        switch (InputFile_Read(source.string(), text, &problem)) {
        case InputFileStatus::Read:
            break;
        case InputFileStatus::CannotOpen:
            throw std::invalid_argument("Can't open stream file for " + name);
        default:
            throw std::invalid_argument("'" + topLevelFile_ + "' line " +
                                        std::to_string(topLevel_.options.at(name).line) + ": processor " + name +
                                        ": " + problem);
        }
        std::istringstream in(std::move(text));
        processor.streams.clear();
        processor.read = false;
        const std::vector<std::uint8_t> extra =
            name == coreProcessor_ ? ExtraCoreHeader() : std::vector<std::uint8_t>{};
        try {
            ReadStreamFile(processor, in, registers_, *settings_, extra);
        } catch (const StreamSourceError& e) {
            const std::string where = e.line > 0 ? " line " + std::to_string(e.line) : std::string();
            throw std::invalid_argument("'" + source.string() + "'" + where + ": " + e.what());
        }
        image.insert(image.end(), processor.buffer.begin(), processor.buffer.end());
    }
    return image;
}

}  // namespace Veltrix::Runnel
