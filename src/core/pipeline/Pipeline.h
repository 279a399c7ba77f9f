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

inline constexpr const char* kProcessedWithErrorsStatus = "Данные обработаны с ошибками";

// The common tail of every load: identification, decoding, statistics, summary display.
// Each step reports its own failure and the next one still runs. True when every step
// succeeded (also kept in session.processingFailed).
bool processImage(Session& session, UserInterface& ui);

// Forgets everything decoded and shown, as in a freshly started program, so that a step
// that fails afterwards leaves its fields empty and never an earlier reading's texts.
// The load step the user chose and the image stay.
void clearDecoded(Session& session);

// A new reading accepted: it replaces the image, the period starts at its installation
// day, and it is processed from a fresh display. `whole`: all of its bytes came from its
// source (not so for a short file).
void startReading(Session& session, const MemoryImage& reading, UserInterface& ui, bool whole = true);

// A memory holding a configuration written for the recorder is no reading: says so in
// words (`where` names the source: "ПСИ", "Файл «…»") and returns true.
bool holdsConfiguration(const MemoryImage& reading, const std::string& where, UserInterface& ui);

// "Файл данных «…» короче памяти регистратора: …\nПродолжить обработку?"
std::string shortFileQuestion(const std::string& fileName, std::size_t bytesSupplied);

// Start of the reporting period after a load: the installation day at 0x772.
void resetPeriodStart(Session& session);

// Pipeline B on an image already at hand (a reading kept in the archive): checksum
// question, period start, processing. False when the reading was refused or the user
// stopped at the question: the session is then exactly as before.
bool loadImage(Session& session, const MemoryImage& image, UserInterface& ui);

// Pipeline B after the file was chosen: read, the short-file or checksum question, period
// start, processing. False when the file was refused or the user stopped at the question:
// the session is then exactly as before. Throws FileError when the file cannot be read.
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
