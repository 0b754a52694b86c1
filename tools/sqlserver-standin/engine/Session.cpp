#include "Cancel.h"
#include "Messages.h"
#include "Parser.h"
#include "SessionState.h"
#include "Text.h"
#include "Types.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace standin {
namespace {

StatementReply declare(SessionState& s, const ast::Declare& d) {
    for (const auto& v : d.variables) {
        Scalar& slot = s.variable(v.name);
        slot = Scalar{v.type, std::nullopt};
        if (v.init) {
            const Scalar value = s.evaluate(*v.init);
            slot.value = types::convert(value.value, value.type, v.type, true);
        }
    }
    return {};
}

StatementReply setVariable(SessionState& s, const ast::SetVariable& set) {
    const Scalar value = s.evaluate(set.value);
    Scalar& slot = s.variable(set.name);
    slot.value = types::convert(value.value, value.type, slot.type, true);
    return {};
}

// Session options are accepted; NOCOUNT and LANGUAGE change what the replies say.
StatementReply setOption(SessionState& s, const ast::SetOption& o) {
    StatementReply reply;
    if (o.option == "nocount") s.noCount = text::equalNoCase(o.value, "ON");
    if (o.option == "language" && text::equalNoCase(o.value, "us_english"))
        reply.events.emplace_back(msg::languageChanged());
    return reply;
}

// PRINT arrives as an information message numbered 0.
StatementReply print(SessionState& s, const ast::Print& p) {
    const Scalar v = s.evaluate(p.value);
    const ColumnType text{types::isUnicode(v.type.type) ? SqlType::NVarChar : SqlType::VarChar,
                          8000, 0, 0};
    StatementReply reply;
    reply.events.emplace_back(
        makeMessage(0, 0, types::convert(v.value, v.type, text, true).value_or("")));
    return reply;
}

StatementReply run(SessionState& s, const ast::Statement& statement) {
    return std::visit(
        [&](const auto& st) -> StatementReply {
            using T = std::decay_t<decltype(st)>;
            if constexpr (std::is_same_v<T, ast::Select>)
                return runSelect(s, st);
            else if constexpr (std::is_same_v<T, ast::Insert>)
                return runInsert(s, st);
            else if constexpr (std::is_same_v<T, ast::CreateTable>)
                return runCreateTable(s, st);
            else if constexpr (std::is_same_v<T, ast::CreateView>)
                return runCreateView(s, st);
            else if constexpr (std::is_same_v<T, ast::Drop>)
                return runDrop(s, st);
            else if constexpr (std::is_same_v<T, ast::Use>)
                return runUse(s, st);
            else if constexpr (std::is_same_v<T, ast::Declare>)
                return declare(s, st);
            else if constexpr (std::is_same_v<T, ast::SetVariable>)
                return setVariable(s, st);
            else if constexpr (std::is_same_v<T, ast::SetOption>)
                return setOption(s, st);
            else if constexpr (std::is_same_v<T, ast::Update>)
                return runUpdate(s, st);
            else if constexpr (std::is_same_v<T, ast::Delete>)
                return runDelete(s, st);
            else if constexpr (std::is_same_v<T, ast::Print>)
                return print(s, st);
            else if constexpr (std::is_same_v<T, ast::Transaction>)
                return runTransaction(s, st);
            else if constexpr (std::is_same_v<T, ast::If>)
                throw std::logic_error("IF runs in runAll");
            else
                return runExec(s, st);
        },
        statement);
}

StatementReply failed(std::vector<Message> messages, int line) {
    StatementReply reply;
    reply.error = true;
    for (Message& m : messages) {
        m.line = line;
        const bool terminates =
            m.number == 8152 || m.number == 2628 || m.number == 515 || m.number == 2627;
        reply.events.emplace_back(std::move(m));
        if (terminates) {
            Message t = msg::terminated();
            t.line = line;
            reply.events.emplace_back(std::move(t));
        }
    }
    return reply;
}

// Conversion errors end the whole batch on the server, not only their statement.
bool abortsBatch(const std::vector<Message>& messages) {
    static const int numbers[] = {235, 241, 242, 244, 245, 248, 8114, 8115, 8169};
    return std::any_of(messages.begin(), messages.end(), [](const Message& m) {
        return std::find(std::begin(numbers), std::end(numbers), m.number) != std::end(numbers);
    });
}

// Character columns carry the collation of the database the statement ran in.
void stampCollation(StatementReply& reply, const Collation& collation) {
    for (Event& e : reply.events)
        if (auto* r = std::get_if<ResultSet>(&e))
            for (ResultColumn& c : r->columns)
                if (types::isCharacter(c.type.type) && !c.collation) c.collation = collation;
}

// The statement's line goes on every message it raised.
void stampLines(StatementReply& reply, int line) {
    for (Event& e : reply.events)
        if (auto* m = std::get_if<Message>(&e)) m->line = line;
}

// Values compare as numbers when either side is one, else as text; NULL makes it false.
bool compare(const SessionState& s, const ast::Comparison& c) {
    const Scalar a = s.evaluate(c.left);
    const Scalar b = s.evaluate(c.right);
    const bool numbers = types::isNumeric(a.type.type) || types::isNumeric(b.type.type);
    const ColumnType common =
        numbers ? ColumnType{SqlType::Float} : ColumnType{SqlType::NVarChar, 4000};
    const Value x = types::convert(a.value, a.type, common, true);
    const Value y = types::convert(b.value, b.type, common, true);
    if (!x || !y) return false;
    const int order = numbers ? (std::stod(*x) < std::stod(*y)   ? -1
                                 : std::stod(*x) > std::stod(*y) ? 1
                                                                 : 0)
                              : types::compare(x, y, common);
    if (c.op == "=") return order == 0;
    if (c.op == "<>" || c.op == "!=") return order != 0;
    if (c.op == "<") return order < 0;
    if (c.op == ">") return order > 0;
    return c.op == "<=" ? order <= 0 : order >= 0;
}

// Whether IF's condition holds; its failure is the statement's.
std::optional<bool> condition(SessionState& s, const ast::Located& st,
                              std::vector<StatementReply>& replies) {
    const auto& i = std::get<ast::If>(st.statement);
    try {
        Database::Hold hold(*s.database, &s);
        s.joinTransaction();
        text::CodePageScope codePage(s.database->collation().codePage);
        if (i.comparison) return compare(s, *i.comparison) != i.negate;
        const StatementReply r = runSelect(s, i.query);
        const bool found = !std::get<ResultSet>(r.events.front()).rows.empty();
        return found != i.negate;
    } catch (const SqlError& e) {
        replies.push_back(failed(e.messages, st.line));
        return std::nullopt;
    }
}

// Runs statements in order; false when one ended the batch.
bool runAll(SessionState& s, const std::vector<ast::Located>& statements,
            std::vector<StatementReply>& replies) {
    for (const ast::Located& st : statements) {
        if (const auto* i = std::get_if<ast::If>(&st.statement)) {
            const auto found = condition(s, st, replies);
            if (!found || !runAll(s, *found ? i->then : i->otherwise, replies)) return false;
            continue;
        }
        Database::Hold hold(*s.database, &s);
        const Collation& collation = s.database->collation();
        text::CodePageScope codePage(collation.codePage);
        try {
            s.joinTransaction();
            StatementReply reply = run(s, st.statement);
            stampLines(reply, st.line);
            stampCollation(reply, collation);
            replies.push_back(std::move(reply));
        } catch (const cancel::Cancelled&) {
            throw;
        } catch (const SqlError& e) {
            replies.push_back(failed(e.messages, st.line));
            if (abortsBatch(e.messages)) return false;
        } catch (const std::exception& e) {
            replies.push_back(failed(
                {makeMessage(50000, 16, std::string("Internal error: ") + e.what())}, st.line));
        }
    }
    return true;
}

}  // namespace

