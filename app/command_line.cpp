#include "app/command_line.h"

#include <sstream>

#include <boost/program_options.hpp>

namespace po = boost::program_options;

namespace {

po::options_description describeOptions() {
    // The library's default line length and half of it for the descriptions.
    po::options_description options(
        "Print out various VO-Sync / VO-Kairon file and directory locations", 80, 40);
    options.add_options()                                     //
        ("help", "produce help message")                      //
        ("json", "output in JSON format")                     //
        ("location", po::value<std::string>(),                //
         "install location directory or file path")           //
        ("version", "print version information")              //
        ("explain", "show how each location was worked out")  //
        ("shell", "output as shell assignments");
    return options;
}

}  // namespace

CommandLine parseCommandLine(int argc, const char* const argv[]) {
    po::options_description options = describeOptions();
    po::positional_options_description positional;
    positional.add("location", -1);  // every bare word is a location

    po::variables_map values;
    po::store(po::command_line_parser(argc, argv).options(options).positional(positional).run(),
              values);
    po::notify(values);
    // Two output forms at once are a mistake in the command line, not a choice to make
    // for the user, so they fail as the library's own errors do: before the help.
    if (values.count("shell") != 0 && values.count("json") != 0) {
        throw po::error("option '--shell' cannot be used with option '--json'");
    }

    CommandLine line;
    line.help = values.count("help") != 0;
    line.json = values.count("json") != 0;
    if (values.count("location") != 0) line.location = values["location"].as<std::string>();
    line.version = values.count("version") != 0;
    line.explain = values.count("explain") != 0;
    line.shell = values.count("shell") != 0;
    if (line.help) {
        std::ostringstream text;
        text << options << '\n';  // the help ends with an empty line
        line.helpText = text.str();
    }
    return line;
}
