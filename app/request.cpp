#include "app/request.h"

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
        ("shell", "output as shell assignments")              //
        ("root", po::value<std::string>(),                    //
         "answer for the system image in this directory");
    return options;
}

}  // namespace

Request parseRequest(int argc, const char* const argv[]) {
    po::options_description options = describeOptions();
    po::positional_options_description positional;
    positional.add("location", -1);  // every bare word is a location

    po::variables_map values;
    po::store(po::command_line_parser(argc, argv).options(options).positional(positional).run(),
              values);
    po::notify(values);
    const auto given = [&values](const char* name) { return values.count(name) != 0; };
    // Two output forms at once are a mistake in the command line, not a choice to make
    // for the user, so they fail as the library's own errors do: before the help.
    if (given("shell") && given("json")) {
        throw po::error("option '--shell' cannot be used with option '--json'");
    }

    Request request;
    if (given("help")) {
        std::ostringstream text;
        text << options << '\n';  // the help ends with an empty line
        request.action = Request::Action::help;
        request.helpText = text.str();
        return request;
    }
    if (given("version")) {
        request.action = Request::Action::version;
        return request;
    }
    request.explain = given("explain");
    if (given("location")) request.key = values["location"].as<std::string>();
    if (given("root")) request.root = values["root"].as<std::string>();
    if (given("json") && (request.explain || !request.key)) {
        request.form = Request::Form::json;
    } else if (given("shell") && !request.explain) {
        request.form = Request::Form::shell;
    }
    return request;
}
