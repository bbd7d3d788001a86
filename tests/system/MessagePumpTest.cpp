#include <gtest/gtest.h>

#include <windows.h>

#include "TestSupport.h"
#include "system/MessagePump.h"

namespace {

// Puts the plain pump back however a test ends, so one test's handler cannot leak into the
// next.
class MessagePump : public ::testing::Test {
protected:
    void TearDown() override { sys::SetMessageHandler(nullptr); }
};

TEST_F(MessagePump, DispatchesEveryWaitingMessage) {
    systest::TMessageSink sink;
    sink.Post();
    sink.Post();
    sink.Post();
    sys::ProcessMessages();
    EXPECT_EQ(sink.Received(), 3);
    MSG left;
    EXPECT_FALSE(PeekMessageA(&left, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(MessagePump, ReturnsAtOnceWhenNothingWaits) {
    systest::TMessageSink sink;
    sys::ProcessMessages();
    EXPECT_EQ(sink.Received(), 0);
}

TEST_F(MessagePump, KeepsQuitRequestForTheMainLoop) {
    systest::TMessageSink sink;
    sink.Post();
    PostQuitMessage(7);
    sys::ProcessMessages();
    EXPECT_EQ(sink.Received(), 1);
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(quit.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(quit.wParam, 7u);
}

TEST_F(MessagePump, InstalledHandlerTakesOver) {
    systest::TMessageSink sink;
    int calls = 0;
    EXPECT_FALSE(sys::SetMessageHandler([&calls] { ++calls; }));
    sink.Post();
    sys::ProcessMessages();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sink.Received(), 0);

    const sys::TMessageHandler replaced = sys::SetMessageHandler(nullptr);
    ASSERT_TRUE(replaced);
    replaced();
    EXPECT_EQ(calls, 2);
    sys::ProcessMessages();
    EXPECT_EQ(sink.Received(), 1);
}

TEST_F(MessagePump, HandlerMayReplaceItselfWhileRunning) {
    int first = 0;
    int second = 0;
    sys::SetMessageHandler([&] {
        ++first;
        sys::SetMessageHandler([&second] { ++second; });
    });
    sys::ProcessMessages();
    sys::ProcessMessages();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
}

} // namespace
