#include "RowCount.h"

#include <QByteArrayList>

#include "platform/XmlDocument.h"

namespace {

// Walks only down the row path: every element off it is skipped whole.
class RowCounter final : public platform::XmlEvents {
public:
    explicit RowCounter(const QString& rowPath) {
        QString path = rowPath;
        if (path.endsWith(u'/')) path.chop(1);
        steps_ = path.toUtf8().split('/');
        if (steps_.last().startsWith('@')) attribute_ = steps_.takeLast().sliced(1);
    }

    int Count() const { return count_; }

    bool StartElement(const platform::XmlName& name,
                      const std::vector<platform::XmlAttribute>& attributes) override {
        if (name.Bytes() != steps_[depth_]) {
            skipped_ = true;
            return false;
        }
        ++depth_;
        if (depth_ < steps_.size()) return true;
        if (attribute_.isEmpty() || HasAttribute(attributes)) ++count_;
        return false;
    }
    // A skipped element's end comes right after its start: nothing inside it arrives.
    void EndElement(const platform::XmlName&) override {
        if (skipped_)
            skipped_ = false;
        else
            --depth_;
    }
    void Text(QByteArrayView) override {}
    void CData(QByteArrayView) override {}
    void Comment(const char*) override {}
    void ProcessingInstruction(const platform::XmlName&, const char*) override {}
    bool WantsCharacters() const override { return false; }

private:
    bool HasAttribute(const std::vector<platform::XmlAttribute>& attributes) const {
        for (const platform::XmlAttribute& attribute : attributes)
            if (attribute.name.Bytes() == attribute_) return true;
        return false;
    }

    QByteArrayList steps_;
    QByteArray attribute_;
    qsizetype depth_ = 0;
    bool skipped_ = false;
    int count_ = 0;
};

}  // namespace

int CountRows(platform::XmlDocument& document, const QString& rowPath) {
    if (rowPath.isEmpty()) return 0;
    RowCounter counter(rowPath);
    document.Read(counter);
    return counter.Count();
}
