// Runs the built varnel-math (its path is the first argument; a second one
// is the emulator that runs it, in a cross build for another processor
// under QEMU, where this machine cannot start it by itself) and checks
// what it prints: exact lines for calls whose results follow from the
// functions' definitions, the error paths (status 2, one line on stderr,
// nothing on stdout), and a report over hand-made reference data whose
// errors are known in advance.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include <varnel/math/elementary/elementary.hpp>
#include <varnel/math/tools/layouts.hpp>

#include <unistd.h>
#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace {

std::string program;   // path of varnel-math
std::string launcher;  // the emulator that starts it, or empty
std::filesystem::path scratch;

struct run_result {
  int status;
  std::string out, err;
};

// A text file the program wrote, its line ends as "\n": on Windows its
// text streams end lines with "\r\n".
std::string read_file(const std::filesystem::path& p) {
  std::ifstream in(p);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// How the command line reaches the program: a POSIX shell (single quotes,
// the status decoded by the wait macros), or on Windows cmd.exe (double
// quotes, which the program's own argument parser removes; the status is
// the exit code).
#if defined(_WIN32)
std::string shell_quoted(const std::string& a) {
  std::string q = "\"";
  for (const char c : a) q += c == '"' ? std::string("\\\"") : std::string(1, c);
  return q + "\"";
}
const char* const no_input = "NUL";
int exit_status(int raw) { return raw; }
// cmd.exe /c drops the first and the last quote of a command line that
// starts with one: a quoted command line keeps them.
std::string as_command(const std::string& line) { return "\"" + line + "\""; }
#else
std::string shell_quoted(const std::string& a) {
  std::string q = "'";
  for (const char c : a) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}
const char* const no_input = "/dev/null";
int exit_status(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1; }
std::string as_command(const std::string& line) { return line; }
#endif

run_result run(const std::vector<std::string>& args) {
  std::string command = launcher.empty() ? shell_quoted(program) : shell_quoted(launcher) + " " + shell_quoted(program);
  for (const std::string& a : args) command += " " + shell_quoted(a);
  const auto out = scratch / "stdout";
  const auto err = scratch / "stderr";
  command += " >" + shell_quoted(out.string()) + " 2>" + shell_quoted(err.string()) + " <" + no_input;
  const int raw = std::system(as_command(command).c_str());
  run_result r;
  r.status = exit_status(raw);
  r.out = read_file(out);
  r.err = read_file(err);
  return r;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream s(text);
  for (std::string line; std::getline(s, line);) lines.push_back(line);
  return lines;
}

std::string join(const std::vector<std::string>& v) {
  std::string s;
  for (const std::string& a : v) s += (s.empty() ? "" : " ") + a;
  return s;
}

// --- evaluation: exact output ----------------------------------------------

struct exact_case {
  std::vector<std::string> args;
  std::vector<std::string> expected;  // stdout, line by line
};

// Values that hold by definition (sign transfer, exact rounding, C99's rule
// that fmax/fmin ignore one NaN, the documented errno conventions), not
// values copied from the program.
std::vector<exact_case> exact_cases() {
  std::vector<exact_case> cases = {
      {{"copysign", "2", "-0"}, {"copysign(2, -0) = -2  -0x1p+1  ok"}},
      {{"copysign", "0x1.8p+1", "-inf"}, {"copysign(3, -inf) = -3  -0x1.8p+1  ok"}},
      {{"fmax", "1", "nan"}, {"fmax(1, nan) = 1  0x1p+0  ok"}},
      {{"fmin", "-inf", "nan"}, {"fmin(-inf, nan) = -inf  -inf  ok"}},
      {{"hypot", "3", "4"}, {"hypot(3, 4) = 5  0x1.4p+2  ok"}},
      {{"hypot", "1.5e308", "1.5e308"}, {"hypot(1.5e+308, 1.5e+308) = inf  inf  ERANGE"}},
      {{"round", "2.5"}, {"round(2.5) = 3  0x1.8p+1  ok"}},
      {{"trunc", "-0.5"}, {"trunc(-0.5) = -0  -0x0p+0  ok"}},
      {{"log1p", "-2"}, {"log1p(-2) = nan  nan(0x7ff8000000000000)  EDOM"}},
      {{"log1p", "-1"}, {"log1p(-1) = -inf  -inf  ERANGE"}},
      {{"log1p", "0"}, {"log1p(0) = 0  0x0p+0  ok"}},
      // integer results: the integer and errno; NaN saturates to the lowest long
      {{"lround", "2.5"}, {"lround(2.5) = 3  ok"}},
      {{"llround", "-2.5"}, {"llround(-2.5) = -3  ok"}},
      // (long is 64 or 32 bits wide: the lowest long, from the type)
      {{"lround", "nan"}, {"lround(nan) = " + std::to_string(std::numeric_limits<long>::min()) + "  ERANGE"}},
      // the other libraries, named by their suffix; float shortest forms
      {{"--float", "copysign", "0x1p-149", "-1"}, {"copysignf(1e-45, -1) = -1e-45  -0x1p-149  ok"}},
      {{"--float", "round", "0.1"}, {"roundf(0.1) = 0  0x0p+0  ok"}},
      {{"--float", "trunc", "16777215.5"}, {"truncf(16777216) = 16777216  0x1p+24  ok"}},
      {{"--long-double", "copysign", "1", "-1"}, {"copysignl(1, -1) = -1  -0x1p+0  ok"}},
      // bit patterns, with a NaN payload carried through and shown in full
      {{"--bits", "copysign", "0x3ff8000000000000", "0x8000000000000000"}, {"copysign(1.5, -0) = -1.5  -0x1.8p+0  ok"}},
      {{"--bits", "copysign", "0x7ff8000000000123", "0xbff0000000000000"},
       {"copysign(nan, -1) = -nan  nan(0xfff8000000000123)  ok"}},
      {{"--float", "--bits", "copysign", "0x7f800000", "0x80000000"}, {"copysignf(inf, -0) = -inf  -inf  ok"}},
      // several arguments and --range give aligned tables
      {{"round", "0.5", "-1.5", "2"},
       {"round(0.5)  = 1   0x1p+0   ok", "round(-1.5) = -2  -0x1p+1  ok", "round(2)    = 2   0x1p+1   ok"}},
      {{"trunc", "--range", "-1", "1", "5"},
       {"trunc(-1)   = -1  -0x1p+0  ok", "trunc(-0.5) = -0  -0x0p+0  ok", "trunc(0)    = 0   0x0p+0   ok",
        "trunc(0.5)  = 0   0x0p+0   ok", "trunc(1)    = 1   0x1p+0   ok"}},
      {{"hypot", "--range", "0", "3", "2", "4"}, {"hypot(0, 4) = 4  0x1p+2    ok", "hypot(3, 4) = 5  0x1.4p+2  ok"}},
      // a range as wide as the format: the midpoint is 0, not inf - inf
      {{"copysign", "--range", "-1.5e308", "1.5e308", "3", "1"},
       {"copysign(-1.5e+308, 1) = 1.5e+308  0x1.ab36d48e1acfp+1023  ok",
        "copysign(0, 1)         = 0         0x0p+0                  ok",
        "copysign(1.5e+308, 1)  = 1.5e+308  0x1.ab36d48e1acfp+1023  ok"}},
      // --compare: functions the platform computes exactly too
      {{"--compare", "copysign", "2", "-0"}, {"copysign(2, -0) = -2  -0x1p+1  ok  libm -2  -0x1p+1  ok  diff 0 ulp"}},
      {{"lround", "--compare", "2.5"}, {"lround(2.5) = 3  ok  libm 3  ok  diff 0"}},
      {{"--float", "--compare", "trunc", "-0.75"},
       {"truncf(-0.75) = -0  -0x0p+0  ok  libm -0  -0x0p+0  ok  diff 0 ulp"}},
      // "--" ends the options, so a negative number may come first
      {{"copysign", "--", "-1", "1"}, {"copysign(-1, 1) = 1  0x1p+0  ok"}},
  };
  // long double in the libraries' format: x87 on x86-64 Linux, binary128 on
  // AArch64 and s390x Linux, binary64 on Windows.  A long double that is
  // not a double keeps every bit and prints normalised; its shortest
  // decimal is the format's (1 + 2^-63 needs 20 digits in x87, 35 in
  // binary128, where its neighbours lie 2^-112 away); --bits reads the
  // format's whole pattern.
  if (varnel::math::tools::long_double_is_x87) {
    cases.insert(cases.end(),
                 {
                     {{"--long-double", "fmax", "0x1.0000000000000002p+0", "1"},
                      {"fmaxl(1.0000000000000000001, 1) = 1.0000000000000000001  0x1.0000000000000002p+0  ok"}},
                     {{"--long-double", "--bits", "copysign", "0x3fff8000000000000000", "0xbfff8000000000000000"},
                      {"copysignl(1, -1) = -1  -0x1p+0  ok"}},
                 });
  } else if (varnel::math::tools::long_double_is_binary128) {
    cases.insert(cases.end(),
                 {
                     {{"--long-double", "fmax", "0x1.0000000000000002p+0", "1"},
                      {"fmaxl(1.0000000000000000001084202172485504, 1) = 1.0000000000000000001084202172485504  "
                       "0x1.0000000000000002p+0  ok"}},
                     {{"--long-double", "fmax", "0x1.0000000000000000000000000001p+0", "1"},
                      {"fmaxl(1.0000000000000000000000000000000002, 1) = 1.0000000000000000000000000000000002  "
                       "0x1.0000000000000000000000000001p+0  ok"}},
                     {{"--long-double", "--bits", "copysign", "0x3fff0000000000000000000000000000",
                       "0xbfff0000000000000000000000000000"},
                      {"copysignl(1, -1) = -1  -0x1p+0  ok"}},
                     {{"--long-double", "--bits", "copysign", "0x7fff0000000000000000000000000001",
                       "0x80000000000000000000000000000000"},
                      {"copysignl(nan, -0) = -nan  nan(0xffff0000000000000000000000000001)  ok"}},
                 });
  } else {
    cases.insert(cases.end(), {
                                  {{"--long-double", "--bits", "copysign", "0x3ff0000000000000", "0xbff0000000000000"},
                                   {"copysignl(1, -1) = -1  -0x1p+0  ok"}},
                                  {{"--long-double", "--bits", "copysign", "0x7ff0000000000001", "0x8000000000000000"},
                                   {"copysignl(nan, -0) = -nan  nan(0xfff0000000000001)  ok"}},
                              });
  }
  return cases;
}

void PrintTo(const exact_case& c, std::ostream* os) { *os << join(c.args); }

class ExactOutput : public ::testing::TestWithParam<exact_case> {};

TEST_P(ExactOutput, PrintsTheExpectedLines) {
  const exact_case& c = GetParam();
  const run_result r = run(c.args);
  EXPECT_EQ(r.status, 0) << join(c.args);
  EXPECT_EQ(lines_of(r.out), c.expected) << join(c.args) << "\nstdout:\n" << r.out;
  EXPECT_EQ(r.err, "") << join(c.args);
}

INSTANTIATE_TEST_SUITE_P(Cli, ExactOutput, ::testing::ValuesIn(exact_cases()));

// expm1 is the platform's own, so its comparison must agree to the bit, and
// overflow reports ERANGE on both sides.
TEST(Compare, PassThroughAgreesWithThePlatform) {
  const run_result r = run({"--compare", "expm1", "0.5", "-0.25", "3"});
  ASSERT_EQ(r.status, 0);
  const std::vector<std::string> lines = lines_of(r.out);
  ASSERT_EQ(lines.size(), 3u);
  for (const std::string& line : lines) {
    EXPECT_NE(line.find("ok  diff 0 ulp"), std::string::npos) << line;
  }
  const run_result overflow = run({"--compare", "expm1", "1000"});
  EXPECT_EQ(overflow.out, "expm1(1000) = inf  inf  ERANGE  libm inf  inf  ERANGE  diff 0 ulp\n");
}

// --- errors ------------------------------------------------------------------

struct error_case {
  std::vector<std::string> args;
  const char* problem;  // must appear in the one line on stderr
};

const error_case error_cases[] = {
    {{}, "missing function name"},
    {{"tgama", "1"}, "unknown function 'tgama'"},
    {{"report", "nosuch"}, "unknown function 'nosuch'"},
    {{"expm1", "1x"}, "malformed number '1x'"},
    {{"expm1", ""}, "empty number"},
    {{"expm1", " 1"}, "malformed number ' 1'"},
    {{"expm1", "0x1p"}, "malformed number '0x1p'"},
    {{"expm1", "1e400"}, "'1e400' is out of the range of double"},
    {{"--float", "expm1", "1e39"}, "'1e39' is out of the range of float"},
    {{"--bits", "expm1", "1.5"}, "malformed bit pattern '1.5'"},
    {{"--bits", "expm1", "0x12g4"}, "malformed bit pattern '0x12g4'"},
    {{"--float", "--bits", "expm1", "0x123456789"}, "wider than the 32 bits of float"},
    {{"--bits", "expm1", "0x12345678901234567"}, "wider than the 64 bits of double"},
    {{"expm1"}, "missing argument: expm1 takes 1 argument"},
    {{"hypot", "1"}, "missing argument: hypot takes 2 arguments"},
    {{"hypot", "1", "2", "3"}, "missing argument: hypot takes 2 arguments"},
    {{"hypot", "--range", "0", "1", "3"}, "missing argument: hypot takes 2 arguments"},
    {{"expm1", "--range", "0", "1"}, "missing argument: --range needs A B N"},
    {{"expm1", "--range", "0", "1", "0"}, "malformed count '0'"},
    {{"expm1", "--range", "0", "1", "3", "5"}, "unexpected argument '5' with --range"},
    {{"--quad", "expm1", "1"}, "unknown precision flag '--quad'"},
    {{"--single", "expm1", "1"}, "unknown precision flag '--single'"},
    {{"--float", "--long-double", "erf", "1"}, "conflicting precision flags --float and --long-double"},
    {{"--frobnicate", "erf", "1"}, "unknown option '--frobnicate'"},
    {{"report", "--compare"}, "option --compare does not apply to report"},
    {{"expm1", "1", "--plots", "dir"}, "option --plots applies to report only"},
    {{"report", "--plots"}, "missing argument: --plots needs a directory"},
    {{"report", "--reps", "many"}, "malformed count 'many' for --reps"},
};

void PrintTo(const error_case& c, std::ostream* os) { *os << join(c.args); }

class ErrorPath : public ::testing::TestWithParam<error_case> {};

TEST_P(ErrorPath, OneLineOnStderrNothingOnStdout) {
  const error_case& c = GetParam();
  const run_result r = run(c.args);
  EXPECT_EQ(r.status, 2) << join(c.args);
  EXPECT_EQ(r.out, "") << join(c.args);
  const std::vector<std::string> lines = lines_of(r.err);
  ASSERT_EQ(lines.size(), 1u) << join(c.args) << "\nstderr:\n" << r.err;
  EXPECT_EQ(lines[0].rfind("varnel-math: ", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find(c.problem), std::string::npos) << "expected '" << c.problem << "' in: " << lines[0];
  EXPECT_NE(lines[0].find("usage: varnel-math"), std::string::npos) << lines[0];
}

INSTANTIATE_TEST_SUITE_P(Cli, ErrorPath, ::testing::ValuesIn(error_cases));

TEST(Help, ListsFunctionsAndOptions) {
  for (const char* flag : {"--help", "-h"}) {
    const run_result r = run({flag});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    for (const char* text : {"copysign x y", "lround x", "long", "--float", "--long-double", "--compare", "--bits",
                             "--range A B N", "--data DIR", "--plots DIR", "report"}) {
      EXPECT_NE(r.out.find(text), std::string::npos) << flag << ": missing " << text;
    }
  }
}

// The version, and which build of the libraries the program runs on.
TEST(Version, NamesTheBuild) {
  const run_result r = run({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  const std::vector<std::string> lines = lines_of(r.out);
  ASSERT_EQ(lines.size(), 1u) << r.out;
  EXPECT_EQ(lines[0].rfind("varnel-math ", 0), 0u) << lines[0];
  const char* build = varnel::math::elementary::portable_build ? ", portable build: " : ", platform build: ";
  EXPECT_NE(lines[0].find(build), std::string::npos) << lines[0];
}

// --- report ------------------------------------------------------------------

void write_file(const std::filesystem::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary);
  out << text;
}

// copysign against hand-made references: exact ones, one reference moved up
// by exactly one ulp of 1 (2^-52), one by a quarter ulp through its low
// part, and a range the header marks as absolute error with an offset of
// 2^-60.
TEST(Report, AccuracyAgainstKnownReferences) {
  const auto data = scratch / "data";
  std::filesystem::create_directories(data);
  write_file(data / "copysign.tsv",
             "# copysign: hand-made\n"
             "# range exact: exact references\n"
             "# range shifted: references one ulp and a quarter ulp off\n"
             "# range near-zero: absolute error measured here (measure absolute error)\n"
             "exact\t0x1p+0\t-0x1p+0\t-0x1p+0\t0x0p+0\n"
             "exact\t0x1.8p+1\t0x1p+0\t0x1.8p+1\t0x0p+0\n"
             // both signs and a subnormal: a signed logarithmic x axis whose
             // smallest magnitude is 2^-1074
             "exact\t0x1p-1074\t0x1p+0\t0x1p-1074\t0x0p+0\n"
             "exact\t-0x1p+3\t0x1p+0\t0x1p+3\t0x0p+0\n"
             "shifted\t0x1p+0\t0x1p+0\t0x1.0000000000001p+0\t0x0p+0\n"
             "shifted\t0x1p+0\t0x1p+0\t0x1p+0\t0x1p-54\n"
             "near-zero\t0x1p-10\t0x1p+0\t0x1p-10\t0x1p-60\n");
  const auto plots = scratch / "plots";
  std::filesystem::remove_all(plots);
  const run_result r =
      run({"report", "--quick", "--reps", "1", "--data", data.string(), "--plots", plots.string(), "copysign", "fmax"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = lines_of(r.out);
  auto has = [&](const std::string& line) {
    for (const std::string& l : lines) {
      if (l == line) return true;
    }
    return false;
  };
  EXPECT_TRUE(has("| copysign | exact | 4 | 0.000 | 0.000 | 1, -1 | 0.000 | 0.000 |")) << r.out;
  // max 1 ulp, mean (1 + 0.25) / 2
  EXPECT_TRUE(has("| copysign | shifted | 2 | 1.000 | 0.625 | 1, 1 | 1.000 | 0.625 |")) << r.out;
  EXPECT_TRUE(
      has("| copysign | near-zero | 1 | 8.7e-19 abs | 8.7e-19 abs | 0.0009765625, 1 | 8.7e-19 abs | 8.7e-19 abs |"))
      << r.out;
  EXPECT_NE(r.out.find("No reference data"), std::string::npos);
  EXPECT_NE(r.out.find("fmax"), std::string::npos);
  // speed: one row per domain, four cells of numbers
  int speed_rows = 0;
  for (const std::string& l : lines) {
    if (l.rfind("| copysign | -10:10 |", 0) == 0 || l.rfind("| fmax | -10:10 |", 0) == 0) ++speed_rows;
  }
  EXPECT_EQ(speed_rows, 2) << r.out;
  // stderr: the closing summary only (not a terminal)
  const std::vector<std::string> err = lines_of(r.err);
  ASSERT_EQ(err.size(), 1u) << r.err;
  EXPECT_EQ(err[0].rfind("varnel-math report: 2 functions, 7 reference points", 0), 0u) << err[0];
  // one plot, for the function with data, with a panel per range
  ASSERT_TRUE(std::filesystem::exists(plots / "copysign.svg"));
  EXPECT_FALSE(std::filesystem::exists(plots / "fmax.svg"));
  const std::string svg = read_file(plots / "copysign.svg");
  EXPECT_EQ(svg.rfind("<svg ", 0), 0u);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
  EXPECT_EQ(svg.find("nan"), std::string::npos) << "a coordinate is not a number";
  for (const char* range : {">exact<", ">shifted<", ">near-zero<"}) {
    EXPECT_NE(svg.find(range), std::string::npos) << range;
  }
}

TEST(Report, FloatMembersUseTheFloatData) {
  const auto data = scratch / "data-f";
  std::filesystem::create_directories(data);
  // one float ulp at 1 is 2^-23: the reference 1 + 2^-23 is one float ulp away
  write_file(data / "copysignf.tsv", "r\t0x1p+0\t0x1p+0\t0x1.000002p+0\t0x0p+0\n");
  const run_result r = run({"report", "--float", "--quick", "--reps", "1", "--data", data.string(), "copysign"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("| copysignf | r | 1 | 1.000 | 1.000 | 1, 1 | 1.000 | 1.000 |"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("# varnel-math report (float)"), std::string::npos);
}

TEST(Report, BadDataFailsWithoutOutput) {
  const auto data = scratch / "data-bad";
  std::filesystem::create_directories(data);
  write_file(data / "copysign.tsv", "r\t0x1p+0\tnot-a-number\t0x1p+0\t0x0p+0\n");
  const run_result bad = run({"report", "--quick", "--data", data.string(), "copysign"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out, "");
  EXPECT_NE(bad.err.find("malformed number 'not-a-number'"), std::string::npos) << bad.err;

  const run_result missing = run({"report", "--quick", "--data", (scratch / "no-such-dir").string(), "copysign"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.out, "");
  EXPECT_NE(missing.err.find("no reference data directory"), std::string::npos) << missing.err;
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: cli_test PATH-TO-varnel-math [EMULATOR] [gtest options]\n");
    return 2;
  }
  program = argv[1];
  if (argc > 2) launcher = argv[2];
  scratch = std::filesystem::temp_directory_path() / ("varnel-cli-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(scratch);
  const int status = RUN_ALL_TESTS();
  std::filesystem::remove_all(scratch);
  return status;
}
