// Lets GoogleTest print Qt strings readably in failure messages.
#pragma once

#include <ostream>

#include <QString>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
