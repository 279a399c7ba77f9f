#pragma once

#include <string>

namespace kestrel::pdf {

struct PdfResult {
    bool ok = false;
    // Why the file was not written, in Russian, without the file's name (the caller
    // names it as it likes); empty when ok.
    std::string reason;

    explicit operator bool() const { return ok; }
};

// Writes a document of the core (Windows-1251 HTML) as a PDF, laid out exactly as it
// is printed: A4, the documents' margins and scaling, Cyrillic fonts embedded, the
// HTML's <TITLE> as the PDF's title. The file is written beside the target and renamed
// into place, so a failed write leaves the old file, or none, and no partial one.
// `outPath` is UTF-8. Needs a QGuiApplication (see OffscreenGuiScope); call it on that
// application's thread.
PdfResult writeDocumentPdf(const std::string& windows1251Html, const std::string& outPath);

} // namespace kestrel::pdf
