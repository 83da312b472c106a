// The text form of the explanation (see explain_format.h).
#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "app/explain_format.h"
#include "app/explain_names.h"

namespace {

using volocations::BaseDirStep;
using volocations::LayoutStep;
using volocations::ProbeStep;
using volocations::RelocationTrace;

// A longer value is left out of the value column's width and moves only the last
// column of its own line, so that one deep path does not push every other line's
// source far to the right.
constexpr std::size_t kValueColumnLimit = 48;

struct Row {
    std::string kind;
    std::string subject;
    std::string value;
    std::string how;  // empty: the value ends the line
};

// A UTF-8 sequence that a reader may take for a line break, or a terminal act on.
struct BreakingSequence {
    std::size_t length;  // 0: none at this position
    unsigned codePoint;
};

// U+0080-U+009F (the C1 controls, NEL and CSI among them), U+2028 LINE SEPARATOR and
// U+2029 PARAGRAPH SEPARATOR, when they start at `at`. Other sequences, and bytes that
// are not UTF-8, are not recognised.
BreakingSequence breakingSequenceAt(const std::string& text, std::size_t at) {
    const auto byte = [&text](std::size_t i) -> unsigned {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
    };
    if (byte(at) == 0xc2 && byte(at + 1) >= 0x80 && byte(at + 1) <= 0x9f) return {2, byte(at + 1)};
    if (byte(at) == 0xe2 && byte(at + 1) == 0x80 && (byte(at + 2) == 0xa8 || byte(at + 2) == 0xa9))
        return {3, 0x2000 + (byte(at + 2) & 0x3f)};
    return {0, 0};
}

// C escapes for a backslash and each control byte; inside quotes also for a quotation
// mark; \uHHHH for a breaking sequence. Other bytes from 0x80 up are kept, so UTF-8
// stays readable.
void appendVisible(const std::string& text, bool inQuotes, std::string& out) {
    static const char kHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (const BreakingSequence breaking = breakingSequenceAt(text, i); breaking.length) {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHex[(breaking.codePoint >> shift) & 0xf];
            i += breaking.length - 1;
        } else if (c == '\\' || (inQuotes && c == '"')) {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 0x20 || byte == 0x7f) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xf];
        } else {
            out += c;
        }
    }
}

std::string visible(const std::string& text) {
    std::string out;
    appendVisible(text, false, out);
    return out;
}

std::string visiblePath(const std::string& path) {
    return path.empty() ? "\"\"" : visible(path);
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    appendVisible(text, true, out);
    return out + '"';
}

void addRelocationRows(const RelocationTrace& relocation, std::vector<Row>& rows) {
    const std::string kind = "relocation";
    const std::string message = visible(relocation.loaderMessage);
    rows.push_back({kind, vosysq::kRelocationLibrary,
                    relocation.libraryLoaded ? "loaded" : "not loaded: " + message, ""});
    std::string entryPoint = "not looked for";
    if (relocation.libraryLoaded) {
        entryPoint = relocation.entryPointFound ? "found" : "not found: " + message;
    }
    rows.push_back({kind, vosysq::kRelocationEntryPoint, entryPoint, ""});
    const std::string code = "code " + std::to_string(relocation.tableCode);
    const std::string consequence = code + "): every standard directory query fails";
    if (!relocation.failedName.empty()) {
        rows.push_back({kind, visible(relocation.failedName),
                        std::string(relocationFailure(relocation).words) + " (answer " +
                            std::to_string(relocation.failedAnswer) + ", " + consequence,
                        ""});
    } else if (relocation.tableCode < 0) {
        rows.push_back({kind, "table", "not built (" + consequence, ""});
    }
}

// " (code C, errno E, message)" with the parts that are known.
std::string errorDetail(const vosysq::SharedDirOrigin& origin) {
    std::string detail;
    const auto add = [&detail](const std::string& part) {
        detail += (detail.empty() ? " (" : ", ") + part;
    };
    if (origin.code != 0) add("code " + std::to_string(origin.code));
    if (origin.error != 0) add("errno " + std::to_string(origin.error));
    if (!origin.errorText.empty()) add(visible(origin.errorText));
    return detail.empty() ? detail : detail + ")";
}

std::string sharedDirHow(const vosysq::SharedDirOrigin& origin) {
    const std::string file = visible(origin.pointerFile);
    switch (origin.source) {
        case vosysq::SharedDirSource::pointerFile:
            return "read from " + file + ": " + quoted(origin.content);
        case vosysq::SharedDirSource::emptyPointerFile:
            return "read from " + file + ": " + quoted(origin.content) + ", empty once trimmed";
        case vosysq::SharedDirSource::pointerFileNotFound:
        case vosysq::SharedDirSource::pointerFileUnreadable:
            break;
    }
    return "default: " + file + " " + sharedDirSourceName(origin.source).words +
           errorDetail(origin);
}

std::string queryHow(const BaseDirStep& step) {
    if (step.fellBack) {
        std::string failure = step.code != 0 ? "code " + std::to_string(step.code) : "";
        if (!step.detail.empty()) failure += (failure.empty() ? "" : " ") + visible(step.detail);
        if (failure.empty()) failure = "an exception";
        return "fallback after " + failure + ", logged " + quoted(step.warning);
    }
    if (step.dir == volocations::BaseDir::makerShared) return sharedDirHow(step.sharedDir);
    return stdDirSourceName(step.stdDirSource).words;
}

Row rowOf(const volocations::TraceStep& step) {
    if (const auto* query = std::get_if<BaseDirStep>(&step)) {
        return {"query", volocations::baseDirName(query->dir), visiblePath(query->path),
                queryHow(*query)};
    }
    if (const auto* probe = std::get_if<ProbeStep>(&step)) {
        return {"probe", probeName(probe->probe).words, visiblePath(probe->path),
                fileTypeName(probe->type).words};
    }
    const auto& layout = std::get<LayoutStep>(step);
    return {"layout", layout.standard ? "standard" : "legacy", layoutReason(layout).words, ""};
}

// Columns as a terminal shows them: a UTF-8 continuation byte takes no column.
std::size_t columns(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xc0) != 0x80;
    }));
}

void appendPadded(const std::string& text, std::size_t width, std::string& out) {
    out += text;
    out.append(width - std::min(width, columns(text)) + 2, ' ');
}

void appendRows(const std::vector<Row>& rows, std::string& out) {
    std::size_t kindWidth = 0;
    std::size_t subjectWidth = 0;
    std::size_t valueWidth = 0;
    for (const Row& row : rows) {
        kindWidth = std::max(kindWidth, columns(row.kind));
        subjectWidth = std::max(subjectWidth, columns(row.subject));
        const std::size_t width = columns(row.value);
        if (!row.how.empty() && width <= kValueColumnLimit)
            valueWidth = std::max(valueWidth, width);
    }
    for (const Row& row : rows) {
        appendPadded(row.kind, kindWidth, out);
        appendPadded(row.subject, subjectWidth, out);
        if (row.how.empty()) {
            out += row.value;
        } else {
            appendPadded(row.value, valueWidth, out);
            out += row.how;
        }
        out += '\n';
    }
}

}  // namespace

void formatTextExplanation(const volocations::LocationTrace& trace, std::string& out) {
    std::vector<Row> rows;
    addRelocationRows(trace.relocation, rows);
    for (const volocations::TraceStep& step : trace.steps) rows.push_back(rowOf(step));
    appendRows(rows, out);
    out += '\n';
}
