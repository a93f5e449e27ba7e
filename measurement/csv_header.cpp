#include "measurement/csv_header.h"

#include <algorithm>
#include <optional>
#include <set>
#include <stdexcept>

#include "measurement/text_lines.h"

namespace quillet::measurement {
namespace {

using Q = ColumnQuantity;

// A fault that already says how to write the column right.
[[noreturn]] void Unstated(const std::string& what) { throw std::invalid_argument(what + std::string(kOrColumns)); }
// A fault that does not.
[[noreturn]] void NotUnderstood(const std::string& what) {
    throw std::invalid_argument(what + std::string(kHowToState));
}

enum class Subject { Unknown, Z, S };
enum class Part { Frequency, Magnitude, Decibels, Phase, Real, Imaginary };

struct Cell {
    Part part;
    Subject subject;
    std::string unit;  // canonical: hz khz mhz ghz ohm deg rad db lin, or empty
};

// Lower case, with the signs for ohm and degree and the German umlaut
// spelled out, so that the words below can be plain ASCII.
std::string Normalised(std::string_view cell) {
    static const std::pair<std::string_view, std::string_view> kSpelled[] = {
        {"\xCE\xA9", "ohm"}, {"\xE2\x84\xA6", "ohm"}, {"\xC2\xB0", "deg"},  {"\xC2\xBA", "deg"},
        {"\xC3\xA4", "ae"},  {"\xC3\x84", "ae"},      {"\xE2\x82\x80", "0"}};
    std::string text = Lowercase(cell);
    for (const auto& [sign, spelled] : kSpelled) {
        for (auto at = text.find(sign); at != std::string::npos; at = text.find(sign, at + spelled.size()))
            text.replace(at, sign.size(), spelled);
    }
    return text;
}

bool IsAlphanumeric(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// The names a reference impedance goes by in headers, remarks and
// metadata rows, lower case.
constexpr std::string_view kReferenceNames[] = {"z0",
                                                "z_0",
                                                "zref",
                                                "z_ref",
                                                "reference impedance",
                                                "ref. impedance",
                                                "ref impedance",
                                                "characteristic impedance",
                                                "system impedance"};

// Where the first name of a reference stands as a word of its own.
std::pair<std::size_t, std::size_t> FindReferenceName(const std::string& text) {
    std::pair<std::size_t, std::size_t> first{std::string::npos, 0};
    for (const std::string_view name : kReferenceNames) {
        for (std::size_t at = text.find(name); at != std::string::npos && at < first.first;
             at = text.find(name, at + 1)) {
            const std::size_t end = at + name.size();
            const bool alone =
                (at == 0 || !IsAlphanumeric(text[at - 1])) && (end == text.size() || !IsAlphanumeric(text[end]));
            if (alone) {
                first = {at, name.size()};
                break;
            }
        }
    }
    return first;
}

// Takes a reference out of the text and gives its value: "Z0=75",
// "Z0 = 75 ohm", "Z0: 75 Ohm", "Z0,75" (a metadata row), "Reference
// impedance 75".
std::optional<double> TakeReference(std::string& text) {
    const auto [at, length] = FindReferenceName(text);
    if (at == std::string::npos)
        return std::nullopt;
    std::size_t i = at + length;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '"'))
            ++i;
    };
    skipBlanks();
    // "Z0 (Ohm): 75", "Z0 [Ohm],75": the unit may come before the value.
    for (const std::string_view unit : {"(ohm)", "[ohm]", "(ohms)", "[ohms]"}) {
        if (text.compare(i, unit.size(), unit) == 0) {
            i += unit.size();
            skipBlanks();
        }
    }
    if (i < text.size() && std::string_view("=:,;").find(text[i]) != std::string_view::npos)
        ++i;
    skipBlanks();
    const std::size_t start = i;
    while (i < text.size() && std::string_view("0123456789.+-e").find(text[i]) != std::string_view::npos)
        ++i;
    const std::optional<double> value = StrictNumber(std::string_view(text).substr(start, i - start));
    skipBlanks();
    if (text.compare(i, 3, "ohm") == 0)
        i += text.compare(i, 4, "ohms") == 0 ? 4 : 3;
    if (!value || !(*value > 0))
        Unstated("expected the reference as Z0=<ohm>, such as Z0=75");
    text.erase(at, i - at);
    return value;
}

std::string Canonical(std::string_view unit) {
    const std::string u(Trim(unit));
    static const std::pair<const char*, const char*> kUnits[] = {
        {"hz", "hz"},      {"khz", "khz"},     {"mhz", "mhz"},    {"ghz", "ghz"},     {"ohm", "ohm"},
        {"ohms", "ohm"},   {"deg", "deg"},     {"degree", "deg"}, {"degrees", "deg"}, {"rad", "rad"},
        {"radian", "rad"}, {"radians", "rad"}, {"db", "db"},      {"lin", "lin"},     {"linear", "lin"}};
    for (const auto& [name, canonical] : kUnits) {
        if (u == name)
            return canonical;
    }
    return {};
}

