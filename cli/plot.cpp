// SVG scatter plots of error against x: one panel per range of the
// reference data, stacked, each with its own x scale (linear, or logarithmic
// when the range spans many orders of magnitude) and its own error scale.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "cli.hpp"

namespace varnel_cli {

namespace {

constexpr double plot_width = 760;
constexpr double panel_height = 170;
constexpr double left = 70, right = 20, top_margin = 46, gap = 44;

enum class axis { linear, log_magnitude, signed_log };

struct x_scale {
  axis kind = axis::linear;
  double lo = 0, hi = 1;  // in transformed units
  double min_abs = 1;     // for signed_log

  double transform(double x) const {
    switch (kind) {
      case axis::log_magnitude:
        return std::log10(std::fabs(x));
      case axis::signed_log:
        if (x == 0) return 0;
        // Difference of logarithms: the quotient would overflow for a
        // subnormal smallest magnitude.
        return std::copysign(std::log10(std::fabs(x)) - std::log10(min_abs) + 1, x);
      default:
        return x;
    }
  }
};

x_scale choose_scale(const std::vector<plot_point>& pts) {
  x_scale s;
  double lo = pts.front().x, hi = lo, min_abs = INFINITY, max_abs = 0;
  for (const plot_point& p : pts) {
    lo = std::min(lo, p.x);
    hi = std::max(hi, p.x);
    if (p.x != 0) min_abs = std::min(min_abs, std::fabs(p.x));
    max_abs = std::max(max_abs, std::fabs(p.x));
  }
  const bool one_sign = lo > 0 || hi < 0;
  if (one_sign && max_abs / min_abs > 1e3) {
    s.kind = axis::log_magnitude;
  } else if (!one_sign && min_abs < INFINITY && max_abs / min_abs > 1e6) {
    s.kind = axis::signed_log;
    s.min_abs = min_abs;
  }
  s.lo = s.transform(lo);
  s.hi = s.transform(hi);
  if (s.kind == axis::log_magnitude && s.lo > s.hi) std::swap(s.lo, s.hi);
  if (s.hi == s.lo) {
    s.lo -= 0.5;
    s.hi += 0.5;
  }
  return s;
}

// The smallest of 1, 2, 5 times a power of ten at or above v.
double nice_ceiling(double v) {
  const double p = std::pow(10.0, std::floor(std::log10(v)));
  for (const double m : {1.0, 2.0, 5.0, 10.0}) {
    if (m * p >= v) return m * p;
  }
  return 10 * p;
}

std::string num(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.4g", v);
  return buf;
}

std::string escape(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else if (c == '&')
      out += "&amp;";
    else
      out += c;
  }
  return out;
}

}  // namespace

bool write_error_plot(const std::string& path, const std::string& title, const std::string& unit,
                      const std::vector<plot_panel>& panels) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (f == nullptr) return false;
  const double height = top_margin + static_cast<double>(panels.size()) * (panel_height + gap);
  std::fprintf(f,
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%g\" height=\"%g\" viewBox=\"0 0 %g %g\" "
               "font-family=\"sans-serif\" font-size=\"11\">\n",
               plot_width, height, plot_width, height);
  std::fprintf(f, "<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n");
  std::fprintf(f, "<text x=\"%g\" y=\"20\" font-size=\"14\">%s</text>\n", left, escape(title).c_str());

  const double inner_w = plot_width - left - right;
  for (std::size_t k = 0; k < panels.size(); ++k) {
    const plot_panel& panel = panels[k];
    const double y0 = top_margin + static_cast<double>(k) * (panel_height + gap);
    const double inner_h = panel_height - 20;
    if (panel.points.empty()) continue;
    const x_scale xs = choose_scale(panel.points);
    double top = panel.absolute ? 0 : 0.5;
    for (const plot_point& p : panel.points) {
      if (std::isfinite(p.ours)) top = std::max(top, p.ours);
      if (std::isfinite(p.theirs)) top = std::max(top, p.theirs);
    }
    top = top > 0 ? nice_ceiling(top) : 1e-300;
    auto px = [&](double x) { return left + (xs.transform(x) - xs.lo) / (xs.hi - xs.lo) * inner_w; };
    auto py = [&](double e) { return y0 + 16 + inner_h - std::min(e, top) / top * inner_h; };

    const char* scale = xs.kind == axis::linear          ? "linear x"
                        : xs.kind == axis::log_magnitude ? "log |x|"
                                                         : "signed log x";
    std::fprintf(f, "<text x=\"%g\" y=\"%g\" font-weight=\"bold\">%s</text>\n", left, y0 + 10,
                 escape(panel.range).c_str());
    std::fprintf(f, "<text x=\"%g\" y=\"%g\" text-anchor=\"end\" fill=\"#555\">%zu points, %s, error in %s</text>\n",
                 plot_width - right, y0 + 10, panel.points.size(), scale,
                 panel.absolute ? "absolute terms" : unit.c_str());
    std::fprintf(f, "<rect x=\"%g\" y=\"%g\" width=\"%g\" height=\"%g\" fill=\"none\" stroke=\"#999\"/>\n", left,
                 y0 + 16, inner_w, inner_h);
    // Error scale: 0, the top, and the half-ulp line that a correctly
    // rounded result never crosses.
    std::fprintf(f, "<text x=\"%g\" y=\"%g\" text-anchor=\"end\">%s</text>\n", left - 4, y0 + 16 + inner_h + 4, "0");
    std::fprintf(f, "<text x=\"%g\" y=\"%g\" text-anchor=\"end\">%s</text>\n", left - 4, y0 + 16 + 8, num(top).c_str());
    if (!panel.absolute && top > 0.5) {
      std::fprintf(f, "<line x1=\"%g\" y1=\"%g\" x2=\"%g\" y2=\"%g\" stroke=\"#c66\" stroke-dasharray=\"4 3\"/>\n",
                   left, py(0.5), left + inner_w, py(0.5));
      std::fprintf(f, "<text x=\"%g\" y=\"%g\" text-anchor=\"end\" fill=\"#c66\">0.5</text>\n", left - 4, py(0.5) + 4);
    }
    const double lo_x =
        std::min_element(panel.points.begin(), panel.points.end(), [](const plot_point& a, const plot_point& b) {
          return a.x < b.x;
        })->x;
    const double hi_x =
        std::max_element(panel.points.begin(), panel.points.end(), [](const plot_point& a, const plot_point& b) {
          return a.x < b.x;
        })->x;
    std::fprintf(f, "<text x=\"%g\" y=\"%g\">%s</text>\n", px(lo_x), y0 + 16 + inner_h + 14, num(lo_x).c_str());
    std::fprintf(f, "<text x=\"%g\" y=\"%g\" text-anchor=\"end\">%s</text>\n", px(hi_x), y0 + 16 + inner_h + 14,
                 num(hi_x).c_str());
    // The platform first, so that ours stays visible where they coincide;
    // errors beyond the top (infinite ones included) sit on it in red.
    for (int side = 0; side < 2; ++side) {
      for (const plot_point& p : panel.points) {
        const double e = side == 0 ? p.theirs : p.ours;
        const bool clipped = !(e <= top);
        std::fprintf(f, "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"1.6\" fill=\"%s\"/>\n", px(p.x), py(clipped ? top : e),
                     clipped     ? "#d00"
                     : side == 0 ? "#aaa"
                                 : "#1f5fbf");
      }
    }
  }
  std::fprintf(f, "</svg>\n");
  return std::fclose(f) == 0;
}

}  // namespace varnel_cli
