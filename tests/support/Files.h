#pragma once
// Scratch folders, whole-file reads and writes, and the paths of the checked-in
// data (examples, golden profiles) that every test folder uses.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace PloverTest {

// A fresh folder for one test, removed with everything in it afterwards. The
// process id keeps parallel test programs apart, the counter the folders of one.
class TempFolder {
public:
    TempFolder()
    {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("plover_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

    // Writes a file below the folder, creating the folders on its way.
    std::filesystem::path Write(const std::string& relative, const std::string& text) const
    {
        const auto file = path_ / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }

private:
    std::filesystem::path path_;
};

// The whole file, byte for byte; "" when it cannot be read.
inline std::string ReadText(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteText(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

inline std::string SourcePath(const std::string& relative) { return std::string(PLOVER_SOURCE_DIR) + "/" + relative; }

// An example blueprint by name, with or without its ".json".
inline std::string ExamplePath(const std::string& name)
{
    const bool hasExtension = name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0;
    return SourcePath("examples/" + name + (hasExtension ? "" : ".json"));
}

inline std::string GoldenPath(const std::string& name) { return SourcePath("tests/golden/" + name + ".profile.json"); }

}  // namespace PloverTest