struct Session::Impl {
    explicit Impl(Catalog::Impl& c) : state(c) {}
    // A session that ends inside a transaction rolls it back, as the server does.
    ~Impl() {
        if (state.transactions > 0) state.endTransaction(false);
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    SessionState state;
    std::string database;
};

Session::Session(Catalog& catalog, std::string database)
    : impl_(std::make_unique<Impl>(catalog.impl())) {
    Database* d = catalog.impl().find(database);
    impl_->state.database = d ? d : catalog.impl().find("master");
    impl_->database = impl_->state.database->name();
}

Session::~Session() = default;

const Collation& Session::collation() const { return impl_->state.database->collation(); }

const std::string& Session::database() const {
    impl_->database = impl_->state.database->name();
    return impl_->database;
}

std::vector<StatementReply> runBatch(SessionState& s, const std::string& batch,
                                     const std::vector<std::string>& declared) {
    std::vector<ast::Located> statements;
    try {
        statements = parseBatch(batch, declared);
    } catch (const SqlError& e) {
        StatementReply reply;
        reply.error = true;
        reply.events.assign(e.messages.begin(), e.messages.end());
        return {reply};
    } catch (const std::exception& e) {
        return {failed({makeMessage(50000, 16, std::string("Internal error: ") + e.what())}, 1)};
    }
    std::vector<StatementReply> replies;
    try {
        runAll(s, statements, replies);
    } catch (const cancel::Cancelled&) {
        // The client discards the reply up to the DONE acknowledging its attention.
    }
    if (replies.empty()) replies.emplace_back();
    return replies;
}

std::vector<StatementReply> Session::executeBatch(const std::string& batch,
                                                  const std::atomic<bool>* cancel) {
    cancel::Scope watching(cancel);
    impl_->state.variables.clear();
    std::vector<StatementReply> replies = runBatch(impl_->state, batch, {});
    impl_->database = impl_->state.database->name();
    return replies;
}

std::vector<StatementReply> Session::executeRpc(const std::string& procedure,
                                                const std::vector<Parameter>& parameters,
                                                const std::atomic<bool>* cancel) {
    cancel::Scope watching(cancel);
    std::vector<StatementReply> replies;
    try {
        replies = runRemoteCall(impl_->state, procedure, parameters);
    } catch (const cancel::Cancelled&) {
        StatementReply stopped;
        stopped.procedure = true;
        replies = {stopped};
    }
    impl_->database = impl_->state.database->name();
    return replies;
}

}  // namespace standin
