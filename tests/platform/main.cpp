// The platform tests need a QCoreApplication (codecs, event loop, network), so they bring their own
// main() instead of gtest_main.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
