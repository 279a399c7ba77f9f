#include "core/files/AtomicFileWrite.h"
#include "core/files/SystemErrorText.h"
#include "core/image/DataFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include <locale.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t entries(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(AtomicFileWrite, ReplacesAFileWholeKeepingItsPermissionsAndLeavesNothingBeside)
{
    test::TempDir dir;
    const std::string path = dir.file("protocol.html");
    writeFileAtomically(path, "first");
    ::chmod(path.c_str(), 0640);
    writeFileAtomically(path, std::string(40000, 'x'));
    EXPECT_EQ(contents(path), std::string(40000, 'x'));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    writeFileAtomically(path, "");
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(AtomicFileWrite, AFolderThatIsGoneOrATargetThatIsAFolderIsRefusedByName)
{
    test::TempDir dir;
    const std::string gone = dir.file("vanished/reading.bbd");
    try {
        writeFileAtomically(gone, "bytes");
        FAIL() << "written into a folder that does not exist";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), gone + ": " + systemErrorText(ENOENT));
    }
    fs::create_directory(dir.file("folder"));
    try {
        writeFileAtomically(dir.file("folder"), "bytes");
        FAIL() << "a folder was replaced";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), dir.file("folder") + ": это папка, а не файл");
    }
    EXPECT_TRUE(fs::is_directory(dir.file("folder")));
    EXPECT_EQ(entries(dir.path()), 1u);
}

// A disk that fills up in the middle of the write: the file size limit makes write() fail
// the way a full disk does, after part of the bytes went out.
TEST(AtomicFileWrite, AWriteThatFailsHalfwayLeavesTheOldFileAndNoPartialOne)
{
    test::TempDir dir;
    const std::string path = dir.file("reading.bbd");
    writeFileAtomically(path, "the old reading");
    const MemoryImage image{};

    rlimit previous {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string failure;
    try {
        saveImage(path, image);
    } catch (const FileError& e) {
        failure = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousSignal);

    EXPECT_EQ(failure, path + ": " + systemErrorText(EFBIG));
    EXPECT_EQ(contents(path), "the old reading");
    EXPECT_EQ(entries(dir.path()), 1u);
}

// Each test runs in a process of its own, so the messages locale is made from this
// environment. The numeric locale of the program stays as it was.
TEST(SystemErrorText, SpeaksTheUsersLanguageFromTheMessagesCategoryOnly)
{
    const locale_t russian = newlocale(LC_MESSAGES_MASK, "ru_RU.UTF-8", static_cast<locale_t>(0));
    if (russian == static_cast<locale_t>(0) || !fs::exists("/usr/share/locale/ru/LC_MESSAGES/libc.mo"))
        GTEST_SKIP() << "no ru_RU.UTF-8 locale or no Russian C library messages (libc-l10n)";
    freelocale(russian);
    ::setenv("LC_ALL", "ru_RU.UTF-8", 1);
    const std::string text = systemErrorText(ENOENT);
    ::unsetenv("LC_ALL");
    EXPECT_EQ(text, "Нет такого файла или каталога");
    EXPECT_STREQ(std::localeconv()->decimal_point, ".");
}

} // namespace
} // namespace kestrel
