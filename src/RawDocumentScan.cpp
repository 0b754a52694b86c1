#include "RawDocumentScan.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// "xmlns" followed by "=": a default namespace declaration, which the document text leaves
// out. Text that merely says so is taken for one too, which only costs speed.
bool HasDefaultNamespace(const QByteArray& bytes) {
    for (qsizetype at = 0; (at = bytes.indexOf("xmlns", at)) >= 0;) {
        at += 5;
        while (at < bytes.size() && IsSpace(bytes[at])) ++at;
        if (at < bytes.size() && bytes[at] == '=') return true;
    }
    return false;
}

// A qualified name held for the events: "p\0local", or "local".
struct HeldName {
    std::string text;
    size_t colon = std::string::npos;

    explicit HeldName(QByteArrayView name) : text(name.data(), size_t(name.size())) {
        colon = text.find(':');
        if (colon != std::string::npos) text[colon] = '\0';
    }
    platform::XmlName Name() const {
        if (colon == std::string::npos) return {nullptr, text.c_str(), nullptr};
        return {text.c_str(), text.c_str() + colon + 1, nullptr};
    }
};

class Scanner {
public:
    Scanner(const QByteArray& bytes, platform::XmlEvents& events, RawTextWriter& writer)
        : bytes_(bytes), events_(events), writer_(writer) {}

    void Run(const bool& stop, qint64& position) {
        const qsizetype size = bytes_.size();
        for (qsizetype at = 0; at < size && !stop; position = at) {
            qsizetype markup = bytes_.indexOf('<', at);
            if (markup < 0) markup = size;
            if (markup > at) Text(at, markup);
            at = markup < size ? Markup(markup) : size;
        }
        position = size;
    }

private:
    QByteArrayView Range(qsizetype from, qsizetype to) const {
        return QByteArrayView(bytes_).sliced(from, to - from);
    }

    // The position after the next occurrence of what, from at.
    qsizetype After(const char* what, qsizetype at) const {
        const qsizetype found = bytes_.indexOf(what, at);
        return found < 0 ? bytes_.size() : found + qsizetype(std::strlen(what));
    }

    bool Telling() const { return skipped_ == 0; }

    void Text(qsizetype from, qsizetype to) {
        if (open_.empty() || !Telling()) return;
        const QByteArrayView text = Range(from, to);
        if (!preserve_.back() && std::all_of(text.begin(), text.end(), IsSpace)) return;
        writer_.SetNode(text);
        events_.Text(text);
    }

    qsizetype Markup(qsizetype at) {
        const QByteArrayView rest = QByteArrayView(bytes_).sliced(at);
        if (rest.startsWith("<!--")) return Node(at, After("-->", at + 4), &Scanner::Comment);
        if (rest.startsWith("<![CDATA[")) return Node(at, After("]]>", at + 9), &Scanner::CData);
        if (rest.startsWith("<?")) return Node(at, After("?>", at + 2), &Scanner::Instruction);
        if (rest.startsWith("</")) return EndTag(at);
        return StartTag(at);
    }

    qsizetype Node(qsizetype from, qsizetype to, void (Scanner::*tell)(QByteArrayView)) {
        if (Telling()) {
            writer_.SetNode(Range(from, to));
            (this->*tell)(Range(from, to));
        }
        return to;
    }
    void Comment(QByteArrayView) { events_.Comment(""); }
    void CData(QByteArrayView text) { events_.CData(text); }
    void Instruction(QByteArrayView) { events_.ProcessingInstruction({nullptr, "", nullptr}, ""); }

    // The end of a start tag: its ">", passing quoted values.
    qsizetype TagEnd(qsizetype at) const {
        for (char quote = 0; at < bytes_.size(); ++at) {
            const char c = bytes_[at];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                return at + 1;
            }
        }
        return bytes_.size();
    }

    qsizetype StartTag(qsizetype at) {
        const qsizetype end = TagEnd(at + 1);
        qsizetype nameEnd = at + 1;
        while (nameEnd < end && !IsSpace(bytes_[nameEnd]) && bytes_[nameEnd] != '/' &&
               bytes_[nameEnd] != '>')
            ++nameEnd;
        const bool empty = bytes_[end - 2] == '/';
        const QByteArrayView tag = Range(at, end);
        if (!Telling()) {
            if (!empty) ++skipped_;
            return end;
        }
        open_.emplace_back(Range(at + 1, nameEnd));
        preserve_.push_back(Preserves(tag, preserve_.back()));
        writer_.SetNode(tag);
        if (!events_.StartElement(open_.back().Name(), {})) skipped_ = 1;
        if (empty) {
            if (skipped_ == 1) skipped_ = 0;
            Close({});
        }
        return end;
    }

    qsizetype EndTag(qsizetype at) {
        const qsizetype end = After(">", at + 2);
        if (skipped_ > 1) {  // the end of an element inside the skipped one
            --skipped_;
            return end;
        }
        skipped_ = 0;
        Close(Range(at, end));
        return end;
    }

    void Close(QByteArrayView tag) {
        writer_.SetNode(tag);
        events_.EndElement(open_.back().Name());
        open_.pop_back();
        preserve_.pop_back();
    }

    // xml:space on the tag, or what the parent keeps.
    static bool Preserves(QByteArrayView tag, bool inherited) {
        if (!tag.contains(':')) return inherited;
        qsizetype at = tag.indexOf("xml:space");
        if (at < 0) return inherited;
        at = tag.indexOf('=', at) + 1;
        while (at < tag.size() && IsSpace(tag[at])) ++at;
        return tag.sliced(at + 1).startsWith("preserve");
    }

    const QByteArray& bytes_;
    platform::XmlEvents& events_;
    RawTextWriter& writer_;
    std::vector<HeldName> open_;
    std::vector<bool> preserve_{false};
    int skipped_ = 0;  // elements open inside the one whose content is skipped, itself included
};

}  // namespace

// ASCII without a NUL, which a document in UTF-16 or UCS-4 would hold; eight bytes at a time.
bool IsAsciiText(const QByteArray& bytes) {
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype at = 0;
    for (quint64 word; at + 8 <= size; at += 8) {
        std::memcpy(&word, data + at, 8);
        const quint64 zeroByte = (word - 0x0101010101010101ULL) & ~word;
        if ((word | zeroByte) & 0x8080808080808080ULL) return false;
    }
    return std::all_of(data + at, data + size, [](char c) { return c > 0; });
}

bool CanScanRaw(const QByteArray& bytes) {
    return bytes.startsWith('<') && IsAsciiText(bytes) && !bytes.contains("<!DOCTYPE") &&
           !HasDefaultNamespace(bytes);
}

void ScanRawDocument(const QByteArray& bytes, platform::XmlEvents& events, RawTextWriter& writer,
                     const bool& stop, qint64& position) {
    Scanner(bytes, events, writer).Run(stop, position);
}
