// The text form of the explanation, byte for byte, from a trace laid out by hand: the
// columns, the escapes that keep one decision per line, and how each source reads.
#include "app/explain/explain_format.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using volocations::BaseDir;
using volocations::BaseDirStep;
using volocations::LayoutStep;
using volocations::Probe;
using volocations::ProbeStep;
namespace fs = boost::filesystem;

BaseDirStep query(BaseDir dir, const std::string& path) {
    BaseDirStep step;
    step.dir = dir;
    step.path = path;
    return step;
}

BaseDirStep sharedDir(const std::string& path, volocations::Source source,
                      const std::string& content, int32_t code = 0, int32_t error = 0,
                      const std::string& errorText = "") {
    BaseDirStep step = query(BaseDir::makerShared, path);
    step.source = source;
    step.pointerFile = {"/etc/p", content, code, error, errorText};
    return step;
}

TEST(ExplainFormat, TextFormIsAlignedAndOneDecisionPerLine) {
    volocations::LocationTrace trace;
    trace.relocation = {"libvorelocations.so.0",
                        "get_relocated_dir",
                        true,
                        true,
                        "",
                        volocations::RelocationFailure::refused,
                        "runstatedir",
                        -1,
                        -52006};
    BaseDirStep failed = query(BaseDir::bin, "/usr/bin");
    failed.source = volocations::Source::fallback;
    failed.code = -52006;
    failed.warning = "vosysq::get_bindir() failed";
    BaseDirStep relocated = query(BaseDir::sysConf, "");
    relocated.source = volocations::Source::relocated;
    trace.steps = {
        failed,
        ProbeStep{Probe::productDir, "/m/vo-kairon", fs::file_not_found},
        LayoutStep{false, false},
        sharedDir("/srv/a\tb\\c", volocations::Source::pointerFile, "/srv/a\tb\\c/\"\n"),
        sharedDir("", volocations::Source::emptyPointerFile, "\x01/"),
        sharedDir("/s\x85\xe2\x80\xae", volocations::Source::pointerFile, "/s\x85\xe2\x80\xae"),
        sharedDir("/d", volocations::Source::pointerFileUnreadable, "", -52008, 21, "Is a dir"),
        relocated,
        query(BaseDir::localState, "/a/path/longer/than/the/value/column/takes/at/most/x"),
        ProbeStep{Probe::daemonBinary, "/usr/bin/votsmd", fs::character_file},
    };
    std::string out = "before\n";
    formatTextExplanation(trace, out);
    EXPECT_EQ(out,
              "before\n"
              "relocation  libvorelocations.so.0  loaded\n"
              "relocation  get_relocated_dir      found\n"
              "relocation  runstatedir            refused (answer -1, code -52006): every standard "
              "directory query fails\n"
              "query       bindir                 /usr/bin         fallback after code -52006, "
              "logged \"vosysq::get_bindir() failed\"\n"
              "probe       product directory      /m/vo-kairon     not found\n"
              "layout      legacy                 product directory not found\n"
              "query       shared                 /srv/a\\tb\\\\c     read from /etc/p: "
              "\"/srv/a\\tb\\\\c/\\\"\\n\"\n"
              "query       shared                 \"\"               read from /etc/p: \"\\x01/\", "
              "empty once trimmed\n"
              "query       shared                 /s\\x85\\u202e     read from /etc/p: "
              "\"/s\\x85\\u202e\"\n"
              "query       shared                 /d               default: /etc/p unreadable "
              "(code -52008, errno 21, Is a dir)\n"
              "query       sysconfdir             \"\"               relocated\n"
              "query       localstatedir          /a/path/longer/than/the/value/column/takes/at/"
              "most/x  built-in default\n"
              "probe       daemon binary          /usr/bin/votsmd  character device\n"
              "\n");
}

}  // namespace
