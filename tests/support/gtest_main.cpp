// GoogleTest entry point for the core tests: a QCoreApplication exists so that
// timers, resources and QObject machinery behave as in the program.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
