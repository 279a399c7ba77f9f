#pragma once

#include "core/image/ByteAccess.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrel {

// What a reader device carries to the recorder after a write-back: the earlier reading's
// records with the configuration area cleared and the ordered blocks in it. Such a memory
// is no reading of the crane: its passport and settings are not the recorder's.
struct ConfigurationMemory {
    std::vector<std::string> operations; // what the recorder is told to do, in words
    std::string operatorName;            // who wrote it (empty when no block names anyone)
    std::string recorder;                // the recorder's type and number, when the passport was written
};

// A memory whose configuration area looks the way only a write-back leaves it: operation
// flags and their copy agree, an access code is there, and the bytes that no block
// writes (the recorder's program name and version among them) are zero. nullopt for a
// reading (a recorder always writes its program name) and for an empty memory.
std::optional<ConfigurationMemory> configurationMemoryOf(ConstBytes image);

inline constexpr const char* kConfigurationNotLoaded
    = "Данные не загружены, в архив ничего не записано. Чтобы получить данные крана, перенесите настройки "
      "в регистратор и считайте его память в ПСИ.";

// The Russian explanation of such a memory: `where` ("ПСИ", "Файл «…»") holds it, what
// the recorder is told to do and who wrote it, then `consequence` (what was not done).
std::string configurationMemoryMessage(
    const ConfigurationMemory& memory, const std::string& where, const std::string& consequence = kConfigurationNotLoaded);

} // namespace kestrel