// Without blanks and joining marks: "Z mag" and "z_mag" both read "zmag".
std::string Compact(std::string_view text) {
    std::string compact;
    for (const char c : text) {
        if (std::string_view(" \t_-.:").find(c) == std::string_view::npos)
            compact += c;
    }
    return compact;
}

bool IsFrequencyWord(std::string_view word) {
    return word == "f" || word == "freq" || word == "frequency" || word == "frequenz" || word == "stimulus";
}

bool IsSubject(std::string_view compact) {
    return compact == "z" || compact == "s11" || compact == "impedance" || compact == "impedanz";
}

struct NameAndUnit {
    std::string name;
    std::string unit;  // as written
    bool hasUnit = false;
};

// The unit in brackets at the end ("(Hz)", "[MHz]"), after a slash or an
// underscore ("f/Hz", "f_GHz"), after " in ", or as the last word.
NameAndUnit SplitUnit(std::string text) {
    while (true) {
        text = std::string(Trim(text));
        if (text.empty() || (text.back() != ')' && text.back() != ']'))
            break;
        const auto open = text.rfind(text.back() == ')' ? '(' : '[');
        if (open == std::string::npos)
            break;
        std::string_view content = std::string_view(text).substr(open + 1, text.size() - open - 2);
        while (!content.empty() && std::string_view(" ,;").find(content.front()) != std::string_view::npos)
            content.remove_prefix(1);
        while (!content.empty() && std::string_view(" ,;").find(content.back()) != std::string_view::npos)
            content.remove_suffix(1);
        if (content.empty()) {  // left by a reference taken out
            text.erase(open);
            continue;
        }
        if (IsSubject(Compact(content)))  // "Re(Z)"
            break;
        return {text.substr(0, open), std::string(content), true};
    }
    if (const auto slash = text.rfind('/'); slash != std::string::npos)
        return {text.substr(0, slash), text.substr(slash + 1), true};
    for (const std::string_view mark : {"_", " in ", " "}) {
        const auto at = text.rfind(mark);
        if (at != std::string::npos && !Canonical(text.substr(at + mark.size())).empty())
            return {text.substr(0, at), text.substr(at + mark.size()), true};
    }
    return {text, {}, false};
}

std::optional<Part> PartNamed(std::string_view word) {
    static const std::pair<const char*, Part> kWords[] = {
        {"", Part::Magnitude},       {"mag", Part::Magnitude},       {"magnitude", Part::Magnitude},
        {"betrag", Part::Magnitude}, {"abs", Part::Magnitude},       {"logmag", Part::Decibels},
        {"db", Part::Decibels},      {"phase", Part::Phase},         {"angle", Part::Phase},
        {"arg", Part::Phase},        {"winkel", Part::Phase},        {"re", Part::Real},
        {"real", Part::Real},        {"realteil", Part::Real},       {"im", Part::Imaginary},
        {"imag", Part::Imaginary},   {"imaginary", Part::Imaginary}, {"imaginaerteil", Part::Imaginary}};
    for (const auto& [name, part] : kWords) {
        if (word == name)
            return part;
    }
    return std::nullopt;
}

// Takes the word that says Z or S11 out of a cell's name.
Subject TakeSubject(std::string& name) {
    auto erase = [&name](std::string_view word) {
        const auto at = name.find(word);
        if (at == std::string::npos)
            return false;
        name.erase(at, word.size());
        return true;
    };
    if (erase("s11"))
        return Subject::S;
    if (erase("impedance") || erase("impedanz"))
        return Subject::Z;
    if (erase("resistance")) {
        name += "re";
        return Subject::Z;
    }
    if (erase("reactance")) {
        name += "im";
        return Subject::Z;
    }
    if (name.find('z') != std::string::npos) {
        name.erase(std::remove(name.begin(), name.end(), 'z'), name.end());
        return Subject::Z;
    }
    return Subject::Unknown;
}

// The name without bars and brackets: "|z|" and "re(z)" become words.
std::string Bare(const std::string& name) {
    std::string word;
    for (const char c : name) {
        if (std::string_view("|()[]").find(c) == std::string_view::npos)
            word += c;
    }
    return word;
}

