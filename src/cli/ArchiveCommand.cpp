#include "cli/ArchiveOption.h"
#include "cli/ArchiveSyncAction.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/TextColumns.h"
#include "core/config/ConfigurationMemory.h"
#include "core/image/DataFile.h"
#include "core/text/ControlCharacters.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <ostream>

namespace kestrel::cli {

namespace fs = std::filesystem;

namespace {

std::string safe(const std::string& text) { return replaceControlCharacters(text, "?"); }

struct ImportCounts {
    int imported = 0;
    int alreadyStored = 0;
    int refused = 0;
};

void refuse(ImportCounts& counts, std::ostream& err, const std::string& name, const std::string& reason)
{
    ++counts.refused;
    err << "kestrel-cli archive: " << safe(name) << ": " << reason << "\n";
}

// Files named directly are taken as they are; a folder gives the *.bbd files of its whole tree, sorted.
std::vector<std::string> filesToImport(const std::vector<std::string>& arguments, ImportCounts& counts, std::ostream& err)
{
    std::vector<std::string> files;
    for (const auto& argument : arguments) {
        std::error_code ec;
        if (!fs::is_directory(argument, ec)) {
            files.push_back(argument);
            continue;
        }
        std::vector<std::string> found;
        for (fs::recursive_directory_iterator it(argument, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code typeError;
            if (!it->is_directory(typeError) && hasDataFileExtension(it->path().filename().string()))
                found.push_back(it->path().string());
        }
        if (ec)
            refuse(counts, err, argument, "папку не удается просмотреть: " + ec.message());
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

// Only a regular file of exactly one memory's size is a reading; anything else would store a guess.
std::optional<MemoryImage> readReading(const std::string& name, ImportCounts& counts, std::ostream& err)
{
    std::error_code ec;
    const auto status = fs::status(name, ec);
    if (ec) {
        refuse(counts, err, name, "файл не найден");
        return std::nullopt;
    }
    if (!fs::is_regular_file(status)) {
        refuse(counts, err, name, "это не файл данных");
        return std::nullopt;
    }
    const auto size = fs::file_size(name, ec);
    const MemoryImage probe{};
    if (ec || size != probe.size()) {
        refuse(counts, err, name,
            "размер " + std::to_string(ec ? 0 : size) + " байт, а файл данных содержит ровно "
                + std::to_string(probe.size()) + " байт");
        return std::nullopt;
    }
    try {
        std::size_t bytesRead = 0;
        MemoryImage image = readImageFile(name, &bytesRead);
        if (bytesRead != image.size()) {
            refuse(counts, err, name, "файл прочитан не полностью");
            return std::nullopt;
        }
        if (configurationMemoryOf(image)) {
            refuse(counts, err, name, "это настройки, записанные для регистратора, а не считывание крана");
            return std::nullopt;
        }
        return image;
    } catch (const FileError& e) {
        refuse(counts, err, name, e.what());
        return std::nullopt;
    }
}

int runImport(const ParsedArgs& args, std::ostream& out, std::ostream& err)
{
    const std::vector<std::string> arguments(args.positional().begin() + 1, args.positional().end());
    if (arguments.empty())
        throw UsageError("не задан файл данных или папка");
    auto archive = openArchiveOption(args);
    if (!archive)
        throw UsageError(kNoArchiveSupportMessage);
    ImportCounts counts;
    // Stored a batch at a time: one transaction per batch, and never more than a few MiB in memory.
    constexpr std::size_t kBatch = 64;
    std::vector<ImageToStore> batch;
    auto storeBatch = [&] {
        for (const StoreResult& result : archive->storeAll(batch))
            ++(result.newlyStored ? counts.imported : counts.alreadyStored);
        batch.clear();
    };
    for (const std::string& name : filesToImport(arguments, counts, err)) {
        auto image = readReading(name, counts, err);
        if (!image)
            continue;
        std::error_code ec;
        const fs::path full = fs::absolute(name, ec);
        batch.push_back({*image, ec ? name : full.lexically_normal().string()});
        if (batch.size() == kBatch)
            storeBatch();
    }
    if (!batch.empty())
        storeBatch();
    out << "imported " << counts.imported << ", already stored " << counts.alreadyStored << ", refused "
        << counts.refused << "\n";
    if (counts.imported + counts.alreadyStored == 0) {
        err << "kestrel-cli archive: ни один файл данных не удалось прочитать\n";
        return kExitFileError;
    }
    return kExitOk;
}

constexpr std::array<const char*, 9> kListHeader{
    "№", "РП №", "Тип крана", "Зав. №", "Считывание", "Контрольная сумма", "Циклов", "Источник", "Сохранено"};

std::array<std::string, 9> listCells(const StoredReading& r)
{
    return {std::to_string(r.id), safe(r.recorder), safe(r.craneType), safe(r.craneNumber), r.readingText,
        r.checksumOk ? "верна" : "неверна", std::to_string(r.cycles), safe(r.source), r.storedAt};
}

void printListTable(const std::vector<StoredReading>& list, std::ostream& out)
{
    std::vector<std::vector<std::string>> rows{{kListHeader.begin(), kListHeader.end()}};
    for (const StoredReading& r : list) {
        const auto cells = listCells(r);
        rows.emplace_back(cells.begin(), cells.end());
    }
    // The id and the cycles are numbers.
    out << formatColumns(rows, [](std::size_t column) { return column == 0 || column == 6; });
}

void printListCsv(const std::vector<StoredReading>& list, std::ostream& out)
{
    for (std::size_t c = 0; c < kListHeader.size(); ++c)
        out << csvField(kListHeader[c]) << (c + 1 < kListHeader.size() ? "," : "\r\n");
    for (const StoredReading& r : list) {
        const auto cells = listCells(r);
        for (std::size_t c = 0; c < cells.size(); ++c)
            out << csvField(cells[c]) << (c + 1 < cells.size() ? "," : "\r\n");
    }
}

void printListJson(const std::vector<StoredReading>& list, std::ostream& out)
{
    nlohmann::ordered_json document = nlohmann::ordered_json::array();
    for (const StoredReading& r : list) {
        nlohmann::ordered_json item;
        item["id"] = r.id;
        item["recorder"] = r.recorder;
        item["crane_type"] = r.craneType;
        item["crane_number"] = r.craneNumber;
        item["reading"] = r.readingText;
        item["checksum_ok"] = r.checksumOk;
        item["cycles"] = r.cycles;
        item["source"] = r.source;
        item["stored_at"] = r.storedAt;
        item["sha256"] = r.sha256;
        document.push_back(std::move(item));
    }
    out << jsonText(document) << "\n";
}

int runList(const ParsedArgs& args, std::ostream& out)
{
    if (args.positional().size() > 1)
        throw UsageError("лишний аргумент «" + safe(args.positional()[1]) + "»");
    if (args.flag("--json") && args.flag("--csv"))
        throw UsageError("--json и --csv вместе не задаются");
    auto archive = openArchiveOption(args);
    if (!archive)
        throw UsageError(kNoArchiveSupportMessage);
    const auto list = archive->readings(args.value("--recorder"));
    if (args.flag("--json"))
        printListJson(list, out);
    else if (args.flag("--csv"))
        printListCsv(list, out);
    else
        printListTable(list, out);
    return kExitOk;
}

int runExport(const ParsedArgs& args, std::ostream& out, std::ostream& err)
{
    if (args.positional().size() != 2)
        throw UsageError("задайте один номер считывания");
    const auto fileName = args.value("-o");
    if (!fileName)
        throw UsageError("не задан файл (-o FILE.bbd)");
    const long id = parseInteger(args.positional()[1], "ID");
    if (id < 1)
        throw UsageError("ID: номер считывания - целое число от 1, как его выводит archive list");
    auto archive = openArchiveOption(args);
    if (!archive)
        throw UsageError(kNoArchiveSupportMessage);
    const auto image = archive->image(id);
    if (!image) {
        err << "kestrel-cli archive: считывания № " << id << " в архиве нет\n";
        return kExitFileError;
    }
    try {
        saveImage(*fileName, *image);
    } catch (const FileError& e) {
        err << "kestrel-cli archive: " << safe(*fileName) << ": " << e.what() << "\n";
        return kExitFileError;
    }
    out << safe(*fileName) << "\n";
    return kExitOk;
}

} // namespace

void declareArchive(CommandSyntax& syntax)
{
    syntax
        .synopsis("archive import [--archive DB] FILES_OR_DIRS... | archive list [--archive DB] [--recorder NUMBER] "
                  "[--json|--csv] | archive export [--archive DB] ID -o FILE.bbd | archive sync [--archive DB] --server CONNINFO "
                  "[--all]")
        .describe("import сохраняет файлы данных в архиве (из папки - файлы *.bbd всего ее дерева), одни и те же "
                  "байты один раз, и выводит «imported N, already stored M, refused K»; list выводит сохраненные "
                  "считывания, первым самое раннее; export пишет сохраненные байты без изменений; sync отправляет на сервер "
                  "команды считывания, которых там нет, получает с сервера считывания регистраторов, известных "
                  "архиву (--all: все), и классификации кранов в обе стороны, и выводит «sent N, fetched M, designs "
                  "sent K, designs fetched L»; прерванную синхронизацию завершает следующая.")
        .argument("ACTION", "import, list, export или sync", Arity::One, Need::Optional)
        .argument("FILES_OR_DIRS|ID", "import: файлы данных или папки; export: номер считывания из list",
            Arity::OneOrMore, Need::Optional)
        .option("--archive", "DB", "файл архива (по умолчанию архив пользователя)")
        .option("--recorder", "NUMBER", "list: только считывания регистратора с этим заводским номером")
        .flag("--json", "list: вывод в JSON")
        .flag("--csv", "list: вывод в CSV")
        .option("-o", "FILE.bbd", "export: файл, в который пишется считывание")
        .option("--server", "CONNINFO",
            "sync: сервер команды, как его понимает libpq: postgresql://инженер@сервер/kestrel, "
            "host=… dbname=… или service=ИМЯ (лучше с sslmode=verify-full); пароль - из ~/.pgpass или "
            "PGPASSWORD, Kestrel его не хранит")
        .flag("--all", "sync: получить все считывания сервера, а не только регистраторов, известных архиву");
}

int runArchive(const ParsedArgs& args, std::ostream& out, std::ostream& err)
{
    if (args.positional().empty())
        throw UsageError("не задано действие: import, list, export или sync");
    const std::string& action = args.positional().front();
    // Each option belongs to one action; under another it would do nothing.
    const auto onlyFor = [&](const char* option, const char* owner) {
        if (action != owner)
            refuseOption(args, option, std::string("задается только для archive ") + owner);
    };
    if (action == "import" || action == "list" || action == "export" || action == "sync") {
        onlyFor("--server", "sync");
        onlyFor("--all", "sync");
        onlyFor("--recorder", "list");
        onlyFor("--json", "list");
        onlyFor("--csv", "list");
        onlyFor("-o", "export");
    }
    try {
        if (action == "import")
            return runImport(args, out, err);
        if (action == "list")
            return runList(args, out);
        if (action == "export")
            return runExport(args, out, err);
        if (action == "sync")
            return runArchiveSync(args, out, err);
    } catch (const ArchiveError& e) {
        err << "kestrel-cli archive: " << safe(e.what()) << "\n";
        return kExitFileError;
    }
    throw UsageError("неизвестное действие «" + safe(action) + "»: import, list, export или sync");
}

} // namespace kestrel::cli
