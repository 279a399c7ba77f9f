#include "core/server/ServerConnection.h"

#include "core/archive/ReadingArchive.h"
#include "core/server/ServerErrors.h"
#include "core/text/ControlCharacters.h"

#include <pqxx/pqxx>

#include <array>
#include <utility>

namespace kestrel {

namespace {

bool isUri(const std::string& connection)
{
    return connection.rfind("postgresql://", 0) == 0 || connection.rfind("postgres://", 0) == 0;
}

bool mentions(const std::string& text, std::initializer_list<const char*> parts)
{
    for (const char* part : parts)
        if (text.find(part) != std::string::npos)
            return true;
    return false;
}

std::string refusalText(const std::string& reason)
{
    // libpq's texts, in English or in the user's language (libpq has Russian translations).
    if (mentions(reason, {"password authentication failed", "no password supplied", "проверку подлинности (по паролю)",
            "пароль не указан", "SCRAM"}))
        return "Сервер команды отказал во входе: пароль неверен или не задан. Kestrel не хранит паролей: libpq берет "
               "пароль из файла ~/.pgpass (в Windows %APPDATA%\\postgresql\\pgpass.conf), переменной PGPASSWORD "
               "или файла служб pg_service.conf. Ответ сервера: "
            + reason;
    if (mentions(reason, {"certificate", "сертификат"}))
        return "Сервер не подтвердил, что он сервер команды: его сертификат подписан не тем центром сертификации, "
               "который указан в sslrootcert (или в ~/.postgresql/root.crt), или выдан на другое имя. Kestrel к "
               "нему не подключается. Ответ libpq: "
            + reason;
    if (mentions(reason, {"does not exist", "не существует"}))
        return "Сервер команды отказал: " + reason + ". Проверьте имя пользователя и базы данных в строке подключения.";
    return "Не удается подключиться к серверу команды: " + reason
        + ". Проверьте сеть и строку подключения (например postgresql://инженер@сервер/kestrel?sslmode=verify-full).";
}

} // namespace

std::string withTimeLimits(const std::string& connection)
{
    static constexpr std::array<std::pair<const char*, const char*>, 4> kLimits{{
        {"connect_timeout", "10"},
        {"keepalives_idle", "30"},
        {"keepalives_interval", "10"},
        {"keepalives_count", "3"},
    }};
    std::string result = connection;
    const bool uri = isUri(connection);
    for (const auto& [key, value] : kLimits) {
        if (connection.find(key) != std::string::npos)
            continue;
        if (uri)
            result += std::string(result.find('?') == std::string::npos ? "?" : "&") + key + "=" + value;
        else
            result += std::string(result.empty() ? "" : " ") + key + "=" + value;
    }
    return result;
}

ServerConnection::ServerConnection(const std::string& connection)
{
    try {
        connection_ = std::make_unique<pqxx::connection>(withTimeLimits(connection));
        connection_->set_client_encoding("UTF8");
        const char* name = connection_->dbname();
        database_ = name ? name : "";
    } catch (const ArchiveError&) {
        throw;
    } catch (const std::exception& e) {
        throw ArchiveError(refusalText(serverText(e.what())));
    }
}

ServerConnection::~ServerConnection() = default;

pqxx::connection_base& ServerConnection::connection() { return *connection_; }

} // namespace kestrel
