// Entry point of every test executable: a QApplication set up as the program sets it up.
#include <gtest/gtest.h>
#include <QApplication>

#include "StartUp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    StartUp(application);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
