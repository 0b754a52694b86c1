#include "DocumentPieces.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <optional>
#include <vector>

#include <QByteArrayList>

#include "RawDocumentScan.h"
#include "platform/XmlDocument.h"
#include "platform/XmlText.h"

namespace {

using Segments = QList<QByteArray>;

// A name as the patterns write it; anything else (predicates, wildcards, axes, functions,
// steps to self or parent inside a path) is not followed here.
bool IsSimpleName(const QByteArray& name) {
    if (name.isEmpty() || name == "." || name == "..") return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return std::strchr(" \t\r\n[]()*|=\"'@/,$!<>", c) != nullptr && c != '\0';
    });
}

bool NameIs(const platform::XmlName& name, const QByteArray& qualified) {
    if (!name.prefix) return qualified == name.local;
    const qsizetype prefix = static_cast<qsizetype>(std::strlen(name.prefix));
    return qualified.size() > prefix && qualified[prefix] == ':' &&
           std::memcmp(qualified.constData(), name.prefix, prefix) == 0 &&
           qualified.sliced(prefix + 1) == name.local;
}

// What a piece keeps of an element.
enum class Role {
    Chain,   // holds row elements: its start and end tag, and what the patterns reach in it
    Row,     // a row element, whole
    Step,    // on the way to what a pattern reaches: start and end tag
    Target,  // what a pattern reaches: whole
};

struct Node {
    QByteArray name;
    Role role = Role::Step;
    std::deque<Node> children;

    Node& Child(const QByteArray& childName) {
        for (Node& child : children)
            if (child.name == childName) return child;
        return children.emplace_back(Node{childName, Role::Step, {}});
    }
    const Node* Find(const platform::XmlName& childName) const {
        for (const Node& child : children)
            if (NameIs(childName, child.name)) return &child;
        return nullptr;
    }
};

struct RowNode {
    Segments element;  // the row element's path
    int depth;         // the row node's: one more than the element's for an attribute
};

std::optional<RowNode> RowNodeOf(const QString& rowPath) {
    Segments parts = rowPath.toUtf8().split('/');
    if (parts.size() > 1 && parts.back().isEmpty()) parts.removeLast();  // a container's path
    const int depth = static_cast<int>(parts.size());
    if (parts.back().startsWith('@')) {
        if (!IsSimpleName(parts.takeLast().sliced(1))) return std::nullopt;
    }
    if (parts.isEmpty() || !std::all_of(parts.begin(), parts.end(), IsSimpleName))
        return std::nullopt;
    return RowNode{parts, depth};
}

}  // namespace

class PieceLayout {
public:
    Node document{{}, Role::Chain, {}};

    explicit PieceLayout(const RowNode& row) : row_(row) {
        Node* node = &document;
        for (const QByteArray& name : row.element) {
            node = &node->Child(name);
            node->role = Role::Chain;
        }
        node->role = Role::Row;
    }

    // Marks what the pattern reaches outside its own row element; false when that could be
    // another row element, the row's own ancestor as a whole, or when the pattern is not
    // followed here.
    bool Reach(const QString& pattern) {
        if (pattern == u'.') return true;
        Segments tail = pattern.toUtf8().split('/');
        int up = 0;
        while (up < tail.size() && tail[up] == "..") ++up;
        tail.remove(0, up);
        const bool attribute = !tail.isEmpty() && tail.back().startsWith('@');
        if (attribute && !IsSimpleName(tail.takeLast().sliced(1))) return false;
        if (!std::all_of(tail.begin(), tail.end(), IsSimpleName)) return false;
        if (up == 0 && tail.isEmpty() && !attribute) return false;

        const qsizetype depth = row_.depth - up;  // where the steps up lead; 0: the document
        if (depth < 0 || depth >= row_.element.size()) return true;  // nothing, or its own row
        if (tail.isEmpty()) return attribute;  // an ancestor's attribute stands in its start tag
        if (tail.front() == row_.element[depth]) return false;
        Node* node = &document;
        for (qsizetype i = 0; i < depth; ++i) node = &node->Child(row_.element[i]);
        for (const QByteArray& name : tail) node = &node->Child(name);
        if (!attribute) node->role = Role::Target;
        return true;
    }

private:
    RowNode row_;
};

PiecesNeedWholeDocument::PiecesNeedWholeDocument()
    : std::runtime_error("context of rows in an earlier piece follows them") {}

