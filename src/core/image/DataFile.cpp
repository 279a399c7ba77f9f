#include "core/image/DataFile.h"

#include "core/files/AtomicFileWrite.h"
#include "core/files/SystemErrorText.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#ifdef _WIN32
#include <cstdio>
#include <memory>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kestrel {

namespace {

namespace fs = std::filesystem;

std::string reason(const std::string& fileName) { return fileName + ": " + systemErrorText(errno); }

// Why a file of this type cannot hold a memory image; empty for a regular file.
std::string notRegularReason(fs::file_type type)
{
    switch (type) {
    case fs::file_type::regular:
        return {};
    case fs::file_type::directory:
        return "это папка, а не файл данных";
    case fs::file_type::fifo:
        return "это именованный канал, а не файл данных";
    case fs::file_type::character:
    case fs::file_type::block:
        return "это устройство, а не файл данных";
    case fs::file_type::socket:
        return "это сокет, а не файл данных";
    default:
        return "это не обычный файл, а файл данных может быть только обычным файлом";
    }
}

// Refuses at once a name that exists but is no regular file: opening a named pipe with
// no writer, or a device, would block for ever. A name that does not exist (yet) passes,
// and so does a folder when the system itself refuses it at once (writing).
void refuseExistingNonRegular(const std::string& fileName, bool systemRefusesFolder)
{
    std::error_code ec;
    const fs::file_status status = fs::status(fileName, ec);
    if (ec || !fs::exists(status))
        return; // opening will give the system's reason
    if (systemRefusesFolder && fs::is_directory(status))
        return;
    if (const std::string why = notRegularReason(status.type()); !why.empty())
        throw FileError(fileName + ": " + why);
}

#ifdef _WIN32

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

#else

// A descriptor closed on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

fs::file_type typeOf(mode_t mode)
{
    if (S_ISREG(mode))
        return fs::file_type::regular;
    if (S_ISDIR(mode))
        return fs::file_type::directory;
    if (S_ISFIFO(mode))
        return fs::file_type::fifo;
    if (S_ISCHR(mode))
        return fs::file_type::character;
    if (S_ISBLK(mode))
        return fs::file_type::block;
    if (S_ISSOCK(mode))
        return fs::file_type::socket;
    return fs::file_type::unknown;
}

// Opens without blocking (the name may have become a pipe since it was looked at) and
// keeps the descriptor only for a regular file.
Descriptor openRegular(const std::string& fileName, int flags, mode_t mode = 0)
{
    Descriptor fd(::open(fileName.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode));
    if (fd.get() < 0)
        throw FileError(reason(fileName));
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        throw FileError(reason(fileName));
    if (const std::string why = notRegularReason(typeOf(info.st_mode)); !why.empty())
        throw FileError(fileName + ": " + why);
    return Descriptor(fd.release());
}

#endif

} // namespace

void saveImage(const std::string& fileName, const MemoryImage& image)
{
    writeFileAtomically(fileName, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
}

MemoryImage readImageFile(const std::string& fileName, std::size_t* bytesRead)
{
    refuseExistingNonRegular(fileName, false);
    MemoryImage image{};
    std::size_t got = 0;
#ifdef _WIN32
    FilePtr f(std::fopen(fileName.c_str(), "rb"));
    if (!f)
        throw FileError(reason(fileName));
    while (got < image.size()) {
        const std::size_t n = std::fread(image.data() + got, 1, image.size() - got, f.get());
        if (n == 0)
            break;
        got += n;
    }
    if (std::ferror(f.get()))
        throw FileError(reason(fileName));
#else
    const Descriptor fd = openRegular(fileName, O_RDONLY);
    while (got < image.size()) {
        const ssize_t n = ::read(fd.get(), image.data() + got, image.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw FileError(reason(fileName));
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
#endif
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
