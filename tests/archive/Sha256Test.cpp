// SHA-256 against the FIPS 180-4 examples, a whole reading against sha256sum, and the
// digest of a message fed in pieces that straddle the 64-byte blocks.
#include "core/archive/ReadingDigest.h"
#include "core/archive/Sha256.h"

#include <gtest/gtest.h>

#include <span>
#include <string_view>
#include <vector>

using namespace kestrel;

namespace {

std::span<const std::uint8_t> bytesOf(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string hexOf(std::string_view text, Sha256::Engine engine = Sha256::Engine::Fastest)
{
    return Sha256::hex(Sha256::of(bytesOf(text), engine));
}

} // namespace

// The processor's SHA instructions (where this machine has them) and the portable code.
class Sha256Engines : public ::testing::TestWithParam<Sha256::Engine> {};
INSTANTIATE_TEST_SUITE_P(Both, Sha256Engines, ::testing::Values(Sha256::Engine::Fastest, Sha256::Engine::Portable),
    [](const ::testing::TestParamInfo<Sha256::Engine>& info) {
        return std::string(info.param == Sha256::Engine::Fastest ? "Fastest" : "Portable");
    });

TEST_P(Sha256Engines, GiveTheStandardsExampleDigests)
{
    const auto hexOf = [](std::string_view text) { return ::hexOf(text, GetParam()); };
    EXPECT_EQ(hexOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(hexOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 448 bits: the padding no longer fits the last block.
    EXPECT_EQ(hexOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
        "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    const std::string million(1'000'000, 'a');
    EXPECT_EQ(hexOf(million), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST_P(Sha256Engines, GiveTheSameDigestWhateverThePiecesTheBytesComeIn)
{
    std::string message;
    for (int i = 0; i < 1000; ++i)
        message.push_back(static_cast<char>('a' + i % 26));
    const auto whole = Sha256::of(bytesOf(message), Sha256::Engine::Portable);
    for (const std::size_t piece : {1u, 7u, 55u, 56u, 63u, 64u, 65u, 129u, 1000u}) {
        Sha256 sha(GetParam());
        for (std::size_t at = 0; at < message.size(); at += piece)
            sha.update(bytesOf(std::string_view(message).substr(at, piece)));
        EXPECT_EQ(sha.finish(), whole) << "pieces of " << piece;
    }
}

TEST(ReadingDigest, IsSha256sumOfTheReadingsBytes)
{
    // The same bytes, written to a file, gave this line from sha256sum.
    MemoryImage image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(((i * 7 + 3) ^ (i >> 8)) & 0xFF);
    EXPECT_EQ(readingDigest(image), "1f75cdba74d27185e005ad22993488e936b29ed162cf11c3fb9b60383901e29b");
    image[0x1234] ^= 0x10;
    EXPECT_NE(readingDigest(image), "1f75cdba74d27185e005ad22993488e936b29ed162cf11c3fb9b60383901e29b");
}
