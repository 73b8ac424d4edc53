// Test main for the core: a QCoreApplication only, so the core's tests show
// that nothing in it needs a window system; then every GoogleTest case.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
