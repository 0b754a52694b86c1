// Documents written to a temporary folder that lives as long as the object.
#pragma once

#include <ostream>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

class XmlFiles final {
public:
    QString Path(const QString& name) const { return dir_.filePath(name); }

    QString Write(const QString& name, const QByteArray& content) const {
        QFile file(Path(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
        file.write(content);
        return file.fileName();
    }

private:
    QTemporaryDir dir_;
};

// Elements nested depth levels deep: <e><e>...</e></e>.
inline QByteArray Nested(int depth) {
    return QByteArray("<e>").repeated(depth) + QByteArray("</e>").repeated(depth);
}

// Byte strings shown as text in failure messages, line breaks made visible.
inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"' << QByteArray(bytes).replace("\r", "\\r").replace("\n", "\\n").toStdString() << '"';
}
