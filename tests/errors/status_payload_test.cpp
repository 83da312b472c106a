// The payload readers' documented results, one row each; string reads poison first.
#include "errors/status_payload.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const char kPayload[] =
    R"({"file":"x\\y","line":224,"big":2147483648,"quoted":"ab\"cd",)"
    R"("internal_error":{"api":"errno","code":-21,"string":"a \"b\"\\c\u00e9"},)"
    R"("vosysq_debug":{"desc":"nul \u0000 inside"}})";

enum class Read { string, integer, first, last };

struct Row {
    Read read;
    const char* payload;
    const char* object;
    const char* name;
    const char* expected;  // integers as text; null: a string read wrote nothing
    size_t maxRaw = 0;     // for the cuts
};

std::string readRow(const Row& r) {
    if (r.read == Read::integer) return std::to_string(payloadInt(r.payload, r.object, r.name, 7));
    std::vector<char> out(32, 'P');
    if (r.read != Read::string) {
        const PayloadCut cut = r.read == Read::first ? PayloadCut::keepFirst : PayloadCut::keepLast;
        payloadStringCut(r.payload, r.object, r.name, r.maxRaw, cut, out.data());
        return out.data();
    }
    const size_t size = payloadString(r.payload, r.object, r.name, nullptr, 0);
    const size_t tooSmall = size == 0 ? out.size() : size - 1;
    EXPECT_EQ(payloadString(r.payload, r.object, r.name, out.data(), tooSmall), size);
    EXPECT_EQ(out, std::vector<char>(32, 'P')) << "written with " << tooSmall << " bytes";
    if (size == 0) return "<untouched>";
    EXPECT_EQ(payloadString(r.payload, r.object, r.name, out.data(), size), size);
    EXPECT_EQ(std::strlen(out.data()) + 1, size) << "the size is the decoded length + 1";
    return out.data();
}

TEST(StatusPayload, ReadsMembersOrGivesTheDocumentedResult) {
    const Row rows[] = {
        {Read::string, kPayload, "internal_error", "string", "a \"b\"\\c\xc3\xa9"},
        {Read::string, kPayload, nullptr, "quoted", "ab\"cd"},
        {Read::string, kPayload, "internal_error", "code", nullptr},  // not a string
        {Read::string, kPayload, "internal_error", "missing", nullptr},
        {Read::string, kPayload, "file", "string", nullptr},        // not an object
        {Read::string, kPayload, "vosysq_debug", "desc", nullptr},  // does not decode
        {Read::string, nullptr, nullptr, "file", nullptr},
        {Read::string, kPayload, "internal_error", nullptr, nullptr},
        {Read::integer, kPayload, "internal_error", "code", "-21"},
        {Read::integer, kPayload, nullptr, "line", "224"},
        {Read::integer, kPayload, "internal_error", "api", "7"},  // 7: the fallback
        {Read::integer, kPayload, "internal_error", "missing", "7"},
        {Read::integer, kPayload, nullptr, "big", "7"},  // does not fit
        {Read::integer, nullptr, nullptr, "line", "7"},
        {Read::first, kPayload, nullptr, "quoted", "ab\"", 4},
        {Read::first, kPayload, nullptr, "quoted", "ab", 3},  // ab\ : the escape is cut
        {Read::last, kPayload, nullptr, "file", "y", 2},      // \y : the rest of \\ is dropped
        {Read::last, kPayload, "internal_error", "string", "c\xc3\xa9", 7},
        {Read::first, kPayload, nullptr, "line", "", 8},  // not a string
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("row " + std::to_string(&row - rows));
        EXPECT_EQ(readRow(row), row.expected != nullptr ? row.expected : "<untouched>");
    }
}

}  // namespace
