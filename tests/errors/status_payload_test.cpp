// Reading members back from a payload: strings decoded into a poisoned buffer of the size
// asked for (untouched when it is short or the read fails), integers or the fallback, and
// the best-effort cut of at most N raw bytes from either end.
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
    const char* expected;  // null: a string read left the buffer alone; integers as text
    size_t maxRaw = 0;     // for the cuts
};

std::string readRow(const Row& row) {
    if (row.read == Read::integer) {
        return std::to_string(payloadInt(row.payload, row.object, row.name, 7));
    }
    std::vector<char> out(32, 'P');
    if (row.read != Read::string) {
        const PayloadCut cut =
            row.read == Read::first ? PayloadCut::keepFirst : PayloadCut::keepLast;
        payloadStringCut(row.payload, row.object, row.name, row.maxRaw, cut, out.data());
        return out.data();
    }
    const std::vector<char> poisoned = out;
    const size_t size = payloadString(row.payload, row.object, row.name, nullptr, 0);
    const size_t shortSize = size == 0 ? out.size() : size - 1;
    EXPECT_EQ(payloadString(row.payload, row.object, row.name, out.data(), shortSize), size);
    EXPECT_EQ(out, poisoned) << "written with " << shortSize << " bytes";
    if (size == 0) return "<untouched>";
    EXPECT_EQ(payloadString(row.payload, row.object, row.name, out.data(), size), size);
    EXPECT_EQ(std::strlen(out.data()) + 1, size) << "the size is the decoded length + 1";
    return out.data();
}

TEST(StatusPayload, ReadsMembersOrGivesTheDocumentedResult) {
    const Row rows[] = {
        {Read::string, kPayload, "internal_error", "string", "a \"b\"\\c\xc3\xa9"},
        {Read::string, kPayload, nullptr, "quoted", "ab\"cd"},
        {Read::string, kPayload, "internal_error", "code", nullptr},  // not a string
        {Read::string, kPayload, nullptr, "internal_error", nullptr},
        {Read::string, kPayload, "internal_error", "missing", nullptr},
        {Read::string, kPayload, "file", "string", nullptr},        // not an object
        {Read::string, kPayload, "vosysq_debug", "desc", nullptr},  // does not decode
        {Read::string, nullptr, nullptr, "file", nullptr},
        {Read::string, kPayload, "internal_error", nullptr, nullptr},
        {Read::integer, kPayload, "internal_error", "code", "-21"},
        {Read::integer, kPayload, nullptr, "line", "224"},
        {Read::integer, kPayload, "internal_error", "api", "7"},  // 7: the fallback
        {Read::integer, kPayload, nullptr, "big", "7"},           // does not fit
        {Read::integer, kPayload, "vosysq_debug", "code", "7"},
        {Read::integer, nullptr, nullptr, "line", "7"},
        {Read::first, kPayload, nullptr, "quoted", "ab\"", 4},
        {Read::first, kPayload, nullptr, "quoted", "ab", 3},  // ab\ : the escape is cut
        {Read::last, kPayload, nullptr, "file", "x\\y", 4},
        {Read::last, kPayload, nullptr, "file", "y", 2},  // \y : the rest of \\ is dropped
        {Read::last, kPayload, "internal_error", "string", "c\xc3\xa9", 7},
        {Read::first, kPayload, nullptr, "line", "", 8},  // not a string
        {Read::last, nullptr, nullptr, "file", "", 8},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.object ? row.object : "-") + "." +
                     (row.name ? row.name : "-") + " read " +
                     std::to_string(static_cast<int>(row.read)));
        EXPECT_EQ(readRow(row), row.expected != nullptr ? row.expected : "<untouched>");
    }
    payloadStringCut(kPayload, nullptr, "file", 4, PayloadCut::keepLast, nullptr);  // no crash
}

}  // namespace