// A cell whose part is known, with its unit checked against it.
Cell WithUnit(Cell cell, const NameAndUnit& split, const std::string& partWord, bool bars) {
    const std::string& unit = cell.unit;
    if (cell.part == Part::Phase) {
        if (unit.empty())
            Unstated("a phase column gives no unit: write 'Phase (deg)' or 'Phase (rad)'");
        if (unit != "deg" && unit != "rad")
            NotUnderstood("a phase cannot be in " + split.unit);
        return cell;
    }
    // "S11 (deg)" beside "S11 (dB)": a bare name with an angle is its phase.
    if (cell.part == Part::Magnitude && partWord.empty() && cell.subject != Subject::Unknown &&
        (unit == "deg" || unit == "rad")) {
        cell.part = Part::Phase;
        return cell;
    }
    if (cell.part == Part::Magnitude && (unit == "db" || unit == "lin") && cell.subject != Subject::Z)
        return {unit == "db" ? Part::Decibels : Part::Magnitude, Subject::S, unit};
    if (cell.part == Part::Decibels && (unit.empty() || unit == "db") && cell.subject != Subject::Z) {
        cell.subject = Subject::S;
        return cell;
    }
    if (cell.part == Part::Decibels)
        NotUnderstood("only S11 is read in dB");
    if (unit == "ohm" && cell.subject != Subject::S) {
        cell.subject = Subject::Z;
        return cell;
    }
    if (!unit.empty())
        NotUnderstood("the unit " + split.unit + " does not fit this column");
    // "S11" alone could be any of its forms.
    if (cell.subject == Subject::S && cell.part == Part::Magnitude && partWord.empty() && !bars)
        Unstated("'S11' alone does not say how it is written: '|S11|', 'S11 (dB)', 'Re(S11)' or 'Im(S11)'");
    return cell;
}

// The quantity a cell names, with its unit checked against it; the subject
// may stay unknown for words such as "Magnitude" or "Phase".
Cell Recognise(const std::string& text) {
    const NameAndUnit split = SplitUnit(text);
    const std::string unit = split.hasUnit ? Canonical(split.unit) : std::string();
    if (split.hasUnit && unit.empty())
        NotUnderstood("the unit '" + std::string(Trim(split.unit)) + "' is not understood");
    std::string name = Compact(split.name);
    const bool bars = name.find('|') != std::string::npos;
    const std::string word = Bare(name);
    if (IsFrequencyWord(word)) {
        if (unit.empty())
            Unstated("the frequency column gives no unit: write 'Frequency (Hz)', '(kHz)', '(MHz)' or '(GHz)'");
        if (unit.back() != 'z')
            NotUnderstood("a frequency cannot be in " + split.unit);
        return {Part::Frequency, Subject::Unknown, unit};
    }
    const Subject subject = TakeSubject(name);
    const std::string partWord = Bare(name);
    const auto part = PartNamed(partWord);
    if (!part || (partWord.empty() && subject == Subject::Unknown))
        NotUnderstood("not understood");
    return WithUnit({*part, subject, unit}, split, partWord, bars);
}

ColumnQuantity QuantityOf(const Cell& cell) {
    const bool z = cell.subject == Subject::Z;
    switch (cell.part) {
    case Part::Frequency: return Q::Frequency;
    case Part::Magnitude: return z ? Q::ZMagnitude : Q::SMagnitude;
    case Part::Decibels: return Q::SDecibels;
    case Part::Phase: return z ? Q::ZPhase : Q::SPhase;
    case Part::Real: return z ? Q::ZReal : Q::SReal;
    case Part::Imaginary: return z ? Q::ZImaginary : Q::SImaginary;
    }
    return Q::Ignored;
}

std::string Named(std::size_t index, const std::string& cell) {
    return "column " + std::to_string(index + 1) + " '" + cell + "'";
}

// Each cell recognised on its own; a Z0 in any of them is the reference.
std::vector<Cell> RecogniseCells(const std::vector<std::string>& cells, std::optional<double>& reference) {
    std::vector<Cell> recognised;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        try {
            std::string text = Normalised(cells[i]);
            if (const auto value = TakeReference(text)) {
                if (reference && *reference != *value)
                    Unstated("a second, different reference Z0");
                reference = value;
            }
            if (Trim(text).empty())
                NotUnderstood("no name");
            recognised.push_back(Recognise(text));
        } catch (const std::invalid_argument& error) {
            throw std::invalid_argument("the header's " + Named(i, cells[i]) + ": " + error.what());
        }
    }
    return recognised;
}

}  // namespace

