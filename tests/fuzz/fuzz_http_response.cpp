// Any bytes as a server's answer, fed to the HTTP response parser in pieces
// of a size the input chooses, into body buffers of a size it chooses: no
// read or write out of bounds, no loop that stops consuming, and answers
// that agree (a finished body with a length has exactly that length; a
// finished or failed parse stays so).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

// The fuzz targets link only the foundation library, so the parser is built in.
#include "../../standins/vnreader/HttpResponseParser.cpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t piece = size_t(data[0]) + 1;
    const size_t capacity = size_t(data[1]) * 16 + 1;
    const char* input = reinterpret_cast<const char*>(data + 2);
    const size_t length = size - 2;
    HttpResponseParser parser;
    std::vector<char> out(capacity);
    uint64_t body = 0;
    for (size_t at = 0; at < length;) {
        const size_t end = at + piece < length ? at + piece : length;
        size_t used = 0;
        if (parser.GetStage() == HttpResponseParser::Stage::kHead) {
            used = parser.ParseHead(input + at, end - at);
        } else if (parser.GetStage() == HttpResponseParser::Stage::kBody) {
            size_t produced = 0;
            used = parser.ParseBody(input + at, end - at, out.data(), capacity, produced);
            if (produced > capacity) std::abort();
            body += produced;
            // A body parse that takes nothing must have filled the buffer or ended.
            if (used == 0 && produced < capacity && parser.GetStage() == HttpResponseParser::Stage::kBody) std::abort();
        } else {
            break;
        }
        if (used > end - at) std::abort();
        if (used == 0 && parser.GetStage() == HttpResponseParser::Stage::kHead) std::abort();
        at += used;
    }
    const HttpResponseParser::Stage before = parser.GetStage();
    parser.EndOfInput();
    const HttpResponseParser::Stage after = parser.GetStage();
    if ((before == HttpResponseParser::Stage::kDone || before == HttpResponseParser::Stage::kFailed) && after != before)
        std::abort();
    if (after == HttpResponseParser::Stage::kDone && parser.GetContentLength() >= 0 &&
        body != uint64_t(parser.GetContentLength()))
        std::abort();
    if (after == HttpResponseParser::Stage::kFailed && parser.GetError().empty()) std::abort();
    return 0;
}
