#pragma once

// A folder of 10 000 demo data files, written once per benchmark run and removed when
// the program ends.
#include "core/demo/DemoImage.h"
#include "core/image/DataFile.h"

#include <filesystem>
#include <string>
#include <unistd.h>

namespace kestrel {

inline constexpr int kFileCount = 10000;

class DemoFolder {
public:
    DemoFolder()
        : path_(std::filesystem::temp_directory_path() / ("kestrel-bench-" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(path_);
        for (int i = 0; i < kFileCount; ++i) {
            const std::string name = "reading-" + std::to_string(100000 + i) + ".bbd";
            saveImage((path_ / name).string(), makeDemoImage(static_cast<std::uint32_t>(i)));
        }
    }
    ~DemoFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    DemoFolder(const DemoFolder&) = delete;
    DemoFolder& operator=(const DemoFolder&) = delete;

    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

inline const DemoFolder& folder()
{
    static const DemoFolder instance;
    return instance;
}

} // namespace kestrel
