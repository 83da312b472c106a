// The text form of the explanation (see explain_format.h).
#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "app/explain/explain_format.h"
#include "locations/trace_names.h"
#include "text/person_line.h"

namespace {

using volocations::BaseDirStep;
using volocations::LayoutStep;
using volocations::PointerFileRead;
using volocations::ProbeStep;
using volocations::RelocationTrace;
using volocations::Source;

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

// Escapes `text` as a line for a person, a backslash and each byte of `backslashed`
// written with a backslash before them, so that the escapes read back unambiguously.
void appendVisible(const std::string& text, const char* backslashed, std::string& out) {
    const std::size_t at = out.size();
    out.resize(at + person_line_escape(text.data(), text.size(), backslashed, nullptr));
    person_line_escape(text.data(), text.size(), backslashed, &out[at]);
}

std::string visible(const std::string& text) {
    std::string out;
    appendVisible(text, "\\", out);
    return out;
}

std::string visiblePath(const std::string& path) {
    return path.empty() ? "\"\"" : visible(path);
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    appendVisible(text, "\\\"", out);
    return out + '"';
}

void addRelocationRows(const RelocationTrace& relocation, std::vector<Row>& rows) {
    const std::string kind = "relocation";
    const std::string message = visible(relocation.loaderMessage);
    rows.push_back({kind, relocation.library,
                    relocation.libraryLoaded ? "loaded" : "not loaded: " + message, ""});
    std::string entryPoint = "not looked for";
    if (relocation.libraryLoaded) {
        entryPoint = relocation.entryPointFound ? "found" : "not found: " + message;
    }
    rows.push_back({kind, relocation.entryPoint, entryPoint, ""});
    const std::string code = "code " + std::to_string(relocation.tableCode);
    // A failed table fails every query that reads it; an image's queries do not.
    const std::string consequence =
        code + (relocation.answersUsed ? "): every standard directory query fails" : ")");
    if (relocation.failure != volocations::RelocationFailure::none) {
        rows.push_back({kind, visible(relocation.failedName),
                        std::string(volocations::relocationFailureName(relocation.failure).words) +
                            " (answer " + std::to_string(relocation.failedAnswer) + ", " +
                            consequence,
                        ""});
    } else if (relocation.tableCode < 0) {
        rows.push_back({kind, "table", "not built (" + consequence, ""});
    }
    if (!relocation.answersUsed) {
        rows.push_back({kind, "answers", "not used: they are this machine's, not the image's", ""});
    }
}

// " (code C, errno E, message)", or for a read cut short without an error
// " (code C, short read: N of M bytes)", with the parts that are known.
std::string errorDetail(const PointerFileRead& origin) {
    std::string detail;
    const auto add = [&detail](const std::string& part) {
        detail += (detail.empty() ? " (" : ", ") + part;
    };
    if (origin.code != 0) add("code " + std::to_string(origin.code));
    if (origin.error != 0) add("errno " + std::to_string(origin.error));
    if (!origin.errorText.empty()) add(visible(origin.errorText));
    if (origin.bytesRead >= 0) {
        add("short read: " + std::to_string(origin.bytesRead) + " of " +
            std::to_string(origin.fileSize) + " bytes");
    }
    return detail.empty() ? detail : detail + ")";
}

std::string queryHow(const BaseDirStep& step) {
    const std::string words = volocations::sourceName(step.source).words;
    const std::string file = visible(step.pointerFile.file);
    switch (step.source) {
        case Source::builtInDefault:
        case Source::relocated:
            return words;
        case Source::pointerFile:
            return words + " " + file + ": " + quoted(step.pointerFile.content);
        case Source::emptyPointerFile:
            return words + " " + file + ": " + quoted(step.pointerFile.content) +
                   ", empty once trimmed";
        case Source::pointerFileNotFound:
        case Source::pointerFileUnreadable:
            return "default: " + file + " " + words + errorDetail(step.pointerFile);
        case Source::fallback:
            break;
    }
    std::string failure = step.code != 0 ? "code " + std::to_string(step.code) : "";
    if (!step.detail.empty()) failure += (failure.empty() ? "" : " ") + visible(step.detail);
    if (failure.empty()) failure = "an exception";
    return words + " " + failure + ", logged " + quoted(step.warning);
}

Row rowOf(const volocations::TraceStep& step) {
    if (const auto* query = std::get_if<BaseDirStep>(&step)) {
        return {"query", volocations::baseDirName(query->dir), visiblePath(query->path),
                queryHow(*query)};
    }
    if (const auto* probe = std::get_if<ProbeStep>(&step)) {
        return {"probe", volocations::probeName(probe->probe).words, visiblePath(probe->path),
                volocations::fileTypeName(probe->type).words};
    }
    const auto& layout = std::get<LayoutStep>(step);
    return {"layout", layout.standard ? "standard" : "legacy",
            volocations::layoutReason(layout).words, ""};
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
    // An image's paths are as seen inside it, so first the directory it is in.
    if (!trace.root.empty()) rows.push_back({"root", "image", visiblePath(trace.root), ""});
    addRelocationRows(trace.relocation, rows);
    for (const volocations::TraceStep& step : trace.steps) rows.push_back(rowOf(step));
    std::string text;
    appendRows(rows, text);
    text += '\n';
    out += text;  // all or nothing: std::string's append is either done or not
}
