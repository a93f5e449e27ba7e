#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <string>

#include "measurement/csv_columns.h"
#include "measurement/read_measurement.h"

namespace quillet::measurement {
namespace {

ReadOptions WithColumns(const char* list) { return list ? ReadOptions{ParseColumnList(list)} : ReadOptions{}; }

struct Dialect {
    const char* what;
    const char* text;
    const char* columns;  // --columns, or none
    double frequencyMHz;
    std::complex<double> impedance;  // of the first point
    std::size_t points;
    const char* note;  // a part of the one note expected, or none
};

TEST(ReadCsv, ReadsEachDialectAsItsFileMeansIt) {
    const double deg = std::numbers::pi / 180;
    const Dialect cases[] = {
        {"Hz, real and imaginary parts",
         "Frequency (Hz),Re(Z) (Ohm),Im(Z) (Ohm)\n150000,50,-5\n1e6,51,0\n",
         nullptr,
         0.15,
         {50, -5},
         2,
         nullptr},
        {"German words, kHz, semicolons and decimal commas, ohm and degree signs",
         "Frequenz [kHz];Betrag [\xCE\xA9];Phase [\xC2\xB0]\n150;39,26;54,85\n", nullptr, 0.15,
         std::polar(39.26, 54.85 * deg), 1, nullptr},
        {"underscored units, tabs, radians, the other ohm sign", "f_GHz\t|Z|_\xE2\x84\xA6\targ(Z)_rad\n0.001\t100\t7\n",
         nullptr, 1, std::polar(100.0, 7 - 2 * std::numbers::pi), 1, nullptr},
        {"S11 in dB", "Freq (MHz),S11 (dB),S11 phase (deg)\n1,-13.979400086720377,0\n", nullptr, 1, 75, 1, nullptr},
        {"|S11| against the header's Z0", "Frequency/MHz,|S11| (Z0 = 75 Ohm),Phase (deg)\n1,0.2,0\n", nullptr, 1, 112.5,
         1, nullptr},
        {"S11 real and imaginary parts", "f in GHz,Re(S11),Im(S11)\n0.001,0.2,0\n", nullptr, 1, 75, 1, nullptr},
        {"resistance and reactance",
         "Frequency (MHz),Resistance (ohms),Reactance (ohms)\n1,50,5\n",
         nullptr,
         1,
         {50, 5},
         1,
         nullptr},
        {"quotes, a quoted title and trailing separators",
         "\"Sweep \"\"AN 1\"\", 2024\"\n\"Frequency (MHz)\",\"|Z| (Ohm)\",\"Phase (deg)\",\n\"0.15\",\"75\",\"0\",\n",
         nullptr, 0.15, 75, 1, nullptr},
        {"a title, remarks, blank and empty rows",
         "AN 3 sweep\n\nFrequency (MHz);Z (Ohm);Phase (deg)\n# probe B\n"
         "0,15;75;0\n;;\n1;50;0\n",
         nullptr, 0.15, 75, 2, nullptr},
        {"blanks between the columns and inside the names",
         "Frequency (Hz)   |Z| (Ohm)   Phase (deg)\n1e6  75  0\n2e6 75 0\n", nullptr, 1, 75, 2, nullptr},
        {"a header written as a remark", "# created by the VNA\n# Freq [Hz]  Re(Z) [Ohm]  Im(Z) [Ohm]\n1e6 75 0\n",
         nullptr, 1, 75, 1, nullptr},
        {"--columns over a header it cannot read", "Index,When,a,b\n1,1e6,-13.979400086720377,0\n",
         "-,f:Hz,s-mag:dB,s-phase:deg,z0=75", 1, 112.5, 1, nullptr},
        {"--columns without a header", "1e3\t100\t1.5\n", "F:kHz, MAG, Phase:Rad", 1, std::polar(100.0, 1.5), 1,
         nullptr},
        {"no header: MHz, with a word on frequencies far above an AN's", "150000,50,0\n30000000,50,0\n", nullptr,
         150000, 50, 2, "up to 3e+07 MHz, far above"},
        {"no header, kHz values read as MHz: a word all the same", "150,50,0\n30000,50,0\n", nullptr, 150, 50, 2,
         "far above"},
        {"no header, a remark: MHz, with a word on frequencies far below", "# swept 1 to 9 kHz\n0.001,50,0\n", nullptr,
         0.001, 50, 1, "down to 0.001 MHz, far below"},
        {"S11 phase written as S11 with an angle, and the ordinal sign for degrees",
         "Freq (MHz);S11 (dB);S11 (\xC2\xBA)\n1;-13,979400086720377;0\n", nullptr, 1, 75, 1, nullptr},
        {"a Z0 outside the header that agrees with it", "! Z0=75\nFreq (MHz),|S11| (Z0=75),Phase (deg)\n1,0.2,0\n",
         nullptr, 1, 112.5, 1, nullptr},
        {"Z0 in other spellings, agreeing with the header",
         "! Z0: 75 Ohm\nZ0,75\nFreq (MHz),|S11| (Z0=75),Phase (deg)\n1,0.2,0\n", nullptr, 1, 112.5, 1, nullptr},
        {"a Touchstone file saved as cells", "#,MHz,S,MA,R,75\n1,0.2,0\n", nullptr, 1, 112.5, 1, nullptr},
        {"a Touchstone file saved as cells with decimal commas",
         "!;AN 1\n#;kHz;Z;RI;R;50\n1000;1,5;0,1\n",
         nullptr,
         1,
         {75, 5},
         1,
         nullptr},
        {"a date above the header", "2024-05-06 10:11:12\nFrequency (MHz),|Z| (ohm),Phase (deg)\n1,75,0\n", nullptr, 1,
         75, 1, nullptr},
        {"a data block between BEGIN and END, remarks around it",
         "VNA export\nTrace: S11\nBEGIN CH1_DATA\nFreq(Hz),S11(DB),S11(DEG)\n1e6,-13.979400086720377,0\nEND\n201 "
         "points\n",
         nullptr, 1, 75, 1, nullptr},
        {"a header above the block, a stimulus column",
         "Stimulus (kHz),Re(Z) (ohm),Im(Z) (ohm)\nBEGIN\n1000,50,5\nEND\n",
         nullptr,
         1,
         {50, 5},
         1,
         nullptr},
        {"remarks in passing, a model number, titles that only look like a date or a block",
         "! Temperature 23 deg C, frequency sweep linear\n# Model S21-100 LISN\n06-May-2024 10:11:12\n"
         "Begin of measurement\nFrequency (MHz),|Z| (ohm),Phase (deg)\n1,50,0\n",
         nullptr, 1, 50, 1, nullptr},
        {"a Touchstone file saved as quoted cells after an empty row",
         ";;;\n\"#\",\"MHz\",\"S\",\"MA\",\"R\",\"75\"\n1,0.2,0\n", nullptr, 1, 112.5, 1, nullptr},
        {"a parameter other than S11 named, and --columns", "! S21\n1,0.2,0\n", "f:MHz,s-mag:lin,s-phase:deg", 1, 75, 1,
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Measurement m = ReadMeasurement(c.text, "a.csv", WithColumns(c.columns));
        ASSERT_EQ(m.points.size(), c.points);
        EXPECT_NEAR(m.points[0].frequencyMHz, c.frequencyMHz, 1e-12 * c.frequencyMHz);
        EXPECT_NEAR(m.points[0].impedance.real(), c.impedance.real(), 1e-9 * std::abs(c.impedance) + 1e-12);
        EXPECT_NEAR(m.points[0].impedance.imag(), c.impedance.imag(), 1e-9 * std::abs(c.impedance) + 1e-12);
        if (c.note) {
            ASSERT_EQ(m.notes.size(), 1u);
            EXPECT_NE(m.notes[0].find(c.note), std::string::npos) << m.notes[0];
        } else {
            EXPECT_TRUE(m.notes.empty()) << m.notes[0];
        }
    }
}

struct Refused {
    const char* text;
    const char* columns;
    const char* message;  // a part of what the error says
    int line;
};

TEST(ReadCsv, RefusesWhatItCannotReadWithoutGuessing) {
    const Refused cases[] = {
        {"Frequency,|Z| (Ohm),Phase (deg)\n1,2,3\n", nullptr, "'Frequency': the frequency column gives no unit", 1},
        {"Frequency (MHz),|Z| (Ohm),Phase\n1,2,3\n", nullptr, "a phase column gives no unit", 1},
        {"Time (s),|Z| (Ohm),Phase (deg)\n1,2,3\n", nullptr, "the unit 's' is not understood", 1},
        {"Freq (MHz),Mag,Phase (deg)\n1,2,3\n", nullptr, "column 2 'Mag' does not say whether it holds Z or S11", 1},
        {"Freq (MHz),Index,|Z|,Phase (deg)\n1,2,3,4\n", nullptr, "column 2 'Index': not understood", 1},
        {"Freq (MHz),S11,Phase (deg)\n1,2,3\n", nullptr, "'S11' alone", 1},
        {"Freq (MHz),|Z| (Ohm),|Z| (Ohm)\n1,2,3\n", nullptr, "columns 2 and 3 both hold the Z magnitude", 1},
        {"Freq (MHz),|Z| (Ohm),Im(Z) (Ohm)\n1,2,3\n", nullptr, "no column holds the Z phase", 1},
        {"Freq (MHz),|Z| (dB),Phase (deg)\n1,2,3\n", nullptr, "does not fit this column", 1},
        {"Freq (MHz),|S11| (Z0=50),Phase (deg) Z0=75\n1,2,3\n", nullptr, "a second, different reference", 1},
        {"Freq (MHz),S11 (dB),S11 phase (deg)\n1,0,0\n", nullptr, "open circuit", 2},
        {"Freq (GHz),|Z|,Phase (deg)\n1e306,50,0\n", nullptr, "frequency too large", 2},
        {"Freq (MHz),|Z|,Phase (deg)\n1,50,0\n2,50\n", nullptr, "found 2 field(s)", 3},
        {"Freq (MHz),|Z|,Phase (deg)\n1,\"50,0\n", nullptr, "not closed on its line", 2},
        {"1;50,5.0;0\n", nullptr, "field 2 '50,5.0' is not a finite number", 1},
        {"1,50,0\n# a remark\nfreq,z,phase\n", nullptr, "expected three numbers", 3},
        {"Frequency (Hz)\t|Z| (ohm)\tPhase (deg)\n9,000\t36.056\t33.690\n", nullptr,
         "field 2 '36.056' has a decimal point, but line 2 has a decimal comma", 2},
        {"Frequenz (Hz);Betrag (Ohm);Phase (deg)\n9.000;36,056;33,690\n", nullptr, "may group thousands", 2},
        {"Freq (Hz);|Z|;Phase (deg)\n1,5;50;0\n2.5;50;0\n", nullptr, "line 2 has a decimal comma", 3},
        {"# Frequency (kHz), |Z| (ohm), Phase (deg)\n# Freq (MHz), Re(Z), Im(Z)\n150,36,33\n", nullptr,
         "two comments look like the header (lines 1 and 2)", 2},
        {"! Frequency (Hz) |Z| (ohm) Phase (deg)\n150000 36.056 33.69\n", nullptr,
         "names columns, but not one for each of the 3 fields", 1},
        {"! S11 of AN 2, Z0=75 ohm\nFreq (MHz),S11 (dB),S11 phase (deg)\n1,-10,0\n", nullptr,
         "Z0=75 stands outside the header, and S11 would be read against 50 ohm", 1},
        {"\"0.15,36.056,33.69\n", nullptr, "not closed on its line", 1},
        {"1,2,3,4\n", "f:MHz,re,im", "expected three numbers: frequency (MHz), Re(Z) (ohm), Im(Z) (ohm), found 4", 1},
        {"1,x,2\n", "f:MHz,-,re,im", "expected four fields", 1},
        {"# freq s11_mag s11_phase\n1 0.2 30\n", nullptr, "'freq': the frequency column gives no unit", 1},
        {"# Frequency, Re(Z), Im(Z)\n1 50 5\n", nullptr, "'Frequency': the frequency column gives no unit", 1},
        {"! Z0: 75 Ohm\n1,50,0\n", nullptr, "states a reference impedance (Z0=75)", 1},
        {"1,50,0\n# Z0 = 75\n", nullptr, "states a reference impedance (Z0=75)", 2},
        {"Z0,75\nFreq (MHz),S11 (dB),S11 phase (deg)\n1,-10,0\n", nullptr, "Z0=75 stands outside the header", 1},
        {"! Trace: S21\nFrequency (MHz),Magnitude (dB),Phase (deg)\n1,-10,0\n", nullptr, "names S21", 1},
        {"! S11 of AN 1\n1,50,0\n", nullptr, "names S11, but no header says how", 1},
        {"AN 1\n#,MHz,S,MA,R,50\n1,0.2,0\n", nullptr, "a Touchstone option line below other lines", 2},
        {"BEGIN\nFreq (MHz),|Z| (ohm),Phase (deg)\n1,50,0\n", nullptr, "no END line", 1},
        {"1,-20,0\n! Z0=75\n", "f:MHz,s-mag:dB,s-phase:deg", "Z0=75 stands outside the header", 2},
        {"Frequency (MHz),\"|S11| (dB, Z0=75)\",Phase (deg)\n1,-20,0\n", "f:MHz,s-mag:dB,s-phase:deg",
         "Z0=75 stands outside the header", 1},
        {"Z0 (Ohm),75\nFreq (MHz),S11 (dB),S11 phase (deg)\n1,-20,0\n", nullptr, "Z0=75 stands outside", 1},
        {"! Calibration: S11, Trace: S(2,1)\nFrequency (MHz),Magnitude (dB),Phase (deg)\n1,-10,0\n", nullptr,
         "names S21", 1},
        {"# kHz Ohm Deg\n150,50,10\n", nullptr, "names columns, but not one for each of the 3 fields", 1},
        {"#;kHz;S;MA;R;50\n1.000;0,2;0\n", nullptr, "has a decimal comma, but line 2 has a decimal point", 2},
        {"BEGIN\nFreq (MHz),|Z| (ohm),Phase (deg)\n1,50,0\nEND\nBEGIN\n", nullptr, "a second data block", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            ReadMeasurement(c.text, "a.csv", WithColumns(c.columns));
            ADD_FAILURE() << "read without an error";
        } catch (const ReadError& error) {
            const std::string what = error.what();
            EXPECT_EQ(what.rfind("a.csv:" + std::to_string(c.line) + ": ", 0), 0u) << what;
            EXPECT_NE(what.find(c.message), std::string::npos) << what;
        }
    }
}

TEST(ParseColumnList, SaysWhatIsWrong) {
    const std::pair<const char*, const char*> cases[] = {
        {"f,mag,phase:deg", "f:Hz, f:kHz, f:MHz or f:GHz"},
        {"f:Hz,mag,phase", "phase:deg or phase:rad"},
        {"f:Hz,mag:dB,phase:deg", "ohm only"},
        {"f:Hz,mag", "no column holds the Z phase"},
        {"f:Hz,f:MHz,re,im", "columns 1 and 2 both hold the frequency"},
        {"f:Hz,mag,phase:deg,z0=75", "z0 applies to S11 columns only"},
        {"f:Hz,s-re,s-im,z0=-1", "a positive number"},
        {"f:Hz,re,im,x", "item 'x': expected f:<unit>"},
    };
    for (const auto& [list, message] : cases) {
        SCOPED_TRACE(list);
        try {
            ParseColumnList(list);
            ADD_FAILURE() << "accepted";
        } catch (const std::invalid_argument& error) {
            EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
        }
    }
}

}  // namespace
}  // namespace quillet::measurement
