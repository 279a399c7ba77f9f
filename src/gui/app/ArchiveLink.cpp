#include "gui/app/ArchiveLink.h"

#include "core/archive/ArchiveLocation.h"
#include "core/archive/SqliteArchive.h"

namespace kestrel::gui {

ArchiveLink::ArchiveLink(std::string path) : path_(path.empty() ? defaultArchivePath() : std::move(path)) {}

ArchiveLink::~ArchiveLink() = default;

ReadingArchive* ArchiveLink::archive()
{
    if (!tried_) {
        tried_ = true;
        if (path_.empty()) {
            reason_ = "Архив недоступен: папка данных пользователя неизвестна.";
        } else {
            try {
                archive_ = openSqliteArchive(path_);
            } catch (const ArchiveError& error) {
                reason_ = error.what();
            }
        }
    }
    return archive_.get();
}

} // namespace kestrel::gui
