#include "core/server/ServerSchema.h"

#include "core/archive/ReadingArchive.h"
#include "core/server/ServerErrors.h"

#include <pqxx/pqxx>

#include <charconv>

namespace kestrel {

namespace {

// Everything lives in a schema of its own, so that Kestrel can tell its tables from
// anybody else's and never touches those.
constexpr const char* kSchema = R"sql(
CREATE SCHEMA kestrel;
CREATE TABLE kestrel.meta (
    key text PRIMARY KEY,
    value text NOT NULL
);
INSERT INTO kestrel.meta (key, value) VALUES ('application', 'kestrel'), ('schema_version', '1');
-- Every reading once for the whole team: the key is the server's own SHA-256 of the bytes.
CREATE TABLE kestrel.readings (
    id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    bytes bytea NOT NULL CONSTRAINT whole_memory CHECK (octet_length(bytes) = 32768),
    sha256 bytea GENERATED ALWAYS AS (sha256(bytes)) STORED,
    recorder text NOT NULL,
    crane_type text NOT NULL,
    crane_number text NOT NULL,
    reading double precision NOT NULL,
    reading_text text NOT NULL,
    checksum_ok boolean NOT NULL,
    cycles bigint NOT NULL,
    motor_minutes bigint NOT NULL,
    source text NOT NULL,
    stored_at timestamptz NOT NULL DEFAULT now(),
    stored_by name NOT NULL DEFAULT session_user,
    CONSTRAINT reading_once UNIQUE (sha256)
);
-- A recorder's memory compresses about eightfold: less to write and to send. lz4 where
-- the server has it (the default pglz otherwise). Compressed, the bytes still live out of
-- line, so a list never reads them.
DO $$
BEGIN
    ALTER TABLE kestrel.readings ALTER COLUMN bytes SET COMPRESSION lz4;
EXCEPTION WHEN OTHERS THEN
    NULL;
END;
$$;
CREATE INDEX readings_by_recorder ON kestrel.readings (recorder, reading, id);
-- Design classifications as entered, every one of them; the newest is a crane's current one.
CREATE TABLE kestrel.design_changes (
    id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    crane_type text NOT NULL,
    crane_number text NOT NULL,
    crane_group text NOT NULL,
    crane_design text NOT NULL,
    winch1_group text NOT NULL,
    winch2_group text NOT NULL,
    changed_at text NOT NULL,
    changed_by text NOT NULL,
    stored_at timestamptz NOT NULL DEFAULT now(),
    stored_by name NOT NULL DEFAULT session_user,
    CONSTRAINT design_once UNIQUE (crane_type, crane_number, crane_group, crane_design, winch1_group,
        winch2_group, changed_at, changed_by)
);
CREATE INDEX design_changes_by_crane ON kestrel.design_changes (crane_type, crane_number, changed_at, changed_by);
-- A stored reading or entry is never changed, not even by the tables' owner.
CREATE FUNCTION kestrel.refuse_change() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    RAISE EXCEPTION 'Kestrel: stored readings and design entries are never changed';
END;
$$;
CREATE TRIGGER readings_never_change BEFORE UPDATE ON kestrel.readings
    FOR EACH ROW EXECUTE FUNCTION kestrel.refuse_change();
CREATE TRIGGER design_changes_never_change BEFORE UPDATE ON kestrel.design_changes
    FOR EACH ROW EXECUTE FUNCTION kestrel.refuse_change();
)sql";

constexpr const char* kRoles = R"sql(
DO $$
BEGIN
    -- Roles belong to the whole cluster, so an initialisation of another database may
    -- create one at the same moment: the loser of that race finds it there.
    BEGIN
        CREATE ROLE kestrel_engineer NOLOGIN;
    EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL;
    END;
    BEGIN
        CREATE ROLE kestrel_auditor NOLOGIN;
    EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL;
    END;
END;
$$;
REVOKE ALL ON SCHEMA kestrel FROM PUBLIC;
REVOKE ALL ON ALL TABLES IN SCHEMA kestrel FROM PUBLIC;
GRANT USAGE ON SCHEMA kestrel TO kestrel_engineer, kestrel_auditor;
GRANT SELECT ON ALL TABLES IN SCHEMA kestrel TO kestrel_engineer, kestrel_auditor;
GRANT INSERT ON kestrel.readings, kestrel.design_changes TO kestrel_engineer;
GRANT USAGE ON ALL SEQUENCES IN SCHEMA kestrel TO kestrel_engineer;
)sql";

