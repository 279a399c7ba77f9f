#include "core/files/SystemErrorText.h"
#include "portio/PpdevBackend.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#if defined(__linux__)
// The request codes are made by the ioctl macros.
#include <sys/ioctl.h>
#include <linux/ppdev.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kestrel::portio {
namespace {

// The kernel's side of ppdev as far as the backend sees it. With the printer driver
// loaded, an exclusive claim is refused (ENXIO) while a shared one is granted.
class FakePpdev : public PpdevCalls {
public:
    bool printerDriverLoaded = false;
    bool exclusiveRequestRefused = false;
    std::map<unsigned long, int> failing; // requests that fail with this error number
    std::set<std::string> missingNodes;
    std::vector<std::string> log;
    int openFiles = 0;
    unsigned char data = 0;
    unsigned char status = 0x78;

    int openDevice(const std::string& path, int& fd) override
    {
        log.push_back("open " + path);
        if (missingNodes.count(path) != 0)
            return ENOENT;
        fd = nextFd_++;
        exclusive_[fd] = false;
        ++openFiles;
        return 0;
    }
    int control(int fd, unsigned long request, void* argument) override
    {
        log.push_back(name(request));
        if (const auto it = failing.find(request); it != failing.end())
            return it->second;
        auto* byte = static_cast<unsigned char*>(argument);
        switch (request) {
        case PPEXCL:
            if (exclusiveRequestRefused)
                return EBUSY;
            exclusive_[fd] = true;
            return 0;
        case PPCLAIM:
            return printerDriverLoaded && exclusive_[fd] ? ENXIO : 0;
        case PPRSTATUS:
            *byte = status;
            return 0;
        case PPRDATA:
            *byte = data;
            return 0;
        case PPWDATA:
            data = *byte;
            return 0;
        default:
            return 0;
        }
    }
    void closeDevice(int) override
    {
        log.push_back("close");
        --openFiles;
    }

private:
    static std::string name(unsigned long request)
    {
        static const std::map<unsigned long, std::string> names = {{PPEXCL, "PPEXCL"}, {PPCLAIM, "PPCLAIM"},
            {PPRELEASE, "PPRELEASE"}, {PPRDATA, "PPRDATA"}, {PPWDATA, "PPWDATA"}, {PPRSTATUS, "PPRSTATUS"},
            {PPRCONTROL, "PPRCONTROL"}, {PPWCONTROL, "PPWCONTROL"}};
        const auto it = names.find(request);
        return it == names.end() ? "?" : it->second;
    }
    int nextFd_ = 3;
    std::map<int, bool> exclusive_;
};

using Log = std::vector<std::string>;

struct PpdevBackendTest : ::testing::Test {
    FakePpdev kernel;
    test::TempDir proc; // an empty /proc/sys/dev/parport unless a case fills it

