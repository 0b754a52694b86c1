#include "ImportRun.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

#include "DocumentPieces.h"
#include "platform/Ado.h"
#include "platform/CodePage.h"
#include "platform/XmlDocument.h"
#include "platform/XmlText.h"

namespace {

struct PieceBatch {
    QByteArray sql;
    qint64 bytesRead = 0;
};

// The pieces' batches between the thread that composes them and the one that sends them:
// at most one waits, so that the next is ready when the server has taken the last.
class PieceQueue final {
public:
    // False once the sender has stopped.
    bool Push(PieceBatch&& batch) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return waiting_.empty() || stopped_; });
        if (stopped_) return false;
        waiting_.push_back(std::move(batch));
        changed_.notify_all();
        return true;
    }

    // error: why composing ended early, null when the document is done.
    void Finish(std::exception_ptr error) {
        const std::lock_guard lock(mutex_);
        finished_ = true;
        error_ = std::move(error);
        changed_.notify_all();
    }

    // The next batch; none at the end; rethrows what ended composing.
    std::optional<PieceBatch> Pop() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return !waiting_.empty() || finished_; });
        if (waiting_.empty()) {
            if (error_) std::rethrow_exception(error_);
            return std::nullopt;
        }
        PieceBatch batch = std::move(waiting_.front());
        waiting_.pop_front();
        changed_.notify_all();
        return batch;
    }

    void Stop() {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<PieceBatch> waiting_;
    bool finished_ = false;
    bool stopped_ = false;
    std::exception_ptr error_;
};

// The document text as its batch carries it, a piece's or the whole document's: names the
// code page lacks go in UTF-16, and the declaration says what the server reads.
DocumentLiteral LiteralOf(QByteArray&& body, const QByteArray& version, bool standalone,
                          int codePage) {
    const bool ascii = platform::IsAscii(body);
    const bool unicode = !ascii && !platform::CodePageHolds(body, codePage);
    const QByteArray encoding =
        ascii ? "UTF-8" : (unicode ? "UTF-16" : platform::XmlEncodingName(codePage));
    return {std::move(body.prepend(platform::XmlDeclaration(version, standalone, encoding))),
            unicode};
}

int HandleOf(const platform::BatchResult& result) {
    if (result.rows.empty() || result.rows.front().empty()) return 0;
    return result.rows.front().front().toInt();
}

class Run final {
public:
    Run(const ImportRequest& request, platform::Connection& connection,
        platform::Cancellation& cancellation, ImportProgress& progress, const ImportSizes& sizes)
        : request_(request),
          connection_(connection),
          cancellation_(cancellation),
          progress_(progress),
          sizes_(sizes),
          largest_(LargestBatch(connection.PacketSize())) {}

    ImportOutcome Outcome() {
        try {
            if (request_.document.size() > sizes_.wholeBytes) {
                if (const auto layout = PieceLayoutOf(request_.target.plan)) {
                    try {
                        return InPieces(*layout);
                    } catch (const PiecesNeedWholeDocument&) {
                        // Rolled back: the document goes whole instead.
                        rows_ = 0;
                        progress_.bytesTotal = 0;
                    }
                }
            }
            return Whole();
        } catch (const platform::AdoError& error) {
            return Failed(error);
        } catch (const std::exception& error) {
            return FailureOutcome(QString::fromUtf8(error.what()));
        }
    }

private:
    DocumentLiteral WholeLiteral() const {
        if (request_.document.isEmpty()) return {};
        platform::DocumentBody body = platform::ReadDocumentBody(
            platform::KeptBytes(request_.document), platform::XmlDocument::MaxDepth);
        return LiteralOf(std::move(body.text), body.read.version, body.read.standalone,
                         request_.target.codePage);
    }

    ImportOutcome Whole() {
        const DocumentLiteral document = WholeLiteral();
        const QByteArray sql = ImportBatch(request_.target, document);
        if (Utf16Bytes(sql) > largest_) return TooLarge(SizeLimit::WholeDocument, sql);
        if (!GoesInMaxType(document, request_.target.codePage)) {
            Send(sql);  // as it always went: nothing to clean up after it
            return Imported();
        }
        try {
            Send(sql);
        } catch (...) {
            CleanUp();
            throw;
        }
        return Imported();
    }

