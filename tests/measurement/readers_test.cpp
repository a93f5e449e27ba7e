#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <string>

#include "measurement/read_measurement.h"

namespace quillet::measurement {
namespace {

// Text as spreadsheets save "Unicode text": a byte-order mark, then UTF-16.
std::string Utf16(std::string_view ascii, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : ascii) {
        bytes += bigEndian ? '\0' : c;
        bytes += bigEndian ? c : '\0';
    }
    return bytes;
}

struct GoodCase {
    const char* what;
    const char* file;
    std::string text;
    double frequencyMHz;
    std::complex<double> impedance;  // of the first point
    std::size_t points;
};

TEST(ReadMeasurement, ReadsEveryFormOfOnePortData) {
    const GoodCase cases[] = {
        {"S real/imaginary in MHz", "a.s1p", "# MHz S RI R 50\n1 0.2 0\n", 1, 75, 1},
        {"S magnitude/angle in kHz", "a.s1p", "# kHz S MA R 50\n150 0.2 0\n", 0.15, 75, 1},
        {"S in dB", "a.s1p", "# Hz S DB R 50\n1e6 -13.979400086720377 0\n", 1, 75, 1},
        {"S at 180 degrees", "a.s1p", "# MHz S MA R 50\n1 0.2 180\n", 1, 50.0 * 0.8 / 1.2, 1},
        {"defaults: GHz, S, MA, R 50", "a.s1p", "1 0.2 0\n", 1000, 75, 1},
        {"another reference", "a.s1p", "# GHz S RI R 75\n0.001 0 0\n", 1, 75, 1},
        {"version 1 Z is normalised", "a.s1p", "# Hz Z RI R 50\n1e6 1.5 0.5\n", 1, {75, 25}, 1},
        {"version 1 Y is normalised", "a.s1p", "# Hz Y RI R 50\n1e6 0.5 0\n", 1, 100, 1},
        {"options in any order and case", "a.s1p", "# ri r 50 s mhz\n1 0.2 0\n", 1, 75, 1},
        {"comments, tabs and CR LF", "a.s1p", "! c\r\n  # mhz  s  ri  r 50 ! tail\r\n\r\n 1\t0.2   0 ! x\r\n2 0 0\r\n",
         1, 75, 2},
        {"only the first option line counts", "a.s1p", "# MHz S RI R 50\n# GHz Z MA R 10\n1 0.2 0\n", 1, 75, 1},
        {"version 2 Z in ohm",
         "a.ts",
         "[Version] 2.0\n# MHz Z RI\n[Number of Ports] 1\n[Number of Frequencies] 2\n[Network Data]\n1 75 25\n2 80 0\n"
         "[End]\n",
         1,
         {75, 25},
         2},
        {"version 2 Y in siemens", "a.ts",
         "[Version] 2.0\n# MHz Y RI R 50\n[Number of Ports] 1\n[Network Data]\n1 0.01 0\n", 1, 100, 1},
        {"version 2 reference", "a.ts",
         "[Version] 2.0\n# MHz S RI R 50\n[Number of Ports] 1\n[Reference] 75\n[Matrix Format] Full\n"
         "[Begin Information]\nanything\n[End Information]\n[Network Data]\n1 0.2 0\n",
         1, 112.5, 1},
        {"version 2 by content", "measurement.dat",
         "[Version] 2.0\n# MHz S RI\n[Number of Ports] 1\n[Network Data]\n1 0.2 0\n", 1, 75, 1},
        {"version 2.1, reference on the next line", "a.ts",
         "[Version] 2.1\n# MHz S RI R 50\n[Number of Ports] 1\n[Reference]\n75\n[Network Data]\n1 0.2 0\n", 1, 112.5,
         1},
        {"a frequency repeated where segments meet", "a.s1p", "# MHz Z RI R 1\n1 50 0\n2 60 0\n2 61 0\n3 62 0\n", 1, 50,
         4},
        {"CR line ends and an end-of-file byte", "a.s1p", "# MHz S RI R 50\r1 0.2 0\r2 0 0\r\x1A", 1, 75, 2},
        {"Windows-1252 in a comment", "a.s1p",
         "! 23 \xB0"
         "C, Stra\xDF"
         "e\n# MHz S RI R 50\n1 0.2 0\n",
         1, 75, 1},
        {"UTF-16 after its byte-order mark", "a.s1p", Utf16("# MHz S RI\r\n1 .2 0\r\n", false), 1, 75, 1},
        {"UTF-16 big-endian", "a.s1p", Utf16("# MHz\n1 0 0", true), 1, 50, 1},
        {"CSV with a header", "a.csv", "f (MHz),|Z| (ohm),phase (deg)\n0.15,75,0\n1,50,90\n", 0.15, 75, 2},
        {"CSV with semicolons", "a.csv", "0.15; 75; 0\n1;50;90\n", 0.15, 75, 2},
        {"CSV by content", "a.dat", "1,100,90\n", 1, {0, 100}, 1},
        {"remarks then data are delimited text, whatever the name", "-", "! AN 1\n1 100 90\n", 1, {0, 100}, 1},
        {"Touchstone saved as .txt", "a.txt", "! VNA export\n# MHz S RI R 50\n1 0.2 0\n", 1, 75, 1},
        {"CSV after a byte-order mark", "a.csv",
         "\xEF\xBB\xBF"
         "f (MHz),|Z|,phase (deg)\n1,100,0\n",
         1, 100, 1},
        {"a phase of many turns", "a.csv", "1,100,1e308\n", 1,
         std::polar(100.0, std::fmod(1e308, 360.0) * std::numbers::pi / 180), 1},
        {"version 1 Z MA at R 75", "a.s1p", "# MHz Z MA R 75\n1 2 90\n", 1, {0, 150}, 1},
        {"version 1 Y DB at R 75", "a.s1p", "# MHz Y DB R 75\n1 -6.020599913279624 0\n", 1, 150, 1},
        {"version 2 Z MA ignores R",
         "a.ts",
         "[Version] 2.0\n# MHz Z MA R 75\n[Number of Ports] 1\n[Network Data]\n1 2 90\n",
         1,
         {0, 2},
         1},
        {"information blocks hold free text", "a.ts",
         "[Version] 2.0\n# MHz S RI\n[Begin Information]\n# not an option line\n[Anything]\n[End Information]\n"
         "[Number of Ports] 1\n[Network Data]\n1 0.2 0\n",
         1, 75, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Measurement m = ReadMeasurement(c.text, c.file);
        ASSERT_EQ(m.points.size(), c.points);
        EXPECT_NEAR(m.points[0].frequencyMHz, c.frequencyMHz, 1e-12 * c.frequencyMHz);
        EXPECT_NEAR(m.points[0].impedance.real(), c.impedance.real(), 1e-9 * std::abs(c.impedance) + 1e-12);
        EXPECT_NEAR(m.points[0].impedance.imag(), c.impedance.imag(), 1e-9 * std::abs(c.impedance) + 1e-12);
    }
}

struct BadCase {
    const char* file;
    std::string text;
    const char* message;  // a part of what the error says
    int line;             // 0: about the file as a whole
};

TEST(ReadMeasurement, NamesFileLineAndWhatWasExpected) {
    const BadCase cases[] = {
        {"a.s1p", "", "the file is empty", 0},
        {"a.s1p", "! only comments\n# MHz S RI R 50\n", "no data points", 0},
        {"a.csv", "f,|Z|,phase\n", "no data points", 0},
        {"a.bin",
         std::string("\x7f"
                     "ELF\x01\x00\x02",
                     7),
         "not a text file", 1},
        {"a.s1p", std::string("# MHz S RI R 50\n1 0 0\n") + '\0', "not a text file (control byte 0x00)", 3},
        {"a.s1p", "# MHz S RI R 50\n1 0 0\n\x81\n", "neither UTF-8 nor Windows-1252", 3},
        {"a.s1p", std::string("\xFF\xFE\0\0#\0\0\0", 8), "UTF-32", 1},
        {"a.s1p", Utf16("# MHz S RI\n1 0 0", false) + '1', "within a UTF-16 character", 2},
        {"a.s1p",
         "# MHz S RI R 50\n1 0 0\x1A"
         "2 0 0\n",
         "after the end-of-file byte", 2},
        {"a.s2p", "# MHz S RI R 50\n1 0 0 0 0 0 0 0 0\n", "more than one port", 0},
        {"a.s1p", "# MHz S RI R 50\n1 0.2 0 0.1 0.3\n", "more than one port", 2},
        {"a.s1p", "# MHz S RI R 50\n1 0.2\n", "a frequency and two values", 2},
        {"a.s1p", "# MHz S RI\n2 0 0\n1 0 0\n", "frequencies must rise", 3},
        {"a.s1p", "# MHz S RI\n1 0 0\n1 0 0\n1 0 0\n", "a frequency given three times", 4},
        {"a.s1p", "# MHz GHz S RI\n1 0 0\n", "two frequency units, 'MHz' and 'GHz'", 1},
        {"a.s1p", "# MHz S RI MA\n1 0 0\n", "two formats", 1},
        {"a.s1p", "# MHz S Z RI\n1 0 0\n", "two parameters", 1},
        {"a.s1p", "# MHz S RI R 50 R 75\n1 0 0\n", "two reference resistances", 1},
        {"a.ts", "[Version] 2.0\n# MHz S RI\n[Number of Ports] 1\n[Reference]\n[Network Data]\n", "after [Reference]",
         5},
        {"a.s1p", "# MHz S RI\n-1 0 0\n", "negative frequency", 2},
        {"a.s1p", "# MHz S RI\n1 nan 0\n", "not a finite number", 2},
        {"a.s1p", "# MHz S RI\n1 0 -inf\n", "not a finite number", 2},
        {"a.s1p", "# MHz S RI\n1 1e999 0\n", "not a finite number", 2},
        {"a.s1p", "# MHz S RI\n1 0,2 0\n", "not a finite number", 2},
        {"a.s1p", "# MHz S RI X 50\n1 0 0\n", "unknown option 'X'", 1},
        {"a.s1p", "# MHz G RI\n1 0 0\n", "not one-port data", 1},
        {"a.s1p", "# MHz S RI R\n1 0 0\n", "reference resistance", 1},
        {"a.s1p", "# MHz S RI R -50\n1 0 0\n", "reference resistance", 1},
        {"a.s1p", "# MHz S RI\n1 1 0\n", "open circuit", 2},
        {"a.s1p", "# MHz Y RI\n1 0 0\n", "open circuit", 2},
        {"a.s1p", "[Number of Ports] 1\n1 0 0\n", "without [Version] 2.0", 1},
        {"a.ts", "[Version] 3.0\n", "not supported", 1},
        {"a.ts", "[Version] 2.0\n[Number of Ports] 1\n[Network Data]\n1 0.2 0\n", "option line", 2},
        {"a.ts", "[Version] 2.0\n[Reference] 75\n# MHz S RI R 50\n", "right after [Version]", 2},
        {"a.ts", "[Version] 2.0\n# MHz S RI\n[Number of Ports] 1\n[Number of Frequencies] 1e300\n", "whole number", 4},
        {"a.s1p", "1 0.2 0\n# MHz Z RI R 50\n2000 1 0\n", "option line must come before the data", 2},
        {"a.s1p", "# GHz S RI\n1e306 0.2 0\n", "frequency too large", 2},
        {"a.s1p", "# MHz S MA\n1 -0.2 0\n", "negative magnitude", 2},
        {"a.s1p", "# MHz Z RI R 1e300\n1 1e300 0\n", "no finite impedance", 2},
        {"a.csv", "1O,50,0\n", "three numbers", 1},
        {"a.ts", "[Version] 2.0\n# MHz S RI\n[Network Data]\n1 0.2 0\n", "[Number of Ports] 1", 3},
        {"a.ts", "[Version] 2.0\n# MHz S RI\n[Number of Ports] 2\n", "one-port data only", 3},
        {"a.ts", "[Version] 2.0\n# MHz S RI\n[Number of Ports] 1\n1 0.2 0\n", "[Network Data]", 4},
        {"a.ts", "[Version] 2.0\n# MHz S RI\n# MHz S RI\n", "a second option line", 3},
        {"a.ts", "[Version] 2.0\n# MHz S RI\n[Number of Ports] 1\n[Mixed-Mode Order] D2,1\n", "not supported", 4},
        {"a.ts", "[Version] 2.0\n# MHz S RI\n[Number of Ports] 1\n[Noise Data]\n", "noise data", 4},
        {"a.ts", "[Version] 2.0\n# MHz S RI\n[Number of Ports] 1\n[Number of Frequencies] 3\n[Network Data]\n1 0 0\n",
         "says 3, the file has 1", 0},
        {"a.ts", "[Version] 2.0\n# MHz S RI\n[Number of Ports] 1\n[Reference] 50 75\n", "one positive reference", 4},
        {"a.ts", "[Version 2.0\n", "keyword in brackets", 1},
        {"a.csv", "1,2\n", "three numbers", 1},
        {"a.csv", "0.15,39.26,54.85\n1,2,3,4\n", "found 4 field(s)", 2},
        {"a.csv", "1,5,39,26,54,85\n", "with a point, not a comma", 1},
        {"a.csv", "f,m,p\n1,50,0\n", "column 1 'f'", 1},
        {"a.csv", "1,50,0\n0.5,50,0\n", "frequencies must rise", 2},
        {"a.csv", "-1,50,0\n", "negative frequency", 1},
        {"a.csv", "1,-50,0\n", "negative magnitude", 1},
        {"a.csv", "1,nan,0\n", "three numbers", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            ReadMeasurement(c.text, c.file);
            ADD_FAILURE() << "read without an error";
        } catch (const ReadError& error) {
            const std::string what = error.what();
            const std::string where = std::string(c.file) + (c.line > 0 ? ":" + std::to_string(c.line) : "") + ": ";
            EXPECT_EQ(what.rfind(where, 0), 0u) << what;
            EXPECT_NE(what.find(c.message), std::string::npos) << what;
        }
    }
}

TEST(ReadMeasurementFile, SaysWhenThereIsNoFile) {
    EXPECT_THROW(ReadMeasurementFile("/nonexistent/sweep.s1p"), ReadError);
    EXPECT_THROW(ReadMeasurementFile("/"), ReadError);
}

}  // namespace
}  // namespace quillet::measurement
