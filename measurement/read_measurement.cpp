#include "measurement/read_measurement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <io.h>
#endif

#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "measurement/csv_fields.h"
#include "measurement/csv_reader.h"
#include "measurement/text_decoder.h"
#include "measurement/text_lines.h"
#include "measurement/touchstone_cells.h"
#include "measurement/touchstone_reader.h"

namespace quillet::measurement {
namespace {

std::string Ending(const std::string& file) {
    const auto slash = file.find_last_of('/');
    const auto dot = file.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return Lowercase(std::string_view(file).substr(dot + 1));
}

// Past the remarks, Touchstone begins with its option line or [Version];
// anything else, a line of data included, is delimited text. A file name
// ending in .csv or .txt asks for more: an option line with options, or
// [Version] itself, since a '#' remark or a bracket may start delimited text.
bool StartsLikeTouchstone(std::string_view firstLine, bool delimitedName) {
    if (firstLine.front() == '#')
        return IsOptionLine(firstLine) && (!delimitedName || !SplitWhitespace(firstLine.substr(1)).empty());
    if (firstLine.front() != '[')
        return false;
    return !delimitedName || Lowercase(firstLine).rfind("[version]", 0) == 0;
}

// Every reader promises finite values; a last check keeps that promise for
// whatever a reader may have missed.
class CheckedSink : public PointSink {
public:
    CheckedSink(const std::string& file, PointSink& next) : file_(file), next_(next) {}
    void Point(const MeasuredPoint& p) override {
        if (!std::isfinite(p.frequencyMHz) || !std::isfinite(p.impedance.real()) || !std::isfinite(p.impedance.imag()))
            throw ReadError(file_, 0, "a value out of the range of numbers");
        next_.Point(p);
    }
    void Note(const std::string& message) override { next_.Note(message); }

private:
    const std::string& file_;
    PointSink& next_;
};

// Picks the reader by the file name's ending or, failing that, by the
// first line with content, and hands it every line.
class FormatDispatcher : public LineReader {
public:
    FormatDispatcher(const std::string& file, const ReadOptions& options, PointSink& sink)
        : file_(file), options_(options), sink_(file, sink), ending_(Ending(file)) {
        // Touchstone version 1 names its port count in the ending: .s2p, .s3p...
        if (ending_.size() >= 3 && ending_.front() == 's' && ending_.back() == 'p' && ending_ != "s1p")
            throw ReadError(file, 0, "a ." + ending_ + " file holds more than one port; an-sweep reads one-port data");
    }

    void Line(std::string_view line, int number) override {
        if (!reader_) {
            if (OnlySeparators(line))  // nothing yet, or a spreadsheet's empty row
                return;
            const std::string_view content = Trim(line);
            // Remarks say nothing of the format; they wait for the line
            // that does.
            if (content.front() == '!' && ending_ != "s1p" && ending_ != "ts") {
                if (remarks_.size() >= kMaxRemarksBeforeContent)
                    throw ReadError(file_, number, "more remarks than any measurement file has before its data");
                remarks_.push_back({std::string(line), number});
                return;
            }
            reader_ = Choose(content);
            for (const Remark& remark : remarks_)
                reader_->Line(remark.text, remark.number);
            remarks_.clear();
        }
        reader_->Line(line, number);
    }

    void Finish() override {
        if (!reader_ && !remarks_.empty())
            throw ReadError(file_, 0, "no data points");
        if (!reader_)
            throw ReadError(file_, 0, "the file is empty");
        reader_->Finish();
    }

private:
    std::unique_ptr<LineReader> Choose(std::string_view firstLine) {
        const auto cells = OptionLineInCells(firstLine);
        const bool touchstone = ending_ == "s1p" || ending_ == "ts" || cells ||
                                StartsLikeTouchstone(firstLine, ending_ == "csv" || ending_ == "txt");
        if (!touchstone)
            return MakeCsvReader(file_, sink_, options_.columns);
        if (options_.columns)
            throw ReadError(file_, 0,
                            "--columns is for delimited text; this is a Touchstone file, whose option line says what "
                            "its columns hold");
        if (cells)
            return MakeTouchstoneCellsReader(file_, sink_, *cells);
        return MakeTouchstoneReader(file_, sink_);
    }

    const std::string& file_;
    const ReadOptions& options_;
    CheckedSink sink_;
    std::string ending_;
    std::unique_ptr<LineReader> reader_;
    struct Remark {
        std::string text;
        int number;
    };
    static constexpr std::size_t kMaxRemarksBeforeContent = 10000;
    std::vector<Remark> remarks_;
};

class Collector : public PointSink {
public:
    void Point(const MeasuredPoint& point) override { measurement.points.push_back(point); }
    void Note(const std::string& message) override { measurement.notes.push_back(message); }
    Measurement measurement;
};

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ > 2)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

#ifdef _WIN32
// Windows opens in text mode unless told otherwise, which would turn CR LF
// into LF and end the file at a 0x1A byte; the decoder wants the bytes.
constexpr int kReadFlags = O_RDONLY | O_BINARY;
#else
constexpr int kReadFlags = O_RDONLY | O_CLOEXEC;
#endif

int Open(const std::string& path, const std::string& name) {
    if (path == kStandardInput) {
#ifdef _WIN32
        _setmode(STDIN_FILENO, O_BINARY);
#endif
        return STDIN_FILENO;
    }
#ifdef _WIN32
    // Windows refuses to open a directory at all, with a less helpful error.
    struct stat directory {};
    if (::stat(path.c_str(), &directory) == 0 && S_ISDIR(directory.st_mode))
        throw ReadError(name, 0, "a directory, not a measurement file");
#endif
    const int fd = ::open(path.c_str(), kReadFlags);
    if (fd < 0) {
        const int error = errno;
        throw ReadError(name, 0,
                        error == ENOENT ? std::string("no such file")
                                        : std::string("cannot open the file: ") + std::strerror(error));
    }
    return fd;
}

}  // namespace

std::string SourceName(const std::string& path) { return path == kStandardInput ? "standard input" : path; }

void ReadMeasurementFile(const std::string& path, const ReadOptions& options, PointSink& sink) {
    const std::string name = SourceName(path);
    const Descriptor fd(Open(path, name));
    struct stat status {};
    if (::fstat(fd.get(), &status) == 0 && S_ISDIR(status.st_mode))
        throw ReadError(name, 0, "a directory, not a measurement file");
    FormatDispatcher dispatcher(name, options, sink);
    TextDecoder decoder(name, dispatcher);
    std::string buffer(1 << 16, '\0');
    while (true) {
        const ssize_t n = ::read(fd.get(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EBADF && path == kStandardInput)
            throw ReadError(name, 0, "closed (the program was started without it); name the file, or pipe it in");
        if (n < 0)
            throw ReadError(name, 0, std::string("cannot read the file: ") + std::strerror(errno));
        if (n == 0)
            break;
        decoder.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
    }
    decoder.Finish();
}

Measurement ReadMeasurement(std::string_view bytes, const std::string& file, const ReadOptions& options) {
    Collector collector;
    FormatDispatcher dispatcher(file, options, collector);
    TextDecoder decoder(file, dispatcher);
    decoder.Feed(bytes);
    decoder.Finish();
    return std::move(collector.measurement);
}

Measurement ReadMeasurementFile(const std::string& path, const ReadOptions& options) {
    Collector collector;
    ReadMeasurementFile(path, options, collector);
    return std::move(collector.measurement);
}

}  // namespace quillet::measurement
