#include "core/server/ServerErrors.h"

#include "core/archive/ReadingArchive.h"
#include "core/text/ControlCharacters.h"

#include <pqxx/except>

#include <exception>

namespace kestrel {

std::string serverText(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    for (char& c : text)
        if (c == '\n')
            c = ' ';
    return replaceControlCharacters(text, "?");
}

void throwServerFailure(const std::string& action)
{
    try {
        throw;
    } catch (const ArchiveError&) {
        throw;
    } catch (const pqxx::insufficient_privilege& e) {
        throw ArchiveWriteRefused("Сервер команды не разрешил " + action
            + ": у пользователя нет такого права (добавлять считывания и классификации может роль kestrel_engineer, "
              "роль kestrel_auditor только читает; изменять и удалять считывания не может никто, кроме "
              "администратора). Ответ сервера: "
            + serverText(e.what()));
    } catch (const pqxx::in_doubt_error&) {
        throw ArchiveError("Связь с сервером команды потеряна в момент записи (" + action
            + "): неизвестно, сохранил ли сервер последнюю часть. Повторите синхронизацию: сохраненное не "
              "повторится, недостающее будет досохранено.");
    } catch (const pqxx::broken_connection& e) {
        throw ArchiveError("Связь с сервером команды потеряна (" + action
            + "). Незавершенная часть не сохранена; повторите, когда сервер будет доступен. Причина: "
            + serverText(e.what()));
    } catch (const pqxx::sql_error& e) {
        throw ArchiveError("Сервер команды не смог " + action + ": " + serverText(e.what()));
    } catch (const pqxx::failure& e) {
        throw ArchiveError("Сервер команды не смог " + action + ": " + serverText(e.what()));
    }
}

} // namespace kestrel
