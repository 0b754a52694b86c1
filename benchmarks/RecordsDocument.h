// The records document both benchmarks read: repeated elements with attributes and text.
#pragma once

#include <functional>

#include <QByteArray>

using Writer = std::function<void(const QByteArray& piece)>;

// Records until the document reaches the size, written piece by piece so that a document of
// a gigabyte never sits in memory; returns how many.
inline qint64 Records(qint64 bytes, const Writer& write) {
    QByteArray piece = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<records>\n";
    qint64 records = 0;
    for (qint64 size = 0; size < bytes; ++records) {
        const QByteArray n = QByteArray::number(records);
        piece += "  <record id=\"" + n + "\" kind=\"k" + QByteArray::number(records % 7) +
                 "\">\n    <name>Record number " + n + "</name>\n    <value>" +
                 QByteArray::number(records * 3) +
                 "</value>\n    <note lang=\"en\">Some ordinary text of Tom's record</note>\n"
                 "  </record>\n";
        if (piece.size() >= 1 << 20 || size + piece.size() >= bytes) {
            size += piece.size();
            write(piece);
            piece.clear();
        }
    }
    write(piece + "</records>\n");
    return records;
}
