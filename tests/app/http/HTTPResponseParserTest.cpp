#include <gtest/gtest.h>

#include <string>

#include "app/http/HTTPResponseParser.h"

namespace {

struct Outcome {
    bool finished;
    int failure;
    int contentLength;
    std::string content;
};

Outcome Parse(const std::string& bytes, size_t split) {
    Velm::HTTPResponseParser parser;
    if (parser.Feed(bytes.data(), split)) parser.Feed(bytes.data() + split, bytes.size() - split);
    return {parser.IsFinished(), parser.GetFailure(), parser.GetContentLength(), parser.GetContent()};
}

struct ResponseCase {
    const char* why;
    std::string bytes;
    bool finished;
    int failure;
    const char* content;
};

// clang-format off
const ResponseCase kResponses[] = {
        {"content length", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhelloEXTRA", true, 0, "hello"},
        {"lower-case header name", "HTTP/1.1 200 OK\r\ncontent-length: 2\r\n\r\nhi!", true, 0, "hi"},
        {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n", true, 0,
         "hello world"},
        {"chunked, upper-case name and hex size",
         "HTTP/1.1 200 OK\r\nTRANSFER-ENCODING: chunked\r\n\r\n A \r\n0123456789\r\n0\r\n\r\n", true, 0, "0123456789"},
        {"other coding is taken for chunks", "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\n3\r\nabc\r\n0\r\n", true,
         0, "abc"},
        {"identity coding is plain", "HTTP/1.1 200 OK\r\nTransfer-Encoding: identity\r\n\r\n3\r\nabc", false, 0,
         "3\r\nabc"},
        {"chunk size past 2^31-1 ends the body", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n80000000\r\nxyz",
         true, 0, "ab"},
        {"huge chunk size ends the body",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFFF\r\nxyz", true, 0, ""},
        {"chunk size that is no number", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n-1\r\nxyz", true, 0, ""},
        {"close delimited", "HTTP/1.0 200 OK\r\nServer: test\r\n\r\nuntil the end", false, 0, "until the end"},
        {"not found", "HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nabc", true, 3, ""},
        {"moved", "HTTP/1.1 301 Moved Permanently\r\nLocation: /x\r\n\r\n", true, 4, ""},
        {"short status line", "HTTP/1.1 20\r\n\r\nbody", true, 4, ""},
        {"headers never end", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n", false, 0, ""},
        {"content length bigger than the body", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc", false, 0, "abc"},
        {"content length past 2^31-1 is ignored", "HTTP/1.1 200 OK\r\nContent-Length: 99999999999\r\n\r\nabc", false, 0,
         "abc"},
};
// clang-format on

TEST(HTTPResponseParserTest, SameOutcomeForEverySplit) {
    for (const ResponseCase& c : kResponses) {
        SCOPED_TRACE(c.why);
        const Outcome whole = Parse(c.bytes, c.bytes.size());
        EXPECT_EQ(whole.finished, c.finished);
        EXPECT_EQ(whole.failure, c.failure);
        EXPECT_EQ(whole.content, c.content);
        for (size_t split = 0; split <= c.bytes.size(); ++split) {
            const Outcome part = Parse(c.bytes, split);
            ASSERT_EQ(part.finished, whole.finished) << "split at " << split;
            ASSERT_EQ(part.failure, whole.failure) << "split at " << split;
            ASSERT_EQ(part.contentLength, whole.contentLength) << "split at " << split;
            ASSERT_EQ(part.content, whole.content) << "split at " << split;
        }
    }
}

TEST(HTTPResponseParserTest, ByteByByteEqualsWhole) {
    for (const ResponseCase& c : kResponses) {
        SCOPED_TRACE(c.why);
        Velm::HTTPResponseParser parser;
        for (char byte : c.bytes) {
            if (!parser.Feed(&byte, 1)) break;
        }
        EXPECT_EQ(parser.GetContent(), c.content);
        EXPECT_EQ(parser.GetFailure(), c.failure);
    }
}

TEST(HTTPResponseParserTest, ChunkSizeIsBoundedHex) {
    struct Case {
        const char* text;
        bool ok;
        long size;
    };
    const Case kCases[] = {
            {"ff", true, 255},      {" A\t", true, 10},      {"7fffffff", true, 2147483647L},
            {"80000000", false, 0}, {"fffffffff", false, 0}, {"-1", false, 0},
            {"", false, 0},         {"1;name=v", false, 0},  {"0x10", false, 0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.text);
        long size = -5;
        EXPECT_EQ(Velm::HTTPResponseParser::ParseChunkSize(c.text, &size), c.ok);
        if (c.ok) {
            EXPECT_EQ(size, c.size);
        }
    }
}

TEST(HTTPResponseParserTest, EndlessHeaderLineFails) {
    Velm::HTTPResponseParser parser;
    const std::string junk(Velm::HTTPResponseParser::kMaxHeaderLine + 10, 'x');
    EXPECT_FALSE(parser.Feed(junk.data(), junk.size()));
    EXPECT_EQ(parser.GetFailure(), 4);
}

}  // namespace
