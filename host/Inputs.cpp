#include "host/Inputs.h"

#include "streams/InputFile.h"
#include "streams/JsonInput.h"

namespace Veltrix::Marlin {

static_assert(MaxJsonDepth == Runnel::MaxJsonDepth);
static_assert(MaxInputFileBytes == Runnel::MaxInputFileBytes);

nlohmann::json Json_Parse(std::string_view text, std::size_t maxDepth, bool strict,
                          std::vector<std::string>* duplicateKeys)
{
    return Runnel::Json_Parse(text, {.maxDepth = maxDepth, .strict = strict, .duplicateKeys = duplicateKeys});
}

bool InputFile_Read(const std::string& path, std::string& out, std::string& problem)
{
    return Runnel::InputFile_Read(path, out, &problem) == Runnel::InputFileStatus::Read;
}

}  // namespace Veltrix::Marlin
