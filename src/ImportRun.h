// One document's import, from composing its batches to the server's last answer: the same
// for the window's Import, Import Files and the command line. It runs on a thread of its own
// while the caller shows progress; the connection is its alone until it returns.
#pragma once

#include <atomic>

#include <QByteArray>

#include "ImportBatch.h"
#include "ImportOutcome.h"

namespace platform {
class Connection;
class Cancellation;
}  // namespace platform

struct ImportRequest {
    QByteArray document;  // the bytes first read; empty while no document is loaded
    QByteArray prefixDeclarations;
    BatchTarget target;
};

// What a running import has done, for another thread to show.
struct ImportProgress {
    std::atomic<qint64> bytesDone{0};   // of the document, in pieces the server has taken
    std::atomic<qint64> bytesTotal{0};  // 0 while the document goes in one batch
};

// A document larger than wholeBytes goes in pieces of about pieceBytes, each in a batch of
// its own inside one transaction, when its column patterns allow. Four megabytes keep a
// batch to well under a second on the server and its parsed form to a small share of the
// memory the server gives XML documents, while the few hundred bytes each batch adds cost
// nothing next to it.
struct ImportSizes {
    qsizetype wholeBytes = 4 << 20;
    qsizetype pieceBytes = 4 << 20;
};

// All or nothing: a failure, a lost connection or a cancellation leaves the database as it
// was (a single batch is one statement) and no document open on the server.
ImportOutcome RunImport(const ImportRequest& request, platform::Connection& connection,
                        platform::Cancellation& cancellation, ImportProgress& progress,
                        const ImportSizes& sizes = {});

// The largest batch the server takes at this network packet size, in bytes of its UTF-16
// text: 65,536 packets, each with its header, less the headers of the request.
qint64 LargestBatch(int packetSize);
