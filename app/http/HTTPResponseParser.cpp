#include "app/http/HTTPResponseParser.h"

#include <cctype>
#include <cstring>

namespace Velm {

namespace {

bool EqualsNoCase(const std::string& a, const char* b) {
    const size_t length = std::strlen(b);
    if (a.size() != length) return false;
    for (size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string TrimBlanks(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    return text.substr(begin, end - begin);
}

// A bounded decimal value; false for anything but digits or past 2^31-1.
bool ParseDecimal(const std::string& text, long* value) {
    if (text.empty()) return false;
    long result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        result = result * 10 + (c - '0');
        if (result > 2147483647L) return false;
    }
    *value = result;
    return true;
}

}  // namespace

bool HTTPResponseParser::ParseChunkSize(const std::string& line, long* size) {
    const std::string digits = TrimBlanks(line);
    if (digits.empty()) return false;
    long result = 0;
    for (char c : digits) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        result = result * 16 + digit;
        if (result > 2147483647L) return false;
    }
    *size = result;
    return true;
}

bool HTTPResponseParser::ParseLine(std::string* line) {
    const size_t end = mBuffer.find("\r\n");
    if (end == std::string::npos) {
        if (mBuffer.size() > kMaxHeaderLine) {
            mFailure = 4;
            mFinished = true;
        }
        return false;
    }
    line->assign(mBuffer, 0, end);
    mBuffer.erase(0, end + 2);
    return true;
}

void HTTPResponseParser::HandleHeaderLine(const std::string& line) {
    if (line.empty()) {
        mHeaderDone = true;
        return;
    }
    if (line.compare(0, 7, "HTTP/1.") == 0) {
        // "HTTP/1.1 200 OK": the status is the three characters from index 9.
        const std::string status = line.size() >= 12 ? line.substr(9, 3) : std::string();
        if (status == "404") {
            mFailure = 3;
            mFinished = true;
        } else if (status != "200") {
            mFailure = 4;
            mFinished = true;
        }
        return;
    }
    const size_t colon = line.find(':');
    if (colon == std::string::npos) return;
    const std::string name = line.substr(0, colon);
    const std::string value = TrimBlanks(line.substr(colon + 1));
    if (EqualsNoCase(name, "Transfer-Encoding")) {
        // Anything but the identity coding is taken for chunks.
        if (value != "identity") mChunked = true;
    } else if (EqualsNoCase(name, "Content-Length")) {
        long length = 0;
        if (ParseDecimal(value, &length)) {
            mContentLength = static_cast<int>(length);
            mRemainingLength = length;
        }
    }
}

void HTTPResponseParser::Step() {
    while (!mFinished) {
        if (!mHeaderDone) {
            std::string line;
            if (!ParseLine(&line)) return;
            HandleHeaderLine(line);
            continue;
        }
        if (mChunked) {
            if (mSkip > 0) {
                const size_t n = mSkip < mBuffer.size() ? mSkip : mBuffer.size();
                mBuffer.erase(0, n);
                mSkip -= n;
                if (mSkip > 0) return;
            }
            if (!mInChunk) {
                std::string line;
                if (!ParseLine(&line)) return;
                long size = 0;
                if (!ParseChunkSize(line, &size) || size == 0) {
                    mFinished = true;
                    return;
                }
                mInChunk = true;
                mChunkRemaining = size;
            }
            if (mBuffer.empty()) return;
            const size_t n = static_cast<size_t>(mChunkRemaining) < mBuffer.size()
                                     ? static_cast<size_t>(mChunkRemaining)
                                     : mBuffer.size();
            mContent.append(mBuffer, 0, n);
            mBuffer.erase(0, n);
            mChunkRemaining -= static_cast<long>(n);
            if (mChunkRemaining == 0) {
                mInChunk = false;
                mSkip = 2;
            }
            continue;
        }
        if (mContentLength <= 0) {
            // Delimited by the end of the connection.
            mContent += mBuffer;
            mBuffer.clear();
            return;
        }
        const size_t n = static_cast<size_t>(mRemainingLength) < mBuffer.size() ? static_cast<size_t>(mRemainingLength)
                                                                                : mBuffer.size();
        mContent.append(mBuffer, 0, n);
        mBuffer.erase(0, n);
        mRemainingLength -= static_cast<long>(n);
        if (mRemainingLength == 0) mFinished = true;
        return;
    }
}

bool HTTPResponseParser::Feed(const char* data, size_t size) {
    if (mFinished) return false;
    mBuffer.append(data, size);
    Step();
    return !mFinished;
}

}  // namespace Velm
