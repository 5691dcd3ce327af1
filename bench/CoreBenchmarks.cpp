// SPDX-License-Identifier: GPL-3.0-or-later
// Costs that grow with the stored data, over the sample database of tools/SampleDatabase.
#include "calendar/CalendarFile.h"
#include "engine/Engine.h"
#include "model/StateFile.h"
#include "status/StatusLine.h"
#include "store/Store.h"

#include "SampleDatabase.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <simdjson.h>
#include <unistd.h>

using namespace vantory;

namespace {

const Instant now = instantFromSeconds(1796500000); // December 2026

std::filesystem::path scratchFile(const std::string& name)
{
    const auto directory = std::filesystem::temp_directory_path() / ("vantory-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory);
    return directory / name;
}

// The status line's and the dashboard's selection: pointers into the database, no copies.
void upcoming(benchmark::State& state)
{
    const Database db = sample::database(static_cast<std::size_t>(state.range(0)), now);
    for (auto _ : state)
        benchmark::DoNotOptimize(Engine::upcomingView(db, now));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(upcoming)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond)->Complexity();

// The dashboard order under each listSort (0 date, the default; 1 title; 2 course) of items the
// caller hands over, as the dashboard does; copying them in and freeing them are not timed.
void sortedList(benchmark::State& state)
{
    Database db = sample::database(static_cast<std::size_t>(state.range(0)), now);
    const char* const sorts[] = {"date", "title", "course"};
    db.settings.listSort = sorts[state.range(1)];
    std::vector<const Assessment*> items;
    for (const Assessment& item : db.assessments)
        items.push_back(&item);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const std::vector<const Assessment*> sorted = Engine::sortedList(items, db);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        benchmark::DoNotOptimize(sorted);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(sortedList)
    ->ArgsProduct({{1000, 10000}, {0, 1, 2}})
    ->ArgNames({"items", "listSort"})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

void merge200Rows(benchmark::State& state)
{
    const Database stored = sample::database(static_cast<std::size_t>(state.range(0)), now);
    const std::string courseID = stored.settings.courses.front().id;
    const auto fresh = sample::freshItems(stored, courseID, 200, now);
    for (auto _ : state) {
        state.PauseTiming();
        Database db = stored;
        auto rows = fresh;
        state.ResumeTiming();
        Engine::merge(std::move(rows), courseID, db, now);
        benchmark::DoNotOptimize(db);
    }
}
BENCHMARK(merge200Rows)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void stateFileSave(benchmark::State& state)
{
    const Database db = sample::database(static_cast<std::size_t>(state.range(0)), now);
    StateFile file(scratchFile("save.json"));
    for (auto _ : state)
        file.save(db);
    if (file.storageError())
        state.SkipWithError(file.storageError()->c_str());
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file.path()));
}
BENCHMARK(stateFileSave)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The bytes of a save without the file: the CPU a save spends before the kernel's part.
void stateFileEncode(benchmark::State& state)
{
    const Database db = sample::database(static_cast<std::size_t>(state.range(0)), now);
    for (auto _ : state)
        benchmark::DoNotOptimize(StateFile::encode(db));
}
BENCHMARK(stateFileEncode)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void stateFileLoad(benchmark::State& state)
{
    StateFile written(scratchFile("load.json"));
    written.save(sample::database(static_cast<std::size_t>(state.range(0)), now));
    for (auto _ : state) {
        StateFile file(written.path());
        benchmark::DoNotOptimize(file.load());
    }
}
BENCHMARK(stateFileLoad)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The peer of stateFileLoad: simdjson alone parsing the same bytes, already in memory, into its
// own document (no records decoded, nothing checked beyond the JSON grammar).
void stateFileParseOnly(benchmark::State& state)
{
    StateFile written(scratchFile("parse.json"));
    written.save(sample::database(static_cast<std::size_t>(state.range(0)), now));
    const simdjson::padded_string bytes = simdjson::padded_string::load(written.path().string()).value();
    for (auto _ : state) {
        simdjson::dom::parser parser;
        benchmark::DoNotOptimize(parser.parse(bytes).value());
    }
}
BENCHMARK(stateFileParseOnly)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void calendarFile(benchmark::State& state)
{
    const Database db = sample::database(static_cast<std::size_t>(state.range(0)), now);
    for (auto _ : state)
        benchmark::DoNotOptimize(CalendarFile::generate(db.assessments, db, 30, now));
}
BENCHMARK(calendarFile)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// One status-line composition whose layout is unchanged (the common case: a countdown step).
void statusLine(benchmark::State& state)
{
    const Database db = sample::database(static_cast<std::size_t>(state.range(0)), now);
    const StatusLineInput input{db, now, "저장된 일정 · 연결 확인 중", "마지막 업데이트 12/4 10:00"};
    StatusLineState line;
    std::int64_t measurements = 0;
    const MeasureText measure = [&](const StatusText& text) {
        ++measurements;
        return 7.0 * static_cast<double>(text.text.size());
    };
    composeStatusLine(input, line, measure);
    for (auto _ : state)
        benchmark::DoNotOptimize(composeStatusLine(input, line, measure));
    state.counters["measurements"] = static_cast<double>(measurements);
}
BENCHMARK(statusLine)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace
