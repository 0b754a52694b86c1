#include "platform/XmlDocument.h"

#include <cstring>

#include <QFile>
#include <QFileInfo>

#include "platform/XmlText.h"

namespace platform {
namespace {

[[noreturn]] void Fail(const QString& fileName, const QString& reason) {
    throw XmlError(QStringLiteral("%1: %2").arg(fileName, reason).toStdString());
}

}  // namespace

XmlByteSource KeptBytes(const QByteArray& bytes) {
    return [&bytes, at = qsizetype(0)](char* buffer, int length) mutable {
        const qsizetype piece = std::min<qsizetype>(length, bytes.size() - at);
        std::memcpy(buffer, bytes.constData() + at, piece);
        at += piece;
        return static_cast<int>(piece);
    };
}

void XmlDocument::SetFileName(const QString& fileName) {
    if (fileName == fileName_) return;
    Release();
    fileName_ = fileName;
}

void XmlDocument::Release() {
    active_ = false;
    bytes_ = QByteArray();
    prefixDeclarations_ = QByteArray();
}

void XmlDocument::Read(XmlEvents& events) {
    if (active_) {
        ReadKept(events);
        return;
    }
    try {
        Load(events);
    } catch (const XmlError& error) {
        Release();
        Fail(fileName_, QString::fromUtf8(error.what()));
    } catch (...) {
        Release();
        throw;
    }
}

// The parser reads the file once; what it reads is kept as it goes.
void XmlDocument::Load(XmlEvents& events) {
    if (QFileInfo(fileName_).isDir()) throw XmlError("is a folder");
    QFile file(fileName_);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw XmlError(file.errorString().toStdString());
    bytes_.reserve(file.size());
    const XmlReadResult read = ReadXml(
        [&](char* buffer, int length) {
            const qint64 piece = file.read(buffer, length);
            if (piece > 0) bytes_.append(buffer, piece);
            return static_cast<int>(piece);
        },
        events, MaxDepth);
    prefixDeclarations_ = platform::PrefixDeclarations(read.prefixDeclarations);
    active_ = true;
}

XmlReadResult XmlDocument::ReadKept(XmlEvents& events) const {
    return ReadXml(KeptBytes(bytes_), events, MaxDepth);
}

QByteArray XmlDocument::Xml(const QByteArray& encoding) const {
    return active_ ? DocumentText(KeptBytes(bytes_), MaxDepth, encoding) : QByteArray();
}

}  // namespace platform