// Programs opening an empty database at once take turns; each looks again inside its
// turn, in a transaction begun after the lock (an earlier one could miss the new tables).
// Any key: only the one database's sessions meet on it.
class CreationTurn {
public:
    explicit CreationTurn(pqxx::connection_base& connection)
        : connection_(connection)
    {
        pqxx::nontransaction(connection_).exec("SELECT pg_advisory_lock(4924498)");
    }
    ~CreationTurn()
    {
        try {
            pqxx::nontransaction(connection_).exec("SELECT pg_advisory_unlock(4924498)");
        } catch (...) {
            // A lost connection has released it already.
        }
    }
    CreationTurn(const CreationTurn&) = delete;
    CreationTurn& operator=(const CreationTurn&) = delete;

private:
    pqxx::connection_base& connection_;
};

enum class DatabaseKind { Empty, Ours, Foreign, Newer };

DatabaseKind kindOf(pqxx::transaction_base& tx)
{
    if (tx.exec("SELECT to_regclass('kestrel.meta') IS NOT NULL")[0][0].as<bool>()) {
        const pqxx::result meta = tx.exec("SELECT key, value FROM kestrel.meta");
        std::string application;
        int version = 0;
        for (const auto& row : meta) {
            const std::string key = row[0].as<std::string>();
            const std::string value = row[1].as<std::string>();
            if (key == "application")
                application = value;
            if (key == "schema_version")
                std::from_chars(value.data(), value.data() + value.size(), version);
        }
        if (application != "kestrel" || version <= 0)
            return DatabaseKind::Foreign;
        return version > kServerSchemaVersion ? DatabaseKind::Newer : DatabaseKind::Ours;
    }
    // Not ours unless it holds nothing at all: no schema named kestrel, no table anywhere.
    const bool anything = tx.exec("SELECT EXISTS (SELECT 1 FROM pg_namespace WHERE nspname = 'kestrel') "
                                  "OR EXISTS (SELECT 1 FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                                  "WHERE c.relkind IN ('r', 'v', 'm', 'p', 'f') AND n.nspname NOT IN "
                                  "('pg_catalog', 'information_schema') AND n.nspname NOT LIKE 'pg\\_toast%')")[0][0]
                              .as<bool>();
    return anything ? DatabaseKind::Foreign : DatabaseKind::Empty;
}

// The schema in place, or created now; false when the database is empty and stays so.
bool schemaCreated(pqxx::connection_base& connection, const std::string& database)
{
    DatabaseKind kind = onServer("проверить базу данных " + database, [&] {
        pqxx::read_transaction tx(connection);
        return kindOf(tx);
    });
    bool created = false;
    if (kind == DatabaseKind::Empty) {
        try {
            CreationTurn turn(connection);
            pqxx::work tx(connection);
            kind = kindOf(tx);
            if (kind == DatabaseKind::Empty) {
                tx.exec(kSchema);
                kind = DatabaseKind::Ours;
                created = true;
            }
            tx.commit();
        } catch (const pqxx::insufficient_privilege&) {
            throw ArchiveError("База данных " + database
                + " на сервере команды пуста, а у пользователя нет права создать в ней таблицы Kestrel. Их создает "
                  "администратор: kestrel-cli server init --server <подключение администратора>.");
        } catch (...) {
            throwServerFailure("создать таблицы Kestrel в базе данных " + database);
        }
    }
    if (kind == DatabaseKind::Foreign)
        throw ArchiveError("База данных " + database
            + " на сервере не является архивом Kestrel (в ней есть чужие таблицы); Kestrel в нее ничего не "
              "записывает. Укажите базу данных Kestrel или пустую.");
    if (kind == DatabaseKind::Newer)
        throw ArchiveError("Архив на сервере (база данных " + database
            + ") создан более новой версией Kestrel; эта версия в него ничего не записывает. Обновите Kestrel.");
    return created;
}

} // namespace

void prepareServerSchema(pqxx::connection_base& connection, const std::string& database)
{
    schemaCreated(connection, database);
}

std::string initialiseServer(pqxx::connection_base& connection, const std::string& database)
{
    const bool created = schemaCreated(connection, database);
    onServer("создать роли kestrel_engineer и kestrel_auditor", [&] {
        CreationTurn turn(connection);
        pqxx::work tx(connection);
        tx.exec(kRoles);
        tx.commit();
    });
    return std::string(created ? "Таблицы Kestrel созданы" : "Таблицы Kestrel уже были")
        + " в базе данных " + database
        + "; роли kestrel_engineer (читать, добавлять считывания и классификации) и kestrel_auditor (только "
          "читать) готовы. Пользователей добавляет администратор, например:\n"
          "  CREATE ROLE ivanov LOGIN PASSWORD '...' IN ROLE kestrel_engineer;\n"
          "  CREATE ROLE petrova LOGIN PASSWORD '...' IN ROLE kestrel_auditor;\n";
}

} // namespace kestrel
