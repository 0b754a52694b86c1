#include "StructureBuilder.h"

#include <utility>
#include <vector>

#include <QHash>
#include <QSet>

#include "platform/XmlDocument.h"

namespace {

// An element whose node is taking child nodes.
class OpenElement final {
public:
    OpenElement(int node, size_t attributesFrom) : node_(node), attributesFrom_(attributesFrom) {}

    int Node() const { return node_; }
    size_t AttributesFrom() const { return attributesFrom_; }

    // Notes the name of a child node; false when the node has a child with that name
    // already, its attribute nodes included, whose keys are attributeKeys from attributesFrom on.
    bool Admit(const platform::XmlName& name, const std::vector<const void*>& attributeKeys) {
        if (!testing_) {
            // Most elements hold text alone: their attribute names are noted only when needed.
            for (size_t i = attributesFrom_; i < attributeKeys.size(); ++i)
                seen_.insert(attributeKeys[i]);
            testing_ = true;
        }
        if (seen_.contains(name.key)) return false;
        seen_.insert(name.key);
        return true;
    }

    // Counts a child node of the document; true when it is the second and the first was
    // text, which is then not all the element holds and is shown after all.
    bool Count() { return ++childNodes_ == 2 && firstIsText_; }
    // The first child node, when it is text, may be all the element holds: its node waits.
    bool WaitsWithText() {
        if (childNodes_ > 0) return false;
        childNodes_ = 1;
        firstIsText_ = true;
        return true;
    }
    bool IsTextElement() const { return childNodes_ == 1 && firstIsText_; }

private:
    int node_;
    size_t attributesFrom_;
    int childNodes_ = 0;
    bool firstIsText_ = false;
    bool testing_ = false;
    QSet<const void*> seen_;
};

// The names of child nodes other than elements, each its own key.
constexpr char TextName[] = "#text";
constexpr char CDataName[] = "#cdata-section";
constexpr char CommentName[] = "#comment";

platform::XmlName Named(const char* name) { return {nullptr, name, name}; }

// Builds the tree as the document is read: a node for the first occurrence of each name
// under a parent, the content of a later one skipped unread.
class StructureBuilder final : public platform::XmlEvents {
public:
    StructureNodes nodes;

    bool WantsCharacters() const override { return false; }

    bool StartElement(const platform::XmlName& name,
                      const std::vector<platform::XmlAttribute>& attributes) override {
        if (!open_.empty() && !CountAndAdmit(name)) {
            skipped_ = true;
            return false;
        }
        const int parent = open_.empty() ? StructureNodes::None : open_.back().Node();
        const int node = open_
                             .emplace_back(nodes.Append(parent, name.Text(), NodeKind::Container),
                                           attributeKeys_.size())
                             .Node();
        for (const platform::XmlAttribute& attribute : attributes) {
            attributeKeys_.push_back(attribute.name.key);
            nodes.Append(node, attribute.name.Text(), NodeKind::Attribute);
        }
        return true;
    }

    void EndElement(const platform::XmlName&) override {
        if (std::exchange(skipped_, false)) return;
        if (open_.back().IsTextElement()) nodes.SetKind(open_.back().Node(), NodeKind::TextElement);
        attributeKeys_.resize(open_.back().AttributesFrom());
        open_.pop_back();
    }

    void Text(QByteArrayView) override {
        if (!open_.back().WaitsWithText()) Leaf(Named(TextName));
    }

    void CData(QByteArrayView) override { Leaf(Named(CDataName)); }
    void Comment(const char*) override { Leaf(Named(CommentName)); }
    void ProcessingInstruction(const platform::XmlName& target, const char*) override {
        Leaf(target);
    }

private:
    // Counts the child node and runs the duplicate test, after showing the waiting text.
    bool CountAndAdmit(const platform::XmlName& name) {
        if (open_.back().Count()) AddLeaf(Named(TextName));
        return open_.back().Admit(name, attributeKeys_);
    }

    // Nothing outside the root element is shown.
    void Leaf(const platform::XmlName& name) {
        if (!open_.empty() && CountAndAdmit(name))
            nodes.Append(open_.back().Node(), name.Text(), NodeKind::Container);
    }

    void AddLeaf(const platform::XmlName& name) {
        if (open_.back().Admit(name, attributeKeys_))
            nodes.Append(open_.back().Node(), name.Text(), NodeKind::Container);
    }

    std::vector<OpenElement> open_;
    // The keys of the open elements' attribute names, the outermost element's first.
    std::vector<const void*> attributeKeys_;
    bool skipped_ = false;
};

}  // namespace

StructureNodes BuildStructureTree(platform::XmlDocument& document) {
    StructureBuilder builder;
    document.Read(builder);
    return std::move(builder.nodes);
}
