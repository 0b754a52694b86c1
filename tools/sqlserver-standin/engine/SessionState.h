// What the statements of a session work on, and the statement runners that share it.
#pragma once

#include "Ast.h"
#include "CatalogImpl.h"
#include "Engine.h"
#include "XmlDocument.h"
#include "XmlMemory.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace standin {

// A typed value, as expressions and variables hold it.
struct Scalar {
    ColumnType type;
    Value value;
};

// A value as a whole number (a document handle); NULL stays NULL. Throws SqlError.
std::optional<long long> integerOf(const Scalar& s);

struct SessionState {
    explicit SessionState(Catalog::Impl& c) : catalog(c) {}

    Catalog::Impl& catalog;
    Database* database = nullptr;
    std::map<std::string, Scalar> variables;  // the running batch's, by lower-case name
    struct OpenDocument {
        std::unique_ptr<XmlDocument> document;
        XmlMemory::Share memory;
    };
    std::map<long long, OpenDocument> documents;
    long long nextHandle = 1;
    bool noCount = false;
    Value lastIdentity;  // SCOPE_IDENTITY()
    struct Prepared {
        Value parameters;  // "@P1 int, @P2 nvarchar(10)"
        std::string statement;
    };
    std::map<long long, Prepared> prepared;  // sp_prepare's handles
    long long nextPrepared = 1;
    int transactions = 0;             // @@TRANCOUNT
    std::vector<Database*> enlisted;  // held, each with its own open transaction, until it ends

    // Adds the current database to the open transaction, if there is one.
    void joinTransaction();
    // Commits or rolls back the work of every database the transaction touched.
    void endTransaction(bool commit);

    Scalar& variable(const std::string& name);
    Scalar evaluate(const ast::Expr& e) const;
    Scalar evaluate(const ast::Term& t) const;
    Scalar call(const ast::Term& function) const;
    std::optional<uint64_t> count(std::size_t rows) const;
};

StatementReply runSelect(SessionState& s, const ast::Select& select);
StatementReply runInsert(SessionState& s, const ast::Insert& insert);
StatementReply runCreateTable(SessionState& s, const ast::CreateTable& create);
StatementReply runCreateView(SessionState& s, const ast::CreateView& create);
StatementReply runDrop(SessionState& s, const ast::Drop& drop);
StatementReply runExec(SessionState& s, const ast::Exec& exec);
StatementReply runUse(SessionState& s, const ast::Use& use);
StatementReply runTransaction(SessionState& s, const ast::Transaction& t);

// A batch with variables declared beforehand (a remote call's parameters); at least one reply.
std::vector<StatementReply> runBatch(SessionState& s, const std::string& batch,
                                     const std::vector<std::string>& declared);
std::vector<StatementReply> runRemoteCall(SessionState& s, const std::string& procedure,
                                          const std::vector<Parameter>& parameters);
StatementReply runUpdate(SessionState& s, const ast::Update& update);
StatementReply runDelete(SessionState& s, const ast::Delete& erase);

}  // namespace standin