std::shared_ptr<const PieceLayout> PieceLayoutOf(const ImportPlan& plan) {
    const std::optional<RowNode> row = RowNodeOf(plan.rowPath);
    if (!row) return nullptr;
    auto layout = std::make_shared<PieceLayout>(*row);
    for (const MappedField& field : plan.fields)
        if (!layout->Reach(field.pattern)) return nullptr;
    return layout;
}

namespace {

// Writes the pieces while the document is read. Elements that hold rows are written into
// a piece when its first row needs them, with what the patterns reach in them; a piece
// ends after a row, closing what is open.
class PieceCutter final : public platform::XmlEvents {
public:
    PieceCutter(const PieceLayout& layout, qsizetype pieceBytes,
                const std::function<bool(DocumentPiece&&)>& deliver, const qint64& bytesRead,
                platform::XmlTextWriter& writer)
        : deliver_(deliver), bytesRead_(bytesRead), pieceBytes_(pieceBytes), writer_(writer) {
        frames_.push_back({&layout.document, Kind::Chain});
    }

    const bool& Stopped() const { return stopped_; }
    bool NeedsWholeDocument() const { return needsWhole_; }

    bool StartElement(const platform::XmlName& name,
                      const std::vector<platform::XmlAttribute>& attributes) override {
        if (stopped_) return false;
        if (rootName_.isEmpty()) rootName_ = name.Bytes();
        const Frame parent = frames_.back();
        if (parent.kind == Kind::Whole || parent.kind == Kind::Row) {
            frames_.push_back({nullptr, Kind::Whole});
            return writer_.StartElement(name, attributes);
        }
        const Node* node = parent.node->Find(name);
        if (!node) {
            frames_.push_back({nullptr, Kind::Skipped});
            return false;
        }
        switch (node->role) {
            case Role::Row:
                OpenChainInPiece();
                writer_.SetOutput(piece_);
                frames_.push_back({node, Kind::Row});
                break;
            case Role::Chain:
                StartChain(name, attributes);
                frames_.push_back({node, Kind::Chain});
                return true;
            case Role::Step:
            case Role::Target:
                if (parent.kind == Kind::Chain) writer_.SetOutput(reached_);
                frames_.push_back({node, node->role == Role::Target ? Kind::Whole : Kind::Step});
                break;
        }
        return writer_.StartElement(name, attributes);
    }

    void EndElement(const platform::XmlName& name) override {
        if (stopped_) return;
        const Frame frame = frames_.back();
        frames_.pop_back();
        switch (frame.kind) {
            case Kind::Skipped:
                return;
            case Kind::Chain:
                return EndChain(name);
            case Kind::Row:
                writer_.EndElement(name);
                ++rowsInPiece_;
                return CutAfterRow();
            case Kind::Whole:
            case Kind::Step:
                writer_.EndElement(name);
                if (frames_.back().kind == Kind::Chain) KeepReached();
                return;
        }
    }

    void Text(QByteArrayView text) override {
        if (Writing()) writer_.Text(text);
    }
    void CData(QByteArrayView text) override {
        if (Writing()) writer_.CData(text);
    }
    void Comment(const char* text) override {
        if (Writing()) writer_.Comment(text);
    }
    void ProcessingInstruction(const platform::XmlName& target, const char* data) override {
        if (Writing()) writer_.ProcessingInstruction(target, data);
    }

    // The last piece; an empty root element when the document has no row element at all.
    void Finish() {
        if (piece_.isEmpty() && emitted_ == 0) piece_ = '<' + rootName_ + "/>";
        if (piece_.isEmpty()) return;
        if (!piece_.endsWith("\r\n")) piece_ += "\r\n";
        Emit();
    }

private:
    enum class Kind { Chain, Row, Step, Whole, Skipped };
    struct Frame {
        const Node* node;
        Kind kind;
    };
    // An open element that holds rows.
    struct Chain {
        QByteArray startTag;
        QByteArray reached;  // what the patterns reach in it, in document order
        bool inPiece = false;
        qsizetype reachedEnd = 0;  // in the piece, while inPiece
        bool rowsInEarlierPiece = false;
    };

    bool Writing() const {
        if (stopped_) return false;
        const Kind kind = frames_.back().kind;
        return kind == Kind::Row || kind == Kind::Whole;
    }

    void StartChain(const platform::XmlName& name,
                    const std::vector<platform::XmlAttribute>& attributes) {
        Chain& chain = chains_.emplace_back();
        writer_.SetOutput(chain.startTag);
        writer_.StartElement(name, attributes);
        writer_.CloseStartTag();
    }

