#include "history_backends.h"

#include <cstdlib>
#include <stdexcept>

namespace ornexa::test {

namespace {

const char* PostgresUri() {
    return std::getenv("ORNEXA_TEST_POSTGRES_URI");
} // NOLINT(concurrency-mt-unsafe)

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
    throw std::runtime_error("no PostgreSQL test database yet");
}

} // namespace ornexa::test
