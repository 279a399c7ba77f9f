#include "core/image/DataFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace kestrel {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string reason(const std::string& fileName) { return fileName + ": " + std::strerror(errno); }

} // namespace

void saveImage(const std::string& fileName, const MemoryImage& image)
{
    FilePtr f(std::fopen(fileName.c_str(), "wb"));
    if (!f)
        throw FileError(reason(fileName));
    if (std::fwrite(image.data(), 1, image.size(), f.get()) != image.size())
        throw FileError(reason(fileName));
    if (std::fclose(f.release()) != 0)
        throw FileError(reason(fileName));
}

MemoryImage readImageFile(const std::string& fileName, std::size_t* bytesRead)
{
    MemoryImage image{};
    FilePtr f(std::fopen(fileName.c_str(), "rb"));
    if (!f)
        throw FileError(reason(fileName));
    std::size_t got = 0;
    while (got < image.size()) {
        const std::size_t n = std::fread(image.data() + got, 1, image.size() - got, f.get());
        if (n == 0)
            break;
        got += n;
    }
    if (std::ferror(f.get()))
        throw FileError(reason(fileName));
    if (bytesRead != nullptr)
        *bytesRead = got;
    return image;
}

bool hasDataFileExtension(const std::string& fileName)
{
    const auto slash = fileName.find_last_of("/\\");
    const auto dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return false;
    std::string ext = fileName.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
    return ext == ".BBD";
}

} // namespace kestrel
