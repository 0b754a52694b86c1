// Shows byte strings in test failures as text, with CR and LF visible.
#pragma once

#include <ostream>

#include <QByteArray>

inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"';
    for (const char c : bytes) {
        if (c == '\r')
            *out << "\\r";
        else if (c == '\n')
            *out << "\\n";
        else
            *out << c;
    }
    *out << "\" (" << bytes.size() << " bytes)";
}
