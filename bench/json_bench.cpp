// Throughput of the JSON text library on texts of about 1 KB, 64 KB and 1 MB, with a
// validating reader of a widely used JSON library as the yardstick for the scanner.
#include <benchmark/benchmark.h>
#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <cstdio>
#include <string>

#include "errors/status.h"
#include "json/json_buffer.h"
#include "json/json_lookup.h"
#include "json/json_scan.h"

namespace {

// An array of small records mixing every kind of value, about `bytes` long.
std::string mixedText(size_t bytes) {
    std::string text = "[";
    for (int i = 0; text.size() < bytes; ++i) {
        if (i > 0) text += ",";
        text += "{\"name\":\"entry \\\"" + std::to_string(i) +
                "\\\" \\u00e9\",\"n\":" + std::to_string(i * 37) +
                ",\"f\":-1.5e3,\"ok\":true,\"none\":null,\"list\":[1,2,{\"deep\":[]}]}";
    }
    return text + "]";
}

// An object of `bytes` length whose members are named m0, m1, ...
std::string wideObject(size_t bytes, std::string* lastName) {
    std::string text = "{";
    for (int i = 0; text.size() < bytes; ++i) {
        if (i > 0) text += ",";
        *lastName = "m" + std::to_string(i);
        text += "\"" + *lastName + "\":\"value of " + *lastName + "\"";
    }
    return text + "}";
}

void scannerParse(benchmark::State& state) {
    const std::string text = mixedText(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        JsonValueInfo info;
        const char* end = json_parse_value(text.c_str(), &info);
        if (end == nullptr) state.SkipWithError("scanner rejected the text");
        benchmark::DoNotOptimize(end);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void referenceParse(benchmark::State& state) {
    const std::string text = mixedText(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        rapidjson::Reader reader;
        rapidjson::BaseReaderHandler<> handler;
        rapidjson::StringStream stream(text.c_str());
        rapidjson::ParseResult result = reader.Parse(stream, handler);
        if (!result) state.SkipWithError(rapidjson::GetParseError_En(result.Code()));
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void findLastMember(benchmark::State& state) {
    std::string last;
    const std::string text = wideObject(static_cast<size_t>(state.range(0)), &last);
    for (auto _ : state) {
        const char* value = json_find_member(text.c_str(), last.c_str());
        if (value == nullptr) state.SkipWithError("member not found");
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void addThousandStrings(benchmark::State& state) {
    for (auto _ : state) {
        Status status;
        JsonGrowHook hook{statusGrowHook, &status};
        char* p = status.reserve(2);
        char name[16];
        for (int i = 0; i < 1000 && p != nullptr; ++i) {
            std::snprintf(name, sizeof name, "m%d", i);
            p = json_add_string(p, name, "a value of moderate length", &hook);
        }
        if (p == nullptr) state.SkipWithError("chain failed");
        benchmark::DoNotOptimize(status.text);
    }
}

}  // namespace

BENCHMARK(scannerParse)->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20);
BENCHMARK(referenceParse)->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20);
BENCHMARK(findLastMember)->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20);
BENCHMARK(addThousandStrings);

BENCHMARK_MAIN();
