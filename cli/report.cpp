// varnel-math report: accuracy against the high-precision reference data and
// speed beside the platform libm, as Markdown on stdout, with SVG plots of
// the error against x on request.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include <unistd.h>

#include "cli.hpp"
#include "function_table.hpp"
#include "numbers.hpp"
#include "reference_data.hpp"
#include "speed_inputs.hpp"

namespace varnel_cli {

namespace {

using clock_type = std::chrono::steady_clock;

// One line on stderr, rewritten in place on a terminal.  Elsewhere (a log,
// a pipe) only the closing summary is written, so logs stay readable.
class progress_line {
 public:
  progress_line() : tty_(isatty(2) != 0) {}
  void show(const std::string& text) {
    if (!tty_) return;
    std::string line = "\r" + text;
    if (text.size() < width_) line.append(width_ - text.size(), ' ');
    width_ = std::max(width_, text.size());
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
  }
  void finish(const std::string& summary) {
    if (tty_) std::fputs(("\r" + std::string(width_, ' ') + "\r").c_str(), stderr);
    std::fprintf(stderr, "%s\n", summary.c_str());
  }

 private:
  bool tty_;
  std::size_t width_ = 0;
};

std::string fixed(double v, int decimals) {
  if (std::isinf(v)) return "inf";
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

std::string error_text(double v, bool absolute) {
  if (std::isinf(v)) return "inf";
  if (!absolute) return fixed(v, 3);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.2g abs", v);
  return buf;
}

// --- accuracy ---------------------------------------------------------------

struct range_result {
  std::string name;
  bool absolute = false;
  long points = 0;
  double max_ours = 0, sum_ours = 0, max_theirs = 0, sum_theirs = 0;
  double worst_x = 0, worst_y = 0;
  bool worst_set = false;
  plot_panel panel;
};

// |result - (hi + lo)| in ulps of the reference's own format at hi (float
// spacing for the float library, binary64 for the others: the long-double
// library computes in binary64), or absolute where the data says so.  An
// infinite or NaN result against a finite reference is infinitely wrong.
double error_of(long double result, const varnel_common::reference_point& p, scalar s, bool absolute) {
  if (!std::isfinite(result)) return std::numeric_limits<double>::infinity();
  const long double diff = std::fabs((result - p.hi) - p.lo);
  if (absolute) return static_cast<double>(diff);
  const long double spacing = s == scalar::binary32 ? varnel_common::float_ulp(p.hi) : varnel_common::double_ulp(p.hi);
  return static_cast<double>(diff / spacing);
}

// Ranges the data marks as measured in absolute error (next to a zero of
// the function, where relative error means nothing).
std::vector<std::string> absolute_ranges(const std::vector<std::string>& header) {
  std::vector<std::string> names;
  const std::string tag = "# range ";
  for (const std::string& line : header) {
    if (line.rfind(tag, 0) != 0 || line.find("absolute error") == std::string::npos) continue;
    const std::size_t colon = line.find(':', tag.size());
    if (colon != std::string::npos) names.push_back(line.substr(tag.size(), colon - tag.size()));
  }
  return names;
}

std::vector<range_result> measure_accuracy(const function_entry& fn, precision prec,
                                           const std::vector<varnel_common::reference_point>& points,
                                           const std::vector<std::string>& absolute) {
  const eval_fn ours = eval_of(fn, prec, false);
  const eval_fn theirs = eval_of(fn, prec, true);
  const scalar s = scalar_of(prec);
  const bool two = arity_of(fn.shape) == 2;

  std::vector<range_result> ranges;
  for (const varnel_common::reference_point& p : points) {
    if (ranges.empty() || ranges.back().name != p.range) {
      auto found = std::find_if(ranges.begin(), ranges.end(), [&](const range_result& r) { return r.name == p.range; });
      if (found == ranges.end()) {
        range_result r;
        r.name = p.range;
        r.absolute = std::find(absolute.begin(), absolute.end(), p.range) != absolute.end();
        r.panel.range = p.range;
        r.panel.absolute = r.absolute;
        ranges.push_back(r);
      } else {
        std::rotate(found, found + 1, ranges.end());  // keep the current range last
      }
    }
    range_result& r = ranges.back();
    const long double y = two ? static_cast<long double>(p.y) : 0.0L;
    const double e_ours = error_of(ours(p.x, y).value, p, s, r.absolute);
    const double e_theirs = error_of(theirs(p.x, y).value, p, s, r.absolute);
    ++r.points;
    r.sum_ours += e_ours;
    r.sum_theirs += e_theirs;
    r.max_theirs = std::max(r.max_theirs, e_theirs);
    if (!r.worst_set || e_ours > r.max_ours) {
      r.max_ours = e_ours;
      r.worst_x = p.x;
      r.worst_y = p.y;
      r.worst_set = true;
    }
    r.panel.points.push_back({p.x, e_ours, e_theirs});
  }
  return ranges;
}

// --- speed -----------------------------------------------------------------

struct speed_settings {
  int repetitions;
  int passes;  // walks through all blocks per repetition
  std::size_t blocks;
};

struct speed_result {
  std::string inputs;
  double ours_ns, theirs_ns;
  double batch_ns;  // per element of the batch function; 0 where there is none (long double)
};

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

template <class T> double time_once(const member<T>& m, const speed_inputs<T>& in, std::vector<T>& out, int passes) {
  const auto start = clock_type::now();
  for (int p = 0; p < passes; ++p) {
    for (std::size_t b = 0; b < in.block_count; ++b)
      m.throughput(in.x_block(b), in.y_block(b), out.data(), in.block_size);
  }
  const auto stop = clock_type::now();
  const double ns = std::chrono::duration<double, std::nano>(stop - start).count();
  return ns / (static_cast<double>(passes) * static_cast<double>(in.calls()));
}

// The batch function over every block, per element.  y is converted to
// long double once, before the clock starts, where the function takes it so.
template <class T> double time_batch(const batch_member<T>& m, const speed_inputs<T>& in,
                                     const std::vector<long double>& long_y, std::vector<unsigned char>& out,
                                     int passes) {
  const auto start = clock_type::now();
  for (int p = 0; p < passes; ++p) {
    for (std::size_t b = 0; b < in.block_count; ++b) {
      const void* y = m.long_double_y ? static_cast<const void*>(long_y.data() + b * in.block_size)
                                      : static_cast<const void*>(in.y_block(b));
      m.run(in.x_block(b), y, out.data(), in.block_size);
    }
  }
  const auto stop = clock_type::now();
  const double ns = std::chrono::duration<double, std::nano>(stop - start).count();
  return ns / (static_cast<double>(passes) * static_cast<double>(in.calls()));
}

template <class T> const batch_member<T>* batch_of(const function_entry& fn) {
  if constexpr (std::is_same_v<T, float>) return &fn.batch_f;
  if constexpr (std::is_same_v<T, double>) return &fn.batch_d;
  return nullptr;
}

template <class T> std::vector<speed_result> measure_speed(const function_entry& fn, const speed_settings& set) {
  const member_pair<T>& pair = members_of<T>(fn);
  const domain_list doms = domains_for(fn, precision_of_type<T>::value);
  std::vector<speed_result> results;
  for (int k = 0; k < doms.count; ++k) {
    const speed_inputs<T> in = make_speed_inputs<T>(fn, doms.items[k], set.blocks);
    std::vector<T> out(in.block_size);
    time_once(pair.varnel, in, out, 1);  // warm caches and clocks for both
    time_once(pair.libm, in, out, 1);
    const batch_member<T>* batch = batch_of<T>(fn);
    std::vector<long double> long_y(in.y.begin(), in.y.end());
    std::vector<unsigned char> batch_out(in.block_size * sizeof(long double));
    std::vector<double> ours, theirs, batched;
    for (int r = 0; r < set.repetitions; ++r) {
      if (batch != nullptr) batched.push_back(time_batch(*batch, in, long_y, batch_out, set.passes));
      // Alternating which goes first keeps a slow start of either side from
      // landing on one of them only.
      if (r % 2 == 0) {
        ours.push_back(time_once(pair.varnel, in, out, set.passes));
        theirs.push_back(time_once(pair.libm, in, out, set.passes));
      } else {
        theirs.push_back(time_once(pair.libm, in, out, set.passes));
        ours.push_back(time_once(pair.varnel, in, out, set.passes));
      }
    }
    results.push_back({doms.items[k].label, median(ours), median(theirs), batched.empty() ? 0.0 : median(batched)});
  }
  return results;
}

std::vector<speed_result> measure_speed(const function_entry& fn, precision prec, const speed_settings& set) {
  switch (prec) {
    case precision::single:
      return measure_speed<float>(fn, set);
    case precision::dbl:
      return measure_speed<double>(fn, set);
    default:
      return measure_speed<long double>(fn, set);
  }
}

}  // namespace

int run_report(const report_options& opt) {
  const auto started = clock_type::now();
  std::vector<const function_entry*> chosen = opt.only;
  if (chosen.empty()) {
    for (const function_entry& fn : functions) chosen.push_back(&fn);
  }
  const scalar s = scalar_of(opt.prec);
  speed_settings set{opt.quick ? 5 : 21, opt.quick ? 1 : 4, opt.quick ? std::size_t{4} : speed_block_count};
  if (opt.repetitions > 0) set.repetitions = opt.repetitions;

  std::error_code ec;
  // The data directory, named or the default beside the program, must exist
  // and hold data: a report never leaves out its accuracy section quietly.
  // Status 2, as for an argument the program cannot use.
  const std::string advice = opt.data_given ? "" : " (give --data DIR)";
  if (opt.data_dir.empty()) runtime_error("cannot tell where the reference data lies (give --data DIR)", 2);
  if (!std::filesystem::is_directory(opt.data_dir, ec))
    runtime_error("no reference data directory " + opt.data_dir + advice, 2);
  bool any_data = false;
  for (const auto& entry : std::filesystem::directory_iterator(opt.data_dir, ec)) {
    if (entry.path().extension() == ".tsv") any_data = true;
  }
  if (!any_data) runtime_error("no reference data (*.tsv) in " + opt.data_dir + advice, 2);
  if (!opt.plots_dir.empty()) {
    std::filesystem::create_directories(opt.plots_dir, ec);
    if (ec) runtime_error("cannot create the plot directory " + opt.plots_dir + ": " + ec.message());
  }

  // Everything is measured first and printed at the end, so that stdout
  // carries the finished report or nothing.
  progress_line progress;
  const int total = static_cast<int>(chosen.size());
  struct accuracy_entry {
    const function_entry* fn;
    std::vector<range_result> ranges;
  };
  std::vector<accuracy_entry> accuracy;
  std::vector<std::string> without_data;
  long reference_points = 0;
  for (int i = 0; i < total; ++i) {
    const function_entry& fn = *chosen[i];
    const std::string file = std::string(fn.name) + (opt.prec == precision::single ? "f" : "");
    const std::string path = opt.data_dir + "/" + file + ".tsv";
    progress.show("[" + std::to_string(i + 1) + "/" + std::to_string(total) + "] accuracy " +
                  member_name(fn, opt.prec));
    if (!std::filesystem::exists(path, ec)) {
      without_data.push_back(fn.name);
      continue;
    }
    varnel_common::reference_file data;
    try {
      data = varnel_common::read_reference_file(path);
    } catch (const std::exception& e) {
      runtime_error(e.what());
    }
    reference_points += static_cast<long>(data.points.size());
    accuracy.push_back({&fn, measure_accuracy(fn, opt.prec, data.points, absolute_ranges(data.header))});
  }

  struct speed_entry {
    const function_entry* fn;
    std::vector<speed_result> rows;
  };
  std::vector<speed_entry> speed;
  for (int i = 0; i < total; ++i) {
    const function_entry& fn = *chosen[i];
    progress.show("[" + std::to_string(i + 1) + "/" + std::to_string(total) + "] speed " + member_name(fn, opt.prec));
    speed.push_back({&fn, measure_speed(fn, opt.prec, set)});
  }

  int plots = 0;
  if (!opt.plots_dir.empty()) {
    for (const accuracy_entry& a : accuracy) {
      std::vector<plot_panel> panels;
      for (const range_result& r : a.ranges) panels.push_back(r.panel);
      const std::string name = member_name(*a.fn, opt.prec);
      const std::string path = opt.plots_dir + "/" + name + ".svg";
      const std::string unit = std::string("ulp of ") + (s == scalar::binary32 ? "float" : "double");
      if (!write_error_plot(path, name + ": error against x (varnel blue, platform libm grey)", unit, panels)) {
        runtime_error("cannot write " + path);
      }
      ++plots;
    }
  }

  const char* type = scalar_name(s);
  std::printf("# varnel-math report (%s)\n\n%s.\n\n", type, build_description().c_str());
  if (!accuracy.empty()) {
    std::printf("## Accuracy\n\n");
    std::printf(
        "Against the reference data in %s: error in ulps of %s at the reference value\n"
        "(\"abs\": absolute error, for ranges next to a zero of the function). Worst x: where\n"
        "varnel's error is largest.\n\n",
        opt.data_dir.c_str(), s == scalar::binary32 ? "float" : "double");
    std::printf("| function | range | points | varnel max | varnel mean | worst x | libm max | libm mean |\n");
    std::printf("|---|---|---:|---:|---:|---|---:|---:|\n");
    for (const accuracy_entry& a : accuracy) {
      const bool two = arity_of(a.fn->shape) == 2;
      for (const range_result& r : a.ranges) {
        std::string worst = shortest(r.worst_x, s);
        if (two) worst += ", " + shortest(r.worst_y, s);
        const double n = static_cast<double>(r.points);
        std::printf("| %s | %s | %ld | %s | %s | %s | %s | %s |\n", member_name(*a.fn, opt.prec).c_str(),
                    r.name.c_str(), r.points, error_text(r.max_ours, r.absolute).c_str(),
                    error_text(r.sum_ours / n, r.absolute).c_str(), worst.c_str(),
                    error_text(r.max_theirs, r.absolute).c_str(), error_text(r.sum_theirs / n, r.absolute).c_str());
      }
    }
    std::printf("\n");
  }
  if (!without_data.empty()) {
    std::string list;
    for (const std::string& n : without_data) list += (list.empty() ? "" : ", ") + n;
    std::printf("No reference data (exact functions, or none in %s): %s.\n\n", opt.data_dir.c_str(), list.c_str());
  }

  std::printf("## Speed\n\n");
  std::printf(
      "Nanoseconds per call, independent calls (throughput) over %zu blocks of %zu inputs drawn\n"
      "from the domain shown, median of %d repetitions; the same inputs for all; ratio = varnel / libm.\n"
      "batch: nanoseconds per element of the batch function (level %s) over the same blocks.\n\n",
      set.blocks, speed_block_size, set.repetitions, varnel_batch_isa());
  std::printf("| function | inputs | varnel ns | libm ns | ratio | batch ns |\n");
  std::printf("|---|---|---:|---:|---:|---:|\n");
  double log_sum = 0;
  int ratios = 0;
  for (const speed_entry& e : speed) {
    for (const speed_result& r : e.rows) {
      const double ratio = r.ours_ns / r.theirs_ns;
      log_sum += std::log(ratio);
      ++ratios;
      std::printf("| %s | %s | %s | %s | %s | %s |\n", member_name(*e.fn, opt.prec).c_str(), r.inputs.c_str(),
                  fixed(r.ours_ns, 1).c_str(), fixed(r.theirs_ns, 1).c_str(), fixed(ratio, 2).c_str(),
                  r.batch_ns > 0 ? fixed(r.batch_ns, 2).c_str() : "-");
    }
  }
  if (ratios > 0) std::printf("\nGeometric mean of the ratios: %s\n", fixed(std::exp(log_sum / ratios), 2).c_str());
  std::fflush(stdout);

  const double seconds = std::chrono::duration<double>(clock_type::now() - started).count();
  char summary[256];
  std::snprintf(summary, sizeof summary,
                "varnel-math report: %d functions, %ld reference points, %d timed input sets, %d plots, %.1f s", total,
                reference_points, ratios, plots, seconds);
  progress.finish(summary);
  return 0;
}

}  // namespace varnel_cli
