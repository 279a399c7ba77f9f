#include "core/files/AtomicFileWrite.h"

#include "core/files/SystemErrorText.h"
#include "core/image/DataFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>

#ifdef _WIN32
#include "core/device/WindowsApi.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kestrel {

namespace {

namespace fs = std::filesystem;

// A name beside the target that no other writer picks: the process, a counter and the clock.
std::string besideName(const std::string& path, int attempt)
{
    static std::atomic<unsigned> counter{0};
    const auto now = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
#ifdef _WIN32
    const unsigned long process = GetCurrentProcessId();
#else
    const unsigned long process = static_cast<unsigned long>(getpid());
#endif
    return path + ".part-" + std::to_string(process) + "-" + std::to_string(counter++) + "-"
        + std::to_string((now >> 4) % 1000000) + "-" + std::to_string(attempt);
}

void refuseNonRegular(const std::string& path)
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status) || fs::is_regular_file(status))
        return;
    if (fs::is_directory(status))
        throw FileError(path + ": это папка, а не файл");
    throw FileError(path + ": это не обычный файл, записать в него нельзя");
}

#ifdef _WIN32

void writeFileAtomicallyImpl(const std::string& path, std::string_view bytes)
{
    std::string beside;
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < 20 && file == nullptr; ++attempt) {
        beside = besideName(path, attempt);
        const int fd = _open(beside.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd < 0) {
            if (errno != EEXIST)
                break;
            continue;
        }
        file = _fdopen(fd, "wb");
        if (file == nullptr) {
            _close(fd);
            std::remove(beside.c_str());
            break;
        }
    }
    if (file == nullptr)
        throw FileError(path + ": " + systemErrorText(errno));
    const auto fail = [&](const std::string& reason) {
        if (file != nullptr)
            std::fclose(file);
        std::remove(beside.c_str());
        throw FileError(path + ": " + reason);
    };
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        fail(systemErrorText(errno));
    if (std::fflush(file) != 0)
        fail(systemErrorText(errno));
    const int closed = std::fclose(file);
    file = nullptr;
    if (closed != 0)
        fail(systemErrorText(errno));
    if (!MoveFileExA(beside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail(windowsErrorText(GetLastError()));
}

#else

void writeFileAtomicallyImpl(const std::string& path, std::string_view bytes)
{
    std::string beside;
    int fd = -1;
    for (int attempt = 0; attempt < 20 && fd < 0; ++attempt) {
        beside = besideName(path, attempt);
        // 0666 less the umask, as any file the user's programs create.
        fd = ::open(beside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        throw FileError(path + ": " + systemErrorText(errno));
    const auto fail = [&](int error) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(beside.c_str());
        throw FileError(path + ": " + systemErrorText(error));
    };
    // A file that is replaced keeps its permissions.
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && ::fchmod(fd, existing.st_mode & 07777) != 0)
        fail(errno);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(n < 0 ? errno : EIO);
        done += static_cast<std::size_t>(n);
    }
    // On the disk before the name points at it: a crash after the rename must not leave an
    // empty file under the old name.
    if (::fsync(fd) != 0)
        fail(errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        fail(errno);
    if (::rename(beside.c_str(), path.c_str()) != 0)
        fail(errno);
}

#endif

} // namespace

void writeFileAtomically(const std::string& path, std::string_view bytes)
{
    refuseNonRegular(path);
    writeFileAtomicallyImpl(path, bytes);
}

} // namespace kestrel
