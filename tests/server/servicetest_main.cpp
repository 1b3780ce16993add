#include "postgrescluster.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// One cluster for the whole run; each test makes its own database on it.
class PostgresEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        try {
            m_cluster = std::make_unique<PostgresCluster>();
        } catch (const std::exception &e) {
            FAIL() << "cannot start a PostgreSQL test cluster: " << e.what();
        }
        setTestCluster(m_cluster.get());
    }
    void TearDown() override
    {
        setTestCluster(nullptr);
        m_cluster.reset();
    }

private:
    std::unique_ptr<PostgresCluster> m_cluster;
};

} // namespace

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (testStoreKind() == StoreKind::Postgres)
        testing::AddGlobalTestEnvironment(new PostgresEnvironment);
    return RUN_ALL_TESTS();
}