    void EndChain(const platform::XmlName& name) {
        const bool inPiece = chains_.back().inPiece;
        writer_.SetOutput(inPiece ? piece_ : discarded_);
        writer_.EndElement(name);
        discarded_.clear();
        chains_.pop_back();
        // Rows of one parent stay together in a piece where they can.
        if (inPiece && !chains_.empty() && piece_.size() >= pieceBytes_) Cut();
    }

    void OpenChainInPiece() {
        for (Chain& chain : chains_) {
            if (chain.inPiece) continue;
            piece_ += chain.startTag;
            piece_ += chain.reached;
            chain.reachedEnd = piece_.size();
            chain.inPiece = true;
        }
    }

    // What a pattern reaches in the innermost open chain element, now complete. Nothing
    // reaches what lies outside the element that holds the rows.
    void KeepReached() {
        if (chains_.empty()) return reached_.clear();
        Chain& chain = chains_.back();
        if (chain.rowsInEarlierPiece) {
            // The parser is C: no exception may pass through it.
            needsWhole_ = stopped_ = true;
            return;
        }
        chain.reached += reached_;
        if (chain.inPiece) {
            piece_.insert(chain.reachedEnd, reached_);
            chain.reachedEnd += reached_.size();
        }
        reached_.clear();
    }

    void CutAfterRow() {
        if (chains_.empty() || piece_.size() < pieceBytes_) return;
        if (chains_.size() == 1 || piece_.size() >= 2 * pieceBytes_) Cut();
    }

    void Cut() {
        QByteArray closing;
        for (auto chain = chains_.rbegin(); chain != chains_.rend(); ++chain) {
            if (!chain->inPiece) continue;
            closing += "</" + ElementName(chain->startTag) + '>';
            chain->inPiece = false;
            chain->rowsInEarlierPiece = true;
        }
        piece_ += closing + "\r\n";
        Emit();
    }

    static QByteArray ElementName(const QByteArray& startTag) {
        qsizetype end = 1;
        while (end < startTag.size() && !std::strchr(" \t\r\n/>", startTag[end])) ++end;
        return startTag.sliced(1, end - 1);
    }

    void Emit() {
        if (!stopped_ && !deliver_({std::move(piece_), rowsInPiece_, bytesRead_})) stopped_ = true;
        piece_ = QByteArray();
        rowsInPiece_ = 0;
        ++emitted_;
    }

    const std::function<bool(DocumentPiece&&)>& deliver_;
    const qint64& bytesRead_;
    const qsizetype pieceBytes_;
    QByteArray piece_;
    QByteArray reached_;    // what a pattern reaches, while it is read
    QByteArray discarded_;  // end tags of elements that hold rows of earlier pieces only
    platform::XmlTextWriter& writer_;
    std::vector<Frame> frames_;
    std::vector<Chain> chains_;
    qint64 rowsInPiece_ = 0;
    qint64 emitted_ = 0;
    QByteArray rootName_;
    bool stopped_ = false;
    bool needsWhole_ = false;
};

}  // namespace

void CutIntoPieces(const QByteArray& document, const PieceLayout& layout, qsizetype pieceBytes,
                   const std::function<bool(DocumentPiece&&)>& deliver) {
    qint64 bytesRead = 0;
    if (CanScanRaw(document)) {
        RawTextWriter writer;
        PieceCutter cutter(layout, pieceBytes, deliver, bytesRead, writer);
        ScanRawDocument(document, cutter, writer, cutter.Stopped(), bytesRead);
        if (cutter.NeedsWholeDocument()) throw PiecesNeedWholeDocument();
        if (!cutter.Stopped()) cutter.Finish();
        return;
    }
    QByteArray unused;
    platform::DocumentWriter writer(unused);
    PieceCutter cutter(layout, pieceBytes, deliver, bytesRead, writer);
    const platform::XmlByteSource source = platform::KeptBytes(document);
    const platform::XmlByteSource counted = [&](char* buffer, int length) {
        if (cutter.Stopped()) return -1;
        const int read = source(buffer, length);
        if (read > 0) bytesRead += read;
        return read;
    };
    try {
        platform::ReadXml(counted, cutter, platform::XmlDocument::MaxDepth);
    } catch (const platform::XmlError&) {
        if (!cutter.Stopped()) throw;
    }
    if (cutter.NeedsWholeDocument()) throw PiecesNeedWholeDocument();
    if (!cutter.Stopped()) cutter.Finish();
}
