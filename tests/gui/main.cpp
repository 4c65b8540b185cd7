#include <QApplication>

#include <gtest/gtest.h>

// The screens run headless; every test drives them through the same scripted driver as the
// program's --snapshot mode.
int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