    ImportOutcome InPieces(const PieceLayout& layout) {
        progress_.bytesTotal = request_.document.size();
        PieceQueue queue;
        std::thread composer([&] { Compose(layout, queue); });
        const auto stopComposer = [&] {
            queue.Stop();
            composer.join();
        };
        try {
            Send(QByteArrayLiteral("BEGIN TRANSACTION"));
            while (std::optional<PieceBatch> piece = queue.Pop()) {
                if (Utf16Bytes(piece->sql) > largest_) {
                    stopComposer();
                    CleanUp();
                    return TooLarge(SizeLimit::RowElement, piece->sql);
                }
                Send(piece->sql);
                progress_.bytesDone = piece->bytesRead;
            }
            Send(QByteArrayLiteral("COMMIT TRANSACTION"));
            progress_.bytesDone = progress_.bytesTotal.load();
        } catch (...) {
            stopComposer();
            CleanUp();
            throw;
        }
        composer.join();
        return Imported();
    }

    // On its own thread: the pieces' batches, the first creating the table when it is new.
    void Compose(const PieceLayout& layout, PieceQueue& queue) const {
        try {
            BatchTarget target = request_.target;
            CutIntoPieces(request_.document, layout, sizes_.pieceBytes, [&](DocumentPiece&& piece) {
                const DocumentLiteral literal =
                    LiteralOf(std::move(piece.body), "1.0", false, target.codePage);
                PieceBatch batch{MaxTypeBatch(target, literal), piece.bytesRead};
                target.createTable = false;
                return queue.Push(std::move(batch));
            });
            queue.Finish(nullptr);
        } catch (...) {
            queue.Finish(std::current_exception());
        }
    }

    // handle_ keeps the document of a batch that failed after selecting it.
    void Send(const QByteArray& sql) {
        platform::BatchResult result;
        try {
            connection_.Execute(QString::fromUtf8(sql), result, &cancellation_);
        } catch (...) {
            handle_ = HandleOf(result);
            throw;
        }
        rows_ += result.rowsAffected;
    }

    // Rolls back and removes the document a failed batch left; the server does both itself
    // when the connection is gone.
    void CleanUp() {
        platform::Cancellation own;
        platform::BatchResult result;
        try {
            connection_.Execute(QString::fromUtf8(CleanUpBatch(handle_)), result, &own);
        } catch (const platform::AdoError&) {
        }
    }

    ImportOutcome Failed(const platform::AdoError& error) const {
        if (cancellation_.Cancelled()) return {ImportEnd::Cancelled};
        return FailureOutcome(QString::fromUtf8(error.what()));
    }

    ImportOutcome Imported() const {
        return {rows_ > 0 ? ImportEnd::Imported : ImportEnd::NoRows, rows_};
    }

    ImportOutcome TooLarge(SizeLimit limit, const QByteArray& sql) const {
        return {ImportEnd::TooLarge, 0, {}, limit, Utf16Bytes(sql), largest_};
    }

    // Two bytes for each character of the text, four above U+FFFF.
    static qint64 Utf16Bytes(const QByteArray& utf8) {
        qint64 units = 0;
        for (const char c : utf8) {
            const auto byte = static_cast<uchar>(c);
            units += (byte & 0xC0) != 0x80 ? 1 : 0;  // a character's first byte
            units += byte >= 0xF0 ? 1 : 0;           // and a second unit above U+FFFF
        }
        return 2 * units;
    }

    const ImportRequest& request_;
    platform::Connection& connection_;
    platform::Cancellation& cancellation_;
    ImportProgress& progress_;
    const ImportSizes sizes_;
    const qint64 largest_;
    qint64 rows_ = 0;
    int handle_ = 0;
};

}  // namespace

qint64 LargestBatch(int packetSize) {
    constexpr qint64 Packets = 65536;
    constexpr qint64 PacketHeader = 8;
    constexpr qint64 RequestHeaders = 22;  // the transaction descriptor that leads a batch
    return Packets * (packetSize - PacketHeader) - RequestHeaders;
}

ImportOutcome RunImport(const ImportRequest& request, platform::Connection& connection,
                        platform::Cancellation& cancellation, ImportProgress& progress,
                        const ImportSizes& sizes) {
    return Run(request, connection, cancellation, progress, sizes).Outcome();
}
