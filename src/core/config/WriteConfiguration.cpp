#include "core/config/WriteConfiguration.h"

#include "core/config/AccessBlock.h"
#include "core/config/ClockBlock.h"
#include "core/config/ConfigurationError.h"
#include "core/config/ConfigurationMessages.h"
#include "core/config/IdentificationBlock.h"
#include "core/config/NormalisationBlock.h"
#include "core/config/ProgramBlock.h"
#include "core/config/ReadBackCheck.h"
#include "core/config/WriteBackProcedure.h"

#include <memory>
#include <vector>

namespace kestrel {

using namespace config_area;
namespace text = config_text;

namespace {

constexpr std::uint32_t kPauseAfterSearchMs = 200;

// A device write that did not go through; carries the write-back's message for it.
struct WriteFailed {
    const char* message;
};

class WriteBack {
public:
    WriteBack(ServicePage& page, MemoryImage& image, ConfigurationLink& link, UserInterface& ui,
        const DisplayLocale& locale)
        : page_(page), image_(image), link_(link), ui_(ui), locale_(locale)
    {
    }

    // Steps after the device was found; the operator is known.
    WriteBackResult run(const OperatorCredentials& who)
    {
        try {
            writeBlocks(who);
        } catch (const ConfigurationError& refused) {
            // Checked before the search, so this is not expected; the area is cleared already.
            ui_.setStatusText(kWriteFailed);
            ui_.showMessage(refused.what());
            return WriteBackResult::InputRefused;
        } catch (const WriteFailed& failed) {
            ui_.showMessage(failed.message);
            return WriteBackResult::TransferFailed;
        }
        return checkReadBack();
    }

private:
    void writeBlocks(const OperatorCredentials& who)
    {
        const std::vector<std::uint8_t> zeros(kArea.length, 0);
        if (!link_.writeDevice(kArea.address, zeros))
            throw WriteFailed{text::kClearFailed};
        clearOperationFlags(image_);

        if (page_.chbSetRTC) {
            composeClockBlock(image_, page_.clock, who.operatorName);
            write(kClock, text::kClockWriteFailed);
            page_.chbSetRTC = false;
        }
        if (page_.chbEditPKR) {
            beginIdentificationChange(image_, who.operatorName);
            composeIdentificationBlock(image_, page_.identification, locale_);
            write(kIdentification, text::kIdentificationWriteFailed);
            write(kPassportOperator, text::kOperatorNameWriteFailed);
            page_.chbEditPKR = false;
        }
        if (page_.chbNormir) {
            composeNormalisationBlock(image_, page_.calibr, locale_);
            write(kNormalisation, text::kNormalisationWriteFailed);
            page_.chbNormir = false;
        }
        if (page_.chbErase) {
            if (ui_.askYesNo(text::kEraseQuestion))
                addOperationFlag(image_, kFlagErase);
            page_.chbErase = false;
        }
        if (page_.chbProgram) {
            composeProgramBlock(image_, page_, who.operatorName);
            write(kProgram, text::kProgramWriteFailed);
            page_.chbProgram = false;
        }
        // Last: the flags it carries tell the recorder that the blocks before it are whole.
        composeAccessBlock(image_, who.accessCode);
        write(kAccess, text::kAccessWriteFailed);
    }

    void write(Block block, const char* failureMessage)
    {
        const ConstBytes bytes = std::span<const std::uint8_t>(image_).subspan(block.address, block.length);
        if (!link_.writeDevice(block.address, bytes))
            throw WriteFailed{failureMessage};
        expected_.blockWritten(image_, block);
    }

    // Only what the device gives back proves that the write-back arrived.
    WriteBackResult checkReadBack()
    {
        std::vector<std::uint8_t> readBack(kArea.length);
        if (!link_.readDevice(kArea.address, readBack)) {
            ui_.setStatusText(kWriteFailed);
            ui_.showMessage(text::kReadBackFailed);
            return WriteBackResult::TransferFailed;
        }
        // The read says "loaded into memory", which it did not: the status tells the outcome.
        if (const auto address = expected_.firstDifference(readBack)) {
            ui_.setStatusText(kWriteFailed);
            ui_.showMessage(readBackDiffersMessage(*address));
            return WriteBackResult::ReadBackDiffers;
        }
        ui_.setStatusText(text::kWriteBackChecked);
        ui_.showMessage(text::kWriteBackDone);
        return WriteBackResult::Done;
    }

    ServicePage& page_;
    MemoryImage& image_;
    ConfigurationLink& link_;
    UserInterface& ui_;
    const DisplayLocale& locale_;
    ExpectedArea expected_;
};

} // namespace

void checkServicePage(const ServicePage& page, const MemoryImage& image, const DisplayLocale& locale)
{
    // Each block composed on a copy, exactly as the write-back will compose it.
    auto scratch = std::make_unique<MemoryImage>(image);
    ServicePage typed = page;
    if (typed.chbSetRTC)
        composeClockBlock(*scratch, typed.clock, {});
    if (typed.chbEditPKR) {
        beginIdentificationChange(*scratch, {});
        composeIdentificationBlock(*scratch, typed.identification, locale);
    }
    if (typed.chbNormir)
        composeNormalisationBlock(*scratch, typed.calibr, locale);
    if (typed.chbProgram)
        composeProgramBlock(*scratch, typed, {});
}

WriteBackResult runWriteBack(ServicePage& page, MemoryImage& image, OperatorCredentials& credentials,
    ConfigurationLink& link, Clock& clock, UserInterface& ui, OperatorIdentification& identification,
    const DisplayLocale& locale)
{
    // A slip of the keyboard must never cost the device its configuration area.
    try {
        checkServicePage(page, image, locale);
    } catch (const ConfigurationError& refused) {
        ui.showMessage(refused.what());
        return WriteBackResult::InputRefused;
    }
    const auto who = identification.identify(page.identification.eRegNum);
    if (!who)
        return WriteBackResult::Cancelled;
    credentials = *who;

    const bool found = link.findReader();
    clock.sleepMs(kPauseAfterSearchMs);
    if (!found) {
        ui.showMessage(text::kDeviceNotConnected);
        return WriteBackResult::DeviceNotFound;
    }
    return WriteBack(page, image, link, ui, locale).run(credentials);
}

WriteBackResult writeConfiguration(ServicePage& page, MemoryImage& image, OperatorCredentials& credentials,
    ReaderDeviceTransfer& transfer, Clock& clock, UserInterface& ui, OperatorIdentification& identification,
    const DisplayLocale& locale)
{
    TransferLink link(transfer);
    return runWriteBack(page, image, credentials, link, clock, ui, identification, locale);
}

} // namespace kestrel
