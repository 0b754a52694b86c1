// A large document cut into pieces that import the same rows as the whole: each piece is the
// document with a share of the row elements, whole and in document order, and everything
// else that the column patterns reach from a row.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>

#include <QByteArray>

#include "ImportPlan.h"
#include "platform/XmlReading.h"

// Which elements the row path selects and what the patterns reach beside them.
class PieceLayout;

// Null when the document must go whole: a pattern could reach a row element other than
// its own (a value would then depend on which rows share its piece), or the row path or a
// pattern is more than names, "..", "." and a final "@name".
std::shared_ptr<const PieceLayout> PieceLayoutOf(const ImportPlan& plan);

// Context that a pattern reaches turned up after rows that needed it had gone in an
// earlier piece: the document must go whole.
class PiecesNeedWholeDocument final : public std::runtime_error {
public:
    PiecesNeedWholeDocument();
};

struct DocumentPiece {
    QByteArray body;  // the piece's document text without its declaration, ending in CR LF
    qint64 rowElements = 0;
    qint64 bytesRead = 0;  // of the source, when the piece was complete
};

// Reads the document's bytes once and hands over each piece as soon as it is complete, of
// about pieceBytes or one row element when that is larger. A document without any row
// element gives one piece: its root element, empty. deliver returns false to stop the
// reading early. Throws PiecesNeedWholeDocument, and platform::XmlError as the reading does.
void CutIntoPieces(const QByteArray& document, const PieceLayout& layout, qsizetype pieceBytes,
                   const std::function<bool(DocumentPiece&&)>& deliver);
