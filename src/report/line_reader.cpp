#include "report/line_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace ornexa {

namespace {
constexpr std::size_t BufferSize = std::size_t{64} * 1024;

std::string OpenFailure(const std::filesystem::path& path, std::string_view reason) {
    return "Cannot open file \"" + path.string() + "\": " + std::string(reason);
}
} // namespace

ReportLineReader::ReportLineReader(ProgressFn progress) : progress_(std::move(progress)) {}

std::optional<std::string> ReportLineReader::Open(const std::filesystem::path& path, FileKinds kinds) {
    Close();
    path_ = path;
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (std::filesystem::is_directory(status)) {
        return OpenFailure(path, "it is a folder");
    }
    if (kinds == FileKinds::RegularOnly && std::filesystem::exists(status) &&
        !std::filesystem::is_regular_file(status)) {
        return OpenFailure(path, "it is not a regular file (a pipe, a device or a socket)");
    }
    errno = 0;
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (!file_) {
        return OpenFailure(path, errno != 0 ? std::strerror(errno) : "unknown reason");
    }
    const auto size = std::filesystem::file_size(path, ec);
    fileLength_ = ec ? 0 : static_cast<std::int64_t>(size);
    buffer_.resize(BufferSize);
    return std::nullopt;
}

void ReportLineReader::Close() {
    file_.reset();
    pos_ = end_ = 0;
    eof_ = false;
    skipLineFeed_ = false;
    error_.reset();
    lineNo_ = 0;
    bytesRead_ = 0;
    fileLength_ = 0;
    lastPercent_ = -1;
}

void ReportLineReader::End(int percent) {
    Close();
    if (progress_) {
        progress_(percent);
    }
}

bool ReportLineReader::Fill() {
    if (eof_ || !file_) {
        return false;
    }
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
    pos_ = 0;
    nextLF_ = nextCR_ = NotSearched;
    if (end_ == 0) {
        eof_ = true;
        if (std::ferror(file_.get()) != 0) {
            error_ = "Cannot read file \"" + path_.string() + "\": " + std::strerror(errno);
        }
        return false;
    }
    return true;
}

std::size_t ReportLineReader::NextLineEnd() {
    // Each kind of line end is searched once per stretch of the buffer, so a file of CRs alone
    // stays as fast as one of CRLFs.
    const auto find = [this](std::size_t& cached, char c) {
        if (cached < pos_ || cached == NotSearched) {
            const auto* hit = static_cast<const char*>(std::memchr(buffer_.data() + pos_, c, end_ - pos_));
            cached = hit == nullptr ? end_ : static_cast<std::size_t>(hit - buffer_.data());
        }
        return cached;
    };
    return std::min(find(nextLF_, '\n'), find(nextCR_, '\r'));
}

int ReportLineReader::Percent() const {
    if (fileLength_ <= 0) {
        return eof_ ? 100 : 0;
    }
    return static_cast<int>(std::min<std::int64_t>(100, bytesRead_ * 100 / fileLength_));
}

std::optional<std::string_view> ReportLineReader::ReadReportLine(std::size_t maxLength) {
    line_.clear();
    if (skipLineFeed_) {
        skipLineFeed_ = false;
        if ((pos_ < end_ || Fill()) && buffer_[pos_] == '\n') {
            ++pos_;
            ++bytesRead_;
        }
    }
    bool any = false;
    std::size_t lineBytes = 0;
    for (;;) {
        if (pos_ >= end_ && !Fill()) {
            if (!any) {
                return std::nullopt;
            }
            break; // last line without a line end
        }
        any = true;
        const char* begin = buffer_.data() + pos_;
        const char* stop = buffer_.data() + end_;
        const char* hit = buffer_.data() + NextLineEnd();
        const auto length = static_cast<std::size_t>(hit - begin);
        if (line_.size() < maxLength) {
            line_.append(begin, std::min(length, maxLength - line_.size()));
        }
        bytesRead_ += static_cast<std::int64_t>(length);
        pos_ += length;
        lineBytes += length;
        if (lineBytes > MaxLineBytes) {
            error_ = "Line " + std::to_string(lineNo_ + 1) + " is longer than 1 MiB: not a report file";
            eof_ = true;
            pos_ = end_ = 0;
            return std::nullopt;
        }
        if (hit != stop) {
            ++pos_;
            ++bytesRead_;
            skipLineFeed_ = *hit == '\r';
            break;
        }
    }
    ++lineNo_;
    if (progress_) {
        const int percent = Percent();
        if (percent != lastPercent_) {
            lastPercent_ = percent;
            progress_(percent);
        }
    }
    return std::string_view(line_);
}

} // namespace ornexa
