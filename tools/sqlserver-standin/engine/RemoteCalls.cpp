// Remote procedure calls: sp_executesql, the prepared statements of sp_prepare / sp_execute /
// sp_prepexec / sp_unprepare (how ODBC drivers send parameters), and procedures by name.
#include "Messages.h"
#include "Parser.h"
#include "SessionState.h"
#include "Text.h"
#include "Types.h"

#include <regex>

namespace standin {
namespace {

const ColumnType kHandle{SqlType::Int};

// Declares the variables of a parameter list such as "@P1 int, @P2 nvarchar(10) OUTPUT" and
// returns their names in order.
std::vector<std::string> declareParameters(SessionState& s, const Value& list) {
    if (!list || text::trim(*list).empty()) return {};
    static const std::regex output(R"(\s+(OUTPUT|OUT)\b)", std::regex::icase);
    const auto statements = parseBatch("DECLARE " + std::regex_replace(*list, output, ""));
    std::vector<std::string> names;
    for (const auto& v : std::get<ast::Declare>(statements.at(0).statement).variables) {
        s.variable(v.name) = Scalar{v.type, std::nullopt};
        names.push_back(v.name);
    }
    return names;
}

// Gives the declared parameters their values, by name or else by position; a parameter cuts a
// too-long value silently, as the server does.
void assign(SessionState& s, const std::vector<std::string>& names,
            const std::vector<Parameter>& values) {
    for (std::size_t k = 0; k < values.size(); ++k) {
        const std::string& name =
            values[k].name.empty() && k < names.size() ? names[k] : values[k].name;
        const bool known = std::any_of(names.begin(), names.end(), [&](const std::string& n) {
            return text::equalNoCase(n, name);
        });
        if (!known)
            throw SqlError(makeMessage(
                8145, 16, name + " is not a parameter for procedure sp_executesql.", 1));
        Scalar& slot = s.variable(name);
        slot.value = types::convert(values[k].value, values[k].type, slot.type, true);
    }
}

// Runs a parameterised statement; its statements end in DONEINPROC.
std::vector<StatementReply> runParameterised(SessionState& s, const SessionState::Prepared& p,
                                             const std::vector<Parameter>& values) {
    s.variables.clear();
    std::vector<StatementReply> replies;
    try {
        const std::vector<std::string> names = declareParameters(s, p.parameters);
        assign(s, names, values);
        replies = runBatch(s, p.statement, names);
    } catch (const SqlError& e) {
        StatementReply failed;
        failed.error = true;
        failed.events.assign(e.messages.begin(), e.messages.end());
        replies = {failed};
    }
    for (StatementReply& r : replies) r.inProcedure = !r.procedure;
    return replies;
}

std::vector<Parameter> from(const std::vector<Parameter>& parameters, std::size_t first) {
    return first < parameters.size()
               ? std::vector<Parameter>(parameters.begin() + static_cast<long>(first),
                                        parameters.end())
               : std::vector<Parameter>{};
}

const Parameter& parameter(const std::string& procedure, const std::vector<Parameter>& parameters,
                           std::size_t i, const char* name) {
    if (i >= parameters.size())
        throw SqlError(makeMessage(201, 16,
                                   "Procedure or function '" + procedure + "' expects parameter '" +
                                       name + "', which was not supplied.",
                                   4));
    return parameters[i];
}

long long handleOf(const Parameter& p) {
    const auto h = integerOf(Scalar{p.type, p.value});
    return h.value_or(0);
}

// The call's own DONEPROC: return status, output parameters, and the error bit of what it ran.
void finish(std::vector<StatementReply>& replies, const std::vector<ReturnValue>& outputs) {
    StatementReply done;
    done.procedure = true;
    done.error = std::any_of(replies.begin(), replies.end(), [](const auto& r) { return r.error; });
    done.events.emplace_back(ReturnStatus{done.error ? 1 : 0});
    for (const ReturnValue& v : outputs) done.events.emplace_back(v);
    replies.push_back(std::move(done));
}

ReturnValue handleValue(const std::vector<Parameter>& parameters, long long handle) {
    return ReturnValue{0, parameters.front().name, kHandle, std::to_string(handle)};
}

std::vector<StatementReply> prepared(SessionState& s, const std::string& procedure,
                                     const std::vector<Parameter>& parameters) {
    std::vector<StatementReply> replies;
    std::vector<ReturnValue> outputs;
    if (procedure == "sp_executesql") {
        const SessionState::Prepared p{
            parameters.size() > 1 ? parameters[1].value : std::nullopt,
            parameter(procedure, parameters, 0, "@statement").value.value_or("")};
        replies = runParameterised(s, p, from(parameters, 2));
    } else if (procedure == "sp_prepare" || procedure == "sp_prepexec") {
        parameter(procedure, parameters, 0, "@handle");
        const long long handle = s.nextPrepared++;
        s.prepared[handle] = {parameter(procedure, parameters, 1, "@params").value,
                              parameter(procedure, parameters, 2, "@stmt").value.value_or("")};
        if (procedure == "sp_prepexec")
            replies = runParameterised(s, s.prepared[handle], from(parameters, 3));
        outputs.push_back(handleValue(parameters, handle));
    } else if (procedure == "sp_execute") {
        const long long handle = handleOf(parameter(procedure, parameters, 0, "@handle"));
        const auto found = s.prepared.find(handle);
        if (found == s.prepared.end()) throw SqlError(msg::handleMissing(handle));
        replies = runParameterised(s, found->second, from(parameters, 1));
    } else {  // sp_unprepare
        if (!s.prepared.erase(handleOf(parameter(procedure, parameters, 0, "@handle"))))
            throw SqlError(makeMessage(8179, 16,
                                       "Could not find prepared statement with handle " +
                                           std::to_string(handleOf(parameters[0])) + ".",
                                       4));
    }
    finish(replies, outputs);
    return replies;
}

// Any other procedure runs as EXEC with the parameters' values as its arguments.
std::vector<StatementReply> byName(SessionState& s, const std::string& procedure,
                                   const std::vector<Parameter>& parameters) {
    ast::Exec exec;
    exec.procedure = procedure;
    for (const Parameter& p : parameters) {
        ast::Exec::Argument a;
        a.value.terms.push_back(p.value ? ast::Term{ast::Term::NString, *p.value, 0} : ast::Term{});
        exec.arguments.push_back(std::move(a));
    }
    Database::Hold hold(*s.database, &s);
    s.joinTransaction();
    return {runExec(s, exec)};
}

}  // namespace

std::vector<StatementReply> runRemoteCall(SessionState& s, const std::string& procedure,
                                          const std::vector<Parameter>& parameters) {
    static const char* const parameterised[] = {"sp_executesql", "sp_prepare", "sp_prepexec",
                                                "sp_execute", "sp_unprepare"};
    try {
        for (const char* name : parameterised)
            if (text::equalNoCase(procedure, name)) return prepared(s, name, parameters);
        return byName(s, procedure, parameters);
    } catch (const SqlError& e) {
        StatementReply failed;
        failed.error = true;
        failed.procedure = true;
        failed.events.assign(e.messages.begin(), e.messages.end());
        return {failed};
    }
}

}  // namespace standin
