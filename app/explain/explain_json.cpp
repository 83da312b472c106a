// The JSON form of the explanation (see explain_format.h).
#include <cstdint>
#include <string>

#include "app/explain/explain_format.h"
#include "app/json_string/json_string.h"
#include "locations/trace_names.h"

namespace {

using volocations::BaseDirStep;
using volocations::LayoutStep;
using volocations::ProbeStep;
using volocations::RelocationTrace;
using volocations::Source;

// Writes the members of one object; the caller writes its braces.
class Members {
public:
    explicit Members(std::string& out) : out_(out) {}

    void string(const char* name, const std::string& value) {
        key(name);
        if (!appendJsonString(value, out_)) {
            throw notUtf8Error(std::string("the explanation's \"") + name + '"');
        }
    }
    void number(const char* name, int64_t value) {
        key(name);
        out_ += std::to_string(value);
    }
    void boolean(const char* name, bool value) {
        key(name);
        out_ += value ? "true" : "false";
    }
    // The name only; the caller writes the value (null, an object).
    void key(const char* name) {
        out_ += separator_;
        out_ += '"';
        out_ += name;
        out_ += "\":";
        separator_ = ",";
    }

private:
    std::string& out_;
    const char* separator_ = "";
};

void appendRelocation(const RelocationTrace& relocation, std::string& out) {
    out += "\"relocation\":{";
    Members members(out);
    members.string("library", relocation.library);
    members.boolean("loaded", relocation.libraryLoaded);
    members.string("entryPoint", relocation.entryPoint);
    members.boolean("found", relocation.entryPointFound);
    if (relocation.libraryLoaded && relocation.entryPointFound) {
        members.key("message");
        out += "null";
    } else {
        members.string("message", relocation.loaderMessage);
    }
    members.key("failed");
    if (relocation.failure == volocations::RelocationFailure::none) {
        out += "null";
    } else {
        out += '{';
        Members failed(out);
        failed.string("name", relocation.failedName);
        failed.number("answer", relocation.failedAnswer);
        failed.string("reason", volocations::relocationFailureName(relocation.failure).token);
        out += '}';
    }
    members.number("tableCode", relocation.tableCode);
    // Only for an image, so that the explanation of this machine stays as it always was.
    if (!relocation.answersUsed) members.boolean("answersUsed", false);
    out += "},\n";
}

void appendQuery(const BaseDirStep& step, Members& members) {
    members.string("step", "query");
    members.string("directory", volocations::baseDirName(step.dir));
    members.string("path", step.path);
    members.string("source", volocations::sourceName(step.source).token);
    switch (step.source) {
        case Source::builtInDefault:
        case Source::relocated:
            return;
        case Source::pointerFile:
        case Source::emptyPointerFile:
            members.string("pointerFile", step.pointerFile.file);
            return members.string("read", step.pointerFile.content);
        case Source::pointerFileNotFound:
        case Source::pointerFileUnreadable:
            members.string("pointerFile", step.pointerFile.file);
            members.number("code", step.pointerFile.code);
            members.number("errno", step.pointerFile.error);
            members.string("error", step.pointerFile.errorText);
            if (step.pointerFile.bytesRead < 0) return;
            members.number("fileSize", step.pointerFile.fileSize);
            return members.number("bytesRead", step.pointerFile.bytesRead);
        case Source::fallback:
            members.number("code", step.code);
            members.string("detail", step.detail);
            return members.string("warning", step.warning);
    }
}

void appendStep(const volocations::TraceStep& step, std::string& out) {
    out += '{';
    Members members(out);
    if (const auto* query = std::get_if<BaseDirStep>(&step)) {
        appendQuery(*query, members);
    } else if (const auto* probe = std::get_if<ProbeStep>(&step)) {
        members.string("step", "probe");
        members.string("probe", volocations::probeName(probe->probe).token);
        members.string("path", probe->path);
        members.string("type", volocations::fileTypeName(probe->type).token);
    } else {
        const auto& layout = std::get<LayoutStep>(step);
        members.string("step", "layout");
        members.string("layout", layout.standard ? "standard" : "legacy");
        members.string("reason", volocations::layoutReason(layout).token);
    }
    out += '}';
}

// "standard" or "legacy" from the run's layout decision; null if it took none.
std::string layoutOf(const volocations::LocationTrace& trace) {
    for (const volocations::TraceStep& step : trace.steps) {
        if (const auto* layout = std::get_if<LayoutStep>(&step)) {
            return layout->standard ? "\"standard\"" : "\"legacy\"";
        }
    }
    return "null";
}

// The document after its opening brace and newline.
void appendDocument(const volocations::LocationTrace& trace, const std::string& listing,
                    const std::string* key, const std::string* path, std::string& out) {
    // Only for an image, so that the explanation of this machine stays as it always was.
    if (!trace.root.empty()) {
        Members(out).string("root", trace.root);
        out += ",\n";
    }
    appendRelocation(trace.relocation, out);
    out += "\"steps\":[";
    const char* separator = "\n";
    for (const volocations::TraceStep& step : trace.steps) {
        out += separator;
        appendStep(step, out);
        separator = ",\n";
    }
    out += "\n],\n\"layout\":" + layoutOf(trace) + ",\n\"locations\":";
    out.append(listing, 0, listing.empty() ? 0 : listing.size() - 1);  // less its newline
    if (key != nullptr && path != nullptr) {
        out += ",\n\"query\":{";
        Members members(out);
        members.string("key", *key);
        members.string("path", *path);
        out += '}';
    }
    out += "\n}\n";
}

}  // namespace

void formatJsonExplanation(const volocations::LocationTrace& trace, const std::string& listing,
                           const std::string* key, const std::string* path, std::string& out) {
    std::string text = "{\n";
    appendDocument(trace, listing, key, path, text);
    out += text;  // all or nothing: std::string's append is either done or not
}