CsvColumns ColumnsFromHeader(const std::vector<std::string>& cells) {
    std::optional<double> reference;
    std::vector<Cell> recognised = RecogniseCells(cells, reference);
    std::set<Subject> subjects;
    for (const Cell& cell : recognised) {
        if (cell.subject != Subject::Unknown)
            subjects.insert(cell.subject);
    }
    CsvColumns result;
    for (std::size_t i = 0; i < recognised.size(); ++i) {
        Cell& cell = recognised[i];
        if (cell.part != Part::Frequency && cell.subject == Subject::Unknown) {
            if (subjects.size() != 1)
                Unstated("the header's " + Named(i, cells[i]) +
                         " does not say whether it holds Z or S11: write it as '|Z| (ohm)', 'Z phase (deg)', "
                         "'Re(Z)', '|S11|', 'S11 phase (deg)' or 'Re(S11)'");
            cell.subject = *subjects.begin();
        }
        result.columns.push_back({QuantityOf(cell), FrequencyUnitNamed(cell.unit).value_or(FrequencyUnit::MHz),
                                  cell.unit == "rad" ? AngleUnit::Radians : AngleUnit::Degrees});
    }
    if (reference)
        result.referenceOhm = *reference;
    if (const auto problem = ColumnsProblem(result))
        Unstated("the header: " + *problem);
    return result;
}

namespace {

// The words of a text, in lower case, between marks that are not letters
// or digits.
std::vector<std::string> Words(std::string_view text) {
    const std::string lower = Normalised(text);
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < lower.size()) {
        while (i < lower.size() && !IsAlphanumeric(lower[i]))
            ++i;
        const std::size_t start = i;
        while (i < lower.size() && IsAlphanumeric(lower[i]))
            ++i;
        if (i > start)
            words.push_back(lower.substr(start, i - start));
    }
    return words;
}

bool IsUnitWord(std::string_view word) { return !Canonical(word).empty(); }

// Words that begin the name of a column: a frequency, a part such as
// "phase", a subject such as "impedance".
bool IsColumnWord(std::string_view word) {
    return IsFrequencyWord(word) || (!word.empty() && PartNamed(word)) || IsSubject(word) || word == "resistance" ||
           word == "reactance";
}

// A reference or a number inside a name ("|S11| (Z0=75)") is no word of it.
bool IsReferenceOrNumber(std::string_view word) {
    return std::find(std::begin(kReferenceNames), std::end(kReferenceNames), word) != std::end(kReferenceNames) ||
           word.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

bool LooksLikeColumnName(std::string_view cell) {
    std::vector<std::string> words;
    bool unit = false;
    for (std::string& word : Words(cell)) {
        if (IsUnitWord(word))
            unit = true;
        else if (!IsReferenceOrNumber(word))
            words.push_back(std::move(word));
    }
    if (words.empty())
        return unit;  // "kHz", "(Ohm)"
    return words.size() <= 2 && (IsColumnWord(words.front()) || IsUnitWord(words.front()));
}

bool NameColumns(const std::vector<std::string>& cells) {
    const auto named = static_cast<std::size_t>(
        std::count_if(cells.begin(), cells.end(), [](const std::string& cell) { return LooksLikeColumnName(cell); }));
    return named >= 2 && 2 * named > cells.size();
}

bool MayNameColumns(std::string_view text) {
    const auto words = Words(text);
    return std::count_if(words.begin(), words.end(),
                         [](const std::string& w) { return IsColumnWord(w) || IsUnitWord(w); }) >= 2;
}

std::optional<double> StatedReference(std::string_view text) {
    std::string lower = Normalised(text);
    return TakeReference(lower);
}

std::vector<std::string> ParametersNamed(std::string_view text) {
    const std::string lower = Lowercase(text);
    std::vector<std::string> names;
    auto digit = [&](std::size_t at) { return at < lower.size() && lower[at] >= '1' && lower[at] <= '9'; };
    for (std::size_t at = 0; at < lower.size(); ++at) {
        if (lower[at] != 's' || (at > 0 && IsAlphanumeric(lower[at - 1])))
            continue;
        std::string name;
        std::size_t end = at + 1;
        if (digit(end) && digit(end + 1)) {  // S21
            name = lower.substr(at + 1, 2);
            end += 2;
        } else if (end < lower.size() && (lower[end] == '(' || lower[end] == '[') && digit(end + 1) &&
                   end + 4 < lower.size() && lower[end + 2] == ',' && digit(end + 3) &&
                   (lower[end + 4] == ')' || lower[end + 4] == ']')) {  // S(2,1), S[1,1]
            name = {lower[end + 1], lower[end + 3]};
            end += 5;
        } else {
            continue;
        }
        // "S21-100" is a model's number, not a parameter.
        const bool number = end + 1 < lower.size() && (lower[end] == '-' || lower[end] == '.') &&
                            lower[end + 1] >= '0' && lower[end + 1] <= '9';
        if ((end == lower.size() || !IsAlphanumeric(lower[end])) && !number)
            names.push_back("S" + name);
    }
    return names;
}

bool IsReferenceRow(std::string_view line) {
    std::string text = Normalised(line);
    try {
        if (!TakeReference(text))
            return false;
    } catch (const std::invalid_argument&) {
        return false;
    }
    return text.find_first_not_of(" \t,;\"") == std::string::npos;
}

}  // namespace quillet::measurement
