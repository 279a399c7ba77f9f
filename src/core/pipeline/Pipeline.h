#pragma once

#include "core/pipeline/Session.h"
#include "core/ui/UserInterface.h"

#include <string>

namespace kestrel {

inline constexpr const char* kApplicationTitle = "Регистратор параметров работы крана";
inline constexpr const char* kIdentificationFailedMessage = "Ошибка вывода идентификационной информации!";
inline constexpr const char* kDecodingFailedMessage = "Ошибка обработки данных!";
inline constexpr const char* kStatisticsFailedMessage = "Ошибка при обработке данных!\nПроверьте введенные значения.";
inline constexpr const char* kWrongPreviousFileMessage =
    "Выбран неправильный файл данных регистратора параметров!\nУкажите файл, содержащий результаты предыдущей проверки.";

// Identification, settings page and last operations from the image; false after a failure.
bool showIdentification(Session& session, UserInterface& ui);
// Capacities, counters, spectra and the 64 cycle view rows; false after a failure.
bool decodeRecords(Session& session, UserInterface& ui);
// Classification figures of the three mechanisms; false after a failure.
bool calcClassification(Session& session, UserInterface& ui);
// Statistics texts, then the distribution view, then the cycle lists.
void showStatistics(Session& session);
// lvLast / lvStop from the cycle view rows.
void fillCycleLists(Session& session);

// The common tail of every load: identification, decoding, statistics, summary display.
// Each step reports its own failure and the next one still runs.
void processImage(Session& session, UserInterface& ui);

// Start of the reporting period after a load: the installation day at 0x772.
void resetPeriodStart(Session& session);

// Pipeline B on an image already at hand (a reading kept in the archive): checksum
// question, period start, processing. False when the user stopped at the question
// (the image is in the session then, unprocessed).
bool loadImage(Session& session, const MemoryImage& image, UserInterface& ui);

// Pipeline B after the file was chosen: read, checksum question, period start, processing.
// Returns false when the user stopped at the checksum question (the bytes read stay).
// Throws FileError when the file cannot be read.
bool loadImageFile(Session& session, const std::string& fileName, UserInterface& ui);

// The start-of-period operation with an earlier data file; true when the image changed.
// Throws FileError when the file cannot be read, and DateConversionError (a Russian text
// naming the file or the current data) for an impossible reading date of a file of the
// same recorder.
bool applyPreviousPeriod(Session& session, const std::string& fileName, UserInterface& ui);

// What the period since `earlier` added: its counters subtracted, the records it already
// held cleared. No check: the caller knows both are readings of one recorder, in order.
void subtractEarlierReading(MemoryImage& current, const MemoryImage& earlier);

// The same with an earlier reading at hand (the archive's), after its checksum question;
// `where` names it in the message about an impossible reading date ("В файле X").
bool applyPreviousReading(Session& session, const MemoryImage& earlier, const std::string& where, UserInterface& ui);

} // namespace kestrel
