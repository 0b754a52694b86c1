// Files a test writes for the program to read.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Writes content to name inside folder, making the folders on the way; returns its path.
inline QString WriteTestFile(const QTemporaryDir& folder, const QString& name,
                             const QByteArray& content) {
    const QString path = folder.filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
}
