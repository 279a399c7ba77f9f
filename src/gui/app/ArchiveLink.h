#pragma once

#include "core/archive/ReadingArchive.h"

#include <memory>
#include <string>

namespace kestrel::gui {

// The window's reading archive, opened when it is first needed. A file that cannot be
// used is tried once: the reason stays for the status bar and the history page.
class ArchiveLink {
public:
    // An empty path: the per-user archive.
    explicit ArchiveLink(std::string path);
    ~ArchiveLink();

    // The open archive, or nullptr (reason() says why).
    ReadingArchive* archive();
    const std::string& path() const { return path_; }
    const std::string& reason() const { return reason_; }

private:
    std::string path_;
    std::unique_ptr<ReadingArchive> archive_;
    bool tried_ = false;
    std::string reason_;
};

} // namespace kestrel::gui