    DeviceSelection node(const std::string& device = "/dev/parport0")
    {
        DeviceSelection selection;
        selection.kind = PortBackendKind::Ppdev;
        selection.path = device;
        return selection;
    }
    std::unique_ptr<PpdevBackend> open(const DeviceSelection& selection)
    {
        return std::make_unique<PpdevBackend>(selection, kernel, proc.path().string());
    }
};

TEST_F(PpdevBackendTest, ClaimsThePortExclusivelyWhenNobodyElseHoldsIt)
{
    auto backend = open(node());
    EXPECT_EQ(backend->reason(), nullptr);
    EXPECT_TRUE(backend->exclusive(0x378));
    EXPECT_EQ(kernel.log, (Log{"open /dev/parport0", "PPEXCL", "PPCLAIM"}));
    backend->writeByte(0x378, 0x2F);
    EXPECT_EQ(backend->readByte(0x378), 0x2F);
    EXPECT_EQ(backend->readByte(0x379), 0x78);
    backend.reset();
    EXPECT_EQ(kernel.openFiles, 0);
}

TEST_F(PpdevBackendTest, FallsBackToASharedClaimWhenExclusiveAccessIsRefused)
{
    // Refused either as PPEXCL itself or, as the kernel does with lp loaded, as the claim after it.
    for (const bool refusedAtTheRequest : {true, false}) {
        FakePpdev printerDesktop;
        printerDesktop.exclusiveRequestRefused = refusedAtTheRequest;
        printerDesktop.printerDriverLoaded = !refusedAtTheRequest;
        PpdevBackend backend(node(), printerDesktop, proc.path().string());
        EXPECT_EQ(backend.reason(), nullptr) << backend.reason();
        EXPECT_FALSE(backend.exclusive(0x378));
        const Log expected = refusedAtTheRequest
            ? Log{"open /dev/parport0", "PPEXCL", "close", "open /dev/parport0", "PPCLAIM"}
            : Log{"open /dev/parport0", "PPEXCL", "PPCLAIM", "close", "open /dev/parport0", "PPCLAIM"};
        EXPECT_EQ(printerDesktop.log, expected);
        EXPECT_EQ(printerDesktop.openFiles, 1);
        EXPECT_EQ(backend.readByte(0x379), 0x78);
    }
}

TEST_F(PpdevBackendTest, APortThatCannotBeClaimedAtAllSaysWhy)
{
    kernel.exclusiveRequestRefused = true;
    kernel.failing[PPCLAIM] = EBUSY;
    auto backend = open(node());
    ASSERT_NE(backend->reason(), nullptr);
    EXPECT_EQ(std::string(backend->reason()), "ppdev: /dev/parport0: порт занят (PPCLAIM): " + systemErrorText(EBUSY));
    EXPECT_EQ(kernel.openFiles, 0);

    FakePpdev noNode;
    noNode.missingNodes = {"/dev/parport3"};
    PpdevBackend missing(node("/dev/parport3"), noNode, proc.path().string());
    ASSERT_NE(missing.reason(), nullptr);
    EXPECT_NE(std::string(missing.reason()).find(systemErrorText(ENOENT)), std::string::npos);
}

TEST_F(PpdevBackendTest, APortLostMidwayIsGivenUpAndItsReasonKept)
{
    auto backend = open(node());
    EXPECT_EQ(backend->readByte(0x379), 0x78);
    EXPECT_EQ(backend->portFailure(0x379), nullptr);

    kernel.failing[PPRSTATUS] = ENODEV; // the card is gone
    EXPECT_EQ(backend->readByte(0x379), 0xFF);
    const std::string reason = "ppdev: /dev/parport0: PPRSTATUS: " + systemErrorText(ENODEV);
    for (const std::uint16_t port : {0x378, 0x379, 0x37A}) {
        ASSERT_NE(backend->portFailure(port), nullptr);
        EXPECT_EQ(backend->portFailure(port), reason);
    }
    EXPECT_EQ(backend->portFailure(0x37B), nullptr);
    EXPECT_EQ(backend->portFailure(0x278), nullptr);
    EXPECT_EQ(kernel.openFiles, 0);
    EXPECT_EQ(kernel.log.back(), "close");

    // Nothing more goes to the lost file, not even at unload.
    const std::size_t calls = kernel.log.size();
    backend->writeByte(0x378, 0x10);
    EXPECT_EQ(backend->readByte(0x378), 0xFF);
    backend.reset();
    EXPECT_EQ(kernel.log.size(), calls);
}

TEST_F(PpdevBackendTest, EveryParportTheKernelListsServesItsOwnAddresses)
{
    std::filesystem::create_directories(proc.path() / "parport0");
    std::filesystem::create_directories(proc.path() / "parport1");
    std::filesystem::create_directories(proc.path() / "parport2"); // no base address: passed over
    std::ofstream(proc.path() / "parport0" / "base-addr") << "888\t1912\n";
    std::ofstream(proc.path() / "parport1" / "base-addr") << "48128\t0\n";

    DeviceSelection any;
    any.kind = PortBackendKind::Ppdev;
    auto backend = open(any);
    EXPECT_EQ(backend->reason(), nullptr);
    EXPECT_EQ(kernel.openFiles, 2);
    EXPECT_TRUE(backend->exclusive(0x378));
    EXPECT_TRUE(backend->exclusive(0xBC02));
    EXPECT_FALSE(backend->exclusive(0x278));

    kernel.failing[PPWDATA] = EIO;
    backend->writeByte(0xBC00, 0x0F);
    EXPECT_NE(backend->portFailure(0xBC00), nullptr);
    EXPECT_EQ(backend->portFailure(0x378), nullptr); // the other card is unaffected
    EXPECT_EQ(kernel.openFiles, 1);
}

} // namespace
} // namespace kestrel::portio

#endif
