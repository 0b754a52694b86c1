// Entry point of every test executable: a QApplication set up as the program sets it up.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

#include <QApplication>

#include "StartUp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // A locale the environment names but the system lacks falls back to C without a word, and
    // a run meant for that locale would pass without having tried it.
    if (!std::setlocale(LC_ALL, "")) {
        std::fputs("The locale that the environment names is not installed\n", stderr);
        return 1;
    }
    StartUp(application);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
