#pragma once

#include "core/image/MemoryImage.h"

#include <stdexcept>
#include <string>

namespace kestrel {

// A data file cannot be opened, read or written; the message carries the system's reason.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A name that is not a regular file (a folder, a named pipe, a device) is refused at once
// with a FileError whose reason is Russian; nothing waits for a writer or a reader.

// Writes exactly the 32 768 bytes of the image.
void saveImage(const std::string& fileName, const MemoryImage& image);

// Reads up to 32 768 bytes from the start of the file into a zero-filled image:
// a short file never leaves parts of an earlier reading behind.
// `bytesRead`, when given, receives how many bytes the file supplied (at most 32 768).
MemoryImage readImageFile(const std::string& fileName, std::size_t* bytesRead = nullptr);

// The extension test of the open dialogs: ".bbd" in any case.
bool hasDataFileExtension(const std::string& fileName);

inline constexpr const char* kWrongExtensionMessage = "Файл данных должен быть с расширением *.bbd";

} // namespace kestrel
