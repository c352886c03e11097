#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostsim/model/CallLog.h"

namespace hostsim {
namespace {

// Records keep each argument whole (empty ones, commas and parentheses included) and in order,
// and each note with its own call, however many calls the log holds, and read back the same
// after a clear.
TEST(CallLogTest, RecordsReadBackWholeAndInOrder) {
    const std::vector<CallRecord> calls = {
        {"UnselectAllObjects", {}, ""},
        {"IsPoint", {"\"8A1C3E52-0F5D-4B6E-9A77-2C1D0E9F4B31\""}, ""},
        {"Command", {"\"\"", "Int32 0"}, "why"},
        {"AddLine", {"Array[0:3]{Double 1; Double 2; Double 0}", "\"a, b (c)\""}, ""},
        {"", {""}, ""},
    };
    CallLog log;
    for (int round = 0; round < 2; ++round) {
        for (int repeat = 0; repeat < 1000; ++repeat) {
            for (const CallRecord& call : calls) {
                log.Add(call);
            }
        }
        ASSERT_EQ(log.Size(), 5000u);
        for (std::size_t i = 0; i < log.Size(); i += 997) {
            const CallRecord record = log.Record(i);
            EXPECT_EQ(record.operation, calls[i % 5].operation) << i;
            EXPECT_EQ(record.arguments, calls[i % 5].arguments) << i;
            EXPECT_EQ(record.note, calls[i % 5].note) << i;
        }
        EXPECT_EQ(log.Records().back().arguments, std::vector<std::string>{""});
        EXPECT_EQ(log.CountOf("ispoint"), 1000u);
        EXPECT_EQ(log.CountOf("IsPoin"), 0u);
        EXPECT_EQ(log.Line(0), "UnselectAllObjects()");
        EXPECT_EQ(log.Line(3), "AddLine(Array[0:3]{Double 1; Double 2; Double 0}, \"a, b (c)\")");
        const std::string start =
            "UnselectAllObjects()\nIsPoint(\"8A1C3E52-0F5D-4B6E-9A77-2C1D0E9F4B31\")\nCommand(\"\", Int32 0) # why\n";
        EXPECT_EQ(log.Text().substr(0, start.size()), start);
        log.Clear();
        EXPECT_EQ(log.Size(), 0u);
        EXPECT_EQ(log.Text(), "");
    }
}

}  // namespace
}  // namespace hostsim
