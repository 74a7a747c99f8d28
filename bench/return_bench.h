// One return built end to end on the large sample company with the real office, the way the
// return benchmarks time it: each part of the builder (table loading, queries, office start
// with the template's opening, cells, save) and the whole builder, for a first run (a fresh
// process with a fresh office) and a second run in the same process (office up, tables loaded).
#ifndef VATRIX_BENCH_RETURN_BENCH_H_
#define VATRIX_BENCH_RETURN_BENCH_H_

#include <functional>
#include <string>
#include <vector>

#include "hostdata/connection.h"
#include "hostdata/user_interface.h"
#include "returns/build_context.h"
#include "returns/session.h"
#include "workbook/spreadsheet.h"
#include "workbook/template_session.h"

namespace vatrix::bench {

// Writes the figures a return read into its opened template.
using FillStep = std::function<void(Spreadsheet&, TemplateSession*)>;

// What one return's benchmark supplies.
struct ReturnBench {
  std::string heading;              // what the figures are of, printed first
  std::string template_name;        // in the build's Master folder
  std::vector<std::string> tables;  // loaded before the queries are timed
  // The query texts the builder preloads, when it does: then they, not the tables, are
  // loaded before the queries are timed.
  std::function<std::vector<std::string>(const Session&, const std::string& return_type)> preload;
  std::function<void(Session*)> set_session;  // the session of the measured period
  std::string return_type;                    // the panel's return type
  // The builder's queries, run and timed, with what writes their figures.
  std::function<FillStep(const Connection&, Session*, UserInterface&)> read;
  Builder builder;  // the whole builder, as Proceed calls it
};

// The benchmark's program: reads [--sample DIR] [--company CODE] [--runs R] (defaults
// build/bench-sample, 1234, 5), generates the large sample into DIR when it may, measures
// `bench` over R pairs of fresh processes and prints the medians. Returns the exit code.
int ReturnBenchMain(int argc, char** argv, const ReturnBench& bench);

}  // namespace vatrix::bench

#endif  // VATRIX_BENCH_RETURN_BENCH_H_
