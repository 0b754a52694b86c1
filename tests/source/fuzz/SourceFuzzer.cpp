// Arbitrary bytes through the one reading that loads a document and builds its structure,
// and through the document text, which must itself load again.
#include <cstdint>
#include <cstdlib>
#include <utility>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "StructureBuilder.h"
#include "StructureModel.h"
#include "StructureTree.h"
#include "platform/XmlDocument.h"

namespace {

QString WriteFile(const QString& name, const char* data, qint64 size) {
    static QTemporaryDir dir;
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    file.write(data, size);
    return file.fileName();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::XmlDocument document;
    document.SetFileName(WriteFile(QStringLiteral("input.xml"), reinterpret_cast<const char*>(data),
                                   static_cast<qint64>(size)));
    StructureNodes structure;
    try {
        structure = BuildStructureTree(document);
    } catch (const platform::XmlError&) {
        if (document.Active() || !document.Xml().isEmpty()) std::abort();
        return 0;
    }
    // Built again from the kept bytes, the structure is the same.
    const StructureNodes kept = BuildStructureTree(document);
    if (kept.Count() != structure.Count()) std::abort();
    for (int node = 0; node < kept.Count(); ++node)
        if (kept.Text(node) != structure.Text(node) || kept.Kind(node) != structure.Kind(node) ||
            kept.Parent(node) != structure.Parent(node))
            std::abort();
    StructureModel tree;
    tree.Install(std::move(structure));
    if (tree.rowCount() != 1) std::abort();
    RowPath(tree);

    const QByteArray text = document.Xml();
    if (!text.endsWith("\r\n")) std::abort();
    platform::XmlDocument again;
    again.SetFileName(WriteFile(QStringLiteral("again.xml"), text.constData(), text.size()));
    BuildStructureTree(again);  // an error escaping here is a finding
    if (again.Xml() != text) std::abort();
    return 0;
}
