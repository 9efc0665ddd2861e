// The output of `convert -o -`: a file reaches the descriptor whole when the writer finishes, or
// not at all when it is refused or the descriptor fails.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <thread>

#include "engine/StreamOutputTarget.h"
#include "platform/Messages.h"
#include "platform/ScriptedPlatform.h"

namespace s2t {
namespace {

// A pipe whose read end is drained after the writer is done.
struct Pipe {
    Pipe() { EXPECT_EQ(::pipe2(ends, O_CLOEXEC), 0); }
    ~Pipe() {
        for (int end : ends)
            if (end >= 0) ::close(end);
    }
    std::string drain() {
        ::close(ends[1]);
        ends[1] = -1;
        std::string bytes;
        char block[4096];
        for (ssize_t got; (got = ::read(ends[0], block, sizeof block)) > 0;)
            bytes.append(block, static_cast<std::size_t>(got));
        return bytes;
    }
    int ends[2] = {-1, -1};
};

TEST(StreamOutputTarget, AFinishedFileArrivesWholeAndARefusedOneNotAtAll) {
    ScriptedPlatform platform;
    Pipe pipe;
    StreamOutputTarget target(pipe.ends[1], "standard output", platform, nullptr);
    ASSERT_TRUE(target.open("ignored", "txt", "Couldn't open %s"));
    std::string block = "second ";
    target.file().write("first ");
    target.file().writeTaking(block);
    EXPECT_TRUE(block.empty());
    EXPECT_TRUE(target.finish("Couldn't write %s"));

    ASSERT_TRUE(target.open("ignored", "txt", "Couldn't open %s"));
    target.file().write("never sent");
    target.refuse("Couldn't write %s: not finite");

    ASSERT_TRUE(target.open("ignored", "txt", "Couldn't open %s"));
    std::string taken = "third";
    target.file().writeTaking(taken);
    EXPECT_TRUE(target.finish("Couldn't write %s"));

    EXPECT_EQ(pipe.drain(), "first second third");
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0].title, messages::kFileError);
    EXPECT_EQ(platform.messages()[0].text, "Couldn't write standard output: not finite");
}

TEST(StreamOutputTarget, ADescriptorThatFailsIsReported) {
    ScriptedPlatform platform;
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    StreamOutputTarget target(full, "standard output", platform, nullptr);
    ASSERT_TRUE(target.open("ignored", "txt", "Couldn't open %s"));
    target.file().write("bytes");
    EXPECT_FALSE(target.finish("Couldn't write %s"));
    ::close(full);
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0].text, "Couldn't write standard output");

    std::string many(1 << 20, 'x');  // more than a pipe holds: written in pieces
    Pipe pipe;
    ::fcntl(pipe.ends[1], F_SETPIPE_SZ, 4096);
    std::string received;
    {
        StreamOutputTarget big(pipe.ends[1], "standard output", platform, nullptr);
        ASSERT_TRUE(big.open("", "", ""));
        big.file().write(many);
        // A reader on another thread empties the pipe while the target writes.
        std::thread reader([&] {
            char chunk[8192];
            for (ssize_t got; (got = ::read(pipe.ends[0], chunk, sizeof chunk)) > 0;)
                received.append(chunk, static_cast<std::size_t>(got));
        });
        EXPECT_TRUE(big.finish("%s"));
        ::close(pipe.ends[1]);
        pipe.ends[1] = -1;
        reader.join();
    }
    EXPECT_EQ(received.size(), many.size());
}

}  // namespace
}  // namespace s2t
