#include "history_backends.h"

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "history/postgres_database.h"
#include "history/sql_database.h"

namespace ornexa::test {

namespace {

const char* PostgresUri() {
    return std::getenv("ORNEXA_TEST_POSTGRES_URI");
} // NOLINT(concurrency-mt-unsafe)

// The URI with another database in its path; the host, port and parameters stay.
std::string WithDatabase(const std::string& uri, const std::string& database) {
    const auto scheme = uri.find("://");
    if (scheme == std::string::npos) {
        throw std::runtime_error("ORNEXA_TEST_POSTGRES_URI is not a URI: " + uri);
    }
    const auto authority = scheme + 3;
    const auto query = uri.find('?', authority);
    const auto pathEnd = query == std::string::npos ? uri.size() : query;
    const auto slash = uri.find('/', authority);
    const auto nameStart = slash < pathEnd ? slash + 1 : pathEnd;
    return uri.substr(0, nameStart) + (slash < pathEnd ? "" : "/") + database + uri.substr(pathEnd);
}

std::string FreshPostgresDatabase() {
    const char* uri = PostgresUri();
    if (uri == nullptr) {
        throw std::runtime_error("ORNEXA_TEST_POSTGRES_URI is not set: run the suite through postgres_server.sh");
    }
    // One connection for every database made: each test gets a database no other test has used.
    static const std::unique_ptr<SqlDatabase> server = OpenPostgresDatabase(uri);
    static int count = 0;
    const std::string name = "ornexa_test_" + std::to_string(getpid()) + "_" + std::to_string(++count);
    server->ExecuteScript("CREATE DATABASE " + name);
    return WithDatabase(uri, name);
}

} // namespace

std::vector<TestBackend> BackendsUnderTest() {
    if (PostgresUri() != nullptr) {
        return {TestBackend::Postgres};
    }
    return {TestBackend::Sqlite};
}

std::string BackendName(const testing::TestParamInfo<TestBackend>& info) {
    return info.param == TestBackend::Postgres ? "Postgres" : "Sqlite";
}

std::string FreshLocation(TestBackend backend, const std::filesystem::path& folder) {
    if (backend == TestBackend::Sqlite) {
        static int count = 0;
        return (folder / ("history-" + std::to_string(++count) + ".db")).string();
    }
    return FreshPostgresDatabase();
}

} // namespace ornexa::test
