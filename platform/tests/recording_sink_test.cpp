#include "platform/recording_sink.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace velix::platform {
namespace {

TEST(RecordingSinkTest, QueuedAnswersComeFirstThenTheDefault) {
  RecordingSink sink;
  sink.QueueAnswer(Answer::kNo);
  sink.QueueAnswer(Answer::kRetry);
  EXPECT_EQ(sink.MessageBox("first", Icon::kStop, Buttons::kYesNo, Answer::kYes), Answer::kNo);
  EXPECT_EQ(sink.MessageBox("second", Icon::kStop, Buttons::kRetryCancel, Answer::kCancel),
            Answer::kRetry);
  EXPECT_EQ(sink.MessageBox("third", Icon::kQuestion, Buttons::kYesNo, Answer::kNo), Answer::kNo);
  sink.Show("done", Icon::kInformation);

  const auto messages = sink.Messages();
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[1].text, "second");
  EXPECT_EQ(messages[1].buttons, Buttons::kRetryCancel);
  EXPECT_EQ(messages[3].icon, Icon::kInformation);
  EXPECT_EQ(messages[3].buttons, Buttons::kOk);
}

TEST(RecordingSinkTest, ClearForgetsEverythingIncludingQueuedAnswers) {
  RecordingSink sink;
  sink.QueueAnswer(Answer::kNo);
  sink.Progress(10, 5000);
  sink.StatusText("Sampling data now!!!", 0x7F0FFF);
  sink.StatusRefresh();
  sink.Clear();
  EXPECT_TRUE(sink.ProgressPosts().empty());
  EXPECT_TRUE(sink.StatusTexts().empty());
  EXPECT_EQ(sink.StatusRefreshes(), 0);
  EXPECT_EQ(sink.MessageBox("q", Icon::kNone, Buttons::kYesNo, Answer::kYes), Answer::kYes);
}

TEST(RecordingSinkTest, PostsFromAWorkerAndTheUiThreadAreAllKept) {
  RecordingSink sink;
  constexpr uint32_t kPosts = 300;
  std::thread worker([&sink] {
    for (uint32_t i = 0; i < kPosts; ++i) sink.Progress(13, i);
  });
  for (uint32_t i = 0; i < kPosts; ++i) sink.StatusText("now Analysis...", 0x534D94);
  worker.join();
  const auto posts = sink.ProgressPosts();
  ASSERT_EQ(posts.size(), kPosts);
  for (uint32_t i = 0; i < kPosts; ++i) EXPECT_EQ(posts[i].value, i);
  EXPECT_EQ(sink.StatusTexts().size(), kPosts);
}

}  // namespace
}  // namespace velix::platform
