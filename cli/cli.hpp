// Pieces of varnel-math shared between its units.
#ifndef VARNEL_CLI_CLI_HPP
#define VARNEL_CLI_CLI_HPP

#include <string>
#include <vector>

#include "function_table.hpp"

namespace varnel_cli {

// The function table, speed inputs and reference data (common/).
using namespace varnel_common;

struct report_options {
  precision prec = precision::dbl;
  std::string data_dir;
  bool data_given = false;  // --data, rather than the default beside the program
  std::string plots_dir;    // empty: no plots
  int repetitions = 0;      // 0: the default
  bool quick = false;
  std::vector<const function_entry*> only;  // empty: every function
};

// Which build of the libraries this is: "platform build: ..." or
// "portable build: ...", one line without its end.
std::string build_description();

// Prints "varnel-math: <problem>; usage: ..." as one line on stderr and
// exits with status 2.  Called before anything is written to stdout.
[[noreturn]] void usage_error(const std::string& problem);

// Prints "varnel-math: <problem>" on stderr and exits with status 1 (or the
// status given).
[[noreturn]] void runtime_error(const std::string& problem, int status = 1);

// The reference data directory used without --data: share/varnel-math/reference
// beside the program's bin directory (data_dir.cpp); empty if the program
// cannot tell where its executable lies.
std::string default_data_dir();

int run_report(const report_options& options);

// Writes one SVG scatter plot of error against x, one panel per range.
struct plot_point {
  double x;
  double ours;
  double theirs;
};
struct plot_panel {
  std::string range;
  bool absolute;  // error in absolute terms rather than ulps
  std::vector<plot_point> points;
};
bool write_error_plot(const std::string& path, const std::string& title, const std::string& unit,
                      const std::vector<plot_panel>& panels);

}  // namespace varnel_cli

#endif
