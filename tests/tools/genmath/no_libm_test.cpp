// No generator calls the C library's transcendental functions, whose rounding differs between
// C libraries: their undefined symbols, listed by nm, name none of them. The scan itself is
// checked on this test program, which calls sin on purpose.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

namespace {

// The C library's functions that are not exactly rounded (float and long double forms too).
const char *const kInexact[] = {"sin",    "cos",  "tan",   "sincos", "asin",  "acos",  "atan",
                                "atan2",  "sinh", "cosh",  "tanh",   "asinh", "acosh", "atanh",
                                "exp",    "exp2", "exp10", "expm1",  "log",   "log2",  "log10",
                                "log1p",  "pow",  "cbrt",  "hypot",  "erf",   "erfc",  "tgamma",
                                "lgamma", "rand", "srand", "random"};

// The undefined symbols of a program, without their version suffix; empty when nm fails.
std::set<std::string> Undefined(const std::string &program) {
    std::set<std::string> names;
    FILE *p = popen(("\"" FW_NM "\" -u \"" + program + "\" 2>/dev/null").c_str(), "r");
    if (!p) return names;
    char line[512];
    while (std::fgets(line, sizeof line, p)) {
        std::string s(line);
        const size_t u = s.find(" U ");
        if (u == std::string::npos) continue;
        s = s.substr(u + 3);
        s = s.substr(0, s.find_first_of("@\n"));
        names.insert(s);
    }
    pclose(p);
    return names;
}

// Which of kInexact (in any precision) the program calls.
std::string Inexact_Calls(const std::set<std::string> &names) {
    std::string found;
    for (const char *f : kInexact)
        for (const std::string &form : {std::string(f), std::string(f) + "f", std::string(f) + "l"})
            if (names.count(form)) found += form + " ";
    return found;
}

volatile double sink = 0.5;

} // namespace

TEST(NoLibm, TheScanSeesACallToSin) {
    if (std::string(FW_NM).empty()) GTEST_SKIP() << "no nm in this build's tool chain";
    sink = std::sin(sink); // a real call: sink is volatile
    // The file of this very program (a path given to the shell would name the shell).
    const std::set<std::string> own = Undefined(std::filesystem::read_symlink("/proc/self/exe"));
    ASSERT_FALSE(own.empty()) << FW_NM << " lists nothing for this test";
    EXPECT_NE(Inexact_Calls(own).find("sin "), std::string::npos);
}

TEST(NoLibm, GeneratorsCallNoInexactMaths) {
    if (std::string(FW_NM).empty()) GTEST_SKIP() << "no nm in this build's tool chain";
    for (const char *program : {FW_GENART, FW_GENSOUND}) {
        SCOPED_TRACE(program);
        const std::set<std::string> names = Undefined(program);
        ASSERT_FALSE(names.empty()) << FW_NM << " lists nothing";
        EXPECT_EQ(Inexact_Calls(names), "");
    }
}
