#include "Messages.h"
#include "Parser.h"
#include "SessionState.h"
#include "Text.h"
#include "Types.h"

#include <stdexcept>

namespace standin {
namespace {

StatementReply declare(SessionState& s, const ast::Declare& d)
{
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

StatementReply setVariable(SessionState& s, const ast::SetVariable& set)
{
    const Scalar value = s.evaluate(set.value);
    Scalar& slot = s.variable(set.name);
    slot.value = types::convert(value.value, value.type, slot.type, true);
    return {};
}

// Session options are accepted; NOCOUNT and LANGUAGE change what the replies say.
StatementReply setOption(SessionState& s, const ast::SetOption& o)
{
    StatementReply reply;
    if (o.option == "nocount")
        s.noCount = text::equalNoCase(o.value, "ON");
    if (o.option == "language" && text::equalNoCase(o.value, "us_english"))
        reply.events.emplace_back(msg::languageChanged());
    return reply;
}

StatementReply run(SessionState& s, const ast::Statement& statement)
{
    return std::visit(
        [&](const auto& st) -> StatementReply {
            using T = std::decay_t<decltype(st)>;
            if constexpr (std::is_same_v<T, ast::Select>) return runSelect(s, st);
            else if constexpr (std::is_same_v<T, ast::Insert>) return runInsert(s, st);
            else if constexpr (std::is_same_v<T, ast::CreateTable>) return runCreateTable(s, st);
            else if constexpr (std::is_same_v<T, ast::CreateView>) return runCreateView(s, st);
            else if constexpr (std::is_same_v<T, ast::Drop>) return runDrop(s, st);
            else if constexpr (std::is_same_v<T, ast::Use>) return runUse(s, st);
            else if constexpr (std::is_same_v<T, ast::Declare>) return declare(s, st);
            else if constexpr (std::is_same_v<T, ast::SetVariable>) return setVariable(s, st);
            else if constexpr (std::is_same_v<T, ast::SetOption>) return setOption(s, st);
            else return runExec(s, st);
        },
        statement);
}

StatementReply failed(std::vector<Message> messages, int line)
{
    StatementReply reply;
    reply.error = true;
    for (Message& m : messages) {
        m.line = line;
        const bool terminates = m.number == 8152 || m.number == 515;
        reply.events.emplace_back(std::move(m));
        if (terminates) {
            Message t = msg::terminated();
            t.line = line;
            reply.events.emplace_back(std::move(t));
        }
    }
    return reply;
}

// Character columns carry the collation of the database the statement ran in.
void stampCollation(StatementReply& reply, const Collation& collation)
{
    for (Event& e : reply.events)
        if (auto* r = std::get_if<ResultSet>(&e))
            for (ResultColumn& c : r->columns)
                if (types::isCharacter(c.type.type) && !c.collation)
                    c.collation = collation;
}

// The statement's line goes on every message it raised.
void stampLines(StatementReply& reply, int line)
{
    for (Event& e : reply.events)
        if (auto* m = std::get_if<Message>(&e))
            m->line = line;
}

}  // namespace

struct Session::Impl {
    explicit Impl(Catalog::Impl& c) : state(c) {}
    SessionState state;
    std::string database;
};

Session::Session(Catalog& catalog, std::string database)
    : impl_(std::make_unique<Impl>(catalog.impl()))
{
    Database* d = catalog.impl().find(database);
    impl_->state.database = d ? d : catalog.impl().find("master");
    impl_->database = impl_->state.database->name();
}

Session::~Session() = default;

const Collation& Session::collation() const
{
    return impl_->state.database->collation();
}

const std::string& Session::database() const
{
    impl_->database = impl_->state.database->name();
    return impl_->database;
}

std::vector<StatementReply> Session::executeBatch(const std::string& batch)
{
    SessionState& s = impl_->state;
    s.variables.clear();
    std::vector<ast::Located> statements;
    try {
        statements = parseBatch(batch);
    } catch (const SqlError& e) {
        StatementReply reply;
        reply.error = true;
        reply.events.assign(e.messages.begin(), e.messages.end());
        return {reply};
    } catch (const std::exception& e) {
        return {failed({makeMessage(50000, 16, std::string("Internal error: ") + e.what())}, 1)};
    }
    std::vector<StatementReply> replies;
    for (const ast::Located& st : statements) {
        std::lock_guard lock(s.database->mutex());
        const Collation& collation = s.database->collation();
        text::CodePageScope codePage(collation.codePage);
        try {
            StatementReply reply = run(s, st.statement);
            stampLines(reply, st.line);
            stampCollation(reply, collation);
            replies.push_back(std::move(reply));
        } catch (const SqlError& e) {
            replies.push_back(failed(e.messages, st.line));
        } catch (const std::exception& e) {
            replies.push_back(failed({makeMessage(50000, 16, std::string("Internal error: ") + e.what())}, st.line));
        }
    }
    if (replies.empty())
        replies.emplace_back();
    impl_->database = s.database->name();
    return replies;
}

}  // namespace standin
