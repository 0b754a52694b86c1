// A fast reading of the common large document: one already read whole and found well-formed,
// plain ASCII, without a DOCTYPE and without a default namespace. Its markup is found by
// scanning the bytes, and its nodes are written by copying them: the server reads the copy
// exactly as it reads the document text (the same names, the same values after its parser's
// normalisation of line breaks and references), at a fraction of a parse's cost.
#pragma once

#include <QByteArray>

#include "platform/XmlText.h"

// Whether ScanRawDocument may read these bytes.
bool CanScanRaw(const QByteArray& bytes);

// Writes each node it is told of as the bytes it stands in; a start tag is written whole.
class RawTextWriter final : public platform::XmlTextWriter {
public:
    void SetOutput(QByteArray& out) override { out_ = &out; }
    void CloseStartTag() override {}

    bool StartElement(const platform::XmlName&,
                      const std::vector<platform::XmlAttribute>&) override {
        Copy();
        return true;
    }
    void EndElement(const platform::XmlName&) override { Copy(); }
    void Text(QByteArrayView) override { Copy(); }
    void CData(QByteArrayView) override { Copy(); }
    void Comment(const char*) override { Copy(); }
    void ProcessingInstruction(const platform::XmlName&, const char*) override { Copy(); }

    // The bytes of the node told next; empty for the end of an element written <name/>.
    void SetNode(QByteArrayView bytes) { node_ = bytes; }

private:
    void Copy() {
        if (out_) out_->append(node_);
    }

    QByteArray* out_ = nullptr;
    QByteArrayView node_;
};

// Tells events the document's elements, text, CDATA sections, comments and processing
// instructions in document order, as a reading would (attributes are not decoded: none are
// handed over), setting writer's node before each. Text of whitespace alone is left out but
// inside xml:space="preserve". Stops early once stop is set; position follows the bytes read.
void ScanRawDocument(const QByteArray& bytes, platform::XmlEvents& events, RawTextWriter& writer,
                     const bool& stop, qint64& position);
