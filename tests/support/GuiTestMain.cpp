// Entry point of every test executable: a QApplication set up as the program sets it up.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

#include <optional>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include "StartUp.h"

namespace {
// No test reads or writes the user's own settings, and none sees another test's.
class FreshSettings final : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override {
        folder_.emplace();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_->path());
    }

    std::optional<QTemporaryDir> folder_;
};
}  // namespace

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
    testing::UnitTest::GetInstance()->listeners().Append(new FreshSettings);
    return RUN_ALL_TESTS();
}
