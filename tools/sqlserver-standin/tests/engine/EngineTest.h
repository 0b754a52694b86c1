// Shared set-up for the engine tests: a catalog with one user database and a session in it.
#pragma once

#include "Engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace standin::test {

inline std::vector<Message> messagesOf(const std::vector<StatementReply>& replies)
{
    std::vector<Message> out;
    for (const auto& r : replies)
        for (const auto& e : r.events)
            if (const auto* m = std::get_if<Message>(&e))
                out.push_back(*m);
    return out;
}

inline std::vector<Message> errorsOf(const std::vector<StatementReply>& replies)
{
    std::vector<Message> out;
    for (const Message& m : messagesOf(replies))
        if (m.severity > 10)
            out.push_back(m);
    return out;
}

inline const ResultSet* resultOf(const StatementReply& reply)
{
    for (const auto& e : reply.events)
        if (const auto* r = std::get_if<ResultSet>(&e))
            return r;
    return nullptr;
}

using Rows = std::vector<std::vector<Value>>;

class EngineTest : public ::testing::Test {
protected:
    Catalog catalog{CatalogOptions{{"Sales"}, ""}};
    Session session{catalog, "Sales"};

    std::vector<StatementReply> run(const std::string& batch) { return session.executeBatch(batch); }

    // Runs a batch that must succeed and returns its one result set's rows.
    Rows query(const std::string& batch)
    {
        const auto replies = run(batch);
        EXPECT_TRUE(errorsOf(replies).empty()) << batch << ": " << errorsOf(replies).front().text;
        for (const auto& r : replies)
            if (const ResultSet* set = resultOf(r))
                return set->rows;
        ADD_FAILURE() << "no result set from " << batch;
        return {};
    }

    // Runs a batch that must succeed.
    void ok(const std::string& batch)
    {
        const auto errors = errorsOf(run(batch));
        EXPECT_TRUE(errors.empty()) << batch << ": " << (errors.empty() ? "" : errors.front().text);
    }

    // Runs a batch that must fail; returns its first error.
    Message fails(const std::string& batch)
    {
        const auto errors = errorsOf(run(batch));
        if (errors.empty()) {
            ADD_FAILURE() << "no error from " << batch;
            return {};
        }
        return errors.front();
    }
};

}  // namespace standin::test
