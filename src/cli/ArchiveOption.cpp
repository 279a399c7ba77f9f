#include "cli/ArchiveOption.h"

#ifdef KESTREL_HAVE_ARCHIVE
#include "core/archive/ArchiveLocation.h"
#include "core/archive/SqliteArchive.h"

#include <filesystem>
#endif

namespace kestrel::cli {

std::unique_ptr<ReadingArchive> openArchiveOption(const ParsedArgs& args, bool onlyIfItExists)
{
#ifdef KESTREL_HAVE_ARCHIVE
    if (const auto named = args.value("--archive"))
        return openSqliteArchive(*named);
    const std::string path = defaultArchivePath();
    if (path.empty())
        throw UsageError("папка данных пользователя неизвестна: укажите архив (--archive)");
    std::error_code error;
    if (onlyIfItExists && !std::filesystem::exists(path, error))
        return nullptr;
    return openSqliteArchive(path);
#else
    (void)onlyIfItExists;
    if (args.value("--archive"))
        throw UsageError(kNoArchiveSupportMessage);
    return nullptr;
#endif
}

} // namespace kestrel::cli
