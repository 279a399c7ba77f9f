#include "core/files/SystemErrorText.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include "core/device/WindowsApi.h"
#else
#include <locale.h>
#endif

namespace kestrel {

#ifdef _WIN32

std::string windowsErrorText(unsigned long code)
{
    wchar_t* buffer = nullptr;
    // Language 0: the user's, then the system's; Windows picks what is installed.
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text;
    if (length > 0 && buffer != nullptr) {
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
        text.resize(static_cast<std::size_t>(bytes > 0 ? bytes : 0));
        if (bytes > 0)
            WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(length), text.data(), bytes, nullptr, nullptr);
    }
    if (buffer != nullptr)
        LocalFree(buffer);
    // System messages end with ".\r\n"; the callers put them after a colon.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    if (text.empty())
        text = "ошибка Windows " + std::to_string(code);
    return text;
}

namespace {

// The C runtime keeps only English texts; the few errno values a file operation gives are
// said through the system's messages instead.
unsigned long windowsCodeOf(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case EACCES: return ERROR_ACCESS_DENIED;
    case ENOSPC: return ERROR_DISK_FULL;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EROFS: return ERROR_WRITE_PROTECT;
    case EMFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOTDIR: return ERROR_DIRECTORY;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EIO: return ERROR_GEN_FAILURE;
    default: return 0;
    }
}

} // namespace

std::string systemErrorText(int errorNumber)
{
    if (const unsigned long code = windowsCodeOf(errorNumber); code != 0)
        return windowsErrorText(code);
    return std::strerror(errorNumber);
}

std::string systemErrorText(const std::error_code& error)
{
    if (error.category() == std::system_category())
        return windowsErrorText(static_cast<unsigned long>(error.value()));
    return systemErrorText(error.value());
}

#else

std::string systemErrorText(int errorNumber)
{
    // Made for each message (errors are rare), so it follows the environment as it is now.
    // Only the messages category comes from the user; characters are always UTF-8, and the
    // program's own locale (which Qt sets from the environment, numbers included) is untouched.
    locale_t messages = newlocale(LC_MESSAGES_MASK, "", static_cast<locale_t>(0));
    if (messages == static_cast<locale_t>(0))
        return std::strerror(errorNumber);
    if (const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", messages); utf8 != static_cast<locale_t>(0))
        messages = utf8;
    std::string text = strerror_l(errorNumber, messages);
    freelocale(messages);
    return text;
}

std::string systemErrorText(const std::error_code& error)
{
    if (error.category() == std::system_category() || error.category() == std::generic_category())
        return systemErrorText(error.value());
    return error.message();
}

#endif

} // namespace kestrel
