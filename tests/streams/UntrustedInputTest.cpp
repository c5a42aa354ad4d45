// Reads of untrusted files and JSON text: what is refused before anything is
// read, and the JSON parser's depth limit and duplicate-key paths.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/Files.h"
#include "support/Throws.h"
#include "streams/InputFile.h"
#include "streams/JsonInput.h"

using namespace Veltrix::Runnel;

TEST(UntrustedInput, FilesThatAreNotSmallRegularFilesAreRefusedUnread)
{
    PloverTest::TempFolder folder;
    const auto file = [&folder](const std::string& name) { return (folder.path() / name).string(); };
    const std::string small = folder.Write("small.json", "{}").string();
    const std::string big = folder.Write("big.json", "x").string();
    ASSERT_EQ(::truncate(big.c_str(), static_cast<off_t>(MaxInputFileBytes + 1)), 0);
    const std::string fifo = file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    const struct {
        std::string path;
        InputFileStatus status;
        std::string problem;
    } cases[] = {
        {small, InputFileStatus::Read, ""},
        {file("missing.json"), InputFileStatus::CannotOpen, "cannot open '" + file("missing.json") + "'"},
        {folder.path().string(), InputFileStatus::NotRegular, "'" + folder.path().string() + "' is a folder, not a file"},
        {"/dev/zero", InputFileStatus::NotRegular, "'/dev/zero' is not a regular file"},
        // Opening a FIFO with no writer must neither block nor read.
        {fifo, InputFileStatus::NotRegular, "'" + fifo + "' is not a regular file"},
        {big, InputFileStatus::TooLarge, "'" + big + "' is larger than the 16777216-byte limit for input files"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string out = "untouched";
        std::string problem;
        EXPECT_EQ(InputFile_Read(c.path, out, &problem), c.status);
        EXPECT_EQ(problem, c.problem);
        EXPECT_EQ(out, c.status == InputFileStatus::Read ? "{}" : "untouched");
    }
    // The caller's own message stays for a file that cannot be opened.
    EXPECT_EQ(PloverTest::ThrownText<std::invalid_argument>(
                  [&] { InputFile_ReadOrThrow(file("missing.json"), "Can't open template file!"); }),
              "Can't open template file!");
}

TEST(UntrustedInput, JsonDepthLimitAndDuplicateKeyPaths)
{
    const auto nested = [](std::size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); };
    EXPECT_NO_THROW(Json_Parse(nested(MaxJsonDepth)));
    EXPECT_THROW(Json_Parse(nested(MaxJsonDepth + 1)), nlohmann::json::parse_error);
    // Far past the limit: refused while parsing, never copied or printed.
    EXPECT_THROW(Json_Parse(nested(200000)), nlohmann::json::parse_error);
    EXPECT_THROW(Json_Parse(std::string(200000, '{')), nlohmann::json::parse_error);

    std::vector<std::string> duplicates;
    const std::string text = R"({"a": 1, "b": {"c": [{"d": 1, "d": 2}], "c": 3}, "a": 4})";
    const nlohmann::json value = Json_Parse(text, {.duplicateKeys = &duplicates});
    EXPECT_EQ(duplicates, (std::vector<std::string>{"b.c[0].d", "b.c", "a"}));
    // The same value the library's own parser gives (the last key wins).
    EXPECT_EQ(value, nlohmann::json::parse(text));

    // Non-strict reading stops after the first value, as a stream extraction does.
    EXPECT_EQ(Json_Parse("{\"x\": 1} trailing", {.strict = false}), nlohmann::json({{"x", 1}}));
    EXPECT_THROW(Json_Parse("{\"x\": 1} trailing"), nlohmann::json::parse_error);
}
