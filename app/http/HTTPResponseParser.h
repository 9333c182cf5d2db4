#pragma once

// Reads an HTTP/1.x response as its bytes arrive: the status line, the headers, and a
// body that is chunked, sized by its content length, or delimited by the end of the
// connection. Bytes may come in pieces of any size; the outcome depends only on the
// bytes, not on how they were split. Used by HTTPTransfer on its worker thread.
//
// Only a status of "200" is a success: "404" ends the response with result 3, any other
// status (or a status line too short to hold one) with result 4. A chunk-size line that
// is not a bounded hexadecimal number, or a chunk of size 0, ends the body there.

#include <cstddef>
#include <string>

namespace Velm {

class HTTPResponseParser {
public:
    // Longest header line accepted; a longer one ends the response with result 4.
    static const size_t kMaxHeaderLine = 65536;

    // Takes the next received bytes. Returns true while more are wanted; false once the
    // response is over (the caller stops reading).
    bool Feed(const char* data, size_t size);

    bool IsFinished() const { return mFinished; }
    // 0 while nothing failed, else the transfer result (3 or 4).
    int GetFailure() const { return mFailure; }
    bool HeadersDone() const { return mHeaderDone; }
    bool IsChunked() const { return mChunked; }
    // The value of the "Content-Length" header, 0 when there was none.
    int GetContentLength() const { return mContentLength; }
    const std::string& GetContent() const { return mContent; }

    // A chunk size: hexadecimal digits only after blanks are trimmed, at most 2^31-1.
    static bool ParseChunkSize(const std::string& line, long* size);

private:
    bool ParseLine(std::string* line);
    void HandleHeaderLine(const std::string& line);
    void Step();

    std::string mBuffer;  // received and not yet consumed
    std::string mContent;
    bool mFinished = false;
    int mFailure = 0;
    bool mHeaderDone = false;
    bool mChunked = false;
    int mContentLength = 0;
    long mRemainingLength = 0;  // plain body with a length: bytes still expected
    long mChunkRemaining = 0;   // bytes of the current chunk still expected
    bool mInChunk = false;
    size_t mSkip = 0;  // bytes of a chunk's closing "\r\n" still to drop
};

}  // namespace Velm
