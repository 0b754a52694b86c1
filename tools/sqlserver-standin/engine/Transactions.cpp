// BEGIN / COMMIT / ROLLBACK TRANSACTION: a transaction holds every database it touched until it
// ends, so other sessions neither see nor disturb its work.
#include "Messages.h"
#include "SessionState.h"

#include <algorithm>

namespace standin {

void SessionState::joinTransaction() {
    if (transactions == 0 ||
        std::find(enlisted.begin(), enlisted.end(), database) != enlisted.end())
        return;
    database->acquire(this);
    try {
        database->beginTransaction();
    } catch (...) {
        database->release();
        throw;
    }
    enlisted.push_back(database);
}

void SessionState::endTransaction(bool commit) {
    for (Database* d : enlisted) {
        d->endTransaction(commit);
        d->release();
    }
    enlisted.clear();
    transactions = 0;
}

// COMMIT ends only the outermost transaction; ROLLBACK ends them all, as @@TRANCOUNT counts them.
StatementReply runTransaction(SessionState& s, const ast::Transaction& t) {
    if (t.kind == ast::Transaction::Begin) {
        ++s.transactions;
        s.joinTransaction();
        return {};
    }
    const bool commit = t.kind == ast::Transaction::Commit;
    if (s.transactions == 0)
        throw SqlError(
            makeMessage(commit ? 3902 : 3903, 16,
                        std::string("The ") + (commit ? "COMMIT" : "ROLLBACK") +
                            " TRANSACTION request has no corresponding BEGIN TRANSACTION."));
    if (commit && s.transactions > 1)
        --s.transactions;
    else
        s.endTransaction(commit);
    return {};
}

}  // namespace standin
