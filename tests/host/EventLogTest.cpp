#include "host/EventLog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeDispatcher.h"
#include "common/HostError.h"
#include "host/LoggingDispatcher.h"

namespace {

using common::HostValue;

class MemorySink : public host::LogSink {
  public:
    void WriteLine(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

// The log's line format: time since the log began, each call through the logging dispatcher
// with its arguments, its answer or error and its duration; a long text keeps its first and
// last 100 characters and its length, and so does a long array; line ends never split a line.
TEST(EventLogTest, LinesPinTheFormat) {
    MemorySink sink;
    std::uint64_t now = 1000;
    host::EventLog log(sink, [&] { return now += 5; });
    testing_support::FakeDispatcher fake;
    fake.Default("IsPoint", HostValue::Bool(true));
    fake.RaiseOn("DeleteObject", 1, "Injected failure");
    host::LoggingDispatcher dispatcher(fake, log);

    EXPECT_EQ(dispatcher.Call("IsPoint", {HostValue::String("A")}), HostValue::Bool(true));
    const std::string text = "-_InterpCrv " + std::string(100, 'a') + std::string(100, 'b') + "z _Enter";
    (void)dispatcher.Call("Command", {HostValue::String(text), HostValue::Int32(0)});
    EXPECT_THROW(dispatcher.Call("DeleteObject", {HostValue::String("B")}), common::HostError);
    fake.Default("AllObjects", HostValue::Array(std::vector<HostValue>(40, HostValue::String("ABCDEFGH"))));
    (void)dispatcher.Call("AllObjects", {});
    log.Write("start-up: shown: two\nlines");

    ASSERT_EQ(sink.lines.size(), 5u);
    EXPECT_EQ(sink.lines[0], "15 ms  call IsPoint(S:\"A\") -> Bool:true (5 ms)");
    EXPECT_EQ(sink.lines[1], "30 ms  call Command(S:\"-_InterpCrv " + std::string(88, 'a') + "..." +
                                 std::string(92, 'b') + "z _Enter\" (220 characters), I4:0) -> Empty (5 ms)");
    EXPECT_EQ(sink.lines[2], "45 ms  call DeleteObject(S:\"B\") -> error Injected failure (5 ms)");
    EXPECT_EQ(
        sink.lines[3],
        R"(60 ms  call AllObjects() -> A(S:"ABCDEFGH",S:"ABCDEFGH",S:"ABCDEFGH",S:"ABCDEFGH",S:"ABCDEFGH",S:"ABCDEFGH",S:"ABCDEFGH",S:"ABCD...BCDEFGH",S:"ABCDEFGH",S:"ABCDEFGH",S:"ABCDEFGH",S:"ABCDEFGH",S:"ABCDEFGH",S:"ABCDEFGH",S:"ABCDEFGH") (522 characters) (5 ms))");
    EXPECT_EQ(sink.lines[4], "65 ms  start-up: shown: two lines");
}

}  // namespace
