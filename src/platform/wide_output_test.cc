#include "platform/wide_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records what each writer received; fails every write once `fail` is set.
struct Recorder {
  std::vector<std::u16string> console_pieces;
  std::string bytes;
  int calls = 0;
  bool fail = false;

  platform::OutputSink Sink(bool console) {
    platform::OutputSink sink;
    sink.console = console;
    sink.write_console = [this](std::u16string_view text) {
      console_pieces.emplace_back(text);
      ++calls;
      return !fail;
    };
    sink.write_bytes = [this](std::string_view text) {
      bytes.append(text);
      ++calls;
      return !fail;
    };
    return sink;
  }
  std::u16string Console() const {
    std::u16string all;
    for (const auto& piece : console_pieces) all += piece;
    return all;
  }
};

// "A", U+00E9, U+1F600 as a pair, a lone high and a lone low surrogate.
const std::u16string kMixed = u"A\u00E9\xD83D\xDE00-\xD800-\xDC00\n";

TEST(WideOutput, RedirectedOutputIsUtf8WithLoneSurrogatesReplaced) {
  Recorder r;
  platform::WideOutput out(r.Sink(false));
  out.Write(kMixed);
  EXPECT_EQ(r.bytes, "") << "nothing is written before a flush";
  EXPECT_TRUE(out.Flush());
  EXPECT_EQ(r.bytes, "A\xC3\xA9\xF0\x9F\x98\x80-\xEF\xBF\xBD-\xEF\xBF\xBD\n");
  EXPECT_TRUE(r.console_pieces.empty());
}

TEST(WideOutput, ConsoleTakesTheUnitsUnchanged) {
  Recorder r;
  platform::WideOutput out(r.Sink(true));
  out.Write(kMixed);
  out.Write(u"tail");
  EXPECT_TRUE(out.Flush());
  EXPECT_EQ(r.Console(), kMixed + u"tail");
  EXPECT_TRUE(r.bytes.empty());
}

TEST(WideOutput, APairSplitAcrossWritesSurvivesTheFlushOfAFullBuffer) {
  Recorder r;
  platform::WideOutput out(r.Sink(false));
  // Far past any buffer size, ending on the first half of a pair.
  out.Write(std::u16string(100'000, u'x') + u"\xD83D");
  out.Write(u"\xDE00");
  EXPECT_TRUE(out.Flush());
  ASSERT_EQ(r.bytes.size(), 100'004u);
  EXPECT_EQ(r.bytes.substr(100'000), "\xF0\x9F\x98\x80");
}

TEST(WideOutput, AFullBufferIsWrittenBeforeAnyFlush) {
  Recorder r;
  platform::WideOutput out(r.Sink(false));
  out.Write(std::u16string(100'000, u'x'));
  EXPECT_EQ(r.bytes.size(), 100'000u);
}

TEST(WideOutput, ConsolePiecesAreBoundedAndNeverCutAPair) {
  Recorder r;
  platform::WideOutput out(r.Sink(true));
  // Pairs placed so that a plain cut at the chunk size would fall inside one.
  std::u16string text(platform::kConsoleChunkUnits - 1, u'a');
  for (int i = 0; i < 5000; ++i) text += u"\xD83D\xDE00";
  out.Write(text);
  EXPECT_TRUE(out.Flush());
  ASSERT_GT(r.console_pieces.size(), 1u);
  for (const auto& piece : r.console_pieces) {
    EXPECT_LE(piece.size(), platform::kConsoleChunkUnits);
    EXPECT_FALSE(piece.back() >= 0xD800 && piece.back() <= 0xDBFF);
  }
  EXPECT_EQ(r.Console(), text);
}

TEST(WideOutput, AFailedWriteIsReportedByEveryLaterFlush) {
  for (const bool console : {false, true}) {
    Recorder r;
    platform::WideOutput out(r.Sink(console));
    out.Write(u"one\n");
    r.fail = true;
    EXPECT_FALSE(out.Flush()) << console;
    r.fail = false;
    out.Write(u"two\n");
    EXPECT_FALSE(out.Flush()) << console;
    EXPECT_EQ(r.calls, 1) << "nothing is written after the failure";
  }
}

TEST(WideOutput, ChunkLengthStepsBackOnlyOverAHighSurrogate) {
  struct Case {
    std::u16string text;
    std::size_t limit, length;
  };
  const Case cases[] = {
      {u"abc", 8, 3},
      {u"abcd", 4, 4},
      {u"abc\xD83D\xDE00", 4, 3},
      {u"abcd\xD83D\xDE00", 4, 4},
      {u"ab\xDE00z", 3, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::ChunkLength(c.text, c.limit), c.length) << c.limit;
  }
}

}  // namespace
